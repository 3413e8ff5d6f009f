#include "canvas/gif/color_reduction.h"

#include "canvas/gif/color_quantizer.h"
#include "canvas/gif/dib.h"
#include "canvas/gif/dither_engine.h"
#include "canvas/gif/fast_color_lookup.h"
#include "canvas/gif/palettes.h"

#include <algorithm>
#include <memory>

namespace gif {

QImage ReduceBitmapColors(const QImage &bitmap, int colorReduction, int ditherMode, int reductionBits,
                          const TGIFPalette *customPalette)
{
    QImage result;
    if (colorReduction == rmNone) {
        result = bitmap;
        SetPixelFormat(result, pf24bit);
        return result;
    }
    if (bitmap.isNull())
        return result;

    // The caller's picture stays as it is; the reader converts a copy.
    QImage source = bitmap;
    TDIBReader reader(source, pf24bit);

    TGIFPalette palette;
    switch (colorReduction) {
    case rmSystem20: palette = DefaultSystemPalette(); break;
    case rmHalftone: palette = HalftonePalette(); break;
    case rmGray4: palette = GreyPalette({0, 128, 192, 255}); break;
    case rmMonochrome: palette = GreyPalette({0, 255}); break;
    case rmGrayScale: palette = GrayScalePalette256(); break;
    case rmWebPalette: palette = CreateWebSafePalette(); break;
    case rmQuantize:
        palette = CreateOptimizedPalette(reader, 1 << std::clamp(reductionBits, 1, 8), 8, false);
        break;
    case rmQuantizeSystem: palette = CreateOptimizedPalette(reader, 256, 8, true); break;
    case rmPalette:
        if (customPalette)
            palette = *customPalette;
        break;
    default: return result;
    }

    std::unique_ptr<TColorLookup> lookup;
    switch (colorReduction) {
    case rmMonochrome: lookup = std::make_unique<TMonochromeLookup>(); break;
    case rmGrayScale: lookup = std::make_unique<TGrayScaleLookup>(); break;
    case rmWebPalette: lookup = std::make_unique<TNetscapeColorLookup>(); break;
    default: lookup = std::make_unique<TFastColorLookup>(palette); break;
    }
    if (lookup->Colors() == 0)
        return result;

    const int width = source.width();
    const int height = source.height();
    std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(ditherMode, width, lookup.get());
    if (!ditherer)
        return result;

    {
        TDIBWriter writer(result, &palette, width, height, pf8bit);
        int r, g, b;
        for (int y = 0; y < height; ++y) {
            const std::uint8_t *src = reader.ScanLine(y);
            std::uint8_t *dst = writer.ScanLine(y);
            while (ditherer->Column() >= 0 && ditherer->Column() < width) {
                const int x = ditherer->Column();
                const std::uint8_t *p = src + 3 * x;
                dst[x] = ditherer->Dither(p[2], p[1], p[0], r, g, b);
            }
            ditherer->NextLine();
        }
    }
    return result;
}

}  // namespace gif
