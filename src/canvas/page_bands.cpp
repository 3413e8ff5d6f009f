#include "canvas/page_bands.h"

#include "canvas/picture_export.h"
#include "platform/canvas.h"
#include "platform/rect.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

TPageBands::TPageBands(TOSDiagram &diagram, int width, int height)
    : Diagram_(diagram), Width_(width), Height_(height)
{
    const int tileWidth = std::min(width, TileWidth);
    const qint64 rowBytes = qint64(width) * qint64(sizeof(QRgb));
    Rows_ = static_cast<int>(std::clamp<qint64>(BandBytes / rowBytes, 1, height));
    Tile_ = QImage(tileWidth, Rows_, QImage::Format_RGB32);
    if (Tile_.isNull())
        throw EPictureError(QStringLiteral("Not enough memory for a band of %1 x %2 pixels.").arg(width).arg(Rows_));
    if (width > tileWidth)
        Wide_.resize(static_cast<size_t>(width) * static_cast<size_t>(Rows_));
}

void TPageBands::Render(int top, int count)
{
    for (int left = 0; left < Width_; left += TileWidth) {
        const int pixels = std::min(TileWidth, Width_ - left);
        {
            QPainter painter(&Tile_);
            painter.translate(-left, -top);
            TCanvas canvas(&painter);
            TPictureExport::PaintArea(Diagram_, canvas, TRect{left, top, left + pixels, top + count}, &Index_);
        }
        if (Wide_.empty())
            return;
        for (int y = 0; y < count; ++y)
            std::memcpy(Wide_.data() + size_t(y) * size_t(Width_) + size_t(left), Tile_.constScanLine(y),
                        size_t(pixels) * sizeof(QRgb));
    }
}

const QRgb *TPageBands::Row(int index) const
{
    if (Wide_.empty())
        return reinterpret_cast<const QRgb *>(Tile_.constScanLine(index));
    return Wide_.data() + size_t(index) * size_t(Width_);
}
