#include "canvas/draw_table.h"

#include "canvas/tree_image_list.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"

#include <algorithm>

namespace {

const TOSSchemaStyle &Style()
{
    return CurrentStyle();
}

bool IsSelected(const TBaseModelObject *object)
{
    return SelectedGraphics && SelectedGraphics->Contains(object);
}

void Line(TCanvas &canvas, int x1, int y1, int x2, int y2)
{
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

} // namespace

void DrawTwoToneBand(TCanvas &canvas, const TRect &band)
{
    const int w = band.Width();
    if (w <= 0)
        return;
    const int step = (w + 255) / 256;
    canvas.Brush.Style = bsSolid;
    for (int i = 0; i <= 255; ++i) {
        const int from = std::min(i * step, w);
        const int to = std::min((i + 1) * step, w);
        if (from >= to)
            break; // every later strip is empty too
        canvas.Brush.Color = RGBColor(0, 0, i);
        canvas.FillRect(TRect{band.Left + from - 1, band.Top, band.Left + to - 1, band.Bottom});
    }
}

int CentredLeft(TCanvas &canvas, const TRect &rect, const QString &text)
{
    return rect.Left + rect.Width() / 2 - canvas.TextWidth(text) / 2;
}

TDrawTable::TDrawTable(TCanvas &canvas, const TRect &rect, TDiagramTable *table)
    : Rect(rect), Table(table), Canvas(&canvas)
{
}

void TDrawTable::Draw(TCanvas &canvas, const TRect &rect, TDiagramTable *table)
{
    if (!table)
        return;
    const TFont saved = canvas.Font;
    TDrawTable painter(canvas, rect, table);
    painter.DrawHeader();
    painter.DrawColumns();
    canvas.Font = saved;
}

void TDrawTable::DrawHeader()
{
    TCanvas &c = *Canvas;
    const TOSSchemaStyle &style = Style();
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
    auto *objectTable = dynamic_cast<TDiagramObjectTable *>(Table);

    c.Font.Name = style.HeaderFontName;
    c.Font.Size = style.HeaderFontSize;
    c.Font.Color = style.HeaderFontColour;

    HeaderHeight = c.TextHeight(QStringLiteral("A")) + 2;
    if (objectTable)
        HeaderHeight += c.TextHeight(QStringLiteral("a")) + 2;

    c.Brush.Style = bsSolid;
    c.Brush.Color = style.DetailBandColour;
    c.FillRect(TRect{L + 1, T + 1, R - 3, B - 3});
    const TRect band{L + 1, T + 1, R - 3, T + HeaderHeight};
    c.Brush.Color = style.HeaderBandColour;
    c.FillRect(band);
    if (style.TwoToneHeader)
        DrawTwoToneBand(c, band);

    c.Font.Style = {};
    c.Brush.Style = bsClear;

    QString title = Table->Name;
    if (objectTable)
        title += QStringLiteral("::") + objectTable->TypeName;
    if (style.ShowOwnerInTitle)
        title = Table->Owner + QLatin1Char('.') + title;
    const TRect cell{L + 1, T, R - 1, T + HeaderHeight};
    c.TextRect(cell, CentredLeft(c, cell, title), T + 1, title);
    if (objectTable) {
        const QString stereotype = QStringLiteral("<<object table>>");
        c.TextRect(cell, CentredLeft(c, cell, stereotype), T + c.TextHeight(QStringLiteral("A")) + 2,
                   stereotype);
    }

    c.Pen.Width = 1;
    c.Pen.Style = psSolid;
    c.Pen.Color = IsSelected(Table) ? clBlue : clGray;
    c.Rectangle(L, T, R - 3, T + HeaderHeight);
    c.Rectangle(L, T + HeaderHeight - 1, R - 3, B - 3);

    if (!style.LowGraphics) {
        c.Pen.Color = clGray;
        Line(c, R - 3, T + 4, R - 3, B - 2);
        Line(c, L + 5, B - 3, R - 2, B - 3);
        c.Pen.Color = clSilver;
        Line(c, R - 2, T + 5, R - 2, B - 2);
        Line(c, L + 5, B - 2, R - 1, B - 2);
        c.Pen.Color = 0xDFDFDF;
        Line(c, R - 1, T + 6, R - 1, B - 2);
        Line(c, L + 6, B - 1, R - 2, B - 1);
    }
}

void TDrawTable::DrawKeyMark(const TRect &cell, const QString &mark)
{
    if (Style().LowGraphics) {
        Canvas->TextRect(cell, cell.Left, cell.Top, mark);
        return;
    }
    // A row cut off by the box's bottom has an empty cell: stretching an icon
    // into it would draw it upside down below the box.
    if (cell.Bottom > Rect.Bottom || cell.IsEmpty())
        return;
    const int index = mark == QLatin1String("pk")   ? TTreeImageList::imgPrimaryKey
                      : mark == QLatin1String("uq") ? TTreeImageList::imgUniqueKey
                                                    : TTreeImageList::imgForeignKey;
    Canvas->StretchDraw(cell, TTreeImageList::Instance().TransparentImage(index));
}

void TDrawTable::DrawColumns()
{
    TCanvas &c = *Canvas;
    const TOSSchemaStyle &style = Style();
    const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;

    c.Font.Name = style.FontName;
    c.Font.Size = style.FontSize;
    c.Font.Color = style.FontColour;
    c.Font.Style = {};
    c.Brush.Style = bsClear;

    const int lineHeight = c.TextHeight(QStringLiteral("A"));
    const int keyRight = L + c.TextWidth(QStringLiteral("ww"));
    std::vector<TDiagramColumn *> shown;
    shown.reserve(Table->Columns.Count());
    for (TDiagramColumn *column : Table->Columns)
        if (!Table->ShowOnlyKeyColumns || Table->IsKeyColumn(column->Name))
            shown.push_back(column);

    // Rows that start below the box are clipped away whole; they still count
    // for the column widths.
    auto cellBottom = [&](int y) { return std::min(T + y + lineHeight, B - 4); };

    int nameWidth = 0;
    int y = HeaderHeight + 2;
    for (TDiagramColumn *column : shown) {
        const int bottom = cellBottom(y);
        const TRect key{L + 4, T + y, keyRight, bottom};
        const TRect name{key.Right, T + y, R - 4, bottom};
        nameWidth = std::max(nameWidth, c.TextWidth(column->Name) + (key.Right - key.Left) + 8);
        if (bottom > T + y) {
            QString mark;
            if (Table->PrimaryKeys.ContainsColumn(column->Name))
                mark = QStringLiteral("pk");
            else if (Table->UniqueKeys.ContainsColumn(column->Name))
                mark = QStringLiteral("uq");
            else if (Table->ForeignKeys.ContainsColumn(column->Name))
                mark = QStringLiteral("fk");
            if (!mark.isEmpty())
                DrawKeyMark(key, mark);
            c.TextRect(name, name.Left + 2, T + y, column->Name);
        }
        y += lineHeight + 1;
    }

    int typeWidth = 0;
    if (!Table->HideDataTypes) {
        y = HeaderHeight + 2;
        for (TDiagramColumn *column : shown) {
            QString text = column->GetDataTypeText();
            if (!column->IsNullable)
                text += QStringLiteral("  NOT NULL");
            typeWidth = std::max(typeWidth, c.TextWidth(text) + 20);
            const TRect cell{L + 8 + nameWidth, T + y, R - 4, cellBottom(y)};
            if (!cell.IsEmpty())
                c.TextRect(cell, cell.Left, cell.Top, text);
            y += lineHeight + 1;
        }
    }

    if (!Table->HideComments) {
        y = HeaderHeight + 2;
        for (TDiagramColumn *column : shown) {
            const TRect cell{L + 8 + nameWidth + typeWidth, T + y, R - 4, cellBottom(y)};
            if (!cell.IsEmpty() && !column->Comment.isEmpty())
                c.TextRect(cell, cell.Left, cell.Top, column->Comment);
            y += lineHeight + 1;
        }
    }
}
