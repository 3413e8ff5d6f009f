#include "canvas/gif/dib.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/palettes.h"

namespace gif {

int BytesPerScanline(int pixelsPerScanline, int bitsPerPixel, int alignment)
{
    const long long bits = (long long)pixelsPerScanline * bitsPerPixel + alignment - 1;
    return int((bits & ~(long long)(alignment - 1)) >> 3);
}

TPixelFormat GetPixelFormat(const QImage &bitmap)
{
    switch (bitmap.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return pf1bit;
    case QImage::Format_Indexed8: return pf8bit;
    case QImage::Format_RGB555: return pf15bit;
    case QImage::Format_RGB16: return pf16bit;
    case QImage::Format_BGR888:
    case QImage::Format_RGB888: return pf24bit;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied: return pf32bit;
    default: return pfCustom;
    }
}

void SetPixelFormat(QImage &bitmap, TPixelFormat format)
{
    QImage::Format target = QImage::Format_Invalid;
    switch (format) {
    case pfDevice:
    case pf32bit: target = QImage::Format_RGB32; break;
    case pf1bit: target = QImage::Format_Mono; break;
    case pf8bit: target = QImage::Format_Indexed8; break;
    case pf15bit: target = QImage::Format_RGB555; break;
    case pf16bit: target = QImage::Format_RGB16; break;
    // Blue, green, red in memory, as device-independent 24-bit rows are.
    case pf24bit: target = QImage::Format_BGR888; break;
    case pf4bit:
    case pfCustom: RaiseGIFError("Unsupported PixelFormat");
    }
    if (bitmap.isNull() || bitmap.format() == target)
        return;
    bitmap.convertTo(target);
}

TDIBReader::TDIBReader(QImage &bitmap, TPixelFormat format) : TDIB(bitmap, format)
{
    SetPixelFormat(bitmap, format);
}

std::uint8_t *TDIBReader::ScanLine(int row)
{
    if (row < 0 || row >= FBitmap.height())
        throw EInvalidGraphicOperation("Scan line index out of range");
    return FBitmap.scanLine(row);
}

TDIBWriter::TDIBWriter(QImage &bitmap, const TGIFPalette *palette, int width, int height,
                       TPixelFormat format)
    : TDIB(bitmap, format), FPalette(palette), FHeight(height), FWidth(width)
{
    if (format != pf8bit && format != pf24bit)
        RaiseGIFError("Unsupported PixelFormat");
    if (width <= 0 || height <= 0)
        RaiseGIFError("Invalid image dimensions");
}

TDIBWriter::~TDIBWriter()
{
    if (!FDIB.isNull())
        FBitmap = FDIB;
}

void TDIBWriter::CreateDIB()
{
    const QImage::Format format = FPixelFormat == pf8bit ? QImage::Format_Indexed8 : QImage::Format_BGR888;
    FDIB = QImage(FWidth, FHeight, format);
    if (FDIB.isNull())
        throw EOutOfMemory("Failed to allocate memory for GIF DIB");
    if (FPixelFormat == pf8bit) {
        // An 8-bit picture always carries 256 colours: the palette's, then black, as a
        // device-independent bitmap of 8 bits declares them.
        QList<QRgb> table = PaletteToColorTable(FPalette ? *FPalette : TGIFPalette());
        table.resize(256, qRgb(0, 0, 0));
        FDIB.setColorTable(table);
    }
}

std::uint8_t *TDIBWriter::ScanLine(int row)
{
    if (FDIB.isNull())
        CreateDIB();
    if (row < 0 || row >= FHeight)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return FDIB.scanLine(row);
}

}  // namespace gif
