#include "dbtools/copy_script.h"

#include "model/ddl_text.h"
#include "model/oracle_name.h"
#include "model/result_set.h"

#include <QDateTime>
#include <QRegularExpression>

#include <set>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

bool IsNumberType(const QString &type)
{
    return type == QLatin1String("NUMBER") || type == QLatin1String("INTEGER") || type == QLatin1String("FLOAT")
           || type == QLatin1String("BINARY_FLOAT") || type == QLatin1String("BINARY_DOUBLE");
}

// Dictionary texts such as TIMESTAMP(6) WITH TIME ZONE name their base first.
QString BaseType(const QString &dataType)
{
    static const QRegularExpression base(QStringLiteral("^[A-Z_ ]*[A-Z_]"));
    const QRegularExpressionMatch match = base.match(dataType.trimmed().toUpper());
    return match.hasMatch() ? match.captured(0) : dataType.trimmed().toUpper();
}

// A number as the server reads it back: no exponent surprises, no locale.
QString NumberText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        break;
    }
    // A text that is a plain decimal number may stand as one; anything else
    // goes in quotes, so nothing of the data can become part of the statement.
    static const QRegularExpression decimal(QStringLiteral("^-?(\\d+(\\.\\d*)?|\\.\\d+)([eE][-+]?\\d+)?$"));
    const QString text = value.toString().trimmed();
    return decimal.match(text).hasMatch() ? text : TCopyScript::QuoteText(value.toString());
}

QString DateText(const QVariant &value, bool withFraction)
{
    QDateTime moment;
    if (value.typeId() == QMetaType::QDateTime)
        moment = value.toDateTime();
    else if (value.typeId() == QMetaType::QDate)
        moment = value.toDate().startOfDay();
    else
        moment = QDateTime::fromString(value.toString().trimmed().left(19), kDateFormat);
    if (!moment.isValid())
        return QString();
    QString text = moment.toString(kDateFormat);
    if (withFraction)
        text += QStringLiteral(".%1").arg(moment.time().msec(), 3, 10, QLatin1Char('0'));
    return text;
}

} // namespace

QString TCopyScript::QuoteText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString TCopyScript::Literal(const QVariant &value, const QString &dataType)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    const QString type = BaseType(dataType);
    if (IsNumberType(type))
        return NumberText(value);
    if (type == QLatin1String("DATE")) {
        const QString text = DateText(value, false);
        if (!text.isEmpty())
            return QStringLiteral("TO_DATE('") + text + QStringLiteral("', 'YYYY-MM-DD HH24:MI:SS')");
    } else if (type.startsWith(QLatin1String("TIMESTAMP"))) {
        const QString text = DateText(value, true);
        if (!text.isEmpty())
            return QStringLiteral("TO_TIMESTAMP('") + text + QStringLiteral("', 'YYYY-MM-DD HH24:MI:SS.FF3')");
    } else if ((type == QLatin1String("RAW") || type == QLatin1String("BLOB") || type == QLatin1String("LONG RAW"))
               && value.typeId() == QMetaType::QByteArray) {
        return QStringLiteral("HEXTORAW('") + QString::fromLatin1(value.toByteArray().toHex().toUpper())
               + QStringLiteral("')");
    }
    return QuoteText(value.toString());
}

QString TCopyScript::TableScript(const QString &owner, const QString &table, const QList<TCopyColumn> &columns,
                                 const TOSResultSet &rows)
{
    const QString qualified = OracleName::Qualified(owner, table);
    QStringList names;
    for (const TCopyColumn &column : columns)
        names << OracleName::Quote(column.Name);
    const QString head = QStringLiteral("INSERT INTO ") + qualified + QStringLiteral(" (")
                         + names.join(QStringLiteral(", ")) + QStringLiteral(")\r\nVALUES (");
    QString script =
        QStringLiteral("/*  %1: %2 row(s)  */\r\n").arg(TDdlText::CommentText(qualified)).arg(rows.RowCount());
    for (int r = 0; r < rows.RowCount(); ++r) {
        const TOSRow *row = rows.GetRow(r);
        QStringList values;
        for (int c = 0; c < columns.size(); ++c)
            values << Literal(c < row->Count() ? row->GetCell(c)->Value() : QVariant(), columns[c].DataType);
        script += head + values.join(QStringLiteral(", ")) + QStringLiteral(")\r\n/\r\n\r\n");
    }
    return script;
}

std::vector<QStringList> TCopyScript::CopyOrder(QStringList tables, const QHash<QString, QStringList> &parents)
{
    tables.sort();
    tables.removeDuplicates();
    const int n = static_cast<int>(tables.size());
    QHash<QString, int> indexOf;
    for (int i = 0; i < n; ++i)
        indexOf.insert(tables[i], i);
    // A table's reference to itself says nothing about the order of tables.
    std::vector<std::vector<int>> edges(n);
    for (int i = 0; i < n; ++i) {
        for (const QString &parent : parents.value(tables[i])) {
            const int j = indexOf.value(parent, -1);
            if (j >= 0 && j != i)
                edges[i].push_back(j);
        }
    }

    // Tables that reach each other through their references form one group
    // (strongly connected components, found without recursion so that a long
    // chain of references cannot exhaust the stack).
    std::vector<int> order(n, -1), low(n, 0), group(n, -1);
    std::vector<bool> onStack(n, false);
    std::vector<int> stack;
    int counter = 0, groups = 0;
    for (int start = 0; start < n; ++start) {
        if (order[start] >= 0)
            continue;
        std::vector<std::pair<int, size_t>> work{{start, 0}};
        order[start] = low[start] = counter++;
        stack.push_back(start);
        onStack[start] = true;
        while (!work.empty()) {
            const int v = work.back().first;
            if (work.back().second < edges[v].size()) {
                const int w = edges[v][work.back().second++];
                if (order[w] < 0) {
                    order[w] = low[w] = counter++;
                    stack.push_back(w);
                    onStack[w] = true;
                    work.push_back({w, 0});
                } else if (onStack[w]) {
                    low[v] = std::min(low[v], order[w]);
                }
                continue;
            }
            if (low[v] == order[v]) {
                int w;
                do {
                    w = stack.back();
                    stack.pop_back();
                    onStack[w] = false;
                    group[w] = groups;
                } while (w != v);
                ++groups;
            }
            work.pop_back();
            if (!work.empty())
                low[work.back().first] = std::min(low[work.back().first], low[v]);
        }
    }

    // Groups whose parents are all out go next, the one with the first name first.
    std::vector<QStringList> members(groups);
    std::vector<int> first(groups, -1), waiting(groups, 0);
    std::vector<std::vector<int>> children(groups);
    for (int i = 0; i < n; ++i) {
        members[group[i]] << tables[i];
        if (first[group[i]] < 0)
            first[group[i]] = i;
        for (int j : edges[i]) {
            if (group[j] != group[i]) {
                children[group[j]].push_back(group[i]);
                ++waiting[group[i]];
            }
        }
    }
    std::set<std::pair<int, int>> ready;
    for (int g = 0; g < groups; ++g) {
        if (waiting[g] == 0)
            ready.insert({first[g], g});
    }
    std::vector<QStringList> result;
    result.reserve(groups);
    while (!ready.empty()) {
        const int g = ready.begin()->second;
        ready.erase(ready.begin());
        result.push_back(members[g]);
        for (int child : children[g]) {
            if (--waiting[child] == 0)
                ready.insert({first[child], child});
        }
    }
    return result;
}

QString TCopyScript::CycleComment(const QStringList &tables)
{
    return QStringLiteral("/*  ") + TDdlText::CommentText(tables.join(QStringLiteral(", ")))
           + QStringLiteral(" reference each other: their rows follow in name order; disable their foreign keys "
                            "while they load  */\r\n\r\n");
}
