// How table and type boxes size themselves from their content.
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "platform/canvas.h"

#include <algorithm>

namespace {

const TOSSchemaStyle &MeasuringStyle()
{
    // Boxes always measure with the current page's style, whichever page holds them.
    return CurrentStyle();
}

// Sets the body font in italics for the measurement and puts the canvas's
// own font back afterwards.
class TMeasuringFont {
public:
    explicit TMeasuringFont(TCanvas &canvas) : m_canvas(canvas), m_saved(canvas.Font)
    {
        const TOSSchemaStyle &style = MeasuringStyle();
        m_canvas.Font.Name = style.FontName;
        m_canvas.Font.Size = style.FontSize;
        m_canvas.Font.Style = fsItalic;
    }
    ~TMeasuringFont()
    {
        m_canvas.Font.Name = m_saved.Name;
        m_canvas.Font.Size = m_saved.Size;
        m_canvas.Font.Style = m_saved.Style;
    }

private:
    TCanvas &m_canvas;
    TFont m_saved;
};

// The canvas to measure on when the caller has none: a measuring-only one.
TCanvas &FallbackCanvas()
{
    static TCanvas canvas;
    return canvas;
}

TCanvas &CanvasOrFallback(TCanvas *canvas) { return canvas ? *canvas : FallbackCanvas(); }

// Line heights come from the drawing surface's canvas with whatever font it
// holds; without a surface (no window yet) the given canvas stands in.
TCanvas &SurfaceCanvasOr(TCanvas *canvas)
{
    TCanvas *surface = TModelHooks::Surface ? TModelHooks::Surface->SurfaceCanvas() : nullptr;
    return surface ? *surface : CanvasOrFallback(canvas);
}

} // namespace

int TDiagramTable::CalcWidth(TCanvas *canvasArg)
{
    TCanvas &canvas = CanvasOrFallback(canvasArg);
    TMeasuringFont font(canvas);
    const int titleWidth = canvas.TextWidth(Name) + 80;
    int namePart = 0;
    int typePart = 0;
    const int notNullWidth = HideDataTypes ? 0 : canvas.TextWidth(QStringLiteral("  NOT NULL"));
    for (TDiagramColumn *column : Columns) {
        if (!IsColumnShown(*column))
            continue;
        namePart = std::max(namePart, canvas.TextWidth(column->Name) + 24);
        if (!HideDataTypes) {
            int typeWidth = canvas.TextWidth(column->GetDataTypeText());
            if (!column->IsNullable)
                typeWidth += notNullWidth;
            typePart = std::max(typePart, typeWidth);
        }
    }
    return std::max(titleWidth, namePart + typePart) + 12;
}

int TDiagramTable::CalcHeight(TCanvas *canvas)
{
    const int lineHeight = SurfaceCanvasOr(canvas).TextHeight(QStringLiteral("A")) + 2;
    int shown = 0;
    for (TDiagramColumn *column : Columns) {
        if (IsColumnShown(*column))
            ++shown;
    }
    return lineHeight * shown + lineHeight + 2;
}

int TDiagramObjectTable::CalcHeight(TCanvas *canvas)
{
    // The title band holds the type's name as a second line.
    const int lineHeight = SurfaceCanvasOr(canvas).TextHeight(QStringLiteral("A")) + 2;
    return TDiagramTable::CalcHeight(canvas) + lineHeight;
}

int TDiagramType::CalcWidth(TCanvas *canvasArg)
{
    TCanvas &canvas = CanvasOrFallback(canvasArg);
    TMeasuringFont font(canvas);
    int width = canvas.TextWidth(Name) + 16;
    int namePart = 0;
    int typePart = 0;
    for (TDiagramAttribute *attribute : Attributes) {
        namePart = std::max(namePart, canvas.TextWidth(attribute->Name) + 20);
        typePart = std::max(typePart, canvas.TextWidth(attribute->GetDataTypeText()));
    }
    width = std::max(width, namePart + typePart);
    for (TDiagramMethod *method : Methods)
        width = std::max(width, canvas.TextWidth(method->Name + QStringLiteral("()")));
    return width + 12;
}

int TDiagramType::CalcHeight(TCanvas *)
{
    const TOSSchemaStyle &style = MeasuringStyle();
    return (Attributes.Count() + Methods.Count()) * (style.FontSize + 6) + (style.HeaderFontSize + 14) * 2 + 2;
}
