// Colour tables: growth, limits, lookups, stream form, imports and the ordering by use.
#include "fake_gif_image.h"
#include "gif_test_util.h"

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
    Bytes five{1, 2, 3, 10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
    five.resize(8 * 3, 0);
    EXPECT_EQ(Saved(map), five);
    EXPECT_EQ(map.BitsPerPixel(), 3);
}

TEST(GIFColorMap, HoldsAtMost256Colours)
{
    gif::TGIFLocalColorMap map(nullptr);
    for (int i = 0; i < 256; ++i)
        map.Add(RGBColor(i, 0, 0));
    ExpectGIFError([&] { map.Add(RGBColor(1, 1, 1)); }, "Color table overflow");
    EXPECT_EQ(map.Count(), 256);
    EXPECT_EQ(map.BitsPerPixel(), 8);

    // A table read from a stream is held to the same limit rather than overrun.
    gif::TMemoryStream stream(Bytes(3 * 300, 7));
    ExpectGIFError([&] { map.LoadFromStream(stream, 300); }, "Color table overflow");
    gif::TMemoryStream shortStream(Bytes(3 * 4 - 1, 7));
    ExpectGIFError([&] { map.LoadFromStream(shortStream, 4); }, "Premature end of data");

    const struct {
        int Size, Capacity;
    } steps[] = {{1, 16}, {16, 16}, {17, 32}, {33, 64}, {250, 256}, {256, 256}, {300, 256}};
    for (const auto &c : steps) {
        gif::TGIFLocalColorMap sized(nullptr);
        sized.SetCapacity(c.Size);
        EXPECT_EQ(sized.Capacity(), c.Capacity) << c.Size;
        sized.SetCapacity(10);
        EXPECT_EQ(sized.Capacity(), c.Capacity) << "capacity only grows";
    }
}

TEST(GIFColorMap, LookupsAndBadIndices)
{
    FakeGIFImage image;
    FakeGIFFrame frame;
    frame.Owner = &image;
    gif::TGIFLocalColorMap map(&frame);
    ExpectGIFError([&] { map.Colors(0); }, "Color table is empty");
    EXPECT_EQ(image.Warnings, (std::vector<std::string>{"Invalid color index"}));

    map.Add(RGBColor(1, 1, 1));
    map.Add(RGBColor(2, 2, 2));
    map.Add(RGBColor(1, 1, 1));
    EXPECT_EQ(map.Colors(1), RGBColor(2, 2, 2));
    EXPECT_EQ(map.Colors(7), RGBColor(1, 1, 1)) << "a bad index reads entry 0";
    EXPECT_EQ(image.Warnings.size(), 2u);

    // Unsorted tables are searched from the end, sorted ones from the start.
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(3, 3, 3)), 3);
    map.SetOptimized(true);
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 0);
    EXPECT_EQ(map.IndexOf(RGBColor(9, 9, 9)), -1);

    ExpectGIFError([&] { map.Delete(4); }, "Invalid color index");
    map.Delete(0);
    EXPECT_EQ(map.Colors(0), RGBColor(2, 2, 2));
    EXPECT_FALSE(map.Optimized());
}

TEST(GIFColorMap, ImportsAndExportsTellTheFrame)
{
    FakeGIFFrame frame;
    gif::TGIFLocalColorMap map(&frame);
    const std::uint8_t bgrx[] = {3, 2, 1, 0, 30, 20, 10, 0};
    map.ImportColorTable(bgrx, 2);
    EXPECT_EQ(Saved(map), (Bytes{1, 2, 3, 10, 20, 30}));
    EXPECT_EQ(map.ExportPalette(), (gif::TGIFPalette{{1, 2, 3, gif::PC_NOCOLLAPSE}, {10, 20, 30, gif::PC_NOCOLLAPSE}}));
    map.ImportPalette({{200, 100, 50, 0}});
    EXPECT_EQ(Saved(map), (Bytes{200, 100, 50, 0, 0, 0}));
    EXPECT_EQ(frame.ChangeCount, 2);

    QImage indexed(1, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(9, 8, 7), qRgb(6, 5, 4), qRgb(3, 2, 1)});
    map.ImportDIBColors(indexed);
    EXPECT_EQ(Saved(map), (Bytes{9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0}));
    EXPECT_EQ(frame.ChangeCount, 4) << "the import and the DIB colours each tell";

    // Nothing imported: an empty table, and no change reported.
    map.ImportPalette({});
    map.ImportColorTable(bgrx, 0);
    EXPECT_EQ(map.Count(), 0);
    EXPECT_TRUE(map.ExportPalette().empty());
    EXPECT_EQ(frame.ChangeCount, 4);

    gif::TGIFLocalColorMap copy(nullptr);
    map.Add(RGBColor(4, 4, 4));
    copy.Assign(&map);
    EXPECT_EQ(Saved(copy), (Bytes{4, 4, 4, 0, 0, 0}));
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
    EXPECT_EQ(Saved(map), (Bytes{20, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0}));
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(frame.Pixels, (Bytes{0, 0, 0, 1, 1, 2, 0, 1, 0}));

    // Already in order: nothing moves.
    EXPECT_TRUE(map.Optimize());
    EXPECT_EQ(frame.Pixels, (Bytes{0, 0, 0, 1, 1, 2, 0, 1, 0}));

    gif::TGIFLocalColorMap single(&frame);
    single.Add(RGBColor(1, 1, 1));
    EXPECT_FALSE(single.Optimize());

    // The global table orders the pixels of the frames using it, and only when there are any.
    gif::TGIFHeader header(&image);
    auto &global = header.ColorMap();
    global.Add(RGBColor(1, 0, 0));
    global.Add(RGBColor(2, 0, 0));
    image.GlobalPixels = {1, 1, 0};
    image.Frames = 0;
    EXPECT_FALSE(global.Optimize());
    image.Frames = 1;
    EXPECT_TRUE(global.Optimize());
    EXPECT_EQ(global.Colors(0), RGBColor(2, 0, 0));
    EXPECT_EQ(image.GlobalPixels, (Bytes{0, 0, 1}));
}
