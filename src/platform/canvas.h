#pragma once
// TCanvas: the drawing surface every painter draws through, with the semantics of the
// classic GDI canvas on top of any back end (a QPainter on a widget, image or printer).
// Coordinates are those of the painter; fonts are sized in pixels at 96 dpi, so a caller
// that wants a printer to show 96-dpi pixels at their true size scales its painter by
// the printer's resolution / 96 before handing it over.
#include "platform/canvas_device.h"
#include "platform/color.h"
#include "platform/font.h"
#include "platform/rect.h"
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;
class QPaintDevice;

class TCanvas {
public:
    // A canvas that only measures: drawing calls do nothing.
    TCanvas();
    // Draws with a painter someone else owns (a paint event's); the painter's state is
    // saved here and restored when the canvas goes.
    explicit TCanvas(QPainter *painter);
    // Opens its own painter on a device (a QImage, a QPrinter) for its lifetime.
    explicit TCanvas(QPaintDevice *device);
    // Draws into any back end, e.g. a metafile recorder.
    explicit TCanvas(std::unique_ptr<TCanvasDevice> device);
    ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // Tools that stay set from one call to the next.
    TFont Font;
    TPen Pen;
    TBrush Brush;
    // Where MoveTo, LineTo and TextOut left the pen.
    QPoint PenPos;

    void MoveTo(int x, int y);
    // A line from PenPos to (x, y) without its end pixel; PenPos becomes (x, y).
    void LineTo(int x, int y);
    void Polyline(const QPolygon &points);
    void Polygon(const QPolygon &points);

    // Right and bottom are exclusive: the outline lies on Left..Right-1, Top..Bottom-1.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect &rect);
    void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect &rect);
    // The ellipse in the box (x1, y1, x2, y2) from the ray through (x3, y3) counter-clockwise
    // to the ray through (x4, y4).
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillRect(const TRect &rect);
    void FrameRect(const TRect &rect);

    // Text with its top-left corner at (x, y); a solid brush fills the text cell behind it,
    // any other brush style leaves the background. PenPos moves to the end of the text.
    void TextOut(int x, int y, const QString &text);
    // Text at (x, y) clipped to rect; unless the brush is clear, rect is filled first.
    void TextRect(const TRect &rect, int x, int y, const QString &text);
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    QSize TextExtent(const QString &text) const;

    void Draw(int x, int y, const QImage &image);
    void StretchDraw(const TRect &rect, const QImage &image);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    TRect ClipRect() const;
    void SetClipRect(const TRect &rect);
    void ResetClipRect();

    TCanvasDevice *Device() const { return Device_.get(); }

private:
    TDrawingTools Tools() const { return {Pen, Brush, Font}; }
    std::unique_ptr<TCanvasDevice> Device_;
};

// A copy of an image in which every pixel of the given colour is fully transparent
// (how icons with a key colour are drawn).
QImage ImageWithTransparentColor(const QImage &image, TColor transparent);
