#include "canvas/draw_type.h"

#include "canvas/draw_table.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"

#include <algorithm>

void TDrawType::Draw(TCanvas &c, const TRect &rect, TDiagramType *type)
{
    if (!type)
        return;
    const TOSSchemaStyle &style = CurrentStyle();
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    const TFont saved = c.Font;
    const int HH = 2 * style.HeaderFontSize + 22;
    const TColor outline = SelectedGraphics && SelectedGraphics->Contains(type) ? clBlue : clBlack;

    c.Brush.Style = bsSolid;
    c.Brush.Color = style.DetailBandColour;
    c.FillRect(TRect{L + 1, T + 1, R - 1, B - 1});
    const TRect band{L + 1, T + 1, R - 1, T + HH - 3};
    c.Brush.Color = style.HeaderBandColour;
    c.FillRect(band);
    if (style.TwoToneHeader)
        DrawTwoToneBand(c, band);

    c.Font.Name = style.HeaderFontName;
    c.Font.Size = style.HeaderFontSize;
    c.Font.Color = style.HeaderFontColour;
    c.Font.Style = {};
    c.Brush.Style = bsClear;
    QString title = type->Name;
    if (style.ShowOwnerInTitle)
        title = type->Owner + QLatin1Char('.') + title;
    c.TextRect(band, CentredLeft(c, band, title), T + 2, title);
    const QString stereotype = QStringLiteral("<<type>>");
    c.TextRect(band, CentredLeft(c, band, stereotype), T + style.HeaderFontSize + 9, stereotype);

    c.Font.Name = style.FontName;
    c.Font.Size = style.FontSize;
    c.Font.Color = style.FontColour;
    c.Brush.Style = bsClear;
    const int step = style.FontSize + 6;

    int attrWidth = 0;
    int y = HH - 1;
    for (TDiagramAttribute *attribute : type->Attributes) {
        c.TextRect(TRect{L + 20, T + y, R - 2, B - 1}, L + 20, T + y, attribute->Name);
        attrWidth = std::max(attrWidth, c.TextWidth(attribute->Name) + 20);
        y += step;
    }
    y = HH;
    for (TDiagramAttribute *attribute : type->Attributes) {
        c.TextRect(TRect{L + 8 + attrWidth, T + y, R - 2, B - 1}, L + 8 + attrWidth, T + y,
                   attribute->GetDataTypeText());
        y += step;
    }
    y += 4;
    // The separator takes the outline's colour rather than whatever pen the
    // canvas happened to hold.
    c.Pen.Color = outline;
    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.MoveTo(L, T + y - 2);
    c.LineTo(R, T + y - 2);
    for (TDiagramMethod *method : type->Methods) {
        const QString text = method->Name + QStringLiteral("()");
        c.TextRect(TRect{L + 20, T + y, R - 2, B - 1}, L + 20, T + y, text);
        y += step;
    }

    c.Brush.Style = bsClear;
    c.Rectangle(L, T, R, T + HH - 3);
    c.Rectangle(L, T + HH - 4, R, B);
    c.Font = saved;
}
