#include "dbtools/dictionary_table_reader.h"

#include "dbtools/console_helper.h"
#include "dbtools/oracle_session.h"
#include "model/diagram_table.h"

#include <QRegularExpression>

#include <memory>

namespace {

// A row's values in the order its query selects them.
using TValues = QVariantList;

QString Text(const TValues &row, int column) { return row[column].toString(); }

int Number(const TValues &row, int column) { return row[column].toInt(); }

// A check that only restates a column's NOT NULL: the column says it already.
bool IsNotNullCheck(const QString &condition)
{
    static const QRegularExpression notNull(QStringLiteral("^\\s*\"[^\"]+\"\\s+IS\\s+NOT\\s+NULL\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return notNull.match(condition).hasMatch();
}

// Why the model cannot hold an index of this kind; empty when it can. The
// index-organized table's own, LOB and cluster indexes belong to the storage
// of their table, a domain index to its indextype, and a function-based index
// lists hidden columns in place of its expressions.
QString UnheldIndexReason(const QString &indexType)
{
    if (indexType.startsWith(QLatin1String("FUNCTION-BASED")))
        return QStringLiteral("it is function-based, and the model holds column lists only");
    if (indexType.startsWith(QLatin1String("IOT")))
        return QStringLiteral("it is the index of an index-organized table, part of the table's storage");
    if (indexType == QLatin1String("LOB"))
        return QStringLiteral("it is a LOB index, part of the table's storage");
    if (indexType == QLatin1String("CLUSTER"))
        return QStringLiteral("it is a cluster index, part of the cluster's storage");
    if (indexType == QLatin1String("DOMAIN"))
        return QStringLiteral("it is a domain index, which the model cannot hold");
    return {};
}

QString ModelIndexType(const QString &indexType, const QString &uniqueness)
{
    if (uniqueness == QLatin1String("UNIQUE"))
        return QStringLiteral("UNIQUE");
    if (indexType.contains(QLatin1String("BITMAP")))
        return QStringLiteral("BITMAP");
    return QStringLiteral("NORMAL");
}

// An index as its rows arrive, until its last column is in.
struct TIndexRows {
    TDiagramTable *Table = nullptr;
    std::unique_ptr<TDiagramIndex> Index;
    QString DictionaryType;
    QString KeyName; // the key of the same name that uses the index
};

// The index's key creates this very index: same name, same columns in the same order.
bool RestatesKey(const TDiagramTable &table, const TIndexRows &rows)
{
    if (rows.KeyName.isEmpty())
        return false;
    const TBaseModelObject *found = table.PrimaryKeys.FindByName(rows.KeyName);
    if (!found)
        found = table.UniqueKeys.FindByName(rows.KeyName);
    const auto *key = dynamic_cast<const TBaseDiagramKey *>(found);
    return key && key->Name == rows.Index->Name && key->Columns == rows.Index->Columns;
}

void KeepOrReport(TIndexRows &rows, QStringList *leftOut)
{
    if (!rows.Index)
        return;
    TDiagramTable &table = *rows.Table;
    const TDiagramIndex &index = *rows.Index;
    QString reason = UnheldIndexReason(rows.DictionaryType);
    if (reason.isEmpty() && index.Columns.isEmpty())
        reason = QStringLiteral("its columns are not visible in the data dictionary");
    if (!reason.isEmpty()) {
        const QString note = QStringLiteral("Index %1.%2 of %3.%4 left out: %5.")
                                 .arg(index.Owner, index.Name, table.Owner, table.Name, reason);
        TConsoleHelper::WriteLine(note);
        if (leftOut)
            leftOut->append(note);
    } else if (!RestatesKey(table, rows)) {
        table.Indexes.Add(rows.Index.release());
    }
    rows = TIndexRows();
}

} // namespace

TDictionaryTableReader::TDictionaryTableReader(TOracleSession &session, const QString &owner, const QString &name)
    : m_session(session), m_name(name)
{
    m_binds.emplace_back(QStringLiteral("owner"), owner);
    if (!name.isEmpty())
        m_binds.emplace_back(QStringLiteral("name"), name);
}

QString TDictionaryTableReader::Where(const char *alias, const char *ownerColumn, const char *nameColumn) const
{
    const QString prefix = QLatin1String(alias) + QLatin1Char('.');
    QString where = prefix + QLatin1String(ownerColumn) + QStringLiteral(" = :owner");
    if (!m_name.isEmpty())
        where += QStringLiteral(" and ") + prefix + QLatin1String(nameColumn) + QStringLiteral(" = :name");
    return where;
}

void TDictionaryTableReader::Add(TDiagramTable *table) { m_tables.insert(table->Name, table); }

TDiagramTable *TDictionaryTableReader::TableOf(const QVariantList &row) const
{
    // Every query selects the table's name first.
    return m_tables.value(row[0].toString());
}

void TDictionaryTableReader::ReadColumns()
{
    enum { TableName, ColumnName, DataType, DataLength, DataPrecision, DataScale, Nullable, ColumnId, DataDefault,
           CharLength, Comments };
    m_session.DictionaryRows(
        QStringLiteral("select c.TABLE_NAME, c.COLUMN_NAME, c.DATA_TYPE, c.DATA_LENGTH, c.DATA_PRECISION, "
                       "c.DATA_SCALE, c.NULLABLE,\n"
                       "c.COLUMN_ID, c.DATA_DEFAULT, c.CHAR_LENGTH, m.COMMENTS\n"
                       "from SYS.ALL_TAB_COLUMNS c\n"
                       "left join SYS.ALL_COL_COMMENTS m on m.OWNER = c.OWNER and m.TABLE_NAME = c.TABLE_NAME\n"
                       "and m.COLUMN_NAME = c.COLUMN_NAME\n"
                       "where ") +
            Where("c") + QStringLiteral("\norder by c.TABLE_NAME, c.COLUMN_ID"),
        m_binds, [&](const TValues &row) {
            TDiagramTable *table = TableOf(row);
            if (!table)
                return;
            auto column = std::make_unique<TDiagramColumn>();
            column->Name = Text(row, ColumnName);
            column->DataType = Text(row, DataType);
            column->DataLength =
                TOracleSession::DeclaredLength(column->DataType, Number(row, CharLength), Number(row, DataLength));
            column->DataPrecision = Number(row, DataPrecision);
            column->DataScale = Number(row, DataScale);
            column->IsNullable = Text(row, Nullable) != QLatin1String("N");
            column->DefaultValue = Text(row, DataDefault).trimmed();
            column->Sequence = Number(row, ColumnId);
            column->Comment = Text(row, Comments);
            table->Columns.Add(column.release());
        });
}

void TDictionaryTableReader::ReadForeignKeys()
{
    enum { TableName, ConstraintName, DeleteRule, ROwner, RConstraintName, RefOwner, RefTable, ColumnName, RefColumn };
    TDiagramForeignKey *key = nullptr;
    const TDiagramTable *skipped = nullptr;
    QString skippedName;
    m_session.DictionaryRows(
        QStringLiteral("select c.TABLE_NAME, c.CONSTRAINT_NAME, c.DELETE_RULE, c.R_OWNER, c.R_CONSTRAINT_NAME,\n"
                       "r.OWNER as REF_OWNER, r.TABLE_NAME as REF_TABLE, k.COLUMN_NAME, rk.COLUMN_NAME as REF_COLUMN\n"
                       "from SYS.ALL_CONSTRAINTS c\n"
                       "join SYS.ALL_CONS_COLUMNS k on k.OWNER = c.OWNER and k.CONSTRAINT_NAME = c.CONSTRAINT_NAME\n"
                       "and k.TABLE_NAME = c.TABLE_NAME\n"
                       "left join SYS.ALL_CONSTRAINTS r on r.OWNER = c.R_OWNER and r.CONSTRAINT_NAME = "
                       "c.R_CONSTRAINT_NAME\n"
                       "left join SYS.ALL_CONS_COLUMNS rk on rk.OWNER = r.OWNER and rk.CONSTRAINT_NAME = "
                       "r.CONSTRAINT_NAME\n"
                       "and rk.TABLE_NAME = r.TABLE_NAME and rk.POSITION = k.POSITION\n"
                       "where ") +
            Where("c") + QStringLiteral(" and c.CONSTRAINT_TYPE = 'R'\n"
                                        "order by c.TABLE_NAME, c.CONSTRAINT_NAME, k.POSITION"),
        m_binds, [&](const TValues &row) {
            TDiagramTable *table = TableOf(row);
            if (!table)
                return;
            const QString name = Text(row, ConstraintName);
            if (table == skipped && name == skippedName)
                return;
            if (!key || key->Table != table || key->Name != name) {
                if (Text(row, RefTable).isEmpty()) {
                    // Without the referenced key the link would point nowhere.
                    skipped = table;
                    skippedName = name;
                    key = nullptr;
                    TConsoleHelper::WriteLine(
                        QStringLiteral("Foreign key %1.%2 of %1.%3 left out: its referenced key %4.%5 is not "
                                       "visible in the data dictionary.")
                            .arg(table->Owner, name, table->Name, Text(row, ROwner), Text(row, RConstraintName)));
                    return;
                }
                auto created = std::make_unique<TDiagramForeignKey>();
                created->Name = name;
                created->RefTableOwner = Text(row, RefOwner);
                created->RefTableName = Text(row, RefTable);
                created->OnDelete = Text(row, DeleteRule);
                created->Table = table;
                key = created.get();
                table->ForeignKeys.Add(created.release());
            }
            key->Columns << Text(row, ColumnName);
            key->RefColumns << Text(row, RefColumn);
        });
}

void TDictionaryTableReader::ReadKeys()
{
    enum { TableName, ConstraintType, ConstraintName, ColumnName };
    TBaseDiagramKey *key = nullptr;
    const TDiagramTable *keyTable = nullptr;
    m_session.DictionaryRows(
        QStringLiteral("select c.TABLE_NAME, c.CONSTRAINT_TYPE, c.CONSTRAINT_NAME, k.COLUMN_NAME\n"
                       "from SYS.ALL_CONSTRAINTS c\n"
                       "join SYS.ALL_CONS_COLUMNS k on k.OWNER = c.OWNER and k.CONSTRAINT_NAME = c.CONSTRAINT_NAME\n"
                       "and k.TABLE_NAME = c.TABLE_NAME\n"
                       "where ") +
            Where("c") + QStringLiteral(" and c.CONSTRAINT_TYPE in ('P', 'U')\n"
                                        "order by c.TABLE_NAME, c.CONSTRAINT_TYPE, c.CONSTRAINT_NAME, k.POSITION"),
        m_binds, [&](const TValues &row) {
            TDiagramTable *table = TableOf(row);
            if (!table)
                return;
            const QString name = Text(row, ConstraintName);
            if (!key || keyTable != table || key->Name != name) {
                if (Text(row, ConstraintType) == QLatin1String("P")) {
                    auto created = std::make_unique<TDiagramPrimaryKey>();
                    key = created.get();
                    table->PrimaryKeys.Add(created.release());
                } else {
                    auto created = std::make_unique<TDiagramUniqueKey>();
                    key = created.get();
                    table->UniqueKeys.Add(created.release());
                }
                key->Name = name;
                keyTable = table;
            }
            key->Columns << Text(row, ColumnName);
        });
}

void TDictionaryTableReader::ReadChecks()
{
    enum { TableName, ConstraintName, SearchCondition };
    m_session.DictionaryRows(QStringLiteral("select c.TABLE_NAME, c.CONSTRAINT_NAME, c.SEARCH_CONDITION\n"
                                            "from SYS.ALL_CONSTRAINTS c\n"
                                            "where ") +
                                 Where("c") +
                                 QStringLiteral(" and c.CONSTRAINT_TYPE = 'C'\n"
                                                "order by c.TABLE_NAME, c.CONSTRAINT_NAME"),
                             m_binds, [&](const TValues &row) {
                                 TDiagramTable *table = TableOf(row);
                                 const QString condition = Text(row, SearchCondition);
                                 if (!table || IsNotNullCheck(condition))
                                     return;
                                 auto check = std::make_unique<TDiagramCheckConstraint>();
                                 check->Name = Text(row, ConstraintName);
                                 check->CheckText = condition;
                                 table->CheckConstraints.Add(check.release());
                             });
}

void TDictionaryTableReader::ReadIndexes(QStringList *leftOut)
{
    enum { TableName, Owner, IndexName, IndexType, Uniqueness, TableOwner, ColumnName, KeyName };
    // The key joined is the one of the index's own name: a key that uses an
    // index of another name, or of other columns, does not create that index,
    // so the index stays with the table.
    TIndexRows pending;
    m_session.DictionaryRows(
        QStringLiteral("select i.TABLE_NAME, i.OWNER, i.INDEX_NAME, i.INDEX_TYPE, i.UNIQUENESS, i.TABLE_OWNER,\n"
                       "k.COLUMN_NAME, c.CONSTRAINT_NAME as KEY_NAME\n"
                       "from SYS.ALL_INDEXES i\n"
                       "left join SYS.ALL_IND_COLUMNS k on k.INDEX_OWNER = i.OWNER and k.INDEX_NAME = i.INDEX_NAME\n"
                       "left join SYS.ALL_CONSTRAINTS c on c.OWNER = i.TABLE_OWNER and c.CONSTRAINT_NAME = "
                       "i.INDEX_NAME\n"
                       "and c.TABLE_NAME = i.TABLE_NAME and c.INDEX_OWNER = i.OWNER and c.INDEX_NAME = i.INDEX_NAME\n"
                       "and c.CONSTRAINT_TYPE in ('P', 'U')\n"
                       "where ") +
            Where("i", "TABLE_OWNER") +
            QStringLiteral("\norder by i.TABLE_NAME, i.INDEX_NAME, i.OWNER, k.COLUMN_POSITION"),
        m_binds, [&](const TValues &row) {
            TDiagramTable *table = TableOf(row);
            if (!table)
                return;
            const QString name = Text(row, IndexName);
            const QString owner = Text(row, Owner);
            if (!pending.Index || pending.Table != table || pending.Index->Name != name ||
                pending.Index->Owner != owner) {
                KeepOrReport(pending, leftOut);
                pending.Table = table;
                pending.Index = std::make_unique<TDiagramIndex>();
                pending.Index->Name = name;
                pending.Index->Owner = owner;
                pending.DictionaryType = Text(row, IndexType);
                pending.Index->IndexType = ModelIndexType(pending.DictionaryType, Text(row, Uniqueness));
                pending.Index->TableOwner = Text(row, TableOwner);
                pending.Index->TableName = table->Name;
                pending.KeyName = Text(row, KeyName);
            }
            const QString column = Text(row, ColumnName);
            if (!column.isEmpty())
                pending.Index->Columns << column;
        });
    KeepOrReport(pending, leftOut);
}
