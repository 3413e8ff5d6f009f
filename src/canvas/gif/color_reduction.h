#pragma once
// ReduceBitmapColors: turns a picture of any colour depth into an 8-bit indexed one (or a
// 24-bit copy) by a choice of palette, colour lookup and ditherer.
#include "canvas/gif/gif_types.h"

#include <QImage>

namespace gif {

// Reduction methods.
enum TColorReduction : int {
    rmNone = 0,             // a 24-bit copy, all colours kept
    rmSystem20 = 1,         // the 20 static system colours
    rmHalftone = 2,         // the halftone palette
    rmGray4 = 3,            // 4 greys
    rmMonochrome = 4,       // black and white
    rmGrayScale = 5,        // 256 greys
    rmWebPalette = 6,       // the 216-colour web palette
    rmQuantize = 7,         // 2^reduction bits colours fitted to the picture
    rmQuantizeSystem = 8,   // 236 fitted colours and the 20 system colours
    rmPalette = 9           // the custom palette
};

// Answers the reduced picture: Format_Indexed8 whose 256-colour table is the method's
// palette padded with black, a Format_BGR888 copy for method 0, or a null image when the
// method, the dither mode or the custom palette leaves nothing to reduce to. The source is
// not changed. Reduction bits outside 1..8 are taken as the nearest of them.
QImage ReduceBitmapColors(const QImage &bitmap, int colorReduction, int ditherMode, int reductionBits,
                          const TGIFPalette *customPalette = nullptr);

}  // namespace gif
