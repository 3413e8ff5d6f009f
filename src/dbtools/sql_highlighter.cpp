#include "dbtools/sql_highlighter.h"

#include <QSet>

namespace {

// Block states carried from one line to the next.
enum TBlockState { stNormal = 0, stComment = 1, stString = 2, stQuotedName = 3 };

// Where a comment, string or quoted name opened on an earlier line closes.
QString CloseOf(int state)
{
    switch (state) {
    case stComment:
        return QStringLiteral("*/");
    case stString:
        return QStringLiteral("'");
    default:
        return QStringLiteral("\"");
    }
}

const QSet<QString> &Keywords()
{
    static const QSet<QString> words = [] {
        const char *list[] = {
            "ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BEGIN", "BETWEEN", "BODY", "BY",
            "CASCADE", "CASE", "CHAR", "CHECK", "CLOB", "BLOB", "CLUSTER", "COLUMN", "COMMENT", "COMMIT", "COMPRESS",
            "CONNECT", "CONSTRAINT", "CREATE", "CURRENT", "CURSOR", "DATE", "DECIMAL", "DECLARE", "DEFAULT",
            "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "ELSIF", "END", "EXCEPTION", "EXCLUSIVE", "EXECUTE",
            "EXISTS", "EXIT", "FETCH", "FILE", "FLOAT", "FOR", "FOREIGN", "FROM", "FULL", "FUNCTION", "GRANT",
            "GROUP", "HAVING", "IDENTIFIED", "IF", "IMMEDIATE", "IN", "INCREMENT", "INDEX", "INITIAL", "INNER",
            "INSERT", "INTEGER", "INTERSECT", "INTO", "IS", "JOIN", "KEY", "LEFT", "LEVEL", "LIKE", "LOCK", "LONG",
            "LOOP", "MAXEXTENTS", "MERGE", "MINUS", "MODE", "MODIFY", "NESTED", "NOAUDIT", "NOCOMPRESS", "NOT",
            "NOWAIT", "NULL", "NUMBER", "OBJECT", "OF", "OFFLINE", "ON", "ONLINE", "OPTION", "OR", "ORDER", "OUT",
            "OUTER", "PACKAGE", "PCTFREE", "PRIMARY", "PRIOR", "PRIVILEGES", "PROCEDURE", "PUBLIC", "RAISE", "RAW",
            "REFERENCES", "RENAME", "REPLACE", "RESOURCE", "RETURN", "RETURNING", "REVOKE", "RIGHT", "ROLLBACK",
            "ROW", "ROWID", "ROWNUM", "ROWS", "SAVEPOINT", "SELECT", "SEQUENCE", "SESSION", "SET", "SHARE", "SIZE",
            "SMALLINT", "START", "SYNONYM", "SYSDATE", "TABLE", "THEN", "TIMESTAMP", "TO", "TRIGGER", "TRUNCATE",
            "TYPE", "UID", "UNION", "UNIQUE", "UPDATE", "USER", "USING", "VALIDATE", "VALUES", "VARCHAR",
            "VARCHAR2", "VARRAY", "VIEW", "WHEN", "WHENEVER", "WHERE", "WHILE", "WITH"};
        QSet<QString> set;
        for (const char *w : list)
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

} // namespace

TSQLHighlighter::TSQLHighlighter(QTextDocument *document) : QSyntaxHighlighter(document)
{
    KeywordFormat.setForeground(QColor(0, 0, 160));
    KeywordFormat.setFontWeight(QFont::Bold);
    StringFormat.setForeground(QColor(160, 0, 0));
    NumberFormat.setForeground(QColor(0, 128, 128));
    CommentFormat.setForeground(QColor(0, 128, 0));
    CommentFormat.setFontItalic(true);
}

bool TSQLHighlighter::IsKeyword(const QString &word) { return Keywords().contains(word.toUpper()); }

void TSQLHighlighter::highlightBlock(const QString &text)
{
    const int n = int(text.size());
    int i = 0;
    int state = previousBlockState() < 0 ? stNormal : previousBlockState();
    // A comment, string or quoted name left open on the line before goes on here.
    if (state != stNormal) {
        const QString close = CloseOf(state);
        const int end = text.indexOf(close);
        const int stop = end < 0 ? n : end + int(close.size());
        if (state != stQuotedName)
            setFormat(0, stop, state == stComment ? CommentFormat : StringFormat);
        if (end < 0) {
            setCurrentBlockState(state);
            return;
        }
        i = stop;
    }
    state = stNormal;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('-') && i + 1 < n && text[i + 1] == QLatin1Char('-')) {
            setFormat(i, n - i, CommentFormat);
            break;
        }
        if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const int end = text.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            setFormat(i, stop - i, CommentFormat);
            if (end < 0)
                state = stComment;
            i = stop;
            continue;
        }
        if (c == QLatin1Char('\'')) {
            const int end = text.indexOf(QLatin1Char('\''), i + 1);
            const int stop = end < 0 ? n : end + 1;
            setFormat(i, stop - i, StringFormat);
            if (end < 0)
                state = stString;
            i = stop;
            continue;
        }
        // A name in double quotes is one plain name, whatever it holds: a
        // quote, "--" or a keyword in it starts nothing.
        if (c == QLatin1Char('"')) {
            const int end = text.indexOf(QLatin1Char('"'), i + 1);
            if (end < 0)
                state = stQuotedName;
            i = end < 0 ? n : end + 1;
            continue;
        }
        if (c.isLetter() || c == QLatin1Char('_')) {
            int end = i + 1;
            while (end < n && (text[end].isLetterOrNumber() || text[end] == QLatin1Char('_') ||
                               text[end] == QLatin1Char('$') || text[end] == QLatin1Char('#')))
                ++end;
            if (IsKeyword(text.mid(i, end - i)))
                setFormat(i, end - i, KeywordFormat);
            i = end;
            continue;
        }
        if (c.isDigit()) {
            int end = i + 1;
            while (end < n && (text[end].isDigit() || text[end] == QLatin1Char('.')))
                ++end;
            setFormat(i, end - i, NumberFormat);
            i = end;
            continue;
        }
        ++i;
    }
    setCurrentBlockState(state);
}
