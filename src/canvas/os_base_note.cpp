#include "canvas/os_base_note.h"

#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"

#include <cmath>

TOSBaseNote::TOSBaseNote(TOSDiagram *diagram, TDiagramNote *note) : TOSGraphic(diagram, note)
{
}

void TOSBaseNote::PaintInto(TCanvas &canvas, const TRect &rect, double scaleX)
{
    DrawNote(canvas, rect, static_cast<TDiagramNote *>(ModelObject), BorderWidth, scaleX);
}

void TOSBaseNote::DrawNote(TCanvas &c, const TRect &rect, TDiagramNote *note, int borderWidth, double scaleX)
{
    if (!note)
        return;
    const TOSSchemaStyle &style = CurrentStyle();
    const int L = rect.Left, T = rect.Top, R = rect.Right, B = rect.Bottom;
    const bool selected = SelectedGraphics && SelectedGraphics->Contains(note);

    c.Brush.Style = bsSolid;
    c.Brush.Color = style.DetailBandColour;
    c.FillRect(rect);

    c.Pen.Color = selected ? clBlue : clSilver;
    c.Pen.Width = borderWidth;
    c.Pen.Style = psSolid;
    c.Brush.Style = bsClear;
    c.Rectangle(L, T, R, B);
    c.MoveTo(R - 12, T);
    c.LineTo(R, T + 12);
    c.LineTo(R - 12, T + 12);
    c.LineTo(R - 12, T);
    c.Pen.Color = clWindow;
    c.MoveTo(R - 12, T);
    c.LineTo(R - 1, T);
    c.LineTo(R - 1, T + 11);

    const TFont saved = c.Font;
    c.Font = TFont(style.FontName, static_cast<int>(std::ceil(style.FontSize * scaleX)), style.FontColour);
    c.Brush.Style = bsClear;
    QString text = note->Text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = text.split(QLatin1Char('\n'));
    const TRect clip{L, T, R - 5, B};
    for (int i = 0; i < lines.size(); ++i) {
        const int top = T + 12 + 17 * i;
        if (top >= B)
            break; // the rest lies below the note and is clipped away
        QString line = lines[i];
        line.replace(QLatin1Char('\t'), QLatin1String("    "));
        c.TextRect(clip, L + 5, top, line);
    }
    c.Font = saved;
}
