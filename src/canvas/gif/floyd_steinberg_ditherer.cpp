#include "canvas/gif/floyd_steinberg_ditherer.h"

#include <algorithm>

namespace gif {

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup *lookup)
    : TDitherEngine(width, lookup)
{
    for (TComponent &c : FComponents)
        c.Row.assign(std::size_t(width) + 2, 0);
    FCell = 0;
}

std::uint8_t TFloydSteinbergDitherer::Dither(int red, int green, int blue, int &outRed, int &outGreen,
                                             int &outBlue)
{
    const int source[3] = {red, green, blue};
    int value[3];
    // The error meant for this pixel's own column: one cell ahead of the cell written now.
    const int read = FCell + FDirection;
    for (int k = 0; k < 3; ++k) {
        TComponent &c = FComponents[k];
        value[k] = std::clamp(source[k] + (c.Row[std::size_t(read)] + c.Error + 8) / 16, 0, 255);
    }
    const std::uint8_t index = TDitherEngine::Dither(value[0], value[1], value[2], outRed, outGreen, outBlue);
    const int chosen[3] = {outRed, outGreen, outBlue};
    for (int k = 0; k < 3; ++k) {
        TComponent &c = FComponents[k];
        // Also with no error the running terms move on one column, or older errors would be
        // counted again further along.
        const int e = value[k] - chosen[k];
        c.Row[std::size_t(FCell)] = c.Below + 3 * e;
        c.Below = c.Diag + 5 * e;
        c.Diag = e;
        c.Error = 7 * e;
    }
    FCell += FDirection;
    return index;
}

void TFloydSteinbergDitherer::NextLine()
{
    for (TComponent &c : FComponents) {
        c.Row[std::size_t(FCell)] = c.Below;
        c.Error = 0;
        c.Diag = 0;
        c.Below = 0;
    }
    TDitherEngine::NextLine();
    FCell = FDirection == 1 ? 0 : FWidth + 1;
}

}  // namespace gif
