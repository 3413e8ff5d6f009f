#include "dbtools/oracle_identifier.h"

#include "model/oracle_name.h"

namespace {

bool IsNameLetter(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#'; }

} // namespace

bool TOracleIdentifier::IsReservedWord(const QString &word) { return OracleName::IsReservedWord(word); }

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
