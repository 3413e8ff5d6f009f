#pragma once
// TCopyScript: turns the rows of a table into INSERT statements that load
// them into another database, each value written as the literal its column's
// Oracle type needs.
#include <QString>
#include <QStringList>
#include <QHash>
#include <QVariant>

#include <vector>

class TOSResultSet;

struct TCopyColumn {
    QString Name;
    QString DataType; // as the dictionary's DATA_TYPE says: NUMBER, DATE, TIMESTAMP(6), ...
};

class TCopyScript {
public:
    TCopyScript() = delete;

    // The literal of one value in a column of that type; NULL for a null value.
    static QString Literal(const QVariant &value, const QString &dataType);
    // A text between single quotes, inner quotes doubled.
    static QString QuoteText(const QString &text);
    // One INSERT per row, each followed by a "/" line and an empty line,
    // after a comment line that names the table and its row count. Rows
    // holds the values of Columns, in that order.
    static QString TableScript(const QString &owner, const QString &table, const QList<TCopyColumn> &columns,
                               const TOSResultSet &rows);

    // The order that loads every table after the tables its foreign keys
    // reference (Parents, by qualified name; others than Tables are ignored):
    // groups in that order, each in name order. A group of more than one
    // table is a cycle of references, which no order satisfies.
    static std::vector<QStringList> CopyOrder(QStringList tables, const QHash<QString, QStringList> &parents);
    // The comment line before such a cycle.
    static QString CycleComment(const QStringList &tables);
};
