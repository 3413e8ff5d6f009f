#pragma once
// TFont: a font as the style and the canvas hold it: name, size in points, colour and style flags.
// Sizes are points at 96 logical dpi on every device, so text measures the same on
// the screen, in pictures and in print.
#include "platform/color.h"
#include <QFlags>
#include <QFont>
#include <QSize>
#include <QString>

enum TFontStyle : unsigned {
    fsBold = 0x1,
    fsItalic = 0x2,
    fsUnderline = 0x4,
    fsStrikeOut = 0x8,
};
using TFontStyles = QFlags<TFontStyle>;
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

constexpr int LogicalDpi = 96;

// round(points * 96 / 72), at least 1 pixel.
int PointsToPixels(int points);
int PointsToPixels(double points);

class TFont {
public:
    QString Name = QStringLiteral("Tahoma");
    int Size = 8; // points
    TColor Color = clWindowText;
    TFontStyles Style;

    TFont() = default;
    TFont(const QString &name, int size, TColor color = clWindowText, TFontStyles style = {})
        : Name(name), Size(size), Color(color), Style(style) {}

    int PixelSize() const { return PointsToPixels(Size); }
    // A QFont sized in pixels (never in points), so the device's dpi does not matter.
    QFont ToQFont() const;
    // Name, size (pixel size back to points, rounded) and style of a QFont; colour unchanged.
    void AssignQFont(const QFont &font);

    // Measures with this font, the same on every device.
    int TextWidth(const QString &text) const;
    int TextHeight(const QString &text) const;
    QSize TextExtent(const QString &text) const;
    int Ascent() const;

    friend bool operator==(const TFont &, const TFont &) = default;
};

// Installs the font substitutions of the program (Tahoma, Arial, Times New Roman and
// Courier New onto the DejaVu and Liberation families). Call once at start-up.
void InstallFontSubstitutions();
