// Drawing with classic desktop semantics, probed pixel by pixel on an RGB32 image.
#include "platform/canvas.h"
#include "platform/painter_canvas_device.h"
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include "test_data.h"
#include <algorithm>

namespace {

TColor At(const QImage &image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }
TColor At(const QImage &image, QPoint p) { return At(image, p.x(), p.y()); }

// A white image drawn on through a canvas of its own.
QImage Paint(const std::function<void(TCanvas &)> &draw, int width = 40, int height = 40)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    draw(canvas);
    return image;
}

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

// The pictures one character a pixel, against a golden listing.
void ExpectPictures(const char *name, const QList<QImage> &images)
{
    const std::pair<TColor, char> letters[] = {{clWhite, '.'}, {clBlack, '#'}, {clRed, 'R'},    {clYellow, 'Y'},
                                               {clBlue, 'B'},  {clGreen, 'G'}, {clNavy, 'N'},   {clLime, 'L'},
                                               {clMaroon, 'M'}, {clAqua, 'A'}, {clFuchsia, 'F'}};
    QByteArray text;
    for (const QImage &image : images) {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const auto found = std::find_if(std::begin(letters), std::end(letters),
                                                [&](const auto &letter) { return letter.first == At(image, x, y); });
                text += found == std::end(letters) ? '?' : found->second;
            }
            text += '\n';
        }
        text += '\n';
    }
    expectGolden(QStringLiteral("canvas/%1.txt").arg(QLatin1String(name)), text);
}

} // namespace

class Canvas : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
};

TEST_F(Canvas, LinesInEveryDirectionKeepTheirStartAndLeaveOutTheirEnd)
{
    // From the centre along the axes, the diagonals and steep and shallow slopes, each way.
    const QPoint start(20, 20);
    const QPoint ends[] = {{28, 20}, {12, 20}, {20, 28}, {20, 12}, {27, 27}, {13, 13}, {27, 13}, {13, 27},
                           {28, 23}, {12, 17}, {12, 23}, {28, 17}, {23, 28}, {17, 12}, {17, 28}, {23, 12}};
    for (const QPoint end : ends) {
        for (const TPenStyle style : {psSolid, psDot}) {
            const QImage image = Paint([&](TCanvas &c) {
                c.Pen.Style = style;
                c.Brush.Style = bsClear;
                c.MoveTo(start.x(), start.y());
                c.LineTo(end.x(), end.y());
                EXPECT_EQ(c.PenPos, end);
            });
            const auto where = [&] { return testing::Message() << end.x() << "," << end.y() << " style " << style; };
            EXPECT_EQ(At(image, start), clBlack) << where();
            EXPECT_EQ(At(image, end), clWhite) << where();
            if (style == psSolid) {
                EXPECT_EQ(CountOf(image, clBlack), std::max(std::abs(end.x() - 20), std::abs(end.y() - 20))) << where();
                const QRect box(QPoint(std::min(20, end.x()), std::min(20, end.y())),
                                QPoint(std::max(20, end.x()), std::max(20, end.y())));
                EXPECT_TRUE(box.contains(Painted(image))) << where();
            }
        }
    }
    EXPECT_EQ(CountOf(Paint([](TCanvas &c) { c.MoveTo(5, 5); c.LineTo(5, 5); }), clBlack), 0);
    // A polyline, either way round, leaves out only its last point.
    for (const QPolygon &points : {QPolygon({QPoint(2, 2), QPoint(8, 2), QPoint(8, 9)}),
                                   QPolygon({QPoint(8, 9), QPoint(8, 2), QPoint(2, 2)})}) {
        const QImage image = Paint([&](TCanvas &c) { c.Polyline(points); });
        EXPECT_EQ(At(image, points[0]), clBlack);
        EXPECT_EQ(At(image, points[1]), clBlack);
        EXPECT_EQ(At(image, points[2]), clWhite);
        EXPECT_EQ(CountOf(image, clBlack), 6 + 7);
    }
}

TEST_F(Canvas, FiguresAndFillsLeaveOutRightAndBottom)
{
    ExpectPictures("figures", {Paint([](TCanvas &c) {
                                   c.Pen.Color = clRed;
                                   c.Brush.Color = clYellow;
                                   c.Rectangle(10, 10, 20, 16); // outline on 10..19 x 10..15, fill inside
                                   c.Brush.Style = bsClear;
                                   c.Rectangle(2, 20, 8, 26); // outline only
                                   c.Pen.Style = psClear;
                                   c.Brush = {clBlue, bsSolid};
                                   c.Rectangle(20, 20, 30, 25); // fill only, the same area
                                   c.Brush.Color = clGreen;
                                   c.FillRect(Rect(3, 4, 9, 7)); // the brush alone, whatever the pen
                                   c.Brush.Color = clNavy;
                                   c.FrameRect(Rect(30, 2, 36, 12));
                                   c.FillRect(Rect(30, 30, 30, 35)); // empty: nothing
                                   c.FillRect(Rect(38, 38, 36, 39)); // reversed: nothing
                               }),
                               // A closed figure has no left-out end.
                               Paint([](TCanvas &c) {
                                   c.Pen.Color = clRed;
                                   c.Brush.Color = clLime;
                                   c.Polygon(QPolygon({QPoint(5, 5), QPoint(30, 5), QPoint(5, 30)}));
                               }),
                               Paint([](TCanvas &c) { c.Brush.Color = clRed; c.Ellipse(10, 10, 30, 20); }),
                               // Counter-clockwise: the quarter from east to north; the same ray twice
                               // is the whole circle.
                               Paint([](TCanvas &c) { c.Arc(15, 15, 45, 45, 45, 30, 30, 15); }, 60, 60),
                               Paint([](TCanvas &c) { c.Arc(15, 15, 45, 45, 45, 30, 45, 30); }, 60, 60),
                               Paint([](TCanvas &c) { c.Pen.Width = 3; c.MoveTo(5, 20); c.LineTo(30, 20); }),
                               // Pen and brush as set before a line and a text (below the picture).
                               Paint([](TCanvas &c) {
                                   c.Pen.Color = clMaroon;
                                   c.Brush.Color = clAqua;
                                   c.LineTo(10, 0);
                                   c.TextOut(0, 60, "x");
                                   c.Rectangle(20, 5, 30, 15);
                               })});
}

TEST_F(Canvas, TextIsPlacedByItsTopLeftAndOnlyASolidBrushMakesItOpaque)
{
    const QString text = QStringLiteral("HMg");
    const TFont font("Tahoma", 10, clBlack);
    const int width = font.TextWidth(text);
    const int height = font.TextHeight(text);
    const auto draw = [&](TColor colour, TBrush brush) {
        return Paint([&](TCanvas &c) {
            c.Font = font;
            c.Font.Color = colour;
            c.Brush = brush;
            c.TextOut(20, 10, text);
            EXPECT_EQ(c.PenPos, QPoint(20 + width, 10));
        }, 200, 60);
    };
    // Capitals reach up near the cell's top, the descender of "g" down into its lower half.
    const QRect box = Painted(draw(clBlack, {clGreen, bsClear}));
    EXPECT_TRUE(box.left() >= 20 && box.left() <= 22 && box.right() <= 20 + width);
    EXPECT_TRUE(box.top() >= 10 && box.top() <= 10 + height / 3);
    EXPECT_TRUE(box.bottom() < 10 + height && box.bottom() > 10 + height / 2);
    const QImage solid = draw(clWhite, {clGreen, bsSolid});
    EXPECT_EQ(Painted(solid), QRect(20, 10, width, height));
    EXPECT_EQ(At(solid, 20 + width - 1, 10 + height - 1), clGreen);
    EXPECT_EQ(Painted(draw(clBlack, {clGreen, bsCross})), box);

    // TextRect clips to its rectangle and fills it unless the brush is clear.
    for (const TBrushStyle style : {bsSolid, bsClear}) {
        const QImage image = Paint([&](TCanvas &c) {
            c.Font = font;
            c.Brush = {clYellow, style};
            c.TextRect(Rect(10, 10, 30, 20), 12, 10, "A long column name that overflows");
        }, 200, 40);
        const QRect cell = Painted(image);
        EXPECT_GT(CountOf(image, clBlack), 0);
        EXPECT_TRUE(style == bsSolid ? cell == QRect(10, 10, 20, 10) && At(image, 10, 10) == clYellow
                                     : QRect(12, 10, 18, 10).contains(cell));
    }
}

TEST_F(Canvas, NoneMeansNothingIsPainted)
{
    const QImage none = Paint([](TCanvas &c) {
        c.Pen.Color = clNone;
        c.Brush.Color = clNone;
        c.Font.Color = clNone;
        c.LineTo(30, 30);
        c.Rectangle(5, 5, 20, 20);
        c.FillRect(Rect(0, 0, 40, 40));
        c.FrameRect(Rect(0, 0, 40, 40));
        c.Ellipse(0, 0, 40, 40);
        c.Polygon(QPolygon({QPoint(0, 0), QPoint(30, 0), QPoint(0, 30)}));
        c.TextOut(2, 2, "Hidden");
        c.SetPixel(1, 1, clNone);
    });
    EXPECT_TRUE(Painted(none).isEmpty());
}

TEST_F(Canvas, NotModeInvertsAndASecondPassRestoresAndDotsShowTheSolidBrush)
{
    QImage image = Paint([](TCanvas &c) { c.Brush.Color = clRed; c.FillRect(Rect(0, 0, 20, 40)); });
    const QImage before = image;
    {
        TCanvas canvas(&image);
        canvas.Pen = {clBlack, 1, psDot, pmNot};
        canvas.Brush.Style = bsClear;
        canvas.Rectangle(5, 5, 35, 30);
        EXPECT_GT(CountOf(image, clAqua), 10);  // inverted red
        EXPECT_GT(CountOf(image, clBlack), 10); // inverted white
        EXPECT_EQ(At(image, 10, 10), clRed);    // inside untouched
        EXPECT_LT(CountOf(image, clAqua) + CountOf(image, clBlack), 2 * (30 + 25)); // dotted
        canvas.Rectangle(5, 5, 35, 30);
    }
    EXPECT_EQ(image, before);

    for (const TBrushStyle style : {bsSolid, bsClear}) {
        const QImage dotted = Paint([&](TCanvas &c) {
            c.Pen.Style = psDot;
            c.Brush = {clYellow, style};
            c.MoveTo(0, 5);
            c.LineTo(30, 5);
        });
        EXPECT_EQ(At(dotted, 4, 5), style == bsSolid ? clYellow : clWhite);
        EXPECT_EQ(CountOf(dotted, clBlack), 15);
    }
}

TEST_F(Canvas, ImagesAreDrawnAndStretchedPixelForPixel)
{
    QImage icon(2, 2, QImage::Format_RGB32);
    const TColor colours[] = {clRed, clLime, clBlue, clFuchsia};
    for (int i = 0; i < 4; ++i)
        icon.setPixel(i % 2, i / 2, ColorToQRgb(colours[i]));
    // The key colour lets the background through.
    ExpectPictures("images", {Paint([&](TCanvas &c) {
        c.Draw(1, 1, icon);
        c.StretchDraw(Rect(10, 10, 14, 14), icon);
        c.StretchDraw(Rect(20, 20, 24, 24), ImageWithTransparentColor(icon, clFuchsia));
    })});
}

TEST_F(Canvas, PixelsAndClipRectangles)
{
    QImage image = Paint([](TCanvas &) {});
    TCanvas canvas(&image);
    canvas.SetPixel(3, 4, 0x123456);
    EXPECT_EQ(canvas.Pixel(3, 4), 0x123456);
    EXPECT_EQ(canvas.Pixel(40, 0), clNone);
    EXPECT_EQ(canvas.Pixel(-1, 5), clNone);
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 40, 40));
    canvas.SetClipRect(Rect(10, 10, 20, 20));
    EXPECT_EQ(canvas.ClipRect(), Rect(10, 10, 20, 20));
    canvas.Brush.Color = clRed;
    canvas.FillRect(Rect(5, 5, 40, 40));
    EXPECT_EQ(Painted(image.copy(5, 5, 35, 35)), QRect(5, 5, 10, 10));
    canvas.ResetClipRect();
    EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 40, 40));
    canvas.FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(canvas.Pixel(0, 0), clRed);
}

TEST_F(Canvas, ABorrowedPainterKeepsItsClipAsTheLimitAndGetsItsStateBack)
{
    QImage image = Paint([](TCanvas &) {});
    QPainter painter(&image);
    painter.setPen(QPen(Qt::green, 5));
    painter.setClipRect(QRect(0, 0, 30, 30));
    {
        TCanvas canvas(&painter);
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 30, 30));
        canvas.Pen.Color = clRed;
        canvas.SetClipRect(Rect(0, 0, 5, 5));
        canvas.LineTo(20, 0);
        canvas.SetClipRect(Rect(0, 10, 40, 40)); // no wider than the painter's own clip
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 10, 30, 30));
        canvas.MoveTo(0, 20);
        canvas.LineTo(40, 20);
        canvas.ResetClipRect();
        EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 30, 30));
    }
    EXPECT_EQ(painter.pen(), QPen(Qt::green, 5));
    EXPECT_EQ(painter.clipBoundingRect().toRect(), QRect(0, 0, 30, 30));
    painter.end();
    EXPECT_EQ(Painted(image), QRect(0, 0, 30, 21));
    EXPECT_EQ(At(image, 4, 0), clRed);
    EXPECT_EQ(At(image, 5, 0), clWhite);
}

TEST_F(Canvas, MeasuringAndVectorCanvasesAndDeviceErrors)
{
    TCanvas measuring;
    measuring.Rectangle(0, 0, 10, 10);
    measuring.TextOut(0, 0, "abc");
    EXPECT_EQ(measuring.PenPos, QPoint(measuring.TextWidth("abc"), 0));
    EXPECT_EQ(measuring.ClipRect(), TRect{});
    EXPECT_EQ(measuring.Pixel(0, 0), clNone);
    QImage empty;
    EXPECT_THROW(TCanvas{&empty}, std::runtime_error);
    EXPECT_THROW(TCanvas{static_cast<QPainter *>(nullptr)}, std::runtime_error);

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

TEST_F(Canvas, APieceOfAPictureShowsWhatTheWholePictureShowsThere)
{
    // Texts and lines that only part of a piece shows, or none: drawing left
    // out beyond the picture must not take what shows with it.
    const auto scene = [](TCanvas &canvas) {
        canvas.Font = TFont("Arial", 14, clBlack, fsItalic);
        canvas.Brush = TBrush{clYellow, bsSolid};
        canvas.TextOut(20, 20, "Wjfy overhang elf");
        canvas.Brush.Style = bsClear;
        canvas.TextOut(30, 60, "Plain");
        canvas.Brush.Style = bsSolid;
        canvas.TextRect({100, 10, 150, 40}, 95, 12, "clipped text");
        canvas.Pen = TPen{clBlack, 1};
        canvas.MoveTo(5, 100);
        canvas.LineTo(190, 100);
        canvas.MoveTo(150, 115);
        canvas.LineTo(150, 5);
        canvas.Pen = TPen{clRed, 11};
        canvas.MoveTo(10, 80);
        canvas.LineTo(120, 80);
        canvas.Font = TFont("Arial", 36, clBlack, fsItalic);
        canvas.Brush.Style = bsClear;
        canvas.TextOut(110, 60, "elf");
    };
    const auto piece = [&](int left, int top, int width, int height) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(-left, -top);
        TCanvas canvas(&painter);
        scene(canvas);
        return image;
    };
    const QImage whole = piece(-30, -30, 260, 180);
    for (int top = -25; top < 125; top += 23)
        for (int left = -27; left < 190; left += 37)
            ASSERT_EQ(piece(left, top, 37, 23), whole.copy(left + 30, top + 30, 37, 23)) << left << "," << top;
    // Slanted glyphs stand out of the text's own box, a wide pen out of its line: pieces that
    // hold only what stands out.
    const TFont italic("Arial", 14, clBlack, fsItalic), large("Arial", 36, clBlack, fsItalic);
    const int right = 20 + italic.TextWidth("Wjfy overhang elf"), bottom = 20 + italic.TextHeight("W");
    for (const QRect &beside : {QRect(right, 0, 12, 60), QRect(8, 0, 12, 60), QRect(0, bottom, 140, 8),
                                QRect(113 + large.TextWidth("elf"), 40, 20, 90), QRect(0, 84, 100, 6)}) {
        const QImage shown = piece(beside.x(), beside.y(), beside.width(), beside.height());
        ASSERT_EQ(shown, whole.copy(beside.translated(30, 30))) << beside.x() << "," << beside.y();
    }
}
