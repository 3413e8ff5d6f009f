#include "dbtools/oci_connection.h"

#include "dbtools/oci_declarations.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

using namespace oci;

struct TOciApi {
    OCIEnvNlsCreate_t EnvNlsCreate = nullptr;
    OCIHandleAlloc_t HandleAlloc = nullptr;
    OCIHandleFree_t HandleFree = nullptr;
    OCIDescriptorFree_t DescriptorFree = nullptr;
    OCILogon2_t Logon2 = nullptr;
    OCILogoff_t Logoff = nullptr;
    OCIStmtPrepare2_t StmtPrepare2 = nullptr;
    OCIStmtRelease_t StmtRelease = nullptr;
    OCIBindByName_t BindByName = nullptr;
    OCIStmtExecute_t StmtExecute = nullptr;
    OCIAttrGet_t AttrGet = nullptr;
    OCIParamGet_t ParamGet = nullptr;
    OCIDefineByPos_t DefineByPos = nullptr;
    OCIStmtFetch2_t StmtFetch2 = nullptr;
    OCIErrorGet_t ErrorGet = nullptr;
    OCIBreak_t Break = nullptr;
};

struct TOciHandles {
    OCIEnv *Env = nullptr;
    OCIError *Error = nullptr;
    // A second error handle, so that a break from another thread does not
    // overwrite the running statement's error.
    OCIError *BreakError = nullptr;
    OCISvcCtx *Service = nullptr;
};

namespace {

// A column buffer of a fetch: text of at most this many bytes.
constexpr sb4 ShortColumnBytes = 4 * 4000 + 1;
constexpr sb4 LongColumnBytes = 64 * 1024;

template <class F>
void Resolve(QLibrary &library, F &function, const char *name)
{
    function = reinterpret_cast<F>(library.resolve(name));
    if (!function)
        throw ESqlError(QStringLiteral("The Oracle client library \"%1\" has no function %2; "
                                       "working offline.")
                            .arg(library.fileName(), QLatin1String(name)));
}

} // namespace

TOciClientSettings TOciClientSettings::FromParameters(const QStringList &parameters)
{
    TOciClientSettings settings;
    for (const QString &p : parameters) {
        if (p.startsWith(QLatin1String("OCIDLL="), Qt::CaseInsensitive) && p.size() > 7)
            settings.Library = p.mid(7);
        else if (p.startsWith(QLatin1String("ORACLEHOME="), Qt::CaseInsensitive))
            settings.OracleHome = p.mid(11);
    }
    return settings;
}

TOciClientSettings &TOciClientSettings::Current()
{
    static TOciClientSettings settings;
    return settings;
}

QString OciConnection::LibraryPath(const TOciClientSettings &client)
{
    if (client.OracleHome.isEmpty() || client.Library.contains(QLatin1Char('/')))
        return client.Library;
    return QDir(client.OracleHome).filePath(QStringLiteral("lib/") + client.Library);
}

OciConnection::OciConnection(const TOciClientSettings &client, const QString &user, const QString &password,
                             const QString &database)
    : m_api(std::make_unique<TOciApi>()), m_handles(std::make_unique<TOciHandles>()), m_database(database)
{
    if (!client.OracleHome.isEmpty())
        qputenv("ORACLE_HOME", QFile::encodeName(client.OracleHome));
    m_library.setFileName(LibraryPath(client));
    if (!m_library.load())
        throw ESqlError(QStringLiteral("The Oracle client library \"%1\" could not be loaded (%2). Install an "
                                       "Oracle client or name its library with OCIDLL=; working offline.")
                            .arg(m_library.fileName(), m_library.errorString()));
    TOciApi &api = *m_api;
    Resolve(m_library, api.EnvNlsCreate, "OCIEnvNlsCreate");
    Resolve(m_library, api.HandleAlloc, "OCIHandleAlloc");
    Resolve(m_library, api.HandleFree, "OCIHandleFree");
    Resolve(m_library, api.DescriptorFree, "OCIDescriptorFree");
    Resolve(m_library, api.Logon2, "OCILogon2");
    Resolve(m_library, api.Logoff, "OCILogoff");
    Resolve(m_library, api.StmtPrepare2, "OCIStmtPrepare2");
    Resolve(m_library, api.StmtRelease, "OCIStmtRelease");
    Resolve(m_library, api.BindByName, "OCIBindByName");
    Resolve(m_library, api.StmtExecute, "OCIStmtExecute");
    Resolve(m_library, api.AttrGet, "OCIAttrGet");
    Resolve(m_library, api.ParamGet, "OCIParamGet");
    Resolve(m_library, api.DefineByPos, "OCIDefineByPos");
    Resolve(m_library, api.StmtFetch2, "OCIStmtFetch2");
    Resolve(m_library, api.ErrorGet, "OCIErrorGet");
    Resolve(m_library, api.Break, "OCIBreak");

    TOciHandles &h = *m_handles;
    if (api.EnvNlsCreate(&h.Env, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr, AL32UTF8,
                         AL32UTF8) != OCI_SUCCESS)
        throw ESqlError(QStringLiteral("The Oracle client could not create its environment; working offline."));
    api.HandleAlloc(h.Env, reinterpret_cast<void **>(&h.Error), OCI_HTYPE_ERROR, 0, nullptr);
    api.HandleAlloc(h.Env, reinterpret_cast<void **>(&h.BreakError), OCI_HTYPE_ERROR, 0, nullptr);
    const QByteArray u = user.toUtf8(), p = password.toUtf8(), d = database.toUtf8();
    const sword status = api.Logon2(h.Env, h.Error, &h.Service, reinterpret_cast<const OraText *>(u.constData()),
                                    ub4(u.size()), reinterpret_cast<const OraText *>(p.constData()),
                                    ub4(p.size()), reinterpret_cast<const OraText *>(d.constData()),
                                    ub4(d.size()), OCI_DEFAULT);
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
        h.Service = nullptr;
        try {
            RaiseError(status);
        } catch (...) {
            Disconnect();
            throw;
        }
    }
}

OciConnection::~OciConnection() { Disconnect(); }

bool OciConnection::Connected() const { return m_handles && m_handles->Service; }

void OciConnection::Disconnect()
{
    if (!m_handles || !m_handles->Env)
        return;
    Interrupt();
    std::lock_guard lock(m_execMutex);
    TOciHandles &h = *m_handles;
    if (h.Service)
        m_api->Logoff(h.Service, h.Error);
    h.Service = nullptr;
    for (auto [handle, type] : {std::pair<void *, ub4>{h.BreakError, OCI_HTYPE_ERROR},
                                {h.Error, OCI_HTYPE_ERROR}, {h.Env, OCI_HTYPE_ENV}}) {
        if (handle)
            m_api->HandleFree(handle, type);
    }
    h = TOciHandles();
}

void OciConnection::Interrupt()
{
    if (m_handles && m_handles->Service)
        m_api->Break(m_handles->Service, m_handles->BreakError);
}

QString OciConnection::Description() const { return QStringLiteral("Oracle ") + m_database; }

void OciConnection::RaiseError(int status) const
{
    if (status == OCI_INVALID_HANDLE || !m_handles->Error)
        throw ESqlError(QStringLiteral("The Oracle client reported an invalid handle."));
    OraText buffer[2048] = {};
    sb4 code = 0;
    m_api->ErrorGet(m_handles->Error, 1, nullptr, &code, buffer, sizeof buffer, OCI_HTYPE_ERROR);
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(buffer)).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("The Oracle client failed with status %1.").arg(status);
    throw ESqlError(text);
}

qint64 OciConnection::Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink)
{
    std::lock_guard lock(m_execMutex);
    if (!Connected())
        throw ESqlError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    const TOciApi &api = *m_api;
    TOciHandles &h = *m_handles;
    auto check = [this](sword status) {
        if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO)
            RaiseError(status);
    };
    const QByteArray text = sql.toUtf8();
    OCIStmt *statement = nullptr;
    check(api.StmtPrepare2(h.Service, &statement, h.Error, reinterpret_cast<const OraText *>(text.constData()),
                           ub4(text.size()), nullptr, 0, OCI_NTV_SYNTAX, OCI_DEFAULT));
    struct TRelease {
        const TOciApi &Api;
        OCIStmt *Statement;
        OCIError *Error;
        ~TRelease() { Api.StmtRelease(Statement, Error, nullptr, 0, OCI_DEFAULT); }
    } release{api, statement, h.Error};

    // The bound values must outlive the execution.
    std::vector<QByteArray> values;
    std::vector<sb2> nullFlags;
    values.reserve(binds.size());
    nullFlags.reserve(binds.size());
    for (const auto &[name, value] : binds) {
        values.push_back(value.toString().toUtf8());
        nullFlags.push_back(value.isNull() ? sb2(-1) : sb2(0));
        const QByteArray placeholder = ":" + name.toUtf8();
        OCIBind *bind = nullptr;
        check(api.BindByName(statement, &bind, h.Error, reinterpret_cast<const OraText *>(placeholder.constData()),
                             sb4(placeholder.size()), values.back().data(), sb4(values.back().size() + 1), SQLT_STR,
                             &nullFlags.back(), nullptr, nullptr, 0, nullptr, OCI_DEFAULT));
    }
    ub2 type = 0;
    check(api.AttrGet(statement, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, h.Error));
    const bool isQuery = type == OCI_STMT_SELECT;
    check(api.StmtExecute(h.Service, statement, h.Error, isQuery ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT));
    if (!isQuery) {
        ub4 changed = 0;
        api.AttrGet(statement, OCI_HTYPE_STMT, &changed, nullptr, OCI_ATTR_ROW_COUNT, h.Error);
        return changed;
    }

    ub4 columnCount = 0;
    check(api.AttrGet(statement, OCI_HTYPE_STMT, &columnCount, nullptr, OCI_ATTR_PARAM_COUNT, h.Error));
    QStringList names;
    std::vector<QByteArray> buffers(columnCount);
    std::vector<sb2> indicators(columnCount);
    std::vector<ub2> lengths(columnCount);
    for (ub4 c = 0; c < columnCount; ++c) {
        void *param = nullptr;
        check(api.ParamGet(statement, OCI_HTYPE_STMT, h.Error, &param, c + 1));
        OraText *name = nullptr;
        ub4 nameLength = 0;
        ub2 dataType = 0;
        api.AttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, h.Error);
        api.AttrGet(param, OCI_DTYPE_PARAM, &dataType, nullptr, OCI_ATTR_DATA_TYPE, h.Error);
        names << QString::fromUtf8(reinterpret_cast<const char *>(name), int(nameLength));
        api.DescriptorFree(param, OCI_DTYPE_PARAM);
        const bool isLong = dataType == SQLT_CLOB || dataType == SQLT_BLOB || dataType == SQLT_LNG;
        buffers[c].resize(isLong ? LongColumnBytes : ShortColumnBytes);
        OCIDefine *define = nullptr;
        check(api.DefineByPos(statement, &define, h.Error, c + 1, buffers[c].data(), sb4(buffers[c].size()),
                              SQLT_STR, &indicators[c], &lengths[c], nullptr, OCI_DEFAULT));
    }
    if (sink)
        sink->Columns(names);
    qint64 rows = 0;
    for (;;) {
        const sword status = api.StmtFetch2(statement, h.Error, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
        if (status == OCI_NO_DATA)
            break;
        check(status);
        ++rows;
        if (!sink)
            continue;
        QVariantList row;
        for (ub4 c = 0; c < columnCount; ++c) {
            // A value cut to the buffer would pass for the whole one (a DDL
            // text missing its end): refuse it.
            if (indicators[c] > 0 || indicators[c] == -2)
                throw ESqlError(QStringLiteral("The value of column %1 is longer than %2 bytes; it is not shown "
                                               "cut short.")
                                    .arg(names[int(c)])
                                    .arg(buffers[c].size() - 1));
            row << (indicators[c] == -1 ? QVariant() : QVariant(QString::fromUtf8(buffers[c].constData())));
        }
        if (!sink->Row(row))
            break;
    }
    return rows;
}
