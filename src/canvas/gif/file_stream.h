#pragma once
// TFileStream: a stream over a file. A file opened for writing replaces the old one only
// when Commit succeeds, so a failed save leaves the old picture whole.
#include "canvas/gif/stream.h"

#include <QString>
#include <memory>

class QFileDevice;

namespace gif {

enum class TFileMode { fmOpenRead, fmCreate };

class TFileStream : public TStream
{
public:
    TFileStream(const QString &fileName, TFileMode mode);
    ~TFileStream() override;

    std::size_t Read(void *buffer, std::size_t count) override;
    void Write(const void *buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;

    // Puts what was written in place of the file (create mode; nothing in read mode).
    void Commit();

private:
    std::unique_ptr<QFileDevice> FFile;
    QString FFileName;
    TFileMode FMode;
};

}  // namespace gif
