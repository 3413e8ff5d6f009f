#include "canvas/gif_page_writer.h"

#include "canvas/gif/color_lookup.h"
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/encode_frame.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/palettes.h"
#include "canvas/gif/stream.h"
#include "canvas/page_bands.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace {

// A stage of the work as the image object reports it: started, running, and
// ended with 100, or with 0 when it failed.
class TStage {
public:
    TStage(const gif::TGIFProgressHandler &handler, const char *text) : Handler_(handler), Text_(text)
    {
        Tell(gif::TProgressStage::psStarting, 0);
    }
    ~TStage() { Tell(gif::TProgressStage::psEnding, std::uncaught_exceptions() > Exceptions_ ? 0 : 100); }
    void Running(int percent) { Tell(gif::TProgressStage::psRunning, percent); }

private:
    void Tell(gif::TProgressStage stage, int percent)
    {
        if (Handler_)
            Handler_(stage, percent, Text_);
    }
    const gif::TGIFProgressHandler &Handler_;
    const char *Text_;
    int Exceptions_ = std::uncaught_exceptions();
};

void PutWord(std::vector<std::uint8_t> &bytes, int value)
{
    bytes.push_back(std::uint8_t(value));
    bytes.push_back(std::uint8_t(value >> 8));
}

} // namespace

bool TGifPageWriter::Streams()
{
    const gif::TGIFImageDefaults &defaults = gif::GIFImageDefaults();
    return defaults.ColorReduction == gif::rmWebPalette && defaults.DitherMode == 0;
}

void TGifPageWriter::Write(TPageBands &bands, gif::TStream &stream, const gif::TGIFProgressHandler &progress)
{
    const int width = bands.Width(), height = bands.Height();
    const gif::TGIFPalette palette = gif::CreateWebSafePalette();
    const int colors = int(palette.size());
    const int bits = gif::ColorsToBits(colors);
    {
        TStage converting(progress, "Converting...");
        // The logical screen of a GIF87a picture of the page without a global
        // table: its depth and colour resolution are those of the frame.
        std::vector<std::uint8_t> head{'G', 'I', 'F', '8', '7', 'a'};
        PutWord(head, width);
        PutWord(head, height);
        head.insert(head.end(), {std::uint8_t((bits - 1) | (bits - 1) << 4), 0, 0, 0x2C, 0, 0, 0, 0});
        PutWord(head, width);
        PutWord(head, height);
        // A local table, not sorted, not interlaced; black after the palette's colours.
        head.push_back(std::uint8_t(0x80 | (bits - 1)));
        for (const gif::TPaletteEntry &entry : palette)
            head.insert(head.end(), {entry.peRed, entry.peGreen, entry.peBlue});
        head.resize(head.size() + std::size_t((1 << bits) - colors) * 3, 0);
        stream.Write(head.data(), head.size());

        // Each channel's share of the palette index, from the palette's own lookup.
        gif::TNetscapeColorLookup lookup;
        std::uint8_t share[3][256];
        int r, g, b;
        for (int v = 0; v < 256; ++v) {
            share[0][v] = lookup.Lookup(v, 0, 0, r, g, b);
            share[1][v] = lookup.Lookup(0, v, 0, r, g, b);
            share[2][v] = lookup.Lookup(0, 0, v, r, g, b);
        }
        std::vector<std::uint8_t> indices(std::size_t(width) * std::size_t(bands.BandRows()));
        int next = 0;
        const gif::TPixelSource source = [&]() -> std::span<const std::uint8_t> {
            if (next >= height)
                return {};
            const int rows = std::min(bands.BandRows(), height - next);
            bands.Render(next, rows);
            for (int y = 0; y < rows; ++y) {
                if ((next + y) % 32 == 0)
                    converting.Running(int(std::int64_t(next + y) * 100 / height));
                const QRgb *from = bands.Row(y);
                std::uint8_t *to = indices.data() + std::size_t(y) * std::size_t(width);
                for (int x = 0; x < width; ++x)
                    to[x] = std::uint8_t(share[0][qRed(from[x])] + share[1][qGreen(from[x])] + share[2][qBlue(from[x])]);
            }
            next += rows;
            return {indices.data(), std::size_t(rows) * std::size_t(width)};
        };
        gif::EncodeFrame(stream, colors, gif::GIFImageDefaults().Compression, source, width, height);
    }
    TStage saving(progress, "Saving...");
    saving.Running(100);
    const std::uint8_t trailer = 0x3B;
    stream.Write(&trailer, 1);
}
