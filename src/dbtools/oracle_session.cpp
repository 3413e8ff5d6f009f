#include "dbtools/oracle_session.h"

#include "dbtools/connection_claim.h"
#include "dbtools/console_helper.h"
#include "dbtools/dictionary_table_reader.h"
#include "dbtools/login_manager.h"
#include "dbtools/oci_connection.h"
#include "dbtools/sqlite_dictionary_connection.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/oracle_name.h"
#include "model/result_set.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString OwnerBind = QStringLiteral("owner");
const QString NameBind = QStringLiteral("name");

QString Text(const TOSRow *row, const char *column)
{
    return row->GetValueByName(QLatin1String(column)).toString();
}

int Number(const TOSRow *row, const char *column)
{
    return row->GetValueByName(QLatin1String(column)).toInt();
}

TSqlBinds OwnerAndName(const QString &owner, const QString &name)
{
    return {{OwnerBind, owner}, {NameBind, name}};
}

std::unique_ptr<TOSResultSet> RefTableResult()
{
    auto result = std::make_unique<TOSResultSet>();
    result->AddColumn(QStringLiteral("REF_TABLE_OWNER"));
    result->AddColumn(QStringLiteral("REF_TABLE_NAME"));
    result->AddColumn(QStringLiteral("REF_OBJECT_TABLE"));
    return result;
}

// A mistyped sample file name would otherwise only tell of the missing Oracle
// client: say first that there is no such database file.
std::unique_ptr<ISqlConnection> OpenOracle(const TLogonValues &values)
{
    try {
        return std::make_unique<OciConnection>(TOciClientSettings::Current(), values.User, values.Password,
                                               values.Database);
    } catch (const ESqlError &e) {
        static const QRegularExpression fileSuffix(QStringLiteral("\\.(db|sqlite|sqlite3)$"),
                                                   QRegularExpression::CaseInsensitiveOption);
        if (QFileInfo(values.Database).isFile())
            throw ESqlError(QStringLiteral("\"%1\" is no SQLite database. ").arg(values.Database) + e.Message());
        if (fileSuffix.match(values.Database).hasMatch())
            throw ESqlError(QStringLiteral("There is no database file \"%1\". ").arg(values.Database) + e.Message());
        throw;
    }
}

// What the table and object-table rows of the dictionary share.
void ReadTableRow(TDiagramTable &table, const TOSRow *row)
{
    table.Owner = Text(row, "OWNER");
    table.Name = Text(row, "TABLE_NAME");
    table.Partitioned = Text(row, "PARTITIONED").trimmed().toUpper() == QLatin1String("YES");
    table.Comment = Text(row, "COMMENTS");
}

} // namespace

TOracleSession::TOracleSession(const TLogonValues &values, std::unique_ptr<ISqlConnection> connection)
    : m_user(values.User), m_password(values.Password), m_database(values.Database),
      m_connection(std::move(connection))
{
}

TOracleSession::~TOracleSession() = default;

std::shared_ptr<TOracleSession> TOracleSession::Open(const TLogonValues &values)
{
    std::unique_ptr<ISqlConnection> connection;
    if (SqliteDictionaryConnection::IsSqliteFile(values.Database))
        connection = std::make_unique<SqliteDictionaryConnection>(values.Database, values.User, values.Password);
    else
        connection = OpenOracle(values);
    return std::make_shared<TOracleSession>(values, std::move(connection));
}

bool TOracleSession::GetConnected() const { return m_connection && m_connection->Connected(); }

void TOracleSession::Disconnect()
{
    if (!m_connection)
        return;
    // A SQL editor's query waiting for its window would keep the log-off waiting.
    TConnectionClaim claim(*m_connection);
    m_connection->Disconnect();
}

void TOracleSession::CheckConnected() const
{
    if (!GetConnected())
        throw ENotConnected();
}

std::unique_ptr<TOSResultSet> TOracleSession::DictionaryQuery(const QString &sql, const TSqlBinds &binds)
{
    CheckConnected();
    TConsoleHelper::WriteLine(sql);
    TConsoleHelper::WriteLine(QString());
    TConnectionClaim claim(*m_connection);
    return m_connection->Query(sql, binds);
}

void TOracleSession::DictionaryRows(const QString &sql, const TSqlBinds &binds,
                                    const std::function<void(const QVariantList &)> &each)
{
    struct TSink : ISqlRowSink {
        const std::function<void(const QVariantList &)> &Each;
        explicit TSink(const std::function<void(const QVariantList &)> &e) : Each(e) {}
        void Columns(const QStringList &) override {}
        bool Row(const QVariantList &values) override
        {
            Each(values);
            return true;
        }
    } sink(each);
    CheckConnected();
    TConsoleHelper::WriteLine(sql);
    TConsoleHelper::WriteLine(QString());
    TConnectionClaim claim(*m_connection);
    m_connection->Execute(sql, binds, &sink);
}

std::unique_ptr<TOSResultSet> TOracleSession::GetOwners()
{
    auto users = DictionaryQuery(QStringLiteral("select USERNAME from SYS.ALL_USERS order by USERNAME"));
    auto result = std::make_unique<TOSResultSet>();
    result->AddColumn(QStringLiteral("OWNER"));
    for (int i = 0; i < users->RowCount(); ++i)
        result->AddRow()->SetValue(0, users->GetRow(i)->GetCell(0)->Value());
    return result;
}

QString TOracleSession::GetTnsNamesPath() const
{
    const QString tnsAdmin = qEnvironmentVariable("TNS_ADMIN");
    if (!tnsAdmin.isEmpty())
        return QDir(tnsAdmin).filePath(QStringLiteral("tnsnames.ora"));
    QString home = TOciClientSettings::Current().OracleHome;
    if (home.isEmpty())
        home = qEnvironmentVariable("ORACLE_HOME");
    if (!home.isEmpty())
        return QDir(home).filePath(QStringLiteral("network/admin/tnsnames.ora"));
    return QDir::home().filePath(QStringLiteral(".tnsnames.ora"));
}

std::unique_ptr<TOSResultSet> TOracleSession::GetReferencedTables(const QString &owner, const QString &tableName)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select distinct r.OWNER as REF_TABLE_OWNER, r.TABLE_NAME as REF_TABLE_NAME,\n"
        "case when o.TABLE_NAME is null then 0 else 1 end as REF_OBJECT_TABLE\n"
        "from SYS.ALL_CONSTRAINTS c\n"
        "join SYS.ALL_CONSTRAINTS r on r.OWNER = c.R_OWNER and r.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME\n"
        "left join SYS.ALL_OBJECT_TABLES o on o.OWNER = r.OWNER and o.TABLE_NAME = r.TABLE_NAME\n"
        "where c.OWNER = :owner and c.TABLE_NAME = :name and c.CONSTRAINT_TYPE = 'R'\n"
        "order by r.OWNER, r.TABLE_NAME"),
        OwnerAndName(owner, tableName));
    return rows->ColumnCount() ? std::move(rows) : RefTableResult();
}

std::unique_ptr<TOSResultSet> TOracleSession::GetReferencingTables(const QString &owner, const QString &tableName)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select distinct c.OWNER as REF_TABLE_OWNER, c.TABLE_NAME as REF_TABLE_NAME,\n"
        "case when o.TABLE_NAME is null then 0 else 1 end as REF_OBJECT_TABLE\n"
        "from SYS.ALL_CONSTRAINTS r\n"
        "join SYS.ALL_CONSTRAINTS c on c.R_OWNER = r.OWNER and c.R_CONSTRAINT_NAME = r.CONSTRAINT_NAME\n"
        "left join SYS.ALL_OBJECT_TABLES o on o.OWNER = c.OWNER and o.TABLE_NAME = c.TABLE_NAME\n"
        "where r.OWNER = :owner and r.TABLE_NAME = :name and r.CONSTRAINT_TYPE in ('P', 'U')\n"
        "and c.CONSTRAINT_TYPE = 'R'\n"
        "order by c.OWNER, c.TABLE_NAME"),
        OwnerAndName(owner, tableName));
    return rows->ColumnCount() ? std::move(rows) : RefTableResult();
}

QString TOracleSession::GetQueryDataSQL(const QString &owner, const QString &tableName) const
{
    return QStringLiteral("select * \nfrom ") + OracleName::Qualified(owner, tableName) +
           QStringLiteral(" \nwhere rownum <= 200");
}

namespace {

const char TableRowsSql[] = "select t.OWNER, t.TABLE_NAME, t.PARTITIONED, c.COMMENTS\n"
                            "from SYS.ALL_TABLES t\n"
                            "left join SYS.ALL_TAB_COMMENTS c on c.OWNER = t.OWNER and c.TABLE_NAME = t.TABLE_NAME\n"
                            "where ";

// Reading all of an owner's tables costs about what a twelfth of them cost
// one by one; below an eighth the owner's other tables are not worth reading.
constexpr int BulkShare = 8;

} // namespace

std::unique_ptr<TDiagramTable> TOracleSession::GetTable(const QString &owner, const QString &tableName)
{
    return ReadTable(owner, tableName, nullptr);
}

std::unique_ptr<TDiagramTable> TOracleSession::ReadTable(const QString &owner, const QString &tableName,
                                                         QStringList *leftOut)
{
    auto table = std::make_unique<TDiagramTable>();
    TDictionaryTableReader reader(*this, owner, tableName);
    auto rows = DictionaryQuery(QLatin1String(TableRowsSql) + reader.Where("t"), reader.Binds());
    if (rows->RowCount() == 0) {
        table->IsVirtual = true;
        return table;
    }
    ReadTableRow(*table, rows->GetRow(0));
    reader.Add(table.get());
    reader.ReadColumns();
    reader.ReadForeignKeys();
    reader.ReadKeys();
    reader.ReadChecks();
    reader.ReadIndexes(leftOut);
    return table;
}

bool TOracleSession::IsWorthReadingInBulk(const QString &owner, qsizetype wanted)
{
    if (wanted < 2)
        return false;
    auto rows = DictionaryQuery(QStringLiteral("select count(*) as TABLE_COUNT\nfrom SYS.ALL_TABLES\n"
                                               "where OWNER = :owner"),
                                {{OwnerBind, owner}});
    return rows->RowCount() > 0 && wanted * BulkShare >= Number(rows->GetRow(0), "TABLE_COUNT");
}

std::vector<std::unique_ptr<TDiagramTable>> TOracleSession::GetTables(const QString &owner,
                                                                      const QStringList &tableNames)
{
    std::vector<std::unique_ptr<TDiagramTable>> tables;
    tables.reserve(tableNames.size());
    if (!IsWorthReadingInBulk(owner, tableNames.size())) {
        for (const QString &name : tableNames)
            tables.push_back(GetTable(owner, name));
        return tables;
    }
    QHash<QString, qsizetype> first;
    for (qsizetype i = 0; i < tableNames.size(); ++i) {
        tables.push_back(std::make_unique<TDiagramTable>());
        tables.back()->IsVirtual = true;
        first.insert(tableNames[i], first.value(tableNames[i], i));
    }
    TDictionaryTableReader reader(*this, owner);
    auto rows = DictionaryQuery(QLatin1String(TableRowsSql) + reader.Where("t") + QStringLiteral("\norder by t.TABLE_NAME"),
                                reader.Binds());
    for (int r = 0; r < rows->RowCount(); ++r) {
        const auto found = first.constFind(Text(rows->GetRow(r), "TABLE_NAME"));
        if (found == first.cend())
            continue;
        TDiagramTable &table = *tables[found.value()];
        ReadTableRow(table, rows->GetRow(r));
        table.IsVirtual = false;
        reader.Add(&table);
    }
    if (!reader.IsEmpty()) {
        reader.ReadColumns();
        reader.ReadForeignKeys();
        reader.ReadKeys();
        reader.ReadChecks();
        reader.ReadIndexes();
    }
    // A name asked twice gets a table of its own each time.
    for (qsizetype i = 0; i < tableNames.size(); ++i) {
        const qsizetype source = first.value(tableNames[i]);
        if (source != i && !tables[source]->IsVirtual)
            tables[i]->Assign(*tables[source]);
    }
    return tables;
}

std::unique_ptr<TDiagramObjectTable> TOracleSession::GetObjectTable(const QString &owner, const QString &tableName)
{
    auto table = std::make_unique<TDiagramObjectTable>();
    TDictionaryTableReader reader(*this, owner, tableName);
    auto rows = DictionaryQuery(QStringLiteral(
        "select t.OWNER, t.TABLE_NAME, t.PARTITIONED, t.TABLE_TYPE_OWNER, t.TABLE_TYPE, c.COMMENTS\n"
        "from SYS.ALL_OBJECT_TABLES t\n"
        "left join SYS.ALL_TAB_COMMENTS c on c.OWNER = t.OWNER and c.TABLE_NAME = t.TABLE_NAME\n"
        "where ") + reader.Where("t"),
        reader.Binds());
    if (rows->RowCount() == 0) {
        table->IsVirtual = true;
        return table;
    }
    const TOSRow *row = rows->GetRow(0);
    ReadTableRow(*table, row);
    table->TypeOwner = Text(row, "TABLE_TYPE_OWNER");
    table->TypeName = Text(row, "TABLE_TYPE");
    reader.Add(table.get());
    reader.ReadColumns();
    reader.ReadForeignKeys();
    reader.ReadKeys();
    return table;
}

std::unique_ptr<TDiagramType> TOracleSession::GetType(const QString &owner, const QString &typeName)
{
    auto type = std::make_unique<TDiagramType>();
    const TSqlBinds binds = OwnerAndName(owner, typeName);
    auto rows = DictionaryQuery(QStringLiteral("select OWNER, TYPE_NAME\nfrom SYS.ALL_TYPES\n"
                                               "where OWNER = :owner and TYPE_NAME = :name"),
                                binds);
    if (rows->RowCount() == 0) {
        type->IsVirtual = true;
        return type;
    }
    type->Owner = Text(rows->GetRow(0), "OWNER");
    type->Name = Text(rows->GetRow(0), "TYPE_NAME");
    auto attributes = DictionaryQuery(QStringLiteral(
        "select ATTR_NAME, ATTR_TYPE_NAME, LENGTH, PRECISION, SCALE\nfrom SYS.ALL_TYPE_ATTRS\n"
        "where OWNER = :owner and TYPE_NAME = :name\norder by ATTR_NO"),
        binds);
    for (int i = 0; i < attributes->RowCount(); ++i) {
        const TOSRow *a = attributes->GetRow(i);
        auto attribute = std::make_unique<TDiagramAttribute>();
        attribute->Name = Text(a, "ATTR_NAME");
        attribute->DataType = Text(a, "ATTR_TYPE_NAME");
        attribute->DataLength = Number(a, "LENGTH");
        attribute->DataPrecision = Number(a, "PRECISION");
        attribute->DataScale = Number(a, "SCALE");
        type->Attributes.Add(attribute.release());
    }
    auto methods = DictionaryQuery(QStringLiteral("select METHOD_NAME\nfrom SYS.ALL_TYPE_METHODS\n"
                                                  "where OWNER = :owner and TYPE_NAME = :name\n"
                                                  "order by METHOD_NO"),
                                   binds);
    for (int i = 0; i < methods->RowCount(); ++i) {
        auto method = std::make_unique<TDiagramMethod>();
        method->Name = Text(methods->GetRow(i), "METHOD_NAME");
        type->Methods.Add(method.release());
    }
    return type;
}

// Character columns keep the length they were declared with, in characters
// where the column counts characters. A LOB declares none: the dictionary's
// length is its in-row size, and "CLOB(4000)" is no type the server takes back.
int TOracleSession::DeclaredLength(const QString &dataType, int charLength, int dataLength)
{
    if (dataType == QLatin1String("CLOB") || dataType == QLatin1String("BLOB") ||
        dataType == QLatin1String("NCLOB") || dataType == QLatin1String("BFILE"))
        return 0;
    return charLength > 0 ? charLength : dataLength;
}

// The statement has a "where" clause of its own or none; the owner's
// condition joins it.
QStringList TOracleSession::ListNames(const QString &sql, TSqlBinds binds, const QString &owner,
                                      const QString &nameColumn)
{
    QString text = sql;
    if (!owner.isEmpty()) {
        text += (sql.contains(QLatin1String("\nwhere ")) ? QStringLiteral("\nand ") : QStringLiteral("\nwhere ")) +
                QStringLiteral("OWNER = :owner");
        binds.emplace_back(OwnerBind, owner);
    }
    text += QStringLiteral("\norder by OWNER, ") + nameColumn;
    auto rows = DictionaryQuery(text, binds);
    QStringList names;
    names.reserve(rows->RowCount());
    for (int i = 0; i < rows->RowCount(); ++i)
        names << rows->GetRow(i)->GetCell(0)->Value().toString() + QLatin1Char('.') +
                     rows->GetRow(i)->GetCell(1)->Value().toString();
    return names;
}

QStringList TOracleSession::ListTables(const QString &owner)
{
    return ListNames(QStringLiteral("select OWNER, TABLE_NAME\nfrom SYS.ALL_TABLES"), {}, owner,
                     QStringLiteral("TABLE_NAME"));
}

QStringList TOracleSession::ListNestedTables(const QString &owner)
{
    return ListNames(QStringLiteral("select OWNER, TABLE_NAME\nfrom SYS.ALL_TABLES\nwhere NESTED = 'YES'"), {}, owner,
                     QStringLiteral("TABLE_NAME"));
}

QStringList TOracleSession::ListObjectTables(const QString &owner)
{
    return ListNames(QStringLiteral("select OWNER, TABLE_NAME\nfrom SYS.ALL_OBJECT_TABLES"), {}, owner,
                     QStringLiteral("TABLE_NAME"));
}

QStringList TOracleSession::ListTypes(const QString &owner)
{
    return ListNames(QStringLiteral("select OWNER, TYPE_NAME\nfrom SYS.ALL_TYPES"), {}, owner,
                     QStringLiteral("TYPE_NAME"));
}

QStringList TOracleSession::ListObjects(const QString &objectType, const QString &owner)
{
    return ListNames(QStringLiteral("select OWNER, OBJECT_NAME\nfrom SYS.ALL_OBJECTS\n"
                                    "where OBJECT_TYPE = :object_type and SUBOBJECT_NAME is null"),
                     {{QStringLiteral("object_type"), objectType}}, owner, QStringLiteral("OBJECT_NAME"));
}
