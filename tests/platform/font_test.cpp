// Font sizes, substitutions and measuring that does not depend on the device.
#include "platform/canvas.h"
#include "platform/font.h"
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

class Fonts : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
};

TEST_F(Fonts, PointSizesBecomePixelsAt96DpiAndDesktopFamiliesAreSubstituted)
{
    const std::pair<int, int> sizes[] = {{8, 11}, {9, 12}, {10, 13}, {12, 16}, {14, 19}, {72, 96}, {1, 1}, {0, 1}};
    for (auto [points, pixels] : sizes) {
        EXPECT_EQ(PointsToPixels(points), pixels) << points;
        EXPECT_EQ(TFont("Tahoma", points).ToQFont().pixelSize(), pixels) << points;
    }
    EXPECT_EQ(PointsToPixels(7.5), 10);
    const std::pair<const char *, const char *> families[] = {
        {"Tahoma", "DejaVu Sans"}, {"Arial", "Liberation Sans"}, {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"}};
    for (auto [requested, installed] : families)
        EXPECT_EQ(QFontInfo(TFont(requested, 10).ToQFont()).family(), installed) << requested;
}

TEST_F(Fonts, StyleFlagsReachTheQtFontAndComeBack)
{
    const TFont font("Arial", 10, clRed, TFontStyles(fsBold) | fsItalic | fsUnderline | fsStrikeOut);
    const QFont qfont = font.ToQFont();
    EXPECT_TRUE(qfont.bold() && qfont.italic() && qfont.underline() && qfont.strikeOut());
    TFont back;
    back.Color = clRed;
    back.AssignQFont(qfont);
    EXPECT_EQ(back, font);
    QFont pointSized("Courier New");
    pointSized.setPointSize(12);
    back.AssignQFont(pointSized);
    EXPECT_EQ(back.Size, 12);
    EXPECT_EQ(back.Style, TFontStyles());
}

TEST_F(Fonts, RememberedWidthsBelongToTheirFont)
{
    // Measured in turn, each font gives its own width, never one remembered for another.
    const QString text = QStringLiteral("EMPLOYEE_ID");
    for (const TFont &font : {TFont("Tahoma", 8), TFont("Tahoma", 9), TFont("Courier New", 8), TFont("Tahoma", 8),
                              TFont("Tahoma", 8, clBlack, fsBold), TFont("Tahoma", 9)})
        EXPECT_EQ(font.TextWidth(text), QFontMetrics(font.ToQFont()).horizontalAdvance(text))
            << font.Name.toStdString() << " " << font.Size;
}

TEST_F(Fonts, TextMeasuresTheSameOnDevicesOfDifferentResolution)
{
    const QString text = QStringLiteral("NUMBER(10,2)  NOT NULL");
    const TFont small("Tahoma", 8);
    EXPECT_GT(TFont("Tahoma", 12).TextWidth(text), small.TextWidth(text));
    EXPECT_GT(TFont("Tahoma", 8, clBlack, fsBold).TextWidth(text), small.TextWidth(text));
    EXPECT_EQ(small.TextWidth(""), 0);
    EXPECT_EQ(small.TextHeight(""), small.TextHeight("Ag"));

    QImage screenLike(50, 50, QImage::Format_RGB32);
    screenLike.setDotsPerMeterX(3780); // 96 dpi
    screenLike.setDotsPerMeterY(3780);
    QImage printerLike(50, 50, QImage::Format_RGB32);
    printerLike.setDotsPerMeterX(23622); // 600 dpi
    printerLike.setDotsPerMeterY(23622);
    for (const char *family : {"Tahoma", "Arial", "Courier New"}) {
        TCanvas onScreen(&screenLike);
        TCanvas onPrinter(&printerLike);
        TCanvas measuring;
        for (TCanvas *canvas : {&onScreen, &onPrinter, &measuring})
            canvas->Font = TFont(family, 8, clBlack, fsItalic);
        EXPECT_EQ(onScreen.TextExtent(text), onPrinter.TextExtent(text)) << family;
        EXPECT_EQ(measuring.TextExtent(text), QSize(onScreen.TextWidth(text), onScreen.TextHeight(text))) << family;
    }
}
