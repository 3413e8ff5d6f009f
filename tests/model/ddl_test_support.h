#pragma once
// Shared by the DDL, delta and Java tests: builders for tables, their columns,
// check constraints and indexes, and the catching of expected errors.
#include "model/data_type_helpers.h"
#include "model/ddl_text.h"
#include "model_builders.h"

#include <memory>

inline QByteArray Bytes(const QString &text) { return text.toUtf8(); }
inline QByteArray Bytes(const QStringList &lines) { return TDdlText::ListText(lines).toUtf8(); }

// Columns written as "NAME TYPE[ NOT NULL][ -- comment]", the type as a user types it.
inline TDiagramTable *AddColumns(TDiagramTable &table, const QStringList &columns)
{
    for (const QString &column : columns) {
        QString text = column.section(" -- ", 0, 0);
        const bool notNull = text.endsWith(" NOT NULL");
        text.chop(notNull ? 9 : 0);
        const QString type = text.mid(text.indexOf(' ') + 1);
        AddColumn(table, text.left(text.indexOf(' ')), TDataTypeHelpers::GetBaseType(type),
                  TDataTypeHelpers::GetLength(type), TDataTypeHelpers::GetPrecision(type),
                  TDataTypeHelpers::GetScale(type), !notNull)
            ->Comment = column.section(" -- ", 1);
    }
    return &table;
}

template <class T = TDiagramTable>
std::unique_ptr<T> NewTable(const QString &owner, const QString &name, const QStringList &columns = {},
                            const QString &comment = {})
{
    auto table = std::make_unique<T>();
    table->Owner = owner;
    table->Name = name;
    table->Comment = comment;
    AddColumns(*table, columns);
    return table;
}

inline TDiagramCheckConstraint *AddCheck(TDiagramTable &table, const QString &name, const QString &text)
{
    auto *check = new TDiagramCheckConstraint();
    check->Name = name;
    check->CheckText = text;
    table.CheckConstraints.Add(check);
    return check;
}

// An index of the table's owner on the table.
inline TDiagramIndex *AddIndex(TDiagramTable &table, const QString &name, const QStringList &columns,
                               const QString &type = "NORMAL")
{
    auto *index = new TDiagramIndex();
    index->Name = name;
    index->Owner = index->TableOwner = table.Owner;
    index->TableName = table.Name;
    index->Columns = columns;
    index->IndexType = type;
    table.Indexes.Add(index);
    return index;
}

// The message of the E the call raises, or "no error"; other exceptions pass.
template <class E = std::exception, class F>
QString ErrorOf(F &&call)
{
    try {
        call();
    } catch (const E &e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("no error");
}
