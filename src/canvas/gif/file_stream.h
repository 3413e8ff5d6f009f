#pragma once
// TDeviceStream: a stream over an open Qt device (a file being read, the program's atomic
// writer's file); TFileStream: one that opens a file for reading itself. Files are written
// only through the program's atomic writer (TGIFItem::SaveToFile, TGIFImage::SaveToFile).
#include "canvas/gif/stream.h"

#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QFile;

namespace gif {

class TDeviceStream : public TStream
{
public:
    explicit TDeviceStream(QIODevice &device) : FDevice(&device) {}

    std::size_t Read(void *buffer, std::size_t count) override;
    void Write(const void *buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;

protected:
    TDeviceStream() = default;
    QIODevice *FDevice = nullptr;  // not owned
};

class TFileStream : public TDeviceStream
{
public:
    // Raises EStreamError "Cannot open file ..." with the system's reason.
    explicit TFileStream(const QString &fileName);
    ~TFileStream() override;

private:
    std::unique_ptr<QFile> FFile;
};

// Writes a file through the atomic writer; raises EStreamError "Cannot create file ..."
// with the system's reason, and the old file stays as it was.
void SaveStreamToFile(const QString &fileName, const std::function<void(TStream &)> &save);

}  // namespace gif
