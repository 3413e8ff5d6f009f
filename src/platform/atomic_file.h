#pragma once
// TAtomicFile: writes a user's file in one piece, so a failed or interrupted
// save leaves the old file whole.
#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

class TAtomicFile {
public:
    TAtomicFile() = delete;

    // The reason of a failure, or an empty text when the file was written.
    // An exception thrown by Write leaves the old file too and reaches the caller.
    static QString Write(const QString &path, const std::function<void(QIODevice &)> &write);
    static QString Write(const QString &path, const QByteArray &bytes);
};
