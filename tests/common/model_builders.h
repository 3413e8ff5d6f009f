#pragma once
// Small builders for model objects in tests.
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/model_globals.h"

#include <QStringList>

// The program-wide objects for the life of a test object, the page at the
// default style (boxes measure and captions read the current page's style).
struct TModelGlobalsGuard {
    TModelGlobalsGuard()
    {
        InitializeModelGlobals();
        CurrentModel->Style.SetDefaultStyle();
    }
    ~TModelGlobalsGuard() { FinalizeModelGlobals(); }
};

inline TDiagramColumn *AddColumn(TDiagramTable &table, const QString &name, const QString &type = "NUMBER",
                                 int length = 0, int precision = 0, int scale = 0, bool nullable = true)
{
    auto *column = new TDiagramColumn();
    column->Name = name, column->DataType = type, column->IsNullable = nullable;
    column->DataLength = length, column->DataPrecision = precision, column->DataScale = scale;
    column->Sequence = table.Columns.Count() + 1;
    table.Columns.Add(column);
    return column;
}

template <class Key, class List>
Key *AddKey(List &list, const QString &name, const QStringList &columns)
{
    auto *key = new Key();
    key->Name = name, key->Columns = columns;
    list.Add(key);
    return key;
}

inline TDiagramPrimaryKey *AddPrimaryKey(TDiagramTable &table, const QString &name, const QStringList &columns)
{
    return AddKey<TDiagramPrimaryKey>(table.PrimaryKeys, name, columns);
}

inline TDiagramUniqueKey *AddUniqueKey(TDiagramTable &table, const QString &name, const QStringList &columns)
{
    return AddKey<TDiagramUniqueKey>(table.UniqueKeys, name, columns);
}

inline TDiagramForeignKey *AddForeignKey(TDiagramTable &table, const QString &name, const QStringList &columns,
                                         const QString &refOwner, const QString &refTable,
                                         const QStringList &refColumns, const QString &onDelete = "NO ACTION")
{
    auto *key = AddKey<TDiagramForeignKey>(table.ForeignKeys, name, columns);
    key->RefTableOwner = refOwner, key->RefTableName = refTable, key->RefColumns = refColumns;
    key->OnDelete = onDelete, key->Table = &table;
    return key;
}

inline TDiagramTable *AddTable(TDiagramObjectModel &model, const QString &owner, const QString &name,
                               int left = 10, int top = 10, int width = 100, int height = 100)
{
    auto *table = new TDiagramTable();
    table->Owner = owner, table->Name = name;
    table->Left = left, table->Top = top, table->Width = width, table->Height = height;
    model.Tables.Add(table);
    return table;
}
