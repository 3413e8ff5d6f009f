// Colour names, texts and the bridge to Qt's colours and RGB32 pixels.
#include "platform/color.h"
#include "platform/convert_error.h"
#include <QGuiApplication>
#include <QImage>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

struct NamedColour {
    const char *Name;
    quint32 Value;
};

// The colours a style file may name, with the values the files rely on.
const NamedColour kExpected[] = {
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

TEST(ColorNames, TableHoldsEveryNameInLookupOrder)
{
    const auto names = ColorNames();
    ASSERT_EQ(names.size(), std::size(kExpected));
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_STREQ(names[i].Name, kExpected[i].Name);
        EXPECT_EQ(names[i].Value, AsColor(kExpected[i].Value)) << kExpected[i].Name;
    }
}

TEST(ColorNames, EveryNamedValueIsWrittenByNameAndReadBackInAnyCase)
{
    for (const NamedColour &entry : kExpected) {
        const QString name = QLatin1String(entry.Name);
        EXPECT_EQ(ColorToString(AsColor(entry.Value)), name);
        EXPECT_EQ(StringToColor(name), AsColor(entry.Value));
        EXPECT_EQ(StringToColor(name.toLower()), AsColor(entry.Value));
        EXPECT_EQ(StringToColor(name.toUpper()), AsColor(entry.Value));
    }
    EXPECT_EQ(StringToColor("CLrEd"), clRed);
}

TEST(ColorText, UnnamedValuesAreDollarAndEightUpperCaseHexDigits)
{
    EXPECT_EQ(ColorToString(0xC0FFEE), "$00C0FFEE");
    EXPECT_EQ(ColorToString(0x000001), "$00000001");
    EXPECT_EQ(ColorToString(AsColor(0xFF000040)), "$FF000040"); // a system index without a name
    EXPECT_EQ(ColorToString(AsColor(0x80000000)), "$80000000");
}

TEST(ColorText, UnnamedValueReadsBackFromHexShortHexAndDecimal)
{
    for (TColor value : {TColor(0xC0FFEE), TColor(1), TColor(0x123456), AsColor(0xFF000040), TColor(0x7FFFFFFF)}) {
        const QString text = ColorToString(value);
        EXPECT_EQ(StringToColor(text), value) << text.toStdString();
        const QString shortHex = QLatin1Char('$') + QString::number(static_cast<quint32>(value), 16);
        EXPECT_EQ(StringToColor(shortHex), value) << shortHex.toStdString();
        EXPECT_EQ(StringToColor(QString::number(value)), value);
    }
    EXPECT_EQ(StringToColor("$c0ffee"), 0xC0FFEE);
    EXPECT_EQ(StringToColor("+255"), 255);
    EXPECT_EQ(StringToColor("-16777201"), clBtnFace);
    EXPECT_EQ(StringToColor("$FF00000F"), clBtnFace);
    EXPECT_EQ(StringToColor("$00000000000000FF"), clRed);
}

TEST(ColorText, TextsThatAreNeitherNameNorNumberFail)
{
    for (const char *text : {"", "clReddish", "red", "$", "$G0", "12a", "0x10", "+", "-", " 12", "12 ",
                             "$100000000", "2147483648", "-2147483649", "1.5"}) {
        TColor colour = 42;
        EXPECT_FALSE(TryStringToColor(QString::fromLatin1(text), colour)) << text;
        EXPECT_EQ(colour, 42);
        EXPECT_THROW(StringToColor(QString::fromLatin1(text)), EConvertError) << text;
    }
    EXPECT_EQ(StringToColor("-2147483648"), AsColor(0x80000000));
}

TEST(ColorBridge, PlainColoursMapComponentWise)
{
    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(QColorToColor(QColor(0x56, 0x34, 0x12)), 0x123456);
    EXPECT_EQ(RGBColor(0x56, 0x34, 0x12), 0x123456);
    EXPECT_EQ(ColorToRGB(0x123456), 0x123456);
}

TEST(ColorBridge, NoneIsTransparentAndComesBackAsNone)
{
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
    EXPECT_EQ(QColorToColor(QColor(Qt::transparent)), clNone);
    EXPECT_EQ(QColorToColor(QColor()), clNone);
    EXPECT_EQ(ColorToRGB(clNone), clNone);
}

TEST(ColorBridge, Rgb32PixelsAreBlueGreenRedInMemory)
{
    QImage image(1, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, ColorToQRgb(0x123456)); // red 0x56, green 0x34, blue 0x12
    const uchar *bytes = image.constBits();
    EXPECT_EQ(bytes[0], 0x12);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x56);
    EXPECT_EQ(QRgbToColor(image.pixel(0, 0)), 0x123456);
}

class SystemColours : public ::testing::Test {
protected:
    void SetUp() override { Saved = QGuiApplication::palette(); }
    void TearDown() override { QGuiApplication::setPalette(Saved); }
    QPalette Saved;
};

TEST_F(SystemColours, FollowTheApplicationPalette)
{
    QPalette palette = Saved;
    palette.setColor(QPalette::All, QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::All, QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::All, QPalette::WindowText, QColor(7, 8, 9));
    palette.setColor(QPalette::All, QPalette::Highlight, QColor(10, 11, 12));
    palette.setColor(QPalette::All, QPalette::HighlightedText, QColor(13, 14, 15));
    palette.setColor(QPalette::All, QPalette::ToolTipBase, QColor(16, 17, 18));
    palette.setColor(QPalette::All, QPalette::ToolTipText, QColor(19, 20, 21));
    palette.setColor(QPalette::All, QPalette::ButtonText, QColor(22, 23, 24));
    palette.setColor(QPalette::All, QPalette::Dark, QColor(25, 26, 27));
    QGuiApplication::setPalette(palette);

    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(1, 2, 3));
    EXPECT_EQ(ColorToRGB(clWindow), RGBColor(4, 5, 6));
    EXPECT_EQ(ColorToRGB(clWindowText), RGBColor(7, 8, 9));
    EXPECT_EQ(ColorToRGB(clHighlight), RGBColor(10, 11, 12));
    EXPECT_EQ(ColorToRGB(clHighlightText), RGBColor(13, 14, 15));
    EXPECT_EQ(ColorToRGB(clInfoBk), RGBColor(16, 17, 18));
    EXPECT_EQ(ColorToRGB(clInfoText), RGBColor(19, 20, 21));
    EXPECT_EQ(ColorToRGB(clBtnText), RGBColor(22, 23, 24));
    EXPECT_EQ(ColorToRGB(clBtnShadow), RGBColor(25, 26, 27));
    EXPECT_EQ(ColorToQColor(clBtnFace), QColor(1, 2, 3));
}

TEST_F(SystemColours, EveryClassicIndexResolvesToAnOpaqueColour)
{
    for (int index = 0; index <= 30; ++index) {
        const TColor colour = ColorToRGB(clSystemColor | index);
        EXPECT_FALSE(IsSystemColor(colour)) << index;
        EXPECT_EQ(colour & ~0xFFFFFF, 0) << index;
    }
    EXPECT_EQ(ColorToRGB(clSystemColor | 0x40), clBlack); // unknown indexes are black
    EXPECT_EQ(ColorToRGB(clDefault), ColorToRGB(clWindow));
}
