#include "model/data_type_helpers.h"

#include "model/model_errors.h"

#include <array>

namespace {

// NCHAR and NVARCHAR2 come from the dictionary of any schema that stores
// national text; the editor takes them back as typed, with their size.
constexpr std::array<const char *, 14> ValidTypes = {"BLOB",   "BOOLEAN", "CLOB",   "CHAR",      "DATE",
                                                     "INTEGER", "LONG",   "LONG RAW", "NCHAR", "NUMBER",
                                                     "NVARCHAR2", "RAW",  "VARCHAR", "VARCHAR2"};
constexpr std::array<const char *, 9> LengthTypes = {"BLOB",      "CLOB", "CHAR",    "NCHAR",   "NUMBER",
                                                     "NVARCHAR2", "RAW",  "VARCHAR", "VARCHAR2"};

template <size_t N>
bool InTable(const std::array<const char *, N> &table, const QString &name)
{
    for (const char *entry : table) {
        if (name == QLatin1String(entry))
            return true;
    }
    return false;
}

} // namespace

QString TDataTypeHelpers::GetBaseType(const QString &text)
{
    const int paren = text.indexOf(QLatin1Char('('));
    return paren >= 0 ? text.left(paren) : text;
}

bool TDataTypeHelpers::IsValidType(const QString &name) { return InTable(ValidTypes, name); }

bool TDataTypeHelpers::HasLength(const QString &name) { return InTable(LengthTypes, name); }

bool TDataTypeHelpers::HasPrecision(const QString &name) { return name == QLatin1String("NUMBER"); }

QString TDataTypeHelpers::GetParameters(const QString &text)
{
    const QString base = GetBaseType(text);
    if (!HasLength(base))
        return {};
    // From just after the "(" up to, not including, the text's last character,
    // whatever that character is.
    const int start = base.size() + 1;
    const int count = text.size() - 1 - start;
    return count > 0 ? text.mid(start, count) : QString();
}

int TDataTypeHelpers::GetLength(const QString &text)
{
    const QString base = GetBaseType(text);
    if (!HasLength(base) || HasPrecision(base))
        return 0;
    const QString params = GetParameters(text);
    return params.isEmpty() ? 0 : StrToInt(params);
}

int TDataTypeHelpers::GetPrecision(const QString &text)
{
    if (!HasPrecision(GetBaseType(text)))
        return 0;
    const QString params = GetParameters(text);
    const int comma = params.indexOf(QLatin1Char(','));
    if (comma >= 0)
        return StrToInt(params.left(comma));
    return params.isEmpty() ? 0 : StrToInt(params);
}

int TDataTypeHelpers::GetScale(const QString &text)
{
    if (!HasPrecision(GetBaseType(text)))
        return 0;
    const QString params = GetParameters(text);
    const int comma = params.indexOf(QLatin1Char(','));
    return comma >= 0 ? StrToInt(params.mid(comma + 1)) : 0;
}
