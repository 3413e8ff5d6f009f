#pragma once
// Helpers of the GIF codec tests: encoding and decoding through the codec, code streams
// packed by hand, and pictures with and without runs.
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/lzw_encoder.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/gif/rle_encoder.h"

#include <gtest/gtest.h>

#include <random>

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
    NewEncoder(coder)->Encode(stream, bitsPerPixel, 1 << bitsPerPixel, pixels.empty() ? nullptr : pixels.data(), interlace, height, width);
    return stream.TakeBytes();
}

struct Decoded
{
    Bytes Pixels;
    std::vector<std::string> Warnings;
    std::int64_t Position = 0;  // where the stream stood afterwards
};

inline Decoded Decode(const Bytes &raster, int width, int height, bool interlaced = false, std::uint8_t fill = 0)
{
    Decoded result;
    gif::TMemoryStream stream(raster);
    gif::DecodeFrame(stream, width, height, interlaced, fill, result.Pixels,
                     [&](int, const std::string &m) { result.Warnings.push_back(m); });
    result.Position = stream.Position();
    return result;
}

// The message of the GIFException the action raises, else empty.
template <typename Action>
std::string ErrorOf(const Action &action)
{
    try {
        action();
    } catch (const gif::GIFException &e) {
        return e.what();
    }
    return "";
}

// Codes packed least significant bit first, each {value, width}, the last byte padded.
inline Bytes PackCodes(const std::vector<std::pair<int, int>> &codes)
{
    Bytes out;
    std::uint64_t bucket = 0;
    int bits = 0;
    for (const auto &[value, width] : codes)
        for (bucket |= std::uint64_t(value) << bits, bits += width; bits >= 8; bits -= 8, bucket >>= 8)
            out.push_back(std::uint8_t(bucket));
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

// The lengths of a raster's sub-blocks from offset, and their data joined.
inline std::vector<int> Unblock(const Bytes &raster, Bytes &data, std::size_t offset = 1)
{
    std::vector<int> blocks;
    for (std::size_t i = offset; i < raster.size(); i += 1 + raster[i]) {
        blocks.push_back(raster[i]);
        data.insert(data.end(), raster.begin() + std::ptrdiff_t(i + 1), raster.begin() + std::ptrdiff_t(i + 1 + raster[i]));
    }
    return blocks;
}

// Runs of random colour and of random length up to maxRun (1: every pixel drawn anew).
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
// string longer than one pixel: k x s for k = 0..255 and odd s = 1, 3, 5, ...
inline Bytes NoRepeatedPairs(std::size_t count)
{
    Bytes seq;
    for (int s = 1; seq.size() < count; s += 2)
        for (int k = 0; k < 256 && seq.size() < count; ++k)
            seq.push_back(std::uint8_t(k * s));
    return seq;
}

}  // namespace giftest
