#include "model/model_errors.h"

#include <limits>

bool TryStrToInt(const QString &text, int &value)
{
    const int n = text.size();
    int i = 0;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == QLatin1Char('0')
               && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 result = 0;
    for (; i < n; ++i) {
        const int d = QChar(text[i]).isDigit() && text[i].unicode() < 128
                          ? text[i].unicode() - '0'
                          : (base == 16 && QStringLiteral("abcdefABCDEF").contains(text[i])
                                 ? QChar(text[i]).toLower().unicode() - 'a' + 10
                                 : -1);
        if (d < 0)
            return false;
        result = result * base + d;
        // Hexadecimal texts may spell the full 32-bit pattern ($FF000005).
        const qint64 limit = base == 16 ? 0xFFFFFFFFLL : qint64(std::numeric_limits<int>::max()) + 1;
        if (result > limit)
            return false;
    }
    if (base == 16) {
        // Negated as a bit pattern: "-$80000000" must not overflow an int.
        const quint32 bits = static_cast<quint32>(result);
        value = static_cast<int>(negative ? 0u - bits : bits);
        return true;
    }
    if (negative)
        result = -result;
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return false;
    value = static_cast<int>(result);
    return true;
}

int StrToInt(const QString &text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    return value;
}
