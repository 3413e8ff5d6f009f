#pragma once
// Helpers of the GIF codec tests: encoding and decoding through the codec, and an
// independent reading of a raster's code stream by the published decoder rules.
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/gif/rle_encoder.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::vector<std::uint8_t>;

enum class Coder { LZW, RLE };

inline Bytes Encode(Coder coder, const Bytes &pixels, int width, int height, int bitsPerPixel,
                    bool interlace = false, int maxColor = -1)
{
    gif::TMemoryStream stream;
    if (maxColor < 0)
        maxColor = 1 << bitsPerPixel;
    const std::uint8_t *data = pixels.empty() ? nullptr : pixels.data();
    if (coder == Coder::LZW)
        gif::TLZWEncoder().Encode(stream, bitsPerPixel, maxColor, data, interlace, height, width);
    else
        gif::TRLEEncoder().Encode(stream, bitsPerPixel, maxColor, data, interlace, height, width);
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

// Rows in the order an interlaced frame sends them.
inline std::vector<int> InterlaceOrder(int height)
{
    std::vector<int> rows;
    const int start[4] = {0, 4, 2, 1};
    const int step[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int r = start[pass]; r < height; r += step[pass])
            rows.push_back(r);
    return rows;
}

// Packs codes least significant bit first, each with its own width, and pads the last byte.
struct Code
{
    int Value;
    int Width;
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

// Reads the code stream of a raster the way the format tells a decoder to: the width starts
// at code size + 1, grows when the next table entry would not fit, stops at 12, and goes
// back after a clear code. Answers every code up to and including the end code.
struct CodeStream
{
    std::vector<Code> Codes;
    bool Terminated = false;  // a zero-length block ended the data
};
inline CodeStream ReadCodes(const Bytes &raster)
{
    CodeStream result;
    const int codeSize = raster.at(0);
    Bytes data;
    std::size_t i = 1;
    while (i < raster.size()) {
        const int n = raster[i++];
        if (n == 0) {
            result.Terminated = true;
            break;
        }
        data.insert(data.end(), raster.begin() + std::ptrdiff_t(i), raster.begin() + std::ptrdiff_t(i + std::size_t(n)));
        i += std::size_t(n);
    }
    const int clear = 1 << codeSize;
    int width = codeSize + 1;
    int next = clear + 2;
    bool first = true;
    std::size_t bit = 0;
    while (bit + std::size_t(width) <= data.size() * 8) {
        int code = 0;
        for (int b = 0; b < width; ++b, ++bit)
            code |= ((data[bit / 8] >> (bit % 8)) & 1) << b;
        result.Codes.push_back({code, width});
        if (code == clear + 1)
            break;
        if (code == clear) {
            width = codeSize + 1;
            next = clear + 2;
            first = true;
            continue;
        }
        if (!first && next < 4096) {
            ++next;
            if (next == (1 << width) && width < 12)
                ++width;
        }
        first = false;
    }
    return result;
}

inline Bytes RandomPixels(std::mt19937 &rng, std::size_t count, int colors)
{
    Bytes pixels(count);
    std::uniform_int_distribution<int> d(0, colors - 1);
    for (auto &p : pixels)
        p = std::uint8_t(d(rng));
    return pixels;
}

// Runs of random length and colour, as pictures with flat areas have.
inline Bytes RunPixels(std::mt19937 &rng, std::size_t count, int colors, int maxRun)
{
    Bytes pixels;
    pixels.reserve(count);
    std::uniform_int_distribution<int> colour(0, colors - 1), run(1, maxRun);
    while (pixels.size() < count) {
        const int c = colour(rng);
        for (int n = run(rng); n > 0 && pixels.size() < count; --n)
            pixels.push_back(std::uint8_t(c));
    }
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
