// The header block: its packed fields and table, the version it needs, and how it is read.
#include "gif_test_util.h"

#include "canvas/gif/gif_header.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_sub_image.h"
#include "canvas/gif/gif_io.h"

using namespace giftest;
using gif::RGBColor;

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
