#include "model/model_lists.h"

#include "model/diagram_object_model.h"

#include <algorithm>

namespace {

template <class T>
bool AnyKeyContains(const TOSTypedList<T> &list, const QString &columnName)
{
    for (T *key : list) {
        if (key->Columns.contains(columnName, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

TDiagramTable *TOSTableList::GetTable(int index) const { return Get(index); }
TDiagramTable *TOSTableList::FindTable(const QString &name, const QString &owner) const
{
    return m_index.Find(*this, name, owner);
}
std::unique_ptr<TBaseModelObject> TOSTableList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramObjectTable *TOSObjectTableList::GetObjectTable(int index) const { return Get(index); }
TDiagramObjectTable *TOSObjectTableList::FindObjectTable(const QString &name, const QString &owner) const
{
    return m_index.Find(*this, name, owner);
}
std::unique_ptr<TBaseModelObject> TOSObjectTableList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramType *TTypeList::GetType(int index) const { return Get(index); }
TDiagramType *TTypeList::FindType(const QString &name, const QString &owner) const
{
    return m_index.Find(*this, name, owner);
}
std::unique_ptr<TBaseModelObject> TTypeList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramNote *TOSNoteList::GetNote(int index) const { return Get(index); }
std::unique_ptr<TBaseModelObject> TOSNoteList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramColumn *TOSColumnList::GetColumn(int index) const { return Get(index); }
TDiagramColumn *TOSColumnList::FindColumn(const QString &name) const { return FindTyped(name); }
std::unique_ptr<TBaseModelObject> TOSColumnList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramPrimaryKey *TOSPrimaryKeyList::GetPrimaryKey(int index) const { return Get(index); }
TDiagramPrimaryKey *TOSPrimaryKeyList::FindPrimaryKey(const QString &name) const { return FindTyped(name); }
bool TOSPrimaryKeyList::ContainsColumn(const QString &columnName) const
{
    return AnyKeyContains(*this, columnName);
}
std::unique_ptr<TBaseModelObject> TOSPrimaryKeyList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramUniqueKey *TOSUniqueKeyList::GetUniqueKey(int index) const { return Get(index); }
TDiagramUniqueKey *TOSUniqueKeyList::FindUniqueKey(const QString &name) const { return FindTyped(name); }
bool TOSUniqueKeyList::ContainsColumn(const QString &columnName) const
{
    return AnyKeyContains(*this, columnName);
}
std::unique_ptr<TBaseModelObject> TOSUniqueKeyList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramForeignKey *TOSForeignKeyList::GetForeignKey(int index) const { return Get(index); }
TDiagramForeignKey *TOSForeignKeyList::FindForeignKey(const QString &name) const { return FindTyped(name); }
bool TOSForeignKeyList::ContainsColumn(const QString &columnName) const
{
    return AnyKeyContains(*this, columnName);
}
std::unique_ptr<TBaseModelObject> TOSForeignKeyList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramCheckConstraint *TOSCheckConstraintList::GetCheckConstraint(int index) const { return Get(index); }
TDiagramCheckConstraint *TOSCheckConstraintList::FindCheckConstraint(const QString &name) const
{
    return FindTyped(name);
}
std::unique_ptr<TBaseModelObject> TOSCheckConstraintList::CopyItem(int index) const
{
    return CopyTyped(index);
}

TDiagramIndex *TOSIndexList::GetIndex(int index) const { return Get(index); }
TDiagramIndex *TOSIndexList::FindIndex(const QString &name) const { return FindTyped(name); }
std::unique_ptr<TBaseModelObject> TOSIndexList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramAttribute *TAttributeList::GetAttribute(int index) const { return Get(index); }
std::unique_ptr<TBaseModelObject> TAttributeList::CopyItem(int index) const { return CopyTyped(index); }

TDiagramMethod *TMethodList::GetMethod(int index) const { return Get(index); }
std::unique_ptr<TBaseModelObject> TMethodList::CopyItem(int index) const { return CopyTyped(index); }

void TOSColumnList::SortColumns(int method, TDiagramTable *table)
{
    if (table)
        table->ColumnSortMethod = static_cast<quint8>(method);

    // Creation order sorts by the sequence numbers written with ten digits:
    // for numbers that are not negative, the order of the numbers. Columns
    // already in it, as they are after the first sort, stay as they are:
    // every rebuild of a page sorts the columns of all its tables.
    if (method != csmAlpha && method != csmKeys) {
        bool inOrder = true;
        int previous = 0;
        for (TDiagramColumn *column : *this) {
            if (column->Sequence < previous) {
                inOrder = false;
                break;
            }
            previous = column->Sequence;
        }
        if (inOrder)
            return;
    }

    const bool hasPrimaryKey = table && table->PrimaryKeys.Count() > 0;
    const TDiagramPrimaryKey *primaryKey = hasPrimaryKey ? table->PrimaryKeys.GetPrimaryKey(0) : nullptr;

    struct Entry {
        QString key;
        TBaseModelObject *column;
    };
    std::vector<Entry> entries;
    entries.reserve(Items().size());
    for (TDiagramColumn *column : *this) {
        QString key;
        switch (method) {
        case csmAlpha:
            key = column->Name;
            break;
        case csmKeys: {
            QString group = QStringLiteral("aad");
            if (primaryKey && primaryKey->Columns.contains(column->Name, Qt::CaseInsensitive))
                group = QStringLiteral("aaa");
            else if (table && table->UniqueKeys.ContainsColumn(column->Name))
                group = QStringLiteral("aab");
            else if (table && table->ForeignKeys.ContainsColumn(column->Name))
                group = QStringLiteral("aac");
            key = group + column->Name;
            break;
        }
        default:
            key = QString::number(column->Sequence).rightJustified(10, QLatin1Char('0'));
            break;
        }
        entries.push_back({key, column});
    }
    // Stable, so columns with equal keys keep their current order.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return QString::compare(a.key, b.key, Qt::CaseInsensitive) < 0;
    });

    const bool owns = OwnsObjects();
    SetOwnsObjects(false);
    Clear();
    SetOwnsObjects(owns);
    for (const Entry &e : entries)
        Add(e.column);
}
