#pragma once
// The fixed palettes colour reduction chooses from, and the colours-to-bits rule of GIF
// colour tables.
#include "canvas/gif/gif_types.h"

#include <QList>
#include <QRgb>

namespace gif {

// 0 for 0 colours, 1 for 1 or 2, else the smallest n with 2^n >= count.
int ColorsToBits(int count);

// 216 entries: entry 36r + 6g + b is (51r, 51g, 51b).
TGIFPalette CreateWebSafePalette();
// The 20 static colours of the platform's default palette.
TGIFPalette DefaultSystemPalette();
// 256 entries: the first ten system colours, the web cube, twenty greys between the cube's
// levels, the last ten system colours.
TGIFPalette HalftonePalette();
// Greys of the given levels, every entry marked not to collapse.
TGIFPalette GreyPalette(std::initializer_list<int> levels);
TGIFPalette GrayScalePalette256();

// Palette entries to an indexed image's colour table (opaque colours) and back.
QList<QRgb> PaletteToColorTable(const TGIFPalette &palette);
TGIFPalette ColorTableToPalette(const QList<QRgb> &table);

}  // namespace gif
