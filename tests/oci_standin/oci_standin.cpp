// A stand-in for the Oracle client library, for the tests only: the OCI
// functions the program resolves, written against our own declarations and
// served by SQLite over the sample database, so the real OciConnection runs.
//
// The one database it knows is "STANDIN": the dictionary file that the
// environment's STANDIN_DATABASE names, with the owners' data files beside it
// attached as their schemas. Until the session says
// otherwise it answers as a server with default settings does: dates as
// DD-MON-RR, a decimal comma, numbers below one without their leading zero.
// LONG dictionary columns and texts above 4000 bytes come as LONG and CLOB,
// which only a piecewise fetch reads. StandInDropConnections(code) cuts the
// network under every session. Binds and defines are held to what a client
// library checks: lengths, data types and indicators, failing with its errors.
#include "dbtools/oci_declarations.h"
#include "dbtools/sqlite_value.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <type_traits>
#include <vector>

using namespace oci;

#define STANDIN_API extern "C" __attribute__((visibility("default")))

namespace {

constexpr sword OCI_ERROR = -1;
constexpr ub2 SQLT_AFC = 96;

struct TEnvironment {};

struct TError {
    sb4 Code = 0;
    QByteArray Text;
};

struct TService {
    sqlite3 *Db = nullptr;
    QString DateFormat = QStringLiteral("DD-MON-RR");
    QChar Decimal = QLatin1Char(',');
    // The error the first call after the network went gets; 0 while it is there.
    sb4 DropCode = 0;
    bool DropReported = false;
};

std::mutex ServicesMutex;
std::set<TService *> Services;

struct TStatement;

// Data types the stand-in converts to and from text, as the client's
// documentation describes them: a CHR value is exactly its length, an STR
// value ends at its terminator, an AFC value is padded with blanks.
bool IsTextType(ub2 dty) { return dty == SQLT_CHR || dty == SQLT_STR || dty == SQLT_AFC; }

struct TBind {
    QByteArray Name;
    const char *Value = nullptr;
    sb4 Size = 0;
    ub2 Type = 0;
    const sb2 *Indicator = nullptr;
    const ub2 *Length = nullptr;
};

struct TDefine {
    void *Value = nullptr;
    sb4 Size = 0;
    ub2 Type = 0;
    sb2 *Indicator = nullptr;
    ub2 *Length = nullptr;
    ub2 *Code = nullptr;
    bool Dynamic = false;
    // The buffer the last OCIStmtSetPieceInfo gave.
    void *Piece = nullptr;
    ub4 *PieceLength = nullptr;
    sb2 *PieceIndicator = nullptr;
};

struct TParam {
    QByteArray Name;
    ub2 Type = 0;
};

using TRow = std::vector<QVariant>;

struct TStatement {
    TService *Service = nullptr;
    QByteArray Sql;
    ub2 Type = 0;
    sqlite3_stmt *Handle = nullptr;
    // A deque: the handle given for each bind stays where it is.
    std::deque<TBind> Binds;
    std::vector<TDefine> Defines;
    std::vector<ub2> Types;
    std::vector<QByteArray> Names;
    std::deque<TRow> Ahead;
    bool Done = false;
    TRow Row;
    ub4 Changed = 0;
    // Piecewise state: which dynamic column and how far into its value.
    bool InPieces = false;
    std::vector<size_t> DynamicColumns;
    size_t PieceColumn = 0;
    qsizetype PieceOffset = 0;
    QByteArray PieceValue; // the text of the column being read in pieces
};

sword Fail(OCIError *error, sb4 code, const QString &text)
{
    if (auto *e = reinterpret_cast<TError *>(error)) {
        e->Code = code;
        e->Text = QStringLiteral("ORA-%1: %2").arg(code, 5, 10, QLatin1Char('0')).arg(text).toUtf8();
    }
    return OCI_ERROR;
}

// SQLite's message, or the Oracle error a function of ours raised in it.
sword FailSqlite(OCIError *error, sqlite3 *db, int rc)
{
    if (rc == SQLITE_INTERRUPT)
        return Fail(error, 1013, QStringLiteral("user requested cancel of current operation"));
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    static const QRegularExpression oracle(QStringLiteral("^ORA-(\\d{5}): (.*)$"));
    const QRegularExpressionMatch match = oracle.match(message);
    if (match.hasMatch())
        return Fail(error, match.captured(1).toInt(), match.captured(2));
    return Fail(error, 20000, message);
}

// The network is gone: the first call says so, every later one is refused.
bool Dropped(TService *service, OCIError *error, sword &status)
{
    if (!service->DropCode)
        return false;
    const sb4 code = service->DropReported ? 3114 : service->DropCode;
    status = Fail(error, code,
                  code == 3113   ? QStringLiteral("end-of-file on communication channel")
                  : code == 3135 ? QStringLiteral("connection lost contact")
                                 : QStringLiteral("not connected to ORACLE"));
    service->DropReported = true;
    return true;
}

void GetDdl(sqlite3_context *context, int, sqlite3_value **values)
{
    sqlite3 *db = sqlite3_context_db_handle(context);
    sqlite3_stmt *query = nullptr;
    if (sqlite3_prepare_v2(db, "select DDL from sys.STANDIN_DDL where OBJECT_TYPE = ?1 and NAME = ?2 and OWNER = ?3",
                           -1, &query, nullptr) == SQLITE_OK) {
        for (int i = 0; i < 3; ++i)
            sqlite3_bind_value(query, i + 1, values[i]);
        if (sqlite3_step(query) == SQLITE_ROW) {
            sqlite3_result_value(context, sqlite3_column_value(query, 0));
            sqlite3_finalize(query);
            return;
        }
    }
    sqlite3_finalize(query);
    const QByteArray message = QStringLiteral("ORA-31603: object \"%2\" of type %1 not found in schema \"%3\"")
                                   .arg(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(values[0]))),
                                        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(values[1]))),
                                        QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(values[2]))))
                                   .toUtf8();
    sqlite3_result_error(context, message.constData(), -1);
}

bool Run(sqlite3 *db, const QString &sql, const QStringList &values = {}, bool *found = nullptr)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK)
        return false;
    for (int i = 0; i < values.size(); ++i)
        sqlite3_bind_text(statement, i + 1, values[i].toUtf8().constData(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(statement);
    if (found)
        *found = rc == SQLITE_ROW;
    sqlite3_finalize(statement);
    return rc == SQLITE_ROW || rc == SQLITE_DONE;
}

bool Attach(sqlite3 *db, const QString &file, const QString &schema, bool readOnly)
{
    QString uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded);
    if (readOnly)
        uri += QStringLiteral("?mode=ro");
    return Run(db, QStringLiteral("attach database ?1 as ") + schema, {uri});
}

const QRegularExpression &DatePattern()
{
    static const QRegularExpression date(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    return date;
}

// A date in the session's NLS_DATE_FORMAT (the elements the tests use).
QString OracleDate(const QString &stored, const QString &format)
{
    const QDateTime moment = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    static const std::pair<const char *, const char *> elements[] = {
        {"YYYY", "yyyy"}, {"HH24", "HH"}, {"MON", "MMM"}, {"RR", "yy"},
        {"MM", "MM"},     {"DD", "dd"},   {"MI", "mm"},   {"SS", "ss"}};
    QString text;
    for (int i = 0; i < format.size();) {
        bool matched = false;
        for (const auto &[oracle, qt] : elements) {
            if (format.mid(i).startsWith(QLatin1String(oracle), Qt::CaseInsensitive)) {
                const QString part = QLocale::c().toString(moment, QLatin1String(qt));
                text += std::strcmp(oracle, "MON") == 0 ? part.toUpper() : part;
                i += int(std::strlen(oracle));
                matched = true;
                break;
            }
        }
        if (!matched)
            text += format[i++];
    }
    return text;
}

// A value as the server converts it to text for a string define.
QByteArray ValueText(const TService &service, const QVariant &value, ub2 type)
{
    if (value.typeId() == QMetaType::Double) {
        QString text = QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
        if (text.startsWith(QLatin1String("0.")))
            text.remove(0, 1);
        else if (text.startsWith(QLatin1String("-0.")))
            text.remove(1, 1);
        return text.replace(QLatin1Char('.'), service.Decimal).toUtf8();
    }
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    if (type == SQLT_DAT)
        return OracleDate(value.toString(), service.DateFormat).toUtf8();
    return value.toString().toUtf8();
}

// Oracle keeps no empty strings: '' is NULL.
bool IsNull(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty()) ||
           (value.typeId() == QMetaType::QByteArray && value.toByteArray().isEmpty());
}

sword NextRow(TStatement &s, OCIError *error, bool &have)
{
    have = false;
    if (!s.Ahead.empty()) {
        s.Row = std::move(s.Ahead.front());
        s.Ahead.pop_front();
        have = true;
        return OCI_SUCCESS;
    }
    if (s.Done)
        return OCI_SUCCESS;
    const int rc = sqlite3_step(s.Handle);
    if (rc == SQLITE_DONE) {
        s.Done = true;
        return OCI_SUCCESS;
    }
    if (rc != SQLITE_ROW)
        return FailSqlite(error, s.Service->Db, rc);
    const int columns = sqlite3_column_count(s.Handle);
    s.Row.clear();
    for (int c = 0; c < columns; ++c)
        s.Row.push_back(SqliteColumnValue(s.Handle, c));
    have = true;
    return OCI_SUCCESS;
}

// The server knows its columns' types before the first row; SQLite learns
// them from the values, so read ahead until each column shows one.
sword DescribeColumns(TStatement &s, OCIError *error)
{
    const int columns = sqlite3_column_count(s.Handle);
    s.Types.assign(size_t(columns), 0);
    s.Names.clear();
    for (int c = 0; c < columns; ++c)
        s.Names.push_back(QByteArray(sqlite3_column_name(s.Handle, c)).toUpper());
    static const std::set<QByteArray> longColumns = {"SEARCH_CONDITION", "DATA_DEFAULT", "TEXT", "TRIGGER_BODY"};
    for (int c = 0; c < columns; ++c) {
        const char *declared = sqlite3_column_decltype(s.Handle, c);
        const QByteArray decl = QByteArray(declared ? declared : "").toUpper();
        if (decl == "LONG RAW")
            s.Types[size_t(c)] = SQLT_LBI;
        else if (longColumns.count(s.Names[size_t(c)]))
            s.Types[size_t(c)] = SQLT_LNG;
        else if (decl.contains("NUM") || decl.contains("INT") || decl.contains("REAL"))
            s.Types[size_t(c)] = SQLT_NUM;
    }
    for (int looked = 0; looked < 200 && std::count(s.Types.begin(), s.Types.end(), 0) > 0; ++looked) {
        bool have = false;
        if (const sword status = NextRow(s, error, have); status != OCI_SUCCESS)
            return status;
        if (!have)
            break;
        for (int c = 0; c < columns; ++c) {
            const QVariant &value = s.Row[size_t(c)];
            ub2 &type = s.Types[size_t(c)];
            if (type != 0 || IsNull(value))
                continue;
            if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double)
                type = SQLT_NUM;
            else if (value.typeId() == QMetaType::QByteArray)
                type = SQLT_BLOB;
            else if (DatePattern().match(value.toString()).hasMatch())
                type = SQLT_DAT;
            else if (value.toString().toUtf8().size() > 4000)
                type = SQLT_CLOB;
            else
                type = SQLT_CHR;
        }
        s.Ahead.push_back(std::move(s.Row));
    }
    for (ub2 &type : s.Types)
        if (type == 0)
            type = SQLT_CHR;
    return OCI_SUCCESS;
}

sword AlterSession(TService &service, const QByteArray &sql, OCIError *error)
{
    static const QRegularExpression setting(QStringLiteral("(\\w+)\\s*=\\s*'([^']*)'"));
    auto matches = setting.globalMatch(QString::fromUtf8(sql));
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        const QString name = m.captured(1).toUpper();
        if (name == QLatin1String("NLS_DATE_FORMAT"))
            service.DateFormat = m.captured(2);
        else if (name == QLatin1String("NLS_NUMERIC_CHARACTERS") && m.captured(2).size() == 2)
            service.Decimal = m.captured(2)[0];
        else if (!name.startsWith(QLatin1String("NLS_")))
            return Fail(error, 2248, QStringLiteral("invalid option for ALTER SESSION"));
    }
    return OCI_SUCCESS;
}

// Writes the row's fixed-size columns into their buffers. A NULL needs an
// indicator to land in; a value cut to its buffer says so in the indicator
// and makes the fetch succeed with information only.
sword FillDefines(TStatement &s, OCIError *error)
{
    sword status = OCI_SUCCESS;
    for (size_t c = 0; c < s.Defines.size() && c < s.Row.size(); ++c) {
        TDefine &d = s.Defines[c];
        if (d.Dynamic || !d.Value)
            continue;
        if (IsNull(s.Row[c])) {
            if (!d.Indicator)
                return Fail(error, 1405, QStringLiteral("fetched column value is NULL"));
            *d.Indicator = -1;
            if (d.Code)
                *d.Code = 1405;
            continue;
        }
        const QByteArray text = ValueText(*s.Service, s.Row[c], s.Types[c]);
        // Room for the terminator of an STR buffer; a CHR or AFC value fills it.
        const qsizetype room = qMax<qsizetype>(0, d.Type == SQLT_STR ? d.Size - 1 : d.Size);
        const qsizetype n = qMin(room, text.size());
        auto *buffer = static_cast<char *>(d.Value);
        std::memcpy(buffer, text.constData(), size_t(n));
        qsizetype length = n;
        if (d.Type == SQLT_STR)
            buffer[n] = '\0';
        else if (d.Type == SQLT_AFC) {
            std::memset(buffer + n, ' ', size_t(room - n));
            length = room;
        }
        if (d.Length)
            *d.Length = ub2(length);
        const bool cut = n < text.size();
        if (d.Indicator)
            *d.Indicator = cut ? (text.size() > 32767 ? sb2(-2) : sb2(text.size())) : 0;
        if (d.Code)
            *d.Code = cut ? 1406 : 0;
        if (cut) {
            Fail(error, 24345, QStringLiteral("A Truncation or null fetch error occurred"));
            status = OCI_SUCCESS_WITH_INFO;
        }
    }
    return status;
}

// A bind's value as the client reads it when the statement executes: an STR
// value must end within its length, a NULL is told by the indicator, and an
// empty text is a NULL too.
sword BindValue(sqlite3_stmt *handle, int index, const TBind &bind, OCIError *error)
{
    if (!IsTextType(bind.Type))
        return Fail(error, 3115, QStringLiteral("unsupported network datatype or representation"));
    if (bind.Size < 0 || (bind.Size > 0 && !bind.Value))
        return Fail(error, 1459, QStringLiteral("invalid length for variable character string"));
    if (bind.Indicator && *bind.Indicator == -1)
        return sqlite3_bind_null(handle, index) == SQLITE_OK ? OCI_SUCCESS : OCI_ERROR;
    qsizetype length = bind.Length ? qMin<qsizetype>(*bind.Length, bind.Size) : bind.Size;
    if (bind.Type == SQLT_STR) {
        const void *end = bind.Size > 0 ? std::memchr(bind.Value, 0, size_t(bind.Size)) : nullptr;
        if (!end)
            return Fail(error, 1480, QStringLiteral("trailing null missing from STR bind value"));
        length = static_cast<const char *>(end) - bind.Value;
    }
    if (length == 0)
        sqlite3_bind_null(handle, index);
    else
        sqlite3_bind_text(handle, index, bind.Value, int(length), SQLITE_TRANSIENT);
    return OCI_SUCCESS;
}

} // namespace

STANDIN_API sword OCIEnvNlsCreate(OCIEnv **envp, ub4, void *, void *(*)(void *, size_t),
                                  void *(*)(void *, void *, size_t), void (*)(void *, void *), size_t, void **, ub2,
                                  ub2)
{
    *envp = reinterpret_cast<OCIEnv *>(new TEnvironment);
    return OCI_SUCCESS;
}

STANDIN_API sword OCIHandleAlloc(const void *, void **hndlpp, ub4 type, size_t, void **)
{
    if (type != OCI_HTYPE_ERROR)
        return OCI_INVALID_HANDLE;
    *hndlpp = new TError;
    return OCI_SUCCESS;
}

STANDIN_API sword OCIHandleFree(void *hndlp, ub4 type)
{
    if (type == OCI_HTYPE_ENV)
        delete static_cast<TEnvironment *>(hndlp);
    else if (type == OCI_HTYPE_ERROR)
        delete static_cast<TError *>(hndlp);
    else
        return OCI_INVALID_HANDLE;
    return OCI_SUCCESS;
}

STANDIN_API sword OCIDescriptorFree(void *descp, ub4)
{
    delete static_cast<TParam *>(descp);
    return OCI_SUCCESS;
}

STANDIN_API sword OCILogon2(OCIEnv *, OCIError *errhp, OCISvcCtx **svchp, const OraText *username, ub4 uname_len,
                            const OraText *password, ub4 passwd_len, const OraText *dbname, ub4 dbname_len, ub4)
{
    const QString user = QString::fromUtf8(reinterpret_cast<const char *>(username), int(uname_len)).toUpper();
    const QString secret = QString::fromUtf8(reinterpret_cast<const char *>(password), int(passwd_len));
    const QString database = QString::fromUtf8(reinterpret_cast<const char *>(dbname), int(dbname_len));
    if (database.compare(QLatin1String("STANDIN"), Qt::CaseInsensitive) != 0)
        return Fail(errhp, 12154, QStringLiteral("TNS:could not resolve the connect identifier specified"));
    const QString file = qEnvironmentVariable("STANDIN_DATABASE");
    auto service = std::make_unique<TService>();
    sqlite3_open_v2(":memory:", &service->Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_URI,
                    nullptr);
    const auto refuse = [&](sb4 code, const QString &text) {
        sqlite3_close(service->Db);
        return Fail(errhp, code, text);
    };
    if (!QFileInfo(file).isFile() || !Attach(service->Db, file, QStringLiteral("sys"), true))
        return refuse(12514, QStringLiteral("TNS:listener does not currently know of service requested"));
    bool known = false, keepsPasswords = false;
    Run(service->Db, QStringLiteral("select 1 from sys.ALL_USERS where USERNAME = ?1"), {user}, &known);
    Run(service->Db, QStringLiteral("select 1 from sys.sqlite_master where NAME = 'MARROWTIDE_LOGONS'"), {},
        &keepsPasswords);
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(secret.toUtf8(), QCryptographicHash::Sha256).toHex());
    bool matches = !keepsPasswords;
    if (keepsPasswords)
        Run(service->Db,
            QStringLiteral("select 1 from sys.MARROWTIDE_LOGONS where USERNAME = ?1 and PASSWORD_SHA256 = ?2"),
            {user, hash}, &matches);
    if (!known || !matches)
        return refuse(1017, QStringLiteral("invalid username/password; logon denied"));
    const QFileInfo info(file);
    const QStringList names =
        info.dir().entryList({info.completeBaseName() + QStringLiteral(".*.") + info.suffix()}, QDir::Files);
    for (const QString &name : names) {
        const QString schema = QFileInfo(name).completeBaseName().mid(info.completeBaseName().size() + 1);
        if (schema.compare(QLatin1String("sys"), Qt::CaseInsensitive) != 0)
            Attach(service->Db, info.dir().filePath(name), schema, false);
    }
    sqlite3_create_function(service->Db, "STANDIN_GET_DDL", 3, SQLITE_UTF8, nullptr, GetDdl, nullptr, nullptr);
    std::lock_guard lock(ServicesMutex);
    Services.insert(service.get());
    *svchp = reinterpret_cast<OCISvcCtx *>(service.release());
    return OCI_SUCCESS;
}

STANDIN_API sword OCILogoff(OCISvcCtx *svchp, OCIError *)
{
    auto *service = reinterpret_cast<TService *>(svchp);
    {
        std::lock_guard lock(ServicesMutex);
        Services.erase(service);
    }
    sqlite3_close_v2(service->Db);
    delete service;
    return OCI_SUCCESS;
}

STANDIN_API sword OCIStmtPrepare2(OCISvcCtx *svchp, OCIStmt **stmthp, OCIError *, const OraText *stmttext,
                                  ub4 stmt_len, const OraText *, ub4, ub4, ub4)
{
    auto statement = std::make_unique<TStatement>();
    statement->Service = reinterpret_cast<TService *>(svchp);
    QString sql = QString::fromUtf8(reinterpret_cast<const char *>(stmttext), int(stmt_len)).trimmed();
    const QString verb = sql.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0).toLower();
    statement->Type = verb == QLatin1String("select") || verb == QLatin1String("with") ? OCI_STMT_SELECT
                      : verb == QLatin1String("alter")                                  ? OCI_STMT_ALTER
                                                                                        : 0;
    // The Oracle forms the program sends, in SQLite's words.
    sql.replace(QRegularExpression(QStringLiteral("DBMS_METADATA\\.GET_DDL\\s*\\("),
                                   QRegularExpression::CaseInsensitiveOption),
                QStringLiteral("STANDIN_GET_DDL("));
    static const QRegularExpression firstRows(QStringLiteral("\\s+where\\s+rownum\\s*<=\\s*(\\d+)\\s*$"),
                                              QRegularExpression::CaseInsensitiveOption);
    sql.replace(firstRows, QStringLiteral(" limit \\1"));
    statement->Sql = sql.toUtf8();
    *stmthp = reinterpret_cast<OCIStmt *>(statement.release());
    return OCI_SUCCESS;
}

STANDIN_API sword OCIStmtRelease(OCIStmt *stmthp, OCIError *, const OraText *, ub4, ub4)
{
    auto *statement = reinterpret_cast<TStatement *>(stmthp);
    sqlite3_finalize(statement->Handle);
    delete statement;
    return OCI_SUCCESS;
}

// Like a client, it reads the value only when the statement executes.
STANDIN_API sword OCIBindByName(OCIStmt *stmtp, OCIBind **bindp, OCIError *, const OraText *placeholder,
                                sb4 placeh_len, void *valuep, sb4 value_sz, ub2 dty, void *indp, ub2 *alenp, ub2 *,
                                ub4, ub4 *, ub4)
{
    auto *statement = reinterpret_cast<TStatement *>(stmtp);
    statement->Binds.push_back({QByteArray(reinterpret_cast<const char *>(placeholder), placeh_len),
                                static_cast<const char *>(valuep), value_sz, dty, static_cast<const sb2 *>(indp),
                                alenp});
    *bindp = reinterpret_cast<OCIBind *>(&statement->Binds.back());
    return OCI_SUCCESS;
}

STANDIN_API sword OCIStmtExecute(OCISvcCtx *svchp, OCIStmt *stmtp, OCIError *errhp, ub4, ub4, const OCISnapshot *,
                                 OCISnapshot *, ub4)
{
    auto &s = *reinterpret_cast<TStatement *>(stmtp);
    auto &service = *reinterpret_cast<TService *>(svchp);
    sword status = OCI_SUCCESS;
    if (Dropped(&service, errhp, status))
        return status;
    if (s.Type == OCI_STMT_ALTER)
        return AlterSession(service, s.Sql, errhp);
    int rc = sqlite3_prepare_v2(service.Db, s.Sql.constData(), int(s.Sql.size()), &s.Handle, nullptr);
    if (rc != SQLITE_OK)
        return FailSqlite(errhp, service.Db, rc);
    for (const TBind &bind : s.Binds) {
        const int index = sqlite3_bind_parameter_index(s.Handle, bind.Name.constData());
        if (index == 0)
            return Fail(errhp, 1036, QStringLiteral("illegal variable name/number"));
        if (const sword status = BindValue(s.Handle, index, bind, errhp); status != OCI_SUCCESS)
            return status;
    }
    if (s.Type == OCI_STMT_SELECT)
        return DescribeColumns(s, errhp);
    while ((rc = sqlite3_step(s.Handle)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        return FailSqlite(errhp, service.Db, rc);
    s.Changed = ub4(sqlite3_changes(service.Db));
    return OCI_SUCCESS;
}

STANDIN_API sword OCIAttrGet(const void *trgthndlp, ub4 trghndltyp, void *attributep, ub4 *sizep, ub4 attrtype,
                             OCIError *errhp)
{
    if (trghndltyp == OCI_DTYPE_PARAM) {
        const auto *param = static_cast<const TParam *>(trgthndlp);
        if (attrtype == OCI_ATTR_NAME) {
            *static_cast<const char **>(attributep) = param->Name.constData();
            *sizep = ub4(param->Name.size());
        } else if (attrtype == OCI_ATTR_DATA_TYPE) {
            *static_cast<ub2 *>(attributep) = param->Type;
        }
        return OCI_SUCCESS;
    }
    const auto *s = static_cast<const TStatement *>(trgthndlp);
    if (attrtype == OCI_ATTR_STMT_TYPE)
        *static_cast<ub2 *>(attributep) = s->Type;
    else if (attrtype == OCI_ATTR_PARAM_COUNT)
        *static_cast<ub4 *>(attributep) = ub4(s->Types.size());
    else if (attrtype == OCI_ATTR_ROW_COUNT)
        *static_cast<ub4 *>(attributep) = s->Changed;
    else
        return Fail(errhp, 24315, QStringLiteral("illegal attribute type"));
    return OCI_SUCCESS;
}

STANDIN_API sword OCIParamGet(const void *hndlp, ub4, OCIError *errhp, void **parmdpp, ub4 pos)
{
    const auto *s = static_cast<const TStatement *>(hndlp);
    if (pos < 1 || pos > s->Types.size())
        return Fail(errhp, 24334, QStringLiteral("no descriptor for this position"));
    *parmdpp = new TParam{s->Names[pos - 1], s->Types[pos - 1]};
    return OCI_SUCCESS;
}

STANDIN_API sword OCIDefineByPos(OCIStmt *stmtp, OCIDefine **defnp, OCIError *errhp, ub4 position, void *valuep,
                                 sb4 value_sz, ub2 dty, void *indp, ub2 *rlenp, ub2 *rcodep, ub4 mode)
{
    auto &s = *reinterpret_cast<TStatement *>(stmtp);
    if (position < 1 || position > s.Types.size())
        return Fail(errhp, 1007, QStringLiteral("variable not in select list"));
    // Binary values go to binary buffers only, and text to text; a value read
    // in pieces goes to a LONG or LONG RAW define.
    const bool dynamic = (mode & OCI_DYNAMIC_FETCH) != 0;
    const bool binaryColumn = s.Types[position - 1] == SQLT_BLOB || s.Types[position - 1] == SQLT_LBI;
    const bool known = dynamic ? dty == SQLT_LNG || dty == SQLT_LBI : IsTextType(dty) || dty == SQLT_LBI;
    if (!known || (binaryColumn != (dty == SQLT_LBI) && (binaryColumn || dynamic)))
        return Fail(errhp, 932, QStringLiteral("inconsistent datatypes"));
    if (s.Defines.size() < s.Types.size())
        s.Defines.resize(s.Types.size());
    TDefine &d = s.Defines[position - 1];
    d = TDefine{valuep, value_sz, dty, static_cast<sb2 *>(indp), rlenp, rcodep, dynamic};
    *defnp = reinterpret_cast<OCIDefine *>(&d);
    return OCI_SUCCESS;
}

STANDIN_API sword OCIStmtFetch2(OCIStmt *stmtp, OCIError *errhp, ub4, ub2, sb4, ub4)
{
    auto &s = *reinterpret_cast<TStatement *>(stmtp);
    sword status = OCI_SUCCESS;
    if (Dropped(s.Service, errhp, status))
        return status;
    if (!s.InPieces) {
        bool have = false;
        if ((status = NextRow(s, errhp, have)) != OCI_SUCCESS)
            return status;
        if (!have)
            return OCI_NO_DATA;
        if ((status = FillDefines(s, errhp)) == OCI_ERROR)
            return status;
        s.DynamicColumns.clear();
        for (size_t c = 0; c < s.Defines.size(); ++c)
            if (s.Defines[c].Dynamic)
                s.DynamicColumns.push_back(c);
        if (s.DynamicColumns.empty())
            return status;
        s.InPieces = true;
        s.PieceColumn = 0;
        s.PieceOffset = 0;
        return OCI_NEED_DATA;
    }
    // The buffer given for the piece asked for gets the next bytes.
    const size_t column = s.DynamicColumns[s.PieceColumn];
    TDefine &d = s.Defines[column];
    if (!d.Piece || !d.PieceLength)
        return Fail(errhp, 3129, QStringLiteral("the next piece to be inserted is required"));
    const QVariant &value = s.Row[column];
    if (IsNull(value) && !d.PieceIndicator)
        return Fail(errhp, 1405, QStringLiteral("fetched column value is NULL"));
    if (s.PieceOffset == 0)
        s.PieceValue = IsNull(value) ? QByteArray() : ValueText(*s.Service, value, s.Types[column]);
    const QByteArray &bytes = s.PieceValue;
    const qsizetype n = qMin<qsizetype>(*d.PieceLength, bytes.size() - s.PieceOffset);
    std::memcpy(d.Piece, bytes.constData() + s.PieceOffset, size_t(n));
    *d.PieceLength = ub4(n);
    if (d.PieceIndicator)
        *d.PieceIndicator = IsNull(value) ? sb2(-1) : sb2(0);
    d.Piece = nullptr;
    s.PieceOffset += n;
    if (s.PieceOffset >= bytes.size()) {
        s.PieceOffset = 0;
        if (++s.PieceColumn == s.DynamicColumns.size()) {
            s.InPieces = false;
            return OCI_SUCCESS;
        }
    }
    return OCI_NEED_DATA;
}

STANDIN_API sword OCIStmtGetPieceInfo(const OCIStmt *stmtp, OCIError *errhp, void **hndlpp, ub4 *typep, ub1 *in_outp,
                                      ub4 *iterp, ub4 *idxp, ub1 *piecep)
{
    const auto &s = *reinterpret_cast<const TStatement *>(stmtp);
    if (!s.InPieces)
        return Fail(errhp, 24345, QStringLiteral("no piece is awaited"));
    *hndlpp = const_cast<TDefine *>(&s.Defines[s.DynamicColumns[s.PieceColumn]]);
    *typep = OCI_HTYPE_DEFINE;
    *in_outp = OCI_PARAM_OUT;
    *iterp = 0;
    *idxp = 0;
    *piecep = s.PieceOffset == 0 ? OCI_FIRST_PIECE : OCI_NEXT_PIECE;
    return OCI_SUCCESS;
}

STANDIN_API sword OCIStmtSetPieceInfo(void *hndlp, ub4, OCIError *, const void *bufp, ub4 *alenp, ub1,
                                      const void *indp, ub2 *)
{
    auto *d = static_cast<TDefine *>(hndlp);
    d->Piece = const_cast<void *>(bufp);
    d->PieceLength = alenp;
    d->PieceIndicator = static_cast<sb2 *>(const_cast<void *>(indp));
    return OCI_SUCCESS;
}

STANDIN_API sword OCIErrorGet(void *hndlp, ub4, OraText *, sb4 *errcodep, OraText *bufp, ub4 bufsiz, ub4)
{
    const auto *error = static_cast<const TError *>(hndlp);
    *errcodep = error->Code;
    const size_t n = qMin<size_t>(size_t(error->Text.size()), bufsiz - 1);
    std::memcpy(bufp, error->Text.constData(), n);
    bufp[n] = 0;
    return OCI_SUCCESS;
}

STANDIN_API sword OCIBreak(void *hndlp, OCIError *)
{
    sqlite3_interrupt(static_cast<TService *>(hndlp)->Db);
    return OCI_SUCCESS;
}

// For the tests: the network goes away under every open session, whose next
// call fails with the code given (3113, 3114 or 3135) and every later one with 3114.
STANDIN_API void StandInDropConnections(sb4 code)
{
    std::lock_guard lock(ServicesMutex);
    for (TService *service : Services)
        service->DropCode = code;
}

// The stand-in keeps to the declarations the program calls through.
static_assert(std::is_same_v<decltype(&OCIEnvNlsCreate), OCIEnvNlsCreate_t>);
static_assert(std::is_same_v<decltype(&OCIHandleAlloc), OCIHandleAlloc_t>);
static_assert(std::is_same_v<decltype(&OCIHandleFree), OCIHandleFree_t>);
static_assert(std::is_same_v<decltype(&OCIDescriptorFree), OCIDescriptorFree_t>);
static_assert(std::is_same_v<decltype(&OCILogon2), OCILogon2_t>);
static_assert(std::is_same_v<decltype(&OCILogoff), OCILogoff_t>);
static_assert(std::is_same_v<decltype(&OCIStmtPrepare2), OCIStmtPrepare2_t>);
static_assert(std::is_same_v<decltype(&OCIStmtRelease), OCIStmtRelease_t>);
static_assert(std::is_same_v<decltype(&OCIBindByName), OCIBindByName_t>);
static_assert(std::is_same_v<decltype(&OCIStmtExecute), OCIStmtExecute_t>);
static_assert(std::is_same_v<decltype(&OCIAttrGet), OCIAttrGet_t>);
static_assert(std::is_same_v<decltype(&OCIParamGet), OCIParamGet_t>);
static_assert(std::is_same_v<decltype(&OCIDefineByPos), OCIDefineByPos_t>);
static_assert(std::is_same_v<decltype(&OCIStmtFetch2), OCIStmtFetch2_t>);
static_assert(std::is_same_v<decltype(&OCIStmtGetPieceInfo), OCIStmtGetPieceInfo_t>);
static_assert(std::is_same_v<decltype(&OCIStmtSetPieceInfo), OCIStmtSetPieceInfo_t>);
static_assert(std::is_same_v<decltype(&OCIErrorGet), OCIErrorGet_t>);
static_assert(std::is_same_v<decltype(&OCIBreak), OCIBreak_t>);
