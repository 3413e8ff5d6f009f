#pragma once
// EncodeFrame: how a frame writes its raster data: the code size and colour count from its
// own colour table (or the image's depth), the encoder from the image's compression setting.
#include "canvas/gif/color_map.h"
#include "canvas/gif/gif_encoder.h"
#include "canvas/gif/stream.h"

#include <cstdint>

namespace gif {

enum TGIFCompression : int { gcLZW = 0, gcRLE = 1 };

// data: width x height colour indices, rows top to bottom (may be null for an empty frame).
void EncodeFrame(TStream &stream, const TGIFColorMap &localColorMap, int imageBitsPerPixel,
                 int compression, const std::uint8_t *data, int width, int height, bool interlace);
// The same for a frame whose pixels come in pieces, rows top to bottom, not
// interlaced, with a local colour table of the given number of colours.
void EncodeFrame(TStream &stream, int colors, int compression, const TPixelSource &source, int width, int height);

}  // namespace gif
