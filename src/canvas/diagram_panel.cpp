#include "canvas/diagram_panel.h"

#include "canvas/drag_objects.h"
#include "canvas/os_diagram.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/user_interface.h"

#include <QDragEnterEvent>
#include <QPaintEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

namespace {

// Every box of the page is a child widget of the surface. Whenever a widget is marked for
// repainting, Qt looks through all the siblings above it for opaque ones that cover it, so
// showing, moving or repainting the boxes of a page of thousands of tables cost the square
// of their number. Boxes seldom cover each other; the search saves nothing here. Qt reads
// the setting once, on its first repaint, so it is made before the program starts.
const bool OpaqueSiblingsNotSubtracted = qEnvironmentVariableIsSet("QT_NO_SUBTRACTOPAQUESIBLINGS")
                                         || qputenv("QT_NO_SUBTRACTOPAQUESIBLINGS", "1");

} // namespace

TDiagramSurface::TDiagramSurface(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Diagram"));
    setCursor(Qt::ArrowCursor);
    setAcceptDrops(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
}

void TDiagramSurface::paintEvent(QPaintEvent *event)
{
    if (!Diagram)
        return;
    ShowExceptions([&] {
        QPainter painter(this);
        TCanvas canvas(&painter);
        const TRect area = TRect::FromQRect(event->rect());
        Diagram->SurfacePaint(canvas, &area);
    });
}

void TDiagramSurface::mousePressEvent(QMouseEvent *event)
{
    if (!Diagram)
        return;
    ShowExceptions([&] {
        const QPoint p = event->position().toPoint();
        // A second button pressed during a gesture interrupts it.
        if (PressedButton_ != Qt::NoButton && Diagram->BandActive)
            Diagram->CancelBand();
        PressedButton_ = event->button();
        Diagram->SurfaceMouseDown(event->button(), p.x(), p.y());
    });
}

void TDiagramSurface::mouseMoveEvent(QMouseEvent *event)
{
    if (!Diagram)
        return;
    ShowExceptions([&] {
        // The release went elsewhere (a menu, another window): the band ends.
        if (Diagram->BandActive && !(event->buttons() & Qt::LeftButton)) {
            Diagram->CancelBand();
            PressedButton_ = Qt::NoButton;
        }
        const QPoint p = event->position().toPoint();
        Diagram->SurfaceMouseMove(p.x(), p.y());
    });
}

void TDiagramSurface::mouseReleaseEvent(QMouseEvent *event)
{
    if (!Diagram)
        return;
    ShowExceptions([&] {
        const QPoint p = event->position().toPoint();
        const bool click = event->button() == Qt::LeftButton && PressedButton_ == Qt::LeftButton;
        PressedButton_ = Qt::NoButton;
        // There is no click event: a left press and release on the surface is one,
        // and it comes before the release so that a band first clears, then selects.
        if (click)
            Diagram->SurfaceClick();
        Diagram->SurfaceMouseUp(p.x(), p.y());
    });
}

void TDiagramSurface::contextMenuEvent(QContextMenuEvent *event)
{
    if (Diagram)
        Diagram->CancelBand();
    PressedButton_ = Qt::NoButton;
    if (Diagram && Diagram->Popup) {
        Diagram->Popup->popup(event->globalPos());
        event->accept();
    } else {
        event->ignore();
    }
}

void TDiagramSurface::focusOutEvent(QFocusEvent *event)
{
    if (Diagram && event->reason() != Qt::PopupFocusReason)
        Diagram->CancelBand();
    QWidget::focusOutEvent(event);
}

void TDiagramSurface::hideEvent(QHideEvent *)
{
    if (Diagram)
        Diagram->CancelBand();
    PressedButton_ = Qt::NoButton;
}

void TDiagramSurface::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && Diagram) {
        Diagram->CancelBand();
        PressedButton_ = Qt::NoButton;
    }
    QWidget::changeEvent(event);
}

void TDiagramSurface::dragEnterEvent(QDragEnterEvent *event)
{
    const auto objects = TDragObjects::FromMimeData(event->mimeData());
    if (Diagram && Diagram->SurfaceDragOver(objects.get()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDiagramSurface::dragMoveEvent(QDragMoveEvent *event)
{
    if (Diagram && event->mimeData()->hasFormat(TDragObjects::MimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TDiagramSurface::dropEvent(QDropEvent *event)
{
    const auto objects = TDragObjects::FromMimeData(event->mimeData());
    if (!Diagram || !objects) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QPoint p = event->position().toPoint();
    ShowExceptions([&] { Diagram->DropObjects(*objects, p.x(), p.y()); });
}

TDiagramSurface *TDiagramPanel::CreateSurface(QScrollArea *scrollBox)
{
    auto *surface = new TDiagramSurface(scrollBox);
    surface->setAutoFillBackground(true);
    QPalette palette = surface->palette();
    static const TOSSchemaStyle defaults;
    palette.setColor(QPalette::Window,
                     ColorToQColor(Preferences ? Preferences->DefaultStyle.BackgroundColour : defaults.BackgroundColour));
    surface->setPalette(palette);
    if (scrollBox) {
        scrollBox->setWidgetResizable(false);
        scrollBox->setWidget(surface);
    }
    surface->show();
    return surface;
}
