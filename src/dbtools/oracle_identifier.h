#pragma once
// TOracleIdentifier: tells whether a text may stand as an Oracle name, and
// why not when it may not.
#include <QString>

class TOracleIdentifier {
public:
    TOracleIdentifier() = delete;

    // Longest name the server takes, quotes not counted.
    static constexpr int MaxLength = 30;

    // Empty when Text is a usable name; otherwise a sentence that starts with
    // What ("Table name", "Name of column 2") and says what is wrong.
    static QString Check(const QString &what, const QString &text);
    static bool IsReservedWord(const QString &word);
};
