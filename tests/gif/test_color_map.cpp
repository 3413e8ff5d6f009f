// Colour tables: growth, limits, lookups, stream form and the ordering by use.
#include "gif_test_util.h"

#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_sub_image.h"

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

TEST(GIFColorMap, WritesTriplesPaddedWithBlackToAPowerOfTwoAndHoldsAtMost256)
{
    gif::TGIFLocalColorMap map(nullptr);
    EXPECT_TRUE(Saved(map).empty());
    map.Add(RGBColor(1, 2, 3));
    EXPECT_EQ(Saved(map), (Bytes{1, 2, 3, 0, 0, 0}));
    for (int i = 1; i < 5; ++i)
        map.Add(RGBColor(10 * i, 10 * i + 1, 10 * i + 2));
    EXPECT_EQ(Saved(map), (Bytes{1, 2, 3, 10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(map.BitsPerPixel(), 3);
    for (int i = 5; i < 256; ++i)
        map.Add(RGBColor(i, 0, 0));
    EXPECT_EQ(ErrorOf([&] { map.Add(RGBColor(1, 1, 1)); }), "Color table overflow");
    EXPECT_EQ(map.Count(), 256);
    EXPECT_EQ(map.BitsPerPixel(), 8);
    // A table read from a stream is held to the same limit rather than overrun.
    gif::TMemoryStream stream(Bytes(3 * 300, 7)), shortStream(Bytes(3 * 4 - 1, 7));
    EXPECT_EQ(ErrorOf([&] { map.LoadFromStream(stream, 300); }), "Color table overflow");
    EXPECT_EQ(ErrorOf([&] { map.LoadFromStream(shortStream, 4); }), "Premature end of data");
}

TEST(GIFColorMap, LookupsAndBadIndices)
{
    gif::TGIFImage image;
    std::vector<std::string> warnings;
    image.OnWarning = [&](int, const std::string &m) { warnings.push_back(m); };
    gif::TGIFSubImage frame(&image);
    gif::TGIFLocalColorMap &map = frame.ColorMap();
    EXPECT_EQ(ErrorOf([&] { map.Colors(0); }), "Color table is empty");
    for (int c : {1, 2, 1})
        map.Add(RGBColor(c, c, c));
    EXPECT_EQ(map.Colors(1), RGBColor(2, 2, 2));
    EXPECT_EQ(map.Colors(7), RGBColor(1, 1, 1)) << "a bad index reads entry 0";
    EXPECT_EQ(warnings, (std::vector<std::string>{"Invalid color index", "Invalid color index"}));
    // Unsorted tables are searched from the end, sorted ones from the start.
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(1, 1, 1)), 2);
    EXPECT_EQ(map.AddUnique(RGBColor(3, 3, 3)), 3);
    map.SetOptimized(true);
    EXPECT_EQ(map.IndexOf(RGBColor(1, 1, 1)), 0);
    EXPECT_EQ(map.IndexOf(RGBColor(9, 9, 9)), -1);
    EXPECT_EQ(ErrorOf([&] { map.Delete(4); }), "Invalid color index");
    map.Delete(0);
    EXPECT_EQ(map.Colors(0), RGBColor(2, 2, 2));
    EXPECT_FALSE(map.Optimized());
}

TEST(GIFColorMap, OptimizeOrdersByUseAndDropsUnusedColours)
{
    gif::TGIFImage image;
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    gif::TGIFLocalColorMap &map = frame->ColorMap();
    for (int i = 0; i < 5; ++i)
        map.Add(RGBColor(i * 10, 0, 0));
    // Colour 2 is used most, then 0, then 1; 3 and 4 never.
    frame->SetBounds(0, 0, 9, 1);
    const Bytes pixels{2, 2, 2, 0, 0, 1, 2, 0, 2};
    std::copy(pixels.begin(), pixels.end(), frame->ScanLine(0));
    EXPECT_TRUE(map.Optimize());
    EXPECT_TRUE(map.Optimized());
    EXPECT_EQ(Saved(map), (Bytes{20, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Bytes(frame->Data(), frame->Data() + 9), (Bytes{0, 0, 0, 1, 1, 2, 0, 1, 0}));
    gif::TGIFLocalColorMap single(frame.get());
    single.Add(RGBColor(1, 1, 1));
    EXPECT_FALSE(single.Optimize());
    // The global table orders the pixels of the frames using it, and only when there are any.
    gif::TGIFGlobalColorMap &global = image.GlobalColorMap();
    global.Add(RGBColor(1, 0, 0));
    global.Add(RGBColor(2, 0, 0));
    EXPECT_FALSE(global.Optimize());
    map.Clear();
    const Bytes globalPixels{1, 1, 1, 0, 0, 1, 1, 0, 1};
    std::copy(globalPixels.begin(), globalPixels.end(), frame->ScanLine(0));
    image.Add(std::move(frame));
    EXPECT_TRUE(global.Optimize());
    EXPECT_EQ(global.Colors(0), RGBColor(2, 0, 0));
    EXPECT_EQ(Bytes(image.Frame(0)->Data(), image.Frame(0)->Data() + 9), (Bytes{0, 0, 0, 1, 1, 0, 0, 1, 0}));
}
