// Both encoders' output read back by our decoder and by decoders that owe nothing to ours,
// Pillow and ImageMagick, each raster wrapped in a GIF87a file put together here.
#include "gif_test_util.h"
#include "gif_tools.h"

#include <QFile>
#include <QTemporaryDir>

using namespace giftest;

namespace {

QRgb PaletteColour(int i)
{
    return qRgb((i * 37 + 11) & 255, (i * 91 + 3) & 255, 255 - i);
}

struct Case
{
    Coder Encoder;
    int Width, Height, Bits;
    bool Interlaced;
    Bytes Pixels;
};

void WriteFile(const QString &name, const Case &c, const Bytes &raster)
{
    const auto word = [](int v) { return Bytes{std::uint8_t(v), std::uint8_t(v >> 8)}; };
    Bytes file{'G', 'I', 'F', '8', '7', 'a'};
    for (const Bytes &part : {word(c.Width), word(c.Height), Bytes{std::uint8_t(0x80 | (c.Bits - 1) * 0x11), 0, 0}})
        file.insert(file.end(), part.begin(), part.end());
    for (int i = 0; i < (1 << c.Bits); ++i)
        file.insert(file.end(), {std::uint8_t(qRed(PaletteColour(i))), std::uint8_t(qGreen(PaletteColour(i))),
                                 std::uint8_t(qBlue(PaletteColour(i)))});
    for (const Bytes &part : {Bytes{0x2C, 0, 0, 0, 0}, word(c.Width), word(c.Height), Bytes{std::uint8_t(c.Interlaced ? 0x40 : 0)},
                              raster, Bytes{0x3B}})
        file.insert(file.end(), part.begin(), part.end());
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(file.data()), qint64(file.size()));
}

}  // namespace

TEST(Interop, OurDecoderPillowAndImageMagickShowThePixelsWeMeant)
{
    std::mt19937 rng(77);
    std::vector<Case> cases;
    for (int bits = 1; bits <= 8; ++bits)
        for (Coder coder : {Coder::LZW, Coder::RLE})
            for (const auto &[w, h] : {std::pair(1, 1), std::pair(1, 9), std::pair(9, 1), std::pair(3, 5), std::pair(255, 3),
                                       std::pair(97, 61)})
                for (int maxRun : {1, 30})  // every pixel drawn anew, or runs as flat areas have
                    for (bool interlaced : {false, true})
                        cases.push_back({coder, w, h, bits, interlaced, RunPixels(rng, std::size_t(w * h), 1 << bits, maxRun)});
    cases.push_back({Coder::LZW, 600, 500, 8, true, RunPixels(rng, 300000, 256, 200)});
    cases.push_back({Coder::RLE, 600, 500, 4, false, RunPixels(rng, 300000, 3, 5000)});
    cases.push_back({Coder::LZW, 250, 40, 8, false, NoRepeatedPairs(10000)});  // table cleared twice
    const bool readers = giftools::HaveReaders();
    QTemporaryDir dir;
    for (const Case &c : cases) {
        const std::string name = (c.Encoder == Coder::LZW ? "LZW " : "RLE ") + std::to_string(c.Width) + "x"
                                 + std::to_string(c.Height) + " bits " + std::to_string(c.Bits) + (c.Interlaced ? " i" : "");
        const Bytes raster = Encode(c.Encoder, c.Pixels, c.Width, c.Height, c.Bits, c.Interlaced);
        const Decoded back = Decode(raster, c.Width, c.Height, c.Interlaced);
        ASSERT_EQ(back.Pixels, c.Pixels) << name;
        EXPECT_TRUE(back.Warnings.empty()) << name;
        EXPECT_EQ(back.Position, std::int64_t(raster.size())) << "terminator not consumed: " << name;
        // The other readers on a sample, to keep the run short.
        if (!readers || c.Width * c.Height < 1000 || c.Interlaced != (c.Bits % 2 == 0))
            continue;
        const QString file = dir.filePath("case.gif");
        WriteFile(file, c, raster);
        for (const auto &shown : {giftools::Pillow(file), giftools::Magick(file, c.Width, c.Height)}) {
            ASSERT_EQ(shown.size(), 1u) << name;
            int wrong = 0;
            for (std::size_t i = 0; i < c.Pixels.size(); ++i)
                wrong += shown[0].Picture.pixel(int(i) % c.Width, int(i) / c.Width) != PaletteColour(c.Pixels[i]);
            EXPECT_EQ(wrong, 0) << name;
        }
    }
    if (!readers)
        GTEST_SKIP() << "Pillow or ImageMagick is missing (scripts/install-deps)";
}
