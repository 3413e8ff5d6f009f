// Colour names, texts and the bridge to Qt's colours and RGB32 pixels.
#include "platform/color.h"
#include "platform/convert_error.h"
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

// The colours a style file may name, in look-up order, with the values the files rely on.
const std::pair<const char *, quint32> kExpected[] = {
    {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
    {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", 0xFF00000A}, {"clActiveCaption", 0xFF000002}, {"clAppWorkSpace", 0xFF00000C},
    {"clBackground", 0xFF000001}, {"clBtnFace", 0xFF00000F}, {"clBtnHighlight", 0xFF000014},
    {"clBtnShadow", 0xFF000010}, {"clBtnText", 0xFF000012}, {"clCaptionText", 0xFF000009},
    {"clGradientActiveCaption", 0xFF00001B}, {"clGradientInactiveCaption", 0xFF00001C},
    {"clGrayText", 0xFF000011}, {"clHighlight", 0xFF00000D}, {"clHighlightText", 0xFF00000E},
    {"clHotLight", 0xFF00001A}, {"clInactiveBorder", 0xFF00000B}, {"clInactiveCaption", 0xFF000003},
    {"clInactiveCaptionText", 0xFF000013}, {"clInfoBk", 0xFF000018}, {"clInfoText", 0xFF000017},
    {"clMenu", 0xFF000004}, {"clMenuBar", 0xFF00001E}, {"clMenuHighlight", 0xFF00001D},
    {"clMenuText", 0xFF000007}, {"clScrollBar", 0xFF000000}, {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016}, {"clWindow", 0xFF000005}, {"clWindowFrame", 0xFF000006},
    {"clDefault", 0x20000000}, {"clNone", 0x1FFFFFFF},
};

TColor AsColor(quint32 value) { return static_cast<TColor>(value); }

} // namespace

TEST(ColorText, EveryNamedColourIsWrittenByNameInLookupOrderAndReadBackInAnyCase)
{
    const auto names = ColorNames();
    ASSERT_EQ(names.size(), std::size(kExpected));
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto &[name, value] = kExpected[i];
        EXPECT_STREQ(names[i].Name, name);
        EXPECT_EQ(names[i].Value, AsColor(value)) << name;
        EXPECT_EQ(ColorToString(AsColor(value)), name);
        for (const QString &text : {QString(name), QString(name).toLower(), QString(name).toUpper()})
            EXPECT_EQ(StringToColor(text), AsColor(value)) << text.toStdString();
    }
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
