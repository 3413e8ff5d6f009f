#include "canvas/gif/file_stream.h"

#include "canvas/gif/gif_exception.h"
#include "platform/atomic_file.h"

#include <QFile>

namespace gif {

std::size_t TDeviceStream::Read(void *buffer, std::size_t count)
{
    const qint64 n = FDevice->read(static_cast<char *>(buffer), qint64(count));
    if (n < 0)
        throw EStreamError("Stream read error");
    return std::size_t(n);
}

void TDeviceStream::Write(const void *buffer, std::size_t count)
{
    if (count == 0)
        return;
    if (FDevice->write(static_cast<const char *>(buffer), qint64(count)) != qint64(count))
        throw EStreamError(FDevice->errorString().toStdString());
}

std::int64_t TDeviceStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = FDevice->pos(); break;
    case TSeekOrigin::soEnd: base = FDevice->size(); break;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || !FDevice->seek(target))
        throw EStreamError("Stream seek error");
    return target;
}

std::int64_t TDeviceStream::Size()
{
    return FDevice->size();
}

TFileStream::TFileStream(const QString &fileName) : FFile(std::make_unique<QFile>(fileName))
{
    if (!FFile->open(QIODevice::ReadOnly))
        throw EStreamError("Cannot open file \"" + fileName.toStdString() + "\". " + FFile->errorString().toStdString());
    FDevice = FFile.get();
}

TFileStream::~TFileStream() = default;

void SaveStreamToFile(const QString &fileName, const std::function<void(TStream &)> &save)
{
    QString reason;
    try {
        reason = TAtomicFile::Write(fileName, [&](QIODevice &file) {
            TDeviceStream stream(file);
            save(stream);
        });
    } catch (const EStreamError &error) {
        // The device refused the bytes; the old file stays as it was.
        reason = QString::fromStdString(error.what());
    }
    if (!reason.isEmpty())
        throw EStreamError("Cannot create file \"" + fileName.toStdString() + "\". " + reason.toStdString());
}

}  // namespace gif
