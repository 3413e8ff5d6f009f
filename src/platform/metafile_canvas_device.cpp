#include "platform/metafile_canvas_device.h"
#include "platform/emf_record.h"
#include "platform/picture_formats.h"
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// The ".wmf" picture holds the enhanced records written here.
[[maybe_unused]] const bool Registered =
    TPictureFormats::Register({QStringLiteral("WMF"), QStringLiteral("Windows Metafile"),
                               QStringLiteral("TMetafileCanvasDevice"), QStringLiteral("Windows Meta files"), 4});

// Record types.
namespace emr {
constexpr std::uint32_t Header = 1;
constexpr std::uint32_t Polygon = 3;
constexpr std::uint32_t Polyline = 4;
constexpr std::uint32_t Eof = 14;
constexpr std::uint32_t SetPixelV = 15;
constexpr std::uint32_t SetBkMode = 18;
constexpr std::uint32_t SetPolyFillMode = 19;
constexpr std::uint32_t SetRop2 = 20;
constexpr std::uint32_t SetStretchBltMode = 21;
constexpr std::uint32_t SetTextAlign = 22;
constexpr std::uint32_t SetTextColor = 24;
constexpr std::uint32_t SetBkColor = 25;
constexpr std::uint32_t MoveToEx = 27;
constexpr std::uint32_t IntersectClipRect = 30;
constexpr std::uint32_t SaveDC = 33;
constexpr std::uint32_t RestoreDC = 34;
constexpr std::uint32_t SelectObject = 37;
constexpr std::uint32_t CreatePen = 38;
constexpr std::uint32_t CreateBrushIndirect = 39;
constexpr std::uint32_t DeleteObject = 40;
constexpr std::uint32_t Ellipse = 42;
constexpr std::uint32_t Rectangle = 43;
constexpr std::uint32_t RoundRect = 44;
constexpr std::uint32_t Arc = 45;
constexpr std::uint32_t LineTo = 54;
constexpr std::uint32_t SetArcDirection = 57;
constexpr std::uint32_t BitBlt = 76;
constexpr std::uint32_t StretchDIBits = 81;
constexpr std::uint32_t ExtCreateFontIndirectW = 82;
constexpr std::uint32_t ExtTextOutW = 84;
constexpr std::uint32_t Polygon16 = 86;
constexpr std::uint32_t Polyline16 = 87;
constexpr std::uint32_t AlphaBlend = 114;
} // namespace emr

constexpr std::uint32_t EmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t EmfVersion = 0x00010000;

// The reference device: a 96-dpi screen, sized so its millimetres come out whole.
constexpr std::int32_t ReferencePixelsX = 1920;
constexpr std::int32_t ReferencePixelsY = 1440;
constexpr std::int32_t ReferenceMillimetresX = 508;
constexpr std::int32_t ReferenceMillimetresY = 381;
constexpr double HundredthsOfMmPerPixel = 2540.0 / LogicalDpi;
constexpr std::int32_t PixelsPerMetre = 3780; // 96 dpi

constexpr std::uint32_t PS_SOLID = 0;
constexpr std::uint32_t PS_NULL = 5;
constexpr std::uint32_t BS_SOLID = 0;
constexpr std::uint32_t BS_NULL = 1;
constexpr std::uint32_t BS_HATCHED = 2;
constexpr std::uint32_t TRANSPARENT = 1;
constexpr std::uint32_t OPAQUE = 2;
constexpr std::uint32_t ALTERNATE = 1;
constexpr std::uint32_t R2_COPYPEN = 13;
constexpr std::uint32_t COLORONCOLOR = 3;
constexpr std::uint32_t TA_TOP_LEFT_NOUPDATECP = 0;
constexpr std::uint32_t GM_COMPATIBLE = 1;
constexpr std::uint32_t AD_COUNTERCLOCKWISE = 1;
constexpr std::uint32_t ETO_OPAQUE = 0x2;
constexpr std::uint32_t ETO_CLIPPED = 0x4;
constexpr std::uint32_t PATCOPY = 0x00F00021;
constexpr std::uint32_t SRCCOPY = 0x00CC0020;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint32_t StockObject = 0x80000000;
constexpr std::uint32_t WHITE_BRUSH = StockObject | 0;
constexpr std::uint32_t BLACK_PEN = StockObject | 7;
constexpr std::uint32_t SYSTEM_FONT = StockObject | 13;

std::uint32_t ColorRef(TColor color) { return static_cast<std::uint32_t>(ColorToRGB(color)) & 0x00FFFFFFu; }

// The binary raster operation (R2_*) of each pen mode.
std::uint32_t Rop2Of(TPenMode mode)
{
    static constexpr std::uint32_t codes[] = {
        1,  // pmBlack: R2_BLACK
        16, // pmWhite: R2_WHITE
        11, // pmNop: R2_NOP
        6,  // pmNot: R2_NOT
        13, // pmCopy: R2_COPYPEN
        4,  // pmNotCopy: R2_NOTCOPYPEN
        14, // pmMergePenNot: R2_MERGEPENNOT
        5,  // pmMaskPenNot: R2_MASKPENNOT
        12, // pmMergeNotPen: R2_MERGENOTPEN
        3,  // pmMaskNotPen: R2_MASKNOTPEN
        15, // pmMerge: R2_MERGEPEN
        2,  // pmNotMerge: R2_NOTMERGEPEN
        9,  // pmMask: R2_MASKPEN
        8,  // pmNotMask: R2_NOTMASKPEN
        7,  // pmXor: R2_XORPEN
        10, // pmNotXor: R2_NOTXORPEN
    };
    const auto index = static_cast<std::size_t>(mode);
    return index < std::size(codes) ? codes[index] : 13;
}

bool IsWide(const TPen &pen) { return pen.Width > 1; }

bool IsStyled(const TPen &pen) { return pen.Style >= psDash && pen.Style <= psDashDotDot; }

// The same test the screen uses, so a picture shows exactly what the window shows.
bool PenDraws(const TPen &pen)
{
    if (pen.Style == psClear || pen.Mode == pmNop)
        return false;
    return pen.Color != clNone || pen.Mode == pmBlack || pen.Mode == pmWhite || pen.Mode == pmNot;
}

bool BrushDraws(const TBrush &brush) { return brush.Style != bsClear && brush.Color != clNone; }

TRect Intersected(const TRect &a, const TRect &b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

TRect United(const TRect &a, const TRect &b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// GDI leaves the right and bottom pixel column of a closed figure unfilled when it has
// no outline; one more pixel each way fills the same area the screen fills.
TRect FigureBox(const TPen &pen, const TRect &rect)
{
    return PenDraws(pen) ? rect : TRect{rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1};
}

bool FitsIn16Bits(const QPolygon &points)
{
    return std::all_of(points.begin(), points.end(), [](QPoint p) {
        constexpr int lo = std::numeric_limits<std::int16_t>::min();
        constexpr int hi = std::numeric_limits<std::int16_t>::max();
        return p.x() >= lo && p.x() <= hi && p.y() >= lo && p.y() <= hi;
    });
}

// POLYLINE16/POLYGON16 halve the size of every point; the 32-bit forms take what does not fit.
void WritePoly(TEmfRecord &record, const QPolygon &points, bool small)
{
    const QRect box = points.boundingRect();
    record.RectL(box.left(), box.top(), box.right(), box.bottom());
    record.U32(static_cast<std::uint32_t>(points.size()));
    for (QPoint p : points) {
        if (small)
            record.I16(static_cast<std::int16_t>(p.x())).I16(static_cast<std::int16_t>(p.y()));
        else
            record.Point(p);
    }
}

// A BITMAPINFOHEADER for a bottom-up, uncompressed DIB.
void WriteBitmapInfo(TEmfRecord &record, int width, int height, int bitCount, std::uint32_t imageSize)
{
    record.U32(40).I32(width).I32(height).U16(1).U16(static_cast<std::uint16_t>(bitCount)).U32(0);
    record.U32(imageSize).I32(PixelsPerMetre).I32(PixelsPerMetre).U32(0).U32(0);
}

// Scan lines bottom first, each padded to four bytes: B, G, R (24 bits) or premultiplied
// B, G, R, A (32 bits).
QByteArray DibBits(const QImage &image, int bitCount)
{
    const qint64 stride = (static_cast<qint64>(image.width()) * bitCount / 8 + 3) & ~qint64(3);
    const qint64 total = stride * image.height();
    if (total > std::numeric_limits<std::int32_t>::max() - 1024)
        throw std::runtime_error("The image is too large for a metafile.");
    QByteArray bits(static_cast<qsizetype>(total), '\0');
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        char *out = bits.data() + stride * (image.height() - 1 - y);
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            *out++ = static_cast<char>(qBlue(p));
            *out++ = static_cast<char>(qGreen(p));
            *out++ = static_cast<char>(qRed(p));
            if (bitCount == 32)
                *out++ = static_cast<char>(qAlpha(p));
        }
    }
    return bits;
}

// Each UTF-16 unit's advance as this program measures the text (the second unit of a pair
// gets none), so the text takes the width its box was laid out for even where the
// reader's font differs. Differences of prefix widths keep kerning exact; past a few hundred
// units that grows too slow, and each character is measured alone, the last one taking up
// what is left of the whole width.
std::vector<std::uint32_t> Advances(const TFont &font, const QString &text)
{
    constexpr qsizetype ExactLimit = 256;
    std::vector<std::uint32_t> dx(static_cast<std::size_t>(text.size()), 0);
    const int whole = font.TextWidth(text);
    int previous = 0;
    qsizetype last = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype next = i + (text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1);
        int advance;
        if (text.size() <= ExactLimit) {
            const int width = next == text.size() ? whole : font.TextWidth(text.left(next));
            advance = width - previous;
        } else {
            advance = font.TextWidth(text.mid(i, next - i));
        }
        advance = std::clamp(advance, 0, std::max(whole - previous, 0));
        dx[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(advance);
        previous += advance;
        last = i;
        i = next;
    }
    if (!text.isEmpty() && previous < whole)
        dx[static_cast<std::size_t>(last)] += static_cast<std::uint32_t>(whole - previous);
    return dx;
}

void WriteIdentityTransform(TEmfRecord &record) { record.F32(1).F32(0).F32(0).F32(1).F32(0).F32(0); }

} // namespace

TMetafileCanvasDevice::TMetafileCanvasDevice(int width, int height) : Width_(width), Height_(height)
{
    if (width < 1 || height < 1)
        throw std::runtime_error("A metafile needs a width and a height of at least one pixel.");
    const double frameWidth = std::round(width * HundredthsOfMmPerPixel);
    const double frameHeight = std::round(height * HundredthsOfMmPerPixel);
    if (frameWidth > std::numeric_limits<std::int32_t>::max() || frameHeight > std::numeric_limits<std::int32_t>::max())
        throw std::runtime_error("The picture is too large for a metafile.");
    HandleInUse_.push_back(true);

    const QString description = QStringLiteral("Marrowtide") + QChar(0) + QChar(0);
    TEmfRecord header(emr::Header);
    header.RectL(0, 0, width - 1, height - 1);
    // The frame, in hundredths of a millimetre, is inclusive like the bounds.
    header.RectL(0, 0, static_cast<std::int32_t>(frameWidth) - 1, static_cast<std::int32_t>(frameHeight) - 1);
    header.U32(EmfSignature).U32(EmfVersion);
    header.U32(0).U32(0).U16(0).U16(0); // bytes, records, handles: completed by Finish
    header.U32(static_cast<std::uint32_t>(description.size())).U32(108).U32(0);
    header.I32(ReferencePixelsX).I32(ReferencePixelsY).I32(ReferenceMillimetresX).I32(ReferenceMillimetresY);
    header.U32(0).U32(0).U32(0); // no pixel format, no OpenGL
    header.U32(ReferenceMillimetresX * 1000).U32(ReferenceMillimetresY * 1000);
    header.Utf16(description);
    Emit(header);
}

TMetafileCanvasDevice::~TMetafileCanvasDevice() = default;

void TMetafileCanvasDevice::Emit(TEmfRecord &record)
{
    Data_.append(record.Take());
    ++Records_;
}

void TMetafileCanvasDevice::CheckOpen() const
{
    if (Finished_)
        throw std::runtime_error("The metafile is already finished.");
}

std::uint32_t TMetafileCanvasDevice::NewHandle()
{
    for (std::size_t i = 1; i < HandleInUse_.size(); ++i) {
        if (!HandleInUse_[i]) {
            HandleInUse_[i] = true;
            return static_cast<std::uint32_t>(i);
        }
    }
    HandleInUse_.push_back(true);
    HandleCount_ = std::max<std::uint32_t>(HandleCount_, static_cast<std::uint32_t>(HandleInUse_.size()));
    return static_cast<std::uint32_t>(HandleInUse_.size() - 1);
}

void TMetafileCanvasDevice::ReleaseHandle(std::uint32_t handle)
{
    // An object the saved state still selects comes back with RESTOREDC: it is deleted
    // only once it is replaced after that.
    if (handle == 0 || (Saved_ && Saved_->Selects(handle)))
        return;
    TEmfRecord record(emr::DeleteObject);
    record.U32(handle);
    Emit(record);
    HandleInUse_[handle] = false;
}

void TMetafileCanvasDevice::SelectPen(const TLogPen &pen)
{
    if (State_.Pen == pen)
        return;
    const std::uint32_t handle = NewHandle();
    TEmfRecord create(emr::CreatePen);
    create.U32(handle).U32(pen.Style).I32(pen.Width).I32(0).U32(pen.Color);
    Emit(create);
    TEmfRecord select(emr::SelectObject);
    select.U32(handle);
    Emit(select);
    const std::uint32_t old = State_.PenHandle;
    State_.Pen = pen;
    State_.PenHandle = handle;
    ReleaseHandle(old);
}

void TMetafileCanvasDevice::SelectBrush(const TLogBrush &brush)
{
    if (State_.Brush == brush)
        return;
    const std::uint32_t handle = NewHandle();
    TEmfRecord create(emr::CreateBrushIndirect);
    create.U32(handle).U32(brush.Style).U32(brush.Color).U32(brush.Hatch);
    Emit(create);
    TEmfRecord select(emr::SelectObject);
    select.U32(handle);
    Emit(select);
    const std::uint32_t old = State_.BrushHandle;
    State_.Brush = brush;
    State_.BrushHandle = handle;
    ReleaseHandle(old);
}

void TMetafileCanvasDevice::SelectFont(const TLogFont &font)
{
    if (State_.Font == font)
        return;
    const std::uint32_t handle = NewHandle();
    TEmfRecord create(emr::ExtCreateFontIndirectW);
    create.U32(handle);
    // LOGFONTW
    create.I32(font.Height).I32(0).I32(0).I32(0).I32(font.Weight);
    create.U8(font.Italic).U8(font.Underline).U8(font.StrikeOut).U8(DEFAULT_CHARSET);
    create.U8(0).U8(0).U8(0).U8(0); // default precision, clipping, quality, pitch and family
    create.Utf16Field(font.Face, 32);
    // The rest of the classic 320-byte form every reader knows: full name, style, version,
    // style size, match, reserved, vendor, culture, PANOSE and padding, all left empty.
    create.Zeros(128 + 64 + 6 * 4 + 10 + 2);
    Emit(create);
    TEmfRecord select(emr::SelectObject);
    select.U32(handle);
    Emit(select);
    const std::uint32_t old = State_.FontHandle;
    State_.Font = font;
    State_.FontHandle = handle;
    ReleaseHandle(old);
}

void TMetafileCanvasDevice::SetState(std::optional<std::uint32_t> TDcState::*field, std::uint32_t type, std::uint32_t value)
{
    if (State_.*field == value)
        return;
    TEmfRecord record(type);
    record.U32(value);
    Emit(record);
    State_.*field = value;
}

bool TMetafileCanvasDevice::PrepareFigure(const TDrawingTools &tools, bool fills)
{
    CheckOpen();
    const TPen &pen = tools.Pen;
    const bool outlined = PenDraws(pen);
    const bool filled = fills && BrushDraws(tools.Brush);
    if (!outlined && !filled)
        return false;

    TLogPen logPen{PS_NULL, 1, 0};
    if (outlined) {
        TColor color = pen.Color;
        if (pen.Mode == pmBlack || color == clNone)
            color = clBlack;
        else if (pen.Mode == pmWhite)
            color = clWhite;
        // Wide pens are solid on every device; saying so keeps readers that would dash them in step.
        const std::uint32_t style = IsWide(pen) && IsStyled(pen) ? PS_SOLID : static_cast<std::uint32_t>(pen.Style);
        logPen = {style, std::max(pen.Width, 1), ColorRef(color)};
    }
    SelectPen(logPen);
    if (fills) {
        TLogBrush logBrush{BS_NULL, 0, 0};
        if (filled) {
            const TBrush &brush = tools.Brush;
            logBrush = brush.Style == bsSolid
                           ? TLogBrush{BS_SOLID, ColorRef(brush.Color), 0}
                           : TLogBrush{BS_HATCHED, ColorRef(brush.Color), static_cast<std::uint32_t>(brush.Style - bsHorizontal)};
        }
        SelectBrush(logBrush);
    }
    SetState(&TDcState::Rop2, emr::SetRop2, Rop2Of(pen.Mode));
    // The background shows only in the gaps of styled lines and hatches: a solid brush fills
    // them with its colour, anything else leaves them transparent.
    const bool styledLine = outlined && !IsWide(pen) && IsStyled(pen);
    const bool hatched = filled && tools.Brush.Style != bsSolid;
    if (styledLine || hatched) {
        if (tools.Brush.Style == bsSolid && tools.Brush.Color != clNone) {
            SetState(&TDcState::BkColor, emr::SetBkColor, ColorRef(tools.Brush.Color));
            SetState(&TDcState::BkMode, emr::SetBkMode, OPAQUE);
        } else {
            SetState(&TDcState::BkMode, emr::SetBkMode, TRANSPARENT);
        }
    }
    return true;
}

void TMetafileCanvasDevice::Line(const TDrawingTools &tools, QPoint from, QPoint to)
{
    if (!PrepareFigure(tools, false))
        return;
    TEmfRecord move(emr::MoveToEx);
    move.Point(from);
    Emit(move);
    TEmfRecord line(emr::LineTo);
    line.Point(to);
    Emit(line);
}

void TMetafileCanvasDevice::Polyline(const TDrawingTools &tools, const QPolygon &points)
{
    if (points.size() < 2 || !PrepareFigure(tools, false))
        return;
    const bool small = FitsIn16Bits(points);
    TEmfRecord record(small ? emr::Polyline16 : emr::Polyline);
    WritePoly(record, points, small);
    Emit(record);
}

void TMetafileCanvasDevice::Polygon(const TDrawingTools &tools, const QPolygon &points)
{
    if (points.size() < 2 || !PrepareFigure(tools, true))
        return;
    SetState(&TDcState::PolyFillMode, emr::SetPolyFillMode, ALTERNATE);
    const bool small = FitsIn16Bits(points);
    TEmfRecord record(small ? emr::Polygon16 : emr::Polygon);
    WritePoly(record, points, small);
    Emit(record);
}

void TMetafileCanvasDevice::Rectangle(const TDrawingTools &tools, const TRect &rect)
{
    // Without an outline the rectangle is a plain fill, which readers place to the pixel;
    // a grown EMR_RECTANGLE would spill one pixel over in readers that ignore that quirk
    // of GDI. Only raster modes other than copying need the figure.
    if (!rect.IsEmpty() && !PenDraws(tools.Pen) && Rop2Of(tools.Pen.Mode) == R2_COPYPEN) {
        FillRect(tools, rect);
        return;
    }
    if (rect.IsEmpty() || !PrepareFigure(tools, true))
        return;
    TEmfRecord record(emr::Rectangle);
    record.RectL(FigureBox(tools.Pen, rect));
    Emit(record);
}

void TMetafileCanvasDevice::RoundRect(const TDrawingTools &tools, const TRect &rect, QSize corner)
{
    if (rect.IsEmpty() || !PrepareFigure(tools, true))
        return;
    TEmfRecord record(emr::RoundRect);
    record.RectL(FigureBox(tools.Pen, rect)).I32(corner.width()).I32(corner.height());
    Emit(record);
}

void TMetafileCanvasDevice::Ellipse(const TDrawingTools &tools, const TRect &rect)
{
    if (rect.IsEmpty() || !PrepareFigure(tools, true))
        return;
    TEmfRecord record(emr::Ellipse);
    record.RectL(FigureBox(tools.Pen, rect));
    Emit(record);
}

void TMetafileCanvasDevice::Arc(const TDrawingTools &tools, const TRect &box, QPoint start, QPoint end)
{
    if (box.IsEmpty() || !PrepareFigure(tools, false))
        return;
    // Written rather than left to the player's default: turned the other way, an arc draws
    // the rest of its ellipse instead.
    SetState(&TDcState::ArcDirection, emr::SetArcDirection, AD_COUNTERCLOCKWISE);
    TEmfRecord record(emr::Arc);
    record.RectL(box).Point(start).Point(end);
    Emit(record);
}

// PatBlt with the brush, which is how a GDI metafile records FillRect itself: exact to
// the pixel, without the pen, and untouched by the raster mode.
void TMetafileCanvasDevice::FillWithBrush(const TLogBrush &brush, const TRect &rect)
{
    SelectBrush(brush);
    if (brush.Style == BS_HATCHED)
        SetState(&TDcState::BkMode, emr::SetBkMode, TRANSPARENT);
    TEmfRecord record(emr::BitBlt);
    record.Bounds(rect);
    record.I32(rect.Left).I32(rect.Top).I32(rect.Width()).I32(rect.Height());
    record.U32(PATCOPY).I32(0).I32(0);
    WriteIdentityTransform(record);
    record.U32(0).U32(0);                 // background colour and colour usage of a source
    record.U32(0).U32(0).U32(0).U32(0); // no source bitmap
    Emit(record);
}

void TMetafileCanvasDevice::FillRect(const TDrawingTools &tools, const TRect &rect)
{
    CheckOpen();
    const TBrush &brush = tools.Brush;
    if (rect.IsEmpty() || !BrushDraws(brush))
        return;
    FillWithBrush(brush.Style == bsSolid ? TLogBrush{BS_SOLID, ColorRef(brush.Color), 0}
                                         : TLogBrush{BS_HATCHED, ColorRef(brush.Color), static_cast<std::uint32_t>(brush.Style - bsHorizontal)},
                  rect);
}

void TMetafileCanvasDevice::FrameRect(const TDrawingTools &tools, const TRect &rect)
{
    CheckOpen();
    if (rect.IsEmpty() || !BrushDraws(tools.Brush))
        return;
    // The four sides as fills, like the screen, so no pixel is painted twice.
    const int w = rect.Width();
    const int h = rect.Height();
    FillRect(tools, Bounds(rect.Left, rect.Top, w, 1));
    if (h > 1)
        FillRect(tools, Bounds(rect.Left, rect.Bottom - 1, w, 1));
    if (h > 2) {
        FillRect(tools, Bounds(rect.Left, rect.Top + 1, 1, h - 2));
        if (w > 1)
            FillRect(tools, Bounds(rect.Right - 1, rect.Top + 1, 1, h - 2));
    }
}

void TMetafileCanvasDevice::TextOut(const TDrawingTools &tools, QPoint topLeft, const QString &text,
                                    const TRect *clip, const TRect *opaque)
{
    CheckOpen();
    const TBrush &brush = tools.Brush;
    const TFont &font = tools.Font;
    std::optional<TRect> fill;
    if (opaque && brush.Color != clNone) {
        const TRect area = clip ? Intersected(*opaque, *clip) : *opaque;
        if (!area.IsEmpty())
            fill = area;
    }
    const bool drawsText = !text.isEmpty() && font.Color != clNone && !(clip && clip->IsEmpty());
    // One ExtTextOut fills and clips with the same rectangle; when they differ, or there
    // is no text, the background is a fill of its own.
    const bool fillWithText = fill && drawsText && (!clip || *clip == *opaque);
    if (fill && !fillWithText)
        FillWithBrush({BS_SOLID, ColorRef(brush.Color), 0}, *fill);
    if (!drawsText)
        return;

    SelectFont({font.Name.left(31), -font.PixelSize(), font.Style.testFlag(fsBold) ? 700 : 400,
                font.Style.testFlag(fsItalic), font.Style.testFlag(fsUnderline), font.Style.testFlag(fsStrikeOut)});
    SetState(&TDcState::TextAlign, emr::SetTextAlign, TA_TOP_LEFT_NOUPDATECP);
    SetState(&TDcState::TextColor, emr::SetTextColor, ColorRef(font.Color));
    SetState(&TDcState::BkMode, emr::SetBkMode, TRANSPARENT);
    std::uint32_t options = 0;
    TRect rect{0, 0, -1, -1};
    if (fillWithText) {
        SetState(&TDcState::BkColor, emr::SetBkColor, ColorRef(brush.Color));
        options |= ETO_OPAQUE;
        rect = *opaque;
    }
    if (clip) {
        options |= ETO_CLIPPED;
        rect = *clip;
    }

    const std::vector<std::uint32_t> dx = Advances(font, text);
    int total = 0;
    for (std::uint32_t d : dx)
        total += static_cast<int>(d);
    TRect bounds = Bounds(topLeft.x(), topLeft.y(), total, font.TextHeight(text));
    if (fillWithText)
        bounds = United(bounds, *opaque);
    if (clip)
        bounds = Intersected(bounds, *clip);

    const std::uint32_t count = static_cast<std::uint32_t>(text.size());
    const std::uint32_t stringOffset = 76;
    const std::uint32_t dxOffset = stringOffset + ((count * 2 + 3) & ~3u);
    TEmfRecord record(emr::ExtTextOutW);
    record.Bounds(bounds).U32(GM_COMPATIBLE).F32(HundredthsOfMmPerPixel).F32(HundredthsOfMmPerPixel);
    record.Point(topLeft).U32(count).U32(stringOffset).U32(options).RectL(rect).U32(dxOffset);
    record.Utf16(text).Align4();
    for (std::uint32_t d : dx)
        record.U32(d);
    Emit(record);
}

void TMetafileCanvasDevice::StretchDraw(const TRect &dest, const QImage &image)
{
    CheckOpen();
    if (dest.IsEmpty() || image.isNull())
        return;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    bool anyVisible = false;
    bool anyTransparent = false;
    for (int y = 0; y < argb.height() && !(anyVisible && anyTransparent); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const int alpha = qAlpha(line[x]);
            anyVisible |= alpha != 0;
            anyTransparent |= alpha != 255;
        }
    }
    if (!anyVisible)
        return;
    SetState(&TDcState::StretchMode, emr::SetStretchBltMode, COLORONCOLOR);
    const int w = argb.width();
    const int h = argb.height();

    if (!anyTransparent) {
        const QByteArray bits = DibBits(argb, 24);
        TEmfRecord record(emr::StretchDIBits);
        record.Bounds(dest).I32(dest.Left).I32(dest.Top).I32(0).I32(0).I32(w).I32(h);
        record.U32(80).U32(40).U32(120).U32(static_cast<std::uint32_t>(bits.size()));
        record.U32(0).U32(SRCCOPY).I32(dest.Width()).I32(dest.Height()); // DIB_RGB_COLORS
        WriteBitmapInfo(record, w, h, 24, static_cast<std::uint32_t>(bits.size()));
        record.Append(bits);
        Emit(record);
        return;
    }

    // Blending needs premultiplied pixels; fully transparent ones become 0 and leave the
    // picture beneath untouched.
    const QByteArray bits = DibBits(argb.convertToFormat(QImage::Format_ARGB32_Premultiplied), 32);
    TEmfRecord record(emr::AlphaBlend);
    record.Bounds(dest).I32(dest.Left).I32(dest.Top).I32(dest.Width()).I32(dest.Height());
    record.U8(0).U8(0).U8(255).U8(1); // AC_SRC_OVER, constant alpha 255, AC_SRC_ALPHA
    record.I32(0).I32(0);
    WriteIdentityTransform(record);
    record.U32(0).U32(0); // background colour, DIB_RGB_COLORS
    record.U32(108).U32(40).U32(148).U32(static_cast<std::uint32_t>(bits.size()));
    record.I32(w).I32(h);
    WriteBitmapInfo(record, w, h, 32, static_cast<std::uint32_t>(bits.size()));
    record.Append(bits);
    Emit(record);
}

TColor TMetafileCanvasDevice::Pixel(QPoint) const { return clNone; }

void TMetafileCanvasDevice::SetPixel(QPoint point, TColor color)
{
    CheckOpen();
    if (color == clNone)
        return;
    TEmfRecord record(emr::SetPixelV);
    record.Point(point).U32(ColorRef(color));
    Emit(record);
}

void TMetafileCanvasDevice::SetClipRect(const TRect *rect)
{
    CheckOpen();
    if (!rect) {
        if (Clip_)
            RestoreClip();
        return;
    }
    if (Clip_ && *Clip_ == *rect)
        return;
    // A clip replaces the one before: back to the unclipped state, then a fresh intersection.
    if (Clip_)
        RestoreClip();
    TEmfRecord save(emr::SaveDC);
    Emit(save);
    Saved_ = State_;
    TEmfRecord intersect(emr::IntersectClipRect);
    intersect.RectL(*rect);
    Emit(intersect);
    Clip_ = *rect;
}

void TMetafileCanvasDevice::RestoreClip()
{
    TEmfRecord restore(emr::RestoreDC);
    restore.I32(-1);
    Emit(restore);
    // RESTOREDC brings back the objects and modes of the save; what was selected since is
    // no longer in use.
    const TDcState during = State_;
    State_ = *Saved_;
    Saved_.reset();
    Clip_.reset();
    for (std::uint32_t handle : {during.PenHandle, during.BrushHandle, during.FontHandle}) {
        if (!State_.Selects(handle))
            ReleaseHandle(handle);
    }
}

TRect TMetafileCanvasDevice::ClipRect() const { return Clip_ ? *Clip_ : Rect(0, 0, Width_, Height_); }

QByteArray TMetafileCanvasDevice::Finish()
{
    if (Finished_)
        return Data_;
    if (Clip_)
        RestoreClip();
    // Stock objects take the place of ours so that every one of ours can be deleted.
    const std::pair<std::uint32_t TDcState::*, std::uint32_t> stockFor[] = {
        {&TDcState::PenHandle, BLACK_PEN}, {&TDcState::BrushHandle, WHITE_BRUSH}, {&TDcState::FontHandle, SYSTEM_FONT}};
    for (const auto &[field, stock] : stockFor) {
        const std::uint32_t handle = State_.*field;
        if (handle == 0)
            continue;
        TEmfRecord select(emr::SelectObject);
        select.U32(stock);
        Emit(select);
        State_.*field = 0;
        ReleaseHandle(handle);
    }
    TEmfRecord eof(emr::Eof);
    eof.U32(0).U32(16).U32(20); // no palette; the record's own size last
    Emit(eof);

    qToLittleEndian(static_cast<std::uint32_t>(Data_.size()), Data_.data() + 48);
    qToLittleEndian(Records_, Data_.data() + 52);
    qToLittleEndian(static_cast<std::uint16_t>(HandleCount_), Data_.data() + 56);
    Finished_ = true;
    return Data_;
}

