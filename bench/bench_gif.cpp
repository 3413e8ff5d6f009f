// GIF export speed on diagram-like pictures (white page, boxes, connector lines, strokes
// like small text) of 1, 4 and 12 megapixels: colour reduction to the web palette, LZW and
// run-length encoding, and decoding. Counters give megapixels per second and encoded bytes
// per pixel. Where giflib is installed, its encoder runs on the same indices as a yardstick
// and must give the same raster bytes. With MARROWTIDE_BENCH_GIF_DIR set, the encoded pictures are also written there
// as GIF files, for comparing their size with other encoders by hand.
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/gif/rle_encoder.h"

#ifdef MARROWTIDE_HAVE_GIFLIB
#include <gif_lib.h>
#endif

#include <QFile>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

namespace {

struct Picture
{
    int Width = 0;
    int Height = 0;
    QImage Image;                       // RGB32, as the canvas renders it
    std::vector<std::uint8_t> Indices;  // after reduction to the web palette
    QList<QRgb> Palette;
};

void FillRect(QImage &image, int x0, int y0, int x1, int y1, QRgb colour)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width());
    y1 = std::min(y1, image.height());
    for (int y = y0; y < y1; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::fill(row + x0, row + std::max(x0, x1), colour);
    }
}

// Tables as boxes with a title bar and rows of "text", joined by orthogonal connectors.
QImage DiagramLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    std::mt19937 rng(42);
    const QRgb border = qRgb(0, 0, 0), title = qRgb(0, 0, 128), fill = qRgb(255, 255, 225);
    const QRgb text = qRgb(0, 0, 0), line = qRgb(128, 0, 0), white = qRgb(255, 255, 255);
    const int boxW = 180, boxH = 150, gapX = 120, gapY = 90;
    for (int by = 20; by + boxH < height; by += boxH + gapY) {
        for (int bx = 20; bx + boxW < width; bx += boxW + gapX) {
            FillRect(image, bx, by, bx + boxW, by + boxH, border);
            FillRect(image, bx + 1, by + 1, bx + boxW - 1, by + boxH - 1, fill);
            FillRect(image, bx + 1, by + 1, bx + boxW - 1, by + 18, title);
            // Strokes like the letters of column names: short verticals and bars per glyph.
            for (int row = 0; row < 9; ++row) {
                const int ty = by + 24 + row * 13;
                const int glyphs = 6 + int(rng() % 14);
                for (int g = 0; g < glyphs; ++g) {
                    const int gx = bx + 6 + g * 7;
                    const unsigned shape = rng();
                    if (shape & 1) FillRect(image, gx, ty, gx + 1, ty + 9, text);
                    if (shape & 2) FillRect(image, gx + 4, ty, gx + 5, ty + 9, text);
                    if (shape & 4) FillRect(image, gx, ty, gx + 5, ty + 1, text);
                    if (shape & 8) FillRect(image, gx, ty + 4, gx + 5, ty + 5, text);
                    if (shape & 16) FillRect(image, gx, ty + 8, gx + 5, ty + 9, text);
                }
            }
            // Title text in white.
            for (int g = 0; g < 10; ++g)
                if (rng() & 1)
                    FillRect(image, bx + 6 + g * 7, by + 5, bx + 10 + g * 7, by + 13, white);
            // A connector to the right neighbour and one down.
            const int cy = by + 40 + int(rng() % 80);
            FillRect(image, bx + boxW, cy, bx + boxW + gapX, cy + 1, line);
            const int cx = bx + 30 + int(rng() % 120);
            FillRect(image, cx, by + boxH, cx + 1, by + boxH + gapY / 2, line);
            FillRect(image, cx, by + boxH + gapY / 2, cx + 60, by + boxH + gapY / 2 + 1, line);
            FillRect(image, cx + 60, by + boxH + gapY / 2, cx + 61, by + boxH + gapY, line);
        }
    }
    return image;
}

const Picture &PictureOf(int megapixels)
{
    static std::map<int, Picture> cache;
    auto it = cache.find(megapixels);
    if (it != cache.end())
        return it->second;
    Picture p;
    switch (megapixels) {
    case 1: p.Width = 1250; p.Height = 800; break;
    case 4: p.Width = 2500; p.Height = 1600; break;
    default: p.Width = 4000; p.Height = 3000; break;
    }
    p.Image = DiagramLike(p.Width, p.Height);
    const QImage reduced = gif::ReduceBitmapColors(p.Image, gif::rmWebPalette, 0, 8);
    p.Palette = reduced.colorTable();
    p.Indices.resize(std::size_t(p.Width) * std::size_t(p.Height));
    for (int y = 0; y < p.Height; ++y)
        std::copy_n(reduced.constScanLine(y), p.Width, p.Indices.begin() + std::ptrdiff_t(y) * p.Width);
    return cache.emplace(megapixels, std::move(p)).first->second;
}

std::vector<std::uint8_t> EncodeRaster(const Picture &p, bool rle)
{
    gif::TMemoryStream stream;
    if (rle)
        gif::TRLEEncoder().Encode(stream, 8, 216, p.Indices.data(), false, p.Height, p.Width);
    else
        gif::TLZWEncoder().Encode(stream, 8, 216, p.Indices.data(), false, p.Height, p.Width);
    return stream.TakeBytes();
}

void WriteGIF(const Picture &p, const std::vector<std::uint8_t> &raster, const char *name)
{
    const QByteArray dir = qgetenv("MARROWTIDE_BENCH_GIF_DIR");
    if (dir.isEmpty())
        return;
    QByteArray file("GIF87a");
    auto word = [&](int v) { file.append(char(v & 255)).append(char(v >> 8)); };
    word(p.Width);
    word(p.Height);
    file.append(char(0x77)).append(char(0)).append(char(0));
    file.append(char(0x2C));
    word(0);
    word(0);
    word(p.Width);
    word(p.Height);
    file.append(char(0x87));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < p.Palette.size() ? p.Palette[i] : qRgb(0, 0, 0);
        file.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    file.append(reinterpret_cast<const char *>(raster.data()), qsizetype(raster.size()));
    file.append(char(0x3B));
    QFile out(QString::fromLocal8Bit(dir) + "/" + name + "-" + QString::number(p.Width) + "x"
              + QString::number(p.Height) + ".gif");
    if (out.open(QIODevice::WriteOnly))
        out.write(file);
}

void SetCounters(benchmark::State &state, const Picture &p, std::size_t bytes)
{
    const double pixels = double(p.Width) * p.Height;
    state.counters["Mpx/s"] = benchmark::Counter(pixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    if (bytes)
        state.counters["bytes/px"] = double(bytes) / pixels;
}

void BM_ReduceToWebPalette(benchmark::State &state)
{
    const Picture &p = PictureOf(int(state.range(0)));
    for (auto _ : state) {
        QImage reduced = gif::ReduceBitmapColors(p.Image, gif::rmWebPalette, 0, 8);
        benchmark::DoNotOptimize(reduced.constBits());
    }
    SetCounters(state, p, 0);
}

void BM_EncodeLZW(benchmark::State &state)
{
    const Picture &p = PictureOf(int(state.range(0)));
    std::vector<std::uint8_t> raster;
    for (auto _ : state)
        raster = EncodeRaster(p, false);
    WriteGIF(p, raster, "lzw");
    SetCounters(state, p, raster.size());
}

#ifdef MARROWTIDE_HAVE_GIFLIB
int AppendToVector(GifFileType *file, const GifByteType *bytes, int count)
{
    auto *out = static_cast<std::vector<std::uint8_t> *>(file->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

// giflib's encoder on the same indices; answers the frame's raster (from the code size byte
// to the block terminator) so that it compares with ours byte for byte.
std::vector<std::uint8_t> EncodeWithGiflib(const Picture &p, std::vector<std::uint8_t> &row)
{
    std::vector<std::uint8_t> file;
    int error = 0;
    GifFileType *gif = EGifOpen(&file, AppendToVector, &error);
    ColorMapObject *map = GifMakeMapObject(256, nullptr);
    EGifPutScreenDesc(gif, p.Width, p.Height, 8, 0, map);
    EGifPutImageDesc(gif, 0, 0, p.Width, p.Height, false, nullptr);
    row.resize(std::size_t(p.Width));
    for (int y = 0; y < p.Height; ++y) {
        // giflib masks the row in place, so it gets a copy.
        std::copy_n(p.Indices.begin() + std::ptrdiff_t(y) * p.Width, p.Width, row.begin());
        EGifPutLine(gif, row.data(), p.Width);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    // Signature, screen descriptor, 256-entry colour table, image descriptor; trailer.
    const std::size_t head = 6 + 7 + 3 * 256 + 10;
    if (file.size() < head + 1)
        return {};
    return {file.begin() + std::ptrdiff_t(head), file.end() - 1};
}

void BM_EncodeLZWGiflib(benchmark::State &state)
{
    const Picture &p = PictureOf(int(state.range(0)));
    std::vector<std::uint8_t> raster, row;
    for (auto _ : state)
        raster = EncodeWithGiflib(p, row);
    if (raster != EncodeRaster(p, false))
        state.SkipWithError("giflib's raster differs from ours");
    SetCounters(state, p, raster.size());
}
#endif

void BM_EncodeRLE(benchmark::State &state)
{
    const Picture &p = PictureOf(int(state.range(0)));
    std::vector<std::uint8_t> raster;
    for (auto _ : state)
        raster = EncodeRaster(p, true);
    WriteGIF(p, raster, "rle");
    SetCounters(state, p, raster.size());
}

void BM_DecodeLZW(benchmark::State &state)
{
    const Picture &p = PictureOf(int(state.range(0)));
    const std::vector<std::uint8_t> raster = EncodeRaster(p, false);
    std::vector<std::uint8_t> pixels;
    for (auto _ : state) {
        gif::TMemoryStream stream(raster);
        gif::DecodeFrame(stream, p.Width, p.Height, false, 0, pixels, {});
    }
    if (pixels != p.Indices)
        state.SkipWithError("decoded pixels differ");
    SetCounters(state, p, raster.size());
}

}  // namespace

BENCHMARK(BM_ReduceToWebPalette)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeLZW)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);
#ifdef MARROWTIDE_HAVE_GIFLIB
BENCHMARK(BM_EncodeLZWGiflib)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(BM_EncodeRLE)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeLZW)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
