#pragma once
// TLZWEncoder: the GIF LZW compressor: a string table in a hash, codes that widen as the
// table grows, and a clear code when the table is full.
#include "canvas/gif/gif_encoder.h"
#include "canvas/gif/hash_table.h"

#include <memory>

namespace gif {

class TLZWEncoder : public TGIFEncoder
{
protected:
    void EmitCode(int code) override;
    void ResetTable() override;
    void Compress() override;

private:
    // Widens the codes once the table has outgrown them, or narrows them after a clear code.
    void AdjustWidth();

    int FFreeCode = 0;
    std::unique_ptr<THashTable> FHashTable;
};

}  // namespace gif
