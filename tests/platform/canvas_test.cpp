// Drawing with classic desktop semantics, probed pixel by pixel on an RGB32 image.
#include "platform/canvas.h"
#include "platform/painter_canvas_device.h"
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QFile>
#include <QPalette>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QImage WhiteImage(int width = 40, int height = 40)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

TColor At(const QImage &image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }

// The bounding box of every pixel that is not the background colour.
QRect Painted(const QImage &image, TColor background = clWhite)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != background)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

int CountOf(const QImage &image, TColor colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += At(image, x, y) == colour;
    return count;
}

} // namespace

class Canvas : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
};

TEST_F(Canvas, LinesInEveryDirectionKeepTheirStartAndLeaveOutTheirEnd)
{
    // From the centre to each of these ends: along the axes, the diagonals and both kinds
    // of steep and shallow slopes, running right, left, down and up.
    const QPoint ends[] = {{28, 20}, {12, 20}, {20, 28}, {20, 12}, {27, 27}, {13, 13}, {27, 13}, {13, 27},
                           {28, 23}, {12, 17}, {12, 23}, {28, 17}, {23, 28}, {17, 12}, {17, 28}, {23, 12}};
    for (const QPoint end : ends) {
        for (const TPenStyle style : {psSolid, psDot}) {
            QImage image = WhiteImage();
            {
                TCanvas canvas(&image);
                canvas.Pen.Style = style;
                canvas.Brush.Style = bsClear;
                canvas.MoveTo(20, 20);
                canvas.LineTo(end.x(), end.y());
                EXPECT_EQ(canvas.PenPos, end);
            }
            const int length = std::max(std::abs(end.x() - 20), std::abs(end.y() - 20));
            const QRect box(QPoint(std::min(20, end.x()), std::min(20, end.y())),
                            QPoint(std::max(20, end.x()), std::max(20, end.y())));
            EXPECT_EQ(At(image, 20, 20), clBlack) << end.x() << "," << end.y() << " style " << style;
            EXPECT_EQ(At(image, end.x(), end.y()), clWhite) << end.x() << "," << end.y() << " style " << style;
            if (style == psSolid) {
                EXPECT_EQ(CountOf(image, clBlack), length) << end.x() << "," << end.y();
                EXPECT_TRUE(box.contains(Painted(image))) << end.x() << "," << end.y();
            }
        }
    }
    // A line to where the pen stands draws nothing.
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.MoveTo(5, 5);
        canvas.LineTo(5, 5);
    }
    EXPECT_EQ(CountOf(image, clBlack), 0);
}

TEST_F(Canvas, PolylineLeavesOutOnlyTheLastPoint)
{
    for (const QPolygon &points : {QPolygon({QPoint(2, 2), QPoint(8, 2), QPoint(8, 9)}),
                                   QPolygon({QPoint(8, 9), QPoint(8, 2), QPoint(2, 2)})}) {
        QImage image = WhiteImage();
        {
            TCanvas canvas(&image);
            canvas.Polyline(points);
        }
        EXPECT_EQ(At(image, points[0].x(), points[0].y()), clBlack);
        EXPECT_EQ(At(image, 8, 2), clBlack);
        EXPECT_EQ(At(image, points[2].x(), points[2].y()), clWhite);
        EXPECT_EQ(CountOf(image, clBlack), 6 + 7);
    }
}

TEST_F(Canvas, RectangleOutlinesInsideRightAndBottomAndFillsWithTheBrush)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clYellow;
        canvas.Rectangle(10, 10, 20, 16);
    }
    EXPECT_EQ(Painted(image), QRect(10, 10, 10, 6));
    for (int x = 10; x < 20; ++x) {
        EXPECT_EQ(At(image, x, 10), clRed) << x;
        EXPECT_EQ(At(image, x, 15), clRed) << x;
    }
    for (int y = 10; y < 16; ++y) {
        EXPECT_EQ(At(image, 10, y), clRed) << y;
        EXPECT_EQ(At(image, 19, y), clRed) << y;
    }
    EXPECT_EQ(CountOf(image, clYellow), 8 * 4);
    EXPECT_EQ(At(image, 20, 12), clWhite);
    EXPECT_EQ(At(image, 12, 16), clWhite);
}

TEST_F(Canvas, ClearBrushLeavesTheInsideAndClearPenTheOutline)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(2, 2, 12, 12);
        canvas.Pen.Style = psClear;
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = clBlue;
        canvas.Rectangle(20, 20, 30, 25);
    }
    EXPECT_EQ(CountOf(image, clBlack), 4 * 9);
    EXPECT_EQ(At(image, 6, 6), clWhite);
    EXPECT_EQ(Painted(image.copy(15, 15, 25, 25)), QRect(5, 5, 10, 5));
    EXPECT_EQ(CountOf(image, clBlue), 10 * 5);
}

TEST_F(Canvas, FillRectAndFrameRectUseTheBrushOnly)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clGreen;
        canvas.FillRect(Rect(3, 4, 9, 7));
        canvas.Brush.Color = clNavy;
        canvas.FrameRect(Rect(20, 20, 26, 30));
        canvas.FillRect(Rect(30, 30, 30, 35)); // empty: nothing
        canvas.FillRect(Rect(35, 35, 33, 38)); // reversed: nothing
    }
    EXPECT_EQ(CountOf(image, clRed), 0);
    EXPECT_EQ(CountOf(image, clGreen), 6 * 3);
    EXPECT_EQ(Painted(image.copy(0, 0, 15, 15)), QRect(3, 4, 6, 3));
    EXPECT_EQ(CountOf(image, clNavy), 2 * 6 + 2 * 8);
    EXPECT_EQ(At(image, 25, 29), clNavy);
    EXPECT_EQ(At(image, 23, 25), clWhite);
    EXPECT_EQ(Painted(image.copy(15, 15, 25, 25)), QRect(5, 5, 6, 10));
}

TEST_F(Canvas, WidePensDrawThickLines)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Width = 3;
        canvas.MoveTo(5, 20);
        canvas.LineTo(30, 20);
    }
    for (int y : {19, 20, 21})
        EXPECT_EQ(At(image, 15, y), clBlack) << y;
    EXPECT_EQ(At(image, 15, 18), clWhite);
    EXPECT_EQ(At(image, 15, 22), clWhite);
}

TEST_F(Canvas, ToolsPersistFromOneCallToTheNext)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clMaroon;
        canvas.Brush.Color = clAqua;
        canvas.Font = TFont("Arial", 10, clBlue);
        canvas.MoveTo(0, 0);
        canvas.LineTo(10, 0);
        canvas.Brush.Style = bsClear;
        canvas.TextOut(0, 20, "x");
        canvas.Brush.Style = bsSolid;
        canvas.MoveTo(0, 2);
        canvas.LineTo(10, 2);
        canvas.Rectangle(20, 5, 30, 15);
        EXPECT_EQ(canvas.Pen.Color, clMaroon);
        EXPECT_EQ(canvas.Font.Name, "Arial");
    }
    EXPECT_EQ(At(image, 5, 0), clMaroon);
    EXPECT_EQ(At(image, 5, 2), clMaroon);
    EXPECT_EQ(At(image, 20, 10), clMaroon);
    EXPECT_EQ(At(image, 25, 10), clAqua);
}

TEST_F(Canvas, PolygonIsFilledAndOutlined)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clLime;
        canvas.Polygon(QPolygon({QPoint(5, 5), QPoint(30, 5), QPoint(5, 30)}));
    }
    EXPECT_EQ(At(image, 10, 10), clLime);
    EXPECT_EQ(At(image, 5, 5), clRed);
    EXPECT_EQ(At(image, 30, 5), clRed);
    EXPECT_EQ(At(image, 5, 30), clRed); // a closed figure has no left-out end
    EXPECT_EQ(At(image, 25, 25), clWhite);
    EXPECT_EQ(Painted(image), QRect(5, 5, 26, 26));
}

TEST_F(Canvas, EllipseStaysInsideItsBox)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Brush.Color = clRed;
        canvas.Ellipse(10, 10, 30, 20);
    }
    EXPECT_EQ(Painted(image), QRect(10, 10, 20, 10));
    EXPECT_EQ(At(image, 20, 15), clRed);
    EXPECT_EQ(At(image, 10, 10), clWhite);
}

TEST_F(Canvas, ArcRunsCounterClockwiseFromStartToEnd)
{
    QImage image = WhiteImage(60, 60);
    {
        TCanvas canvas(&image);
        // The quarter from east to north of a circle of radius 15 around (30, 30).
        canvas.Arc(15, 15, 45, 45, 45, 30, 30, 15);
    }
    const QRect box = Painted(image);
    EXPECT_GE(box.left(), 29);
    EXPECT_LE(box.bottom(), 31);
    EXPECT_GE(box.right(), 43);
    EXPECT_LE(box.top(), 16);
    EXPECT_GT(CountOf(image, clBlack), 15);

    QImage whole = WhiteImage(60, 60);
    {
        TCanvas canvas(&whole);
        canvas.Arc(15, 15, 45, 45, 45, 30, 45, 30); // same ray: the whole circle
    }
    EXPECT_EQ(Painted(whole), QRect(15, 15, 30, 30));
}

TEST_F(Canvas, TransparentTextIsPlacedByItsTopLeftCorner)
{
    QImage image = WhiteImage(200, 60);
    int width = 0;
    int height = 0;
    {
        TCanvas canvas(&image);
        canvas.Font = TFont("Tahoma", 10, clBlack);
        canvas.Brush.Style = bsClear;
        width = canvas.TextWidth("HMg");
        height = canvas.TextHeight("HMg");
        canvas.TextOut(20, 10, "HMg");
        EXPECT_EQ(canvas.PenPos, QPoint(20 + width, 10));
    }
    const QRect box = Painted(image);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_GE(box.left(), 20);
    EXPECT_LE(box.left(), 22);
    EXPECT_GE(box.top(), 10);
    EXPECT_LE(box.top(), 10 + height / 3); // capitals reach up near the cell's top
    EXPECT_LE(box.right(), 20 + width);
    EXPECT_LT(box.bottom(), 10 + height);
    EXPECT_GT(box.bottom(), 10 + height / 2); // the descender of "g"
}

TEST_F(Canvas, SolidBrushFillsTheTextCell)
{
    QImage image = WhiteImage(200, 60);
    int width = 0;
    int height = 0;
    {
        TCanvas canvas(&image);
        canvas.Font = TFont("Arial", 8, clWhite);
        canvas.Brush.Color = clGreen;
        width = canvas.TextWidth("ab c");
        height = canvas.TextHeight("ab c");
        canvas.TextOut(30, 5, "ab c");
    }
    EXPECT_EQ(Painted(image), QRect(30, 5, width, height));
    EXPECT_EQ(At(image, 30, 5), clGreen);
    EXPECT_EQ(At(image, 30 + width - 1, 5 + height - 1), clGreen);

    QImage hatched = WhiteImage(200, 60);
    {
        TCanvas canvas(&hatched);
        canvas.Font = TFont("Arial", 8, clBlack);
        canvas.Brush.Style = bsCross; // only a solid brush makes the background opaque
        canvas.TextOut(30, 5, "ab c");
    }
    EXPECT_NE(At(hatched, 30, 5), clBlack);
    EXPECT_EQ(CountOf(hatched, RGBColor(255, 255, 255)) > 200 * 60 - width * height, true);
}

TEST_F(Canvas, TextRectClipsAndFillsItsRectangle)
{
    QImage image = WhiteImage(200, 40);
    {
        TCanvas canvas(&image);
        canvas.Font = TFont("Tahoma", 8, clBlack);
        canvas.Brush.Color = clYellow;
        canvas.TextRect(Rect(10, 10, 30, 20), 12, 10, "A long column name that overflows");
    }
    EXPECT_EQ(Painted(image), QRect(10, 10, 20, 10));
    EXPECT_EQ(At(image, 10, 10), clYellow);
    EXPECT_EQ(At(image, 11, 19), clYellow);
    EXPECT_GT(Painted(image, clYellow).width(), 0);

    QImage clear = WhiteImage(200, 40);
    {
        TCanvas canvas(&clear);
        canvas.Font = TFont("Tahoma", 8, clBlack);
        canvas.Brush.Style = bsClear;
        canvas.TextRect(Rect(10, 10, 30, 20), 12, 10, "A long column name that overflows");
    }
    const QRect box = Painted(clear);
    EXPECT_TRUE(QRect(12, 10, 18, 10).contains(box)) << box.x() << "," << box.y() << " " << box.width() << "x"
                                                      << box.height();
}

TEST_F(Canvas, NoneMeansNothingIsPainted)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Pen.Color = clNone;
        canvas.Brush.Color = clNone;
        canvas.MoveTo(0, 0);
        canvas.LineTo(30, 30);
        canvas.Rectangle(5, 5, 20, 20);
        canvas.FillRect(Rect(0, 0, 40, 40));
        canvas.FrameRect(Rect(0, 0, 40, 40));
        canvas.Ellipse(0, 0, 40, 40);
        canvas.Polygon(QPolygon({QPoint(0, 0), QPoint(30, 0), QPoint(0, 30)}));
        canvas.Font.Color = clNone;
        canvas.TextOut(2, 2, "Hidden");
        canvas.SetPixel(1, 1, clNone);
    }
    EXPECT_TRUE(Painted(image).isEmpty());
}

class CanvasPalette : public Canvas {
protected:
    void SetUp() override { Saved = QGuiApplication::palette(); }
    void TearDown() override { QGuiApplication::setPalette(Saved); }
    QPalette Saved;
};

TEST_F(CanvasPalette, SystemColoursFollowThePalette)
{
    QPalette palette = Saved;
    palette.setColor(QPalette::All, QPalette::Button, QColor(200, 100, 50));
    palette.setColor(QPalette::All, QPalette::Base, QColor(10, 20, 30));
    QGuiApplication::setPalette(palette);

    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Brush.Color = clBtnFace;
        canvas.FillRect(Rect(0, 0, 10, 10));
        canvas.Pen.Color = clWindow;
        canvas.MoveTo(0, 20);
        canvas.LineTo(10, 20);
    }
    EXPECT_EQ(At(image, 5, 5), RGBColor(200, 100, 50));
    EXPECT_EQ(At(image, 5, 20), RGBColor(10, 20, 30));
}

TEST_F(Canvas, NotModeInvertsAndASecondPassRestores)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Brush.Color = clRed;
        canvas.FillRect(Rect(0, 0, 20, 40));
    }
    const QImage before = image;
    {
        TCanvas canvas(&image);
        canvas.Pen.Mode = pmNot;
        canvas.Pen.Style = psDot;
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(5, 5, 35, 30);
        EXPECT_GT(CountOf(image, clAqua), 10);  // inverted red
        EXPECT_GT(CountOf(image, clBlack), 10); // inverted white
        EXPECT_EQ(At(image, 10, 10), clRed);    // inside untouched
        EXPECT_LT(CountOf(image, clAqua) + CountOf(image, clBlack), 2 * (30 + 25)); // dotted
        canvas.Rectangle(5, 5, 35, 30);
    }
    EXPECT_EQ(image, before);
}

TEST_F(Canvas, DottedLinesShowTheSolidBrushInTheirGaps)
{
    QImage opaque = WhiteImage();
    QImage transparent = WhiteImage();
    for (QImage *image : {&opaque, &transparent}) {
        TCanvas canvas(image);
        canvas.Pen.Style = psDot;
        canvas.Brush.Color = clYellow;
        canvas.Brush.Style = image == &opaque ? bsSolid : bsClear;
        canvas.MoveTo(0, 5);
        canvas.LineTo(30, 5);
    }
    EXPECT_EQ(At(opaque, 0, 5), clBlack);
    EXPECT_EQ(At(opaque, 4, 5), clYellow);
    EXPECT_EQ(At(transparent, 4, 5), clWhite);
    EXPECT_EQ(CountOf(transparent, clBlack), 15);
}

TEST_F(Canvas, ImagesAreDrawnAndStretchedPixelForPixel)
{
    QImage icon(2, 2, QImage::Format_RGB32);
    icon.setPixel(0, 0, ColorToQRgb(clRed));
    icon.setPixel(1, 0, ColorToQRgb(clLime));
    icon.setPixel(0, 1, ColorToQRgb(clBlue));
    icon.setPixel(1, 1, ColorToQRgb(clFuchsia));

    QImage image = WhiteImage();
    {
        TCanvas canvas(&image);
        canvas.Draw(1, 1, icon);
        canvas.StretchDraw(Rect(10, 10, 14, 14), icon);
        canvas.StretchDraw(Rect(20, 20, 24, 24), ImageWithTransparentColor(icon, clFuchsia));
    }
    EXPECT_EQ(At(image, 1, 1), clRed);
    EXPECT_EQ(At(image, 2, 2), clFuchsia);
    EXPECT_EQ(At(image, 3, 3), clWhite);
    EXPECT_EQ(At(image, 11, 11), clRed);
    EXPECT_EQ(At(image, 12, 11), clLime);
    EXPECT_EQ(At(image, 11, 13), clBlue);
    EXPECT_EQ(At(image, 13, 13), clFuchsia);
    EXPECT_EQ(Painted(image.copy(5, 5, 14, 14)), QRect(5, 5, 4, 4));
    EXPECT_EQ(At(image, 20, 20), clRed);
    EXPECT_EQ(At(image, 23, 23), clWhite); // the key colour let the background through
}

TEST_F(Canvas, PixelsReadAndWrite)
{
    QImage image = WhiteImage(10, 10);
    TCanvas canvas(&image);
    canvas.SetPixel(3, 4, 0x123456);
    EXPECT_EQ(canvas.Pixel(3, 4), 0x123456);
    EXPECT_EQ(canvas.Pixel(0, 0), clWhite);
    EXPECT_EQ(canvas.Pixel(10, 0), clNone);
    EXPECT_EQ(canvas.Pixel(-1, 5), clNone);
    EXPECT_EQ(TCanvas().Pixel(0, 0), clNone);
}

TEST_F(Canvas, ClipRectLimitsDrawingUntilReset)
{
    QImage image = WhiteImage();
    TCanvas canvas(&image);
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 40, 40));
    canvas.SetClipRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(canvas.ClipRect(), Rect(10, 10, 20, 20));
    canvas.Brush.Color = clRed;
    canvas.FillRect(Rect(0, 0, 40, 40));
    EXPECT_EQ(Painted(image), QRect(10, 10, 10, 10));
    canvas.ResetClipRect();
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 40, 40));
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), clRed);
}

TEST_F(Canvas, ABorrowedPainterGetsItsStateBack)
{
    QImage image = WhiteImage();
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 5));
    painter.setClipRect(QRect(0, 0, 30, 30));
    {
        TCanvas canvas(&painter);
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 30, 30));
        canvas.Pen.Color = clRed;
        canvas.SetClipRect(Rect(0, 0, 5, 5));
        canvas.MoveTo(0, 0);
        canvas.LineTo(20, 0);
        canvas.ResetClipRect();
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 30, 30));
    }
    EXPECT_EQ(painter.pen().color(), QColor(Qt::green));
    EXPECT_EQ(painter.pen().width(), 5);
    EXPECT_EQ(painter.clipBoundingRect().toRect(), QRect(0, 0, 30, 30));
    painter.end();
    EXPECT_EQ(At(image, 4, 0), clRed);
    EXPECT_EQ(At(image, 5, 0), clWhite);
}

TEST_F(Canvas, AMeasuringCanvasDrawsNothingAndDeviceErrorsAreClear)
{
    TCanvas canvas;
    canvas.Rectangle(0, 0, 10, 10);
    canvas.TextOut(0, 0, "abc");
    EXPECT_EQ(canvas.PenPos, QPoint(canvas.TextWidth("abc"), 0));
    EXPECT_EQ(canvas.ClipRect(), TRect{});

    QImage empty;
    EXPECT_THROW(TCanvas{&empty}, std::runtime_error);
    EXPECT_THROW(TCanvas{static_cast<QPainter *>(nullptr)}, std::runtime_error);
}

// A back end that records what it is asked to draw, as a metafile recorder would receive it.
class RecordingDevice : public TCanvasDevice {
public:
    QStringList Log;
    void Line(const TDrawingTools &t, QPoint a, QPoint b) override
    {
        Log << QString("Line %1,%2-%3,%4 %5").arg(a.x()).arg(a.y()).arg(b.x()).arg(b.y()).arg(ColorToString(t.Pen.Color));
    }
    void Polyline(const TDrawingTools &, const QPolygon &p) override { Log << QString("Polyline %1").arg(p.size()); }
    void Polygon(const TDrawingTools &, const QPolygon &p) override { Log << QString("Polygon %1").arg(p.size()); }
    void Rectangle(const TDrawingTools &t, const TRect &r) override
    {
        Log << QString("Rectangle %1,%2,%3,%4 %5").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom).arg(ColorToString(t.Brush.Color));
    }
    void RoundRect(const TDrawingTools &, const TRect &, QSize) override { Log << "RoundRect"; }
    void Ellipse(const TDrawingTools &, const TRect &) override { Log << "Ellipse"; }
    void Arc(const TDrawingTools &, const TRect &, QPoint, QPoint) override { Log << "Arc"; }
    void FillRect(const TDrawingTools &, const TRect &) override { Log << "FillRect"; }
    void FrameRect(const TDrawingTools &, const TRect &) override { Log << "FrameRect"; }
    void TextOut(const TDrawingTools &t, QPoint p, const QString &s, const TRect *clip, const TRect *opaque) override
    {
        Log << QString("Text %1,%2 %3 %4 clip=%5 opaque=%6")
                   .arg(p.x()).arg(p.y()).arg(s, t.Font.Name).arg(clip != nullptr).arg(opaque != nullptr);
    }
    void StretchDraw(const TRect &, const QImage &) override { Log << "StretchDraw"; }
    TColor Pixel(QPoint) const override { return clNone; }
    void SetPixel(QPoint, TColor) override { Log << "SetPixel"; }
    void SetClipRect(const TRect *r) override { Log << (r ? "Clip" : "NoClip"); }
    TRect ClipRect() const override { return {}; }
};

TEST_F(Canvas, PrimitivesReachAnyBackEndWithTheToolsInForce)
{
    auto device = std::make_unique<RecordingDevice>();
    RecordingDevice *log = device.get();
    TCanvas canvas(std::move(device));
    canvas.Pen.Color = clRed;
    canvas.MoveTo(1, 2);
    canvas.LineTo(3, 4);
    canvas.Brush.Color = clTeal;
    canvas.Rectangle(0, 0, 5, 6);
    canvas.Font.Name = "Arial";
    canvas.TextOut(7, 8, "t");
    canvas.Brush.Style = bsClear;
    canvas.TextRect(Rect(0, 0, 9, 9), 1, 1, "u");
    EXPECT_EQ(log->Log, QStringList({"Line 1,2-3,4 clRed", "Rectangle 0,0,5,6 clTeal",
                                     "Text 7,8 t Arial clip=0 opaque=1", "Text 1,1 u Arial clip=1 opaque=0"}));
}

namespace {

// A widget that paints through a canvas on its paint event's painter.
class CanvasWidget : public QWidget {
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        TCanvas canvas(&painter);
        canvas.Brush.Color = clNavy;
        canvas.FillRect(Rect(0, 0, width(), height()));
        canvas.Pen.Color = clYellow;
        canvas.Rectangle(5, 5, 15, 15);
    }
};

} // namespace

TEST_F(Canvas, PaintsOnAWidgetThroughItsPaintEvent)
{
    CanvasWidget widget;
    widget.resize(20, 20);
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(20, 20));
    EXPECT_EQ(At(image, 0, 0), clNavy);
    EXPECT_EQ(At(image, 5, 5), clYellow);
    EXPECT_EQ(At(image, 14, 14), clYellow);
    EXPECT_EQ(At(image, 15, 15), clNavy);
    EXPECT_EQ(At(image, 10, 10), clNavy); // the brush set for the fill still holds
}

TEST_F(Canvas, DrawsOnVectorDevicesWithoutRasterModes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.pdf");
    {
        QPdfWriter writer(path);
        TCanvas canvas(&writer);
        canvas.Pen.Mode = pmNot; // not available on a PDF page: drawn as a plain copy
        canvas.Rectangle(10, 10, 100, 100);
        canvas.Font = TFont("Arial", 10, clBlack);
        canvas.TextOut(20, 20, "Page 1 of 1");
        EXPECT_EQ(canvas.Pixel(20, 20), clNone);
        EXPECT_EQ(canvas.TextWidth("Page 1 of 1"), TFont("Arial", 10).TextWidth("Page 1 of 1"));
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");
}
