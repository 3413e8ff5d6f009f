#include "canvas/print/page_preview_frame.h"

#include <QFrame>
#include <QPainter>

#include <cmath>

namespace {

QFrame *Shape(QWidget *parent, const char *name, const QColor &colour)
{
    auto *shape = new QFrame(parent);
    shape->setObjectName(QLatin1String(name));
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, colour);
    shape->setPalette(palette);
    return shape;
}

// Rounding to the nearest integer, halves to even, as the sheet sizes use.
int RoundEven(double value)
{
    return int(std::nearbyint(value));
}

} // namespace

void TPreviewImage::SetPicture(const QImage *picture)
{
    Picture_ = picture;
    update();
}

void TPreviewImage::paintEvent(QPaintEvent *)
{
    if (!Picture_ || Picture_->isNull())
        return;
    const QSize fitted = Picture_->size().scaled(size(), Qt::KeepAspectRatio);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(0, 0), fitted), *Picture_);
}

TframePagePreview::TframePagePreview(QWidget *parent) : QWidget(parent)
{
    const QColor background(183, 182, 162);
    pnlContainer = Shape(this, "pnlContainer", background);
    shpPage1 = Shape(pnlContainer, "shpPage1", Qt::white);
    shpBorderBottom1 = Shape(pnlContainer, "shpBorderBottom1", Qt::black);
    shpBorderRight1 = Shape(pnlContainer, "shpBorderRight1", Qt::black);
    imgPreview1 = new TPreviewImage(pnlContainer);
    imgPreview1->setObjectName(QStringLiteral("imgPreview1"));
}

void TframePagePreview::resizeEvent(QResizeEvent *)
{
    pnlContainer->setGeometry(rect());
}

void TframePagePreview::ShowPage(const QImage *page, double ratio)
{
    pnlContainer->setGeometry(rect());
    const int w = pnlContainer->width();
    const int h = pnlContainer->height();
    int sheetWidth = w - 10;
    int sheetHeight = RoundEven(sheetWidth * ratio);
    if (sheetHeight > h - 10) {
        sheetHeight = h - 20;
        sheetWidth = ratio > 0 ? RoundEven(sheetHeight / ratio) : sheetWidth;
    }
    const int left = w / 2 - sheetWidth / 2;
    const int top = h / 2 - sheetHeight / 2;
    shpPage1->setGeometry(left, top, sheetWidth, sheetHeight);
    imgPreview1->setGeometry(left + 10, top + 10, sheetWidth - 20, sheetHeight - 20);
    shpBorderRight1->setGeometry(left + sheetWidth, top + 3, 3, sheetHeight);
    shpBorderBottom1->setGeometry(left + 3, top + sheetHeight, sheetWidth, 3);
    imgPreview1->SetPicture(page);
}
