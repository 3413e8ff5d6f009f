// The metafile back end: what a canvas draws comes out as well-formed EMF records with
// the coordinates, tools and states a GDI player needs to show the same picture.
#include "emf_reader.h"
#include "platform/canvas.h"
#include "platform/emf_record.h"
#include "platform/metafile_canvas_device.h"
#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace emf;

namespace {

using Rect4 = std::array<std::int32_t, 4>;

QByteArray Draw(const std::function<void(TCanvas &)> &draw, int width = 300, int height = 200)
{
    TCanvas canvas(std::make_unique<TMetafileCanvasDevice>(width, height));
    draw(canvas);
    return static_cast<TMetafileCanvasDevice *>(canvas.Device())->Finish();
}

// Draws, reads the result back and insists on a sound file that leaves no object behind.
TEmfReader Record(const std::function<void(TCanvas &)> &draw, int width = 300, int height = 200)
{
    TEmfReader reader(Draw(draw, width, height));
    EXPECT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.ObjectsLeftAtEnd(), 0);
    return reader;
}

// The record types in order, without the header and the end.
std::vector<std::uint32_t> Body(const TEmfReader &reader)
{
    std::vector<std::uint32_t> types = reader.Types();
    if (types.size() < 2)
        return {};
    return std::vector<std::uint32_t>(types.begin() + 1, types.end() - 1);
}

// The records that change a DC attribute to the value they carry, e.g. every SETBKMODE.
std::vector<std::uint32_t> Values(const TEmfReader &reader, std::uint32_t type)
{
    std::vector<std::uint32_t> values;
    for (const TEmfReadRecord &r : reader.OfType(type))
        values.push_back(r.U32(8));
    return values;
}

TEmfReadRecord Only(const TEmfReader &reader, std::uint32_t type)
{
    const QList<TEmfReadRecord> found = reader.OfType(type);
    EXPECT_EQ(found.size(), 1) << "records of type " << type;
    return found.isEmpty() ? TEmfReadRecord{} : found.front();
}

QImage Solid(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

} // namespace

class MetafileCanvasDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
};

TEST_F(MetafileCanvasDevice, HeaderDescribesThePictureAt96Dpi)
{
    const TEmfReader reader = Record([](TCanvas &) {});
    ASSERT_TRUE(reader.IsValid());
    EXPECT_EQ(Body(reader), std::vector<std::uint32_t>{});
    const TEmfReadRecord &h = reader.Header();
    EXPECT_EQ(h.RectL(8), (Rect4{0, 0, 299, 199}));     // bounds in pixels, inclusive
    EXPECT_EQ(h.RectL(24), (Rect4{0, 0, 7937, 5291}));  // frame: 300 and 200 px in 0.01 mm
    EXPECT_EQ(h.U32(40), 0x464D4520u);
    EXPECT_EQ(h.U32(44), 0x10000u);
    EXPECT_EQ(h.U16(56), 1); // no objects: only the metafile's own slot
    // A 96-dpi reference device: pixels and millimetres in the ratio 96 : 25.4.
    const int px = h.I32(72), py = h.I32(76), mmx = h.I32(80), mmy = h.I32(84);
    EXPECT_GT(px, 0);
    EXPECT_EQ(px * 254, mmx * 960);
    EXPECT_EQ(py * 254, mmy * 960);
    ASSERT_GE(h.Size, 108u);
    EXPECT_EQ(h.U32(100), static_cast<std::uint32_t>(mmx) * 1000); // micrometres
    EXPECT_EQ(h.U32(104), static_cast<std::uint32_t>(mmy) * 1000);
    EXPECT_EQ(h.Utf16(h.U32(64), h.U32(60), true), "Marrowtide");
    EXPECT_EQ(h.Utf16(h.U32(64), h.U32(60)).back(), QChar(0));
}

TEST_F(MetafileCanvasDevice, SizesOutsideTheFormatAreRefused)
{
    for (const auto &[w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-5, 10}, std::pair{100000000, 10}})
        EXPECT_THROW(TMetafileCanvasDevice(w, h), std::runtime_error) << w << "x" << h;
    // The widest pages a diagram can have still fit: a vector picture has no pixel limit.
    TMetafileCanvasDevice wide(542000, 3000);
    EXPECT_TRUE(TEmfReader(wide.Finish()).IsValid());
}

TEST_F(MetafileCanvasDevice, FinishIsFinal)
{
    TMetafileCanvasDevice device(50, 40);
    TPen pen;
    TBrush brush;
    TFont font;
    const TDrawingTools tools{pen, brush, font};
    device.Rectangle(tools, Rect(1, 1, 10, 10));
    const QByteArray first = device.Finish();
    EXPECT_TRUE(device.Finished());
    EXPECT_EQ(device.Finish(), first);
    EXPECT_THROW(device.Rectangle(tools, Rect(1, 1, 10, 10)), std::runtime_error);
    EXPECT_THROW(device.SetClipRect(nullptr), std::runtime_error);
    EXPECT_EQ(device.Finish(), first);
}

TEST_F(MetafileCanvasDevice, RectanglesKeepExclusiveRightAndBottom)
{
    const TEmfReader outlined = Record([](TCanvas &c) { c.Rectangle(10, 20, 110, 70); });
    EXPECT_EQ(Only(outlined, EMR_RECTANGLE).RectL(8), (Rect4{10, 20, 110, 70}));

    // Without an outline GDI would leave the last column and row unfilled; the box grows
    // so the filled area is the same as on the screen. A plain rectangle is a plain fill.
    const TEmfReader fillOnly = Record([](TCanvas &c) {
        c.Pen.Style = psClear;
        c.Rectangle(10, 20, 110, 70);
        c.Ellipse(0, 0, 8, 6);
        c.RoundRect(1, 2, 30, 40, 6, 8);
        c.Pen.Mode = pmXor;
        c.Rectangle(10, 20, 110, 70);
    });
    const TEmfReadRecord fill = Only(fillOnly, EMR_BITBLT);
    EXPECT_EQ((Rect4{fill.I32(24), fill.I32(28), fill.I32(32), fill.I32(36)}), (Rect4{10, 20, 100, 50}));
    EXPECT_EQ(Only(fillOnly, EMR_RECTANGLE).RectL(8), (Rect4{10, 20, 111, 71}));
    EXPECT_EQ(Only(fillOnly, EMR_ELLIPSE).RectL(8), (Rect4{0, 0, 9, 7}));
    EXPECT_EQ(Only(fillOnly, EMR_ROUNDRECT).RectL(8), (Rect4{1, 2, 31, 41}));
    EXPECT_EQ(Only(fillOnly, EMR_CREATEPEN).U32(12), 5u); // PS_NULL

    // Neither outline nor fill, or no area: nothing at all.
    const TEmfReader nothing = Record([](TCanvas &c) {
        c.Pen.Style = psClear;
        c.Brush.Style = bsClear;
        c.Rectangle(10, 20, 110, 70);
        c.Pen.Style = psSolid;
        c.Rectangle(10, 20, 10, 70);
        c.Ellipse(5, 5, 5, 9);
    });
    EXPECT_EQ(Body(nothing), std::vector<std::uint32_t>{});
}

TEST_F(MetafileCanvasDevice, LinesArcsAndCurves)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.MoveTo(5, 6);
        c.LineTo(150, 6);
        c.LineTo(150, 90);
        c.Arc(10, 10, 50, 40, 50, 25, 10, 25);
        c.Ellipse(60, 10, 90, 30);
        c.RoundRect(100, 10, 140, 40, 8, 6);
    });
    EXPECT_EQ(Body(reader), (std::vector<std::uint32_t>{EMR_CREATEPEN, EMR_SELECTOBJECT, EMR_SETROP2, EMR_MOVETOEX,
                                                        EMR_LINETO, EMR_MOVETOEX, EMR_LINETO, EMR_SETARCDIRECTION, EMR_ARC,
                                                        EMR_CREATEBRUSHINDIRECT, EMR_SELECTOBJECT, EMR_ELLIPSE,
                                                        EMR_ROUNDRECT, EMR_SELECTOBJECT, EMR_DELETEOBJECT,
                                                        EMR_SELECTOBJECT, EMR_DELETEOBJECT}));
    const QList<TEmfReadRecord> moves = reader.OfType(EMR_MOVETOEX);
    const QList<TEmfReadRecord> lines = reader.OfType(EMR_LINETO);
    EXPECT_EQ(moves[0].I32(8), 5);
    EXPECT_EQ(moves[0].I32(12), 6);
    EXPECT_EQ(lines[0].I32(8), 150);
    EXPECT_EQ(lines[0].I32(12), 6);
    EXPECT_EQ(moves[1].I32(8), 150); // the second line starts where the pen stopped
    EXPECT_EQ(lines[1].I32(12), 90);
    const TEmfReadRecord arc = Only(reader, EMR_ARC);
    EXPECT_EQ(arc.RectL(8), (Rect4{10, 10, 50, 40}));
    EXPECT_EQ(Values(reader, EMR_SETARCDIRECTION), std::vector<std::uint32_t>{1}); // AD_COUNTERCLOCKWISE
    EXPECT_EQ(arc.I32(24), 50); // start and end rays as given
    EXPECT_EQ(arc.I32(28), 25);
    EXPECT_EQ(arc.I32(32), 10);
    EXPECT_EQ(arc.I32(36), 25);
    EXPECT_EQ(Only(reader, EMR_ELLIPSE).RectL(8), (Rect4{60, 10, 90, 30}));
    const TEmfReadRecord round = Only(reader, EMR_ROUNDRECT);
    EXPECT_EQ(round.RectL(8), (Rect4{100, 10, 140, 40}));
    EXPECT_EQ(round.I32(24), 8);
    EXPECT_EQ(round.I32(28), 6);
    EXPECT_EQ(Values(reader, EMR_SETROP2), std::vector<std::uint32_t>{13}); // R2_COPYPEN
}

TEST_F(MetafileCanvasDevice, PolygonsAndPolylinesCarryTheirPoints)
{
    const QPolygon triangle({QPoint(10, 40), QPoint(30, 5), QPoint(50, 40)});
    const QPolygon far({QPoint(-40000, 10), QPoint(70000, 20), QPoint(100, 5)});
    const TEmfReader reader = Record([&](TCanvas &c) {
        c.Polygon(triangle);
        c.Polyline(triangle);
        c.Polyline(far);
        c.Polyline(QPolygon({QPoint(1, 1)})); // a single point draws nothing
    });
    const TEmfReadRecord polygon = Only(reader, EMR_POLYGON16);
    EXPECT_EQ(polygon.RectL(8), (Rect4{10, 5, 50, 40}));
    ASSERT_EQ(polygon.U32(24), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(polygon.I16(28 + 4 * i), triangle[i].x());
        EXPECT_EQ(polygon.I16(30 + 4 * i), triangle[i].y());
    }
    EXPECT_EQ(polygon.Size, 28u + 12);
    EXPECT_EQ(Only(reader, EMR_POLYLINE16).Bytes(24, 16), polygon.Bytes(24, 16));
    EXPECT_EQ(Values(reader, EMR_SETPOLYFILLMODE), std::vector<std::uint32_t>{1}); // ALTERNATE

    // Points beyond 16 bits take the 32-bit record.
    const TEmfReadRecord wide = Only(reader, EMR_POLYLINE);
    EXPECT_EQ(wide.RectL(8), (Rect4{-40000, 5, 70000, 20}));
    ASSERT_EQ(wide.U32(24), 3u);
    EXPECT_EQ(wide.I32(28), -40000);
    EXPECT_EQ(wide.I32(36), 70000);
    EXPECT_EQ(wide.I32(48), 5);
}

TEST_F(MetafileCanvasDevice, PensCarryStyleWidthAndColour)
{
    struct Case {
        TPenStyle Style;
        int Width;
        TColor Color;
        std::uint32_t ExpectedStyle;
        std::int32_t ExpectedWidth;
        std::uint32_t ExpectedColor;
    };
    const QRgb windowText = QGuiApplication::palette().color(QPalette::WindowText).rgb();
    const Case cases[] = {
        {psSolid, 1, clRed, 0, 1, 0x0000FF},
        {psDash, 1, RGBColor(1, 2, 3), 1, 1, 0x030201},
        {psDot, 1, clBlack, 2, 1, 0},
        {psDashDot, 1, clBlack, 3, 1, 0},
        {psDashDotDot, 1, clBlack, 4, 1, 0},
        {psInsideFrame, 4, clNavy, 6, 4, 0x800000},
        {psSolid, 0, clBlack, 0, 1, 0},          // a zero width is the one-pixel pen
        {psDash, 3, clBlack, 0, 3, 0},           // wide pens are solid
        {psClear, 1, clBlack, 5, 1, 0},
        {psSolid, 1, clNone, 5, 1, 0},           // a colourless pen draws nothing
        {psSolid, 2, clWindowText, 0, 2, static_cast<std::uint32_t>(QRgbToColor(windowText))},
    };
    for (const Case &c : cases) {
        const TEmfReader reader = Record([&](TCanvas &canvas) {
            canvas.Pen.Style = c.Style;
            canvas.Pen.Width = c.Width;
            canvas.Pen.Color = c.Color;
            canvas.Ellipse(1, 1, 20, 20);
        });
        const TEmfReadRecord pen = Only(reader, EMR_CREATEPEN);
        EXPECT_EQ(pen.U32(12), c.ExpectedStyle) << c.Style << " " << c.Width;
        EXPECT_EQ(pen.I32(16), c.ExpectedWidth) << c.Style << " " << c.Width;
        EXPECT_EQ(pen.U32(24), c.ExpectedColor) << c.Style << " " << c.Width;
    }
}

TEST_F(MetafileCanvasDevice, PenModesBecomeRasterOperations)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.Pen.Mode = pmXor;
        c.Rectangle(1, 1, 20, 20);
        c.Pen.Mode = pmNot;
        c.Pen.Color = clNone; // inverting needs no colour
        c.MoveTo(0, 0);
        c.LineTo(10, 10);
        c.Pen.Mode = pmNotXor;
        c.Pen.Color = clBlack;
        c.Ellipse(1, 1, 20, 20);
        c.FillRect(Rect(0, 0, 5, 5)); // fills copy whatever the pen mode
        c.Pen.Mode = pmNop;
        c.Brush.Style = bsClear;
        c.Rectangle(1, 1, 20, 20); // draws nothing
        c.Pen.Mode = pmCopy;
        c.LineTo(0, 0);
    });
    EXPECT_EQ(Values(reader, EMR_SETROP2), (std::vector<std::uint32_t>{7, 6, 10, 13}));
    const std::vector<std::uint32_t> body = Body(reader);
    const auto rop = std::find(body.begin(), body.end(), EMR_SETROP2);
    EXPECT_LT(rop - body.begin(), std::find(body.begin(), body.end(), EMR_RECTANGLE) - body.begin());
    EXPECT_EQ(reader.Count(EMR_RECTANGLE), 1);
}

TEST_F(MetafileCanvasDevice, BrushesCarryStyleHatchAndColour)
{
    struct Case {
        TBrushStyle Style;
        std::uint32_t ExpectedStyle;
        std::uint32_t ExpectedHatch;
    };
    const Case cases[] = {{bsSolid, 0, 0},      {bsClear, 1, 0},  {bsHorizontal, 2, 0}, {bsVertical, 2, 1},
                          {bsFDiagonal, 2, 2}, {bsBDiagonal, 2, 3}, {bsCross, 2, 4},   {bsDiagCross, 2, 5}};
    for (const Case &c : cases) {
        const TEmfReader reader = Record([&](TCanvas &canvas) {
            canvas.Brush.Style = c.Style;
            canvas.Brush.Color = clTeal;
            canvas.Rectangle(1, 1, 20, 20);
        });
        const TEmfReadRecord brush = Only(reader, EMR_CREATEBRUSHINDIRECT);
        EXPECT_EQ(brush.U32(12), c.ExpectedStyle) << c.Style;
        EXPECT_EQ(brush.U32(16), c.Style == bsClear ? 0u : 0x808000u) << c.Style;
        EXPECT_EQ(brush.U32(20), c.ExpectedHatch) << c.Style;
        // Hatches keep the picture visible between their lines.
        if (c.ExpectedStyle == 2) {
            EXPECT_EQ(Values(reader, EMR_SETBKMODE), std::vector<std::uint32_t>{1}) << c.Style;
        }
    }
}

TEST_F(MetafileCanvasDevice, StyledLinesShowTheSolidBrushInTheirGaps)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.Pen.Style = psDot;
        c.Brush.Color = clYellow;
        c.MoveTo(0, 0);
        c.LineTo(50, 0);
        c.Brush.Style = bsClear;
        c.LineTo(50, 50);
        c.Pen.Style = psSolid; // a solid line has no gaps: no change
        c.Brush.Style = bsSolid;
        c.LineTo(0, 50);
    });
    EXPECT_EQ(Values(reader, EMR_SETBKMODE), (std::vector<std::uint32_t>{2, 1})); // OPAQUE, TRANSPARENT
    EXPECT_EQ(Values(reader, EMR_SETBKCOLOR), std::vector<std::uint32_t>{0x00FFFF});
}

TEST_F(MetafileCanvasDevice, ObjectsAreMadeOnlyWhenTheToolsChangeAndDeletedWhenReplaced)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.Rectangle(0, 0, 10, 10);
        c.Rectangle(10, 10, 20, 20); // same tools: no new objects
        c.Pen.Mode = pmXor;          // the mode is no part of the pen
        c.Rectangle(10, 10, 20, 20);
        c.Pen.Mode = pmCopy;
        for (int i = 0; i < 100; ++i) {
            c.Pen.Color = i % 2 ? clRed : clBlue;
            c.Brush.Color = RGBColor(i, i, i);
            c.Rectangle(0, 0, 10, 10);
        }
    });
    EXPECT_EQ(reader.Count(EMR_CREATEPEN), 101);
    EXPECT_EQ(reader.Count(EMR_CREATEBRUSHINDIRECT), 101);
    // Every replaced object went, so a handful of slots served them all.
    EXPECT_EQ(reader.Count(EMR_DELETEOBJECT), 202);
    EXPECT_LE(reader.Header().U16(56), 5);
    EXPECT_EQ(reader.Header().U16(56), reader.HighestHandle() + 1);

    // A replaced pen is deleted only after its successor is selected.
    const QList<TEmfReadRecord> &records = reader.Records();
    const auto secondPen = std::find_if(records.begin() + 3, records.end(),
                                        [](const TEmfReadRecord &r) { return r.Type == EMR_CREATEPEN; });
    ASSERT_NE(secondPen, records.end());
    EXPECT_EQ((secondPen + 1)->Type, EMR_SELECTOBJECT);
    EXPECT_EQ((secondPen + 1)->U32(8), secondPen->U32(8));
    EXPECT_EQ((secondPen + 2)->Type, EMR_DELETEOBJECT);
    EXPECT_EQ((secondPen + 2)->U32(8), reader.OfType(EMR_CREATEPEN).front().U32(8));
}

TEST_F(MetafileCanvasDevice, TextRecordsCarryStringFontAndColours)
{
    TFont font(QStringLiteral("Tahoma"), 10, clMaroon, fsBold | fsUnderline);
    const QString text = QStringLiteral("CUSTOMER_ID");
    const TEmfReader reader = Record([&](TCanvas &c) {
        c.Font = font;
        c.Brush.Style = bsClear;
        c.TextOut(12, 34, text);
    });
    EXPECT_EQ(Body(reader), (std::vector<std::uint32_t>{EMR_EXTCREATEFONTINDIRECTW, EMR_SELECTOBJECT, EMR_SETTEXTALIGN,
                                                        EMR_SETTEXTCOLOR, EMR_SETBKMODE, EMR_EXTTEXTOUTW,
                                                        EMR_SELECTOBJECT, EMR_DELETEOBJECT}));
    const TEmfReadRecord f = Only(reader, EMR_EXTCREATEFONTINDIRECTW);
    EXPECT_EQ(f.I32(12), -13); // 10 pt at 96 dpi, as a character height
    EXPECT_EQ(f.I32(28), 700);
    EXPECT_EQ(f.U8(32), 0);   // italic
    EXPECT_EQ(f.U8(33), 1);   // underline
    EXPECT_EQ(f.U8(34), 0);   // strike-out
    EXPECT_EQ(f.Utf16(40, 32, true), "Tahoma");
    EXPECT_EQ(f.U16(40 + 2 * 31), 0); // the face field keeps its terminator
    EXPECT_EQ(f.Size, 332u);
    EXPECT_EQ(Values(reader, EMR_SETTEXTALIGN), std::vector<std::uint32_t>{0}); // TA_TOP | TA_LEFT
    EXPECT_EQ(Values(reader, EMR_SETTEXTCOLOR), std::vector<std::uint32_t>{0x000080});
    EXPECT_EQ(Values(reader, EMR_SETBKMODE), std::vector<std::uint32_t>{1});

    const TEmfReadRecord t = Only(reader, EMR_EXTTEXTOUTW);
    EXPECT_EQ(t.I32(36), 12);
    EXPECT_EQ(t.I32(40), 34);
    ASSERT_EQ(t.U32(44), static_cast<std::uint32_t>(text.size()));
    EXPECT_EQ(t.Utf16(t.U32(48), text.size()), text);
    EXPECT_EQ(t.U32(52), 0u); // neither clipped nor opaque
    // The advances add up to the width the canvas measured, so boxes fit their text.
    std::uint32_t sum = 0;
    for (int i = 0; i < text.size(); ++i)
        sum += t.U32(t.U32(72) + 4 * i);
    EXPECT_EQ(sum, static_cast<std::uint32_t>(font.TextWidth(text)));
    EXPECT_EQ(t.U32(72) + 4 * text.size(), t.Size);
    const int width = font.TextWidth(text);
    const int height = font.TextHeight(text);
    EXPECT_EQ(t.RectL(8), (Rect4{12, 34, 12 + width - 1, 34 + height - 1}));
}

TEST_F(MetafileCanvasDevice, FontFlagsAndReuse)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.Brush.Style = bsClear;
        c.Font = TFont(QStringLiteral("Arial"), 8, clBlack, fsItalic | fsStrikeOut);
        c.TextOut(0, 0, QStringLiteral("a"));
        c.TextOut(0, 20, QStringLiteral("b")); // the same font
        c.Font.Color = clRed;                   // colour is no part of the font
        c.TextOut(0, 40, QStringLiteral("c"));
        c.Font.Name = QStringLiteral("A very long family name that does not fit in the field");
        c.TextOut(0, 60, QStringLiteral("d"));
        c.TextOut(0, 80, QString()); // nothing to draw
    });
    const QList<TEmfReadRecord> fonts = reader.OfType(EMR_EXTCREATEFONTINDIRECTW);
    ASSERT_EQ(fonts.size(), 2);
    EXPECT_EQ(fonts[0].I32(28), 400);
    EXPECT_EQ(fonts[0].U8(32), 1);
    EXPECT_EQ(fonts[0].U8(34), 1);
    EXPECT_EQ(fonts[0].I32(12), -11);
    EXPECT_EQ(fonts[1].Utf16(40, 32, true), QStringLiteral("A very long family name that do"));
    EXPECT_EQ(reader.Count(EMR_EXTTEXTOUTW), 4);
    EXPECT_EQ(Values(reader, EMR_SETTEXTCOLOR), (std::vector<std::uint32_t>{0, 0x0000FF}));
}

TEST_F(MetafileCanvasDevice, TextBackgroundsAndClipping)
{
    const QString text = QStringLiteral("Orders");
    const TEmfReader reader = Record([&](TCanvas &c) {
        c.Brush.Color = clAqua;
        c.TextOut(5, 6, text);                           // solid brush: the text cell is filled
        c.TextRect(Rect(0, 50, 30, 60), 2, 50, text);    // clipped and filled with one rectangle
        c.Brush.Style = bsClear;
        c.TextRect(Rect(0, 70, 30, 80), 2, 70, text);    // clipped only
        c.Brush.Style = bsSolid;
        c.TextRect(Rect(0, 90, 30, 100), 2, 90, QString()); // no text: only the fill
    });
    const QList<TEmfReadRecord> texts = reader.OfType(EMR_EXTTEXTOUTW);
    ASSERT_EQ(texts.size(), 3);
    const QSize cell = TFont().TextExtent(text);
    EXPECT_EQ(texts[0].U32(52), 0x2u); // ETO_OPAQUE
    EXPECT_EQ(texts[0].RectL(56), (Rect4{5, 6, 5 + cell.width(), 6 + cell.height()}));
    EXPECT_EQ(texts[1].U32(52), 0x6u); // ETO_OPAQUE | ETO_CLIPPED
    EXPECT_EQ(texts[1].RectL(56), (Rect4{0, 50, 30, 60}));
    EXPECT_EQ(texts[1].RectL(8), (Rect4{0, 50, 29, 59}));
    EXPECT_EQ(texts[2].U32(52), 0x4u);
    EXPECT_EQ(texts[2].RectL(56), (Rect4{0, 70, 30, 80}));
    EXPECT_EQ(Values(reader, EMR_SETBKCOLOR), std::vector<std::uint32_t>{0xFFFF00});
    EXPECT_EQ(Values(reader, EMR_SETBKMODE), std::vector<std::uint32_t>{1}); // glyph cells stay transparent
    const TEmfReadRecord fill = Only(reader, EMR_BITBLT);
    EXPECT_EQ(fill.I32(24), 0);
    EXPECT_EQ(fill.I32(28), 90);
    EXPECT_EQ(fill.I32(32), 30);
    EXPECT_EQ(fill.I32(36), 10);
}

TEST_F(MetafileCanvasDevice, FillAndFrameArePatternBlocksWithTheBrush)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.Brush.Color = clLime;
        c.FillRect(Rect(10, 20, 40, 30));
        c.Brush.Color = clRed;
        c.FrameRect(Rect(50, 60, 54, 63));
        c.Brush.Style = bsClear;
        c.FillRect(Rect(0, 0, 10, 10)); // nothing
    });
    EXPECT_EQ(reader.Count(EMR_CREATEPEN), 0);
    const QList<TEmfReadRecord> blocks = reader.OfType(EMR_BITBLT);
    ASSERT_EQ(blocks.size(), 5);
    std::vector<Rect4> areas;
    for (const TEmfReadRecord &b : blocks) {
        EXPECT_EQ(b.U32(40), 0x00F00021u); // PATCOPY
        EXPECT_EQ(b.U32(88), 0u);          // no source bitmap
        EXPECT_EQ(b.Size, 100u);
        areas.push_back({b.I32(24), b.I32(28), b.I32(32), b.I32(36)});
    }
    EXPECT_EQ(areas, (std::vector<Rect4>{{10, 20, 30, 10}, {50, 60, 4, 1}, {50, 62, 4, 1}, {50, 61, 1, 1}, {53, 61, 1, 1}}));
    const QList<TEmfReadRecord> brushes = reader.OfType(EMR_CREATEBRUSHINDIRECT);
    ASSERT_EQ(brushes.size(), 2);
    EXPECT_EQ(brushes[0].U32(16), 0x00FF00u);
    EXPECT_EQ(brushes[1].U32(16), 0x0000FFu);
}

TEST_F(MetafileCanvasDevice, ClipRectanglesAreSavedAndRestored)
{
    const TRect first = Rect(10, 10, 100, 80);
    const TRect second = Rect(20, 30, 40, 50);
    const TEmfReader reader = Record([&](TCanvas &c) {
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 300, 200));
        c.Pen.Color = clRed;
        c.Rectangle(0, 0, 5, 5);
        c.SetClipRect(first);
        EXPECT_EQ(c.ClipRect(), first);
        c.SetClipRect(first); // unchanged: nothing written
        c.Pen.Color = clBlue;
        c.Rectangle(0, 0, 5, 5);
        c.Pen.Color = clGreen;
        c.Rectangle(0, 0, 5, 5);
        c.SetClipRect(second);
        c.Rectangle(0, 0, 5, 5);
        c.ResetClipRect();
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 300, 200));
        c.Rectangle(0, 0, 5, 5);
        c.ResetClipRect(); // no clip: nothing written
    });
    EXPECT_EQ(reader.Count(EMR_SAVEDC), 2);
    EXPECT_EQ(reader.Count(EMR_RESTOREDC), 2);
    const QList<TEmfReadRecord> clips = reader.OfType(EMR_INTERSECTCLIPRECT);
    ASSERT_EQ(clips.size(), 2);
    EXPECT_EQ(clips[0].RectL(8), (Rect4{10, 10, 100, 80}));
    EXPECT_EQ(clips[1].RectL(8), (Rect4{20, 30, 40, 50}));
    for (const TEmfReadRecord &r : reader.OfType(EMR_RESTOREDC))
        EXPECT_EQ(r.I32(8), -1);
    // The restore brings back the red pen, so green is made again before the last rectangle;
    // the reader has checked that no pen a saved state still selects was deleted.
    std::vector<std::uint32_t> penColours;
    for (const TEmfReadRecord &r : reader.OfType(EMR_CREATEPEN))
        penColours.push_back(r.U32(24));
    EXPECT_EQ(penColours, (std::vector<std::uint32_t>{0x0000FF, 0xFF0000, 0x008000, 0x008000, 0x008000}));
}

TEST_F(MetafileCanvasDevice, ClippingIsLiftedWhenTheMetafileEnds)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.SetClipRect(Rect(1, 1, 5, 5));
        c.Pen.Color = clRed;
        c.Rectangle(0, 0, 5, 5);
    });
    EXPECT_EQ(reader.Count(EMR_SAVEDC), reader.Count(EMR_RESTOREDC));
}

TEST_F(MetafileCanvasDevice, OpaqueImagesAre24BitDibs)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(1, 0, qRgb(4, 5, 6));
    image.setPixel(2, 0, qRgb(7, 8, 9));
    image.setPixel(0, 1, qRgb(10, 11, 12));
    image.setPixel(1, 1, qRgb(13, 14, 15));
    image.setPixel(2, 1, qRgb(16, 17, 18));
    const TEmfReader reader = Record([&](TCanvas &c) {
        c.Draw(20, 30, image);
        c.StretchDraw(Rect(0, 0, 30, 20), image);
    });
    EXPECT_EQ(Values(reader, EMR_SETSTRETCHBLTMODE), std::vector<std::uint32_t>{3}); // COLORONCOLOR
    const QList<TEmfReadRecord> blits = reader.OfType(EMR_STRETCHDIBITS);
    ASSERT_EQ(blits.size(), 2);
    const TEmfReadRecord &b = blits[0];
    EXPECT_EQ(b.RectL(8), (Rect4{20, 30, 22, 31}));
    EXPECT_EQ(b.I32(24), 20);
    EXPECT_EQ(b.I32(28), 30);
    EXPECT_EQ(b.I32(40), 3);              // source size
    EXPECT_EQ(b.I32(44), 2);
    EXPECT_EQ(b.U32(64), 0u);             // DIB_RGB_COLORS
    EXPECT_EQ(b.U32(68), 0x00CC0020u);    // SRCCOPY
    EXPECT_EQ(b.I32(72), 3);              // destination size
    EXPECT_EQ(b.I32(76), 2);
    EXPECT_EQ(blits[1].I32(72), 30);
    EXPECT_EQ(blits[1].I32(76), 20);
    const int bmi = static_cast<int>(b.U32(48));
    EXPECT_EQ(b.U32(52), 40u);
    EXPECT_EQ(b.U32(bmi), 40u);           // biSize
    EXPECT_EQ(b.I32(bmi + 4), 3);
    EXPECT_EQ(b.I32(bmi + 8), 2);         // positive: bottom-up rows
    EXPECT_EQ(b.U16(bmi + 12), 1);
    EXPECT_EQ(b.U16(bmi + 14), 24);
    EXPECT_EQ(b.U32(bmi + 16), 0u);       // BI_RGB
    // Rows of 9 bytes padded to 12, the bottom row first, each pixel B, G, R.
    const QByteArray expected = QByteArray::fromHex("0c0b0a0f0e0d121110000000"
                                                    "030201060504090807000000");
    EXPECT_EQ(b.U32(60), 24u);
    EXPECT_EQ(b.Bytes(static_cast<int>(b.U32(56)), 24), expected);
}

TEST_F(MetafileCanvasDevice, TransparentImagesAreAlphaBlended)
{
    QImage icon = Solid(2, 2, qRgb(200, 100, 50));
    icon.setPixel(1, 1, qRgb(255, 0, 255));
    const QImage keyed = ImageWithTransparentColor(icon, RGBColor(255, 0, 255));
    QImage half = Solid(1, 1, qRgba(200, 100, 0, 128));
    const TEmfReader reader = Record([&](TCanvas &c) {
        c.Draw(4, 5, keyed);
        c.Draw(0, 0, half);
        c.Draw(9, 9, Solid(4, 4, qRgba(0, 0, 0, 0))); // nothing to show
    });
    EXPECT_EQ(reader.Count(EMR_STRETCHDIBITS), 0);
    const QList<TEmfReadRecord> blends = reader.OfType(EMR_ALPHABLEND);
    ASSERT_EQ(blends.size(), 2);
    const TEmfReadRecord &a = blends[0];
    EXPECT_EQ(a.I32(24), 4);
    EXPECT_EQ(a.I32(28), 5);
    EXPECT_EQ(a.I32(32), 2);
    EXPECT_EQ(a.I32(36), 2);
    EXPECT_EQ(a.Bytes(40, 4), QByteArray::fromHex("0000ff01")); // AC_SRC_OVER, alpha 255, AC_SRC_ALPHA
    EXPECT_EQ(a.I32(100), 2);
    EXPECT_EQ(a.I32(104), 2);
    const int bmi = static_cast<int>(a.U32(84));
    EXPECT_EQ(a.U16(bmi + 14), 32);
    // Bottom row first: the key-colour pixel is all zeros, the others opaque B, G, R, A.
    EXPECT_EQ(a.Bytes(static_cast<int>(a.U32(92)), 16), QByteArray::fromHex("3264c8ff00000000" "3264c8ff3264c8ff"));
    // Partly transparent pixels are premultiplied.
    const TEmfReadRecord &p = blends[1];
    const QByteArray pixel = p.Bytes(static_cast<int>(p.U32(92)), 4);
    EXPECT_EQ(static_cast<std::uint8_t>(pixel[3]), 128);
    EXPECT_NEAR(static_cast<std::uint8_t>(pixel[2]), 100, 1);
    EXPECT_NEAR(static_cast<std::uint8_t>(pixel[1]), 50, 1);
}

TEST_F(MetafileCanvasDevice, PixelsAreWrittenButNeverReadBack)
{
    const TEmfReader reader = Record([](TCanvas &c) {
        c.SetPixel(7, 8, clFuchsia);
        c.SetPixel(9, 9, clNone);
        EXPECT_EQ(c.Pixel(7, 8), clNone);
    });
    const TEmfReadRecord pixel = Only(reader, EMR_SETPIXELV);
    EXPECT_EQ(pixel.I32(8), 7);
    EXPECT_EQ(pixel.I32(12), 8);
    EXPECT_EQ(pixel.U32(16), 0xFF00FFu);
}

TEST_F(MetafileCanvasDevice, SavesAtomicallyAndReportsFailures)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bytes = Draw([](TCanvas &c) { c.Rectangle(0, 0, 10, 10); });
    const QString path = dir.filePath(QStringLiteral("diagram.wmf"));
    TMetafileCanvasDevice::SaveToFile(path, bytes);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);

    const QString missing = dir.filePath(QStringLiteral("no such folder/diagram.wmf"));
    try {
        TMetafileCanvasDevice::SaveToFile(missing, bytes);
        FAIL() << "no exception";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(QString::fromStdString(e.what()).indexOf(missing), -1) << e.what();
    }
}

TEST_F(MetafileCanvasDevice, AdvancesAddUpToTheMeasuredWidthForAnyText)
{
    const TFont font;
    const QString pair = QString::fromUcs4(U"x\U0001F600y");
    const QString texts[] = {QStringLiteral("AVAWAY Ty."), pair, QString(QStringLiteral("Comment ")).repeated(100)};
    for (const QString &text : texts) {
        const TEmfReader reader = Record([&](TCanvas &c) {
            c.Brush.Style = bsClear;
            c.TextOut(0, 0, text);
        });
        const TEmfReadRecord t = Only(reader, EMR_EXTTEXTOUTW);
        ASSERT_EQ(t.U32(44), static_cast<std::uint32_t>(text.size()));
        std::uint32_t sum = 0;
        for (int i = 0; i < text.size(); ++i)
            sum += t.U32(t.U32(72) + 4 * i);
        EXPECT_EQ(sum, static_cast<std::uint32_t>(font.TextWidth(text))) << text.left(20).toStdString();
        if (text == pair) {
            EXPECT_EQ(t.U32(t.U32(72) + 8), 0u); // the low surrogate adds nothing of its own
        }
    }
}
