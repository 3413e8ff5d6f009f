#include "canvas/print/dib_format.h"

#include "canvas/print/row_split.h"

#include <QBuffer>
#include <QImageWriter>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

std::uint16_t U16(const std::uint8_t *p) { return std::uint16_t(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
void PutU16(std::uint8_t *p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
void PutU32(std::uint8_t *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

bool IsDepth(int bits, std::initializer_list<int> depths)
{
    return std::find(depths.begin(), depths.end(), bits) != depths.end();
}

// Images whose rows or size do not fit the engine's 32-bit arithmetic cannot be
// worked out and are refused as a bad parameter.
constexpr std::int64_t MaxDibBytes = std::numeric_limits<std::int32_t>::max();

} // namespace

std::int64_t DibRowSize(std::int64_t width, int bitCount)
{
    return ((width * bitCount + 31) & ~std::int64_t(31)) / 8;
}

int TDibHeader::ColourCount() const
{
    if (ClrUsed != 0)
        return ClrUsed > 65536 ? 65536 : int(ClrUsed);
    switch (BitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

int TDibHeader::MaskCount() const
{
    return HeaderSize == InfoHeaderSize && Compression == dcBitFields && (BitCount == 16 || BitCount == 32) ? 3 : 0;
}

std::int64_t TDibHeader::InfoSize() const
{
    const int entry = HeaderSize == CoreHeaderSize ? 3 : 4;
    return HeaderSize + 4 * MaskCount() + std::int64_t(entry) * ColourCount();
}

std::int64_t TDibHeader::RowSize() const
{
    return DibRowSize(Width, BitCount);
}

std::optional<TDibHeader> ReadDibHeader(TByteSpan info)
{
    if (info.size() < 4)
        return std::nullopt;
    TDibHeader h;
    const std::uint32_t size = U32(info.data());
    if (size == CoreHeaderSize && info.size() >= CoreHeaderSize) {
        h.HeaderSize = CoreHeaderSize;
        h.Width = U16(info.data() + 4);
        h.Height = U16(info.data() + 6);
        h.Planes = U16(info.data() + 8);
        h.BitCount = U16(info.data() + 10);
        return h;
    }
    if (size == InfoHeaderSize && info.size() >= InfoHeaderSize) {
        h.HeaderSize = InfoHeaderSize;
        h.Width = std::int32_t(U32(info.data() + 4));
        h.Height = std::int32_t(U32(info.data() + 8));
        h.Planes = U16(info.data() + 12);
        h.BitCount = U16(info.data() + 14);
        h.Compression = U32(info.data() + 16);
        h.SizeImage = U32(info.data() + 20);
        h.ClrUsed = U32(info.data() + 32);
        return h;
    }
    return std::nullopt;
}

bool IsValidDibInfo(TByteSpan info)
{
    const auto h = ReadDibHeader(info);
    if (!h)
        return false;
    if (h->HeaderSize == CoreHeaderSize) {
        if (h->Width == 0 || h->Height == 0 || h->Planes != 1 || !IsDepth(h->BitCount, {1, 4, 8, 24}))
            return false;
    } else {
        // INT_MIN has no positive height to print.
        if (h->Width < 1 || h->Height == 0 || h->Height == std::numeric_limits<std::int32_t>::min() ||
            h->Planes != 1 || !IsDepth(h->BitCount, {1, 4, 8, 16, 24, 32}))
            return false;
        switch (h->Compression) {
        case dcNone: break;
        case dcRle8:
            if (h->BitCount != 8)
                return false;
            break;
        case dcRle4:
            if (h->BitCount != 4)
                return false;
            break;
        case dcBitFields:
            if (h->BitCount != 16 && h->BitCount != 32)
                return false;
            break;
        default: return false;
        }
        // Run-length data cannot be read without their size, nor from the top;
        // bit-field rows are plain rows and print either way.
        if ((h->Compression == dcRle8 || h->Compression == dcRle4) && (h->SizeImage == 0 || h->Height < 0))
            return false;
    }
    if (h->RowSize() > MaxDibBytes || h->ImageSize() > MaxDibBytes)
        return false;
    return std::int64_t(info.size()) >= h->InfoSize();
}

TDibBlock CopyDibInfo(TByteSpan info, bool &allocationFailed)
{
    allocationFailed = false;
    const auto h = ReadDibHeader(info);
    if (!h || std::int64_t(info.size()) < h->InfoSize())
        return {};
    const int colours = h->ColourCount();
    const std::int64_t size = InfoHeaderSize + 4 * h->MaskCount() + 4 * std::int64_t(colours);
    TDibBlock copy(static_cast<std::size_t>(size));
    if (copy.IsNull()) {
        allocationFailed = true;
        return {};
    }
    std::uint8_t *out = copy.Data();
    if (h->HeaderSize == InfoHeaderSize) {
        std::memcpy(out, info.data(), static_cast<std::size_t>(size));
        return copy;
    }
    PutU32(out, InfoHeaderSize);
    PutU32(out + 4, std::uint32_t(h->Width));
    PutU32(out + 8, std::uint32_t(h->Height));
    PutU16(out + 12, 1);
    PutU16(out + 14, std::uint16_t(h->BitCount));
    PutU32(out + 16, dcNone);
    PutU32(out + 20, std::uint32_t(h->ImageSize()));
    PutU32(out + 32, std::uint32_t(colours));
    const std::uint8_t *triple = info.data() + CoreHeaderSize;
    for (int i = 0; i < colours; ++i, triple += 3)
        std::memcpy(out + InfoHeaderSize + 4 * i, triple, 3);
    return copy;
}

bool BmpStreamToPackedDib(TByteSpan stream, TDibBlock &info, TDibBlock &bits, int &width, int &height)
{
    info.Release();
    bits.Release();
    width = height = 0;
    if (stream.size() < 14 || U16(stream.data()) != 19778)
        return false;
    const std::int64_t streamSize = std::int64_t(stream.size());
    const std::int64_t offset = U32(stream.data() + 10);
    const std::int64_t infoSize = offset - 14;
    const std::int64_t bitsAvailable = streamSize - offset;
    if (offset < 1 || infoSize < 1 || bitsAvailable < 1 || infoSize + 14 + bitsAvailable > streamSize)
        return false;
    const auto header = ReadDibHeader(stream.subspan(14, static_cast<std::size_t>(infoSize)));
    if (!header)
        return false;
    const int w = header->Width;
    const int h = header->AbsHeight();
    std::int64_t bitsSize = 0;
    if (header->HeaderSize == CoreHeaderSize)
        bitsSize = std::int64_t(h) * header->RowSize();
    else
        bitsSize = header->SizeImage != 0 ? std::int64_t(header->SizeImage) : std::int64_t(h) * header->RowSize();
    // The rows must be in the stream: a short file is not read past its end.
    if (w < 1 || h < 1 || bitsSize < 32 || bitsSize > bitsAvailable)
        return false;
    TDibBlock newInfo(static_cast<std::size_t>(infoSize));
    TDibBlock newBits(static_cast<std::size_t>(bitsSize));
    if (newInfo.IsNull() || newBits.IsNull())
        return false;
    std::memcpy(newInfo.Data(), stream.data() + 14, newInfo.Size());
    std::memcpy(newBits.Data(), stream.data() + offset, newBits.Size());
    info = std::move(newInfo);
    bits = std::move(newBits);
    width = w;
    height = h;
    return true;
}

bool BitmapToPackedDib(const QImage &bitmap, TDibBlock &info, TDibBlock &bits, int &width, int &height)
{
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "bmp");
        if (bitmap.isNull() || !writer.write(bitmap)) {
            info.Release();
            bits.Release();
            width = height = 0;
            return false;
        }
    }
    return BmpStreamToPackedDib(
        TByteSpan(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())), info, bits,
        width, height);
}

std::uint8_t WhiteIndex(TByteSpan info, const TDibHeader &header, int limit)
{
    const int entry = header.HeaderSize == CoreHeaderSize ? 3 : 4;
    const std::int64_t table = header.HeaderSize + 4 * header.MaskCount();
    const int count = std::min({header.ColourCount(), limit, 256});
    for (int i = 0; i < count; ++i) {
        const std::int64_t at = table + std::int64_t(i) * entry;
        if (at + 3 > std::int64_t(info.size()))
            break;
        const std::uint8_t *p = info.data() + at;
        if (p[0] == 255 && p[1] == 255 && p[2] == 255)
            return std::uint8_t(i);
    }
    return 0;
}

bool ExpandRle(TByteSpan rle, bool rle4, std::uint8_t fillIndex, std::uint8_t *out, int width, int height,
               std::int64_t rowSize)
{
    const std::uint8_t fill = rle4 ? std::uint8_t((fillIndex & 0x0F) * 0x11) : fillIndex;
    std::memset(out, fill, static_cast<std::size_t>(rowSize * height));
    // Pixels outside the image are dropped, never written.
    const auto put = [&](std::int64_t x, std::int64_t y, std::uint8_t value) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        std::uint8_t *row = out + y * rowSize;
        if (!rle4) {
            row[x] = value;
            return;
        }
        std::uint8_t &b = row[x / 2];
        b = (x % 2 == 0) ? std::uint8_t((b & 0x0F) | (value << 4)) : std::uint8_t((b & 0xF0) | (value & 0x0F));
    };
    std::size_t i = 0;
    std::int64_t x = 0, y = 0;
    const std::size_t n = rle.size();
    while (i < n) {
        if (i + 1 >= n)
            return false;
        const std::uint8_t count = rle[i];
        const std::uint8_t value = rle[i + 1];
        i += 2;
        if (count > 0) {
            for (int k = 0; k < count; ++k, ++x)
                put(x, y, rle4 ? std::uint8_t(k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of picture
            return true;
        case 2: // move right and up
            if (i + 1 >= n)
                return false;
            x += rle[i];
            y += rle[i + 1];
            i += 2;
            break;
        default: { // a literal run, padded to a 16-bit boundary
            const std::size_t bytes = rle4 ? (std::size_t(value) + 1) / 2 : value;
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (i + bytes > n)
                return false;
            for (int k = 0; k < value; ++k, ++x) {
                const std::uint8_t b = rle[i + (rle4 ? std::size_t(k) / 2 : std::size_t(k))];
                put(x, y, rle4 ? std::uint8_t(k % 2 == 0 ? b >> 4 : b & 0x0F) : b);
            }
            i += std::min(padded, n - i);
            break;
        }
        }
    }
    // Data that stop without the end-of-picture mark still give the rows read.
    return true;
}

namespace {

int MaskShift(std::uint32_t mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int MaskScale(std::uint32_t value, std::uint32_t mask)
{
    if (!mask)
        return 0;
    const int shift = MaskShift(mask);
    const std::uint32_t max = mask >> shift;
    return int(((value & mask) >> shift) * 255 / max);
}

} // namespace

QImage DibToImage(TByteSpan info, TByteSpan bits)
{
    if (!IsValidDibInfo(info))
        return {};
    const TDibHeader h = *ReadDibHeader(info);
    if (h.Compression == dcRle8 || h.Compression == dcRle4)
        return {};
    const std::int64_t row = h.RowSize();
    if (std::int64_t(bits.size()) < h.ImageSize())
        return {};
    const int entry = h.HeaderSize == CoreHeaderSize ? 3 : 4;
    const std::uint8_t *table = info.data() + h.HeaderSize + 4 * h.MaskCount();
    const int colours = h.ColourCount();
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (h.BitCount == 32)
        masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (h.MaskCount() == 3)
        for (int m = 0; m < 3; ++m)
            masks[m] = U32(info.data() + h.HeaderSize + 4 * m);
    QImage image(h.Width, h.AbsHeight(), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto indexed = [&](int index) -> QRgb {
        if (index >= colours)
            return qRgb(0, 0, 0);
        const std::uint8_t *p = table + std::int64_t(index) * entry;
        return qRgb(p[2], p[1], p[0]);
    };
    // The rows are split between threads: the image is not touched but through its bits.
    std::uint8_t *const pixels = image.bits();
    const qsizetype stride = image.bytesPerLine();
    SplitRows(image.height(), [&](int firstRow, int lastRow) {
        for (int y = firstRow; y < lastRow; ++y) {
            const int memoryRow = h.TopDown() ? y : image.height() - 1 - y;
            const std::uint8_t *src = bits.data() + memoryRow * row;
            auto *dst = reinterpret_cast<QRgb *>(pixels + y * stride);
            if (h.BitCount == 24) {
                // Every band of a printed page comes this way: one loop without a choice per pixel.
                for (int x = 0; x < h.Width; ++x, src += 3)
                    dst[x] = qRgb(src[2], src[1], src[0]);
                continue;
            }
            for (int x = 0; x < h.Width; ++x) {
                switch (h.BitCount) {
                case 1: dst[x] = indexed((src[x / 8] >> (7 - x % 8)) & 1); break;
                case 4: dst[x] = indexed(x % 2 == 0 ? src[x / 2] >> 4 : src[x / 2] & 0x0F); break;
                case 8: dst[x] = indexed(src[x]); break;
                case 16: {
                    const std::uint32_t v = U16(src + 2 * x);
                    dst[x] = qRgb(MaskScale(v, masks[0]), MaskScale(v, masks[1]), MaskScale(v, masks[2]));
                    break;
                }
                case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
                default: {
                    const std::uint32_t v = U32(src + 4 * x);
                    dst[x] = qRgb(MaskScale(v, masks[0]), MaskScale(v, masks[1]), MaskScale(v, masks[2]));
                    break;
                }
                }
            }
        }
    });
    return image;
}
