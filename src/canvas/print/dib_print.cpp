#include "canvas/print/dib_print.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

void PutU32(std::uint8_t *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

TRect Intersect(const TRect &a, const TRect &b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

// Everything one call of the band engine works with.
struct TDibJob {
    IPrintDevice *Device = nullptr;
    TDibHeader Header;
    TDibBlock Info;        // 40-byte header copy, reused for every band
    TDibBlock Expanded;    // the decoded rows of a run-length image
    const std::uint8_t *Bits = nullptr;
    std::int64_t RowSize = 0;
    const std::uint8_t *TopRow = nullptr;
    std::int64_t RowStep = 0; // from one row to the one below it
    TRect Dest, Source, Visible;
    long double ScaleY = 0, ScaleX = 0; // source pixels per destination pixel
    bool Fallback = false;
    const TDibPrintProgress *Progress = nullptr;
    void *Data = nullptr;
    TDibBlock BandBits;
    std::vector<int> Columns; // source column per band column

    bool Continue(int band, int bands) const
    {
        return !*Progress || (*Progress)(band, bands, Data) != 0;
    }
};

void CopyPixel(const std::uint8_t *src, int sx, std::uint8_t *dst, int dx, int bitCount)
{
    switch (bitCount) {
    case 1: {
        const int bit = (src[sx / 8] >> (7 - sx % 8)) & 1;
        std::uint8_t &b = dst[dx / 8];
        const std::uint8_t mask = std::uint8_t(0x80 >> (dx % 8));
        b = bit ? std::uint8_t(b | mask) : std::uint8_t(b & ~mask);
        break;
    }
    case 4: {
        const int nibble = sx % 2 == 0 ? src[sx / 2] >> 4 : src[sx / 2] & 0x0F;
        std::uint8_t &b = dst[dx / 2];
        b = dx % 2 == 0 ? std::uint8_t((b & 0x0F) | (nibble << 4)) : std::uint8_t((b & 0xF0) | nibble);
        break;
    }
    default: {
        const int bytes = bitCount / 8;
        std::memcpy(dst + std::size_t(dx) * bytes, src + std::size_t(sx) * bytes, std::size_t(bytes));
        break;
    }
    }
}

template <int Bytes>
void CopyWholePixels(const std::uint8_t *src, const std::vector<int> &columns, std::uint8_t *dst, int width)
{
    for (int x = 0; x < width; ++x) {
        const std::uint8_t *p = src + std::size_t(columns[std::size_t(x)]) * Bytes;
        for (int b = 0; b < Bytes; ++b)
            dst[b] = p[b];
        dst += Bytes;
    }
}

void CopyRow(const std::uint8_t *src, const std::vector<int> &columns, std::uint8_t *dst, int width, int bitCount)
{
    switch (bitCount) {
    case 8: CopyWholePixels<1>(src, columns, dst, width); break;
    case 16: CopyWholePixels<2>(src, columns, dst, width); break;
    case 24: CopyWholePixels<3>(src, columns, dst, width); break;
    case 32: CopyWholePixels<4>(src, columns, dst, width); break;
    default:
        for (int x = 0; x < width; ++x)
            CopyPixel(src, columns[std::size_t(x)], dst, x, bitCount);
        break;
    }
}

// Resamples one band and sends it; false stops the job.
bool RenderBand(TDibJob &job, const TRect &band, int number, int bands)
{
    const int w = std::max(1, band.Width());
    const int h = std::max(1, band.Height());
    const int bitCount = job.Header.BitCount;
    const std::int64_t bandRow = DibRowSize(w, bitCount);
    const std::int64_t bandSize = bandRow * h;
    std::uint8_t *info = job.Info.Data();
    PutU32(info + 4, std::uint32_t(w));
    PutU32(info + 8, std::uint32_t(h));
    PutU32(info + 20, std::uint32_t(bandSize));
    std::uint8_t *bits = job.BandBits.Data();
    // Each row's pixels are all written below; only the bits after them are cleared.
    const std::int64_t used = (std::int64_t(w) * bitCount) / 8;

    const int srcRight = job.Source.Right - 1;
    const int srcBottom = job.Source.Bottom - 1;
    job.Columns.resize(std::size_t(w));
    for (int x = 0; x < w; ++x) {
        const long double s = x * job.ScaleX + (band.Left - job.Dest.Left) * job.ScaleX;
        job.Columns[std::size_t(x)] = std::min(srcRight, int(std::floor(s)) + job.Source.Left);
    }
    int previousRow = -1;
    for (int y = 0; y < h; ++y) {
        const long double s = y * job.ScaleY + (band.Top - job.Dest.Top) * job.ScaleY;
        const int sourceRow = std::min(srcBottom, int(std::floor(s)) + job.Source.Top);
        // Band rows are stored bottom-up.
        std::uint8_t *dst = bits + std::int64_t(h - 1 - y) * bandRow;
        if (sourceRow == previousRow) {
            // Enlarged images repeat rows: the row below is already resampled.
            std::memcpy(dst, dst + bandRow, static_cast<std::size_t>(bandRow));
        } else {
            const std::uint8_t *src = job.TopRow + sourceRow * job.RowStep;
            std::memset(dst + used, 0, static_cast<std::size_t>(bandRow - used));
            CopyRow(src, job.Columns, dst, w, bitCount);
            previousRow = sourceRow;
        }
        if (y % 64 == 0 && !job.Continue(number, bands))
            return false;
    }

    const std::span<const std::uint8_t> infoSpan(job.Info.Data(), job.Info.Size());
    const std::span<const std::uint8_t> bitsSpan(bits, static_cast<std::size_t>(bandSize));
    bool drawn = false;
    if (!job.Fallback) {
        drawn = job.Device->StretchDib(band.Left, band.Top, infoSpan, bitsSpan) == h;
        // A device that drew less once is not trusted with the rest of the job.
        if (!drawn)
            job.Fallback = true;
    }
    if (!drawn)
        drawn = job.Device->BlockTransfer(band.Left, band.Top, infoSpan, bitsSpan);
    job.Device->Flush();
    if (!drawn)
        return false;
    return job.Continue(number, bands);
}

} // namespace

int DibBandHeight(IPrintDevice &device, int bandWidth, int bitCount)
{
    const int screenHeight = std::max(1, device.ScreenSize().height());
    if (device.Supports64KBitmaps())
        return screenHeight;
    const std::int64_t row = DibRowSize(std::max(1, bandWidth), bitCount);
    // A row wider than the limit still goes, one row per band.
    return int(std::max<std::int64_t>(1, 65503 / row));
}

bool GetPrinterPageGeometry(IPrintDevice &device, TPrinterPageGeometry &g)
{
    g = {};
    int physicalWidth = 0, physicalHeight = 0;
    if (!device.Capability(IPrintDevice::capPhysicalOffsetX, g.OffsetX) ||
        !device.Capability(IPrintDevice::capPhysicalOffsetY, g.OffsetY) ||
        !device.Capability(IPrintDevice::capPhysicalWidth, physicalWidth) ||
        !device.Capability(IPrintDevice::capPhysicalHeight, physicalHeight) ||
        !device.Capability(IPrintDevice::capHorzRes, g.PrintableWidth) ||
        !device.Capability(IPrintDevice::capVertRes, g.PrintableHeight) ||
        !device.Capability(IPrintDevice::capLogPixelsX, g.DpiX) ||
        !device.Capability(IPrintDevice::capLogPixelsY, g.DpiY))
        return false;
    g.PhysicalWidth = physicalWidth != 0 ? physicalWidth : g.PrintableWidth;
    g.PhysicalHeight = physicalHeight != 0 ? physicalHeight : g.PrintableHeight;
    g.RightMargin = g.PhysicalWidth - g.PrintableWidth - g.OffsetX;
    g.BottomMargin = g.PhysicalHeight - g.PrintableHeight - g.OffsetY;
    g.UniformMargin = std::max({g.OffsetX, g.OffsetY, g.RightMargin, g.BottomMargin});
    g.UniformWidth = g.PhysicalWidth - 2 * g.UniformMargin;
    g.UniformHeight = g.PhysicalHeight - 2 * g.UniformMargin;
    g.ShiftX = g.UniformMargin - g.OffsetX;
    g.ShiftY = g.UniformMargin - g.OffsetY;
    return true;
}

int PrintDibToDevice(IPrintDevice &device, TByteSpan info, TByteSpan bits, bool centre, bool uniformMargins,
                     const TDibPrintProgress &progress, void *data)
{
    if (!IsValidDibInfo(info) || bits.empty())
        return dpBadParameter;
    TPrinterPageGeometry g;
    if (!GetPrinterPageGeometry(device, g))
        return dpBadParameter;
    const int printableWidth = uniformMargins ? g.UniformWidth : g.PrintableWidth;
    const int printableHeight = uniformMargins ? g.UniformHeight : g.PrintableHeight;
    const int shiftX = uniformMargins ? g.ShiftX : 0;
    const int shiftY = uniformMargins ? g.ShiftY : 0;

    const TDibHeader header = *ReadDibHeader(info);
    const int sourceWidth = header.Width;
    const int sourceHeight = header.AbsHeight();
    const double sx = double(printableWidth) / sourceWidth;
    const double sy = double(printableHeight) / sourceHeight;
    int x = 0, y = 0, width = 0, height = 0;
    if (sy > sx) {
        width = printableWidth;
        height = int(sourceHeight * sx);
        if (centre)
            y = printableHeight / 2 - height / 2;
    } else {
        height = printableHeight;
        width = int(sourceWidth * sy);
        if (centre)
            x = printableWidth / 2 - width / 2;
    }

    device.SaveState();
    device.MoveOrigin(shiftX, shiftY);
    const TRect clip{0, 0, printableWidth, printableHeight};
    device.ClipTo(clip);
    const int result = PrintDibBands(device, x, y, width, height, 0, 0, sourceWidth, sourceHeight, info, bits, clip,
                                     progress, data);
    device.RestoreState();
    return result;
}

int PrintDibBands(IPrintDevice &device, int destX, int destY, int destWidth, int destHeight, int srcX, int srcY,
                  int srcWidth, int srcHeight, TByteSpan info, TByteSpan bits, const TRect &clip,
                  const TDibPrintProgress &progress, void *data)
{
    if (!IsValidDibInfo(info) || bits.empty() || srcX < 0 || srcY < 0 || destWidth < 1 || destHeight < 1 ||
        srcWidth < 1 || srcHeight < 1)
        return dpBadParameter;
    TDibJob job;
    job.Device = &device;
    job.Header = *ReadDibHeader(info);
    job.RowSize = job.Header.RowSize();
    if (job.Header.HeaderSize < 1 || job.RowSize < 1 || job.Header.ImageSize() < 1)
        return dpBadParameter;
    try {
        bool allocationFailed = false;
        job.Info = CopyDibInfo(info, allocationFailed);
        if (job.Info.IsNull())
            return allocationFailed ? dpMemoryAllocFailed : dpMemoryReadFailed;
    } catch (...) {
        return dpMemoryReadFailed;
    }
    const int imageHeight = job.Header.AbsHeight();
    if (std::int64_t(srcX) + srcWidth > job.Header.Width || std::int64_t(srcY) + srcHeight > imageHeight)
        return dpBadParameter;

    job.Dest = Bounds(destX, destY, destWidth, destHeight);
    job.Source = Bounds(srcX, srcY, srcWidth, srcHeight);
    job.Visible = Intersect(job.Dest, clip);
    if (job.Dest.IsEmpty() || job.Visible.IsEmpty() || job.Source.IsEmpty())
        return dpNothingToDraw;

    const bool rle = job.Header.Compression == dcRle8 || job.Header.Compression == dcRle4;
    if (rle) {
        // The expanded rows are sized by the image, not by the compressed data.
        TDibBlock expanded(static_cast<std::size_t>(job.Header.ImageSize()));
        if (expanded.IsNull())
            return dpMemoryAllocFailed;
        const bool rle4 = job.Header.Compression == dcRle4;
        const std::uint8_t white = WhiteIndex(info, job.Header, rle4 ? 16 : 256);
        const std::size_t size = std::min<std::size_t>(bits.size(), job.Header.SizeImage);
        if (!ExpandRle(bits.first(size), rle4, white, expanded.Data(), job.Header.Width, imageHeight,
                       job.RowSize))
            return dpMemoryReadFailed;
        job.Expanded = std::move(expanded);
        job.Bits = job.Expanded.Data();
        PutU32(job.Info.Data() + 16, dcNone);
    } else {
        // Rows the caller did not give are not read.
        if (std::int64_t(bits.size()) < job.Header.ImageSize())
            return dpBadParameter;
        job.Bits = bits.data();
    }
    if (job.Header.TopDown()) {
        job.TopRow = job.Bits;
        job.RowStep = job.RowSize;
    } else {
        job.TopRow = job.Bits + (imageHeight - 1) * job.RowSize;
        job.RowStep = -job.RowSize;
    }
    job.ScaleX = static_cast<long double>(srcWidth) / destWidth;
    job.ScaleY = static_cast<long double>(srcHeight) / destHeight;
    job.Progress = &progress;
    job.Data = data;

    const int bandWidth = std::max(1, device.ScreenSize().width());
    const int bandHeight = DibBandHeight(device, bandWidth, job.Header.BitCount);
    const int visibleWidth = job.Visible.Width();
    const int visibleHeight = job.Visible.Height();
    const int columns = (visibleWidth + bandWidth - 1) / bandWidth;
    const int rows = (visibleHeight + bandHeight - 1) / bandHeight;
    const int bands = columns * rows;

    const int maxWidth = std::min(bandWidth, visibleWidth);
    const int maxHeight = std::min(bandHeight, visibleHeight);
    job.BandBits = TDibBlock(static_cast<std::size_t>(DibRowSize(maxWidth, job.Header.BitCount) * maxHeight));
    if (job.BandBits.IsNull())
        return dpMemoryAllocFailed;

    try {
        int number = 0;
        for (int top = job.Visible.Top; top < job.Visible.Bottom; top += bandHeight) {
            for (int left = job.Visible.Left; left < job.Visible.Right; left += bandWidth) {
                const TRect band{left, top, std::min(left + bandWidth, job.Visible.Right),
                                 std::min(top + bandHeight, job.Visible.Bottom)};
                if (!RenderBand(job, band, ++number, bands))
                    return dpUserAbortOrOtherError;
            }
        }
    } catch (...) {
        return dpUserAbortOrOtherError;
    }
    return dpPrinted;
}
