#include "dbtools/oracle_identifier.h"

#include <QSet>

namespace {

// The words the server refuses as unquoted names, whatever the object.
const QSet<QString> &ReservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char *word :
             {"ACCESS", "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUDIT", "BETWEEN", "BY", "CHAR",
              "CHECK", "CLUSTER", "COLUMN", "COMMENT", "COMPRESS", "CONNECT", "CREATE", "CURRENT", "DATE",
              "DECIMAL", "DEFAULT", "DELETE", "DESC", "DISTINCT", "DROP", "ELSE", "EXCLUSIVE", "EXISTS",
              "FILE", "FLOAT", "FOR", "FROM", "GRANT", "GROUP", "HAVING", "IDENTIFIED", "IMMEDIATE", "IN",
              "INCREMENT", "INDEX", "INITIAL", "INSERT", "INTEGER", "INTERSECT", "INTO", "IS", "LEVEL",
              "LIKE", "LOCK", "LONG", "MAXEXTENTS", "MINUS", "MLSLABEL", "MODE", "MODIFY", "NOAUDIT",
              "NOCOMPRESS", "NOT", "NOWAIT", "NULL", "NUMBER", "OF", "OFFLINE", "ON", "ONLINE", "OPTION",
              "OR", "ORDER", "PCTFREE", "PRIOR", "PRIVILEGES", "PUBLIC", "RAW", "RENAME", "RESOURCE",
              "REVOKE", "ROW", "ROWID", "ROWNUM", "ROWS", "SELECT", "SESSION", "SET", "SHARE", "SIZE",
              "SMALLINT", "START", "SUCCESSFUL", "SYNONYM", "SYSDATE", "TABLE", "THEN", "TO", "TRIGGER",
              "UID", "UNION", "UNIQUE", "UPDATE", "USER", "VALIDATE", "VALUES", "VARCHAR", "VARCHAR2",
              "VIEW", "WHENEVER", "WHERE", "WITH"})
            set.insert(QString::fromLatin1(word));
        return set;
    }();
    return words;
}

bool IsNameLetter(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

} // namespace

bool TOracleIdentifier::IsReservedWord(const QString &word) { return ReservedWords().contains(word.toUpper()); }

QString TOracleIdentifier::Check(const QString &what, const QString &text)
{
    const QString quoted = QLatin1Char('"') + text + QLatin1Char('"');
    if (text.isEmpty())
        return what + QStringLiteral(" is empty.");
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"')) {
        const QString inner = text.mid(1, text.size() - 2);
        if (inner.isEmpty())
            return what + QStringLiteral(" is empty.");
        if (inner.contains(u'"'))
            return what + QLatin1Char(' ') + quoted + QStringLiteral(" holds a double quote inside its quotes.");
        if (inner.size() > MaxLength)
            return what + QLatin1Char(' ') + quoted + QStringLiteral(" is longer than %1 characters.").arg(MaxLength);
        return {};
    }
    if (text.size() > MaxLength)
        return what + QLatin1Char(' ') + quoted + QStringLiteral(" is longer than %1 characters.").arg(MaxLength);
    if (!text.at(0).isLetter())
        return what + QLatin1Char(' ') + quoted
               + QStringLiteral(" must begin with a letter; enclose it in double quotes to keep it as it is.");
    for (QChar c : text) {
        if (!IsNameLetter(c))
            return what + QLatin1Char(' ') + quoted
                   + QStringLiteral(" may hold only letters, digits, _, $ and #; enclose it in double quotes to "
                                    "keep it as it is.");
    }
    if (IsReservedWord(text))
        return what + QLatin1Char(' ') + quoted
               + QStringLiteral(" is a reserved word; enclose it in double quotes to use it.");
    return {};
}
