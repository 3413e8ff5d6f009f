#include "canvas/gif/gif_writer.h"

#include "canvas/gif/gif_exception.h"

#include <algorithm>
#include <cstring>

namespace gif {

std::size_t TGIFStream::Read(void *, std::size_t)
{
    throw EInvalidGraphicOperation("Invalid stream operation");
}

void TGIFStream::Write(const void *, std::size_t)
{
    throw EInvalidGraphicOperation("Invalid stream operation");
}

std::int64_t TGIFStream::Seek(std::int64_t, TSeekOrigin)
{
    throw EInvalidGraphicOperation("Invalid stream operation");
}

std::int64_t TGIFStream::Size()
{
    throw EInvalidGraphicOperation("Invalid stream operation");
}

TGIFWriter::~TGIFWriter()
{
    if (!FOutputDirty)
        return;
    try {
        WriteBlock();
    } catch (...) {
        // The encode that owned this writer is already failing or flushed on its own.
    }
}

void TGIFWriter::Write(const void *buffer, std::size_t count)
{
    FOutputDirty = true;
    auto *src = static_cast<const std::uint8_t *>(buffer);
    while (count > 0) {
        const std::size_t n = std::min<std::size_t>(256 - FBufferCount, count);
        std::memcpy(FBuffer.data() + FBufferCount, src, n);
        FBufferCount += std::uint32_t(n);
        // Bytes that follow a full sub-block within the same write are pending too.
        FOutputDirty = true;
        src += n;
        count -= n;
        if (FBufferCount == 256)
            WriteBlock();
    }
}

void TGIFWriter::Flush()
{
    if (FOutputDirty)
        WriteBlock();
}

void TGIFWriter::WriteBlock()
{
    FBuffer[0] = std::uint8_t(FBufferCount - 1);
    const std::uint32_t n = FBufferCount;
    FBufferCount = 1;
    FOutputDirty = false;
    FStream.Write(FBuffer.data(), n);
}

}  // namespace gif
