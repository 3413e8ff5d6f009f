#include "canvas/gif/dither_engine.h"

#include "canvas/gif/floyd_steinberg_ditherer.h"
#include "canvas/gif/row_ditherers.h"

namespace gif {

std::uint8_t TDitherEngine::Dither(int red, int green, int blue, int &outRed, int &outGreen, int &outBlue)
{
    const std::uint8_t index = FLookup->Lookup(red, green, blue, outRed, outGreen, outBlue);
    FColumn += FDirection;
    return index;
}

void TDitherEngine::NextLine()
{
    FDirection = -FDirection;
    FColumn = FDirection == 1 ? 0 : FWidth - 1;
}

std::unique_ptr<TDitherEngine> CreateDitherer(int ditherMode, int width, TColorLookup *lookup)
{
    switch (ditherMode) {
    case 0: return std::make_unique<TDitherEngine>(width, lookup);
    case 1: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case 2: return std::make_unique<TStuckiDitherer>(width, lookup);
    case 3: return std::make_unique<TSierraDitherer>(width, lookup);
    case 4: return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case 5: return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case 6: return std::make_unique<TBurkesDitherer>(width, lookup);
    default: return nullptr;
    }
}

}  // namespace gif
