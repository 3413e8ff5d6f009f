#include "platform/painter_canvas_device.h"
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

// Dash lengths of the classic styled one-pixel pens.
QList<qreal> DashPattern(TPenStyle style)
{
    switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::FDiagPattern;
    case bsBDiagonal: return Qt::BDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::NoBrush;
}

QPainter::CompositionMode CompositionFor(TPenMode mode)
{
    switch (mode) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

bool IsWide(const TPen &pen) { return pen.Width > 1; }

bool PenDraws(const TPen &pen)
{
    if (pen.Style == psClear || pen.Mode == pmNop)
        return false;
    // A colourless pen still inverts or combines in the raster modes that ignore its colour.
    return pen.Color != clNone || pen.Mode == pmBlack || pen.Mode == pmWhite || pen.Mode == pmNot;
}

// Outline geometry: one-pixel pens draw through pixel indexes, wide pens are centred on
// pixel centres (or kept inside the frame).
QRectF OutlineRect(const TPen &pen, const TRect &r)
{
    if (!IsWide(pen))
        return QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1);
    if (pen.Style == psInsideFrame) {
        const qreal half = pen.Width / 2.0;
        return QRectF(r.Left + half, r.Top + half, r.Width() - pen.Width, r.Height() - pen.Width);
    }
    return QRectF(r.Left + 0.5, r.Top + 0.5, r.Width() - 1, r.Height() - 1);
}

QPointF Centre(QPoint p) { return QPointF(p.x() + 0.5, p.y() + 0.5); }

// Points along an ellipse through the pixel indexes of its box (Left..Right-1), from the
// parameter angle start (degrees, counter-clockwise on screen) over span degrees. Qt's own
// aliased curves stray a pixel outside their box; rounding our own points keeps them in.
QPolygonF EllipsePoints(const QRectF &box, double start, double span)
{
    const double rx = box.width() / 2.0;
    const double ry = box.height() / 2.0;
    const QPointF centre = box.center();
    const int steps = std::max(8, static_cast<int>(std::ceil((rx + ry) * std::abs(span) / 90.0)));
    QPolygonF points;
    points.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double a = (start + span * i / steps) * std::numbers::pi / 180.0;
        points << QPointF(centre.x() + rx * std::cos(a), centre.y() - ry * std::sin(a));
    }
    return points;
}

QPolygon Rounded(const QPolygonF &points)
{
    QPolygon result;
    result.reserve(points.size());
    for (const QPointF &p : points) {
        const QPoint q(static_cast<int>(std::lround(p.x())), static_cast<int>(std::lround(p.y())));
        if (result.isEmpty() || result.last() != q)
            result << q;
    }
    return result;
}

// The outline of a rectangle with elliptic corners of the given size, through pixel indexes.
QPolygonF RoundRectPoints(const QRectF &box, QSize corner)
{
    const double w = std::min<double>(corner.width(), box.width());
    const double h = std::min<double>(corner.height(), box.height());
    QPolygonF points;
    points << EllipsePoints(QRectF(box.right() - w, box.top(), w, h), 0, 90);
    points << EllipsePoints(QRectF(box.left(), box.top(), w, h), 90, 90);
    points << EllipsePoints(QRectF(box.left(), box.bottom() - h, w, h), 180, 90);
    points << EllipsePoints(QRectF(box.right() - w, box.bottom() - h, w, h), 270, 90);
    return points;
}

// The outline box in pixel-index space (wide pens' geometry is kept on pixel centres).
QRectF IndexBox(const TPen &pen, const TRect &rect)
{
    const QRectF box = OutlineRect(pen, rect);
    return IsWide(pen) ? box.translated(-0.5, -0.5) : box;
}

} // namespace

TPainterCanvasDevice::TPainterCanvasDevice(QPainter *painter) : Painter_(painter)
{
    if (!Painter_ || !Painter_->isActive())
        throw std::runtime_error("The canvas needs an active painter.");
    Painter_->save();
    InitialClipping_ = Painter_->hasClipping();
    if (InitialClipping_)
        InitialClip_ = Painter_->clipRegion();
    Setup();
}

TPainterCanvasDevice::TPainterCanvasDevice(QPaintDevice *device)
{
    if (!device)
        throw std::runtime_error("The canvas needs a device to draw on.");
    OwnPainter_ = std::make_unique<QPainter>();
    if (!OwnPainter_->begin(device))
        throw std::runtime_error("Cannot draw on the device (it may be empty or too large).");
    Painter_ = OwnPainter_.get();
    Setup();
}

TPainterCanvasDevice::~TPainterCanvasDevice()
{
    if (OwnPainter_)
        OwnPainter_->end();
    else
        Painter_->restore();
}

void TPainterCanvasDevice::Setup()
{
    // Whole pixels as on the classic desktop: no smoothing of lines, fills or stretched images.
    Painter_->setRenderHint(QPainter::Antialiasing, false);
    Painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter_->setRenderHint(QPainter::TextAntialiasing, true);
    RasterOps_ = Painter_->paintEngine() && Painter_->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

void TPainterCanvasDevice::SelectMode(TPenMode mode)
{
    QPainter::CompositionMode composition = CompositionFor(mode);
    if (!RasterOps_)
        composition = QPainter::CompositionMode_SourceOver;
    Painter_->setCompositionMode(composition);
}

bool TPainterCanvasDevice::SelectPen(const TDrawingTools &tools)
{
    const TPen &pen = tools.Pen;
    if (!PenDraws(pen)) {
        Painter_->setPen(Qt::NoPen);
        return false;
    }
    TColor color = pen.Color;
    if (pen.Mode == pmBlack || color == clNone)
        color = clBlack;
    else if (pen.Mode == pmWhite)
        color = clWhite;
    QPen qpen(ColorToQColor(color));
    if (IsWide(pen)) {
        // Wide pens are always solid, with round ends and joins.
        qpen.setWidth(pen.Width);
        qpen.setCapStyle(Qt::RoundCap);
        qpen.setJoinStyle(Qt::RoundJoin);
    } else {
        qpen.setWidth(1);
        qpen.setCosmetic(true);
        // A flat cap leaves a line's end pixel out (but see ThinSegment).
        qpen.setCapStyle(Qt::FlatCap);
        qpen.setJoinStyle(Qt::MiterJoin);
        const QList<qreal> dashes = DashPattern(pen.Style);
        if (!dashes.isEmpty())
            qpen.setDashPattern(dashes);
    }
    Painter_->setPen(qpen);
    // A solid brush fills the gaps of styled lines, as the opaque background mode does.
    if (tools.Brush.Style == bsSolid && tools.Brush.Color != clNone) {
        Painter_->setBackgroundMode(Qt::OpaqueMode);
        Painter_->setBackground(ColorToQColor(tools.Brush.Color));
    } else {
        Painter_->setBackgroundMode(Qt::TransparentMode);
    }
    SelectMode(pen.Mode);
    return true;
}

bool TPainterCanvasDevice::SelectBrush(const TDrawingTools &tools)
{
    const TBrush &brush = tools.Brush;
    if (brush.Style == bsClear || brush.Color == clNone) {
        Painter_->setBrush(Qt::NoBrush);
        return false;
    }
    Painter_->setBrush(QBrush(ColorToQColor(brush.Color), QtBrushStyle(brush.Style)));
    Painter_->setBackgroundMode(Qt::TransparentMode);
    return true;
}

// A flat cap leaves out whichever end Qt draws last, and Qt draws along the longer axis from
// left to right or top to bottom: a line running left or up would lose its start and keep
// its end. Such a line is drawn with both ends up to the pixel before its end instead (one
// step back along the longer axis, on the line), so its dash pattern starts at the start too.
void TPainterCanvasDevice::ThinSegment(QPoint from, QPoint to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    if (ax == 0 && ay == 0)
        return;
    const bool qtLeavesOutTheEnd = ax > ay ? dx > 0 : ay > ax ? dy > 0 : dx > 0 && dy > 0;
    if (qtLeavesOutTheEnd) {
        Painter_->drawLine(from, to);
        return;
    }
    const int steps = std::max(ax, ay);
    const auto along = [&](int delta) {
        return static_cast<int>(std::lround(static_cast<double>(delta) * (steps - 1) / steps));
    };
    const QPoint last(from.x() + along(dx), from.y() + along(dy));
    QPen pen = Painter_->pen();
    pen.setCapStyle(Qt::SquareCap);
    Painter_->setPen(pen);
    Painter_->drawLine(from, last);
    pen.setCapStyle(Qt::FlatCap);
    Painter_->setPen(pen);
}

void TPainterCanvasDevice::Line(const TDrawingTools &tools, QPoint from, QPoint to)
{
    // Every drawing call selects its own tools, so one left out changes nothing after it.
    if (!LineCanShow(tools.Pen, from, to) || !SelectPen(tools))
        return;
    if (IsWide(tools.Pen))
        Painter_->drawLine(QLineF(Centre(from), Centre(to)));
    else
        ThinSegment(from, to);
}

void TPainterCanvasDevice::Polyline(const TDrawingTools &tools, const QPolygon &points)
{
    if (points.size() < 2 || !SelectPen(tools))
        return;
    if (IsWide(tools.Pen)) {
        Painter_->drawPolyline(QPolygonF(points).translated(0.5, 0.5));
        return;
    }
    // Each joint is drawn once, by the segment that starts there.
    for (qsizetype i = 1; i < points.size(); ++i)
        ThinSegment(points[i - 1], points[i]);
}

void TPainterCanvasDevice::FillPath(const TDrawingTools &tools, const QPainterPath &path)
{
    if (!SelectBrush(tools))
        return;
    SelectMode(tools.Pen.Mode);
    Painter_->setPen(Qt::NoPen);
    Painter_->drawPath(path);
    Painter_->setBrush(Qt::NoBrush);
}

void TPainterCanvasDevice::Polygon(const TDrawingTools &tools, const QPolygon &points)
{
    if (points.size() < 2)
        return;
    QPainterPath fill;
    fill.setFillRule(Qt::OddEvenFill);
    fill.addPolygon(QPolygonF(points).translated(0.5, 0.5));
    fill.closeSubpath();
    FillPath(tools, fill);
    if (!SelectPen(tools))
        return;
    if (IsWide(tools.Pen))
        Painter_->drawPolygon(QPolygonF(points).translated(0.5, 0.5));
    else
        Painter_->drawPolygon(points);
}

void TPainterCanvasDevice::Rectangle(const TDrawingTools &tools, const TRect &rect)
{
    if (rect.IsEmpty())
        return;
    const bool outlined = PenDraws(tools.Pen);
    if (SelectBrush(tools)) {
        SelectMode(tools.Pen.Mode);
        // Under a one-pixel outline only the inside is filled, so raster modes touch each pixel once.
        QRect inside = rect.ToQRect();
        if (outlined && !IsWide(tools.Pen))
            inside.adjust(1, 1, -1, -1);
        if (!inside.isEmpty()) {
            Painter_->setPen(Qt::NoPen);
            Painter_->drawRect(inside);
        }
        Painter_->setBrush(Qt::NoBrush);
    }
    if (!SelectPen(tools))
        return;
    if (rect.Width() == 1 || rect.Height() == 1)
        Painter_->fillRect(rect.ToQRect(), Painter_->pen().color());
    else
        Painter_->drawRect(OutlineRect(tools.Pen, rect));
}

void TPainterCanvasDevice::ClosedCurve(const TDrawingTools &tools, const QPolygonF &indexes)
{
    const QPolygon pixels = Rounded(indexes);
    // Filled through pixel centres so the fill stays inside a one-pixel outline.
    QPainterPath fill;
    fill.addPolygon(QPolygonF(pixels).translated(0.5, 0.5));
    fill.closeSubpath();
    FillPath(tools, fill);
    if (!SelectPen(tools))
        return;
    if (IsWide(tools.Pen))
        Painter_->drawPolygon(indexes.translated(0.5, 0.5));
    else
        Painter_->drawPolygon(pixels);
}

void TPainterCanvasDevice::RoundRect(const TDrawingTools &tools, const TRect &rect, QSize corner)
{
    if (rect.IsEmpty())
        return;
    ClosedCurve(tools, RoundRectPoints(IndexBox(tools.Pen, rect), corner));
}

void TPainterCanvasDevice::Ellipse(const TDrawingTools &tools, const TRect &rect)
{
    if (rect.IsEmpty())
        return;
    ClosedCurve(tools, EllipsePoints(IndexBox(tools.Pen, rect), 0, 360));
}

void TPainterCanvasDevice::Arc(const TDrawingTools &tools, const TRect &box, QPoint start, QPoint end)
{
    if (box.IsEmpty() || !SelectPen(tools))
        return;
    const QRectF outline = QRectF(box.Left, box.Top, box.Width() - 1, box.Height() - 1);
    const QPointF centre = outline.center();
    const double rx = std::max(outline.width() / 2.0, 0.5);
    const double ry = std::max(outline.height() / 2.0, 0.5);
    // Parameter angles of the two radial points, counter-clockwise as seen on the screen.
    auto angle = [&](QPoint p) { return std::atan2(-(p.y() - centre.y()) / ry, (p.x() - centre.x()) / rx) * 180.0 / std::numbers::pi; };
    const double a1 = angle(start);
    double span = angle(end) - a1;
    while (span <= 1e-9)
        span += 360.0;
    const QPolygonF points = EllipsePoints(outline, a1, std::min(span, 360.0));
    if (IsWide(tools.Pen))
        Painter_->drawPolyline(points.translated(0.5, 0.5));
    else
        Painter_->drawPolyline(Rounded(points));
}

void TPainterCanvasDevice::FillRect(const TDrawingTools &tools, const TRect &rect)
{
    if (rect.IsEmpty() || tools.Brush.Style == bsClear || tools.Brush.Color == clNone)
        return;
    Painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_->fillRect(rect.ToQRect(), QBrush(ColorToQColor(tools.Brush.Color), QtBrushStyle(tools.Brush.Style)));
}

void TPainterCanvasDevice::FrameRect(const TDrawingTools &tools, const TRect &rect)
{
    if (rect.IsEmpty() || tools.Brush.Style == bsClear || tools.Brush.Color == clNone)
        return;
    Painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QBrush brush(ColorToQColor(tools.Brush.Color), QtBrushStyle(tools.Brush.Style));
    const int w = rect.Width();
    const int h = rect.Height();
    Painter_->fillRect(QRect(rect.Left, rect.Top, w, 1), brush);
    if (h > 1)
        Painter_->fillRect(QRect(rect.Left, rect.Bottom - 1, w, 1), brush);
    if (h > 2) {
        Painter_->fillRect(QRect(rect.Left, rect.Top + 1, 1, h - 2), brush);
        if (w > 1)
            Painter_->fillRect(QRect(rect.Right - 1, rect.Top + 1, 1, h - 2), brush);
    }
}

bool TPainterCanvasDevice::PassesOver() const
{
    // Only a picture's bounds are known for sure; other devices draw everything.
    const QPaintDevice *device = Painter_->device();
    return device && device->devType() == QInternal::Image && device->devicePixelRatio() == 1;
}

bool TPainterCanvasDevice::CanShow(const QRect &bounds) const
{
    if (!PassesOver())
        return true;
    const QPaintDevice *device = Painter_->device();
    const QTransform transform = Painter_->combinedTransform();
    QRect window(-2, -2, device->width() + 4, device->height() + 4);
    if (Painter_->hasClipping())
        window &= transform.mapRect(Painter_->clipBoundingRect()).toAlignedRect().adjusted(-2, -2, 2, 2);
    return transform.mapRect(QRectF(bounds)).toAlignedRect().intersects(window);
}

bool TPainterCanvasDevice::TextCanShow(const TDrawingTools &tools, QPoint topLeft, const QString &text,
                                       const TRect *clip, const TRect *opaque) const
{
    // Elsewhere every text is drawn: measuring it first would be lost work.
    if (!PassesOver())
        return true;
    QRect reach;
    if (clip) {
        reach = clip->ToQRect();
    } else {
        // Glyphs may stand out of their advance by a good part of the em, on every side.
        const int em = tools.Font.PixelSize();
        const QSize extent = tools.Font.TextExtent(text);
        reach = QRect(topLeft.x() - em, topLeft.y() - em, extent.width() + 2 * em, extent.height() + 2 * em);
        if (opaque)
            reach |= opaque->ToQRect();
    }
    return CanShow(reach);
}

bool TPainterCanvasDevice::LineCanShow(const TPen &pen, QPoint from, QPoint to) const
{
    const int reach = std::max(1, pen.Width) + 2;
    return CanShow(QRect(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                         QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())))
                       .adjusted(-reach, -reach, reach, reach));
}

void TPainterCanvasDevice::TextOut(const TDrawingTools &tools, QPoint topLeft, const QString &text,
                                   const TRect *clip, const TRect *opaque)
{
    // A text wholly outside the picture (the caption of a link that only
    // crosses a printed page) is not laid out at all.
    if (!TextCanShow(tools, topLeft, text, clip, opaque))
        return;
    Painter_->save();
    Painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_->setBackgroundMode(Qt::TransparentMode);
    if (clip)
        Painter_->setClipRect(clip->ToQRect(), Painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    if (opaque && !opaque->IsEmpty() && tools.Brush.Color != clNone)
        Painter_->fillRect(opaque->ToQRect(), ColorToQColor(tools.Brush.Color));
    if (!text.isEmpty() && tools.Font.Color != clNone) {
        if (!HasFont_ || !(tools.Font == LastFont_)) {
            LastFont_ = tools.Font;
            LastQFont_ = tools.Font.ToQFont();
            HasFont_ = true;
        }
        Painter_->setFont(LastQFont_);
        Painter_->setPen(ColorToQColor(tools.Font.Color));
        Painter_->drawText(QPoint(topLeft.x(), topLeft.y() + tools.Font.Ascent()), text);
    }
    Painter_->restore();
}

void TPainterCanvasDevice::StretchDraw(const TRect &dest, const QImage &image)
{
    if (dest.IsEmpty() || image.isNull())
        return;
    Painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_->drawImage(dest.ToQRect(), image);
}

TColor TPainterCanvasDevice::Pixel(QPoint point) const
{
    QPaintDevice *device = Painter_->device();
    if (!device || device->devType() != QInternal::Image)
        return clNone;
    const QImage *image = static_cast<const QImage *>(device);
    const QPoint p = Painter_->transform().map(point);
    if (!image->valid(p))
        return clNone;
    return QRgbToColor(image->pixel(p));
}

void TPainterCanvasDevice::SetPixel(QPoint point, TColor color)
{
    if (color == clNone)
        return;
    Painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Painter_->fillRect(QRect(point, QSize(1, 1)), ColorToQColor(color));
}

void TPainterCanvasDevice::SetClipRect(const TRect *rect)
{
    // The clip of a borrowed painter (a paint event's region) stays the outer limit, as the
    // system region does under a device context's own clip.
    if (rect && InitialClipping_) {
        Painter_->setClipRegion(InitialClip_);
        Painter_->setClipRect(rect->ToQRect(), Qt::IntersectClip);
    } else if (rect) {
        Painter_->setClipRect(rect->ToQRect());
    } else if (InitialClipping_) {
        Painter_->setClipRegion(InitialClip_);
    } else {
        Painter_->setClipping(false);
    }
}

TRect TPainterCanvasDevice::ClipRect() const
{
    if (Painter_->hasClipping())
        return TRect::FromQRect(Painter_->clipBoundingRect().toAlignedRect());
    QPaintDevice *device = Painter_->device();
    if (!device)
        return {};
    const QRect whole(0, 0, device->width(), device->height());
    return TRect::FromQRect(Painter_->transform().inverted().mapRect(whole));
}
