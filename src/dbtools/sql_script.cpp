#include "dbtools/sql_script.h"

#include <QRegularExpression>

QString TSqlScript::StripComments(const QString &statement)
{
    QString out;
    out.reserve(statement.size());
    const int n = int(statement.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = statement[i];
        if (c == QLatin1Char('-') && i + 1 < n && statement[i + 1] == QLatin1Char('-')) {
            while (i < n && statement[i] != QLatin1Char('\n'))
                ++i;
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('/') && i + 1 < n && statement[i + 1] == QLatin1Char('*')) {
            const int end = statement.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
            out += QLatin1Char(' ');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = statement.indexOf(c, i + 1);
            const int stop = end < 0 ? n - 1 : end;
            out += statement.mid(i, stop - i + 1);
            i = stop;
        } else {
            out += c;
        }
    }
    return out.simplified();
}

bool TSqlScript::IsPlSqlUnit(const QString &statement)
{
    static const QRegularExpression unit(
        QStringLiteral("^(declare|begin|create\\s+(or\\s+replace\\s+)?((non)?editionable\\s+)?"
                       "(procedure|function|package|trigger|type))\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return unit.match(StripComments(statement)).hasMatch();
}

QString TSqlScript::Clean(const QString &statement)
{
    QString text = statement.trimmed();
    static const QRegularExpression slashLine(QStringLiteral("\\n\\s*/\\s*$"));
    text.remove(slashLine);
    text = text.trimmed();
    if (text == QLatin1String("/"))
        return {};
    if (text.endsWith(QLatin1Char(';')) && !IsPlSqlUnit(text))
        text.chop(1);
    return text.trimmed();
}

QStringList TSqlScript::Split(const QString &script)
{
    QStringList statements;
    QString current;
    int lineStart = 0; // where the current line starts inside `current`
    auto finish = [&](const QString &text) {
        if (!StripComments(text).isEmpty())
            statements << text.trimmed();
        current.clear();
        lineStart = 0;
    };
    const int n = int(script.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == QLatin1Char('\n')) {
            if (current.mid(lineStart).trimmed() == QLatin1String("/")) {
                finish(current.left(lineStart));
                continue;
            }
            current += c;
            lineStart = int(current.size());
            continue;
        }
        // Strings and comments are copied whole: nothing inside them ends a statement.
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int end = script.indexOf(c, i + 1);
            const int stop = end < 0 ? n - 1 : end;
            const QString quoted = script.mid(i, stop - i + 1);
            current += quoted;
            if (quoted.contains(QLatin1Char('\n')))
                lineStart = int(current.size()) - int(quoted.size() - quoted.lastIndexOf(QLatin1Char('\n')) - 1);
            i = stop;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script[i + 1] == QLatin1Char('-')) {
            const int end = script.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            current += script.mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && script[i + 1] == QLatin1Char('*')) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            const QString comment = script.mid(i, stop - i);
            current += comment;
            if (comment.contains(QLatin1Char('\n')))
                lineStart = int(current.size()) - int(comment.size() - comment.lastIndexOf(QLatin1Char('\n')) - 1);
            i = stop - 1;
            continue;
        }
        if (c == QLatin1Char(';') && !IsPlSqlUnit(current)) {
            finish(current);
            continue;
        }
        current += c;
    }
    if (current.mid(lineStart).trimmed() == QLatin1String("/"))
        current = current.left(lineStart);
    finish(current);
    return statements;
}
