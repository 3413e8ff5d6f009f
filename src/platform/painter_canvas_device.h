#pragma once
// TPainterCanvasDevice: the canvas back end that draws with a QPainter (widget, image, printer).
#include "platform/canvas_device.h"
#include <QRegion>
#include <memory>

class QPainter;
class QPaintDevice;
class QPainterPath;

class TPainterCanvasDevice : public TCanvasDevice {
public:
    // Borrows a painter that is active; its state is restored on destruction.
    explicit TPainterCanvasDevice(QPainter *painter);
    // Opens and owns a painter on the device.
    explicit TPainterCanvasDevice(QPaintDevice *device);
    ~TPainterCanvasDevice() override;

    void Line(const TDrawingTools &tools, QPoint from, QPoint to) override;
    void Polyline(const TDrawingTools &tools, const QPolygon &points) override;
    void Polygon(const TDrawingTools &tools, const QPolygon &points) override;
    void Rectangle(const TDrawingTools &tools, const TRect &rect) override;
    void RoundRect(const TDrawingTools &tools, const TRect &rect, QSize corner) override;
    void Ellipse(const TDrawingTools &tools, const TRect &rect) override;
    void Arc(const TDrawingTools &tools, const TRect &box, QPoint start, QPoint end) override;
    void FillRect(const TDrawingTools &tools, const TRect &rect) override;
    void FrameRect(const TDrawingTools &tools, const TRect &rect) override;
    void TextOut(const TDrawingTools &tools, QPoint topLeft, const QString &text,
                 const TRect *clip, const TRect *opaque) override;
    void StretchDraw(const TRect &dest, const QImage &image) override;
    TColor Pixel(QPoint point) const override;
    void SetPixel(QPoint point, TColor color) override;
    void SetClipRect(const TRect *rect) override;
    TRect ClipRect() const override;

    QPainter *Painter() const { return Painter_; }

private:
    void Setup();
    bool SelectPen(const TDrawingTools &tools);
    bool SelectBrush(const TDrawingTools &tools);
    void SelectMode(TPenMode mode);
    void FillPath(const TDrawingTools &tools, const QPainterPath &path);
    void ThinSegment(QPoint from, QPoint to);
    void ClosedCurve(const TDrawingTools &tools, const QPolygonF &indexes);
    // Whether drawing within these bounds can put anything into the picture:
    // painting a piece of a large page passes over much that lies beyond it.
    bool CanShow(const QRect &bounds) const;
    // Whether this device is one whose drawing CanShow may pass over.
    bool PassesOver() const;
    bool TextCanShow(const TDrawingTools &tools, QPoint topLeft, const QString &text, const TRect *clip,
                     const TRect *opaque) const;
    bool LineCanShow(const TPen &pen, QPoint from, QPoint to) const;

    std::unique_ptr<QPainter> OwnPainter_;
    QPainter *Painter_ = nullptr;
    bool RasterOps_ = false;
    bool InitialClipping_ = false;
    QRegion InitialClip_;
    bool HasFont_ = false;
    TFont LastFont_;
    QFont LastQFont_;
};
