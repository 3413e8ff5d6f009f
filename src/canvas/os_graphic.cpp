#include "canvas/os_graphic.h"

#include "canvas/dom_tree.h"
#include "canvas/os_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"
#include "platform/user_interface.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPainter>

#include <cmath>

TOSGraphic::TOSGraphic(TOSDiagram *diagram, TBaseDiagramObject *modelObject)
    : QWidget(diagram ? diagram->Surface : nullptr), Diagram(diagram), ModelObject(modelObject)
{
    setGeometry(20, 20, 1, 1);
    setMouseTracking(true);
    if (modelObject) {
        ToolTip_ = modelObject->Name + QLatin1Char('\n') + modelObject->Comment;
        setToolTip(ToolTip_);
    }
}

TOSGraphic::~TOSGraphic()
{
    Diagram = nullptr;
}

TOSGraphic *TOSGraphic::BoxOf(const TBaseDiagramObject *object)
{
    return object ? static_cast<TOSGraphic *>(object->Graphic) : nullptr;
}

bool TOSGraphic::IsSelected() const
{
    return SelectedGraphics && ModelObject && SelectedGraphics->Contains(ModelObject);
}

void TOSGraphic::DrawTo(TCanvas &canvas, int offsetX, int offsetY, double scaleX, double scaleY)
{
    const QRect g = geometry();
    const TRect target{static_cast<int>(std::ceil((g.x() - offsetX) * scaleX)),
                       static_cast<int>(std::ceil((g.y() - offsetY) * scaleY)),
                       static_cast<int>(std::ceil((g.x() + g.width() - offsetX) * scaleX)),
                       static_cast<int>(std::ceil((g.y() + g.height() - offsetY) * scaleY))};
    PaintInto(canvas, target, scaleX);
}

void TOSGraphic::PaintInto(TCanvas &canvas, const TRect &rect, double)
{
    static const TOSSchemaStyle defaults;
    const TOSSchemaStyle &style = CurrentModel ? CurrentModel->Style : defaults;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = style.DetailBandColour;
    canvas.FillRect(rect);
    canvas.Pen.Color = IsSelected() ? clBlue : clBlack;
    canvas.Pen.Width = BorderWidth;
    canvas.Brush.Style = bsClear;
    canvas.Rectangle(rect);
}

void TOSGraphic::paintEvent(QPaintEvent *)
{
    ShowExceptions([&] {
        QPainter painter(this);
        TCanvas canvas(&painter);
        PaintInto(canvas, TRect{0, 0, width(), height()}, 1.0);
    });
}

void TOSGraphic::GraphicMouseDown(Qt::MouseButton, bool shift, int x, int y)
{
    if (IgnoreNextMouseDown) {
        IgnoreNextMouseDown = false;
        return;
    }
    if (SelectedGraphics && ModelObject) {
        if (!shift && !SelectedGraphics->Contains(ModelObject))
            SelectedGraphics->Clear();
        if (!SelectedGraphics->Contains(ModelObject))
            SelectedGraphics->Add(ModelObject);
    }
    if (Diagram) {
        Diagram->Refresh();
        Diagram->SyncModelTree();
    }
    PressX = x;
    PressY = y;
    Moving = ResizingRight = ResizingBottom = ResizingCorner = false;
    const int w = width(), h = height();
    if (x > w - 6 && y > h - 6)
        ResizingCorner = true;
    else if (x > w - 6)
        ResizingRight = true;
    else if (y > h - 6)
        ResizingBottom = true;
    else
        Moving = true;
}

void TOSGraphic::ApplyBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, width, height);
}

void TOSGraphic::GraphicMouseMove(bool, int x, int y)
{
    const int w = width(), h = height();
    if (x > w - 6 && y > h - 6)
        setCursor(Qt::SizeFDiagCursor);
    else if (x > w - 6)
        setCursor(Qt::SizeHorCursor);
    else if (y > h - 6)
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();

    bool changed = false;
    QWidget *surface = Diagram ? Diagram->Surface : nullptr;
    if (ResizingRight || ResizingBottom || ResizingCorner) {
        int newWidth = w, newHeight = h;
        if ((ResizingBottom || ResizingCorner) && y > 20)
            newHeight = y;
        if ((ResizingRight || ResizingCorner) && x > 20)
            newWidth = x;
        if (newWidth != w || newHeight != h) {
            resize(newWidth, newHeight);
            changed = true;
        }
        if (surface)
            surface->update();
    } else if (Moving && SelectedGraphics) {
        const int dx = x - PressX, dy = y - PressY;
        for (TBaseModelObject *object : SelectedGraphics->Items()) {
            auto *rectangle = dynamic_cast<TBaseDiagramRectangle *>(object);
            TOSGraphic *box = rectangle ? BoxOf(rectangle) : nullptr;
            if (!box)
                continue; // an object without a box has nothing to move
            const int left = box->x() + dx, top = box->y() + dy;
            if (left < 0 || top < 0)
                return;
            box->move(left, top);
            rectangle->Left = box->x();
            rectangle->Top = box->y();
            if (dx || dy)
                changed = true;
        }
        if (surface)
            surface->update();
    }

    auto *own = dynamic_cast<TBaseDiagramRectangle *>(ModelObject);
    if (changed && own) {
        own->Width = width();
        own->Height = height();
        if (Diagram)
            Diagram->GrowSurface(own->Left + own->Width, own->Top + own->Height);
    }
}

void TOSGraphic::GraphicMouseUp()
{
    Moving = ResizingRight = ResizingBottom = ResizingCorner = false;
}

void TOSGraphic::GraphicDblClick()
{
    // The editor runs its own event loop, in which a deferred command may rebuild
    // the page and free this box; nothing of it may be touched after that.
    const QPointer<TOSGraphic> self(this);
    if (CurrentModel) {
        if (auto *table = dynamic_cast<TDiagramTable *>(ModelObject))
            CurrentModel->EditTable(table);
        else if (auto *note = dynamic_cast<TDiagramNote *>(ModelObject))
            CurrentModel->EditNote(note);
    }
    TDOMTree::RefreshExplorerTree();
    if (!self)
        return;
    update();
    GraphicMouseDown(Qt::LeftButton, false, 0, 0);
    GraphicMouseUp();
    IgnoreNextMouseDown = true;
}

void TOSGraphic::mousePressEvent(QMouseEvent *event)
{
    ShowExceptions([&] {
        const QPoint p = event->position().toPoint();
        GraphicMouseDown(event->button(), event->modifiers() & Qt::ShiftModifier, p.x(), p.y());
    });
}

void TOSGraphic::mouseMoveEvent(QMouseEvent *event)
{
    ShowExceptions([&] {
        // A gesture whose release went elsewhere (a menu, another window) ends here.
        if (GestureActive() && event->buttons() == Qt::NoButton)
            GraphicMouseUp();
        const QPoint p = event->position().toPoint();
        GraphicMouseMove(event->modifiers() & Qt::ShiftModifier, p.x(), p.y());
    });
}

void TOSGraphic::mouseReleaseEvent(QMouseEvent *)
{
    GraphicMouseUp();
}

void TOSGraphic::mouseDoubleClickEvent(QMouseEvent *)
{
    ShowExceptions([&] {
        QPointer<TOSGraphic> self(this);
        GraphicDblClick();
        // No extra press follows a double click here, so nothing is to be ignored;
        // the editor may also have rebuilt the page and freed this box.
        if (self)
            self->IgnoreNextMouseDown = false;
    });
}

void TOSGraphic::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu opens on the press: the gesture that press started ends first.
    GraphicMouseUp();
    event->ignore();
}

void TOSGraphic::hideEvent(QHideEvent *)
{
    GraphicMouseUp();
}
