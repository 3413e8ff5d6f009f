// Colour reduction: palettes, lookups, ditherers and the octree.
#include "canvas/gif/color_quantizer.h"
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/palettes.h"

#include "test_data.h"

#include <QImage>
#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

using Bytes = std::vector<std::uint8_t>;

QImage Picture(int width, int height, const std::function<QRgb(int x, int y)> &colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour(x, y));
    return image;
}

QImage Row(const QList<QRgb> &colours)
{
    return Picture(int(colours.size()), 1, [&](int x, int) { return colours[x]; });
}

int Index(const QImage &image, int x, int y)
{
    return image.constScanLine(y)[x];
}

}  // namespace

TEST(ColorReduction, FixedPalettesAndTheirLookups)
{
    const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), grey128 = qRgb(128, 128, 128);
    const struct {
        int Method;
        QRgb Source;
        int Index;  // -1: any index of the colour
        QRgb Colour;
    } cases[] = {
        {gif::rmWebPalette, white, 215, white},
        {gif::rmWebPalette, qRgb(47, 48, 99), 0 * 36 + 1 * 6 + 2, qRgb(0, 51, 102)},
        {gif::rmWebPalette, qRgb(252, 251, 250), 5 * 36 + 4 * 6 + 4, qRgb(255, 204, 204)},  // down below 252
        {gif::rmMonochrome, qRgb(127, 127, 127), 0, black},
        {gif::rmMonochrome, grey128, 1, white},
        {gif::rmGrayScale, grey128, 128, grey128},
        {gif::rmGrayScale, qRgb(200, 10, 10), 67, qRgb(67, 67, 67)},
        {gif::rmGray4, qRgb(150, 150, 150), 1, grey128},
        {gif::rmGray4, qRgb(170, 170, 170), 2, qRgb(192, 192, 192)},
        {gif::rmSystem20, qRgb(130, 125, 128), 12, grey128},
        {gif::rmHalftone, qRgb(250, 5, 250), -1, qRgb(255, 0, 255)},
    };
    for (const auto &c : cases) {
        const QImage source = Row({c.Source});
        const QImage reduced = gif::ReduceBitmapColors(source, c.Method, 0, 8);
        ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
        EXPECT_EQ(reduced.colorCount(), 256) << "an 8-bit picture carries 256 entries";
        if (c.Index >= 0)
            EXPECT_EQ(Index(reduced, 0, 0), c.Index) << c.Method;
        EXPECT_EQ(reduced.color(Index(reduced, 0, 0)), c.Colour) << c.Method;
        EXPECT_EQ(source.format(), QImage::Format_RGB32) << "the caller's picture is left as it was";
    }
}

TEST(ColorReduction, MethodsThatLeaveNothingToReduceTo)
{
    const QImage source = Row({qRgb(1, 2, 3), qRgb(190, 110, 60)});
    const QImage copy = gif::ReduceBitmapColors(source, gif::rmNone, 0, 8);
    EXPECT_EQ(copy.format(), QImage::Format_BGR888);
    EXPECT_EQ(copy.pixel(1, 0), qRgb(190, 110, 60));

    const gif::TGIFPalette empty;
    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmPalette, 0, 8).isNull());
    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmPalette, 0, 8, &empty).isNull());
    EXPECT_TRUE(gif::ReduceBitmapColors(source, 10, 0, 8).isNull());
    EXPECT_TRUE(gif::ReduceBitmapColors(source, gif::rmWebPalette, 7, 8).isNull());

    const gif::TGIFPalette custom{{200, 100, 50, 0}, {1, 2, 3, 0}};
    const QImage mapped = gif::ReduceBitmapColors(source, gif::rmPalette, 0, 8, &custom);
    EXPECT_EQ(Index(mapped, 0, 0), 1);
    EXPECT_EQ(Index(mapped, 1, 0), 0);
}

TEST(ColorReduction, QuantisedPaletteHonoursReductionBits)
{
    const QImage rainbow = Picture(64, 64, [](int x, int y) { return qRgb(x * 4, y * 4, (x ^ y) * 4); });
    // Bits outside 1..8 are taken as the nearest of them instead of shifting out of range.
    const struct {
        int Bits, Colours;
    } cases[] = {{-3, 2}, {0, 2}, {1, 2}, {4, 16}, {8, 256}, {9, 256}, {31, 256}};
    for (const auto &c : cases) {
        const QImage reduced = gif::ReduceBitmapColors(rainbow, gif::rmQuantize, 0, c.Bits);
        ASSERT_FALSE(reduced.isNull()) << c.Bits;
        int highest = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                highest = std::max(highest, Index(reduced, x, y));
        EXPECT_EQ(highest, c.Colours - 1) << c.Bits;
    }
    const QImage withSystem = gif::ReduceBitmapColors(rainbow, gif::rmQuantizeSystem, 0, 8);
    EXPECT_EQ(withSystem.color(1), qRgb(128, 0, 0));
    EXPECT_EQ(withSystem.color(255), qRgb(255, 255, 255));
}

TEST(Ditherers, EveryKernelOnEveryPictureAsWorkedOutByPlainErrorDiffusion)
{
    // The golden indices were checked against serpentine error diffusion written the plain
    // way: one error array per row, each kernel's weights over its divisor, rounded.
    std::mt19937 rng(21);
    std::uniform_int_distribution<int> level(0, 255);
    const QImage pictures[] = {Picture(37, 23, [&](int, int) { return qRgb(level(rng), level(rng), level(rng)); }),
                               Picture(1, 30, [&](int, int) { return qRgb(level(rng), level(rng), level(rng)); }),
                               Picture(2, 9, [](int, int) { return qRgb(64, 64, 64); }),
                               Picture(23, 17, [](int x, int y) {
                                   const int i = (x * 7 + y * 13) % 216;  // web colours pass unchanged
                                   return qRgb(51 * (i / 36), 51 * (i / 6 % 6), 51 * (i % 6));
                               })};
    QByteArray text;
    for (int mode = 1; mode <= 6; ++mode)
        for (int method : {gif::rmWebPalette, gif::rmMonochrome})
            for (const QImage &picture : pictures) {
                const QImage reduced = gif::ReduceBitmapColors(picture, method, mode, 8);
                text += QByteArray::number(mode) + ' ' + QByteArray::number(method) + ':';
                for (int y = 0; y < picture.height(); ++y)
                    text += ' ' + QByteArray(reinterpret_cast<const char *>(reduced.constScanLine(y)), picture.width()).toHex();
                text += '\n';
            }
    expectGolden("gif-dither.txt", text);
}

TEST(OctreeQuantizer, MergesTheNodeAddedLastAtTheDeepestLevel)
{
    // Two pairs of colours that part only in their lowest bits. With room for three, the
    // fourth colour makes the pair added last merge into its average.
    gif::TColorQuantizer quantizer(3, 8);
    quantizer.AddColor(0, 0, 0);
    quantizer.AddColor(0, 0, 1);
    quantizer.AddColor(255, 255, 255);
    EXPECT_EQ(quantizer.GetColorTable(), (gif::TGIFPalette{{0, 0, 0, 0}, {0, 0, 1, 0}, {255, 255, 255, 0}}));
    for (int i = 0; i < 3; ++i)
        quantizer.AddColor(254, 254, 254);
    EXPECT_EQ(quantizer.LeafCount(), 3);
    // (255 + 3 x 254) / 4, rounded down.
    EXPECT_EQ(quantizer.GetColorTable(), (gif::TGIFPalette{{0, 0, 0, 0}, {0, 0, 1, 0}, {254, 254, 254, 0}}));

    for (int limit : {1, 2, 8, 50}) {
        gif::TColorQuantizer many(limit, 8);
        for (int i = 0; i < 4096; ++i)
            many.AddColor((i * 37) & 255, (i * 101) & 255, (i * 13) & 255);
        EXPECT_LE(many.LeafCount(), limit);
        EXPECT_EQ(int(many.GetColorTable().size()), many.LeafCount());
    }
}
