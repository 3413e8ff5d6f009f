#include "platform/color.h"
#include "platform/convert_error.h"
#include <QGuiApplication>
#include <QPalette>
#include <array>

namespace {

constexpr std::array<TColorName, 51> kColorNames{{
    {"clBlack", clBlack},
    {"clMaroon", clMaroon},
    {"clGreen", clGreen},
    {"clOlive", clOlive},
    {"clNavy", clNavy},
    {"clPurple", clPurple},
    {"clTeal", clTeal},
    {"clGray", clGray},
    {"clSilver", clSilver},
    {"clRed", clRed},
    {"clLime", clLime},
    {"clYellow", clYellow},
    {"clBlue", clBlue},
    {"clFuchsia", clFuchsia},
    {"clAqua", clAqua},
    {"clWhite", clWhite},
    {"clMoneyGreen", clMoneyGreen},
    {"clSkyBlue", clSkyBlue},
    {"clCream", clCream},
    {"clMedGray", clMedGray},
    {"clActiveBorder", clActiveBorder},
    {"clActiveCaption", clActiveCaption},
    {"clAppWorkSpace", clAppWorkSpace},
    {"clBackground", clBackground},
    {"clBtnFace", clBtnFace},
    {"clBtnHighlight", clBtnHighlight},
    {"clBtnShadow", clBtnShadow},
    {"clBtnText", clBtnText},
    {"clCaptionText", clCaptionText},
    {"clGradientActiveCaption", clGradientActiveCaption},
    {"clGradientInactiveCaption", clGradientInactiveCaption},
    {"clGrayText", clGrayText},
    {"clHighlight", clHighlight},
    {"clHighlightText", clHighlightText},
    {"clHotLight", clHotLight},
    {"clInactiveBorder", clInactiveBorder},
    {"clInactiveCaption", clInactiveCaption},
    {"clInactiveCaptionText", clInactiveCaptionText},
    {"clInfoBk", clInfoBk},
    {"clInfoText", clInfoText},
    {"clMenu", clMenu},
    {"clMenuBar", clMenuBar},
    {"clMenuHighlight", clMenuHighlight},
    {"clMenuText", clMenuText},
    {"clScrollBar", clScrollBar},
    {"cl3DDkShadow", cl3DDkShadow},
    {"cl3DLight", cl3DLight},
    {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame},
    {"clDefault", clDefault},
    {"clNone", clNone},
}};

struct TPaletteEntry {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The desktop's classic colour indexes 0..30 on the roles of a Qt palette.
constexpr std::array<TPaletteEntry, 31> kSystemColors{{
    {QPalette::Active, QPalette::Button},            // 0 scroll bar
    {QPalette::Active, QPalette::Dark},              // 1 desktop background
    {QPalette::Active, QPalette::Highlight},         // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    {QPalette::Active, QPalette::Window},            // 4 menu
    {QPalette::Active, QPalette::Base},              // 5 window
    {QPalette::Active, QPalette::Shadow},            // 6 window frame
    {QPalette::Active, QPalette::WindowText},        // 7 menu text
    {QPalette::Active, QPalette::WindowText},        // 8 window text
    {QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    {QPalette::Active, QPalette::Window},            // 10 active border
    {QPalette::Inactive, QPalette::Window},          // 11 inactive border
    {QPalette::Active, QPalette::Dark},              // 12 application work space
    {QPalette::Active, QPalette::Highlight},         // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},   // 14 highlight text
    {QPalette::Active, QPalette::Button},            // 15 button face
    {QPalette::Active, QPalette::Dark},              // 16 button shadow
    {QPalette::Disabled, QPalette::WindowText},      // 17 grey text
    {QPalette::Active, QPalette::ButtonText},        // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    {QPalette::Active, QPalette::Light},             // 20 button highlight
    {QPalette::Active, QPalette::Shadow},            // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},          // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},       // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},       // 24 info background
    {QPalette::Active, QPalette::Button},            // 25 (unnamed)
    {QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    {QPalette::Active, QPalette::Highlight},         // 27 gradient active caption
    {QPalette::Inactive, QPalette::Highlight},       // 28 gradient inactive caption
    {QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    {QPalette::Active, QPalette::Window},            // 30 menu bar
}};

QColor SystemQColor(TColor color)
{
    const unsigned index = static_cast<unsigned>(color) & 0xFFu;
    if (index >= kSystemColors.size())
        return QColor(Qt::black); // the desktop answers black for indexes it does not know
    const TPaletteEntry &entry = kSystemColors[index];
    return QGuiApplication::palette().color(entry.Group, entry.Role);
}

bool ParseInteger(const QString &text, TColor &value)
{
    if (text.isEmpty())
        return false;
    if (text.startsWith(QLatin1Char('$'))) {
        const QStringView digits = QStringView(text).mid(1);
        if (digits.isEmpty())
            return false;
        quint64 result = 0;
        for (QChar c : digits) {
            const char16_t u = c.unicode();
            int digit = -1;
            if (u >= u'0' && u <= u'9')
                digit = u - u'0';
            else if (u >= u'a' && u <= u'f')
                digit = u - u'a' + 10;
            else if (u >= u'A' && u <= u'F')
                digit = u - u'A' + 10;
            if (digit < 0)
                return false;
            result = result * 16 + static_cast<quint64>(digit);
            if (result > 0xFFFFFFFFull)
                return false;
        }
        // Hexadecimal texts give the 32-bit pattern, so "$FF00000F" is the system colour.
        value = static_cast<TColor>(static_cast<quint32>(result));
        return true;
    }
    int pos = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')) {
        negative = text[0] == QLatin1Char('-');
        pos = 1;
    }
    if (pos >= text.size())
        return false;
    qint64 result = 0;
    for (; pos < text.size(); ++pos) {
        const char16_t c = text[pos].unicode();
        if (c < u'0' || c > u'9')
            return false;
        result = result * 10 + (c - u'0');
        if (result > 0x80000000ll)
            return false;
    }
    if (negative)
        result = -result;
    if (result > 0x7FFFFFFFll)
        return false;
    value = static_cast<TColor>(result);
    return true;
}

} // namespace

std::span<const TColorName> ColorNames() { return kColorNames; }

bool ColorToIdent(TColor color, QString &ident)
{
    for (const TColorName &entry : kColorNames) {
        if (entry.Value == color) {
            ident = QLatin1String(entry.Name);
            return true;
        }
    }
    return false;
}

QString ColorToString(TColor color)
{
    QString ident;
    if (ColorToIdent(color, ident))
        return ident;
    return QLatin1Char('$') + QString::number(static_cast<quint32>(color), 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

bool IdentToColor(const QString &ident, TColor &color)
{
    for (const TColorName &entry : kColorNames) {
        if (ident.compare(QLatin1String(entry.Name), Qt::CaseInsensitive) == 0) {
            color = entry.Value;
            return true;
        }
    }
    return false;
}

bool TryStringToColor(const QString &text, TColor &color)
{
    return IdentToColor(text, color) || ParseInteger(text, color);
}

TColor StringToColor(const QString &text)
{
    TColor color = clBlack;
    if (!TryStringToColor(text, color))
        throw EConvertError("'" + text.toStdString() + "' is not a valid colour value");
    return color;
}

TColor ColorToRGB(TColor color)
{
    if (IsSystemColor(color) || color == clDefault)
        return QColorToColor(ColorToQColor(color));
    return color;
}

QColor ColorToQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (color == clDefault)
        return SystemQColor(clWindow);
    if (IsSystemColor(color))
        return SystemQColor(color);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor QColorToColor(const QColor &color)
{
    if (!color.isValid() || color.alpha() == 0)
        return clNone;
    return RGBColor(color.red(), color.green(), color.blue());
}

QRgb ColorToQRgb(TColor color)
{
    return ColorToQColor(color).rgba();
}

TColor QRgbToColor(QRgb rgb)
{
    return RGBColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}
