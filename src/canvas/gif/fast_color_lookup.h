#pragma once
// TFastColorLookup: nearest palette colour for any palette, answered from a cache of
// 15-bit colour cells so each cell is searched for at most once.
#include "canvas/gif/color_lookup.h"

#include <array>
#include <memory>

namespace gif {

class TFastColorLookup : public TColorLookup
{
public:
    explicit TFastColorLookup(const TGIFPalette &palette);

    std::uint8_t Lookup(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override;

private:
    static int Key(int red, int green, int blue)
    {
        return (red >> 3) | ((green >> 3) << 5) | ((blue >> 3) << 10);
    }

    std::array<TPaletteEntry, 256> FPalette{};
    // Every colour of a cell gets the index stored for the cell: the first palette entry in
    // the cell, else the nearest entry to the first colour looked up there.
    std::unique_ptr<std::uint16_t[]> FCache;
};

}  // namespace gif
