#include "canvas/gif/rle_encoder.h"

namespace gif {

void TRLEEncoder::ResetTable()
{
    FOutBump = FBumpInit;
    FOutClear = FClearInit;
    FOutCount = 0;
    FTableMax = 0;
    TGIFEncoder::ResetTable();
    FBitSize = FInitialBitSize;
}

void TRLEEncoder::OutputPlain(int code)
{
    FClearFlag = false;
    EmitCode(code);
    ++FOutCount;
    // The decoder widens its codes after the same number of table entries.
    if (FOutCount >= FOutBump) {
        ++FBitSize;
        FOutBump += 1 << (FBitSize - 1);
    }
    if (FOutCount >= FOutClear)
        ResetTable();
}

std::int64_t TRLEEncoder::IntSqrt(std::int64_t x)
{
    if (x < 2)
        return x;
    std::int64_t r = 1;
    for (std::int64_t v = x; v != 0; v >>= 2)
        r <<= 1;
    for (;;) {
        const std::int64_t v = (x / r + r) / 2;
        if (v == r || v == r + 1)
            return r;
        r = v;
    }
}

std::int64_t TRLEEncoder::TriangleCount(std::int64_t count, std::int64_t reps)
{
    std::int64_t cost = 0;
    const std::int64_t perRep = reps * (reps + 1) / 2;
    while (count >= perRep) {
        cost += reps;
        count -= perRep;
    }
    if (count > 0) {
        std::int64_t n = IntSqrt(count);
        while (n * (n + 1) >= 2 * count)
            --n;
        while (n * (n + 1) < 2 * count)
            ++n;
        cost += n;
    }
    return cost;
}

void TRLEEncoder::ResetOutClear()
{
    FOutClear = FClearInit;
    if (FOutCount >= FOutClear)
        ResetTable();
}

void TRLEEncoder::FlushFromClear(std::int64_t count)
{
    MaxOutClear();
    FTablePixel = FRunPixel;
    std::int64_t n = 1;
    while (count > 0) {
        if (n == 1) {
            FTableMax = 1;
            OutputPlain(FRunPixel);
            count -= 1;
        } else if (count >= n) {
            FTableMax = n;
            OutputPlain(FBaseCode + int(n) - 2);
            count -= n;
        } else if (count == 1) {
            ++FTableMax;
            OutputPlain(FRunPixel);
            count = 0;
        } else {
            ++FTableMax;
            OutputPlain(FBaseCode + int(count) - 2);
            count = 0;
        }
        n = (FOutCount == 0) ? 1 : n + 1;
    }
    ResetOutClear();
}

void TRLEEncoder::FlushClearOrRepeat(std::int64_t count)
{
    if (1 + TriangleCount(count, FMaxOutCodes) < count) {
        ResetTable();
        FlushFromClear(count);
        return;
    }
    for (; count > 0; --count)
        OutputPlain(FRunPixel);
}

void TRLEEncoder::FlushWithTable(std::int64_t count)
{
    std::int64_t reps = count / FTableMax;
    std::int64_t left = count % FTableMax;
    std::int64_t leftCodes = left > 0 ? 1 : 0;
    if (FOutCount + reps + leftCodes > FMaxOutCodes) {
        reps = FMaxOutCodes - FOutCount;
        left = count - reps * FTableMax;
        leftCodes = 1 + TriangleCount(left, FMaxOutCodes);
    }
    if (1 + TriangleCount(count, FMaxOutCodes) < reps + leftCodes) {
        ResetTable();
        FlushFromClear(count);
        return;
    }
    MaxOutClear();
    for (; reps > 0; --reps)
        OutputPlain(FBaseCode + int(FTableMax) - 2);
    if (left > 0) {
        if (FClearFlag)
            FlushFromClear(left);
        else if (left == 1)
            OutputPlain(FRunPixel);
        else
            OutputPlain(FBaseCode + int(left) - 2);
    }
    ResetOutClear();
}

void TRLEEncoder::Flush(std::int64_t count)
{
    if (count == 1)
        OutputPlain(FRunPixel);
    else if (FClearFlag)
        FlushFromClear(count);
    else if (FTableMax >= 2 && FTablePixel == FRunPixel)
        FlushWithTable(count);
    else
        FlushClearOrRepeat(count);
}

void TRLEEncoder::Compress()
{
    FBumpInit = FClearCode - 1;
    FClearInit = (FBitsPerPixel <= 3) ? 9 : FBumpInit - 1;
    FMaxOutCodes = 4095 - FBaseCode;
    FRunPixel = -1;
    std::int64_t run = 0;
    ResetTable();

    for (;;) {
        const int pixel = TakePixel();
        if (run > 0 && pixel != FRunPixel) {
            Flush(run);
            run = 0;
        }
        if (pixel == FRunPixel) {
            ++run;
        } else {
            FRunPixel = pixel;
            run = 1;
        }
        if (!NextPixel()) {
            Flush(run);
            break;
        }
    }
}

}  // namespace gif
