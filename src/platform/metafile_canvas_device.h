#pragma once
// TMetafileCanvasDevice: the canvas back end that records an Enhanced Metafile in memory.
//
// The picture is W x H pixels at 96 dpi, recorded in MM_TEXT units (one unit per pixel)
// against a 96-dpi reference device, so every reader maps it to its true size. Records
// keep the GDI meanings the canvas speaks: rectangles and clips exclusive of right and
// bottom, LineTo without its end pixel, arcs counter-clockwise, text by its top-left.
// Pens, brushes and fonts are created only when they change and deleted once replaced;
// Finish() deletes the rest and closes the file.
#include "platform/canvas_device.h"
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

class TEmfRecord;

class TMetafileCanvasDevice : public TCanvasDevice {
public:
    // The picture's size in pixels; both at least 1. Throws for sizes outside that or too
    // large to express in the header's hundredths of a millimetre.
    explicit TMetafileCanvasDevice(int width, int height);
    ~TMetafileCanvasDevice() override;
    TMetafileCanvasDevice(const TMetafileCanvasDevice &) = delete;
    TMetafileCanvasDevice &operator=(const TMetafileCanvasDevice &) = delete;

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
    // Opaque images become EMR_STRETCHDIBITS with a 24-bit bottom-up DIB; images with any
    // transparency become EMR_ALPHABLEND with premultiplied 32-bit pixels, so key-colour
    // icons (see ImageWithTransparentColor) keep their holes.
    void StretchDraw(const TRect &dest, const QImage &image) override;
    // A metafile cannot be read back: always clNone.
    TColor Pixel(QPoint point) const override;
    void SetPixel(QPoint point, TColor color) override;
    void SetClipRect(const TRect *rect) override;
    TRect ClipRect() const override;

    int Width() const { return Width_; }
    int Height() const { return Height_; }

    // Closes the metafile (clip lifted, objects deleted, EMR_EOF, header completed) and
    // returns its bytes. Later calls return the same bytes; drawing after it throws.
    QByteArray Finish();
    bool Finished() const { return Finished_; }

private:
    // Device-independent parts of the GDI objects, compared to decide whether the one
    // selected can be kept.
    struct TLogPen {
        std::uint32_t Style = 0;
        std::int32_t Width = 0;
        std::uint32_t Color = 0;
        friend bool operator==(const TLogPen &, const TLogPen &) = default;
    };
    struct TLogBrush {
        std::uint32_t Style = 0;
        std::uint32_t Color = 0;
        std::uint32_t Hatch = 0;
        friend bool operator==(const TLogBrush &, const TLogBrush &) = default;
    };
    struct TLogFont {
        QString Face;
        std::int32_t Height = 0;
        std::int32_t Weight = 0;
        bool Italic = false;
        bool Underline = false;
        bool StrikeOut = false;
        friend bool operator==(const TLogFont &, const TLogFont &) = default;
    };

    // What the playing device context holds; unset values were never written, so the
    // first use writes them whatever the reader's defaults are.
    struct TDcState {
        std::optional<TLogPen> Pen;
        std::optional<TLogBrush> Brush;
        std::optional<TLogFont> Font;
        std::uint32_t PenHandle = 0;
        std::uint32_t BrushHandle = 0;
        std::uint32_t FontHandle = 0;
        std::optional<std::uint32_t> BkMode;
        std::optional<std::uint32_t> BkColor;
        std::optional<std::uint32_t> TextColor;
        std::optional<std::uint32_t> TextAlign;
        std::optional<std::uint32_t> Rop2;
        std::optional<std::uint32_t> PolyFillMode;
        std::optional<std::uint32_t> StretchMode;
        std::optional<std::uint32_t> ArcDirection;
        bool Selects(std::uint32_t handle) const
        {
            return handle != 0 && (handle == PenHandle || handle == BrushHandle || handle == FontHandle);
        }
    };

    void Emit(TEmfRecord &record);
    void CheckOpen() const;

    std::uint32_t NewHandle();
    void ReleaseHandle(std::uint32_t handle);
    void SelectPen(const TLogPen &pen);
    void SelectBrush(const TLogBrush &brush);
    void SelectFont(const TLogFont &font);
    void SetState(std::optional<std::uint32_t> TDcState::*field, std::uint32_t type, std::uint32_t value);

    // Pen, brush, background and raster mode for a figure; false when nothing would show.
    bool PrepareFigure(const TDrawingTools &tools, bool fills);
    void FillWithBrush(const TLogBrush &brush, const TRect &rect);
    void RestoreClip();

    int Width_;
    int Height_;
    QByteArray Data_;
    std::uint32_t Records_ = 0;
    std::vector<bool> HandleInUse_; // index 0 stands for the metafile itself
    std::uint32_t HandleCount_ = 1;
    TDcState State_;
    std::optional<TDcState> Saved_; // the state SAVEDC kept while a clip rectangle is set
    std::optional<TRect> Clip_;
    bool Finished_ = false;
};
