#pragma once
// TDitherEngine: walks the rows of a picture in serpentine order (left to right, then right
// to left) and maps each pixel to a palette index through a colour lookup; on its own it is
// the plain nearest-colour engine, and the error-diffusing ditherers build on it.
#include "canvas/gif/color_lookup.h"

#include <cstdint>
#include <memory>

namespace gif {

class TDitherEngine
{
public:
    TDitherEngine(int width, TColorLookup *lookup) : FLookup(lookup), FWidth(width) {}
    virtual ~TDitherEngine() = default;

    virtual std::uint8_t Dither(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue);
    virtual void NextLine();

    int Direction() const { return FDirection; }
    int Column() const { return FColumn; }
    int Width() const { return FWidth; }

protected:
    int FDirection = 1;
    int FColumn = 0;
    TColorLookup *FLookup;  // not owned
    int FWidth;
};

// The engine of a dither mode: 0 nearest colour, 1 Floyd-Steinberg, 2 Stucki, 3 Sierra,
// 4 Jarvis-Judice-Ninke, 5 Stevenson-Arce, 6 Burkes; none for other modes.
std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup *lookup);

}  // namespace gif
