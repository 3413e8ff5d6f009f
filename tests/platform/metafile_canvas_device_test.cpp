// The metafile back end: what a canvas draws comes out as well-formed EMF records with
// the coordinates, tools and states a GDI player needs to show the same picture.
#include "emf_reader.h"
#include "test_data.h"
#include "platform/canvas.h"
#include "platform/metafile_canvas_device.h"
#include <functional>
#include <gtest/gtest.h>

using namespace emf;
using Rect4 = std::array<std::int32_t, 4>;

namespace {

// Draws, reads the result back and insists on a sound file that leaves no object behind.
TEmfReader Record(const std::function<void(TCanvas &)> &draw)
{
    TCanvas canvas(std::make_unique<TMetafileCanvasDevice>(300, 200));
    draw(canvas);
    TEmfReader reader(static_cast<TMetafileCanvasDevice *>(canvas.Device())->Finish());
    EXPECT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.ObjectsLeftAtEnd(), 0);
    return reader;
}

TEmfReadRecord Only(const TEmfReader &reader, std::uint32_t type)
{
    const QList<TEmfReadRecord> found = reader.OfType(type);
    EXPECT_EQ(found.size(), 1) << "records of type " << type;
    return found.isEmpty() ? TEmfReadRecord{} : found.front();
}

// The records of each picture in turn against a golden listing.
void ExpectListings(const char *name, const std::vector<std::function<void(TCanvas &)>> &pictures)
{
    QByteArray listing;
    for (const auto &draw : pictures)
        listing += Record(draw).Listing() + '\n';
    expectGolden(QStringLiteral("metafile/%1.txt").arg(QLatin1String(name)), listing);
}

} // namespace

class MetafileCanvasDevice : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
};

TEST_F(MetafileCanvasDevice, SizesOutsideTheFormatAreRefusedFinishIsFinalAndSavingReportsFailures)
{
    for (const auto &[w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-5, 10}, std::pair{100000000, 10}})
        EXPECT_THROW(TMetafileCanvasDevice(w, h), std::runtime_error) << w << "x" << h;
    // The widest pages a diagram can have still fit: a vector picture has no pixel limit.
    EXPECT_TRUE(TEmfReader(TMetafileCanvasDevice(542000, 3000).Finish()).IsValid());

    TMetafileCanvasDevice device(50, 40);
    const TPen pen;
    const TBrush brush;
    const TFont font;
    const TDrawingTools tools{pen, brush, font};
    device.Rectangle(tools, Rect(1, 1, 10, 10));
    const QByteArray first = device.Finish();
    EXPECT_TRUE(device.Finished());
    EXPECT_THROW(device.Rectangle(tools, Rect(1, 1, 10, 10)), std::runtime_error);
    EXPECT_THROW(device.SetClipRect(nullptr), std::runtime_error);
    EXPECT_EQ(device.Finish(), first);

}

TEST_F(MetafileCanvasDevice, FiguresKeepExclusiveRightAndBottom)
{
    EXPECT_EQ(Only(Record([](TCanvas &c) { c.Rectangle(10, 20, 110, 70); }), EMR_RECTANGLE).RectL(8),
              (Rect4{10, 20, 110, 70}));
    // Without an outline GDI would leave the last column and row unfilled; the box grows
    // so the filled area is the same as on the screen. A plain rectangle is a plain fill.
    // Neither outline nor fill, or no area: nothing at all.
    ExpectListings("figures", {[](TCanvas &c) {
                                   c.Pen.Style = psClear;
                                   c.Rectangle(10, 20, 110, 70);
                                   c.Ellipse(0, 0, 8, 6);
                                   c.RoundRect(1, 2, 30, 40, 6, 8);
                                   c.Pen.Mode = pmXor; // a raster mode needs the figure
                                   c.Rectangle(10, 20, 110, 70);
                               },
                               [](TCanvas &c) {
                                   c.Rectangle(10, 20, 10, 70);
                                   c.Ellipse(5, 5, 5, 9);
                                   c.Pen.Style = psClear;
                                   c.Brush.Style = bsClear;
                                   c.Rectangle(10, 20, 110, 70);
                               }});
}

TEST_F(MetafileCanvasDevice, LinesArcsCurvesAndPolygons)
{
    const QPolygon triangle({QPoint(10, 40), QPoint(30, 5), QPoint(50, 40)});
    ExpectListings("lines", {[&](TCanvas &c) {
        c.MoveTo(5, 6);
        c.LineTo(150, 6);
        c.LineTo(150, 90); // starts where the pen stopped
        c.Arc(10, 10, 50, 40, 50, 25, 10, 25);
        c.Ellipse(60, 10, 90, 30);
        c.RoundRect(100, 10, 140, 40, 8, 6);
        c.Polygon(triangle);
        c.Polyline(triangle);
        // Points beyond 16 bits take the 32-bit record.
        c.Polyline(QPolygon({QPoint(-40000, 10), QPoint(70000, 20), QPoint(100, 5)}));
        c.Polyline(QPolygon({QPoint(1, 1)})); // a single point draws nothing
    }});
}

TEST_F(MetafileCanvasDevice, PensBrushesAndPenModes)
{
    std::vector<std::function<void(TCanvas &)>> pictures;
    const TPen pens[] = {
        {clRed, 1, psSolid}, {RGBColor(1, 2, 3), 1, psDash}, {clBlack, 1, psDot}, {clBlack, 1, psDashDot},
        {clBlack, 1, psDashDotDot}, {clNavy, 4, psInsideFrame}, {clBlack, 1, psClear},
        {clBlack, 0, psSolid},      // a zero width is the one-pixel pen
        {clBlack, 3, psDash},       // wide pens are solid
        {clNone, 1, psSolid},       // a colourless pen draws nothing
        {clWindowText, 2, psSolid}, // the palette's colour
    };
    for (const TPen &pen : pens)
        pictures.push_back([pen](TCanvas &c) { c.Pen = pen; c.Ellipse(1, 1, 20, 20); });
    // Hatches keep the picture visible between their lines.
    for (const TBrushStyle style : {bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
                                    bsDiagCross})
        pictures.push_back([style](TCanvas &c) { c.Brush = {clTeal, style}; c.Rectangle(1, 1, 20, 20); });
    pictures.push_back([](TCanvas &c) {
        c.Pen.Mode = pmXor;
        c.Rectangle(1, 1, 20, 20);
        c.Pen = {clNone, 1, psSolid, pmNot}; // inverting needs no colour
        c.LineTo(10, 10);
        c.Pen = {clBlack, 1, psSolid, pmNotXor};
        c.Ellipse(1, 1, 20, 20);
        c.FillRect(Rect(0, 0, 5, 5)); // fills copy whatever the pen mode
        c.Pen.Mode = pmNop;
        c.Brush.Style = bsClear;
        c.Rectangle(1, 1, 20, 20); // draws nothing
        c.Pen.Mode = pmCopy;
        c.LineTo(0, 0);
    });
    // A solid brush fills the gaps of a styled line with its colour; other brushes leave them.
    pictures.push_back([](TCanvas &c) {
        c.Pen.Style = psDot;
        c.Brush.Color = clYellow;
        c.LineTo(50, 0);
        c.Brush.Style = bsClear;
        c.LineTo(50, 50);
        c.Pen.Style = psSolid; // a solid line has no gaps: no change
        c.Brush.Style = bsSolid;
        c.LineTo(0, 50);
    });
    ExpectListings("tools", pictures);
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
    // Every replaced object went (the reader saw none deleted while selected), so a handful
    // of slots served them all.
    EXPECT_EQ(reader.Count(EMR_CREATEPEN), 101);
    EXPECT_EQ(reader.Count(EMR_CREATEBRUSHINDIRECT), 101);
    EXPECT_EQ(reader.Count(EMR_DELETEOBJECT), 202);
    EXPECT_LE(reader.Header().U16(56), 5);
    EXPECT_EQ(reader.Header().U16(56), reader.HighestHandle() + 1);
}

TEST_F(MetafileCanvasDevice, TextRecordsCarryStringFontColoursBackgroundsAndClips)
{
    const TFont font(QStringLiteral("Tahoma"), 10, clMaroon, fsBold | fsUnderline);
    const QString text = QStringLiteral("CUSTOMER_ID");
    ExpectListings("texts", {[&](TCanvas &c) {
                                 c.Font = font;
                                 c.Brush.Style = bsClear;
                                 c.TextOut(12, 34, text);
                                 c.TextOut(0, 20, QStringLiteral("b")); // the same font
                                 c.Font.Color = clRed;                   // colour is no part of the font
                                 c.TextOut(0, 40, QStringLiteral("c"));
                                 // The family is cut to the field's 31 characters.
                                 c.Font = TFont(QStringLiteral("A very long family name that does not fit in the field"),
                                                8, clRed, fsItalic | fsStrikeOut);
                                 c.TextOut(0, 60, QStringLiteral("d"));
                                 c.TextOut(0, 80, QString()); // nothing to draw
                             },
                             [&](TCanvas &c) {
                                 c.Brush.Color = clAqua;
                                 c.TextOut(5, 6, text);                              // the text cell is filled
                                 c.TextRect(Rect(0, 50, 30, 60), 2, 50, text);       // clipped and filled
                                 c.Brush.Style = bsClear;
                                 c.TextRect(Rect(0, 70, 30, 80), 2, 70, text);       // clipped only
                                 c.Brush.Style = bsSolid;
                                 c.TextRect(Rect(0, 90, 30, 100), 2, 90, QString()); // no text: only the fill
                             }});

    // The advances add up to the width the canvas measured, so boxes fit their text; the
    // low half of a surrogate pair adds nothing of its own.
    const QString pair = QString::fromUcs4(U"x\U0001F600y");
    for (const QString &s : {text, QStringLiteral("AVAWAY Ty."), pair, QStringLiteral("Comment ").repeated(100)}) {
        const TEmfReadRecord r = Only(Record([&](TCanvas &c) { c.Font = font; c.TextOut(0, 0, s); }), EMR_EXTTEXTOUTW);
        const int dx = static_cast<int>(r.U32(72));
        std::uint32_t sum = 0;
        for (int i = 0; i < s.size(); ++i)
            sum += r.U32(dx + 4 * i);
        EXPECT_EQ(sum, static_cast<std::uint32_t>(font.TextWidth(s))) << s.left(20).toStdString();
        EXPECT_TRUE(s != pair || r.U32(dx + 8) == 0);
    }
}

TEST_F(MetafileCanvasDevice, FillFrameAndPixelsArePlainPatternBlocksAndPixels)
{
    ExpectListings("fills", {[](TCanvas &c) {
        c.Brush.Color = clLime;
        c.FillRect(Rect(10, 20, 40, 30));
        c.Brush.Color = clRed;
        c.FrameRect(Rect(50, 60, 54, 63)); // the sides as fills, no pixel twice
        c.Brush.Style = bsClear;
        c.FillRect(Rect(0, 0, 10, 10)); // nothing
        c.SetPixel(7, 8, clFuchsia);
        c.SetPixel(9, 9, clNone);
        EXPECT_EQ(c.Pixel(7, 8), clNone); // a metafile is never read back
    }});
}

TEST_F(MetafileCanvasDevice, ClipRectanglesAreSavedRestoredAndLiftedAtTheEnd)
{
    // A restore brings back the pen of its save, so green is made again after each; the
    // reader checks that no pen a saved state still selects is deleted.
    const TRect first = Rect(10, 10, 100, 80);
    ExpectListings("clips", {[&](TCanvas &c) {
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 300, 200));
        const auto box = [&](TColor colour) { c.Pen.Color = colour; c.Rectangle(0, 0, 5, 5); };
        box(clRed);
        c.SetClipRect(first);
        EXPECT_EQ(c.ClipRect(), first);
        c.SetClipRect(first); // unchanged: nothing written
        box(clBlue);
        box(clGreen);
        c.SetClipRect(Rect(20, 30, 40, 50));
        box(clGreen);
        c.ResetClipRect();
        EXPECT_EQ(c.ClipRect(), Rect(0, 0, 300, 200));
        box(clGreen);
        c.ResetClipRect();    // no clip: nothing written
        c.SetClipRect(first); // still set, with a pen of its own, when the metafile ends
        box(clBlue);
    }});
}

TEST_F(MetafileCanvasDevice, OpaqueImagesAre24BitDibsAndTransparentOnesAlphaBlends)
{
    // Opaque pictures are bottom-up 24-bit rows padded to four bytes; a key colour becomes
    // an all-zero pixel of a 32-bit blend, and partly transparent pixels are premultiplied.
    QImage image(3, 2, QImage::Format_RGB32);
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, qRgb(3 * i + 1, 3 * i + 2, 3 * i + 3));
    QImage icon(2, 2, QImage::Format_RGB32);
    icon.fill(qRgb(200, 100, 50));
    icon.setPixel(1, 1, qRgb(255, 0, 255));
    const auto filled = [](int size, QRgb colour) {
        QImage result(size, size, QImage::Format_ARGB32);
        result.fill(colour);
        return result;
    };
    ExpectListings("images", {[&](TCanvas &c) {
        c.Draw(20, 30, image);
        c.StretchDraw(Rect(0, 0, 30, 20), image);
        c.Draw(4, 5, ImageWithTransparentColor(icon, RGBColor(255, 0, 255)));
        c.Draw(0, 0, filled(1, qRgba(200, 100, 0, 128)));
        c.Draw(9, 9, filled(4, qRgba(0, 0, 0, 0))); // nothing to show
    }});
}
