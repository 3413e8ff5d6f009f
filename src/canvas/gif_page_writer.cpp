#include "canvas/gif_page_writer.h"

#include "canvas/gif/color_lookup.h"
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/encode_frame.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/palettes.h"
#include "canvas/gif/stream.h"
#include "canvas/page_bands.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <span>
#include <thread>
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

// Two buffers of reduced rows between the thread that renders and the one
// that encodes: one is filled while the other is encoded.
class TBandQueue {
public:
    explicit TBandQueue(std::size_t bytes) : Buffers_{std::vector<std::uint8_t>(bytes), std::vector<std::uint8_t>(bytes)} {}

    // A buffer to fill, once the encoder is done with it; null when the
    // encoder has stopped.
    std::uint8_t *Acquire()
    {
        std::unique_lock lock(Mutex_);
        Changed_.wait(lock, [&] { return Stopped_ || State_[Filling_] == Free; });
        return Stopped_ ? nullptr : Buffers_[Filling_].data();
    }
    // The buffer just acquired holds count bytes for the encoder.
    void Hand(std::size_t count)
    {
        std::lock_guard lock(Mutex_);
        Counts_[Filling_] = count;
        State_[Filling_] = Ready;
        Filling_ ^= 1;
        Changed_.notify_all();
    }
    // No more bands, or no more encoding: both sides stop waiting.
    void Stop()
    {
        std::lock_guard lock(Mutex_);
        Stopped_ = true;
        Changed_.notify_all();
    }
    // The encoder's next piece; the one it had goes back to be filled again.
    // Empty at the end.
    std::span<const std::uint8_t> Next()
    {
        std::unique_lock lock(Mutex_);
        if (State_[Taking_ ^ 1] == Held) {
            State_[Taking_ ^ 1] = Free;
            Changed_.notify_all();
        }
        Changed_.wait(lock, [&] { return Stopped_ || State_[Taking_] == Ready; });
        if (State_[Taking_] != Ready)
            return {};
        State_[Taking_] = Held;
        const std::span<const std::uint8_t> piece(Buffers_[Taking_].data(), Counts_[Taking_]);
        Taking_ ^= 1;
        return piece;
    }

private:
    enum TState { Free, Ready, Held };
    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::vector<std::uint8_t> Buffers_[2];
    std::size_t Counts_[2] = {0, 0};
    TState State_[2] = {Free, Free};
    int Filling_ = 0;
    int Taking_ = 0;
    bool Stopped_ = false;
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
        // The encoder takes the bands on a thread of its own while the next
        // band is rendered here, where painting belongs.
        TBandQueue queue(std::size_t(width) * std::size_t(bands.BandRows()));
        std::exception_ptr failure;
        const int compression = gif::GIFImageDefaults().Compression;
        std::thread encoder([&] {
            try {
                gif::EncodeFrame(stream, colors, compression, [&] { return queue.Next(); }, width, height);
            } catch (...) {
                failure = std::current_exception();
            }
            queue.Stop();
        });
        try {
            for (int top = 0; top < height;) {
                std::uint8_t *indices = queue.Acquire();
                if (!indices)
                    break;
                const int rows = std::min(bands.BandRows(), height - top);
                bands.Render(top, rows);
                for (int y = 0; y < rows; ++y) {
                    if ((top + y) % 32 == 0)
                        converting.Running(int(std::int64_t(top + y) * 100 / height));
                    const QRgb *from = bands.Row(y);
                    std::uint8_t *to = indices + std::size_t(y) * std::size_t(width);
                    for (int x = 0; x < width; ++x)
                        to[x] = std::uint8_t(share[0][qRed(from[x])] + share[1][qGreen(from[x])] +
                                             share[2][qBlue(from[x])]);
                }
                queue.Hand(std::size_t(rows) * std::size_t(width));
                top += rows;
            }
        } catch (...) {
            queue.Stop();
            encoder.join();
            throw;
        }
        queue.Stop();
        encoder.join();
        if (failure)
            std::rethrow_exception(failure);
    }
    TStage saving(progress, "Saving...");
    saving.Running(100);
    const std::uint8_t trailer = 0x3B;
    stream.Write(&trailer, 1);
}
