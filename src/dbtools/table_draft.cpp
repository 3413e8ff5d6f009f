#include "dbtools/table_draft.h"

#include "dbtools/oracle_identifier.h"
#include "model/data_type_helpers.h"
#include "model/diagram_table.h"
#include "platform/convert_error.h"

#include <QSet>

#include <algorithm>

namespace {

struct TParsedType {
    QString DataType;
    int Length = 0;
    int Precision = 0;
    int Scale = 0;
};

QString Quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

// Reads a type text the way the column editor must (base type, then the three
// numbers); the error names the column and says what is wrong.
QString ParseType(const QString &column, const QString &text, TParsedType &type)
{
    const QString prefix = QStringLiteral("Column ") + Quoted(column) + QStringLiteral(": ");
    if (text.trimmed().isEmpty())
        return prefix + QStringLiteral("the data type is empty.");
    type.DataType = TDataTypeHelpers::GetBaseType(text);
    if (!TDataTypeHelpers::IsValidType(type.DataType))
        return prefix + Quoted(text) + QStringLiteral(" is not a known data type.");
    const bool hasParameters = text.size() > type.DataType.size();
    if (hasParameters && !text.endsWith(u')'))
        return prefix + Quoted(text) + QStringLiteral(" lacks its closing parenthesis.");
    if (hasParameters && !TDataTypeHelpers::HasLength(type.DataType))
        return prefix + type.DataType + QStringLiteral(" takes no length or precision.");
    if (hasParameters && TDataTypeHelpers::GetParameters(text).isEmpty())
        return prefix + Quoted(text) + QStringLiteral(" has nothing between its parentheses.");
    try {
        type.Length = TDataTypeHelpers::GetLength(text);
        type.Precision = TDataTypeHelpers::GetPrecision(text);
        type.Scale = TDataTypeHelpers::GetScale(text);
    } catch (const EConvertError &e) {
        return prefix + QString::fromUtf8(e.what());
    }
    const bool needsLength = type.DataType == QLatin1String("VARCHAR2") || type.DataType == QLatin1String("VARCHAR")
                             || type.DataType == QLatin1String("NVARCHAR2") || type.DataType == QLatin1String("RAW");
    if (needsLength && !hasParameters)
        return prefix + type.DataType + QStringLiteral(" needs a length, such as ") + type.DataType
               + QStringLiteral("(30).");
    if (TDataTypeHelpers::HasPrecision(type.DataType)) {
        if (hasParameters && (type.Precision < 1 || type.Precision > 38))
            return prefix + QStringLiteral("the precision in ") + Quoted(text)
                   + QStringLiteral(" must lie between 1 and 38.");
        if (type.Scale < -84 || type.Scale > 127)
            return prefix + QStringLiteral("the scale in ") + Quoted(text)
                   + QStringLiteral(" must lie between -84 and 127.");
    } else if (hasParameters && type.Length < 1) {
        return prefix + QStringLiteral("the length in ") + Quoted(text) + QStringLiteral(" must be at least 1.");
    }
    return {};
}

// A type text left as the table had it keeps the stored fields, so a type
// the parser does not know survives an edit of something else.
bool KeepsOriginalType(const TColumnDraft &column)
{
    return column.HasOriginalType
           && column.TypeText
                  == TDiagramColumn::FormatDataType(column.OriginalDataType, column.OriginalPrecision,
                                                    column.OriginalLength, column.OriginalScale);
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
}

QString JoinList(const QStringList &list) { return list.join(QLatin1Char(',')); }

QString QualifiedName(const QString &owner, const QString &name)
{
    return owner.isEmpty() ? name : owner + QLatin1Char('.') + name;
}

} // namespace

QStringList TTableDraft::SplitList(const QString &commaList)
{
    QStringList result;
    for (const QString &part : commaList.split(QLatin1Char(','))) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            result << name;
    }
    return result;
}

QStringList TTableDraft::DefaultRefColumns(const TDiagramTable &table)
{
    if (table.PrimaryKeys.Count() > 0)
        return table.PrimaryKeys.GetPrimaryKey(0)->Columns;
    if (table.UniqueKeys.Count() > 0)
        return table.UniqueKeys.GetUniqueKey(0)->Columns;
    return {};
}

TTableDraft TTableDraft::FromTable(const TDiagramTable &table)
{
    TTableDraft draft;
    draft.Name = table.Name;
    draft.Owner = table.Owner;
    draft.Comment = table.Comment;
    for (const TDiagramColumn *column : table.Columns) {
        TColumnDraft row;
        row.Name = column->Name;
        row.TypeText = column->GetDataTypeText();
        row.Nullable = column->IsNullable;
        row.DefaultValue = column->DefaultValue;
        row.Comment = column->Comment;
        row.HasOriginalType = true;
        row.OriginalDataType = column->DataType;
        row.OriginalLength = column->DataLength;
        row.OriginalPrecision = column->DataPrecision;
        row.OriginalScale = column->DataScale;
        draft.Columns.push_back(row);
    }
    for (const TDiagramPrimaryKey *key : table.PrimaryKeys)
        draft.Keys.push_back({key->Name, QStringLiteral("PRIMARY"), JoinList(key->Columns)});
    for (const TDiagramUniqueKey *key : table.UniqueKeys)
        draft.Keys.push_back({key->Name, QStringLiteral("UNIQUE"), JoinList(key->Columns)});
    for (const TDiagramForeignKey *key : table.ForeignKeys) {
        TForeignKeyDraft row;
        row.Name = key->Name;
        row.Columns = JoinList(key->Columns);
        row.RefTable = QualifiedName(key->RefTableOwner, key->RefTableName);
        row.RefColumns = JoinList(key->RefColumns);
        row.OnDelete = key->OnDelete;
        // A key to the table itself follows the table's own name and keys instead.
        if (key->RefTableOwner != table.Owner || key->RefTableName != table.Name) {
            row.KeptRefOwner = key->RefTableOwner;
            row.KeptRefName = key->RefTableName;
        }
        draft.ForeignKeys.push_back(row);
    }
    for (const TDiagramCheckConstraint *check : table.CheckConstraints)
        draft.Checks.push_back({check->Name, check->CheckText});
    for (const TDiagramIndex *index : table.Indexes)
        draft.Indexes.push_back({index->Name, index->IndexType, JoinList(index->Columns)});
    return draft;
}

QStringList TTableDraft::Validate(const std::vector<const TDiagramTable *> &pageTables) const
{
    QStringList errors;
    QString error = TOracleIdentifier::Check(QStringLiteral("Table name"), Name);
    if (!error.isEmpty())
        errors << error;
    if (!Owner.isEmpty()) {
        error = TOracleIdentifier::Check(QStringLiteral("Owner"), Owner);
        if (!error.isEmpty())
            errors << error;
    }
    CheckColumns(errors);
    CheckConstraints(errors, pageTables);
    CheckIndexes(errors);
    return errors;
}

void TTableDraft::CheckColumns(QStringList &errors) const
{
    if (Columns.empty())
        errors << QStringLiteral("The table has no columns.");
    QSet<QString> seen;
    for (size_t i = 0; i < Columns.size(); ++i) {
        const TColumnDraft &column = Columns[i];
        const QString error =
            TOracleIdentifier::Check(QStringLiteral("Name of column %1").arg(i + 1), column.Name);
        if (!error.isEmpty()) {
            errors << error;
            continue;
        }
        if (seen.contains(column.Name))
            errors << QStringLiteral("Column ") + Quoted(column.Name) + QStringLiteral(" appears twice.");
        seen.insert(column.Name);
        TParsedType type;
        const QString typeError = KeepsOriginalType(column) ? QString() : ParseType(column.Name, column.TypeText, type);
        if (!typeError.isEmpty())
            errors << typeError;
    }
}

void TTableDraft::CheckColumnList(QStringList &errors, const QString &what, const QString &list) const
{
    const QStringList names = SplitList(list);
    if (names.isEmpty()) {
        errors << what + QStringLiteral(" names no column.");
        return;
    }
    QSet<QString> seen;
    for (const QString &name : names) {
        const bool known = std::any_of(Columns.begin(), Columns.end(),
                                       [&](const TColumnDraft &column) { return column.Name == name; });
        if (!known)
            errors << what + QStringLiteral(" names column ") + Quoted(name)
                          + QStringLiteral(", which the table does not have.");
        else if (seen.contains(name))
            errors << what + QStringLiteral(" names column ") + Quoted(name) + QStringLiteral(" twice.");
        seen.insert(name);
    }
}

QStringList TTableDraft::KeyColumnSets() const
{
    QStringList sets;
    for (const TKeyDraft &key : Keys)
        sets << JoinList(Sorted(SplitList(key.Columns)));
    return sets;
}

TTableDraft::TRefTarget TTableDraft::ResolveReference(const TForeignKeyDraft &key,
                                                      const std::vector<const TDiagramTable *> &pageTables) const
{
    TRefTarget target;
    const QString what = QStringLiteral("Foreign key ") + Quoted(key.Name);
    const QString ref = key.RefTable.trimmed();
    const int dot = ref.lastIndexOf(QLatin1Char('.'));
    const QString refOwner = dot >= 0 ? ref.left(dot) : QString();
    const QString refName = dot >= 0 ? ref.mid(dot + 1) : ref;
    if (refName.isEmpty()) {
        target.Error = what + QStringLiteral(" references no table.");
        return target;
    }
    const auto matches = [&](const QString &owner, const QString &name) {
        return name == refName && (dot < 0 || owner == refOwner);
    };
    QStringList keySets;
    QStringList defaultColumns;
    if (matches(Owner, Name)) {
        target.Owner = Owner;
        target.Name = Name;
        keySets = KeyColumnSets();
        for (const QString &kind : {QStringLiteral("PRIMARY"), QStringLiteral("UNIQUE")}) {
            for (const TKeyDraft &own : Keys) {
                if (defaultColumns.isEmpty() && own.Kind == kind)
                    defaultColumns = SplitList(own.Columns);
            }
        }
    } else {
        const auto found = std::find_if(pageTables.begin(), pageTables.end(), [&](const TDiagramTable *table) {
            return matches(table->Owner, table->Name);
        });
        if (found == pageTables.end() && !key.KeptRefName.isEmpty()
            && ref == QualifiedName(key.KeptRefOwner, key.KeptRefName)) {
            // A table read from the database often sits alone on its page:
            // its keys to tables that are not drawn stay as they are.
            target.Owner = key.KeptRefOwner;
            target.Name = key.KeptRefName;
            target.RefColumns = SplitList(key.RefColumns);
            if (target.RefColumns.isEmpty())
                target.Error = what + QStringLiteral(" references ") + Quoted(ref)
                               + QStringLiteral(", which is not on this page: name the columns it references.");
            return target;
        }
        if (found == pageTables.end()) {
            target.Error = what + QStringLiteral(" references ") + Quoted(ref)
                           + QStringLiteral(", which is not a table of this page.");
            return target;
        }
        target.Owner = (*found)->Owner;
        target.Name = (*found)->Name;
        for (const TDiagramPrimaryKey *primary : (*found)->PrimaryKeys)
            keySets << JoinList(Sorted(primary->Columns));
        for (const TDiagramUniqueKey *unique : (*found)->UniqueKeys)
            keySets << JoinList(Sorted(unique->Columns));
        defaultColumns = DefaultRefColumns(**found);
    }
    const QString refText = Quoted(QualifiedName(target.Owner, target.Name));
    if (keySets.isEmpty()) {
        target.Error = what + QStringLiteral(" references table ") + refText
                       + QStringLiteral(", which has no primary or unique key.");
        return target;
    }
    target.RefColumns = SplitList(key.RefColumns);
    if (target.RefColumns.isEmpty())
        target.RefColumns = defaultColumns;
    if (!keySets.contains(JoinList(Sorted(target.RefColumns))))
        target.Error = what + QStringLiteral(" references columns (") + JoinList(target.RefColumns)
                       + QStringLiteral("), which are no primary or unique key of ") + refText + QLatin1Char('.');
    return target;
}

void TTableDraft::CheckConstraints(QStringList &errors, const std::vector<const TDiagramTable *> &pageTables) const
{
    QSet<QString> names;
    const auto checkName = [&](const QString &what, const QString &name) {
        const QString error = TOracleIdentifier::Check(what, name);
        if (!error.isEmpty()) {
            errors << error;
            return false;
        }
        if (names.contains(name))
            errors << QStringLiteral("Constraint name ") + Quoted(name) + QStringLiteral(" is used twice.");
        names.insert(name);
        return true;
    };
    int primaryKeys = 0;
    for (size_t i = 0; i < Keys.size(); ++i) {
        const TKeyDraft &key = Keys[i];
        if (!checkName(QStringLiteral("Name of key %1").arg(i + 1), key.Name))
            continue;
        const QString what = QStringLiteral("Key ") + Quoted(key.Name);
        if (key.Kind == QLatin1String("PRIMARY"))
            ++primaryKeys;
        else if (key.Kind != QLatin1String("UNIQUE"))
            errors << what + QStringLiteral(": kind ") + Quoted(key.Kind)
                          + QStringLiteral(" must be PRIMARY or UNIQUE.");
        CheckColumnList(errors, what, key.Columns);
    }
    if (primaryKeys > 1)
        errors << QStringLiteral("The table has more than one primary key.");
    for (size_t i = 0; i < ForeignKeys.size(); ++i) {
        const TForeignKeyDraft &key = ForeignKeys[i];
        if (!checkName(QStringLiteral("Name of foreign key %1").arg(i + 1), key.Name))
            continue;
        const QString what = QStringLiteral("Foreign key ") + Quoted(key.Name);
        CheckColumnList(errors, what, key.Columns);
        static const QStringList rules = {QString(), QStringLiteral("NO ACTION"), QStringLiteral("CASCADE"),
                                          QStringLiteral("SET NULL")};
        if (!rules.contains(key.OnDelete.toUpper()))
            errors << what + QStringLiteral(": delete rule ") + Quoted(key.OnDelete)
                          + QStringLiteral(" must be empty, NO ACTION, CASCADE or SET NULL.");
        const TRefTarget target = ResolveReference(key, pageTables);
        if (!target.Error.isEmpty())
            errors << target.Error;
        else if (!SplitList(key.Columns).isEmpty() && SplitList(key.Columns).size() != target.RefColumns.size())
            errors << what + QStringLiteral(" has %1 column(s) but references %2.")
                                 .arg(SplitList(key.Columns).size())
                                 .arg(target.RefColumns.size());
    }
    for (size_t i = 0; i < Checks.size(); ++i) {
        const TCheckDraft &check = Checks[i];
        if (!checkName(QStringLiteral("Name of check constraint %1").arg(i + 1), check.Name))
            continue;
        if (check.Condition.trimmed().isEmpty())
            errors << QStringLiteral("Check constraint ") + Quoted(check.Name)
                          + QStringLiteral(" has no condition.");
    }
}

void TTableDraft::CheckIndexes(QStringList &errors) const
{
    QSet<QString> names;
    for (size_t i = 0; i < Indexes.size(); ++i) {
        const TIndexDraft &index = Indexes[i];
        const QString error = TOracleIdentifier::Check(QStringLiteral("Name of index %1").arg(i + 1), index.Name);
        if (!error.isEmpty()) {
            errors << error;
            continue;
        }
        if (names.contains(index.Name))
            errors << QStringLiteral("Index name ") + Quoted(index.Name) + QStringLiteral(" is used twice.");
        names.insert(index.Name);
        const QString what = QStringLiteral("Index ") + Quoted(index.Name);
        static const QStringList types = {QStringLiteral("NORMAL"), QStringLiteral("BITMAP"),
                                          QStringLiteral("UNIQUE")};
        if (!types.contains(index.Type.toUpper()))
            errors << what + QStringLiteral(": type ") + Quoted(index.Type)
                          + QStringLiteral(" must be NORMAL, BITMAP or UNIQUE.");
        CheckColumnList(errors, what, index.Columns);
    }
}

void TTableDraft::ApplyTo(TDiagramTable &table, const std::vector<const TDiagramTable *> &pageTables) const
{
    // An index may live in another schema than its table; keep that owner.
    QHash<QString, QString> indexOwners;
    for (const TDiagramIndex *index : table.Indexes)
        indexOwners.insert(index->Name, index->Owner);

    table.Name = Name;
    table.Owner = Owner;
    table.Comment = Comment;
    const bool isVirtual = table.IsVirtual;
    const auto mark = [isVirtual](TBaseDiagramObject *part) { part->IsVirtual = isVirtual; };

    table.Columns.Clear();
    int sequence = 0;
    for (const TColumnDraft &row : Columns) {
        auto *column = new TDiagramColumn;
        mark(column);
        column->Name = row.Name;
        column->IsNullable = row.Nullable;
        column->DefaultValue = row.DefaultValue;
        column->Comment = row.Comment;
        column->Sequence = ++sequence;
        TParsedType type{row.OriginalDataType, row.OriginalLength, row.OriginalPrecision, row.OriginalScale};
        if (!KeepsOriginalType(row))
            ParseType(row.Name, row.TypeText, type);
        column->DataType = type.DataType;
        column->DataLength = type.Length;
        column->DataPrecision = type.Precision;
        column->DataScale = type.Scale;
        table.Columns.Add(column);
    }

    table.PrimaryKeys.Clear();
    table.UniqueKeys.Clear();
    for (const TKeyDraft &row : Keys) {
        TBaseDiagramKey *key = nullptr;
        if (row.Kind == QLatin1String("PRIMARY")) {
            key = new TDiagramPrimaryKey;
            table.PrimaryKeys.Add(key);
        } else {
            key = new TDiagramUniqueKey;
            table.UniqueKeys.Add(key);
        }
        mark(key);
        key->Name = row.Name;
        key->Columns = SplitList(row.Columns);
    }

    table.ForeignKeys.Clear();
    for (const TForeignKeyDraft &row : ForeignKeys) {
        const TRefTarget target = ResolveReference(row, pageTables);
        auto *key = new TDiagramForeignKey;
        mark(key);
        key->Name = row.Name;
        key->Columns = SplitList(row.Columns);
        key->RefTableOwner = target.Owner;
        key->RefTableName = target.Name;
        key->RefColumns = target.RefColumns;
        key->OnDelete = row.OnDelete.toUpper();
        key->Table = &table;
        table.ForeignKeys.Add(key);
    }

    table.CheckConstraints.Clear();
    for (const TCheckDraft &row : Checks) {
        auto *check = new TDiagramCheckConstraint;
        mark(check);
        check->Name = row.Name;
        check->CheckText = row.Condition;
        table.CheckConstraints.Add(check);
    }

    table.Indexes.Clear();
    for (const TIndexDraft &row : Indexes) {
        auto *index = new TDiagramIndex;
        mark(index);
        index->Name = row.Name;
        index->IndexType = row.Type.toUpper();
        index->Columns = SplitList(row.Columns);
        const QString oldOwner = indexOwners.value(row.Name);
        index->Owner = oldOwner.isEmpty() ? Owner : oldOwner;
        index->TableOwner = Owner;
        index->TableName = Name;
        table.Indexes.Add(index);
    }
}

void TTableDraft::DropStaleLinkPaths(TDiagramTable &table)
{
    // A path whose key went away or now points at another table would keep a
    // rank that no line uses any more.
    table.LinkPaths.EraseIf([&](const TLinkPath &path) {
        const TDiagramForeignKey *key = table.ForeignKeys.FindForeignKey(path.KeyName);
        return !key || key->RefTableName != path.RefTableName || key->RefTableOwner != path.RefTableOwner;
    });
}
