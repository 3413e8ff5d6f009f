// The LZW encoder against byte vectors worked out by hand from the format and the encoder's
// rules: when the width grows, when the table is cleared, how pixels are walked.
#include "gif_test_util.h"

#include "canvas/gif/hash_table.h"

#include <gtest/gtest.h>

using namespace giftest;

TEST(LZWEncoder, SmallFramesByteForByte)
{
    const struct {
        Bytes Pixels;
        int Width, Height, Bits;
        Bytes Expected;
    } cases[] = {
        // Clear code, the pixel and the end code: three 3-bit codes in two bytes (size 2).
        {{0}, 1, 1, 1, {0x02, 0x02, 0x44, 0x01, 0x00}},
        {{3}, 1, 1, 2, {0x02, 0x02, 0x5C, 0x01, 0x00}},
        // Eight bits: 9-bit codes 256, pixel, 257 in 27 bits.
        {{0}, 1, 1, 8, {0x08, 0x04, 0x00, 0x01, 0x04, 0x04, 0x00}},
        {{255}, 1, 1, 8, {0x08, 0x04, 0x00, 0xFF, 0x05, 0x04, 0x00}},
        // No pixel buffer, no width, no height: only the end code.
        {{}, 5, 5, 2, {0x02, 0x01, 0x05, 0x00}},
        {{1, 2, 3}, 0, 3, 2, {0x02, 0x01, 0x05, 0x00}},
        {{1, 2, 3}, 3, 0, 2, {0x02, 0x01, 0x05, 0x00}},
        {{}, 5, 5, 8, {0x08, 0x02, 0x01, 0x01, 0x00}},
    };
    for (const auto &c : cases) {
        // The run-length encoder sends these the same way.
        for (Coder coder : {Coder::LZW, Coder::RLE})
            EXPECT_EQ(Encode(coder, c.Pixels, c.Width, c.Height, c.Bits), c.Expected)
                << c.Width << "x" << c.Height << " bits " << c.Bits;
    }
    // Ten pixels of colour 0: clear, 0, "00", "000", then "0000" after the width grew to 4.
    EXPECT_EQ(Encode(Coder::LZW, Bytes(10, 0), 10, 1, 2), (Bytes{0x02, 0x03, 0x84, 0x8F, 0x05, 0x00}));
    // Interlaced, height 3, one pixel per row holding its row number: rows go out 0, 2, 1.
    EXPECT_EQ(Encode(Coder::LZW, {0, 1, 2}, 1, 3, 2, true),
              Raster(2, PackCodes({{4, 3}, {0, 3}, {2, 3}, {1, 3}, {5, 4}})));
}

TEST(LZWEncoder, TableIsClearedWhenTheNextCodeWouldBe4095)
{
    // With no pair of neighbours repeated every pixel leaves as its own code and adds one
    // string: entries 258..4094 are made, the literal that would make entry 4095 is
    // followed by a clear code, and the next table starts over at 9 bits.
    const Bytes pixels = NoRepeatedPairs(10000);
    std::vector<Code> expected{{256, 9}};
    int width = 9, next = 258;
    bool first = true;
    for (std::uint8_t p : pixels) {
        expected.push_back({p, width});
        if (!first && ++next == (1 << width) && width < 12)
            ++width;
        first = false;
        if (next == 4095) {
            expected.push_back({256, width});
            width = 9;
            next = 258;
            first = true;
        }
    }
    expected.push_back({257, width});
    ASSERT_EQ(expected[3839].Value, 256);  // right after the 3838th literal, at 12 bits
    ASSERT_EQ(expected[3839].Width, 12);
    EXPECT_EQ(Encode(Coder::LZW, pixels, 100, 100, 8), Raster(8, PackCodes(expected)));
}

TEST(LZWEncoder, SubBlocksCarry255BytesAndNoEmptyBlockFollows)
{
    // 224 literals at 9 bits plus clear and end code are 2034 bits: 255 bytes. One more
    // literal makes 2043 bits: 256 bytes, sent as blocks of 255 and 1.
    const Bytes full = Encode(Coder::LZW, NoRepeatedPairs(224), 224, 1, 8);
    ASSERT_EQ(full.size(), 1u + 1 + 255 + 1);
    EXPECT_EQ(full[1], 255);
    const Bytes over = Encode(Coder::LZW, NoRepeatedPairs(225), 225, 1, 8);
    ASSERT_EQ(over.size(), 1u + 1 + 255 + 1 + 1 + 1);
    EXPECT_EQ(over[1], 255);
    EXPECT_EQ(over[257], 1);
    EXPECT_EQ(over.back(), 0);
}

TEST(LZWEncoder, InterlacedFramesSendRowsInPassOrder)
{
    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        for (int height : {1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17}) {
            const int width = 3;
            Bytes pixels;
            for (int i = 0; i < width * height; ++i)
                pixels.push_back(std::uint8_t(i / width * 7 + i % width));
            const Bytes raster = Encode(coder, pixels, width, height, 8, true);
            // Read without de-interlacing, the rows come in the order of the passes.
            Bytes expected;
            for (int r : InterlaceOrder(height))
                expected.insert(expected.end(), pixels.begin() + r * width, pixels.begin() + (r + 1) * width);
            EXPECT_EQ(Decode(raster, width, height, false).Pixels, expected) << "height " << height;
            EXPECT_EQ(Decode(raster, width, height, true).Pixels, pixels) << "height " << height;
        }
    }
}

TEST(LZWEncoder, PixelOutsideTheColourTableStopsTheFrame)
{
    std::mt19937 rng(5);
    Bytes pixels = RunPixels(rng, 5000, 5);
    pixels[4000] = 5;  // the table holds 5 colours
    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        gif::TMemoryStream stream;
        ExpectGIFError([&] { NewEncoder(coder)->Encode(stream, 3, 5, pixels.data(), false, 50, 100); },
                       "Color not in color table");
        // What was encoded left in whole sub-blocks, without end code or terminator.
        const Bytes &out = stream.Bytes();
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out[0], 3);
        std::size_t i = 1, last = 0;
        for (; i < out.size(); i += 1 + last)
            ASSERT_GT(last = out[i], 0u) << "terminator written";
        EXPECT_EQ(i, out.size());
        EXPECT_LT(last, 255u);
    }
    // Frames the format cannot describe are refused before a byte is written.
    gif::TMemoryStream stream;
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixels.data(), false, 1, 65536), gif::GIFException);
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixels.data(), false, 65536, 1), gif::GIFException);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(LZWEncoder, StringTableSurvivesAFullProbeCycle)
{
    // A probe doubles its slot modulo 8009, which walks a cycle of 4004 slots, while a
    // table of code size 2 holds 4089 strings: fill such a cycle, then ask for more.
    std::vector<bool> cycle(8009);
    for (int h = 1; !cycle[std::size_t(h)]; h = 2 * h % 8009)
        cycle[std::size_t(h)] = true;
    std::vector<std::uint32_t> keys;
    for (std::uint32_t k = 1; keys.size() < 4006; ++k)
        if (cycle[((k >> 4) ^ k) % 8009])
            keys.push_back(k);
    gif::THashTable table;
    for (std::size_t i = 0; i < 4005; ++i)
        table.Insert(keys[i], int(i));
    for (std::size_t i = 0; i < 4005; ++i)
        ASSERT_EQ(table.Lookup(keys[i]), int(i));
    EXPECT_EQ(table.Lookup(keys[4005]), -1);
    table.Clear();
    EXPECT_EQ(table.Lookup(keys[0]), -1);
}
