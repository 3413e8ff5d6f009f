#include "platform/canvas.h"
#include "platform/painter_canvas_device.h"
#include <QPainter>

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPainter *painter) : Device_(std::make_unique<TPainterCanvasDevice>(painter)) {}

TCanvas::TCanvas(QPaintDevice *device) : Device_(std::make_unique<TPainterCanvasDevice>(device)) {}

TCanvas::TCanvas(std::unique_ptr<TCanvasDevice> device) : Device_(std::move(device)) {}

TCanvas::~TCanvas() = default;

void TCanvas::MoveTo(int x, int y) { PenPos = QPoint(x, y); }

void TCanvas::LineTo(int x, int y)
{
    const QPoint to(x, y);
    if (Device_)
        Device_->Line(Tools(), PenPos, to);
    PenPos = to;
}

void TCanvas::Polyline(const QPolygon &points)
{
    if (Device_)
        Device_->Polyline(Tools(), points);
}

void TCanvas::Polygon(const QPolygon &points)
{
    if (Device_)
        Device_->Polygon(Tools(), points);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) { Rectangle(Rect(left, top, right, bottom)); }

void TCanvas::Rectangle(const TRect &rect)
{
    if (Device_)
        Device_->Rectangle(Tools(), rect);
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    if (Device_)
        Device_->RoundRect(Tools(), Rect(left, top, right, bottom), QSize(cornerWidth, cornerHeight));
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) { Ellipse(Rect(left, top, right, bottom)); }

void TCanvas::Ellipse(const TRect &rect)
{
    if (Device_)
        Device_->Ellipse(Tools(), rect);
}

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    if (Device_)
        Device_->Arc(Tools(), Rect(x1, y1, x2, y2), QPoint(x3, y3), QPoint(x4, y4));
}

void TCanvas::FillRect(const TRect &rect)
{
    if (Device_)
        Device_->FillRect(Tools(), rect);
}

void TCanvas::FrameRect(const TRect &rect)
{
    if (Device_)
        Device_->FrameRect(Tools(), rect);
}

void TCanvas::TextOut(int x, int y, const QString &text)
{
    const QSize extent = Font.TextExtent(text);
    if (Device_) {
        // Only a solid brush makes the text background opaque; hatched and clear ones leave it.
        const TRect cell = Bounds(x, y, extent.width(), extent.height());
        Device_->TextOut(Tools(), QPoint(x, y), text, nullptr, Brush.Style == bsSolid ? &cell : nullptr);
    }
    PenPos = QPoint(x + extent.width(), y);
}

void TCanvas::TextRect(const TRect &rect, int x, int y, const QString &text)
{
    if (Device_)
        Device_->TextOut(Tools(), QPoint(x, y), text, &rect, Brush.Style != bsClear ? &rect : nullptr);
}

int TCanvas::TextWidth(const QString &text) const { return Font.TextWidth(text); }

int TCanvas::TextHeight(const QString &text) const { return Font.TextHeight(text); }

QSize TCanvas::TextExtent(const QString &text) const { return Font.TextExtent(text); }

void TCanvas::Draw(int x, int y, const QImage &image)
{
    if (Device_)
        Device_->StretchDraw(Bounds(x, y, image.width(), image.height()), image);
}

void TCanvas::StretchDraw(const TRect &rect, const QImage &image)
{
    if (Device_)
        Device_->StretchDraw(rect, image);
}

TColor TCanvas::Pixel(int x, int y) const { return Device_ ? Device_->Pixel(QPoint(x, y)) : clNone; }

void TCanvas::SetPixel(int x, int y, TColor color)
{
    if (Device_)
        Device_->SetPixel(QPoint(x, y), color);
}

TRect TCanvas::ClipRect() const { return Device_ ? Device_->ClipRect() : TRect{}; }

void TCanvas::SetClipRect(const TRect &rect)
{
    if (Device_)
        Device_->SetClipRect(&rect);
}

void TCanvas::ResetClipRect()
{
    if (Device_)
        Device_->SetClipRect(nullptr);
}

QImage ImageWithTransparentColor(const QImage &image, TColor transparent)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ColorToQRgb(ColorToRGB(transparent)) & 0x00FFFFFFu;
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & 0x00FFFFFFu) == key)
                line[x] = 0;
        }
    }
    return result;
}
