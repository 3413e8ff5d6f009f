// Colour tables (growth, limits, lookups, stream form, ordering by use) and the header
// block that carries the global one.
#include "gif_test_util.h"

#include "canvas/gif/gif_header.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_io.h"
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

TEST(GIFHeader, GlobalTableSetsTheSizeFieldAndOptionsNeedGIF89a)
{
    // A frame of eight colours: resolution 2, three bits.
    gif::TGIFImage image;
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetBounds(0, 0, 0x0123, 0x4567);
    for (int i = 0; i < 8; ++i)
        frame->ColorMap().Add(RGBColor(i, i, i));
    image.Add(std::move(frame));
    gif::TGIFHeader &header = image.Header();
    for (int i = 0; i < 3; ++i)
        header.ColorMap().Add(RGBColor(3 * i + 1, 3 * i + 2, 3 * i + 3));
    // The flag, the resolution and a size field for the 4 entries written, not the frame's depth.
    gif::TMemoryStream stream;
    header.SaveToStream(stream);
    EXPECT_EQ(stream.Bytes(), (Bytes{'G', 'I', 'F', '8', '7', 'a', 0x23, 0x01, 0x67, 0x45, 0xA1, 0, 0,
                                     1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));
    EXPECT_EQ(header.GetVersion(), gif::gv87a);
    header.SetAspectRatio(49);
    EXPECT_EQ(header.GetVersion(), gif::gv89a);
    header.SetAspectRatio(0);
    header.ColorMap().SetOptimized(true);
    EXPECT_EQ(header.GetVersion(), gif::gv89a);
}

TEST(GIFHeader, ReadsBackWithOrWithoutALengthPrefix)
{
    // "gif" is accepted in any case, also after four bytes of something else.
    for (const Bytes &start : {Bytes{'G', 'I', 'F'}, Bytes{0x14, 0, 0, 0, 'g', 'i', 'F'}}) {
        Bytes data = start;
        data.insert(data.end(), {'8', '9', 'a', 10, 0, 20, 0, 0x80, 1, 0, 9, 8, 7, 6, 5, 4, 0x2C});
        gif::TMemoryStream stream(data);
        gif::TGIFHeader header(nullptr);
        header.LoadFromStream(stream);
        EXPECT_EQ(std::tuple(header.Width(), header.Height(), header.BackgroundColorIndex(), header.ColorMap().Count()),
                  std::tuple(10, 20, 1, 2));
        EXPECT_EQ(header.BackgroundColor(), RGBColor(6, 5, 4));
        EXPECT_EQ(gif::ReadByte(stream), 0x2C);
    }
    for (const Bytes &cut : {Bytes{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1}, Bytes{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x87, 0, 0, 1, 2, 3}}) {
        gif::TMemoryStream stream(cut);
        gif::TGIFHeader header(nullptr);
        EXPECT_EQ(ErrorOf([&] { header.LoadFromStream(stream); }), "Premature end of data");
    }
}
