// The run-length encoder: which codes it sends for runs, when it clears, and that any
// decoder following the format reads what it sends.
#include "gif_test_util.h"

#include <gtest/gtest.h>

using namespace giftest;

TEST(RLEEncoder, RunOfOneColourUsesCodesForGrowingRuns)
{
    // 100 pixels of colour 9, 8 bits: clear, the pixel, then runs of 2..13 pixels
    // (codes 258..269) make 91; the 9 left go as the run-of-9 code 265; then the end code.
    std::vector<Code> expected{{256, 9}, {9, 9}};
    for (int code = 258; code <= 269; ++code)
        expected.push_back({code, 9});
    expected.push_back({265, 9});
    expected.push_back({257, 9});
    EXPECT_EQ(Encode(Coder::RLE, Bytes(100, 9), 100, 1, 8), Raster(8, PackCodes(expected)));
}

TEST(RLEEncoder, PixelsWithoutEqualNeighboursAreLiteralsWithRegularClears)
{
    // One literal per pixel; a clear code after every 9 codes for small tables (code size 2
    // or 3), else after one code fewer than the roots, so the decoder's table never grows far.
    const struct {
        int Bits, ClearEvery;
    } cases[] = {{1, 9}, {2, 9}, {3, 9}, {4, 14}, {8, 254}};
    for (const auto &c : cases) {
        Bytes pixels;
        for (int i = 0; i < 2000; ++i)
            pixels.push_back(std::uint8_t(i % (1 << c.Bits)));
        const Bytes raster = Encode(Coder::RLE, pixels, 2000, 1, c.Bits);
        const int clear = 1 << std::max(c.Bits, 2);
        int sinceClear = -1;
        std::size_t literals = 0;
        for (const Code &code : ReadCodes(raster)) {
            if (code.Value == clear) {
                if (sinceClear >= 0) {
                    EXPECT_EQ(sinceClear, c.ClearEvery) << "bits " << c.Bits;
                }
                sinceClear = 0;
            } else if (code.Value != clear + 1) {
                EXPECT_LT(code.Value, clear) << "bits " << c.Bits;
                ++literals;
                ++sinceClear;
            }
        }
        EXPECT_EQ(literals, pixels.size());
    }
}

TEST(RLEEncoder, LongRunsAcrossManyTablesDecode)
{
    // Runs long enough to fill the decoder's table several times, between short ones.
    Bytes pixels;
    for (int run : {1, 2, 3, 100000, 1, 7, 5000000, 2, 8400000, 1})
        pixels.insert(pixels.end(), std::size_t(run), std::uint8_t(pixels.size() % 3));
    pixels.resize(4000 * 3500, 1);
    const Bytes raster = Encode(Coder::RLE, pixels, 4000, 3500, 2);
    for (const Code &c : ReadCodes(raster))
        ASSERT_LE(c.Width, 12);
    EXPECT_EQ(Decode(raster, 4000, 3500).Pixels, pixels);
}
