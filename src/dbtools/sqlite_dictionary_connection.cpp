#include "dbtools/sqlite_dictionary_connection.h"

#include "dbtools/sqlite_value.h"
#include "model/result_set.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

const char InvalidLogon[] = "ORA-01017: invalid username/password; logon denied";

// A schema name we put into ATTACH ourselves: letters, digits, "_", "$", "#".
bool IsSchemaName(const QString &name)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$#]{0,29}$"));
    return identifier.match(name).hasMatch();
}

// SQLite keeps ten attached databases by default; "sys" takes one.
constexpr int MaxDataFiles = 9;

int BindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::Bool:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, index, value.toDouble());
    default: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

// Finalizes the statement whichever way Execute leaves.
struct TStatement {
    sqlite3_stmt *Handle = nullptr;
    ~TStatement() { sqlite3_finalize(Handle); }
};

// The type of Owner.Name in the dictionary ("TABLE" or "VIEW"); empty when the
// dictionary does not list it. SQLite's message has lost the quotes, so the
// name is taken as written or, as an unquoted name is, in upper case.
QString DictionaryObjectType(sqlite3 *db, const QString &owner, const QString &name)
{
    TStatement statement;
    const char sql[] = "select OBJECT_TYPE from SYS.ALL_OBJECTS where OWNER = upper(?1) "
                       "and OBJECT_NAME in (?2, upper(?2)) and OBJECT_TYPE in ('TABLE', 'VIEW')";
    if (sqlite3_prepare_v2(db, sql, -1, &statement.Handle, nullptr) != SQLITE_OK)
        return {};
    const QByteArray o = owner.toUtf8(), n = name.toUtf8();
    sqlite3_bind_text(statement.Handle, 1, o.constData(), int(o.size()), SQLITE_TRANSIENT);
    sqlite3_bind_text(statement.Handle, 2, n.constData(), int(n.size()), SQLITE_TRANSIENT);
    if (sqlite3_step(statement.Handle) != SQLITE_ROW)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement.Handle, 0)));
}

// What the sample cannot answer, said as such rather than in SQLite's words:
// it keeps no sequences, and an object of the dictionary may have no data
// (a view whose query SQLite cannot run). Empty for any other message.
QString SampleCannot(sqlite3 *db, const QString &message)
{
    static const QRegularExpression sequence(QStringLiteral("^no such column: (.+\\.(nextval|currval))$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression object(QStringLiteral("^no such table: ([^.]+)\\.(.+)$"));
    QRegularExpressionMatch match = sequence.match(message);
    if (match.hasMatch())
        return QStringLiteral("The sample database cannot give %1: it keeps no sequences.").arg(match.captured(1));
    match = object.match(message);
    if (!match.hasMatch())
        return {};
    const QString type = DictionaryObjectType(db, match.captured(1), match.captured(2));
    if (type.isEmpty())
        return {};
    return QStringLiteral("The sample database cannot query the %1 %2.%3: it holds no data for it.")
        .arg(type.toLower(), match.captured(1), match.captured(2));
}

} // namespace

SqliteDictionaryConnection::SqliteDictionaryConnection(const QString &dictionaryFile, const QString &user,
                                                       const QString &password)
    : m_file(dictionaryFile)
{
    if (!IsSqliteFile(dictionaryFile))
        throw ESqlError(QStringLiteral("\"%1\" is not a SQLite dictionary database.").arg(dictionaryFile));
    sqlite3 *db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX | SQLITE_OPEN_URI;
    if (sqlite3_open_v2(":memory:", &db, flags, nullptr) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        throw ESqlError(reason);
    }
    m_db = db;
    try {
        Attach(dictionaryFile, QStringLiteral("sys"), true);
        CheckLogon(user, password);
        const QStringList files = DataFiles(dictionaryFile, user);
        for (const QString &file : files) {
            const QString name = QFileInfo(file).completeBaseName();
            Attach(file, name.mid(name.lastIndexOf(QLatin1Char('.')) + 1), false);
        }
    } catch (...) {
        Disconnect();
        throw;
    }
}

SqliteDictionaryConnection::~SqliteDictionaryConnection() { Disconnect(); }

bool SqliteDictionaryConnection::IsSqliteFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString SqliteDictionaryConnection::TranslateFirstRows(const QString &sql)
{
    static const QRegularExpression firstRows(
        QStringLiteral("\\s+(where|and)\\s+rownum\\s*(<=|<)\\s*(\\d+)\\s*;?\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = firstRows.match(sql);
    if (!match.hasMatch())
        return sql;
    qlonglong count = match.captured(3).toLongLong();
    if (match.captured(2) == QLatin1String("<"))
        count = qMax<qlonglong>(0, count - 1);
    // "and rownum" keeps the conditions before it; "where rownum" had none.
    QString head = sql.left(match.capturedStart());
    return head + QStringLiteral(" limit ") + QString::number(count);
}

QStringList SqliteDictionaryConnection::DataFiles(const QString &dictionaryFile, const QString &user)
{
    const QFileInfo info(dictionaryFile);
    const QString stem = info.completeBaseName();
    QStringList own, others;
    const QStringList names = info.dir().entryList({stem + QStringLiteral(".*.") + info.suffix()},
                                                   QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const QString schema = QFileInfo(name).completeBaseName().mid(stem.size() + 1);
        if (!IsSchemaName(schema) || schema.compare(QLatin1String("sys"), Qt::CaseInsensitive) == 0)
            continue;
        const QString path = info.dir().filePath(name);
        (schema.compare(user, Qt::CaseInsensitive) == 0 ? own : others).append(path);
    }
    return (own + others).mid(0, MaxDataFiles);
}

void SqliteDictionaryConnection::Attach(const QString &file, const QString &schema, bool readOnly)
{
    QString uri = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded);
    if (readOnly)
        uri += QStringLiteral("?mode=ro");
    Execute(QStringLiteral("attach database :file as ") + schema, {{QStringLiteral("file"), uri}}, nullptr);
}

void SqliteDictionaryConnection::CheckLogon(const QString &user, const QString &password)
{
    TSqlBinds binds{{QStringLiteral("u"), user.toUpper()}};
    auto users = Query(QStringLiteral("select USERNAME from SYS.ALL_USERS where USERNAME = :u"), binds);
    if (users->RowCount() == 0)
        throw ESqlError(QString::fromLatin1(InvalidLogon));
    // Dictionaries without stored passwords let every listed user in.
    auto keeps = Query(QStringLiteral("select NAME from SYS.SQLITE_MASTER where NAME = 'MARROWTIDE_LOGONS'"));
    if (keeps->RowCount() == 0)
        return;
    binds.emplace_back(QStringLiteral("p"), QString::fromLatin1(QCryptographicHash::hash(
                                                password.toUtf8(), QCryptographicHash::Sha256).toHex()));
    auto match = Query(QStringLiteral("select USERNAME from SYS.MARROWTIDE_LOGONS "
                                      "where USERNAME = :u and PASSWORD_SHA256 = :p"),
                       binds);
    if (match->RowCount() == 0)
        throw ESqlError(QString::fromLatin1(InvalidLogon));
}

bool SqliteDictionaryConnection::Connected() const { return m_db.load() != nullptr; }

void SqliteDictionaryConnection::Disconnect()
{
    Interrupt();
    std::lock_guard exec(m_execMutex);
    std::lock_guard handle(m_handleMutex);
    if (sqlite3 *db = m_db.exchange(nullptr))
        sqlite3_close_v2(db);
}

void SqliteDictionaryConnection::Interrupt()
{
    std::lock_guard handle(m_handleMutex);
    if (sqlite3 *db = m_db.load())
        sqlite3_interrupt(db);
}

QString SqliteDictionaryConnection::Description() const
{
    return QStringLiteral("SQLite dictionary ") + m_file;
}

void SqliteDictionaryConnection::Raise(int code, const QString &message) const
{
    sqlite3 *db = m_db.load();
    if (code == SQLITE_INTERRUPT)
        throw ESqlError(QStringLiteral("ORA-01013: user requested cancel of current operation"));
    if (!message.isEmpty())
        throw ESqlError(message);
    throw ESqlError(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)));
}

qint64 SqliteDictionaryConnection::Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink)
{
    std::lock_guard exec(m_execMutex);
    sqlite3 *db = m_db.load();
    if (!db)
        throw ESqlError(QStringLiteral("ORA-03114: not connected to ORACLE"));
    // A removed file stays readable while it is open here: ask for the file itself.
    if (!QFileInfo::exists(m_file)) {
        {
            std::lock_guard handle(m_handleMutex);
            sqlite3_close_v2(m_db.exchange(nullptr));
        }
        RaiseConnectionLost(QStringLiteral("The database file \"%1\" is gone.").arg(m_file));
    }
    const TSinkRun run(sink);
    const QByteArray text = TranslateFirstRows(sql).toUtf8();
    TStatement statement;
    const char *tail = nullptr;
    int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &statement.Handle, &tail);
    if (rc != SQLITE_OK) {
        // Taken before the dictionary is asked, which sets a message of its own.
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        const QString cannot = SampleCannot(db, message);
        Raise(rc, cannot.isEmpty() ? message : cannot);
    }
    if (!statement.Handle)
        throw ESqlError(QStringLiteral("The statement is empty."));
    if (QByteArray(tail).trimmed().replace(';', "").trimmed().size() > 0)
        throw ESqlError(QStringLiteral("Only one statement can run at a time."));
    for (const auto &[name, value] : binds) {
        const int index = sqlite3_bind_parameter_index(statement.Handle, (":" + name).toUtf8().constData());
        if (index > 0 && (rc = BindValue(statement.Handle, index, value)) != SQLITE_OK)
            Raise(rc);
    }
    const int columns = sqlite3_column_count(statement.Handle);
    if (sink && columns > 0) {
        QStringList names;
        for (int c = 0; c < columns; ++c)
            names << QString::fromUtf8(sqlite3_column_name(statement.Handle, c));
        sink->Columns(names);
    }
    qint64 rows = 0;
    while ((rc = sqlite3_step(statement.Handle)) == SQLITE_ROW) {
        ++rows;
        if (!sink)
            continue;
        QVariantList values;
        values.reserve(columns);
        for (int c = 0; c < columns; ++c)
            values << SqliteColumnValue(statement.Handle, c);
        if (!sink->Row(values))
            return rows;
    }
    if (rc != SQLITE_DONE)
        Raise(rc);
    return columns > 0 ? rows : qint64(sqlite3_changes(db));
}
