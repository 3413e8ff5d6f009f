// Both encoders into the decoder, on random index pictures of every depth and many sizes.
#include "gif_test_util.h"

#include <gtest/gtest.h>

using namespace giftest;

class RoundTrip : public ::testing::TestWithParam<int>
{
};

TEST_P(RoundTrip, EveryPictureComesBackPixelForPixel)
{
    const int bits = GetParam();
    const int colors = 1 << bits;
    std::mt19937 rng(std::uint32_t(1000 + bits));
    const struct {
        int Width, Height;
    } sizes[] = {{1, 1}, {1, 9}, {9, 1}, {2, 2}, {3, 5}, {17, 33}, {255, 3}, {256, 256}, {640, 3}, {1000, 700}};
    for (const auto &size : sizes) {
        const std::size_t count = std::size_t(size.Width) * std::size_t(size.Height);
        const Bytes pictures[] = {RunPixels(rng, count, colors), RunPixels(rng, count, colors, 40),
                                  RunPixels(rng, count, std::min(colors, 3), 5000)};
        for (const Bytes &pixels : pictures) {
            for (Coder coder : {Coder::LZW, Coder::RLE}) {
                for (bool interlace : {false, true}) {
                    const Bytes raster = Encode(coder, pixels, size.Width, size.Height, bits, interlace);
                    const Decoded back = Decode(raster, size.Width, size.Height, interlace);
                    ASSERT_EQ(back.Pixels, pixels)
                        << (coder == Coder::LZW ? "LZW " : "RLE ") << size.Width << "x" << size.Height
                        << " bits " << bits << (interlace ? " interlaced" : "");
                    EXPECT_TRUE(back.Warnings.empty());
                    EXPECT_EQ(back.Position, std::int64_t(raster.size())) << "terminator not consumed";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Bits, RoundTrip, ::testing::Range(1, 9));
