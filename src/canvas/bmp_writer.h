#pragma once
// TBmpWriter: writes a page as an uncompressed 24-bit, bottom-up BMP file,
// band by band from the bottom of the page, so no bitmap of the whole page
// is ever held.
#include <QString>

class QIODevice;
class TPageBands;

class TBmpWriter {
public:
    TBmpWriter() = delete;

    // The file size field is 32 bits: larger pictures cannot be written.
    static constexpr qint64 MaxFileBytes = 0xFFFFFFFFLL;
    static constexpr int HeaderBytes = 14 + 40;

    static qint64 RowBytes(int width) { return (qint64(width) * 24 + 31) / 32 * 4; }
    static qint64 FileBytes(int width, int height) { return HeaderBytes + RowBytes(width) * height; }
    // Raises std::runtime_error with the device's reason when a write fails.
    static void Write(TPageBands &bands, QIODevice &device);
};
