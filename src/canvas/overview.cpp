#include "canvas/overview.h"

#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <cmath>

TRect OverviewViewRect;
double OverviewScale = 0.0;

namespace {

// Halves to even, as every plan-view coordinate is rounded.
int Round(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

template <class TList>
void DrawBoxes(const TList &list, TCanvas &canvas, double scale)
{
    for (auto *object : list)
        if (TOSGraphic *box = TOSGraphic::BoxOf(object))
            TOverview::DrawOverviewBox(box, canvas, scale);
}

} // namespace

QAbstractScrollArea *TOverview::ScrollBoxOf(const TOSDiagram &diagram)
{
    for (QWidget *widget = diagram.Surface ? diagram.Surface->parentWidget() : nullptr; widget;
         widget = widget->parentWidget())
        if (auto *scrollBox = qobject_cast<QAbstractScrollArea *>(widget))
            return scrollBox;
    return nullptr;
}

void TOverview::DrawOverviewBox(TOSGraphic *box, TCanvas &canvas, double scale)
{
    const TRect bounds = box->BoundsRect();
    if (box->IsSelected()) {
        canvas.Pen.Color = clBlue;
        canvas.Pen.Width = 2;
    }
    canvas.Rectangle(Round(bounds.Left * scale), Round(bounds.Top * scale), Round(bounds.Right * scale),
                     Round(bounds.Bottom * scale));
    canvas.Pen.Color = clBlack;
    canvas.Pen.Width = 1;
}

void TOverview::DrawOverview(TOSDiagram &diagram, TCanvas &canvas, int width, int height)
{
    QWidget *surface = diagram.Surface;
    if (!surface || surface->width() == 0 || width < 1 || height < 1)
        return;
    const int surfaceWidth = surface->width();
    const int surfaceHeight = surface->height();

    QImage bitmap(width, height, QImage::Format_RGB32);
    if (bitmap.isNull())
        return;
    const double scale = surfaceHeight > 0 ? std::min(double(width) / surfaceWidth, double(height) / surfaceHeight)
                                           : double(width) / surfaceWidth;
    const TRect page{0, 0, Round(surfaceWidth * scale), Round(surfaceHeight * scale)};
    TRect view;
    {
        TCanvas plan(&bitmap);
        plan.Brush.Style = bsSolid;
        plan.Brush.Color = clBtnFace;
        plan.FillRect(TRect{0, 0, width, height});
        plan.Pen.Color = clBlack;
        plan.Pen.Width = 1;
        plan.Brush.Color = clWindow;
        plan.Rectangle(page);

        plan.Brush.Color = clWhite;
        if (CurrentModel) {
            DrawBoxes(CurrentModel->Tables, plan, scale);
            DrawBoxes(CurrentModel->ObjectTables, plan, scale);
            DrawBoxes(CurrentModel->Types, plan, scale);
            DrawBoxes(CurrentModel->Notes, plan, scale);
        }

        // Without a scroll box the whole surface is in view.
        int scrollX = 0, scrollY = 0, viewWidth = surfaceWidth, viewHeight = surfaceHeight;
        if (QAbstractScrollArea *scrollBox = ScrollBoxOf(diagram)) {
            scrollX = scrollBox->horizontalScrollBar()->value();
            scrollY = scrollBox->verticalScrollBar()->value();
            viewWidth = scrollBox->viewport()->width();
            viewHeight = scrollBox->viewport()->height();
        }
        view.Left = Round(scrollX * scale);
        view.Top = Round(scrollY * scale);
        view.Right = view.Left + Round(viewWidth * scale);
        view.Bottom = view.Top + Round(viewHeight * scale);
        const bool wholePage =
            view.Left == 0 && view.Top == 0 && view.Right >= page.Right && view.Bottom >= page.Bottom;
        if (!wholePage) {
            view = TRect{view.Left - 1, view.Top - 1, view.Right - 1, view.Bottom - 1};
            plan.Pen.Color = clGray;
            plan.Pen.Width = 3;
            plan.Brush.Style = bsClear;
            plan.Rectangle(view);
        }
    }
    OverviewViewRect = view;
    OverviewScale = scale;
    canvas.Draw(0, 0, bitmap);
}
