#include "canvas/gif/gif_io.h"

#include "canvas/gif/gif_exception.h"

#include <algorithm>

namespace gif {

void WriteByte(TStream &stream, std::uint8_t value)
{
    stream.Write(&value, 1);
}

int ReadByte(TStream &stream)
{
    std::uint8_t value = 0;
    return stream.Read(&value, 1) == 1 ? int(value) : -1;
}

void ReadCheck(TStream &stream, void *buffer, std::size_t count)
{
    if (stream.Read(buffer, count) != count)
        RaiseGIFError("Premature end of data");
}

void WriteStrings(TStream &stream, const TGIFStrings &lines)
{
    for (const std::string &line : lines) {
        std::size_t done = 0;
        while (done < line.size()) {
            const std::size_t n = std::min<std::size_t>(255, line.size() - done);
            WriteByte(stream, std::uint8_t(n));
            stream.Write(line.data() + done, n);
            done += n;
        }
    }
    WriteByte(stream, 0);
}

void ReadStrings(TStream &stream, TGIFStrings &lines)
{
    lines.clear();
    for (;;) {
        const int size = ReadByte(stream);
        if (size <= 0)
            break;
        std::string line(std::size_t(size), '\0');
        ReadCheck(stream, line.data(), line.size());
        lines.push_back(std::move(line));
    }
}

}  // namespace gif
