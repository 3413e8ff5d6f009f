#include "platform/atomic_file.h"

#include <QSaveFile>

QString TAtomicFile::Write(const QString &path, const std::function<void(QIODevice &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    write(file);
    // A failed write is remembered by the file and refused here.
    if (!file.commit())
        return file.errorString();
    return {};
}

QString TAtomicFile::Write(const QString &path, const QByteArray &bytes)
{
    QString shortWrite;
    const QString reason = Write(path, [&](QIODevice &file) {
        if (file.write(bytes) != bytes.size()) {
            shortWrite = file.errorString();
            static_cast<QSaveFile &>(file).cancelWriting();
        }
    });
    return shortWrite.isEmpty() ? reason : shortWrite;
}
