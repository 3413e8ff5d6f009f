#include "canvas/gif/row_ditherers.h"

#include <algorithm>

namespace gif {

TRowArrayDitherer::TRowArrayDitherer(int width, TColorLookup *lookup, int rows, int margin, int divisor)
    : TDitherEngine(width, lookup), FMargin(margin), FDivisor(divisor)
{
    for (auto &component : FRows)
        component.assign(std::size_t(rows), std::vector<int>(std::size_t(width + 2 * margin), 0));
}

std::uint8_t TRowArrayDitherer::Dither(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue)
{
    const int cell = FColumn + FMargin;
    const int source[3] = {red, green, blue};
    int value[3];
    for (int k = 0; k < 3; ++k)
        value[k] = std::clamp(source[k] + (FRows[k][0][std::size_t(cell)] + FDivisor / 2) / FDivisor, 0, 255);
    const std::uint8_t index = TDitherEngine::Dither(value[0], value[1], value[2], outRed, outGreen, outBlue);
    const int chosen[3] = {outRed, outGreen, outBlue};
    for (int k = 0; k < 3; ++k) {
        const int e = value[k] - chosen[k];
        if (e == 0)
            continue;
        int *rows[4] = {};
        for (std::size_t r = 0; r < FRows[k].size(); ++r)
            rows[r] = FRows[k][r].data();
        Spread(rows, cell, e);
    }
    return index;
}

void TRowArrayDitherer::NextLine()
{
    for (auto &component : FRows) {
        std::fill(component.front().begin(), component.front().end(), 0);
        std::rotate(component.begin(), component.begin() + 1, component.end());
    }
    TDitherEngine::NextLine();
    FStep = FDirection;
}

void TStuckiDitherer::Propagate(int *row0, int *row1, int e, int *row2)
{
    const int s = FStep, s2 = 2 * FStep;
    row0[s] += 8 * e;
    row0[s2] += 4 * e;
    row1[-s2] += 2 * e;
    row1[-s] += 4 * e;
    row1[0] += 8 * e;
    row1[s] += 4 * e;
    row1[s2] += 2 * e;
    row2[-s2] += e;
    row2[-s] += 2 * e;
    row2[0] += 4 * e;
    row2[s] += 2 * e;
    row2[s2] += e;
}

void TSierraDitherer::Propagate(int *row0, int *row1, int e, int *row2)
{
    const int s = FStep, s2 = 2 * FStep;
    row0[s] += 5 * e;
    row0[s2] += 3 * e;
    row1[-s2] += 2 * e;
    row1[-s] += 4 * e;
    row1[0] += 5 * e;
    row1[s] += 4 * e;
    row1[s2] += 2 * e;
    row2[-s] += 2 * e;
    row2[0] += 3 * e;
    row2[s] += 2 * e;
}

void TJaJuNiDitherer::Propagate(int *row0, int *row1, int e, int *row2)
{
    const int s = FStep, s2 = 2 * FStep;
    row0[s] += 7 * e;
    row0[s2] += 5 * e;
    row1[-s2] += 3 * e;
    row1[-s] += 5 * e;
    row1[0] += 7 * e;
    row1[s] += 5 * e;
    row1[s2] += 3 * e;
    row2[-s2] += e;
    row2[-s] += 3 * e;
    row2[0] += 5 * e;
    row2[s] += 3 * e;
    row2[s2] += e;
}

void TSteveArcheDitherer::Spread(int **rows, int cell, int e)
{
    const int s = FStep, s2 = 2 * FStep, s3 = 3 * FStep;
    int *r0 = rows[0] + cell, *r1 = rows[1] + cell, *r2 = rows[2] + cell, *r3 = rows[3] + cell;
    r0[s2] += 32 * e;
    r1[-s3] += 12 * e;
    r1[-s] += 26 * e;
    r1[s] += 30 * e;
    r1[s3] += 16 * e;
    r2[-s2] += 12 * e;
    r2[0] += 26 * e;
    r2[s2] += 12 * e;
    r3[-s3] += 5 * e;
    r3[-s] += 12 * e;
    r3[s] += 12 * e;
    r3[s3] += 5 * e;
}

void TBurkesDitherer::Spread(int **rows, int cell, int e)
{
    const int s = FStep, s2 = 2 * FStep;
    int *r0 = rows[0] + cell, *r1 = rows[1] + cell;
    r0[s] += 8 * e;
    r0[s2] += 4 * e;
    r1[-s2] += 2 * e;
    r1[-s] += 4 * e;
    r1[0] += 8 * e;
    r1[s] += 4 * e;
    r1[s2] += 2 * e;
}

}  // namespace gif
