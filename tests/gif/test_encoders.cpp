// The LZW and run-length encoders against codes worked out by hand from the format and the
// encoders' rules: when the width grows, when the table is cleared, and bad pixels.
#include "gif_test_util.h"

#include "canvas/gif/hash_table.h"

using namespace giftest;

TEST(GIFEncoders, SmallFramesByteForByte)
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
    for (const auto &c : cases)
        for (Coder coder : {Coder::LZW, Coder::RLE})  // both send these the same way
            EXPECT_EQ(Encode(coder, c.Pixels, c.Width, c.Height, c.Bits), c.Expected) << c.Width << "x" << c.Height << " " << c.Bits;
    // Ten pixels of colour 0: clear, 0, "00", "000", then "0000" after the width grew to 4.
    EXPECT_EQ(Encode(Coder::LZW, Bytes(10, 0), 10, 1, 2), (Bytes{0x02, 0x03, 0x84, 0x8F, 0x05, 0x00}));
    // Interlaced, one pixel per row holding its row number: rows go out 0, 2, 1.
    EXPECT_EQ(Encode(Coder::LZW, {0, 1, 2}, 1, 3, 2, true), Raster(2, PackCodes({{4, 3}, {0, 3}, {2, 3}, {1, 3}, {5, 4}})));
    // Run-length: 100 pixels of colour 9 go as clear, the pixel, the codes of runs of 2 to 13
    // (258..269) for 90 more, then the run-of-9 code 265 and the end code.
    std::vector<std::pair<int, int>> runs{{256, 9}, {9, 9}};
    for (int code = 258; code <= 269; ++code)
        runs.push_back({code, 9});
    runs.insert(runs.end(), {{265, 9}, {257, 9}});
    EXPECT_EQ(Encode(Coder::RLE, Bytes(100, 9), 100, 1, 8), Raster(8, PackCodes(runs)));
}

TEST(GIFEncoders, LZWTableIsClearedWhenTheNextCodeWouldBe4095)
{
    // With no pair of neighbours repeated every pixel leaves as its own code and adds one
    // string: entries 258..4094 are made, the literal that would make entry 4095 is
    // followed by a clear code, and the next table starts over at 9 bits.
    const Bytes pixels = NoRepeatedPairs(10000);
    std::vector<std::pair<int, int>> expected{{256, 9}};
    int width = 9, next = 258;
    for (std::size_t i = 0, sinceClear = 0; i < pixels.size(); ++i, ++sinceClear) {
        expected.push_back({pixels[i], width});
        if (sinceClear > 0 && ++next == (1 << width) && width < 12)
            ++width;
        if (next == 4095) {
            expected.push_back({256, width});
            width = 9, next = 258, sinceClear = -1;
        }
    }
    expected.push_back({257, width});
    ASSERT_EQ(expected[3839], std::pair(256, 12));  // right after the 3838th literal
    EXPECT_EQ(Encode(Coder::LZW, pixels, 100, 100, 8), Raster(8, PackCodes(expected)));
}

TEST(GIFEncoders, PixelOutsideTheColourTableStopsTheFrame)
{
    std::mt19937 rng(5);
    Bytes pixels = RunPixels(rng, 5000, 5);
    pixels[4000] = 5;  // the table holds 5 colours
    for (Coder coder : {Coder::LZW, Coder::RLE}) {
        gif::TMemoryStream stream;
        EXPECT_EQ(ErrorOf([&] { NewEncoder(coder)->Encode(stream, 3, 5, pixels.data(), false, 50, 100); }), "Color not in color table");
        // What was encoded left in whole sub-blocks, without end code or terminator.
        Bytes data;
        const std::vector<int> blocks = Unblock(stream.Bytes(), data);
        ASSERT_GE(blocks.size(), 1u);
        EXPECT_EQ(stream.Bytes()[0], 3);
        EXPECT_EQ(std::count(blocks.begin(), blocks.end(), 0), 0) << "terminator written";
        EXPECT_LT(blocks.back(), 255);
    }
    // Frames the format cannot describe are refused before a byte is written.
    gif::TMemoryStream stream;
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixels.data(), false, 1, 65536), gif::GIFException);
    EXPECT_THROW(gif::TLZWEncoder().Encode(stream, 8, 256, pixels.data(), false, 65536, 1), gif::GIFException);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(GIFEncoders, StringTableSurvivesAFullProbeCycle)
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
