#include "canvas/gif/lzw_decoder.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"

#include <algorithm>

namespace gif {

TLZWDecoder::TLZWDecoder(TStream &stream, int codeSize, const TGIFWarningHandler &warning)
    : FStream(stream), FWarning(warning), FMinCodeSize(codeSize)
{
    FClearCode = 1 << codeSize;
    FEndCode = FClearCode + 1;
    FCodeSize = codeSize + 1;
    FMaxCodeSize = 2 * FClearCode;
    FMaxCode = FClearCode + 2;
}

void TLZWDecoder::Warning(const char *message)
{
    if (FWarning)
        FWarning(1, message);
}

int TLZWDecoder::NextCode()
{
    if (FPendingClear) {
        FPendingClear = false;
        return FClearCode;
    }
    // A code may span several sub-blocks when they are very short, so refill until the
    // code's bits are all in the buffer or the data has ended.
    while (FCurBit + FCodeSize > FLastBit) {
        if (FDone) {
            if (FCurBit >= FLastBit)
                Warning("Decoder bit buffer under-run");
            return -1;
        }
        FBuffer[0] = FBuffer[FLastByte - 2];
        FBuffer[1] = FBuffer[FLastByte - 1];
        int count = ReadByte(FStream);
        if (count < 0) {
            FDone = true;
            return -1;
        }
        const std::int64_t left = FStream.Remaining();
        if (count > left) {
            Warning("Premature end of data");
            count = int(left);
        }
        if (count == 0) {
            FDone = true;
            FZeroBlock = true;
        } else {
            ReadCheck(FStream, FBuffer.data() + 2, std::size_t(count));
        }
        FLastByte = 2 + count;
        FCurBit = FCurBit - FLastBit + 16;
        FLastBit = (2 + count) * 8;
    }
    const int i = FCurBit >> 3;
    const std::uint32_t raw = std::uint32_t(FBuffer[i]) | (std::uint32_t(FBuffer[i + 1]) << 8)
                              | (std::uint32_t(FBuffer[i + 2]) << 16);
    const int code = int((raw >> (FCurBit & 7)) & ((1u << FCodeSize) - 1));
    FCurBit += FCodeSize;
    return code;
}

void TLZWDecoder::ResetTable()
{
    for (int i = 0; i < 4096; ++i) {
        FPrefix[i] = 0;
        FSuffix[i] = i < FClearCode ? std::uint8_t(i) : 0;
    }
    FCodeSize = FMinCodeSize + 1;
    FMaxCodeSize = 2 * FClearCode;
    FMaxCode = FClearCode + 2;
    FStackTop = 0;
}

void TLZWDecoder::Push(int value)
{
    // The table only ever points to lower entries, so no string is longer than the table;
    // a full stack can only mean a table that loops.
    if (FStackTop >= int(FStack.size()))
        RaiseGIFError("Circular decoder table entry");
    FStack[FStackTop++] = std::uint8_t(value);
}

void TLZWDecoder::SkipToTerminator()
{
    while (!FZeroBlock) {
        const int count = ReadByte(FStream);
        if (count <= 0)
            break;
        const std::int64_t left = FStream.Remaining();
        FStream.Seek(std::min<std::int64_t>(count, left), TSeekOrigin::soCurrent);
    }
    FDone = true;
    FZeroBlock = true;
}

int TLZWDecoder::DecodeCode()
{
    if (FEnded)
        return -2;
    int code = NextCode();
    if (code == FClearCode) {
        ResetTable();
        do {
            code = NextCode();
        } while (code == FClearCode);
        if (code < 0)
            return code;
        if (code != FEndCode) {
            // Right after a clear the table holds nothing but the roots.
            if (code > FClearCode)
                RaiseGIFError("Decoder code out of range");
            FFirstCode = code;
            FOldCode = code;
            return code;
        }
    }
    if (code < 0)
        return code;
    if (code == FEndCode) {
        FEnded = true;
        SkipToTerminator();
        return -2;
    }

    const int inCode = code;
    if (code >= FMaxCode) {
        // Only the entry about to be made may be named before it exists.
        if (code > FMaxCode)
            RaiseGIFError("Decoder code out of range");
        Push(FFirstCode);
        code = FOldCode;
    }
    while (code >= FClearCode) {
        Push(FSuffix[code]);
        if (code == FPrefix[code])
            RaiseGIFError("Circular decoder table entry");
        code = FPrefix[code];
    }
    FFirstCode = FSuffix[code];
    Push(FFirstCode);

    if (FMaxCode < 4096) {
        FPrefix[FMaxCode] = std::uint16_t(FOldCode);
        FSuffix[FMaxCode] = std::uint8_t(FFirstCode);
        ++FMaxCode;
        if (FMaxCode >= FMaxCodeSize && FMaxCodeSize < 4096) {
            FMaxCodeSize *= 2;
            ++FCodeSize;
        }
    }
    FOldCode = inCode;
    return FStack[--FStackTop];
}

void DecodeFrame(TStream &stream, int width, int height, bool interlaced, std::uint8_t fillIndex,
                 std::vector<std::uint8_t> &pixels, const TGIFWarningHandler &warning,
                 std::uint64_t maxPixels)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    const std::uint64_t count = std::uint64_t(width) * std::uint64_t(height);
    if (count > maxPixels)
        RaiseGIFError("Image too large to decode");
    pixels.assign(std::size_t(count), fillIndex);

    const int codeSize = ReadByte(stream);
    if (codeSize < 0)
        return;
    if (codeSize < 2 || codeSize > 8)
        RaiseGIFError("Invalid LZW code size");

    TLZWDecoder decoder(stream, codeSize, warning);
    try {
        if (!interlaced) {
            for (std::uint64_t i = 0; i < count; ++i) {
                const int value = decoder.NextValue();
                if (value < 0)
                    break;
                pixels[std::size_t(i)] = std::uint8_t(value);
            }
        } else if (count > 0) {
            int row = 0;
            int step = 8;
            int pass = 0;
            bool more = true;
            while (more) {
                std::uint8_t *line = pixels.data() + std::size_t(row) * std::size_t(width);
                for (int x = 0; x < width; ++x) {
                    const int value = decoder.NextValue();
                    if (value < 0) {
                        more = false;
                        break;
                    }
                    line[x] = std::uint8_t(value);
                }
                row += step;
                while (more && row >= height) {
                    // Passes 0 to 3 visit rows 0, 8, ...; 4, 12, ...; 2, 6, ...; 1, 3, ...
                    if (pass == 3) {
                        more = false;
                        break;
                    }
                    if (pass > 0)
                        step /= 2;
                    ++pass;
                    row = step / 2;
                }
            }
        }
    } catch (...) {
        try {
            decoder.NextValue();
        } catch (...) {
        }
        throw;
    }
    // In well-formed data the next code is the end code, which consumes the rest of the
    // frame; whatever an encoder left before the terminator is skipped, so that the next
    // block is read from its first byte.
    decoder.NextValue();
    decoder.SkipToTerminator();
}

}  // namespace gif
