#pragma once
// TDataTypeHelpers: turns an Oracle type text such as NUMBER(10,2) into its
// base type, length, precision and scale.
#include <QString>

class TDataTypeHelpers {
public:
    TDataTypeHelpers() = delete;

    static QString GetBaseType(const QString &text);
    static bool IsValidType(const QString &name);
    static bool HasLength(const QString &name);
    static bool HasPrecision(const QString &name);
    static QString GetParameters(const QString &text);
    static int GetLength(const QString &text);
    static int GetPrecision(const QString &text);
    static int GetScale(const QString &text);
};
