// Colour reduction: palettes, lookups, ditherers, the QImage row access and the octree.
#include "canvas/gif/color_quantizer.h"
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/dib.h"
#include "canvas/gif/dither_engine.h"
#include "canvas/gif/fast_color_lookup.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/palettes.h"

#include <QImage>
#include <gtest/gtest.h>

#include <set>

namespace {

QImage Picture(std::initializer_list<std::initializer_list<QRgb>> rows)
{
    const int h = int(rows.size());
    const int w = int(rows.begin()->size());
    QImage image(w, h, QImage::Format_RGB32);
    int y = 0;
    for (const auto &row : rows) {
        int x = 0;
        for (QRgb c : row)
            image.setPixel(x++, y, c);
        ++y;
    }
    return image;
}

QImage Grey(int width, int height, int level)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

int Index(const QImage &image, int x, int y)
{
    return image.constScanLine(y)[x];
}

}  // namespace

TEST(ColorReduction, DefaultsMapToTheWebPalette)
{
    const QImage source = Picture({{qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(47, 48, 99), qRgb(252, 251, 250)}});
    const QImage reduced = gif::ReduceBitmapColors(source, gif::rmWebPalette, 0, 8);
    ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
    EXPECT_EQ(reduced.colorCount(), 216);
    EXPECT_EQ(Index(reduced, 0, 0), 215);
    EXPECT_EQ(Index(reduced, 1, 0), 0);
    EXPECT_EQ(Index(reduced, 2, 0), 0 * 36 + 1 * 6 + 2);
    EXPECT_EQ(Index(reduced, 3, 0), 5 * 36 + 4 * 6 + 4) << "levels round down below 252";
    EXPECT_EQ(reduced.color(8), qRgb(0, 51, 102));
    EXPECT_EQ(source.format(), QImage::Format_RGB32) << "the caller's picture is left as it was";
}

TEST(ColorReduction, FixedPalettesAndTheirLookups)
{
    const QImage greys = Picture({{qRgb(127, 127, 127), qRgb(128, 128, 128), qRgb(200, 10, 10)}});
    const QImage mono = gif::ReduceBitmapColors(greys, gif::rmMonochrome, 0, 8);
    EXPECT_EQ(mono.colorCount(), 2);
    EXPECT_EQ(Index(mono, 0, 0), 0);
    EXPECT_EQ(Index(mono, 1, 0), 1);

    const QImage grey256 = gif::ReduceBitmapColors(greys, gif::rmGrayScale, 0, 8);
    EXPECT_EQ(Index(grey256, 1, 0), 128);
    EXPECT_EQ(Index(grey256, 2, 0), (77 * 200 + 150 * 10 + 29 * 10) >> 8);

    const QImage grey4 = gif::ReduceBitmapColors(greys, gif::rmGray4, 0, 8);
    EXPECT_EQ(grey4.colorTable(), (QList<QRgb>{qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(192, 192, 192), qRgb(255, 255, 255)}));
    EXPECT_EQ(Index(grey4, 1, 0), 1);

    const QImage system = gif::ReduceBitmapColors(greys, gif::rmSystem20, 0, 8);
    EXPECT_EQ(system.colorCount(), 20);
    EXPECT_EQ(system.color(Index(system, 1, 0)), qRgb(128, 128, 128));

    const QImage halftone = gif::ReduceBitmapColors(greys, gif::rmHalftone, 0, 8);
    EXPECT_EQ(halftone.colorCount(), 256);
    EXPECT_EQ(halftone.color(255), qRgb(255, 255, 255));
}

TEST(ColorReduction, MethodsThatLeaveNothingToReduceTo)
{
    const QImage source = Picture({{qRgb(1, 2, 3), qRgb(4, 5, 6)}});
    const QImage copy = gif::ReduceBitmapColors(source, gif::rmNone, 0, 8);
    EXPECT_EQ(copy.format(), QImage::Format_BGR888);
    EXPECT_EQ(copy.pixel(1, 0), qRgb(4, 5, 6));

    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmPalette, 0, 8).isNull());
    const gif::TGIFPalette empty;
    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmPalette, 0, 8, &empty).isNull());
    EXPECT_TRUE(gif::ReduceBitmapColors(source, 10, 0, 8).isNull());
    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmWebPalette, 7, 8).isNull());

    const gif::TGIFPalette custom{{200, 100, 50, 0}, {1, 2, 3, 0}};
    const QImage mapped = gif::ReduceBitmapColors(Picture({{qRgb(1, 2, 3), qRgb(190, 110, 60)}}),
                                                  gif::rmPalette, 0, 8, &custom);
    EXPECT_EQ(Index(mapped, 0, 0), 1);
    EXPECT_EQ(Index(mapped, 1, 0), 0);
}

TEST(ColorReduction, QuantisedPaletteHonoursReductionBits)
{
    QImage rainbow(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            rainbow.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    // Bits outside 1..8 are taken as the nearest of them instead of shifting out of range.
    const struct {
        int Bits, Colours;
    } cases[] = {{-3, 2}, {0, 2}, {1, 2}, {4, 16}, {8, 256}, {9, 256}, {31, 256}};
    for (const auto &c : cases) {
        const QImage reduced = gif::ReduceBitmapColors(rainbow, gif::rmQuantize, 0, c.Bits);
        ASSERT_FALSE(reduced.isNull()) << c.Bits;
        EXPECT_EQ(reduced.colorCount(), c.Colours) << c.Bits;
    }
    const QImage withSystem = gif::ReduceBitmapColors(rainbow, gif::rmQuantizeSystem, 0, 8);
    EXPECT_EQ(withSystem.colorCount(), 256);
    EXPECT_EQ(withSystem.color(1), qRgb(128, 0, 0));
    EXPECT_EQ(withSystem.color(255), qRgb(255, 255, 255));
}

TEST(FastColorLookup, NearestColourWithTiesToTheLowerIndex)
{
    gif::TFastColorLookup lookup({{0, 0, 0, 0}, {100, 100, 100, 0}, {100, 100, 100, 0}, {200, 0, 0, 0}});
    EXPECT_EQ(lookup.Colors(), 4);
    int r, g, b;
    EXPECT_EQ(lookup.Lookup(90, 95, 110, r, g, b), 1);
    EXPECT_EQ(r, 100);
    EXPECT_EQ(lookup.Lookup(180, 20, 0, r, g, b), 3);
    EXPECT_EQ(lookup.Lookup(50, 50, 50, r, g, b), 0) << "equally far from 0 and 1";
    // Colours of one 15-bit cell share its answer.
    EXPECT_EQ(lookup.Lookup(181, 22, 1, r, g, b), 3);
}

TEST(Ditherers, PaletteColoursPassThroughUnchanged)
{
    QImage web(23, 17, QImage::Format_RGB32);
    for (int y = 0; y < web.height(); ++y)
        for (int x = 0; x < web.width(); ++x) {
            const int i = (x * 7 + y * 13) % 216;
            web.setPixel(x, y, qRgb(51 * (i / 36), 51 * (i / 6 % 6), 51 * (i % 6)));
        }
    for (int mode = 0; mode <= 6; ++mode) {
        const QImage reduced = gif::ReduceBitmapColors(web, gif::rmWebPalette, mode, 8);
        for (int y = 0; y < web.height(); ++y)
            for (int x = 0; x < web.width(); ++x)
                ASSERT_EQ(reduced.color(Index(reduced, x, y)), web.pixel(x, y)) << "mode " << mode;
    }
}

TEST(Ditherers, ErrorIsDiffusedNotLost)
{
    // A grey of 64 in black and white: a kernel that passes on all of its error makes a
    // quarter of the pixels white (64 / 255); one that lost part of it would make fewer.
    const QImage grey = Grey(120, 120, 64);
    for (int mode = 1; mode <= 6; ++mode) {
        const QImage reduced = gif::ReduceBitmapColors(grey, gif::rmMonochrome, mode, 8);
        int white = 0;
        for (int y = 0; y < reduced.height(); ++y)
            for (int x = 0; x < reduced.width(); ++x)
                white += Index(reduced, x, y);
        const double share = double(white) / (120.0 * 120.0);
        EXPECT_NEAR(share, 64.0 / 255.0, 0.01) << "mode " << mode;
    }
    // Without dithering everything is black.
    const QImage plain = gif::ReduceBitmapColors(grey, gif::rmMonochrome, 0, 8);
    EXPECT_EQ(Index(plain, 60, 60), 0);
}

TEST(Ditherers, FloydSteinbergPutsErrorBelowTheRightPixel)
{
    // Row 0 (left to right): 100, 0, 0 all go black; their errors reach row 1 as 5/16 and
    // 1/16 below. Row 1 (right to left) starts at column 2 with 120 plus about 9: white.
    // Without the error from above, 120 would be black.
    const QImage source = Picture({{qRgb(100, 100, 100), qRgb(0, 0, 0), qRgb(0, 0, 0)},
                                   {qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(120, 120, 120)}});
    const QImage reduced = gif::ReduceBitmapColors(source, gif::rmMonochrome, 1, 8);
    EXPECT_EQ(Index(reduced, 0, 0), 0);
    EXPECT_EQ(Index(reduced, 2, 1), 1);
}

TEST(Ditherers, OnePixelWideAndEmptyRowsStayInBounds)
{
    QImage column(1, 50, QImage::Format_RGB32);
    for (int y = 0; y < 50; ++y)
        column.setPixel(0, y, qRgb(y * 5, 255 - y * 5, 128));
    for (int mode = 0; mode <= 6; ++mode) {
        const QImage reduced = gif::ReduceBitmapColors(column, gif::rmSystem20, mode, 8);
        ASSERT_EQ(reduced.height(), 50) << mode;
        for (int y = 0; y < 50; ++y)
            EXPECT_LT(Index(reduced, 0, y), 20);
    }
}

TEST(DIBAccess, RowSizesAndFormats)
{
    EXPECT_EQ(gif::BytesPerScanline(3, 24, 32), 12);
    EXPECT_EQ(gif::BytesPerScanline(5, 8, 32), 8);
    EXPECT_EQ(gif::BytesPerScanline(1, 1, 32), 4);

    // 24-bit rows hold blue, green, red, whatever the picture's own format.
    QImage image = Picture({{qRgb(1, 2, 3)}, {qRgb(4, 5, 6)}});
    gif::TDIBReader reader(image, gif::pf24bit);
    EXPECT_EQ(gif::GetPixelFormat(image), gif::pf24bit);
    const std::uint8_t *row1 = reader.ScanLine(1);
    EXPECT_EQ(row1[0], 6);
    EXPECT_EQ(row1[2], 4);
    EXPECT_THROW(reader.ScanLine(2), gif::EInvalidGraphicOperation);
}

TEST(DIBAccess, WriterFillsItsTargetOnlyWhenRowsWereWritten)
{
    QImage target(3, 3, QImage::Format_RGB32);
    target.fill(Qt::red);
    const gif::TGIFPalette web = gif::CreateWebSafePalette();
    { gif::TDIBWriter untouched(target, &web, 2, 2, gif::pf8bit); }
    EXPECT_EQ(target.format(), QImage::Format_RGB32);

    {
        gif::TDIBWriter writer(target, &web, 2, 2, gif::pf8bit);
        writer.ScanLine(0)[1] = 215;
        writer.ScanLine(1)[0] = 8;
        EXPECT_THROW(writer.ScanLine(2), gif::EInvalidGraphicOperation);
    }
    ASSERT_EQ(target.format(), QImage::Format_Indexed8);
    EXPECT_EQ(target.colorCount(), 216);
    EXPECT_EQ(target.pixel(1, 0), qRgb(255, 255, 255)) << "row 0 is the top row";
    EXPECT_EQ(target.pixel(0, 1), qRgb(0, 51, 102));

    EXPECT_THROW(gif::TDIBWriter(target, &web, 2, 2, gif::pf32bit), gif::GIFException);
    EXPECT_THROW(gif::TDIBWriter(target, &web, 0, 2, gif::pf8bit), gif::GIFException);
    EXPECT_THROW(gif::TDIBWriter(target, &web, 2, 0, gif::pf24bit), gif::GIFException);
}

TEST(OctreeQuantizer, FewColoursComeBackExactly)
{
    gif::TColorQuantizer quantizer(256, 8);
    for (int i = 0; i < 100; ++i) {
        quantizer.AddColor(10, 20, 30);
        quantizer.AddColor(200, 100, 0);
        quantizer.AddColor(0, 0, 255);
    }
    EXPECT_EQ(quantizer.LeafCount(), 3);
    const gif::TGIFPalette table = quantizer.GetColorTable();
    const std::set<std::tuple<int, int, int>> colours{{table[0].peRed, table[0].peGreen, table[0].peBlue},
                                                      {table[1].peRed, table[1].peGreen, table[1].peBlue},
                                                      {table[2].peRed, table[2].peGreen, table[2].peBlue}};
    EXPECT_EQ(colours, (std::set<std::tuple<int, int, int>>{{10, 20, 30}, {200, 100, 0}, {0, 0, 255}}));
}

TEST(OctreeQuantizer, MergesDownToTheLimit)
{
    for (int limit : {1, 2, 8, 50}) {
        gif::TColorQuantizer quantizer(limit, 8);
        for (int i = 0; i < 4096; ++i)
            quantizer.AddColor((i * 37) & 255, (i * 101) & 255, (i * 13) & 255);
        EXPECT_LE(quantizer.LeafCount(), limit);
        EXPECT_EQ(int(quantizer.GetColorTable().size()), quantizer.LeafCount());
    }
}

TEST(OctreeQuantizer, SystemColoursFrameTheFittedOnes)
{
    const QImage image = Picture({{qRgb(1, 2, 3), qRgb(250, 240, 230)}});
    const gif::TGIFPalette palette = gif::CreateOptimizedPaletteFromBitmap(image, 256, 8, true);
    const gif::TGIFPalette system = gif::DefaultSystemPalette();
    ASSERT_EQ(palette.size(), 256u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(palette[std::size_t(i)], system[std::size_t(i)]);
        EXPECT_EQ(palette[std::size_t(246 + i)], system[std::size_t(10 + i)]);
    }
    EXPECT_EQ(palette[10], (gif::TPaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(palette[12], gif::TPaletteEntry{}) << "entries without a colour are black";
}
