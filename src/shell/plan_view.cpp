#include "shell/plan_view.h"

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
