// The header block: what is written for the program's pictures, which version a header
// needs, and how it is read back.
#include "fake_gif_image.h"
#include "gif_test_util.h"

#include "canvas/gif/gif_header.h"
#include "canvas/gif/gif_io.h"

#include <gtest/gtest.h>

using namespace giftest;
using gif::RGBColor;

namespace {
Bytes Saved(gif::TGIFHeader &header)
{
    gif::TMemoryStream stream;
    header.SaveToStream(stream);
    return stream.TakeBytes();
}
}  // namespace

TEST(GIFHeader, WritesSignatureAndScreenDescriptor)
{
    FakeGIFImage image;
    gif::TGIFHeader header(&image);
    header.SetWidth(0x0123);
    header.SetHeight(0x4567);
    // No global table: signature, little-endian size, colour resolution 7, the image's
    // depth in the size field, nothing more.
    EXPECT_EQ(Saved(header), (Bytes{'G', 'I', 'F', '8', '7', 'a', 0x23, 0x01, 0x67, 0x45, 0x77, 0, 0}));
    image.FakeBitsPerPixel = 2;
    header.Prepare();
    EXPECT_EQ(header.PackedFields(), 0x71);

    // A global table of 3 colours: flag, size field for 4 entries, the padded table.
    header.ColorMap().Add(RGBColor(1, 2, 3));
    header.ColorMap().Add(RGBColor(4, 5, 6));
    header.ColorMap().Add(RGBColor(7, 8, 9));
    image.FakeColorResolution = 2;
    image.FakeVersion = gif::gv89a;
    EXPECT_EQ(Saved(header), (Bytes{'G', 'I', 'F', '8', '9', 'a', 0x23, 0x01, 0x67, 0x45, 0xA1, 0, 0,
                                    1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0}));

    // The size field follows the table written, not the frames' depth.
    image.FakeBitsPerPixel = 8;
    header.Prepare();
    EXPECT_EQ(header.PackedFields() & 7, 1);

    image.FakeVersion = gif::gvUnknown;
    ExpectGIFError([&] { Saved(header); }, "Unsupported GIF version");

    // An optimised global table or an aspect ratio needs GIF89a.
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
        EXPECT_EQ(header.Width(), 10);
        EXPECT_EQ(header.Height(), 20);
        EXPECT_EQ(header.BackgroundColorIndex(), 1);
        ASSERT_EQ(header.ColorMap().Count(), 2);
        EXPECT_EQ(header.BackgroundColor(), RGBColor(6, 5, 4));
        EXPECT_EQ(gif::ReadByte(stream), 0x2C);
    }
    const struct {
        Bytes Data;
        const char *Message;
    } bad[] = {
        {{'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}, "Invalid GIF signature"},
        {{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1}, "Premature end of data"},
        {{'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0x87, 0, 0, 1, 2, 3}, "Premature end of data"},
    };
    for (const auto &b : bad) {
        gif::TMemoryStream stream(b.Data);
        gif::TGIFHeader header(nullptr);
        ExpectGIFError([&] { header.LoadFromStream(stream); }, b.Message);
    }
}
