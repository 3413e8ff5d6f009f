#pragma once
// The packed device-independent bitmap the printing engine works on: an info
// block (a 40-byte info header or a 12-byte core header, then the bit masks and
// the colour table) and a bits block (rows padded to 4 bytes, bottom row first
// unless the height is negative), as in a BMP file after its file header.
#include "canvas/print/dib_memory.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <span>

using TByteSpan = std::span<const std::uint8_t>;

enum TDibCompression : std::uint32_t { dcNone = 0, dcRle8 = 1, dcRle4 = 2, dcBitFields = 3 };

constexpr int CoreHeaderSize = 12;
constexpr int InfoHeaderSize = 40;

// The fields of either header, widened.
struct TDibHeader {
    int HeaderSize = 0;
    int Width = 0;
    int Height = 0; // negative for a top-down image
    int Planes = 0;
    int BitCount = 0;
    std::uint32_t Compression = dcNone;
    std::uint32_t SizeImage = 0;
    std::uint32_t ClrUsed = 0;

    bool TopDown() const { return Height < 0; }
    int AbsHeight() const { return Height < 0 ? -Height : Height; }
    // Entries of the colour table: the used-colour count, or 2, 16, 256 for 1,
    // 4 and 8 bits per pixel, and none above.
    int ColourCount() const;
    // Three masks precede the table of a bit-fields image of 16 or 32 bits.
    int MaskCount() const;
    // Bytes of the info block: header, masks and table (triples after a core header).
    std::int64_t InfoSize() const;
    std::int64_t RowSize() const;
    std::int64_t ImageSize() const { return RowSize() * AbsHeight(); }
};

// Bytes of one row of width pixels, padded to 4 bytes.
std::int64_t DibRowSize(std::int64_t width, int bitCount);

// Reads the header at the start of an info block; none when the block is too
// short for the size it names, or the size is neither 12 nor 40.
std::optional<TDibHeader> ReadDibHeader(TByteSpan info);

// True when the engine can print the info block: a core header with a size,
// one plane and 1, 4, 8 or 24 bits; or an info header with a positive width, a
// height, one plane, 1 to 32 bits and a known compression that fits the depth
// (a compressed image also needs its image size and must be bottom-up). The
// block must hold its masks and colour table.
bool IsValidDibInfo(TByteSpan info);

// A copy of the info block with a 40-byte header: a core header is widened and
// its colour triples become quads. Empty when the block is not valid or the
// memory is not there (see ok).
TDibBlock CopyDibInfo(TByteSpan info, bool &allocationFailed);

// Writes the bitmap as a BMP file in memory and reads that back into an info
// and a bits block. False, with every out value empty or 0, when the stream is
// not a BMP the engine reads or the pixel rows are fewer than 32 bytes.
bool BitmapToPackedDib(const QImage &bitmap, TDibBlock &info, TDibBlock &bits, int &width, int &height);
// The same for a BMP file already in memory.
bool BmpStreamToPackedDib(TByteSpan stream, TDibBlock &info, TDibBlock &bits, int &width, int &height);

// Expands an RLE8 or RLE4 image (bottom-up) into uncompressed rows of rowSize
// bytes; the pixels the encoding skips keep the fill index. False when the data
// end in the middle of a command.
bool ExpandRle(TByteSpan rle, bool rle4, std::uint8_t fillIndex, std::uint8_t *out, int width, int height,
               std::int64_t rowSize);

// The first colour-table entry that is white, searched among the first limit
// entries; 0 when there is none.
std::uint8_t WhiteIndex(TByteSpan info, const TDibHeader &header, int limit);

// The pixels as an RGB32 image (a null image when the blocks do not fit each
// other). Device back ends and tests use it; the engine itself copies raw pixels.
QImage DibToImage(TByteSpan info, TByteSpan bits);
