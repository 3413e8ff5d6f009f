#include "canvas/gif/encode_frame.h"

#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/palettes.h"
#include "canvas/gif/rle_encoder.h"

#include <algorithm>
#include <memory>

namespace gif {

namespace {

std::unique_ptr<TGIFEncoder> MakeEncoder(int compression)
{
    if (compression == gcRLE)
        return std::make_unique<TRLEEncoder>();
    return std::make_unique<TLZWEncoder>();
}

}  // namespace

void EncodeFrame(TStream &stream, const TGIFColorMap &localColorMap, int imageBitsPerPixel,
                 int compression, const std::uint8_t *data, int width, int height, bool interlace)
{
    int maxColor;
    int bitsPerPixel;
    if (localColorMap.Count() > 0) {
        maxColor = localColorMap.Count();
        bitsPerPixel = localColorMap.BitsPerPixel();
    } else {
        bitsPerPixel = imageBitsPerPixel;
        maxColor = 1 << std::clamp(bitsPerPixel, 0, 8);
    }
    MakeEncoder(compression)->Encode(stream, bitsPerPixel, maxColor, data, interlace, height, width);
}

void EncodeFrame(TStream &stream, int colors, int compression, const TPixelSource &source, int width, int height)
{
    MakeEncoder(compression)->Encode(stream, ColorsToBits(colors), colors, source, height, width);
}

}  // namespace gif
