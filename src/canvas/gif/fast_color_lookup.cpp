#include "canvas/gif/fast_color_lookup.h"

#include <algorithm>
#include <cstdlib>

namespace gif {

namespace {
constexpr std::uint16_t EmptyCell = 0xFFFF;
constexpr int CacheSize = 32768;
}

TFastColorLookup::TFastColorLookup(const TGIFPalette &palette)
    : TColorLookup(std::min<int>(int(palette.size()), 256)), FCache(new std::uint16_t[CacheSize])
{
    std::fill(FCache.get(), FCache.get() + CacheSize, EmptyCell);
    for (int i = 0; i < FColors; ++i) {
        FPalette[std::size_t(i)] = palette[std::size_t(i)];
        const TPaletteEntry &e = FPalette[std::size_t(i)];
        std::uint16_t &cell = FCache[Key(e.peRed, e.peGreen, e.peBlue)];
        if (cell == EmptyCell)
            cell = std::uint16_t(i);
    }
}

std::uint8_t TFastColorLookup::Lookup(int red, int green, int blue, int &outRed, int &outGreen,
                                      int &outBlue)
{
    std::uint16_t &cell = FCache[Key(red, green, blue)];
    if (cell == EmptyCell) {
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < FColors; ++i) {
            const TPaletteEntry &e = FPalette[std::size_t(i)];
            const int d = std::abs(red - e.peRed) + std::abs(green - e.peGreen) + std::abs(blue - e.peBlue);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        cell = std::uint16_t(best);
    }
    const TPaletteEntry &e = FPalette[cell];
    outRed = e.peRed;
    outGreen = e.peGreen;
    outBlue = e.peBlue;
    return std::uint8_t(cell);
}

}  // namespace gif
