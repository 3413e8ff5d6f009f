// Delta scripts that turn one table or page into another, or the live
// database into the page, and the table's reload-from-database flag.
#include "model/database_session.h"
#include "model/ddl_text.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/oracle_name.h"
#include "platform/user_interface.h"

#include <QHash>

#include <utility>

namespace {

// Look-up by exact name, the first item of a name winning as in a list scan.
// Short lists are scanned; long ones are hashed so wide tables stay linear.
template <class T>
class TNameLookup {
public:
    explicit TNameLookup(const TOSTypedList<T> &list) : m_list(list)
    {
        if (list.Count() <= ScanLimit)
            return;
        m_index.reserve(list.Count());
        for (const T *item : list) {
            if (!m_index.contains(item->Name))
                m_index.insert(item->Name, item);
        }
    }
    const T *Find(const QString &name) const
    {
        if (m_list.Count() > ScanLimit)
            return m_index.value(name, nullptr);
        for (const T *item : m_list) {
            if (item->Name == name)
                return item;
        }
        return nullptr;
    }

private:
    static constexpr int ScanLimit = 16;
    const TOSTypedList<T> &m_list;
    QHash<QString, const T *> m_index;
};

// Tables of a page by name and owner, the first of a pair winning.
class TTableLookup {
public:
    explicit TTableLookup(const TOSTableList &tables)
    {
        m_index.reserve(tables.Count());
        for (const TDiagramTable *table : tables) {
            const auto key = std::make_pair(table->Name, table->Owner);
            if (!m_index.contains(key))
                m_index.insert(key, table);
        }
    }
    const TDiagramTable *Find(const QString &name, const QString &owner) const
    {
        return m_index.value(std::make_pair(name, owner), nullptr);
    }

private:
    QHash<std::pair<QString, QString>, const TDiagramTable *> m_index;
};

IDatabaseSession &ConnectedSession()
{
    if (!THelpers::IsConnected())
        throw ENotConnected();
    return *DatabaseSession;
}

// One kind of constraint: dropped when the target lacks it, dropped and made
// again when its statement changed, made when only the target has it.
template <class T, class DropFn>
void CompareItems(QStringList &lines, const TOSTypedList<T> &original, const TDiagramTable &originalTable,
                  const TOSTypedList<T> &target, const TDiagramTable &targetTable, DropFn drop)
{
    const TNameLookup<T> targetItems(target);
    for (const T *item : original) {
        const T *other = targetItems.Find(item->Name);
        if (!other) {
            lines << drop(*item);
            continue;
        }
        const QString targetDdl = other->GetDDL(targetTable.Owner, targetTable.Name);
        if (!TDdlText::SameText(item->GetDDL(originalTable.Owner, originalTable.Name), targetDdl)) {
            lines << drop(*item);
            lines << targetDdl;
        }
    }
    const TNameLookup<T> originalItems(original);
    for (const T *item : target) {
        if (!originalItems.Find(item->Name))
            lines << item->GetDDL(targetTable.Owner, targetTable.Name);
    }
}

using OracleName::Quote;

QString Qualified(const QString &owner, const QString &name) { return TDdlText::QualifiedName(owner, name); }

} // namespace

QString TDiagramTable::BuildAlterDdl(const TDiagramTable &target) const
{
    const QString table = Qualified(Owner, Name);
    const QString alter = QLatin1String("ALTER TABLE ") + table;
    QStringList lines;
    const auto add = [&lines](const QString &body) { lines << TDdlText::Statement(body); };

    if (!TDdlText::SameText(Comment, target.Comment))
        add(QLatin1String("COMMENT ON TABLE ") + table + QLatin1String(" IS ") + TDdlText::Literal(target.Comment));

    const TNameLookup<TDiagramColumn> targetColumns(target.Columns);
    for (const TDiagramColumn *column : Columns) {
        const TDiagramColumn *other = targetColumns.Find(column->Name);
        if (!other) {
            add(alter + QLatin1String(" DROP COLUMN ") + Quote(column->Name));
            continue;
        }
        const QString type = other->GetDataTypeText();
        if (column->GetDataTypeText() != type)
            add(alter + QLatin1String(" MODIFY (") + Quote(column->Name) + QLatin1Char(' ') + type + QLatin1Char(')'));
        if (column->IsNullable != other->IsNullable)
            add(alter + QLatin1String(" MODIFY ") + Quote(column->Name)
                + (other->IsNullable ? QLatin1String(" NULL") : QLatin1String(" NOT NULL")));
        if (!TDdlText::SameText(column->Comment, other->Comment))
            add(QLatin1String("COMMENT ON COLUMN ") + table + QLatin1Char('.') + Quote(column->Name)
                + QLatin1String(" IS ") + TDdlText::Literal(other->Comment));
    }
    const TNameLookup<TDiagramColumn> originalColumns(Columns);
    for (const TDiagramColumn *column : target.Columns) {
        if (originalColumns.Find(column->Name))
            continue;
        add(alter + QLatin1String(" ADD ") + Quote(column->Name) + QLatin1Char(' ') + column->GetDataTypeText()
            + (column->IsNullable ? QString() : QStringLiteral(" NOT NULL")));
    }

    const auto dropConstraint = [&alter](const TBaseModelObject &item) {
        return TDdlText::Statement(alter + QLatin1String(" DROP CONSTRAINT ") + Quote(item.Name));
    };
    CompareItems(lines, ForeignKeys, *this, target.ForeignKeys, target, dropConstraint);
    CompareItems(lines, PrimaryKeys, *this, target.PrimaryKeys, target, dropConstraint);
    CompareItems(lines, UniqueKeys, *this, target.UniqueKeys, target, dropConstraint);
    CompareItems(lines, CheckConstraints, *this, target.CheckConstraints, target, dropConstraint);
    CompareItems(lines, Indexes, *this, target.Indexes, target, [](const TDiagramIndex &index) {
        return TDdlText::Statement(QLatin1String("DROP INDEX ") + Qualified(index.Owner, index.Name));
    });
    return TDdlText::ListText(lines);
}

QString TDiagramTable::BuildDatabaseDeltaDdl() const
{
    const std::unique_ptr<TDiagramTable> live = ConnectedSession().GetTable(Owner, Name);
    if (!live || live->IsVirtual)
        return GetDDL(true);
    // The database copy is the original: the script changes the database into the model.
    return live->BuildAlterDdl(*this);
}

void TDiagramTable::SetReloadFromDatabase(bool value)
{
    if (!value) {
        m_reloadFromDatabase = false;
        return;
    }
    const std::unique_ptr<TDiagramTable> live = ConnectedSession().GetTable(Owner, Name);
    if (!live || live->Name.isEmpty())
        UserInterface().ShowInformation(QLatin1String("Table '") + Owner + QLatin1Char('.') + Name
                                        + QLatin1String("' could not be found in the database."));
    m_reloadFromDatabase = true;
}

QString TDiagramObjectModel::BuildDeltaDdl(const TDiagramObjectModel &target) const
{
    QStringList lines;
    lines << QStringLiteral("/**") << QStringLiteral(" *  Delta DDL")
          << QLatin1String(" *  Original Model is ") + TDdlText::CommentText(Name)
          << QLatin1String(" *  Target Model is ") + TDdlText::CommentText(target.Name)
          << QStringLiteral(" */");
    const TTableLookup targetTables(target.Tables);
    for (const TDiagramTable *table : Tables) {
        const TDiagramTable *other = targetTables.Find(table->Name, table->Owner);
        const QString text = other ? table->BuildAlterDdl(*other)
                                   : TDdlText::Statement(QLatin1String("DROP TABLE ")
                                                         + Qualified(table->Owner, table->Name));
        if (!TDdlText::IsBlank(text))
            lines << text;
    }
    const TTableLookup originalTables(Tables);
    for (const TDiagramTable *table : target.Tables) {
        if (originalTables.Find(table->Name, table->Owner))
            continue;
        const QString text = table->GetDDL(true);
        if (!TDdlText::IsBlank(text))
            lines << text;
    }
    return TDdlText::ListText(lines);
}

QString TDiagramObjectModel::BuildDatabaseDeltaDdl() const
{
    ConnectedSession();
    QStringList lines;
    for (const TDiagramTable *table : Tables)
        lines << table->BuildDatabaseDeltaDdl();
    return TDdlText::ListText(lines);
}
