#include "model/oracle_name.h"

#include <QSet>

#include <algorithm>

namespace OracleName {

namespace {

const QSet<QString> &ReservedWords()
{
    static const QSet<QString> words = [] {
        QSet<QString> set;
        for (const char *w :
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
            set.insert(QString::fromLatin1(w));
        return set;
    }();
    return words;
}

// Names longer than every reserved word need no look-up.
qsizetype LongestReservedWord()
{
    static const qsizetype longest = [] {
        qsizetype size = 0;
        for (const QString &word : ReservedWords())
            size = std::max(size, word.size());
        return size;
    }();
    return longest;
}

} // namespace

bool IsReservedWord(const QString &word) { return ReservedWords().contains(word.toUpper()); }

bool IsPlain(const QString &name)
{
    if (name.isEmpty())
        return false;
    const QChar first = name.at(0);
    if (first < u'A' || first > u'Z')
        return false;
    for (QChar c : name) {
        const bool ok = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'$' || c == u'#';
        if (!ok)
            return false;
    }
    // Already upper case: the set is asked as it is, without a copy.
    return name.size() > LongestReservedWord() || !ReservedWords().contains(name);
}

QString Quote(const QString &name)
{
    if (name.isEmpty() || IsPlain(name))
        return name;
    if (name.size() >= 3 && name.startsWith(u'"') && name.endsWith(u'"') && !name.mid(1, name.size() - 2).contains(u'"'))
        return name;
    QString inner = name;
    inner.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString Qualified(const QString &owner, const QString &name)
{
    if (owner.isEmpty())
        return Quote(name);
    return Quote(owner) + QLatin1Char('.') + Quote(name);
}

} // namespace OracleName
