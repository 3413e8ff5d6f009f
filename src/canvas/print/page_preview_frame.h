#pragma once
// TframePagePreview: one sheet of the print preview, a white page with a
// shadow on its right and bottom, showing one printer page's picture.
#include <QImage>
#include <QWidget>

class QFrame;

// Draws its picture scaled to fit, proportions kept, from its top-left corner.
class TPreviewImage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void SetPicture(const QImage *picture);
    const QImage *Picture() const { return Picture_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage *Picture_ = nullptr;
};

class TframePagePreview : public QWidget {
    Q_OBJECT
public:
    explicit TframePagePreview(QWidget *parent);

    // Places the sheet for a page of the given height-to-width ratio and shows
    // the picture (not owned), or an empty sheet when there is none.
    void ShowPage(const QImage *page, double ratio);

    QWidget *pnlContainer = nullptr;
    QFrame *shpPage1 = nullptr;
    QFrame *shpBorderBottom1 = nullptr;
    QFrame *shpBorderRight1 = nullptr;
    TPreviewImage *imgPreview1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
};
