// The LZW encoder against byte vectors worked out by hand from the format and the encoder's
// rules: when the width grows, when the table is cleared, how pixels are walked.
#include "gif_test_util.h"

#include "canvas/gif/gif_exception.h"

#include <gtest/gtest.h>

using namespace giftest;

TEST(LZWEncoder, OnePixelFrameOfEachColour)
{
    // Clear code, the pixel and the end code, three 3-bit codes in two bytes (min size 2).
    const struct {
        int Bits;
        std::uint8_t Pixel;
        Bytes Expected;
    } cases[] = {
        {1, 0, {0x02, 0x02, 0x44, 0x01, 0x00}},
        {1, 1, {0x02, 0x02, 0x4C, 0x01, 0x00}},
        {2, 2, {0x02, 0x02, 0x54, 0x01, 0x00}},
        {2, 3, {0x02, 0x02, 0x5C, 0x01, 0x00}},
        // Eight bits: 9-bit codes 256, pixel, 257 in 27 bits.
        {8, 0, {0x08, 0x04, 0x00, 0x01, 0x04, 0x04, 0x00}},
        {8, 1, {0x08, 0x04, 0x00, 0x03, 0x04, 0x04, 0x00}},
        {8, 255, {0x08, 0x04, 0x00, 0xFF, 0x05, 0x04, 0x00}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Encode(Coder::LZW, {c.Pixel}, 1, 1, c.Bits), c.Expected)
            << "bits " << c.Bits << " pixel " << int(c.Pixel);
        // The run-length encoder sends a lone pixel the same way.
        EXPECT_EQ(Encode(Coder::RLE, {c.Pixel}, 1, 1, c.Bits), c.Expected)
            << "RLE bits " << c.Bits << " pixel " << int(c.Pixel);
    }
}

TEST(LZWEncoder, FrameWithoutPixelsWritesOnlyTheEndCode)
{
    const Bytes endOnly2{0x02, 0x01, 0x05, 0x00};
    const Bytes endOnly8{0x08, 0x02, 0x01, 0x01, 0x00};
    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        EXPECT_EQ(Encode(coder, {}, 5, 5, 2), endOnly2);      // no pixel buffer
        EXPECT_EQ(Encode(coder, {1, 2, 3}, 0, 3, 2), endOnly2);  // no width
        EXPECT_EQ(Encode(coder, {1, 2, 3}, 3, 0, 2), endOnly2);  // no height
        EXPECT_EQ(Encode(coder, {}, 5, 5, 8), endOnly8);
    }
}

TEST(LZWEncoder, RunOfOneColourBuildsLongerStrings)
{
    // Ten pixels of colour 0: clear, 0, "00", "000", then "0000" after the width grew to 4.
    const Bytes expected = Raster(2, PackCodes({{4, 3}, {0, 3}, {6, 3}, {7, 3}, {8, 4}, {5, 4}}));
    EXPECT_EQ(expected, (Bytes{0x02, 0x03, 0x84, 0x8F, 0x05, 0x00}));
    EXPECT_EQ(Encode(Coder::LZW, Bytes(10, 0), 10, 1, 2), expected);
}

TEST(LZWEncoder, LongRunStaysWithinTwelveBitsAndDecodes)
{
    const Bytes pixels(2'000'000, 7);
    const Bytes raster = Encode(Coder::LZW, pixels, 2000, 1000, 4);
    const CodeStream codes = ReadCodes(raster);
    ASSERT_TRUE(codes.Terminated);
    for (const Code &c : codes.Codes)
        EXPECT_LE(c.Width, 12);
    EXPECT_EQ(codes.Codes.back().Value, 17);  // end code
    EXPECT_EQ(Decode(raster, 2000, 1000).Pixels, pixels);
}

TEST(LZWEncoder, TableIsClearedWhenTheNextCodeWouldBe4095)
{
    // With no pair of neighbours repeated every pixel leaves as its own code and adds one
    // string: entries 258..4094 are made, the code after the 3838th literal is a clear
    // code instead of entry 4095, and the next table starts over at 9 bits.
    const Bytes pixels = NoRepeatedPairs(256, 10000);
    ASSERT_EQ(pixels.size(), 10000u);

    std::vector<Code> expected{{256, 9}};
    int width = 9;
    int next = 258;
    bool first = true;
    for (std::uint8_t p : pixels) {
        expected.push_back({p, width});
        if (!first) {
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        first = false;
        if (next == 4095) {
            // The literal that would have made entry 4095 is followed by a clear code.
            expected.push_back({256, width});
            width = 9;
            next = 258;
            first = true;
        }
    }
    expected.push_back({257, width});

    const Bytes raster = Encode(Coder::LZW, pixels, 100, 100, 8);
    EXPECT_EQ(raster, Raster(8, PackCodes(expected)));

    const CodeStream codes = ReadCodes(raster);
    ASSERT_GT(codes.Codes.size(), 3840u);
    EXPECT_EQ(codes.Codes[3839].Value, 256);  // right after the 3838th literal
    EXPECT_EQ(codes.Codes[3839].Width, 12);
    EXPECT_EQ(codes.Codes[3840].Width, 9);
    EXPECT_EQ(Decode(raster, 100, 100).Pixels, pixels);
}

TEST(LZWEncoder, SubBlocksCarry255BytesAndNoEmptyBlockFollows)
{
    // 224 literals at 9 bits plus clear and end code are 2034 bits: 255 bytes. One more
    // literal makes 2043 bits: 256 bytes.
    for (int literals : {224, 225}) {
        const Bytes pixels = NoRepeatedPairs(256, std::size_t(literals));
        const Bytes raster = Encode(Coder::LZW, pixels, literals, 1, 8);
        if (literals == 224) {
            ASSERT_EQ(raster.size(), 1u + 1 + 255 + 1);
            EXPECT_EQ(raster[1], 255);
            EXPECT_EQ(raster.back(), 0);
        } else {
            ASSERT_EQ(raster.size(), 1u + 1 + 255 + 1 + 1 + 1);
            EXPECT_EQ(raster[1], 255);
            EXPECT_EQ(raster[257], 1);
            EXPECT_EQ(raster.back(), 0);
        }
        EXPECT_EQ(Decode(raster, literals, 1).Pixels, pixels);
    }
}

TEST(LZWEncoder, InterlacedFramesSendRowsInPassOrder)
{
    // Height 3, one pixel per row holding its row number: rows go out as 0, 2, 1.
    EXPECT_EQ(Encode(Coder::LZW, {0, 1, 2}, 1, 3, 2, true),
              Raster(2, PackCodes({{4, 3}, {0, 3}, {2, 3}, {1, 3}, {5, 4}})));

    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
            const int width = 3;
            Bytes pixels;
            for (int r = 0; r < height; ++r)
                for (int x = 0; x < width; ++x)
                    pixels.push_back(std::uint8_t(r * 7 + x));
            const Bytes raster = Encode(coder, pixels, width, height, 8, true);
            // Read without de-interlacing, the rows come in the order of the passes.
            const Bytes sent = Decode(raster, width, height, false).Pixels;
            Bytes expected;
            for (int r : InterlaceOrder(height))
                expected.insert(expected.end(), pixels.begin() + r * width, pixels.begin() + (r + 1) * width);
            EXPECT_EQ(sent, expected) << "height " << height;
            EXPECT_EQ(Decode(raster, width, height, true).Pixels, pixels) << "height " << height;
        }
    }
}

TEST(LZWEncoder, PixelOutsideTheColourTableStopsTheFrame)
{
    std::mt19937 rng(5);
    Bytes pixels = RandomPixels(rng, 5000, 5);
    pixels[4000] = 5;  // the table holds 5 colours
    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        gif::TMemoryStream stream;
        try {
            if (coder == Coder::LZW)
                gif::TLZWEncoder().Encode(stream, 3, 5, pixels.data(), false, 50, 100);
            else
                gif::TRLEEncoder().Encode(stream, 3, 5, pixels.data(), false, 50, 100);
            FAIL() << "no exception";
        } catch (const gif::GIFException &e) {
            EXPECT_STREQ(e.what(), "Color not in color table");
        }
        // What was encoded left in whole sub-blocks, without end code or terminator.
        const Bytes &out = stream.Bytes();
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out[0], 3);
        std::size_t i = 1, last = 0;
        while (i < out.size()) {
            last = out[i];
            ASSERT_GT(last, 0u) << "terminator written";
            i += 1 + last;
        }
        EXPECT_EQ(i, out.size());
        EXPECT_LT(last, 255u);
    }
}

TEST(LZWEncoder, RefusesFramesTheFormatCannotDescribe)
{
    gif::TMemoryStream stream;
    const Bytes pixel{0};
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixel.data(), false, 1, 65536), gif::GIFException);
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixel.data(), false, 65536, 1), gif::GIFException);
    EXPECT_EQ(stream.Size(), 0) << "nothing may be written before the refusal";
}
