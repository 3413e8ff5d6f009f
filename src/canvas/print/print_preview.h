#pragma once
// TfrmPrintPreview: the printer pages of the diagram, one, two or four at a
// time, each as a sheet of paper, with paging, printing and printer set-up.
// The pages' pictures are rendered when shown, so no picture of the whole
// diagram is ever held.
#include "canvas/print/page_tiling.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <vector>

class QStatusBar;
class QLabel;
class QToolButton;
class TframePagePreview;

class TfrmPrintPreview : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPrintPreview(QWidget *parent = nullptr);
    ~TfrmPrintPreview() override;

    // The pages as last cut by the printer.
    std::function<const std::vector<TRectObject> &()> Pages;
    // The picture of one page rectangle of the diagram.
    std::function<QImage(const TRect &)> RenderPage;
    // The printable height divided by the printable width.
    std::function<double()> PageRatio;
    // The print dialog, then printing.
    std::function<void()> PrintRequested;
    // The printer set-up dialog; true when it changed the printer.
    std::function<bool()> SetupRequested;

    int PagesPerView = 1;
    int CurrentPage = 1;
    std::vector<QImage> PageBitmaps;

    int PageCount() const;
    void Layout();
    void RefreshPages();

    void btnPrintClick();
    void btnSetupClick();
    void btnSinglePageClick();
    void btn2PagesClick();
    void btn4PagesClick();
    void btnFirstPageClick();
    void btnPrevPageClick();
    void btnNextPageClick();
    void btnLastPageClick();
    void btnCloseClick();

    QToolButton *btnPrint = nullptr;
    QToolButton *btnSetup = nullptr;
    QToolButton *btnSinglePage = nullptr;
    QToolButton *btn2Pages = nullptr;
    QToolButton *btn4Pages = nullptr;
    QToolButton *btnFirstPage = nullptr;
    QToolButton *btnPrevPage = nullptr;
    QToolButton *btnNextPage = nullptr;
    QToolButton *btnLastPage = nullptr;
    QToolButton *btnClose = nullptr;
    QWidget *sboxPreview = nullptr;
    TframePagePreview *framePreview[4] = {};
    QStatusBar *sbarMain = nullptr;
    QLabel *sbarPanel1 = nullptr;
    QLabel *sbarPanel2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    const QImage *PageBitmap(int page);
};
