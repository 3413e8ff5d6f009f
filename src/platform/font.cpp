#include "platform/font.h"
#include <QFontMetrics>
#include <QHash>
#include <atomic>
#include <cmath>
#include <unordered_map>

int PointsToPixels(double points)
{
    const long pixels = std::lround(std::fabs(points) * LogicalDpi / 72.0);
    return pixels < 1 ? 1 : static_cast<int>(pixels);
}

int PointsToPixels(int points) { return PointsToPixels(static_cast<double>(points)); }

QFont TFont::ToQFont() const
{
    QFont font(Name);
    font.setPixelSize(PixelSize());
    font.setBold(Style.testFlag(fsBold));
    font.setItalic(Style.testFlag(fsItalic));
    font.setUnderline(Style.testFlag(fsUnderline));
    font.setStrikeOut(Style.testFlag(fsStrikeOut));
    // Full hinting keeps glyph advances whole pixels and independent of the desktop's
    // font settings, so a box measured here has the same width wherever it is drawn.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void TFont::AssignQFont(const QFont &font)
{
    Name = font.family();
    if (font.pixelSize() > 0)
        Size = static_cast<int>(std::lround(font.pixelSize() * 72.0 / LogicalDpi));
    else
        Size = static_cast<int>(std::lround(font.pointSizeF()));
    TFontStyles style;
    if (font.bold())
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    Style = style;
}

namespace {

// Bumped when substitutions change, so cached metrics of a substituted family are redone.
std::atomic<int> FontGeneration{0};

// Measuring happens on every box paint and layout; QFontMetrics is worth
// keeping, and so are the widths of the texts measured: a page measures the
// same column names and data types over and over.
struct TMeasure {
    explicit TMeasure(const QFont &font) : Metrics(font) {}
    QFontMetrics Metrics;
    QHash<QString, int> Widths;
};

TMeasure &MeasureFor(const TFont &font)
{
    thread_local std::unordered_map<QString, TMeasure> cache;
    thread_local int generation = -1;
    // Texts come in runs of one font (a box's rows, a page's captions): the
    // font measured last is found without building its key.
    thread_local TMeasure *last = nullptr;
    thread_local QString lastName;
    thread_local int lastPixels = 0;
    thread_local int lastStyle = 0;
    if (generation != FontGeneration.load()) {
        cache.clear();
        last = nullptr;
        generation = FontGeneration.load();
    }
    if (last && lastPixels == font.PixelSize() && lastStyle == int(font.Style.toInt()) && lastName == font.Name)
        return *last;
    const QString key = font.Name + QLatin1Char('\n') + QString::number(font.PixelSize()) + QLatin1Char('\n')
                        + QString::number(font.Style.toInt());
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 256)
            cache.clear();
        it = cache.emplace(key, TMeasure(font.ToQFont())).first;
    }
    last = &it->second;
    lastName = font.Name;
    lastPixels = font.PixelSize();
    lastStyle = int(font.Style.toInt());
    return it->second;
}

const QFontMetrics &MetricsFor(const TFont &font) { return MeasureFor(font).Metrics; }

} // namespace

int TFont::TextWidth(const QString &text) const
{
    TMeasure &measure = MeasureFor(*this);
    auto it = measure.Widths.constFind(text);
    if (it != measure.Widths.constEnd())
        return *it;
    if (measure.Widths.size() > 16384)
        measure.Widths.clear();
    const int width = measure.Metrics.horizontalAdvance(text);
    measure.Widths.insert(text, width);
    return width;
}

int TFont::TextHeight(const QString &) const { return MetricsFor(*this).height(); }

QSize TFont::TextExtent(const QString &text) const
{
    // Every text drawn is measured first: the width comes from the same store.
    return QSize(TextWidth(text), MetricsFor(*this).height());
}

int TFont::Ascent() const { return MetricsFor(*this).ascent(); }

void InstallFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
    ++FontGeneration;
}
