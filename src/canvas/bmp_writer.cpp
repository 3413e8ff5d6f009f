#include "canvas/bmp_writer.h"

#include "canvas/page_bands.h"
#include "platform/picture_formats.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

void Put16(uchar *&at, quint16 value)
{
    qToLittleEndian(value, at);
    at += 2;
}

void Put32(uchar *&at, quint32 value)
{
    qToLittleEndian(value, at);
    at += 4;
}

void WriteAll(QIODevice &device, const uchar *data, qint64 size)
{
    if (device.write(reinterpret_cast<const char *>(data), size) != size)
        throw std::runtime_error(device.errorString().toStdString());
}

[[maybe_unused]] const bool Registered =
    TPictureFormats::Register({QStringLiteral("BMP"), QStringLiteral("Bitmap"), QStringLiteral("TBmpWriter"),
                               QStringLiteral("Bitmap files"), 3});

} // namespace

void TBmpWriter::Write(TPageBands &bands, QIODevice &device)
{
    const int width = bands.Width();
    const int height = bands.Height();
    const qint64 rowBytes = RowBytes(width);
    uchar header[HeaderBytes];
    uchar *at = header;
    Put16(at, 0x4D42); // "BM"
    Put32(at, quint32(FileBytes(width, height)));
    Put32(at, 0); // reserved
    Put32(at, HeaderBytes);
    Put32(at, 40);
    Put32(at, quint32(width));
    Put32(at, quint32(height)); // positive: the rows run from the bottom up
    Put16(at, 1);
    Put16(at, 24);
    Put32(at, 0); // no compression
    Put32(at, quint32(rowBytes * height));
    Put32(at, quint32(bands.DotsPerMeterX()));
    Put32(at, quint32(bands.DotsPerMeterY()));
    Put32(at, 0); // no colour table
    Put32(at, 0);
    WriteAll(device, header, HeaderBytes);

    // The padding of each row stays zero.
    std::vector<uchar> row(static_cast<size_t>(rowBytes), 0);
    for (int bottom = height; bottom > 0;) {
        const int count = std::min(bands.BandRows(), bottom);
        const int top = bottom - count;
        bands.Render(top, count);
        for (int y = count - 1; y >= 0; --y) {
            const QRgb *pixels = bands.Row(y);
            uchar *out = row.data();
            for (int x = 0; x < width; ++x) {
                *out++ = uchar(qBlue(pixels[x]));
                *out++ = uchar(qGreen(pixels[x]));
                *out++ = uchar(qRed(pixels[x]));
            }
            WriteAll(device, row.data(), rowBytes);
        }
        bottom = top;
    }
}
