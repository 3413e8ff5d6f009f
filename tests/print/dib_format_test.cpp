// Reading BMP streams into packed DIBs, the validity test, core headers and
// run-length expansion.
#include "dib_builders.h"

#include "canvas/print/dib_format.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

struct THeaderCase {
    const char *Name;
    int Size, Width, Height, Planes, Bits;
    std::uint32_t Compression, SizeImage;
    int InfoBytes; // bytes of the block given; 0 means header + masks + table
    bool Valid;
};

std::vector<std::uint8_t> Header(const THeaderCase &c)
{
    TDibHeader h;
    h.HeaderSize = c.Size;
    h.BitCount = c.Bits;
    h.Compression = c.Compression;
    const std::int64_t needed = c.Size == CoreHeaderSize
                                    ? c.Size + 3 * (c.Bits <= 8 ? (1 << c.Bits) : 0)
                                    : c.Size + (c.Compression == dcBitFields ? 12 : 0) + 4 * (c.Bits <= 8 ? (1 << c.Bits) : 0);
    std::vector<std::uint8_t> b(std::size_t(c.InfoBytes ? c.InfoBytes : needed), 0);
    Put32(b, 0, std::uint32_t(c.Size));
    if (c.Size == CoreHeaderSize) {
        Put16(b, 4, std::uint32_t(c.Width));
        Put16(b, 6, std::uint32_t(c.Height));
        Put16(b, 8, std::uint32_t(c.Planes));
        Put16(b, 10, std::uint32_t(c.Bits));
    } else if (b.size() >= 40) {
        Put32(b, 4, std::uint32_t(c.Width));
        Put32(b, 8, std::uint32_t(c.Height));
        Put16(b, 12, std::uint32_t(c.Planes));
        Put16(b, 14, std::uint32_t(c.Bits));
        Put32(b, 16, c.Compression);
        Put32(b, 20, c.SizeImage);
    }
    return b;
}

} // namespace

TEST(DibFormat, ValidityOfInfoBlocks)
{
    const THeaderCase cases[] = {
        {"core 8-bit", 12, 3, 2, 1, 8, 0, 0, 0, true},
        {"core 24-bit", 12, 3, 2, 1, 24, 0, 0, 0, true},
        {"core zero width", 12, 0, 2, 1, 8, 0, 0, 0, false},
        {"core two planes", 12, 3, 2, 2, 8, 0, 0, 0, false},
        {"core 16-bit", 12, 3, 2, 1, 16, 0, 0, 0, false},
        {"24-bit bottom-up, no table", 40, 3, 2, 1, 24, 0, 0, 0, true},
        {"top-down", 40, 3, -2, 1, 8, 0, 0, 0, true},
        {"width 0", 40, 0, 2, 1, 24, 0, 0, 0, false},
        {"negative width", 40, -3, 2, 1, 24, 0, 0, 0, false},
        {"height 0", 40, 3, 0, 1, 24, 0, 0, 0, false},
        {"2 bits", 40, 3, 2, 1, 2, 0, 0, 0, false},
        {"RLE8", 40, 3, 2, 1, 8, dcRle8, 10, 0, true},
        {"RLE8 without size", 40, 3, 2, 1, 8, dcRle8, 0, 0, false},
        {"RLE8 top-down", 40, 3, -2, 1, 8, dcRle8, 10, 0, false},
        {"RLE8 at 4 bits", 40, 3, 2, 1, 4, dcRle8, 10, 0, false},
        {"RLE4", 40, 3, 2, 1, 4, dcRle4, 10, 0, true},
        {"RLE4 at 8 bits", 40, 3, 2, 1, 8, dcRle4, 10, 0, false},
        {"bit fields 16", 40, 3, 2, 1, 16, dcBitFields, 0, 0, true},
        {"bit fields 32 top-down", 40, 3, -2, 1, 32, dcBitFields, 0, 0, true},
        {"bit fields 24", 40, 3, 2, 1, 24, dcBitFields, 0, 0, false},
        {"JPEG compression", 40, 3, 2, 1, 24, 4, 10, 0, false},
        {"table cut short", 40, 3, 2, 1, 8, 0, 0, 40 + 4 * 255, false},
        {"masks cut short", 40, 3, 2, 1, 32, dcBitFields, 0, 48, false},
        {"header cut short", 40, 3, 2, 1, 24, 0, 0, 39, false},
        {"unknown header size", 64, 3, 2, 1, 24, 0, 0, 64, false},
        {"rows beyond 32 bits", 40, 0x7FFFFFFF, 2, 1, 32, 0, 0, 0, false},
    };
    for (const THeaderCase &c : cases) {
        const auto block = Header(c);
        EXPECT_EQ(IsValidDibInfo(TByteSpan(block.data(), block.size())), c.Valid) << c.Name;
    }
}

TEST(DibFormat, BitmapsBecomePackedDibsAndTooSmallOnesFail)
{
    QImage image(5, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 60, 7));
    TDibBlock info, bits;
    int width = -1, height = -1;
    ASSERT_TRUE(BitmapToPackedDib(image, info, bits, width, height));
    EXPECT_EQ(width, 5);
    EXPECT_EQ(height, 4);
    const auto header = ReadDibHeader(TByteSpan(info.Data(), info.Size()));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->BitCount, 24);
    EXPECT_EQ(bits.Size(), 16u * 4); // rows of 15 bytes padded to 16
    const QImage back = DibToImage(TByteSpan(info.Data(), info.Size()), TByteSpan(bits.Data(), bits.Size()));
    EXPECT_EQ(back, image.convertToFormat(QImage::Format_RGB32));

    // A 1 x 1 picture has 4 bytes of rows: below the 32-byte minimum.
    QImage tiny(1, 1, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    EXPECT_FALSE(BitmapToPackedDib(tiny, info, bits, width, height));
    EXPECT_TRUE(info.IsNull());
    EXPECT_TRUE(bits.IsNull());
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
}

TEST(DibFormat, BmpStreamsAreCheckedBeforeAnythingIsRead)
{
    const TTestDib dib = MakeDib(16, 4, 8, [](int x, int y) { return std::uint32_t(x + y); });
    const auto stream = [&](std::uint16_t magic, std::uint32_t offset, std::size_t cut) {
        std::vector<std::uint8_t> s(14, 0);
        Put16(s, 0, magic);
        Put32(s, 10, offset);
        s.insert(s.end(), dib.Info.begin(), dib.Info.end());
        s.insert(s.end(), dib.Bits.begin(), dib.Bits.end());
        s.resize(s.size() - cut);
        return s;
    };
    const std::uint32_t offset = std::uint32_t(14 + dib.Info.size());
    struct {
        const char *Name;
        std::vector<std::uint8_t> Stream;
        bool Read;
    } cases[] = {
        {"whole", stream(19778, offset, 0), true},
        {"not BM", stream(19779, offset, 0), false},
        {"offset inside the file header", stream(19778, 14, 0), false},
        {"offset past the end", stream(19778, offset + std::uint32_t(dib.Bits.size()), 0), false},
        {"rows cut short", stream(19778, offset, 1), false},
        {"only the file header", stream(19778, offset, dib.Info.size() + dib.Bits.size()), false},
    };
    for (const auto &c : cases) {
        TDibBlock info, bits;
        int width = 0, height = 0;
        EXPECT_EQ(BmpStreamToPackedDib(TByteSpan(c.Stream.data(), c.Stream.size()), info, bits, width, height), c.Read)
            << c.Name;
        if (c.Read) {
            EXPECT_EQ(width, 16);
            EXPECT_EQ(height, 4);
            EXPECT_TRUE(std::equal(dib.Bits.begin(), dib.Bits.end(), bits.Data()));
        }
    }
    EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
}

TEST(DibFormat, CoreHeadersAreWidenedWithQuads)
{
    std::vector<std::uint8_t> core(12 + 3 * 2, 0);
    Put32(core, 0, 12);
    Put16(core, 4, 33);
    Put16(core, 6, 5);
    Put16(core, 8, 1);
    Put16(core, 10, 1);
    const std::uint8_t triples[] = {1, 2, 3, 250, 251, 252};
    std::copy(std::begin(triples), std::end(triples), core.begin() + 12);
    bool failed = true;
    const TDibBlock info = CopyDibInfo(TByteSpan(core.data(), core.size()), failed);
    EXPECT_FALSE(failed);
    ASSERT_EQ(info.Size(), 40u + 8u);
    const auto h = ReadDibHeader(TByteSpan(info.Data(), info.Size()));
    EXPECT_EQ(h->HeaderSize, 40);
    EXPECT_EQ(h->Width, 33);
    EXPECT_EQ(h->Height, 5);
    EXPECT_EQ(h->SizeImage, 8u * 5); // 33 bits padded to 8 bytes a row
    const std::uint8_t quads[] = {1, 2, 3, 0, 250, 251, 252, 0};
    EXPECT_TRUE(std::equal(std::begin(quads), std::end(quads), info.Data() + 40));
}

TEST(DibFormat, RunLengthImagesExpandWithSkippedPixelsWhite)
{
    const int width = 6, height = 3;
    const std::int64_t row = DibRowSize(width, 8);
    struct {
        const char *Name;
        std::vector<std::uint8_t> Rle;
        bool Ok;
        const char *Rows; // bottom row first, '.' for the fill index 9
    } cases[] = {
        {"runs and end of line", {3, 1, 2, 2, 0, 0, 1, 4, 0, 1}, true, "11122.|4.....|......"},
        {"literal padded to a word", {0, 3, 5, 6, 7, 0, 0, 1}, true, "567...|......|......"},
        {"delta skips right and up", {1, 1, 0, 2, 2, 1, 1, 3, 0, 1}, true, "1.....|...3..|......"},
        {"runs past the width are dropped", {9, 8, 0, 1}, true, "888888|......|......"},
        {"no end mark keeps what was read", {2, 4}, true, "44....|......|......"},
        {"cut inside a literal", {0, 4, 1, 2}, false, ""},
        {"cut inside a delta", {0, 2, 1}, false, ""},
    };
    for (const auto &c : cases) {
        std::vector<std::uint8_t> out(std::size_t(row * height), 0xEE);
        const bool ok = ExpandRle(TByteSpan(c.Rle.data(), c.Rle.size()), false, 9, out.data(), width, height, row);
        EXPECT_EQ(ok, c.Ok) << c.Name;
        if (!ok)
            continue;
        QString rows;
        for (int y = 0; y < height; ++y) {
            if (y)
                rows += '|';
            for (int x = 0; x < width; ++x) {
                const int v = out[std::size_t(y * row + x)];
                rows += v == 9 ? QChar('.') : QChar('0' + v);
            }
        }
        EXPECT_EQ(rows, QString(c.Rows)) << c.Name;
    }
}

TEST(DibFormat, Rle4NibblesAndTheWhiteEntry)
{
    const int width = 5;
    const std::int64_t row = DibRowSize(width, 4);
    const std::vector<std::uint8_t> rle = {5, 0x12, 0, 1};
    std::vector<std::uint8_t> out(std::size_t(row), 0);
    ASSERT_TRUE(ExpandRle(TByteSpan(rle.data(), rle.size()), true, 3, out.data(), width, 1, row));
    EXPECT_EQ(out[0], 0x12);
    EXPECT_EQ(out[1], 0x12);
    EXPECT_EQ(out[2], 0x13); // the fifth pixel, then the fill nibble

    TTestDib dib = MakeDib(4, 1, 4, [](int, int) { return 0u; });
    TDibHeader header = *ReadDibHeader(dib.InfoSpan());
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 16), 0); // no white entry
    for (int i : {12, 7}) {
        dib.Info[std::size_t(40 + 4 * i)] = dib.Info[std::size_t(41 + 4 * i)] = dib.Info[std::size_t(42 + 4 * i)] = 255;
    }
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 16), 7);
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 7), 0); // searched among the first 7 only
}
