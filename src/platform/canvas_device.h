#pragma once
// TCanvasDevice: the back end a TCanvas forwards its primitives to (a QPainter, later a
// metafile recorder). Primitives arrive in GDI terms: rectangles with right and bottom
// exclusive, lines without their end pixel, text placed by its top-left corner, and the
// pen, brush and font in force at the call.
#include "platform/color.h"
#include "platform/font.h"
#include "platform/rect.h"
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QSize>
#include <QString>

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// Binary raster operations between pen (P) and destination (D), as GDI numbers them.
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = pmCopy;
    friend bool operator==(const TPen &, const TPen &) = default;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    friend bool operator==(const TBrush &, const TBrush &) = default;
};

// The drawing tools in force for one primitive.
struct TDrawingTools {
    const TPen &Pen;
    const TBrush &Brush;
    const TFont &Font;
};

class TCanvasDevice {
public:
    virtual ~TCanvasDevice() = default;

    // A line from one point towards another, the end pixel left out.
    virtual void Line(const TDrawingTools &tools, QPoint from, QPoint to) = 0;
    // Connected lines; the last point's pixel is left out.
    virtual void Polyline(const TDrawingTools &tools, const QPolygon &points) = 0;
    // A closed figure filled with the brush (alternate filling) and outlined with the pen.
    virtual void Polygon(const TDrawingTools &tools, const QPolygon &points) = 0;
    virtual void Rectangle(const TDrawingTools &tools, const TRect &rect) = 0;
    virtual void RoundRect(const TDrawingTools &tools, const TRect &rect, QSize corner) = 0;
    virtual void Ellipse(const TDrawingTools &tools, const TRect &rect) = 0;
    // The part of the ellipse in the box from the ray through start, counter-clockwise, to
    // the ray through end; both rays through the same point give the whole ellipse.
    virtual void Arc(const TDrawingTools &tools, const TRect &box, QPoint start, QPoint end) = 0;
    // Fills with the brush, no outline.
    virtual void FillRect(const TDrawingTools &tools, const TRect &rect) = 0;
    // A one-pixel frame in the brush colour.
    virtual void FrameRect(const TDrawingTools &tools, const TRect &rect) = 0;
    // Text with its top-left corner at topLeft in the font's colour. clip, when given,
    // limits it; opaque, when given, is filled with the brush colour first.
    virtual void TextOut(const TDrawingTools &tools, QPoint topLeft, const QString &text,
                         const TRect *clip, const TRect *opaque) = 0;
    virtual void StretchDraw(const TRect &dest, const QImage &image) = 0;
    // clNone when the device cannot be read back or the point is outside it.
    virtual TColor Pixel(QPoint point) const = 0;
    virtual void SetPixel(QPoint point, TColor color) = 0;
    // Limits every later primitive to rect; nullptr lifts the limit.
    virtual void SetClipRect(const TRect *rect) = 0;
    // The current clip rectangle, or the whole device when there is none.
    virtual TRect ClipRect() const = 0;
};
