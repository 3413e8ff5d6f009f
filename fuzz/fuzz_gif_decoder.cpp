// libFuzzer target for the GIF reader: the LZW decoder on its own, and a whole GIF file
// loaded, rendered and written back by the image object. Every input must end
// normally or in GIFException; anything else (a crash, an overrun, a hang, another
// exception) is a finding.
//
// Input layout: byte 0 holds flags (bit 0 interlaced, bit 1 whole file); a raster input
// then has width and height (16-bit little-endian) and the raster data; a whole-file input
// is the GIF file itself.
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_sub_image.h"
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

// The whole file as the image object loads it, each frame rendered, and the image written
// back: what a user's Open and Save would do with it.
void DecodeFile(gif::TStream &stream)
{
    gif::GIFMaxDecodePixels = FuzzMaxPixels;
    gif::TGIFImage image;
    int warnings = 0;
    image.OnWarning = [&](int, const std::string &) { ++warnings; };
    image.LoadFromStream(stream);
    for (int i = 0; i < image.FrameCount(); ++i) {
        gif::TGIFSubImage *frame = image.Frame(i);
        if (std::uint64_t(frame->Width()) * std::uint64_t(frame->Height()) <= FuzzMaxPixels)
            frame->Bitmap();
    }
    gif::TMemoryStream out;
    image.SaveToStream(out);
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
