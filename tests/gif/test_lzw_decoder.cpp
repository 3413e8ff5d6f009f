// The decoder on well-formed, short, oddly blocked and hostile data.
#include "gif_test_util.h"

using namespace giftest;

TEST(LZWDecoder, HandMadeData)
{
    const struct {
        const char *Name;
        Bytes Raster;
        int Width, Height;
        Bytes Pixels;      // fill value 3 where the data does not reach
        const char *Warning;
        Bytes Tail;        // the next block, which must be left unread
    } cases[] = {
        {"no leading clear code", Raster(2, PackCodes({{0, 3}, {1, 3}, {2, 3}, {5, 4}})), 3, 1, {0, 1, 2}, nullptr, {}},
        {"end code right after clear", Raster(2, PackCodes({{4, 3}, {5, 3}})), 2, 2, Bytes(4, 3), nullptr, {}},
        {"ends early", Encode(Coder::LZW, {1, 2}, 2, 1, 2), 2, 2, {1, 2, 3, 3}, nullptr, {0x3B}},
        // Codes left after the last pixel are skipped with their sub-blocks.
        {"codes after the last pixel", Raster(2, PackCodes({{4, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 4}, {5, 4}})), 2, 1,
         {1, 2}, nullptr, {0x2C}},
        // Codes that end on a byte boundary without an end code.
        {"no end code", Raster(2, PackCodes({{4, 3}, {1, 3}, {1, 3}, {1, 3}, {1, 4}})), 6, 1, {1, 1, 1, 1, 3, 3},
         "Decoder bit buffer under-run", {}},
        // A sub-block cut short: the pixels present, the fill value after them.
        {"length beyond the stream", {0x02, 200, 0x44, 0x01}, 1, 1, {0}, "Premature end of data", {}},
        {"cut inside a code", {0x02, 200, 0x8C}, 4, 1, {1, 3, 3, 3}, "Premature end of data", {}},
        {"no data at all", {}, 2, 2, Bytes(4, 3), nullptr, {}},
    };
    for (const auto &c : cases) {
        Bytes data = c.Raster;
        data.insert(data.end(), c.Tail.begin(), c.Tail.end());
        const Decoded d = Decode(data, c.Width, c.Height, false, 3);
        EXPECT_EQ(d.Pixels, c.Pixels) << c.Name;
        EXPECT_EQ(d.Warnings.empty(), !c.Warning) << c.Name;
        if (c.Warning)
            EXPECT_EQ(d.Warnings.front(), c.Warning) << c.Name;
        EXPECT_EQ(d.Position, std::int64_t(c.Raster.size())) << c.Name;
    }
}

TEST(LZWDecoder, TinySubBlocksDecodeLikeLargeOnes)
{
    std::mt19937 rng(11);
    for (int bits : {2, 5, 8}) {
        const Bytes pixels = RunPixels(rng, 300 * 40, 1 << bits);
        const Bytes raster = Encode(Coder::LZW, pixels, 300, 40, bits);
        // The same packed data cut into sub-blocks of 1 to 7 bytes.
        for (std::size_t block : {1u, 2u, 3u, 7u}) {
            Bytes data;
            Unblock(raster, data);
            const Bytes reblocked = Raster(bits, data, block);
            const Decoded d = Decode(reblocked, 300, 40);
            EXPECT_EQ(d.Pixels, pixels) << "bits " << bits << " blocks of " << block;
            EXPECT_EQ(d.Position, std::int64_t(reblocked.size()));
        }
    }
}

TEST(LZWDecoder, HostileDataEndsInAnError)
{
    const struct {
        Bytes Raster;
        int Width, Height;
        const char *Message;
    } cases[] = {
        {{0, 1, 0, 0}, 4, 4, "Invalid LZW code size"},
        {{1, 1, 0, 0}, 4, 4, "Invalid LZW code size"},
        {{9, 1, 0, 0}, 4, 4, "Invalid LZW code size"},
        {{255, 1, 0, 0}, 4, 4, "Invalid LZW code size"},
        // A code beyond the next free entry; a string code when the table holds only roots.
        {Raster(2, PackCodes({{4, 3}, {1, 3}, {7, 3}, {5, 3}})), 4, 1, "Decoder code out of range"},
        {Raster(2, PackCodes({{4, 3}, {6, 3}, {5, 3}})), 4, 1, "Decoder code out of range"},
        // The largest frame the format can name is too large to allocate.
        {Raster(2, {}), 65535, 65535, "Image too large to decode"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ErrorOf([&] { Decode(c.Raster, c.Width, c.Height); }), c.Message);
    Bytes pixels;
    gif::TMemoryStream stream(Raster(2, {}));
    EXPECT_THROW(gif::DecodeFrame(stream, 1000, 1000, false, 0, pixels, {}, 999'999), gif::GIFException);
}
