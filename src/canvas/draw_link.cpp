#include "canvas/draw_link.h"

#include "canvas/os_graphic.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DegreesPerRadian = 57.29577951308232;

const TOSSchemaStyle &Style()
{
    static const TOSSchemaStyle defaults;
    return CurrentModel ? CurrentModel->Style : defaults;
}

void Line(TCanvas &canvas, QPoint from, QPoint to)
{
    canvas.MoveTo(from.x(), from.y());
    canvas.LineTo(to.x(), to.y());
}

bool InSector(double angle, double a, double b)
{
    return angle >= std::min(a, b) && angle <= std::max(a, b);
}

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

double TanDegrees(double degrees) { return std::tan(degrees / DegreesPerRadian); }

void SetLinkFont(TCanvas &canvas)
{
    const TOSSchemaStyle &style = Style();
    canvas.Font = TFont(style.LinkFontName, style.LinkFontSize, style.LinkFontColour);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = style.BackgroundColour;
}

void ResetPen(TCanvas &canvas)
{
    canvas.Pen.Color = clBlack;
    canvas.Pen.Style = psSolid;
}

} // namespace

int TDrawLink::LinkColour(const QString &onDelete)
{
    const TOSSchemaStyle &style = Style();
    if (onDelete == QLatin1String("CASCADE"))
        return style.CascadeDelColour;
    if (onDelete == QLatin1String("SET NULL"))
        return style.SetNullDelColour;
    return style.NoActionColour;
}

bool TDrawLink::IsMandatory(const TDiagramForeignKey &foreignKey)
{
    if (!foreignKey.Table)
        return false;
    for (const QString &name : foreignKey.Columns) {
        const TDiagramColumn *column = foreignKey.Table->Columns.FindColumn(name);
        if (column && !column->IsNullable)
            return true;
    }
    return false;
}

double TDrawLink::LineAngle(QPoint a, QPoint b)
{
    return std::atan2(double(a.y() - b.y()), double(a.x() - b.x())) * DegreesPerRadian;
}

QPoint TDrawLink::Centre(const TRect &r)
{
    return QPoint((r.Right - r.Left) / 2 + r.Left, (r.Bottom - r.Top) / 2 + r.Top);
}

QPoint TDrawLink::LabelPoint(QPoint a, QPoint b)
{
    auto axis = [](int p, int q) {
        const int hi = std::max(p, q), lo = std::min(p, q);
        return hi - (hi - lo) / 2;
    };
    return QPoint(axis(a.x(), b.x()), axis(a.y(), b.y()));
}

TDiagramTable *TDrawLink::ReferencedTable(const TDiagramForeignKey &foreignKey)
{
    if (!CurrentModel)
        return nullptr;
    if (TDiagramTable *table = CurrentModel->Tables.FindTable(foreignKey.RefTableName, foreignKey.RefTableOwner))
        return table;
    return CurrentModel->ObjectTables.FindObjectTable(foreignKey.RefTableName, foreignKey.RefTableOwner);
}

void TDrawLink::DrawForeignKey(TCanvas &canvas, TDiagramForeignKey *foreignKey, int, int, double, double)
{
    if (!foreignKey || !foreignKey->Table || !CurrentModel)
        return;
    TDiagramTable *referenced = ReferencedTable(*foreignKey);
    if (!referenced)
        return;
    TDiagramTable *owning = foreignKey->Table;
    const int rank = owning->RankLinkPath(*foreignKey);
    // Without both boxes there is nothing to route between.
    if (!TOSGraphic::BoxOf(owning) || !TOSGraphic::BoxOf(referenced))
        return;
    if (referenced == owning)
        DrawSelfLoop(canvas, owning, foreignKey, rank);
    else
        DrawTwoBoxLink(canvas, referenced, owning, foreignKey->GetLinkCaption(), foreignKey->OnDelete,
                       IsMandatory(*foreignKey), rank);
}

void TDrawLink::DrawObjectTableTypeLink(TCanvas &, TDiagramObjectTable *, int, int, double, double,
                                        const QString &, const QString &)
{
}

void TDrawLink::DrawTwoBoxLink(TCanvas &canvas, TDiagramTable *referencedTable, TDiagramTable *owningTable,
                               const QString &caption, const QString &onDelete, bool mandatory, int rank)
{
    TOSGraphic *referencedBox = TOSGraphic::BoxOf(referencedTable);
    TOSGraphic *owningBox = TOSGraphic::BoxOf(owningTable);
    if (!referencedBox || !owningBox)
        return;
    canvas.Pen.Color = LinkColour(onDelete);
    canvas.Pen.Style = psSolid;
    const TRect ra = referencedBox->BoundsRect();
    const TRect rb = owningBox->BoundsRect();
    const QPoint ca = Centre(ra), cb = Centre(rb);
    const QPoint p1 = RouteLink(canvas, ra, ca, cb, false, mandatory, rank);
    const QPoint p2 = RouteLink(canvas, rb, cb, ca, true, mandatory, rank);
    Line(canvas, p1, p2);

    SetLinkFont(canvas);
    if (Style().ShowLinkDescription) {
        const QPoint label = LabelPoint(p1, p2);
        canvas.TextOut(label.x() - canvas.TextWidth(caption) / 2, label.y() + 2 + (rank - 1) * 12, caption);
    }
    ResetPen(canvas);
}

TDrawLink::TRouteEnd TDrawLink::RouteEnd(const TRect &box, QPoint a, QPoint b, int rank)
{
    const int o = (rank - 1) * 16;
    const double theta = LineAngle(a, b);
    const double tl = LineAngle(a, QPoint(box.Left, box.Top));
    const double tr = LineAngle(a, QPoint(box.Right, box.Top));
    const double br = LineAngle(a, QPoint(box.Right, box.Bottom));
    const double bl = LineAngle(a, QPoint(box.Left, box.Bottom));

    TSide side;
    if (InSector(theta, tl, tr))
        side = TSide::Top;
    else if (InSector(theta, tl, bl))
        side = TSide::Left;
    else if (InSector(theta, br, bl))
        side = TSide::Bottom;
    else
        side = TSide::Right;

    QPoint e, p;
    switch (side) {
    case TSide::Top: {
        const int d = RoundEven(TanDegrees(90 - theta) * (a.y() - box.Top));
        e = QPoint(a.x() - d + o, box.Top);
        p = QPoint(e.x(), box.Top - 20);
        break;
    }
    case TSide::Left: {
        const int d = RoundEven(TanDegrees(theta) * (a.x() - box.Left));
        e = QPoint(box.Left, a.y() - d + o);
        p = QPoint(box.Left - 20, e.y());
        break;
    }
    case TSide::Bottom: {
        const int d = RoundEven(TanDegrees(theta + 90) * (box.Bottom - a.y()));
        e = QPoint(a.x() - d + o, box.Bottom);
        p = QPoint(e.x(), box.Bottom + 20);
        break;
    }
    case TSide::Right: {
        const int d = RoundEven(TanDegrees(theta) * (box.Right - a.x()));
        e = QPoint(box.Right, a.y() + d + o);
        p = QPoint(box.Right + 20, e.y());
        break;
    }
    }
    return {side, e, p};
}

QPoint TDrawLink::RouteLink(TCanvas &canvas, const TRect &box, QPoint a, QPoint b, bool endMark, bool mandatory,
                            int rank)
{
    const auto [side, e, p] = RouteEnd(box, a, b, rank);
    Line(canvas, e, p);

    if (endMark) {
        const int x = e.x(), y = e.y();
        switch (side) {
        case TSide::Top:
            Line(canvas, {x - 6, box.Top}, {x, box.Top - 14});
            Line(canvas, {x + 6, box.Top}, {x, box.Top - 14});
            if (mandatory)
                Line(canvas, {x - 8, box.Top - 12}, {x + 8, box.Top - 12});
            break;
        case TSide::Left:
            Line(canvas, {box.Left, y + 6}, {box.Left - 14, y});
            Line(canvas, {box.Left, y - 6}, {box.Left - 14, y});
            if (mandatory)
                Line(canvas, {box.Left - 12, y - 8}, {box.Left - 12, y + 8});
            break;
        case TSide::Bottom:
            Line(canvas, {x + 6, box.Bottom}, {x, box.Bottom + 14});
            Line(canvas, {x - 6, box.Bottom}, {x, box.Bottom + 14});
            if (mandatory)
                Line(canvas, {x - 8, box.Bottom + 12}, {x + 8, box.Bottom + 12});
            break;
        case TSide::Right:
            Line(canvas, {box.Right, y - 6}, {box.Right + 14, y});
            Line(canvas, {box.Right, y + 6}, {box.Right + 14, y});
            if (mandatory)
                Line(canvas, {box.Right + 12, y - 8}, {box.Right + 12, y + 8});
            break;
        }
    }
    return p;
}

void TDrawLink::DrawSelfLoop(TCanvas &canvas, TDiagramTable *table, TDiagramForeignKey *foreignKey, int rank)
{
    TOSGraphic *box = TOSGraphic::BoxOf(table);
    if (!box || !foreignKey)
        return;
    canvas.Pen.Color = LinkColour(foreignKey->OnDelete);
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    const TRect r = box->BoundsRect();
    const int corner = ((rank % 4) + 4) % 4;
    int x = r.Left, y = r.Top;
    if (corner == 1 || corner == 2)
        x = r.Right;
    if (corner == 2 || corner == 3)
        y = r.Bottom;

    struct Loop {
        QPoint start, end, entryOuter, entryInner, foot1, foot2;
    };
    const Loop loops[4] = {
        {{15, 0}, {-10, 15}, {-8, 12}, {1, 12}, {1, 18}, {1, 6}},
        {{10, 15}, {-15, 2}, {8, 12}, {-1, 12}, {-1, 18}, {-1, 6}},
        {{-15, 0}, {10, -15}, {8, -12}, {-1, -12}, {-1, -6}, {-1, -18}},
        {{-10, -15}, {0, -15}, {-8, -12}, {1, -12}, {1, -6}, {1, -18}},
    };
    const Loop &l = loops[corner];
    const QPoint at(x, y);
    canvas.Arc(x - 15, y - 15, x + 15, y + 15, x + l.start.x(), y + l.start.y(), x + l.end.x(), y + l.end.y());
    Line(canvas, at + l.entryOuter, at + l.entryInner);
    Line(canvas, at + l.entryOuter, at + l.foot1);
    Line(canvas, at + l.entryOuter, at + l.foot2);

    SetLinkFont(canvas);
    if (Style().ShowLinkDescription) {
        const QString caption = foreignKey->GetLinkCaption();
        const int left = corner == 0 || corner == 3 ? x - 17 - canvas.TextWidth(caption) : x + 17;
        canvas.TextOut(left, y, caption);
    }
    ResetPen(canvas);
}
