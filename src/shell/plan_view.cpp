#include "shell/plan_view.h"

#include <QMouseEvent>
#include <QPainter>

TPlanView::TPlanView(QWidget *parent) : QWidget(parent) { setObjectName(QStringLiteral("pbox")); }

void TPlanView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (OnPaint) {
        try {
            OnPaint(painter, width(), height());
        } catch (...) {
            // A plan view that cannot draw stays blank rather than ending the program.
            painter.fillRect(rect(), Qt::white);
        }
    } else {
        painter.fillRect(rect(), Qt::white);
    }
}

void TPlanView::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown) {
        const QPoint at = event->position().toPoint();
        OnMouseDown(at.x(), at.y());
    }
    event->accept();
}

void TPlanView::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove) {
        const QPoint at = event->position().toPoint();
        OnMouseMove(at.x(), at.y());
    }
    event->accept();
}

void TPlanView::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp();
    event->accept();
}
