#pragma once
// TColor: a colour as the diagram files and the style store it, 0x00BBGGRR;
// values 0xFF0000nn name system colours that follow the desktop palette.
// Every conversion between TColor and Qt's colour types lives in color.cpp.
#include <QColor>
#include <QRgb>
#include <QString>
#include <cstdint>
#include <span>

using TColor = std::int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours: the top byte set, the low byte the classic desktop index.
constexpr TColor clSystemColor = static_cast<TColor>(0xFF000000u);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

// Plain colours.
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

struct TColorName {
    const char *Name;
    TColor Value;
};

// The named colours in look-up order; a value with two names is written with the first.
std::span<const TColorName> ColorNames();

// Composes a colour from its components (0..255 each).
constexpr TColor RGBColor(int red, int green, int blue)
{
    return static_cast<TColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// True for the 0xFF0000nn system colours (any value with the top bit set).
constexpr bool IsSystemColor(TColor color) { return color < 0; }

// The name of a named colour, else "$" and eight upper-case hex digits ("$00C0FFEE").
QString ColorToString(TColor color);
// True and the name when the value has one.
bool ColorToIdent(TColor color, QString &ident);
// A colour name in any letter case; false when the text is not a name.
bool IdentToColor(const QString &ident, TColor &color);
// A colour name, "$" with hex digits, or a signed decimal 32-bit integer.
// Throws EConvertError for anything else.
TColor StringToColor(const QString &text);
// As StringToColor, without the exception.
bool TryStringToColor(const QString &text, TColor &color);

// The RGB value (0x00BBGGRR) a colour stands for now: system colours are looked
// up in the application's current palette; plain colours come back unchanged.
// clDefault resolves like clWindow; clNone stays clNone.
TColor ColorToRGB(TColor color);

// The one bridge to Qt. clNone is fully transparent; system colours follow the palette.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor &color);
// QRgb is 0xAARRGGBB (an RGB32 pixel reads B,G,R,X in memory); TColor is 0x00BBGGRR.
QRgb ColorToQRgb(TColor color);
TColor QRgbToColor(QRgb rgb);
