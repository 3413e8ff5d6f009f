#pragma once
// TLZWDecoder: reads the LZW code stream of one GIF frame back into colour indices, and
// survives whatever bytes it is given: every table access is checked, every loop is bounded
// by the data, and corrupt data ends in GIFException or a warning.
#include "canvas/gif/gif_types.h"
#include "canvas/gif/stream.h"

#include <array>
#include <cstdint>
#include <vector>

namespace gif {

// The largest frame DecodeFrame allocates pixels for (256 MiB of indices).
inline constexpr std::uint64_t DefaultMaxDecodePixels = std::uint64_t(1) << 28;

// Reads a frame's table-based image data (code size byte, sub-blocks, terminator) into
// pixels, width x height indices with rows top to bottom. Pixels the data never reaches keep
// fillIndex (the frame's transparent index, or 0). On return the stream stands after the
// frame's block terminator whenever the data had one.
void DecodeFrame(TStream &stream, int width, int height, bool interlaced, std::uint8_t fillIndex,
                 std::vector<std::uint8_t> &pixels, const TGIFWarningHandler &warning,
                 std::uint64_t maxPixels = DefaultMaxDecodePixels);

class TLZWDecoder
{
public:
    TLZWDecoder(TStream &stream, int codeSize, const TGIFWarningHandler &warning);

    // The next pixel value; negative when the data has no more: -1 at the end of the data,
    // -2 after the end code.
    int NextValue()
    {
        if (FStackTop > 0)
            return FStack[--FStackTop];
        return DecodeCode();
    }
    // Consumes the sub-blocks that are left, up to and including the block terminator.
    void SkipToTerminator();

private:
    int NextCode();
    int DecodeCode();
    void ResetTable();
    void Push(int value);
    void Warning(const char *message);

    TStream &FStream;
    const TGIFWarningHandler &FWarning;

    std::array<std::uint16_t, 4096> FPrefix{};
    std::array<std::uint8_t, 4096> FSuffix{};
    std::array<std::uint8_t, 8192> FStack{};
    int FStackTop = 0;

    int FMinCodeSize = 0;
    int FClearCode = 0;
    int FEndCode = 0;
    int FCodeSize = 0;
    int FMaxCode = 0;
    int FMaxCodeSize = 0;
    int FFirstCode = 0;
    int FOldCode = 0;

    // The last two bytes of the previous sub-block, the current one, and slack so that a
    // code is always taken from three bytes that exist.
    std::array<std::uint8_t, 2 + 255 + 3> FBuffer{};
    int FCurBit = 0;
    int FLastBit = 0;
    int FLastByte = 2;

    bool FPendingClear = true;
    bool FDone = false;       // no more sub-blocks: a terminator or the end of the stream
    bool FZeroBlock = false;  // the block terminator has been consumed
    bool FEnded = false;      // the end code has been read
};

}  // namespace gif
