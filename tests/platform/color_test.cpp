// Colour names, texts and the bridge to Qt's colours and RGB32 pixels.
#include "platform/color.h"
#include "platform/convert_error.h"
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>
#include "test_data.h"

namespace {

TColor AsColor(quint32 value) { return static_cast<TColor>(value); }

} // namespace

TEST(ColorText, EveryNamedColourIsWrittenByNameInLookupOrderAndReadBackInAnyCase)
{
    // The golden file holds the names a style file may use, in look-up order, with their values.
    QByteArray listing;
    for (const auto &entry : ColorNames()) {
        const QString hex = QStringLiteral("%1").arg(quint32(entry.Value), 8, 16, QChar('0')).toUpper();
        listing += QByteArray(entry.Name) + ' ' + hex.toLatin1() + '\n';
        EXPECT_EQ(ColorToString(entry.Value), entry.Name);
        for (const QString &text : {QString(entry.Name), QString(entry.Name).toLower(), QString(entry.Name).toUpper()})
            EXPECT_EQ(StringToColor(text), entry.Value) << text.toStdString();
    }
    expectGolden("colour_names.txt", listing);
}

TEST(ColorText, UnnamedValuesAreDollarAndEightHexDigitsAndReadBackFromHexShortHexAndDecimal)
{
    EXPECT_EQ(ColorToString(0xC0FFEE), "$00C0FFEE");
    EXPECT_EQ(ColorToString(AsColor(0xFF000040)), "$FF000040"); // a system index without a name
    for (TColor value : {TColor(0xC0FFEE), TColor(1), AsColor(0xFF000040), AsColor(0x80000000), TColor(0x7FFFFFFF)}) {
        const QString text = ColorToString(value);
        EXPECT_EQ(text.size(), 9);
        EXPECT_EQ(text, text.toUpper());
        for (const QString &form : {text, "$" + QString::number(quint32(value), 16), QString::number(value)})
            EXPECT_EQ(StringToColor(form), value) << form.toStdString();
    }
    EXPECT_EQ(StringToColor("+255"), 255);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
    EXPECT_EQ(StringToColor("$00000000000000FF"), clRed);
}

TEST(ColorText, TextsThatAreNeitherNameNorNumberFail)
{
    for (const char *text : {"", "clReddish", "red", "$", "$G0", "12a", "0x10", "+", "-", " 12", "12 ",
                             "$100000000", "2147483648", "-2147483649", "1.5", "-$1"}) {
        TColor colour = 42;
        EXPECT_FALSE(TryStringToColor(QString::fromLatin1(text), colour)) << text;
        EXPECT_EQ(colour, 42);
        EXPECT_THROW(StringToColor(QString::fromLatin1(text)), EConvertError) << text;
    }
}

TEST(ColorBridge, PlainColoursNoneAndRgb32Pixels)
{
    EXPECT_EQ(ColorToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(QColorToColor(QColor(0x56, 0x34, 0x12)), 0x123456);
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(QColor(Qt::transparent)), clNone);
    EXPECT_EQ(QColorToColor(QColor()), clNone);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, ColorToQRgb(0x123456)); // red 0x56, green 0x34, blue 0x12
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(image.constBits()), 3), QByteArray("\x12\x34\x56"));
    EXPECT_EQ(QRgbToColor(image.pixel(0, 0)), 0x123456);
}

TEST(ColorBridge, SystemColoursFollowTheApplicationPalette)
{
    const QPalette saved = QGuiApplication::palette();
    const std::pair<QPalette::ColorRole, TColor> roles[] = {
        {QPalette::Button, clBtnFace},       {QPalette::Base, clWindow},         {QPalette::WindowText, clWindowText},
        {QPalette::Highlight, clHighlight}, {QPalette::HighlightedText, clHighlightText},
        {QPalette::ToolTipBase, clInfoBk},  {QPalette::ToolTipText, clInfoText}, {QPalette::ButtonText, clBtnText},
        {QPalette::Dark, clBtnShadow}};
    QPalette palette = saved;
    for (int i = 0; i < int(std::size(roles)); ++i)
        palette.setColor(QPalette::All, roles[i].first, QColor(i, 2 * i, 3 * i));
    QGuiApplication::setPalette(palette);
    for (int i = 0; i < int(std::size(roles)); ++i) {
        EXPECT_EQ(ColorToRGB(roles[i].second), RGBColor(i, 2 * i, 3 * i)) << ColorToString(roles[i].second).toStdString();
        EXPECT_EQ(ColorToQColor(roles[i].second), QColor(i, 2 * i, 3 * i));
    }
    for (int index = 0; index <= 30; ++index)
        EXPECT_EQ(ColorToRGB(clSystemColor | index) & ~0xFFFFFF, 0) << index; // opaque plain colours
    EXPECT_EQ(ColorToRGB(clSystemColor | 0x40), clBlack); // unknown indexes are black
    EXPECT_EQ(ColorToRGB(clDefault), ColorToRGB(clWindow));
    QGuiApplication::setPalette(saved);
}
