#include "canvas/gif/lzw_encoder.h"

#include <cstring>

namespace gif {

namespace {

// The codes of the pixel loop, packed least significant bit first into a local buffer that
// goes to the sub-block writer in large pieces. The loop keeps one of these in registers.
struct TCodePacker
{
    std::uint64_t Bucket;
    int Bits;
    std::size_t Count = 0;
    std::uint8_t Bytes[4096];

    void Put(int code, int width)
    {
        Bucket |= std::uint64_t(code) << Bits;
        Bits += width;
        if (Bits >= 32) {
            const std::uint32_t word = std::uint32_t(Bucket);
            for (int i = 0; i < 4; ++i)
                Bytes[Count + std::size_t(i)] = std::uint8_t(word >> (8 * i));
            Count += 4;
            Bucket >>= 32;
            Bits -= 32;
        }
    }
    // Moves the whole bytes to the writer; fewer than 8 bits stay in the bucket.
    void Drain(TGIFWriter &writer)
    {
        while (Bits >= 8) {
            Bytes[Count++] = std::uint8_t(Bucket);
            Bucket >>= 8;
            Bits -= 8;
        }
        if (Count > 0)
            writer.Write(Bytes, Count);
        Count = 0;
    }
};

}  // namespace

void TLZWEncoder::AdjustWidth()
{
    // A change of width counts from the code after this one, which is when a decoder that
    // has just added the matching table entry widens too.
    if (FClearFlag) {
        FBitSize = FInitialBitSize;
        FMaxCode = (1 << FBitSize) - 1;
        FClearFlag = false;
    } else if (FFreeCode > FMaxCode) {
        ++FBitSize;
        FMaxCode = (FBitSize == 12) ? 4096 : (1 << FBitSize) - 1;
    }
}

void TLZWEncoder::EmitCode(int code)
{
    TGIFEncoder::EmitCode(code);
    AdjustWidth();
}

void TLZWEncoder::ResetTable()
{
    TGIFEncoder::ResetTable();
    FHashTable->Clear();
    FFreeCode = FClearCode + 2;
}

void TLZWEncoder::Compress()
{
    FHashTable = std::make_unique<THashTable>();
    ResetTable();
    THashTable &table = *FHashTable;

    // The loop's state lives in locals and goes back to the members only around the rare
    // calls that need them (the end, a pixel outside the colour table).
    TCodePacker packer;
    packer.Bucket = FOutputBucket & ((1u << FOutputBits) - 1u);
    packer.Bits = FOutputBits;
    int bitSize = FBitSize;
    int maxCode = FMaxCode;
    int freeCode = FFreeCode;
    const int maxColor = FMaxColor;
    const int clearCode = FClearCode;
    // Per code: (pixel + 1) shl 12 or the code of the string extended by that pixel; 0 for
    // none. A memo of answers the table gave, so it never disagrees with the table.
    std::uint32_t lastExtension[4096] = {};
    const auto sync = [&] {
        packer.Drain(*FWriter);
        FOutputBucket = std::uint32_t(packer.Bucket);
        FOutputBits = packer.Bits;
        FBitSize = bitSize;
        FMaxCode = maxCode;
        FFreeCode = freeCode;
    };

    const std::uint8_t *p = FCursor;
    const std::uint8_t *end = p + FPixelsLeft;
    int prefix = *p++;
    if (prefix >= maxColor) {
        sync();
        TakePixel();  // raises
    }
    for (;;) {
        for (; p < end; ++p) {
            const int suffix = *p;
            if (suffix >= maxColor) {
                sync();
                FCursor = p;
                TakePixel();  // raises
            }
            // Runs and repeated patterns extend a string by the same pixel as last time:
            // that answer is kept per string, and the table is asked only when it differs.
            const std::uint32_t remembered = lastExtension[prefix];
            if ((remembered >> 12) == std::uint32_t(suffix) + 1) {
                prefix = int(remembered & 4095u);
                continue;
            }
            const std::uint32_t key = (std::uint32_t(prefix) << 8) | std::uint32_t(suffix);
            const int code = table.Lookup(key);
            if (code >= 0) {
                lastExtension[prefix] = ((std::uint32_t(suffix) + 1) << 12) | std::uint32_t(code);
                prefix = code;
                continue;
            }
            packer.Put(prefix, bitSize);
            if (freeCode > maxCode) {
                ++bitSize;
                maxCode = (bitSize == 12) ? 4096 : (1 << bitSize) - 1;
            }
            prefix = suffix;
            // The table counts as full one code early; the pending string is not stored.
            if (freeCode >= 4095) {
                packer.Put(clearCode, bitSize);
                bitSize = FInitialBitSize;
                maxCode = (1 << bitSize) - 1;
                table.Clear();
                std::memset(lastExtension, 0, sizeof(lastExtension));
                freeCode = clearCode + 2;
            } else {
                table.Insert(key, freeCode);
                lastExtension[key >> 8] = ((std::uint32_t(suffix) + 1) << 12) | std::uint32_t(freeCode);
                ++freeCode;
            }
            if (packer.Count > sizeof(packer.Bytes) - 8)
                packer.Drain(*FWriter);
        }
        FCursor = p;
        if (!NextRow())
            break;
        p = FCursor;
        end = p + FPixelsLeft;
    }
    sync();
    EmitCode(prefix);
    FHashTable.reset();
}

}  // namespace gif
