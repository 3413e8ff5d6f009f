// Our encoders' output read by decoders that owe nothing to ours: Pillow and ImageMagick.
// Each raster is wrapped in a minimal GIF87a file built here byte by byte.
#include "gif_test_util.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRgb>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
    QString File;
    std::string Name() const
    {
        return (Encoder == Coder::LZW ? "LZW " : "RLE ") + std::to_string(Width) + "x" + std::to_string(Height)
               + " bits " + std::to_string(Bits) + (Interlaced ? " interlaced" : "");
    }
};

// Writes each case as a file: header with a global table, one image descriptor, the
// raster, the trailer.
std::vector<Case> MakeCases(const QTemporaryDir &dir)
{
    std::vector<Case> cases;
    std::mt19937 rng(77);
    auto add = [&](Coder coder, int w, int h, int bits, bool interlaced, Bytes pixels) {
        Bytes file{'G', 'I', 'F', '8', '7', 'a', std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h),
                   std::uint8_t(h >> 8), std::uint8_t(0x80 | ((bits - 1) << 4) | (bits - 1)), 0, 0};
        for (int i = 0; i < (1 << bits); ++i)
            file.insert(file.end(), {std::uint8_t(qRed(PaletteColour(i))), std::uint8_t(qGreen(PaletteColour(i))),
                                     std::uint8_t(qBlue(PaletteColour(i)))});
        file.insert(file.end(), {0x2C, 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h),
                                 std::uint8_t(h >> 8), std::uint8_t(interlaced ? 0x40 : 0)});
        const Bytes raster = Encode(coder, pixels, w, h, bits, interlaced);
        file.insert(file.end(), raster.begin(), raster.end());
        file.push_back(0x3B);
        Case c{coder, w, h, bits, interlaced, std::move(pixels), dir.filePath(QStringLiteral("case%1.gif").arg(cases.size()))};
        QFile f(c.File);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char *>(file.data()), qint64(file.size()));
        cases.push_back(std::move(c));
    };
    for (int bits = 1; bits <= 8; ++bits) {
        add(Coder::LZW, 97, 61, bits, false, RunPixels(rng, 97 * 61, 1 << bits));
        add(Coder::RLE, 61, 97, bits, true, RunPixels(rng, 61 * 97, 1 << bits, 30));
        add(Coder::RLE, 50, 50, bits, false, RunPixels(rng, 50 * 50, 1 << bits));
    }
    add(Coder::LZW, 1, 1, 8, false, {200});
    add(Coder::LZW, 1000, 700, 8, false, RunPixels(rng, 700000, 256));
    add(Coder::LZW, 1000, 700, 8, true, RunPixels(rng, 700000, 256, 200));
    add(Coder::RLE, 1000, 700, 4, false, RunPixels(rng, 700000, 16, 3000));
    add(Coder::LZW, 250, 40, 8, false, NoRepeatedPairs(10000));  // table cleared twice
    return cases;
}

// The system's own copy when there is one, else the first on the path.
QString Tool(const QString &preferred, const QString &name)
{
    return QFileInfo::exists(preferred) ? preferred : QStandardPaths::findExecutable(name);
}

QByteArray RunTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
        return {};
    }
    return p.readAllStandardOutput();
}

}  // namespace

TEST(Interop, PillowReadsTheIndicesWeWrote)
{
    const QString python = Tool("/usr/bin/python3", "python3");
    if (python.isEmpty() || QProcess::execute(python, {"-c", "import PIL"}) != 0)
        GTEST_SKIP() << "Python with Pillow is missing (scripts/install-deps installs python3-pil)";
    QTemporaryDir dir;
    const std::vector<Case> cases = MakeCases(dir);
    QStringList arguments{"-c", "import sys\nfrom PIL import Image\nfor name in sys.argv[1:]:\n"
                                "    im = Image.open(name)\n    im.load()\n"
                                "    open(name + '.idx', 'wb').write(im.tobytes())\n"
                                "    print(im.mode, im.size[0], im.size[1])\n"};
    for (const Case &c : cases)
        arguments << c.File;
    const QList<QByteArray> lines = RunTool(python, arguments).trimmed().split('\n');
    ASSERT_EQ(lines.size(), qsizetype(cases.size()));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        EXPECT_EQ(lines[qsizetype(i)].toStdString(), "P " + std::to_string(c.Width) + " " + std::to_string(c.Height));
        QFile f(c.File + ".idx");
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray data = f.readAll();
        EXPECT_TRUE(Bytes(data.begin(), data.end()) == c.Pixels) << c.Name();
    }
}

TEST(Interop, ImageMagickShowsTheColoursWeMeant)
{
    const QString convert = Tool("/usr/bin/convert", "convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick is missing (scripts/install-deps installs imagemagick)";
    QTemporaryDir dir;
    for (const Case &c : MakeCases(dir)) {
        const QByteArray rgb = RunTool(convert, {c.File, "-depth", "8", "rgb:-"});
        ASSERT_EQ(rgb.size(), qsizetype(c.Pixels.size() * 3)) << c.Name();
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < c.Pixels.size(); ++i) {
            const QRgb want = PaletteColour(c.Pixels[i]);
            const auto *p = reinterpret_cast<const std::uint8_t *>(rgb.constData()) + 3 * i;
            wrong += (p[0] != qRed(want) || p[1] != qGreen(want) || p[2] != qBlue(want));
        }
        EXPECT_EQ(wrong, 0u) << c.Name();
    }
}
