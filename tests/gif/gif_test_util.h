#pragma once
// Helpers of the GIF codec tests: encoding and decoding through the codec, and an
// independent reading of a raster's code stream by the published decoder rules.
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/gif/rle_encoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

enum class Coder { LZW, RLE };

inline std::unique_ptr<gif::TGIFEncoder> NewEncoder(Coder coder)
{
    if (coder == Coder::LZW)
        return std::make_unique<gif::TLZWEncoder>();
    return std::make_unique<gif::TRLEEncoder>();
}

inline Bytes Encode(Coder coder, const Bytes &pixels, int width, int height, int bitsPerPixel, bool interlace = false)
{
    gif::TMemoryStream stream;
    NewEncoder(coder)->Encode(stream, bitsPerPixel, 1 << bitsPerPixel, pixels.empty() ? nullptr : pixels.data(),
                              interlace, height, width);
    return stream.TakeBytes();
}

struct Decoded
{
    Bytes Pixels;
    std::vector<std::string> Warnings;
    std::int64_t Position = 0;  // where the stream stood afterwards
};

inline Decoded Decode(const Bytes &raster, int width, int height, bool interlaced = false,
                      std::uint8_t fill = 0)
{
    Decoded result;
    gif::TMemoryStream stream(raster);
    gif::DecodeFrame(stream, width, height, interlaced, fill, result.Pixels,
                     [&](int, const std::string &m) { result.Warnings.push_back(m); });
    result.Position = stream.Position();
    return result;
}

// Runs action and checks that it raises GIFException with message.
template <typename Action>
void ExpectGIFError(const Action &action, const char *message)
{
    try {
        action();
        ADD_FAILURE() << "no exception, expected " << message;
    } catch (const gif::GIFException &e) {
        EXPECT_STREQ(e.what(), message);
    }
}

// Rows in the order an interlaced frame sends them.
inline std::vector<int> InterlaceOrder(int height)
{
    std::vector<int> rows;
    for (const auto &[start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int r = start; r < height; r += step)
            rows.push_back(r);
    return rows;
}

// Packs codes least significant bit first, each with its own width, and pads the last byte.
struct Code
{
    int Value, Width;
};
inline Bytes PackCodes(const std::vector<Code> &codes)
{
    Bytes out;
    std::uint64_t bucket = 0;
    int bits = 0;
    for (const Code &c : codes) {
        bucket |= std::uint64_t(c.Value) << bits;
        bits += c.Width;
        while (bits >= 8) {
            out.push_back(std::uint8_t(bucket));
            bucket >>= 8;
            bits -= 8;
        }
    }
    if (bits > 0)
        out.push_back(std::uint8_t(bucket));
    return out;
}

// A complete raster: code size byte, the packed bytes cut into sub-blocks, terminator.
inline Bytes Raster(int codeSize, const Bytes &packed, std::size_t blockSize = 255)
{
    Bytes out{std::uint8_t(codeSize)};
    for (std::size_t i = 0; i < packed.size(); i += blockSize) {
        const std::size_t n = std::min(blockSize, packed.size() - i);
        out.push_back(std::uint8_t(n));
        out.insert(out.end(), packed.begin() + std::ptrdiff_t(i), packed.begin() + std::ptrdiff_t(i + n));
    }
    out.push_back(0);
    return out;
}

// The data bytes of a raster's sub-blocks, up to the terminator (which must be there).
inline Bytes Unblock(const Bytes &raster)
{
    Bytes data;
    std::size_t i = 1;
    for (; raster.at(i) != 0; i += 1 + raster[i])
        data.insert(data.end(), raster.begin() + std::ptrdiff_t(i + 1), raster.begin() + std::ptrdiff_t(i + 1 + raster[i]));
    EXPECT_EQ(i + 1, raster.size()) << "bytes after the terminator";
    return data;
}

// Reads the codes of a raster the way the format tells a decoder to: the width starts at
// code size + 1, grows when the next table entry would not fit, stops at 12, and goes
// back after a clear code. Answers every code up to and including the end code.
inline std::vector<Code> ReadCodes(const Bytes &raster)
{
    const Bytes data = Unblock(raster);
    const int codeSize = raster[0], clear = 1 << codeSize;
    int width = codeSize + 1, next = clear + 2;
    bool first = true;
    std::vector<Code> codes;
    for (std::size_t bit = 0; bit + std::size_t(width) <= data.size() * 8;) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << b;
        codes.push_back({code, width});
        if (code == clear + 1)
            break;
        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (!first && next < 4096 && ++next == (1 << width) && width < 12)
            ++width;
        first = false;
    }
    return codes;
}

// Runs of random colour and of random length up to maxRun (1: every pixel drawn anew), as
// pictures with flat areas have.
inline Bytes RunPixels(std::mt19937 &rng, std::size_t count, int colors, int maxRun = 1)
{
    Bytes pixels;
    std::uniform_int_distribution<int> colour(0, colors - 1), run(1, maxRun);
    while (pixels.size() < count)
        pixels.insert(pixels.end(), std::min<std::size_t>(std::size_t(run(rng)), count - pixels.size()),
                      std::uint8_t(colour(rng)));
    return pixels;
}

// 256 colours in which no ordered pair of neighbours repeats, so an LZW encoder finds no
// string longer than one pixel: k x s for k = 0..255 and odd s = 1, 3, 5, ... Pairs inside
// a block differ by s; the pair (-s, 0) where the next block starts is the one the block
// itself left out.
inline Bytes NoRepeatedPairs(std::size_t count)
{
    Bytes seq;
    for (int s = 1; seq.size() < count; s += 2)
        for (int k = 0; k < 256 && seq.size() < count; ++k)
            seq.push_back(std::uint8_t(k * s));
    return seq;
}

}  // namespace giftest
