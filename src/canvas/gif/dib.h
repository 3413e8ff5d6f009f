#pragma once
// TDIB, TDIBReader, TDIBWriter: row access to the pixels of a QImage in the pixel formats
// colour reduction and frame conversion work in. Rows are numbered from the top, as
// QImage stores them; 24-bit rows hold blue, green, red bytes per pixel.
#include "canvas/gif/gif_types.h"

#include <QImage>
#include <cstdint>

namespace gif {

enum TPixelFormat : std::uint8_t {
    pfDevice = 0, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom
};

// ((pixels x bits + alignment - 1) and not (alignment - 1)) shr 3.
int BytesPerScanline(int pixelsPerScanline, int bitsPerPixel, int alignment);

TPixelFormat GetPixelFormat(const QImage &bitmap);
// Converts the image's pixels to the format. QImage has no 4-bit format and no custom one;
// those raise GIFException "Unsupported PixelFormat".
void SetPixelFormat(QImage &bitmap, TPixelFormat format);

class TDIB
{
public:
    TDIB(QImage &bitmap, TPixelFormat format) : FBitmap(bitmap), FPixelFormat(format) {}
    virtual ~TDIB() = default;

    virtual std::uint8_t *ScanLine(int row) = 0;
    QImage &Bitmap() const { return FBitmap; }
    TPixelFormat PixelFormat() const { return FPixelFormat; }

protected:
    QImage &FBitmap;  // not owned
    TPixelFormat FPixelFormat;
};

// Converts the image in place to the format, then hands out its rows.
class TDIBReader : public TDIB
{
public:
    TDIBReader(QImage &bitmap, TPixelFormat format);
    std::uint8_t *ScanLine(int row) override;
};

// Builds 8-bit (with the palette's colours) or 24-bit pixels in memory of its own and puts
// them into the target image when destroyed, and only when a row was asked for.
class TDIBWriter : public TDIB
{
public:
    TDIBWriter(QImage &bitmap, const TGIFPalette *palette, int width, int height, TPixelFormat format);
    ~TDIBWriter() override;

    std::uint8_t *ScanLine(int row) override;

private:
    void CreateDIB();

    QImage FDIB;
    const TGIFPalette *FPalette;  // not owned
    int FHeight;
    int FWidth;
};

}  // namespace gif
