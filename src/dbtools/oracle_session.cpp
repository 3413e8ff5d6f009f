#include "dbtools/oracle_session.h"

#include "dbtools/connection_claim.h"
#include "dbtools/console_helper.h"
#include "dbtools/login_manager.h"
#include "dbtools/oci_connection.h"
#include "dbtools/sqlite_dictionary_connection.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
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

// A check that only restates a column's NOT NULL: the column says it already.
bool IsNotNullCheck(const QString &condition)
{
    static const QRegularExpression notNull(QStringLiteral("^\\s*\"[^\"]+\"\\s+IS\\s+NOT\\s+NULL\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return notNull.match(condition).hasMatch();
}

// Index kinds the model can write back as DDL; the others (the index-organized
// table's own, LOB and domain indexes) belong to the table's storage, and a
// function-based index lists hidden columns in place of its expressions.
QString ModelIndexType(const QString &indexType, const QString &uniqueness)
{
    if (indexType.startsWith(QLatin1String("IOT")) || indexType == QLatin1String("LOB") ||
        indexType.startsWith(QLatin1String("FUNCTION-BASED")) ||
        indexType == QLatin1String("DOMAIN") || indexType == QLatin1String("CLUSTER"))
        return {};
    if (uniqueness == QLatin1String("UNIQUE"))
        return QStringLiteral("UNIQUE");
    if (indexType.contains(QLatin1String("BITMAP")))
        return QStringLiteral("BITMAP");
    return QStringLiteral("NORMAL");
}

std::unique_ptr<TOSResultSet> RefTableResult()
{
    auto result = std::make_unique<TOSResultSet>();
    result->AddColumn(QStringLiteral("REF_TABLE_OWNER"));
    result->AddColumn(QStringLiteral("REF_TABLE_NAME"));
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
        "select distinct r.OWNER as REF_TABLE_OWNER, r.TABLE_NAME as REF_TABLE_NAME\n"
        "from SYS.ALL_CONSTRAINTS c\n"
        "join SYS.ALL_CONSTRAINTS r on r.OWNER = c.R_OWNER and r.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME\n"
        "where c.OWNER = :owner and c.TABLE_NAME = :name and c.CONSTRAINT_TYPE = 'R'\n"
        "order by r.OWNER, r.TABLE_NAME"),
        OwnerAndName(owner, tableName));
    return rows->ColumnCount() ? std::move(rows) : RefTableResult();
}

std::unique_ptr<TOSResultSet> TOracleSession::GetReferencingTables(const QString &owner, const QString &tableName)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select distinct c.OWNER as REF_TABLE_OWNER, c.TABLE_NAME as REF_TABLE_NAME\n"
        "from SYS.ALL_CONSTRAINTS r\n"
        "join SYS.ALL_CONSTRAINTS c on c.R_OWNER = r.OWNER and c.R_CONSTRAINT_NAME = r.CONSTRAINT_NAME\n"
        "where r.OWNER = :owner and r.TABLE_NAME = :name and r.CONSTRAINT_TYPE in ('P', 'U')\n"
        "and c.CONSTRAINT_TYPE = 'R'\n"
        "order by c.OWNER, c.TABLE_NAME"),
        OwnerAndName(owner, tableName));
    return rows->ColumnCount() ? std::move(rows) : RefTableResult();
}

QString TOracleSession::GetQueryDataSQL(const QString &owner, const QString &tableName) const
{
    return QStringLiteral("select * \nfrom ") + owner + QLatin1Char('.') + tableName +
           QStringLiteral(" \nwhere rownum <= 200");
}

std::unique_ptr<TDiagramTable> TOracleSession::GetTable(const QString &owner, const QString &tableName)
{
    auto table = std::make_unique<TDiagramTable>();
    auto rows = DictionaryQuery(QStringLiteral(
        "select t.OWNER, t.TABLE_NAME, t.PARTITIONED, c.COMMENTS\n"
        "from SYS.ALL_TABLES t\n"
        "left join SYS.ALL_TAB_COMMENTS c on c.OWNER = t.OWNER and c.TABLE_NAME = t.TABLE_NAME\n"
        "where t.OWNER = :owner and t.TABLE_NAME = :name"),
        OwnerAndName(owner, tableName));
    if (rows->RowCount() == 0) {
        table->IsVirtual = true;
        return table;
    }
    const TOSRow *row = rows->GetRow(0);
    ReadTableRow(*table, row);
    ReadColumns(*table);
    ReadForeignKeys(*table);
    ReadKeys(*table);
    ReadChecks(*table);
    ReadIndexes(*table);
    return table;
}

std::unique_ptr<TDiagramObjectTable> TOracleSession::GetObjectTable(const QString &owner, const QString &tableName)
{
    auto table = std::make_unique<TDiagramObjectTable>();
    auto rows = DictionaryQuery(QStringLiteral(
        "select t.OWNER, t.TABLE_NAME, t.PARTITIONED, t.TABLE_TYPE_OWNER, t.TABLE_TYPE, c.COMMENTS\n"
        "from SYS.ALL_OBJECT_TABLES t\n"
        "left join SYS.ALL_TAB_COMMENTS c on c.OWNER = t.OWNER and c.TABLE_NAME = t.TABLE_NAME\n"
        "where t.OWNER = :owner and t.TABLE_NAME = :name"),
        OwnerAndName(owner, tableName));
    if (rows->RowCount() == 0) {
        table->IsVirtual = true;
        return table;
    }
    const TOSRow *row = rows->GetRow(0);
    ReadTableRow(*table, row);
    table->TypeOwner = Text(row, "TABLE_TYPE_OWNER");
    table->TypeName = Text(row, "TABLE_TYPE");
    ReadColumns(*table);
    ReadForeignKeys(*table);
    ReadKeys(*table);
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

void TOracleSession::ReadColumns(TDiagramTable &table)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select c.COLUMN_NAME, c.DATA_TYPE, c.DATA_LENGTH, c.DATA_PRECISION, c.DATA_SCALE, c.NULLABLE,\n"
        "c.COLUMN_ID, c.DATA_DEFAULT, c.CHAR_LENGTH, m.COMMENTS\n"
        "from SYS.ALL_TAB_COLUMNS c\n"
        "left join SYS.ALL_COL_COMMENTS m on m.OWNER = c.OWNER and m.TABLE_NAME = c.TABLE_NAME\n"
        "and m.COLUMN_NAME = c.COLUMN_NAME\n"
        "where c.OWNER = :owner and c.TABLE_NAME = :name\n"
        "order by c.COLUMN_ID"),
        OwnerAndName(table.Owner, table.Name));
    for (int i = 0; i < rows->RowCount(); ++i) {
        const TOSRow *row = rows->GetRow(i);
        auto column = std::make_unique<TDiagramColumn>();
        column->Name = Text(row, "COLUMN_NAME");
        column->DataType = Text(row, "DATA_TYPE");
        column->DataLength = DeclaredLength(column->DataType, Number(row, "CHAR_LENGTH"), Number(row, "DATA_LENGTH"));
        column->DataPrecision = Number(row, "DATA_PRECISION");
        column->DataScale = Number(row, "DATA_SCALE");
        column->IsNullable = Text(row, "NULLABLE") != QLatin1String("N");
        column->DefaultValue = Text(row, "DATA_DEFAULT").trimmed();
        column->Sequence = Number(row, "COLUMN_ID");
        column->Comment = Text(row, "COMMENTS");
        table.Columns.Add(column.release());
    }
}

void TOracleSession::ReadForeignKeys(TDiagramTable &table)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select c.CONSTRAINT_NAME, c.DELETE_RULE, c.R_OWNER, c.R_CONSTRAINT_NAME,\n"
        "r.OWNER as REF_OWNER, r.TABLE_NAME as REF_TABLE, k.COLUMN_NAME, rk.COLUMN_NAME as REF_COLUMN\n"
        "from SYS.ALL_CONSTRAINTS c\n"
        "join SYS.ALL_CONS_COLUMNS k on k.OWNER = c.OWNER and k.CONSTRAINT_NAME = c.CONSTRAINT_NAME\n"
        "and k.TABLE_NAME = c.TABLE_NAME\n"
        "left join SYS.ALL_CONSTRAINTS r on r.OWNER = c.R_OWNER and r.CONSTRAINT_NAME = c.R_CONSTRAINT_NAME\n"
        "left join SYS.ALL_CONS_COLUMNS rk on rk.OWNER = r.OWNER and rk.CONSTRAINT_NAME = r.CONSTRAINT_NAME\n"
        "and rk.TABLE_NAME = r.TABLE_NAME and rk.POSITION = k.POSITION\n"
        "where c.OWNER = :owner and c.TABLE_NAME = :name and c.CONSTRAINT_TYPE = 'R'\n"
        "order by c.CONSTRAINT_NAME, k.POSITION"),
        OwnerAndName(table.Owner, table.Name));
    TDiagramForeignKey *key = nullptr;
    QString skipped;
    for (int i = 0; i < rows->RowCount(); ++i) {
        const TOSRow *row = rows->GetRow(i);
        const QString name = Text(row, "CONSTRAINT_NAME");
        if (name == skipped)
            continue;
        if (!key || key->Name != name) {
            if (Text(row, "REF_TABLE").isEmpty()) {
                // Without the referenced key the link would point nowhere.
                skipped = name;
                key = nullptr;
                TConsoleHelper::WriteLine(
                    QStringLiteral("Foreign key %1.%2 of %1.%3 left out: its referenced key %4.%5 is not "
                                   "visible in the data dictionary.")
                        .arg(table.Owner, name, table.Name, Text(row, "R_OWNER"), Text(row, "R_CONSTRAINT_NAME")));
                continue;
            }
            auto created = std::make_unique<TDiagramForeignKey>();
            created->Name = name;
            created->RefTableOwner = Text(row, "REF_OWNER");
            created->RefTableName = Text(row, "REF_TABLE");
            created->OnDelete = Text(row, "DELETE_RULE");
            created->Table = &table;
            key = created.get();
            table.ForeignKeys.Add(created.release());
        }
        key->Columns << Text(row, "COLUMN_NAME");
        key->RefColumns << Text(row, "REF_COLUMN");
    }
}

void TOracleSession::ReadKeys(TDiagramTable &table)
{
    auto rows = DictionaryQuery(QStringLiteral(
        "select c.CONSTRAINT_TYPE, c.CONSTRAINT_NAME, k.COLUMN_NAME\n"
        "from SYS.ALL_CONSTRAINTS c\n"
        "join SYS.ALL_CONS_COLUMNS k on k.OWNER = c.OWNER and k.CONSTRAINT_NAME = c.CONSTRAINT_NAME\n"
        "and k.TABLE_NAME = c.TABLE_NAME\n"
        "where c.OWNER = :owner and c.TABLE_NAME = :name and c.CONSTRAINT_TYPE in ('P', 'U')\n"
        "order by c.CONSTRAINT_TYPE, c.CONSTRAINT_NAME, k.POSITION"),
        OwnerAndName(table.Owner, table.Name));
    TBaseDiagramKey *key = nullptr;
    for (int i = 0; i < rows->RowCount(); ++i) {
        const TOSRow *row = rows->GetRow(i);
        const QString name = Text(row, "CONSTRAINT_NAME");
        if (!key || key->Name != name) {
            if (Text(row, "CONSTRAINT_TYPE") == QLatin1String("P")) {
                auto created = std::make_unique<TDiagramPrimaryKey>();
                key = created.get();
                table.PrimaryKeys.Add(created.release());
            } else {
                auto created = std::make_unique<TDiagramUniqueKey>();
                key = created.get();
                table.UniqueKeys.Add(created.release());
            }
            key->Name = name;
        }
        key->Columns << Text(row, "COLUMN_NAME");
    }
}

void TOracleSession::ReadChecks(TDiagramTable &table)
{
    auto rows = DictionaryQuery(QStringLiteral("select CONSTRAINT_NAME, SEARCH_CONDITION\n"
                                               "from SYS.ALL_CONSTRAINTS\n"
                                               "where OWNER = :owner and TABLE_NAME = :name and "
                                               "CONSTRAINT_TYPE = 'C'\n"
                                               "order by CONSTRAINT_NAME"),
                                OwnerAndName(table.Owner, table.Name));
    for (int i = 0; i < rows->RowCount(); ++i) {
        const QString condition = Text(rows->GetRow(i), "SEARCH_CONDITION");
        if (IsNotNullCheck(condition))
            continue;
        auto check = std::make_unique<TDiagramCheckConstraint>();
        check->Name = Text(rows->GetRow(i), "CONSTRAINT_NAME");
        check->CheckText = condition;
        table.CheckConstraints.Add(check.release());
    }
}

void TOracleSession::ReadIndexes(TDiagramTable &table)
{
    // Indexes that hold the table's own keys come back with the keys.
    auto rows = DictionaryQuery(QStringLiteral(
        "select i.OWNER, i.INDEX_NAME, i.INDEX_TYPE, i.UNIQUENESS, i.TABLE_OWNER, i.TABLE_NAME, k.COLUMN_NAME\n"
        "from SYS.ALL_INDEXES i\n"
        "join SYS.ALL_IND_COLUMNS k on k.INDEX_OWNER = i.OWNER and k.INDEX_NAME = i.INDEX_NAME\n"
        "left join SYS.ALL_CONSTRAINTS c on c.OWNER = i.TABLE_OWNER and c.TABLE_NAME = i.TABLE_NAME\n"
        "and c.INDEX_OWNER = i.OWNER and c.INDEX_NAME = i.INDEX_NAME and c.CONSTRAINT_TYPE in ('P', 'U')\n"
        "where i.TABLE_OWNER = :owner and i.TABLE_NAME = :name and c.CONSTRAINT_NAME is null\n"
        "order by i.INDEX_NAME, k.COLUMN_POSITION"),
        OwnerAndName(table.Owner, table.Name));
    TDiagramIndex *index = nullptr;
    for (int i = 0; i < rows->RowCount(); ++i) {
        const TOSRow *row = rows->GetRow(i);
        const QString type = ModelIndexType(Text(row, "INDEX_TYPE"), Text(row, "UNIQUENESS"));
        if (type.isEmpty())
            continue;
        const QString name = Text(row, "INDEX_NAME");
        if (!index || index->Name != name || index->Owner != Text(row, "OWNER")) {
            auto created = std::make_unique<TDiagramIndex>();
            created->Name = name;
            created->Owner = Text(row, "OWNER");
            created->IndexType = type;
            created->TableOwner = Text(row, "TABLE_OWNER");
            created->TableName = Text(row, "TABLE_NAME");
            index = created.get();
            table.Indexes.Add(created.release());
        }
        index->Columns << Text(row, "COLUMN_NAME");
    }
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
