#pragma once
// Small DIBs written byte by byte for the engine's tests.
#include "canvas/print/dib_format.h"

#include <QColor>

#include <cstdint>
#include <functional>
#include <vector>

struct TTestDib {
    std::vector<std::uint8_t> Info;
    std::vector<std::uint8_t> Bits;
    TByteSpan InfoSpan() const { return {Info.data(), Info.size()}; }
    TByteSpan BitsSpan() const { return {Bits.data(), Bits.size()}; }
};

inline void PutBytes(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}
inline void Put16(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v) { PutBytes(b, at, v, 2); }
inline void Put32(std::vector<std::uint8_t> &b, std::size_t at, std::uint32_t v) { PutBytes(b, at, v, 4); }

// The colour of table entry i in the test palettes: distinct for every index.
inline QRgb PaletteColour(int i)
{
    return qRgb((i * 37 + 11) & 0xFF, (i * 73 + 5) & 0xFF, (i * 151 + 23) & 0xFF);
}

// A 40-byte-header DIB whose pixel (x, y), y from the top, holds value(x, y)
// (an index below 2^bits, or a 0xRRGGBB colour at 16, 24 and 32 bits).
inline TTestDib MakeDib(int width, int height, int bits, const std::function<std::uint32_t(int, int)> &value,
                        bool topDown = false, std::uint32_t compression = dcNone)
{
    TTestDib dib;
    const int colours = bits <= 8 ? (1 << bits) : 0;
    const int masks = compression == dcBitFields ? 3 : 0;
    dib.Info.assign(std::size_t(40 + 4 * masks + 4 * colours), 0);
    Put32(dib.Info, 0, 40);
    Put32(dib.Info, 4, std::uint32_t(width));
    Put32(dib.Info, 8, std::uint32_t(topDown ? -height : height));
    Put16(dib.Info, 12, 1);
    Put16(dib.Info, 14, std::uint32_t(bits));
    Put32(dib.Info, 16, compression);
    const std::uint32_t maskValues[2][3] = {{0xF800, 0x07E0, 0x001F}, {0xFF0000, 0x00FF00, 0x0000FF}};
    for (int i = 0; i < masks; ++i)
        Put32(dib.Info, std::size_t(40 + 4 * i), maskValues[bits == 32][i]);
    for (int i = 0; i < colours; ++i)
        Put32(dib.Info, std::size_t(40 + 4 * masks + 4 * i), PaletteColour(i) & 0xFFFFFF);
    const std::int64_t row = DibRowSize(width, bits);
    dib.Bits.assign(std::size_t(row * height), 0);
    Put32(dib.Info, 20, std::uint32_t(dib.Bits.size()));
    for (int y = 0; y < height; ++y) {
        const std::size_t base = std::size_t((topDown ? y : height - 1 - y) * row);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = value(x, y);
            switch (bits) {
            case 1: dib.Bits[base + std::size_t(x / 8)] |= std::uint8_t((v & 1) << (7 - x % 8)); break;
            case 4: dib.Bits[base + std::size_t(x / 2)] |= std::uint8_t((v & 0xF) << (x % 2 ? 0 : 4)); break;
            case 8: dib.Bits[base + std::size_t(x)] = std::uint8_t(v); break;
            case 16: { // 5-6-5 with the bit-field masks above
                const std::uint32_t p = ((v >> 19) & 0x1F) << 11 | ((v >> 10) & 0x3F) << 5 | ((v >> 3) & 0x1F);
                Put16(dib.Bits, base + std::size_t(2 * x), p);
                break;
            }
            default: PutBytes(dib.Bits, base + std::size_t(bits / 8 * x), v, bits / 8); break;
            }
        }
    }
    return dib;
}

// The colour a pixel value shows at a depth, as DibToImage gives it.
inline QRgb ShownColour(int bits, std::uint32_t v)
{
    if (bits <= 8)
        return PaletteColour(int(v));
    if (bits == 16) {
        const int r = int((v >> 19) & 0x1F) * 255 / 31, g = int((v >> 10) & 0x3F) * 255 / 63,
                  b = int((v >> 3) & 0x1F) * 255 / 31;
        return qRgb(r, g, b);
    }
    return qRgb(int(v >> 16) & 0xFF, int(v >> 8) & 0xFF, int(v) & 0xFF);
}
