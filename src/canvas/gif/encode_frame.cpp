#include "canvas/gif/encode_frame.h"

#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/rle_encoder.h"

#include <algorithm>
#include <memory>

namespace gif {

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
    std::unique_ptr<TGIFEncoder> encoder;
    if (compression == gcRLE)
        encoder = std::make_unique<TRLEEncoder>();
    else
        encoder = std::make_unique<TLZWEncoder>();
    encoder->Encode(stream, bitsPerPixel, maxColor, data, interlace, height, width);
}

}  // namespace gif
