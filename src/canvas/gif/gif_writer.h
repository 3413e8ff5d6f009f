#pragma once
// TGIFWriter: cuts the bytes written to it into GIF data sub-blocks (a length byte and up
// to 255 data bytes) on their way to the target stream.
#include "canvas/gif/stream.h"

#include <array>
#include <cstdint>

namespace gif {

// A write-only wrapper around a target stream; as a stream of its own it refuses everything.
class TGIFStream : public TStream
{
public:
    explicit TGIFStream(TStream &target) : FStream(target) {}

    std::size_t Read(void *buffer, std::size_t count) override;
    void Write(const void *buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override;

protected:
    TStream &FStream;
    // Byte 0 is reserved for the sub-block's length byte.
    std::array<std::uint8_t, 256> FBuffer{};
    std::uint32_t FBufferCount = 1;
};

class TGIFWriter : public TGIFStream
{
public:
    explicit TGIFWriter(TStream &target) : TGIFStream(target) {}
    // Writes a pending sub-block; write errors cannot leave a destructor, so callers that
    // care call Flush themselves first.
    ~TGIFWriter() override;

    void Write(const void *buffer, std::size_t count) override;
    // Sends the buffered bytes as one sub-block, even an empty one when the writer is dirty.
    void Flush();
    bool Dirty() const { return FOutputDirty; }

private:
    void WriteBlock();
    bool FOutputDirty = false;
};

}  // namespace gif
