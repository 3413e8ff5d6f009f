// libFuzzer target for the GIF reader: the LZW decoder on its own, and a GIF file's header,
// colour tables and first frame the way the image loader reads them. Every input must end
// normally or in GIFException; anything else (a crash, an overrun, a hang, another
// exception) is a finding.
//
// Input layout: byte 0 holds flags (bit 0 interlaced, bit 1 whole file); a raster input
// then has width and height (16-bit little-endian) and the raster data; a whole-file input
// is the GIF file itself.
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_header.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/local_color_map.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/memory_stream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Frames beyond a megapixel only cost time here; the limit itself is what is tested.
constexpr std::uint64_t FuzzMaxPixels = std::uint64_t(1) << 20;

void DecodeRaster(gif::TStream &stream, int width, int height, bool interlaced)
{
    std::vector<std::uint8_t> pixels;
    int warnings = 0;
    gif::DecodeFrame(stream, width, height, interlaced, 0, pixels,
                     [&](int, const std::string &) { ++warnings; }, FuzzMaxPixels);
    if (pixels.size() != std::size_t(width) * std::size_t(height))
        __builtin_trap();
}

void DecodeFile(gif::TStream &stream)
{
    gif::TGIFHeader header(nullptr);
    header.LoadFromStream(stream);
    for (int frame = 0; frame < 4; ++frame) {
        int introducer = gif::ReadByte(stream);
        while (introducer == 0)
            introducer = gif::ReadByte(stream);
        if (introducer != 0x2C)
            return;
        std::uint8_t descriptor[9];
        gif::ReadCheck(stream, descriptor, sizeof descriptor);
        const int width = descriptor[4] | (descriptor[5] << 8);
        const int height = descriptor[6] | (descriptor[7] << 8);
        const std::uint8_t packed = descriptor[8];
        gif::TGIFLocalColorMap colors(nullptr);
        if (packed & 0x80)
            colors.LoadFromStream(stream, 2 << (packed & 7));
        DecodeRaster(stream, width, height, (packed & 0x40) != 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    try {
        if (flags & 2) {
            gif::TMemoryStream stream(data + 1, size - 1);
            DecodeFile(stream);
        } else {
            if (size < 5)
                return 0;
            const int width = data[1] | (data[2] << 8);
            const int height = data[3] | (data[4] << 8);
            gif::TMemoryStream stream(data + 5, size - 5);
            DecodeRaster(stream, width, height, (flags & 1) != 0);
        }
    } catch (const gif::GIFException &) {
    }
    return 0;
}
