// Colour tables: growth, limits, lookups, stream form, imports and the ordering by use.
#include "fake_gif_image.h"
#include "gif_test_util.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_header.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace giftest;
using gif::RGBColor;

namespace {
Bytes Saved(const gif::TGIFColorMap &map)
{
    gif::TMemoryStream stream;
    map.SaveToStream(stream);
    return stream.TakeBytes();
}
}  // namespace

TEST(GIFColorMap, WritesTriplesPaddedWithBlackToAPowerOfTwo)
{
    gif::TGIFLocalColorMap map(nullptr);
    EXPECT_TRUE(Saved(map).empty());
    map.Add(RGBColor(1, 2, 3));
    EXPECT_EQ(Saved(map), (Bytes{1, 2, 3, 0, 0, 0}));
    for (int i = 1; i < 5; ++i)
        map.Add(RGBColor(10 * i, 10 * i + 1, 10 * i + 2));
    const Bytes five = Saved(map);
    ASSERT_EQ(five.size(), 8u * 3);
    EXPECT_EQ(Bytes(five.begin() + 12, five.begin() + 15), (Bytes{40, 41, 42}));
    EXPECT_EQ(Bytes(five.begin() + 15, five.end()), Bytes(9, 0));
    EXPECT_EQ(map.BitsPerPixel(), 3);
}

TEST(GIFColorMap, HoldsAtMost256Colours)
{
    gif::TGIFLocalColorMap map(nullptr);
    for (int i = 0; i < 256; ++i)
        map.Add(RGBColor(i, 0, 0));
    try {
        map.Add(RGBColor(1, 1, 1));
        FAIL();
    } catch (const gif::GIFException &e) {
        EXPECT_STREQ(e.what(), "Color table overflow");
    }
    EXPECT_EQ(map.Count(), 256);
    EXPECT_EQ(map.BitsPerPixel(), 8);

    // A table read from a stream is held to the same limit rather than overrun.
    gif::TMemoryStream stream(Bytes(3 * 300, 7));
    EXPECT_THROW(map.LoadFromStream(stream, 300), gif::GIFException);
    gif::TMemoryStream shortStream(Bytes(3 * 4 - 1, 7));
    EXPECT_THROW(map.LoadFromStream(shortStream, 4), gif::GIFException);
}

TEST(GIFColorMap, CapacityGrowsInSteps)
{
    const struct {
        int Size, Capacity;
    } cases[] = {{1, 16}, {16, 16}, {17, 32}, {33, 64}, {250, 256}, {256, 256}, {300, 256}};
    for (const auto &c : cases) {
        gif::TGIFLocalColorMap map(nullptr);
        map.SetCapacity(c.Size);
        EXPECT_EQ(map.Capacity(), c.Capacity) << c.Size;
    }
    gif::TGIFLocalColorMap map(nullptr);
    map.SetCapacity(100);
    map.SetCapacity(10);
    EXPECT_EQ(map.Capacity(), 128) << "capacity only grows";
}

TEST(GIFColorMap, BadIndicesWarnOrRaise)
{
    FakeGIFImage image;
    FakeGIFFrame frame;
    frame.Owner = &image;
    gif::TGIFLocalColorMap map(&frame);
    try {
        map.Colors(0);
        FAIL();
    } catch (const gif::GIFException &e) {
        EXPECT_STREQ(e.what(), "Color table is empty");
    }
    EXPECT_EQ(image.Warnings, (std::vector<std::string>{"Invalid color index"}));

    map.Add(RGBColor(5, 6, 7));
    map.Add(RGBColor(8, 9, 10));
    EXPECT_EQ(map.Colors(1), RGBColor(8, 9, 10));
    EXPECT_EQ(map.Colors(7), RGBColor(5, 6, 7)) << "a bad index reads entry 0";
    EXPECT_EQ(image.Warnings.size(), 2u);
    EXPECT_THROW(map.Delete(2), gif::GIFException);
    map.Delete(0);
    EXPECT_EQ(map.Colors(0), RGBColor(8, 9, 10));
}

TEST(GIFColorMap, IndexOfSearchesFromTheMostLikelyEnd)
{
    gif::TGIFLocalColorMap map(nullptr);
    map.Add(RGBColor(1, 1, 1));
    map.Add(RGBColor(2, 2, 2));
    map.Add(RGBColor(1, 1, 1));
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(3, 3, 3)), 3);
    map.SetOptimized(true);
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 0);
    EXPECT_EQ(map.IndexOf(RGBColor(9, 9, 9)), -1);
}

TEST(GIFColorMap, ImportsAndExports)
{
    gif::TGIFLocalColorMap map(nullptr);
    const std::uint8_t bgrx[] = {3, 2, 1, 0, 30, 20, 10, 0};
    map.ImportColorTable(bgrx, 2);
    EXPECT_EQ(map.Colors(0), RGBColor(1, 2, 3));
    EXPECT_EQ(map.Colors(1), RGBColor(10, 20, 30));

    const gif::TGIFPalette palette = map.ExportPalette();
    ASSERT_EQ(palette.size(), 2u);
    EXPECT_EQ(palette[1], (gif::TPaletteEntry{10, 20, 30, gif::PC_NOCOLLAPSE}));

    map.ImportPalette({{200, 100, 50, 0}});
    EXPECT_EQ(map.Count(), 1);
    EXPECT_EQ(map.Colors(0), RGBColor(200, 100, 50));

    QImage indexed(1, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(9, 8, 7), qRgb(6, 5, 4), qRgb(3, 2, 1)});
    map.ImportDIBColors(indexed);
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.Colors(2), RGBColor(3, 2, 1));

    map.ImportPalette({});
    EXPECT_EQ(map.Count(), 0);
    EXPECT_TRUE(map.ExportPalette().empty());

    gif::TGIFLocalColorMap copy(nullptr);
    map.Add(RGBColor(4, 4, 4));
    copy.Assign(&map);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.Colors(0), RGBColor(4, 4, 4));
    gif::TGIFHeader header(nullptr);
    EXPECT_THROW(copy.Assign(&header), gif::EConvertError);
}

TEST(GIFColorMap, OptimizeOrdersByUseAndDropsUnusedColours)
{
    FakeGIFImage image;
    FakeGIFFrame frame;
    frame.Owner = &image;
    gif::TGIFLocalColorMap map(&frame);
    for (int i = 0; i < 5; ++i)
        map.Add(RGBColor(i * 10, 0, 0));
    // Colour 2 is used most, then 0, then 1; 3 and 4 never.
    frame.Pixels = {2, 2, 2, 0, 0, 1, 2, 0, 2};
    EXPECT_TRUE(map.Optimize());
    EXPECT_TRUE(map.Optimized());
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.Colors(0), RGBColor(20, 0, 0));
    EXPECT_EQ(map.Colors(1), RGBColor(0, 0, 0));
    EXPECT_EQ(map.Colors(2), RGBColor(10, 0, 0));
    EXPECT_EQ(frame.Pixels, (Bytes{0, 0, 0, 1, 1, 2, 0, 1, 0}));

    // Already in order: nothing moves.
    EXPECT_TRUE(map.Optimize());
    EXPECT_EQ(frame.Pixels, (Bytes{0, 0, 0, 1, 1, 2, 0, 1, 0}));

    gif::TGIFLocalColorMap single(&frame);
    single.Add(RGBColor(1, 1, 1));
    EXPECT_FALSE(single.Optimize());
}

TEST(GIFColorMap, GlobalTableOptimisesOnlyWithFrames)
{
    FakeGIFImage image;
    gif::TGIFHeader header(&image);
    auto &map = header.ColorMap();
    map.Add(RGBColor(1, 0, 0));
    map.Add(RGBColor(2, 0, 0));
    image.GlobalPixels = {1, 1, 0};
    image.Frames = 0;
    EXPECT_FALSE(map.Optimize());
    image.Frames = 1;
    EXPECT_TRUE(map.Optimize());
    EXPECT_EQ(map.Colors(0), RGBColor(2, 0, 0));
    EXPECT_EQ(image.GlobalPixels, (Bytes{0, 0, 1}));
}
