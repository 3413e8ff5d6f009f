#include "model/diagram_column.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/oracle_name.h"
#include "model/os_base_list.h"

void TBaseModelObject::WriteXML(QStringList &, int) const {}

void TBaseModelObject::Assign(const TBaseModelObject &source)
{
    TOSBaseList::NamesChanged();
    Name = source.Name;
}

void TBaseDiagramObject::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TBaseDiagramObject>(source);
    TBaseModelObject::Assign(src);
    IsVirtual = src.IsVirtual;
    Graphic = src.Graphic;
}

void TBaseDiagramRectangle::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TBaseDiagramRectangle>(source);
    TBaseDiagramObject::Assign(src);
    Left = src.Left;
    Height = src.Height;
    Width = src.Width;
    Top = src.Top;
}

// Columns, attributes and methods --------------------------------------------

void TDiagramColumn::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramColumn>(source);
    TBaseDiagramObject::Assign(src);
    DataType = src.DataType;
    DataLength = src.DataLength;
    DataPrecision = src.DataPrecision;
    DataScale = src.DataScale;
    IsNullable = src.IsNullable;
    DefaultValue = src.DefaultValue;
    Comment = src.Comment;
    Sequence = src.Sequence;
}

QString TDiagramColumn::FormatDataType(const QString &dataType, int precision, int length, int scale)
{
    const auto withParam = [&](const QString &param) {
        return dataType + QLatin1Char('(') + param + QLatin1Char(')');
    };
    if (dataType == QLatin1String("NUMBER")) {
        if (scale > 0)
            return withParam(QString::number(precision) + QLatin1Char(',') + QString::number(scale));
        if (precision > 0)
            return withParam(QString::number(precision));
        return dataType;
    }
    // The national-character types keep their size as CHAR does: a bare
    // NVARCHAR2 is no type the server takes.
    if (dataType == QLatin1String("BLOB") || dataType == QLatin1String("CLOB")
        || dataType == QLatin1String("CHAR") || dataType == QLatin1String("RAW")
        || dataType == QLatin1String("NCHAR") || dataType == QLatin1String("NVARCHAR2"))
        return length > 0 ? withParam(QString::number(length)) : dataType;
    if (dataType == QLatin1String("VARCHAR") || dataType == QLatin1String("VARCHAR2"))
        return withParam(QString::number(length));
    return dataType;
}

QString TDiagramColumn::GetDataTypeText() const
{
    return FormatDataType(DataType, DataPrecision, DataLength, DataScale);
}

QString TDiagramColumn::GetDdlText(int width) const
{
    QString text = THelpers::PadRight(OracleName::Quote(Name), width, QLatin1Char(' ')) + QLatin1Char(' ')
                   + GetDataTypeText();
    if (!IsNullable)
        text += QLatin1String(" NOT NULL");
    return text;
}

QString TDiagramAttribute::GetDataTypeText() const
{
    return TDiagramColumn::FormatDataType(DataType, DataPrecision, DataLength, DataScale);
}

// Keys, constraints and indexes ----------------------------------------------

void TBaseDiagramKey::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TBaseDiagramKey>(source);
    TBaseDiagramObject::Assign(src);
    Columns = src.Columns;
}

void TDiagramForeignKey::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramForeignKey>(source);
    TBaseDiagramKey::Assign(src);
    RefTableOwner = src.RefTableOwner;
    RefTableName = src.RefTableName;
    // Replaced, not appended: a key assigned over another must not keep the
    // old referenced columns beside the new ones.
    RefColumns = src.RefColumns;
    Table = src.Table;
    OnDelete = src.OnDelete;
}

QString TDiagramForeignKey::GetLinkCaption() const
{
    const TOSSchemaStyle &style = CurrentStyle();
    QString text = style.ShowLinkName ? Name : QString();
    const QString owner = Table ? Table->Owner : QString();
    const QString tableName = Table ? Table->Name : QString();
    if (style.ShowLinkTableName) {
        if (!text.isEmpty())
            text += QLatin1String(": ");
        if (style.ShowOwnerInTitle)
            text += owner + QLatin1Char('.');
        text += tableName;
        if (style.ShowLinkColumns)
            text += QLatin1Char('(') + THelpers::CommaText(Columns) + QLatin1String(") = ");
        if (style.ShowOwnerInTitle)
            text += RefTableOwner + QLatin1Char('.');
        text += RefTableName;
        if (style.ShowLinkColumns)
            text += QLatin1Char('(') + THelpers::CommaText(RefColumns) + QLatin1Char(')');
    } else if (style.ShowLinkColumns) {
        if (!text.isEmpty())
            text += QLatin1String(": ");
        text += THelpers::CommaText(Columns) + QLatin1String(" = ") + THelpers::CommaText(RefColumns);
    }
    return text;
}

void TDiagramCheckConstraint::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramCheckConstraint>(source);
    TBaseDiagramObject::Assign(src);
    CheckText = src.CheckText;
}

void TDiagramIndex::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramIndex>(source);
    TBaseDiagramObject::Assign(src);
    Columns = src.Columns;
    Owner = src.Owner;
    IndexType = src.IndexType;
    TableName = src.TableName;
    TableOwner = src.TableOwner;
}

// Tables, types and notes ------------------------------------------------------

void TDiagramTable::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramTable>(source);
    TBaseDiagramRectangle::Assign(src);
    Owner = src.Owner;
    ShowOnlyKeyColumns = src.ShowOnlyKeyColumns;
    HideDataTypes = src.HideDataTypes;
    HideComments = src.HideComments;
    Partitioned = src.Partitioned;
    m_reloadFromDatabase = src.m_reloadFromDatabase;
    Comment = src.Comment;
    Columns.Assign(src.Columns);
    PrimaryKeys.Assign(src.PrimaryKeys);
    ForeignKeys.Assign(src.ForeignKeys);
    UniqueKeys.Assign(src.UniqueKeys);
    CheckConstraints.Assign(src.CheckConstraints);
    Indexes.Assign(src.Indexes);
    // The copied keys belong to this table now, not to the source: a copy
    // that outlives its source must not reach back into freed memory.
    for (TDiagramForeignKey *key : ForeignKeys)
        key->Table = this;
}

bool TDiagramTable::IsKeyColumn(const QString &columnName) const
{
    return PrimaryKeys.ContainsColumn(columnName) || UniqueKeys.ContainsColumn(columnName)
           || ForeignKeys.ContainsColumn(columnName);
}

bool TDiagramTable::IsColumnShown(const TDiagramColumn &column) const
{
    return !ShowOnlyKeyColumns || IsKeyColumn(column.Name);
}

void TDiagramTable::AddLinkPath(const QString &refTableName, const QString &refTableOwner, int rank,
                                const QString &keyName)
{
    LinkPaths.Add(refTableName, refTableOwner, rank, keyName);
}

void TDiagramTable::RemoveLinkPath(const QString &keyName)
{
    LinkPaths.Remove(keyName);
}

bool TDiagramTable::HasLinkPath(const QString &refTableName, const QString &refTableOwner, int rank,
                                const QString &keyName) const
{
    return LinkPaths.Has(refTableName, refTableOwner, rank, keyName);
}

int TDiagramTable::RankLinkPath(const TDiagramForeignKey &key)
{
    return LinkPaths.Rank(key.RefTableName, key.RefTableOwner, key.Name);
}

void TDiagramTable::SetIsVirtual(bool value)
{
    IsVirtual = value;
    for (auto *list : {static_cast<TOSBaseList *>(&Columns), static_cast<TOSBaseList *>(&PrimaryKeys),
                       static_cast<TOSBaseList *>(&ForeignKeys), static_cast<TOSBaseList *>(&UniqueKeys),
                       static_cast<TOSBaseList *>(&CheckConstraints), static_cast<TOSBaseList *>(&Indexes)}) {
        for (auto *item : list->Items())
            static_cast<TBaseDiagramObject *>(item)->IsVirtual = value;
    }
}

void TDiagramTable::Clear()
{
    ForeignKeys.Clear();
    PrimaryKeys.Clear();
    UniqueKeys.Clear();
    Indexes.Clear();
    CheckConstraints.Clear();
    LinkPaths.Clear();
    Columns.Clear();
}

void TDiagramObjectTable::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramObjectTable>(source);
    TDiagramTable::Assign(src);
    TypeOwner = src.TypeOwner;
    TypeName = src.TypeName;
}

void TDiagramType::Assign(const TBaseModelObject &source)
{
    const auto &src = AssignSource<TDiagramType>(source);
    TBaseDiagramRectangle::Assign(src);
    Owner = src.Owner;
}

void TDiagramNote::Assign(const TBaseModelObject &source)
{
    Text = AssignSource<TDiagramNote>(source).Text;
}
