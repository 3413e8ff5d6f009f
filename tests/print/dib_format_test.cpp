// Reading BMP streams into packed DIBs, the validity test, core headers and
// run-length expansion.
#include "dib_builders.h"
#include "test_data.h"

#include "canvas/print/dib_format.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(DibFormat, ValidityOfInfoBlocksAndWideningOfCoreHeaders)
{
    for (const QStringList &c : readCases("print/dib_headers.txt")) {
        QByteArray block = QByteArray::fromHex(c[1].toLatin1());
        block.resize(c[2].toInt(), 0);
        const TByteSpan span(reinterpret_cast<const std::uint8_t *>(block.constData()), std::size_t(block.size()));
        EXPECT_EQ(IsValidDibInfo(span), c[3] == "1") << c[0].toStdString();
    }
    // A core header is widened, its colour triples becoming quads.
    std::vector<std::uint8_t> core = {12, 0, 0, 0, 33, 0, 5, 0, 1, 0, 1, 0, 1, 2, 3, 250, 251, 252};
    bool failed = true;
    const TDibBlock info = CopyDibInfo(TByteSpan(core.data(), core.size()), failed);
    EXPECT_FALSE(failed);
    ASSERT_EQ(info.Size(), 40u + 8u);
    const auto h = ReadDibHeader(TByteSpan(info.Data(), info.Size()));
    EXPECT_EQ(QList<int>({h->HeaderSize, h->Width, h->Height, int(h->SizeImage)}), QList<int>({40, 33, 5, 8 * 5}));
    const std::uint8_t quads[] = {1, 2, 3, 0, 250, 251, 252, 0};
    EXPECT_TRUE(std::equal(std::begin(quads), std::end(quads), info.Data() + 40));
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
    EXPECT_EQ(QSize(width, height), QSize(5, 4));
    EXPECT_EQ(ReadDibHeader(TByteSpan(info.Data(), info.Size()))->BitCount, 24);
    EXPECT_EQ(bits.Size(), 16u * 4); // rows of 15 bytes padded to 16
    EXPECT_EQ(DibToImage(TByteSpan(info.Data(), info.Size()), TByteSpan(bits.Data(), bits.Size())), image);

    // A 1 x 1 picture has 4 bytes of rows: below the 32-byte minimum.
    QImage tiny(1, 1, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    EXPECT_FALSE(BitmapToPackedDib(tiny, info, bits, width, height));
    EXPECT_TRUE(info.IsNull() && bits.IsNull());
    EXPECT_EQ(QSize(width, height), QSize(0, 0));
    EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
}

TEST(DibFormat, BmpStreamsAreCheckedBeforeAnythingIsRead)
{
    const TTestDib dib = MakeDib(16, 4, 8, [](int x, int y) { return std::uint32_t(x + y); });
    const std::uint32_t offset = std::uint32_t(14 + dib.Info.size()), end = offset + std::uint32_t(dib.Bits.size());
    // Signature, offset to the rows, bytes cut from the end; only the first is whole.
    const std::tuple<std::uint16_t, std::uint32_t, std::size_t> cases[] = {
        {19778, offset, 0}, {19779, offset, 0}, {19778, 14, 0}, {19778, end, 0}, {19778, offset, 1}, {19778, offset, end - 14}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto [magic, at, cut] = cases[i];
        std::vector<std::uint8_t> s(14, 0);
        Put16(s, 0, magic);
        Put32(s, 10, at);
        s.insert(s.end(), dib.Info.begin(), dib.Info.end());
        s.insert(s.end(), dib.Bits.begin(), dib.Bits.end());
        s.resize(s.size() - cut);
        TDibBlock info, bits;
        int width = 0, height = 0;
        const bool read = BmpStreamToPackedDib(TByteSpan(s.data(), s.size()), info, bits, width, height);
        EXPECT_EQ(read, i == 0) << i;
        EXPECT_TRUE(!read || (QSize(width, height) == QSize(16, 4) && std::equal(dib.Bits.begin(), dib.Bits.end(), bits.Data())));
    }
    EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
}

TEST(DibFormat, Rle8AndRle4ExpandWithSkippedPixelsInTheWhiteEntry)
{
    const int width = 6, height = 3;
    const std::int64_t row = DibRowSize(width, 8);
    for (const QStringList &c : readCases("print/rle8.txt")) {
        std::vector<std::uint8_t> rle;
        for (int v : caseInts(c[1]))
            rle.push_back(std::uint8_t(v));
        std::vector<std::uint8_t> out(std::size_t(row * height), 0xEE);
        const bool ok = ExpandRle(TByteSpan(rle.data(), rle.size()), false, 9, out.data(), width, height, row);
        EXPECT_EQ(ok, c[2] == "1") << c[0].toStdString();
        QStringList rows;
        for (int y = 0; ok && y < height; ++y) {
            rows << QString();
            for (int x = 0; x < width; ++x)
                rows.last() += out[std::size_t(y * row + x)] == 9 ? QChar('.') : QChar('0' + out[std::size_t(y * row + x)]);
        }
        EXPECT_EQ(rows.join('/'), c[3]) << c[0].toStdString();
    }

    const std::vector<std::uint8_t> rle = {5, 0x12, 0, 1};
    std::vector<std::uint8_t> out(4, 0);
    ASSERT_TRUE(ExpandRle(TByteSpan(rle.data(), rle.size()), true, 3, out.data(), 5, 1, 4));
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + 3), (std::vector<std::uint8_t>{0x12, 0x12, 0x13}))
        << "the fifth pixel, then the fill";

    TTestDib dib = MakeDib(4, 1, 4, [](int, int) { return 0u; });
    const TDibHeader header = *ReadDibHeader(dib.InfoSpan());
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 16), 0); // no white entry
    for (int i : {12, 7})
        std::fill_n(dib.Info.begin() + 40 + 4 * i, 3, 255);
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 16), 7);
    EXPECT_EQ(WhiteIndex(dib.InfoSpan(), header, 7), 0); // searched among the first 7 only
}
