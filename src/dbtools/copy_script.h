#pragma once
// TCopyScript: turns the rows of a table into INSERT statements that load
// them into another database, each value written as the literal its column's
// Oracle type needs.
#include <QString>
#include <QStringList>
#include <QVariant>

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
    // A dictionary name as a statement needs it: plain when it is an
    // ordinary upper-case name, otherwise in double quotes.
    static QString SqlName(const QString &name);
    // One INSERT per row, each followed by a "/" line and an empty line,
    // after a comment line that names the table and its row count. Rows
    // holds the values of Columns, in that order.
    static QString TableScript(const QString &owner, const QString &table, const QList<TCopyColumn> &columns,
                               const TOSResultSet &rows);
};
