#pragma once
// TGIFEncoder: what the GIF raster encoders share: the code-size byte, the bit packer that
// puts variable-width codes least significant bit first into data sub-blocks, and the walk
// over a frame's pixels in stored or interlaced row order.
#include "canvas/gif/gif_writer.h"
#include "canvas/gif/stream.h"

#include <cstdint>
#include <functional>
#include <span>

namespace gif {

// The pixels of a frame that arrives in pieces, in the order they are sent:
// each call hands over the next piece, which stays valid until the next call;
// an empty piece ends the frame.
using TPixelSource = std::function<std::span<const std::uint8_t>()>;

class TGIFEncoder
{
public:
    virtual ~TGIFEncoder() = default;

    // Writes one frame's complete table-based image data: the minimum code size, the codes in
    // sub-blocks, the block terminator. data holds width x height colour indices, rows top
    // to bottom; every index must be below maxColor.
    void Encode(TStream &stream, int bitsPerPixel, int maxColor, const std::uint8_t *data,
                bool interlace, int height, int width);
    // The same for a frame whose width x height pixels come in pieces, rows
    // top to bottom, not interlaced: the bytes are those of the whole frame.
    void Encode(TStream &stream, int bitsPerPixel, int maxColor, const TPixelSource &source, int height,
                int width);

protected:
    virtual void EmitCode(int code);
    virtual void ResetTable();
    virtual void Compress() = 0;

    // The next pixel at the cursor, checked against the colour count; moves the cursor.
    int TakePixel()
    {
        const int pixel = *FCursor++;
        if (pixel >= FMaxColor)
            PixelOutOfTable();
        return pixel;
    }
    // Answers whether another pixel follows, moving the cursor to the next row to send when
    // the current one is done.
    bool NextPixel()
    {
        if (--FPixelsLeft > 0)
            return true;
        return NextRow();
    }
    // Moves the cursor to the next row to send (or the next piece of a frame
    // that comes in pieces), FPixelsLeft to its length; false at the end.
    bool NextRow();

    int FMaxColor = 0;
    int FBitsPerPixel = 0;
    TStream *FStream = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    bool FInterlace = false;
    const std::uint8_t *FData = nullptr;
    TGIFWriter *FWriter = nullptr;
    std::uint32_t FOutputBucket = 0;
    int FOutputBits = 0;
    bool FClearFlag = false;
    int FBitSize = 0;
    int FInitialBitSize = 0;
    int FMaxCode = 0;
    int FClearCode = 0;
    int FEOICode = 0;
    int FBaseCode = 0;
    const std::uint8_t *FCursor = nullptr;
    std::uint64_t FPixelsLeft = 0;
    int FRow = 0;
    int FPass = 0;

private:
    // first: the pixels to start with, count of them.
    void Run(TStream &stream, int bitsPerPixel, int maxColor, const std::uint8_t *first, std::uint64_t count,
             bool interlace, int height, int width);
    [[noreturn]] static void PixelOutOfTable();

    const TPixelSource *FSource = nullptr;
};

}  // namespace gif
