#pragma once
// TRLEEncoder: a GIF raster encoder that any LZW decoder reads but that builds no string
// table of its own: literals, plus codes for runs of one colour whose table entries the
// decoder is known to hold, with clear codes that keep the decoder's table from filling.
#include "canvas/gif/gif_encoder.h"

#include <cstdint>

namespace gif {

class TRLEEncoder : public TGIFEncoder
{
protected:
    void ResetTable() override;
    void Compress() override;

private:
    void OutputPlain(int code);
    static std::int64_t IntSqrt(std::int64_t x);
    static std::int64_t TriangleCount(std::int64_t count, std::int64_t reps);
    void MaxOutClear() { FOutClear = FMaxOutCodes; }
    void ResetOutClear();
    void FlushFromClear(std::int64_t count);
    void FlushClearOrRepeat(std::int64_t count);
    void FlushWithTable(std::int64_t count);
    void Flush(std::int64_t count);

    int FMaxOutCodes = 0;
    int FBumpInit = 0;
    int FClearInit = 0;
    int FRunPixel = -1;
    std::int64_t FTableMax = 0;
    int FTablePixel = 0;
    int FOutCount = 0;
    int FOutClear = 0;
    int FOutBump = 0;
};

}  // namespace gif
