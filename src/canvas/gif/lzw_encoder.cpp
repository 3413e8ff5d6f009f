#include "canvas/gif/lzw_encoder.h"

namespace gif {

void TLZWEncoder::EmitCode(int code)
{
    TGIFEncoder::EmitCode(code);
    // A change of width counts from the code after this one, which is when a decoder that
    // has just added the matching table entry widens too.
    if (FFreeCode > FMaxCode || FClearFlag) {
        if (FClearFlag) {
            FBitSize = FInitialBitSize;
            FMaxCode = (1 << FBitSize) - 1;
            FClearFlag = false;
        } else {
            ++FBitSize;
            FMaxCode = (FBitSize == 12) ? 4096 : (1 << FBitSize) - 1;
        }
    }
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

    FPrefix = TakePixel();
    while (NextPixel()) {
        const int suffix = TakePixel();
        const std::uint32_t key = (std::uint32_t(FPrefix) << 8) | std::uint32_t(suffix);
        const int code = FHashTable->Lookup(key);
        if (code >= 0) {
            FPrefix = code;
            continue;
        }
        EmitCode(FPrefix);
        FPrefix = suffix;
        // The table counts as full one code early; the pending string is not stored.
        if (FFreeCode >= 4095) {
            ResetTable();
        } else {
            FHashTable->Insert(key, FFreeCode);
            ++FFreeCode;
        }
    }
    EmitCode(FPrefix);
    FHashTable.reset();
}

}  // namespace gif
