#pragma once
// TMemoryStream: a stream over a byte buffer it owns, for encoding into memory and for
// decoding bytes that are already at hand.
#include "canvas/gif/stream.h"

#include <cstdint>
#include <vector>

namespace gif {

class TMemoryStream : public TStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : FBytes(std::move(bytes)) {}
    TMemoryStream(const std::uint8_t *data, std::size_t size) : FBytes(data, data + size) {}

    std::size_t Read(void *buffer, std::size_t count) override;
    void Write(const void *buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
    std::int64_t Size() override { return std::int64_t(FBytes.size()); }

    const std::vector<std::uint8_t> &Bytes() const { return FBytes; }
    std::vector<std::uint8_t> TakeBytes();

private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

}  // namespace gif
