#pragma once
// TColorLookup and the arithmetic lookups: each maps a colour to the index of a palette
// entry and answers that entry's colour.
#include "canvas/gif/gif_types.h"

#include <cstdint>

namespace gif {

class TColorLookup
{
public:
    explicit TColorLookup(int colors) : FColors(colors) {}
    virtual ~TColorLookup() = default;

    // Number of palette colours the lookup can answer.
    int Colors() const { return FColors; }
    virtual std::uint8_t Lookup(int red, int green, int blue, int &outRed, int &outGreen,
                                int &outBlue) = 0;

protected:
    int FColors;
};

// The 216-colour web palette. A component's level is (v + 3) div 51, which rounds down more
// often than the nearest level would; kept so pictures match those made before.
class TNetscapeColorLookup : public TColorLookup
{
public:
    TNetscapeColorLookup() : TColorLookup(216) {}
    std::uint8_t Lookup(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override
    {
        const int r = (red + 3) / 51;
        const int g = (green + 3) / 51;
        const int b = (blue + 3) / 51;
        outRed = r * 51;
        outGreen = g * 51;
        outBlue = b * 51;
        return std::uint8_t(36 * r + 6 * g + b);
    }
};

// 256 greys by brightness.
class TGrayScaleLookup : public TColorLookup
{
public:
    TGrayScaleLookup() : TColorLookup(256) {}
    std::uint8_t Lookup(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override
    {
        const int y = (77 * red + 150 * green + 29 * blue) >> 8;
        outRed = outGreen = outBlue = y;
        return std::uint8_t(y);
    }
};

// Black and white by brightness.
class TMonochromeLookup : public TColorLookup
{
public:
    TMonochromeLookup() : TColorLookup(2) {}
    std::uint8_t Lookup(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue) override
    {
        const int s = 77 * red + 150 * green + 29 * blue;
        const int v = s <= 32512 ? 0 : 255;
        outRed = outGreen = outBlue = v;
        return s <= 32512 ? 0 : 1;
    }
};

}  // namespace gif
