#pragma once
// The exceptions the model raises, with the texts users see in message boxes.
#include "platform/convert_error.h"

#include <QString>
#include <stdexcept>

class EModelError : public std::runtime_error {
public:
    explicit EModelError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

// An index outside a list.
class EListError : public EModelError {
public:
    explicit EListError(int index)
        : EModelError(QStringLiteral("List index out of bounds (%1)").arg(index)) {}
};

// An object of the wrong class where a typed one was expected.
class EInvalidCast : public EModelError {
public:
    EInvalidCast() : EModelError(QStringLiteral("Invalid class typecast")) {}
};


// Text to 32-bit integer the way the files and type texts expect it: optional
// sign, decimal digits, or "$"/"0x" followed by hexadecimal digits. Anything
// else raises EConvertError "'<text>' is not a valid integer value".
int StrToInt(const QString &text);
// As StrToInt, but false instead of an exception.
bool TryStrToInt(const QString &text, int &value);
