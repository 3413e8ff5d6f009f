#include "canvas/gif/memory_stream.h"

#include "canvas/gif/gif_exception.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace gif {

std::size_t TMemoryStream::Read(void *buffer, std::size_t count)
{
    if (FPosition >= FBytes.size())
        return 0;
    const std::size_t n = std::min(count, FBytes.size() - FPosition);
    std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

void TMemoryStream::Write(const void *buffer, std::size_t count)
{
    if (count == 0)
        return;
    if (FPosition + count > FBytes.size())
        FBytes.resize(FPosition + count);
    std::memcpy(FBytes.data() + FPosition, buffer, count);
    FPosition += count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin)
{
    std::int64_t base = 0;
    switch (origin) {
    case TSeekOrigin::soBeginning: base = 0; break;
    case TSeekOrigin::soCurrent: base = std::int64_t(FPosition); break;
    case TSeekOrigin::soEnd: base = std::int64_t(FBytes.size()); break;
    }
    const std::int64_t target = base + offset;
    if (target < 0)
        throw EStreamError("Stream seek error");
    FPosition = std::size_t(target);
    return target;
}

std::vector<std::uint8_t> TMemoryStream::TakeBytes()
{
    FPosition = 0;
    return std::exchange(FBytes, {});
}

}  // namespace gif
