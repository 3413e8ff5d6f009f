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
    OCIStmtGetPieceInfo_t GetPieceInfo = nullptr;
    OCIStmtSetPieceInfo_t SetPieceInfo = nullptr;
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
// LOB and LONG values arrive in pieces of this size.
constexpr ub4 PieceBytes = 64 * 1024;
constexpr sb4 LargestDefine = 0x7fffffff;

// Errors that mean the server is gone, not that a statement failed.
bool IsLostConnection(sb4 code) { return code == 3113 || code == 3114 || code == 3135; }

// The server writes a number below one without its leading zero (".5");
// the SQLite dictionary and every reader of the text expect "0.5".
QString NumberText(const QByteArray &text)
{
    if (text.startsWith('.'))
        return QStringLiteral("0") + QString::fromLatin1(text);
    if (text.startsWith("-."))
        return QStringLiteral("-0") + QString::fromLatin1(text.mid(1));
    return QString::fromLatin1(text);
}

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
    Resolve(m_library, api.GetPieceInfo, "OCIStmtGetPieceInfo");
    Resolve(m_library, api.SetPieceInfo, "OCIStmtSetPieceInfo");
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
    try {
        if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
            h.Service = nullptr;
            RaiseError(status);
        }
        Execute(QString::fromLatin1(SessionFormats), {}, nullptr);
    } catch (...) {
        Disconnect();
        throw;
    }
}

const char OciConnection::SessionFormats[] =
    "alter session set NLS_DATE_FORMAT = 'YYYY-MM-DD HH24:MI:SS' "
    "NLS_TIMESTAMP_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF' "
    "NLS_TIMESTAMP_TZ_FORMAT = 'YYYY-MM-DD HH24:MI:SS.FF TZH:TZM' NLS_NUMERIC_CHARACTERS = '.,'";

OciConnection::~OciConnection() { Disconnect(); }

bool OciConnection::Connected() const { return m_handles && m_handles->Service && !m_lost; }

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
    m_lost = false;
}

void OciConnection::Interrupt()
{
    if (Connected())
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
    if (IsLostConnection(code) && !m_lost.exchange(true))
        RaiseConnectionLost(text);
    throw ESqlError(text);
}

void OciConnection::Check(int status) const
{
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO)
        RaiseError(status);
}

qint64 OciConnection::Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink)
{
    std::lock_guard lock(m_execMutex);
    if (!Connected())
        throw ESqlError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    const TSinkRun run(sink);
    const TOciApi &api = *m_api;
    TOciHandles &h = *m_handles;
    const QByteArray text = sql.toUtf8();
    OCIStmt *statement = nullptr;
    Check(api.StmtPrepare2(h.Service, &statement, h.Error, reinterpret_cast<const OraText *>(text.constData()),
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
        Check(api.BindByName(statement, &bind, h.Error, reinterpret_cast<const OraText *>(placeholder.constData()),
                             sb4(placeholder.size()), values.back().data(), sb4(values.back().size() + 1), SQLT_STR,
                             &nullFlags.back(), nullptr, nullptr, 0, nullptr, OCI_DEFAULT));
    }
    ub2 type = 0;
    Check(api.AttrGet(statement, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, h.Error));
    const bool isQuery = type == OCI_STMT_SELECT;
    Check(api.StmtExecute(h.Service, statement, h.Error, isQuery ? 0 : 1, 0, nullptr, nullptr, OCI_DEFAULT));
    if (!isQuery) {
        ub4 changed = 0;
        api.AttrGet(statement, OCI_HTYPE_STMT, &changed, nullptr, OCI_ATTR_ROW_COUNT, h.Error);
        return changed;
    }

    return FetchRows(statement, sink);
}

qint64 OciConnection::FetchRows(OCIStmt *statement, ISqlRowSink *sink)
{
    const TOciApi &api = *m_api;
    TOciHandles &h = *m_handles;
    ub4 columnCount = 0;
    Check(api.AttrGet(statement, OCI_HTYPE_STMT, &columnCount, nullptr, OCI_ATTR_PARAM_COUNT, h.Error));
    struct TColumn {
        QByteArray Buffer; // the whole value of a column read in pieces
        OCIDefine *Define = nullptr;
        ub2 Type = 0;
        bool Pieces = false;
        sb2 Indicator = 0;
        ub2 Length = 0;
    };
    std::vector<TColumn> columns(columnCount);
    QStringList names;
    for (ub4 c = 0; c < columnCount; ++c) {
        TColumn &column = columns[c];
        void *param = nullptr;
        Check(api.ParamGet(statement, OCI_HTYPE_STMT, h.Error, &param, c + 1));
        OraText *name = nullptr;
        ub4 nameLength = 0;
        api.AttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, h.Error);
        api.AttrGet(param, OCI_DTYPE_PARAM, &column.Type, nullptr, OCI_ATTR_DATA_TYPE, h.Error);
        names << QString::fromUtf8(reinterpret_cast<const char *>(name), int(nameLength));
        api.DescriptorFree(param, OCI_DTYPE_PARAM);
        const bool binary = column.Type == SQLT_BLOB || column.Type == SQLT_LBI;
        column.Pieces = binary || column.Type == SQLT_CLOB || column.Type == SQLT_LNG;
        if (column.Pieces) {
            Check(api.DefineByPos(statement, &column.Define, h.Error, c + 1, nullptr, LargestDefine,
                                  binary ? SQLT_LBI : SQLT_LNG, nullptr, nullptr, nullptr, OCI_DYNAMIC_FETCH));
        } else {
            column.Buffer.resize(ShortColumnBytes);
            Check(api.DefineByPos(statement, &column.Define, h.Error, c + 1, column.Buffer.data(),
                                  sb4(column.Buffer.size()), SQLT_STR, &column.Indicator, &column.Length, nullptr,
                                  OCI_DEFAULT));
        }
    }
    if (sink)
        sink->Columns(names);
    const auto tooLong = [&](ub4 c, qint64 limit) {
        return ESqlError(QStringLiteral("The value of column %1 is longer than %2 bytes; it is not shown cut short.")
                             .arg(names[int(c)])
                             .arg(limit));
    };
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    qint64 rows = 0;
    for (;;) {
        for (TColumn &column : columns) {
            if (column.Pieces) {
                column.Buffer.clear();
                column.Indicator = 0;
            }
        }
        sword status = api.StmtFetch2(statement, h.Error, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
        // Each call asks for the next piece of a LOB or LONG value and fills
        // the buffer given for the one before.
        ub4 current = columnCount, pieceLength = 0;
        const auto keepPiece = [&] {
            if (current == columnCount)
                return;
            TColumn &column = columns[current];
            if (column.Buffer.size() + qint64(pieceLength) > MaxValueBytes)
                throw tooLong(current, MaxValueBytes);
            column.Buffer.append(piece.constData(), qsizetype(pieceLength));
        };
        while (status == OCI_NEED_DATA) {
            keepPiece();
            void *handle = nullptr;
            ub4 handleType = 0, iteration = 0, index = 0;
            ub1 direction = 0, part = OCI_ONE_PIECE;
            Check(api.GetPieceInfo(statement, h.Error, &handle, &handleType, &direction, &iteration, &index, &part));
            current = columnCount;
            for (ub4 c = 0; c < columnCount; ++c)
                if (columns[c].Define == handle)
                    current = c;
            if (current == columnCount)
                throw ESqlError(QStringLiteral("The Oracle client asked for a piece of an unknown column."));
            pieceLength = PieceBytes;
            Check(api.SetPieceInfo(handle, handleType, h.Error, piece.data(), &pieceLength, part,
                                   &columns[current].Indicator, nullptr));
            status = api.StmtFetch2(statement, h.Error, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
        }
        if (status == OCI_NO_DATA)
            break;
        Check(status);
        keepPiece();
        ++rows;
        if (!sink)
            continue;
        QVariantList row;
        for (ub4 c = 0; c < columnCount; ++c) {
            const TColumn &column = columns[c];
            const QByteArray text(column.Buffer.constData(), qstrnlen(column.Buffer.constData(), column.Buffer.size()));
            // A value cut to the buffer would pass for the whole one: refuse it.
            if (column.Indicator > 0 || column.Indicator == -2)
                throw tooLong(c, column.Pieces ? MaxValueBytes : qint64(column.Buffer.size() - 1));
            if (column.Indicator == -1)
                row << QVariant();
            else if (column.Type == SQLT_BLOB || column.Type == SQLT_LBI)
                row << QVariant(column.Buffer);
            else if (column.Pieces)
                row << QVariant(QString::fromUtf8(column.Buffer));
            else if (column.Type == SQLT_NUM)
                row << QVariant(NumberText(text));
            else
                row << QVariant(QString::fromUtf8(text));
        }
        if (!sink->Row(row))
            break;
    }
    return rows;
}
