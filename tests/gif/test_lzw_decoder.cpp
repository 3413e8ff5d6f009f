// The decoder on well-formed, short, oddly blocked and hostile data.
#include "gif_test_util.h"

#include "canvas/gif/gif_exception.h"

#include <gtest/gtest.h>

using namespace giftest;

namespace {

std::string DecodeError(const Bytes &raster, int width, int height)
{
    try {
        Decode(raster, width, height);
    } catch (const gif::GIFException &e) {
        return e.what();
    }
    return "";
}

// The same packed data cut into sub-blocks of another size.
Bytes Reblock(const Bytes &raster, std::size_t blockSize)
{
    Bytes packed;
    std::size_t i = 1;
    while (i < raster.size() && raster[i] != 0) {
        packed.insert(packed.end(), raster.begin() + std::ptrdiff_t(i + 1),
                      raster.begin() + std::ptrdiff_t(i + 1 + raster[i]));
        i += 1 + raster[i];
    }
    return Raster(raster[0], packed, blockSize);
}

}  // namespace

TEST(LZWDecoder, DataWithoutLeadingClearCodeDecodes)
{
    // Codes 0, 1, 2 and the end code, no clear code first.
    const Bytes raster = Raster(2, PackCodes({{0, 3}, {1, 3}, {2, 3}, {5, 4}}));
    const Decoded d = Decode(raster, 3, 1);
    EXPECT_EQ(d.Pixels, (Bytes{0, 1, 2}));
    EXPECT_TRUE(d.Warnings.empty());
}

TEST(LZWDecoder, InterlacedFramesStoreEveryRowOnce)
{
    for (int height : {1, 2, 3, 5, 6, 7, 8, 9, 16, 17}) {
        // Rows arrive in pass order; each row holds its own number.
        const int width = 2;
        Bytes sent;
        for (int r : InterlaceOrder(height))
            sent.insert(sent.end(), std::size_t(width), std::uint8_t(r));
        const Bytes raster = Encode(Coder::LZW, sent, width, height, 8, false);
        Bytes expected;
        for (int r = 0; r < height; ++r)
            expected.insert(expected.end(), std::size_t(width), std::uint8_t(r));
        EXPECT_EQ(Decode(raster, width, height, true).Pixels, expected) << "height " << height;
    }
}

TEST(LZWDecoder, TruncatedDataKeepsTheRowsPresentAndFillsTheRest)
{
    std::mt19937 rng(3);
    const Bytes pixels = RandomPixels(rng, 64 * 64, 16);
    const Bytes raster = Encode(Coder::LZW, pixels, 64, 64, 4);
    // Cut inside the second sub-block: its length byte promises more than is there.
    const Bytes cut(raster.begin(), raster.begin() + 400);
    const Decoded d = Decode(cut, 64, 64, false, 0xEE);
    ASSERT_EQ(d.Pixels.size(), pixels.size());
    // At least the first sub-block's pixels are right; the end is the fill value.
    std::size_t same = 0;
    while (same < pixels.size() && d.Pixels[same] == pixels[same])
        ++same;
    EXPECT_GT(same, 64u * 3);
    EXPECT_EQ(d.Pixels.back(), 0xEE);
    EXPECT_NE(std::find(d.Warnings.begin(), d.Warnings.end(), "Premature end of data"), d.Warnings.end());

    // Data whose codes end on a byte boundary without an end code: the pixels sent, the
    // fill value after them, and an under-run warning.
    const Bytes noEnd = Raster(2, PackCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}}));
    const Decoded e = Decode(noEnd, 6, 1, false, 3);
    EXPECT_EQ(e.Pixels, (Bytes{1, 1, 1, 1, 3, 3}));
    EXPECT_NE(std::find(e.Warnings.begin(), e.Warnings.end(), "Decoder bit buffer under-run"), e.Warnings.end());
    EXPECT_EQ(e.Position, std::int64_t(noEnd.size()));

    // No data at all: not even a code size.
    EXPECT_EQ(Decode({}, 2, 2, false, 7).Pixels, Bytes(4, 7));
}

TEST(LZWDecoder, TinySubBlocksDecodeLikeLargeOnes)
{
    std::mt19937 rng(11);
    for (int bits : {2, 5, 8}) {
        const Bytes pixels = RandomPixels(rng, 300 * 40, 1 << bits);
        const Bytes raster = Encode(Coder::LZW, pixels, 300, 40, bits);
        for (std::size_t block : {1u, 2u, 3u, 7u}) {
            const Bytes reblocked = Reblock(raster, block);
            const Decoded d = Decode(reblocked, 300, 40);
            EXPECT_EQ(d.Pixels, pixels) << "bits " << bits << " blocks of " << block;
            EXPECT_EQ(d.Position, std::int64_t(reblocked.size()));
        }
    }
}

TEST(LZWDecoder, StreamIsLeftAtTheNextBlock)
{
    // The frame's data ends early (1 x 2 pixels sent for a 2 x 2 frame): the end code
    // consumes the terminator and nothing after it.
    Bytes raster = Encode(Coder::LZW, {1, 2}, 2, 1, 2);
    const std::size_t end = raster.size();
    raster.push_back(0x3B);
    const Decoded early = Decode(raster, 2, 2);
    EXPECT_EQ(early.Pixels, (Bytes{1, 2, 0, 0}));
    EXPECT_EQ(early.Position, std::int64_t(end));

    // Codes left over after the last pixel, before the end code, are skipped with their
    // sub-blocks.
    Bytes extra = Raster(2, PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 4}, {5, 4}}));
    extra.push_back(0x2C);
    const Decoded over = Decode(extra, 2, 1);
    EXPECT_EQ(over.Pixels, (Bytes{1, 2}));
    EXPECT_EQ(over.Position, std::int64_t(extra.size() - 1));
}

TEST(LZWDecoder, HostileDataEndsInAnError)
{
    // Code sizes outside 2..8.
    for (int size : {0, 1, 9, 12, 255})
        EXPECT_EQ(DecodeError(Bytes{std::uint8_t(size), 1, 0, 0}, 4, 4), "Invalid LZW code size") << size;

    // A code beyond the next free entry.
    EXPECT_EQ(DecodeError(Raster(2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}})), 4, 1),
              "Decoder code out of range");
    // A string code right after a clear, when the table holds nothing but roots.
    EXPECT_EQ(DecodeError(Raster(2, PackCodes({{4, 3}, {6, 3}, {5, 3}})), 4, 1), "Decoder code out of range");

    // Frames too large to allocate, including the largest the format can name.
    EXPECT_EQ(DecodeError(Raster(2, {}), 65535, 65535), "Image too large to decode");
    Bytes pixels;
    gif::TMemoryStream stream(Raster(2, {}));
    EXPECT_THROW(gif::DecodeFrame(stream, 1000, 1000, false, 0, pixels, {}, 999'999), gif::GIFException);
}

TEST(LZWDecoder, EndCodeRightAfterClearEndsTheFrame)
{
    const Decoded d = Decode(Raster(2, PackCodes({{4, 3}, {5, 3}})), 2, 2, false, 1);
    EXPECT_EQ(d.Pixels, Bytes(4, 1));
    EXPECT_TRUE(d.Warnings.empty());
}

TEST(LZWDecoder, LengthByteBeyondTheStreamIsCutAndWarned)
{
    // One sub-block that says 200 bytes and has 2.
    const Bytes raster{0x02, 200, 0x44, 0x01};
    const Decoded d = Decode(raster, 1, 1, false, 3);
    EXPECT_EQ(d.Pixels, Bytes{0});
    EXPECT_NE(std::find(d.Warnings.begin(), d.Warnings.end(), "Premature end of data"), d.Warnings.end());
}
