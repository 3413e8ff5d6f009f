#include "canvas/gif/file_stream.h"

#include "canvas/gif/gif_exception.h"

#include <QFile>
#include <QSaveFile>

namespace gif {

TFileStream::TFileStream(const QString &fileName, TFileMode mode) : FFileName(fileName), FMode(mode)
{
    if (mode == TFileMode::fmCreate) {
        FFile = std::make_unique<QSaveFile>(fileName);
        if (!FFile->open(QIODevice::WriteOnly))
            throw EStreamError("Cannot create file \"" + fileName.toStdString() + "\". "
                               + FFile->errorString().toStdString());
    } else {
        FFile = std::make_unique<QFile>(fileName);
        if (!FFile->open(QIODevice::ReadOnly))
            throw EStreamError("Cannot open file \"" + fileName.toStdString() + "\". "
                               + FFile->errorString().toStdString());
    }
}

TFileStream::~TFileStream()
{
    // An uncommitted save file is discarded by its own destructor.
}

std::size_t TFileStream::Read(void *buffer, std::size_t count)
{
    const qint64 n = FFile->read(static_cast<char *>(buffer), qint64(count));
    if (n < 0)
        throw EStreamError("Stream read error");
    return std::size_t(n);
}

void TFileStream::Write(const void *buffer, std::size_t count)
{
    if (count == 0)
        return;
    if (FFile->write(static_cast<const char *>(buffer), qint64(count)) != qint64(count))
        throw EStreamError("Stream write error");
}

std::int64_t TFileStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = FFile->pos(); break;
    case TSeekOrigin::soEnd: base = FFile->size(); break;
    }
    const std::int64_t target = base + offset;
    if (target < 0 || !FFile->seek(target))
        throw EStreamError("Stream seek error");
    return target;
}

std::int64_t TFileStream::Size()
{
    return FFile->size();
}

void TFileStream::Commit()
{
    if (FMode != TFileMode::fmCreate)
        return;
    auto *save = static_cast<QSaveFile *>(FFile.get());
    if (!save->commit())
        throw EStreamError("Cannot create file \"" + FFileName.toStdString() + "\". "
                           + save->errorString().toStdString());
}

}  // namespace gif
