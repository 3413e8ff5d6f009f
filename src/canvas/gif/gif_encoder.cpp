#include "canvas/gif/gif_encoder.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"

namespace gif {

namespace {
constexpr std::uint32_t CodeMask[17] = {0x0000, 0x0001, 0x0003, 0x0007, 0x000F, 0x001F,
                                        0x003F, 0x007F, 0x00FF, 0x01FF, 0x03FF, 0x07FF,
                                        0x0FFF, 0x1FFF, 0x3FFF, 0x7FFF, 0xFFFF};
}

void TGIFEncoder::Encode(TStream &stream, int bitsPerPixel, int maxColor, const std::uint8_t *data,
                         bool interlace, int height, int width)
{
    FSource = nullptr;
    const bool hasPixels = data != nullptr && height >= 1 && width >= 1;
    Run(stream, bitsPerPixel, maxColor, data,
        !hasPixels  ? 0
        : interlace ? std::uint64_t(width)
                    : std::uint64_t(width) * std::uint64_t(height),
        interlace, height, width);
}

void TGIFEncoder::Encode(TStream &stream, int bitsPerPixel, int maxColor, const TPixelSource &source, int height,
                         int width)
{
    struct TForget {
        const TPixelSource *&Source;
        ~TForget() { Source = nullptr; }
    } forget{FSource};
    FSource = &source;
    std::span<const std::uint8_t> first;
    if (height >= 1 && width >= 1 && width <= 65535 && height <= 65535)
        first = source();
    Run(stream, bitsPerPixel, maxColor, first.empty() ? nullptr : first.data(), first.size(), false, height, width);
}

void TGIFEncoder::Run(TStream &stream, int bitsPerPixel, int maxColor, const std::uint8_t *first,
                      std::uint64_t count, bool interlace, int height, int width)
{
    if (width > 65535 || height > 65535)
        RaiseGIFError("Image too large for GIF: frames are at most 65535 pixels wide and high");
    // The code size byte of the format goes from 2 to 8; pixels are bytes, so no index can
    // reach past 2^8 and none may reach the clear code.
    if (bitsPerPixel < 2)
        bitsPerPixel = 2;
    if (bitsPerPixel > 8)
        bitsPerPixel = 8;
    if (maxColor > (1 << bitsPerPixel))
        maxColor = 1 << bitsPerPixel;

    FStream = &stream;
    FBitsPerPixel = bitsPerPixel;
    FMaxColor = maxColor;
    FData = first;
    FInterlace = interlace;
    FHeight = height;
    FWidth = width;

    FInitialBitSize = FBitsPerPixel + 1;
    WriteByte(stream, std::uint8_t(FBitsPerPixel));

    FBitSize = FInitialBitSize;
    FMaxCode = (1 << FBitSize) - 1;
    FClearCode = 1 << FBitsPerPixel;
    FEOICode = FClearCode + 1;
    FBaseCode = FClearCode + 2;
    FOutputBucket = 0;
    FOutputBits = 0;
    FClearFlag = false;

    const bool hasPixels = FData != nullptr && count > 0 && FHeight >= 1 && FWidth >= 1;
    FPixelsLeft = hasPixels ? count : 0;
    FRow = 0;
    FPass = 0;
    FCursor = FData;

    TGIFWriter writer(stream);
    FWriter = &writer;
    try {
        if (hasPixels)
            Compress();
        EmitCode(FEOICode);
    } catch (...) {
        // The codes buffered so far still leave as a last sub-block; no end code and no
        // terminator follow, so a reader sees the frame cut short.
        FWriter = nullptr;
        try {
            writer.Flush();
        } catch (...) {
        }
        throw;
    }
    FWriter = nullptr;
    writer.Flush();
    WriteByte(stream, 0);
}

void TGIFEncoder::EmitCode(int code)
{
    if (FOutputBits > 0)
        FOutputBucket = (FOutputBucket & CodeMask[FOutputBits]) | (std::uint32_t(code) << FOutputBits);
    else
        FOutputBucket = std::uint32_t(code);
    FOutputBits += FBitSize;

    std::uint8_t bytes[4];
    int n = 0;
    while (FOutputBits >= 8) {
        bytes[n++] = std::uint8_t(FOutputBucket);
        FOutputBucket >>= 8;
        FOutputBits -= 8;
    }
    if (code == FEOICode && FOutputBits > 0) {
        // The last byte carries the remaining bits padded with zeros.
        bytes[n++] = std::uint8_t(FOutputBucket);
        FOutputBucket = 0;
        FOutputBits = 0;
    }
    if (n > 0)
        FWriter->Write(bytes, std::size_t(n));
}

void TGIFEncoder::ResetTable()
{
    FClearFlag = true;
    EmitCode(FClearCode);
}

bool TGIFEncoder::NextRow()
{
    if (FSource) {
        const std::span<const std::uint8_t> piece = (*FSource)();
        if (piece.empty())
            return false;
        FCursor = piece.data();
        FPixelsLeft = piece.size();
        return true;
    }
    if (!FInterlace)
        return false;
    static constexpr int Step[4] = {8, 8, 4, 2};
    static constexpr int Start[4] = {0, 4, 2, 1};
    FPixelsLeft = std::uint64_t(FWidth);
    FRow += Step[FPass];
    while (FRow >= FHeight && FPass < 3) {
        ++FPass;
        FRow = Start[FPass];
    }
    if (FRow >= FHeight)
        return false;
    FCursor = FData + std::size_t(FRow) * std::size_t(FWidth);
    return true;
}

void TGIFEncoder::PixelOutOfTable()
{
    RaiseGIFError("Color not in color table");
}

}  // namespace gif
