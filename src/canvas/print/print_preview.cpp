#include "canvas/print/print_preview.h"

#include "canvas/print/page_preview_frame.h"
#include "platform/user_interface.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmPrintPreview::TfrmPrintPreview(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPrintPreview"));
    setWindowTitle(QStringLiteral("Print Preview"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    resize(976, 726);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("tbarPreview"));
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(4, 2, 4, 2);
    const auto button = [&](QToolButton *&target, const char *name, const QString &text, const QString &hint,
                            void (TfrmPrintPreview::*handler)()) {
        target = new QToolButton(bar);
        target->setObjectName(QLatin1String(name));
        target->setText(text);
        target->setToolTip(hint);
        target->setAutoRaise(true);
        buttons->addWidget(target);
        connect(target, &QToolButton::clicked, this, [this, handler] { ShowExceptions([&] { (this->*handler)(); }); });
    };
    button(btnPrint, "btnPrint", QStringLiteral("Print"), QStringLiteral("Print"), &TfrmPrintPreview::btnPrintClick);
    button(btnSetup, "btnSetup", QStringLiteral("Setup"), QStringLiteral("Print Setup"),
           &TfrmPrintPreview::btnSetupClick);
    buttons->addSpacing(12);
    button(btnSinglePage, "btnSinglePage", QStringLiteral("1 Page"), QStringLiteral("Single Page View"),
           &TfrmPrintPreview::btnSinglePageClick);
    button(btn2Pages, "btn2Pages", QStringLiteral("2 Pages"), QStringLiteral("2 Page View"),
           &TfrmPrintPreview::btn2PagesClick);
    button(btn4Pages, "btn4Pages", QStringLiteral("4 Pages"), QString(), &TfrmPrintPreview::btn4PagesClick);
    buttons->addSpacing(12);
    button(btnFirstPage, "btnFirstPage", QStringLiteral("|<"), QStringLiteral("First Page"),
           &TfrmPrintPreview::btnFirstPageClick);
    button(btnPrevPage, "btnPrevPage", QStringLiteral("<"), QStringLiteral("Previous Page"),
           &TfrmPrintPreview::btnPrevPageClick);
    button(btnNextPage, "btnNextPage", QStringLiteral(">"), QStringLiteral("Next Page"),
           &TfrmPrintPreview::btnNextPageClick);
    button(btnLastPage, "btnLastPage", QStringLiteral(">|"), QStringLiteral("Last Page"),
           &TfrmPrintPreview::btnLastPageClick);
    buttons->addSpacing(12);
    button(btnClose, "btnClose", QStringLiteral("&Close"), QString(), &TfrmPrintPreview::btnCloseClick);
    buttons->addStretch(1);
    layout->addWidget(bar);

    sboxPreview = new QWidget(this);
    sboxPreview->setObjectName(QStringLiteral("sboxPreview"));
    sboxPreview->setAutoFillBackground(true);
    QPalette palette = sboxPreview->palette();
    palette.setColor(QPalette::Window, QColor(183, 182, 162));
    sboxPreview->setPalette(palette);
    for (int i = 0; i < 4; ++i) {
        framePreview[i] = new TframePagePreview(sboxPreview);
        framePreview[i]->setObjectName(QStringLiteral("framePreview%1").arg(i + 1));
        framePreview[i]->hide();
    }
    layout->addWidget(sboxPreview, 1);

    sbarMain = new QStatusBar(this);
    sbarMain->setObjectName(QStringLiteral("sbarMain"));
    sbarMain->setSizeGripEnabled(false);
    sbarPanel1 = new QLabel(QStringLiteral("Page 1"), sbarMain);
    sbarPanel1->setFixedWidth(200);
    sbarPanel2 = new QLabel(sbarMain);
    sbarPanel2->setFixedWidth(50);
    sbarMain->addWidget(sbarPanel1);
    sbarMain->addWidget(sbarPanel2);
    layout->addWidget(sbarMain);
}

TfrmPrintPreview::~TfrmPrintPreview()
{
    // The sheets point at the pictures; they go first.
    for (TframePagePreview *frame : framePreview)
        frame->imgPreview1->SetPicture(nullptr);
    PageBitmaps.clear();
}

int TfrmPrintPreview::PageCount() const
{
    return Pages ? int(Pages().size()) : 0;
}

const QImage *TfrmPrintPreview::PageBitmap(int page)
{
    if (page > PageCount() || page < 1 || !RenderPage)
        return nullptr;
    PageBitmaps.push_back(RenderPage(Pages()[std::size_t(page - 1)].ToRect()));
    return &PageBitmaps.back();
}

void TfrmPrintPreview::Layout()
{
    THourglass hourglass;
    const int w = sboxPreview->width();
    const int h = sboxPreview->height();
    const int halfW = w / 2;
    const int halfH = h / 2;
    QRect places[4];
    switch (PagesPerView) {
    case 2:
        places[0] = QRect(0, 0, halfW, h);
        places[1] = QRect(halfW, 0, w - halfW, h);
        break;
    case 4:
        places[0] = QRect(0, 0, halfW, halfH);
        places[1] = QRect(halfW, 0, w - halfW, halfH);
        places[2] = QRect(0, halfH, halfW, h - halfH);
        places[3] = QRect(halfW, halfH, w - halfW, h - halfH);
        break;
    default: places[0] = QRect(0, 0, w, h); break;
    }
    const double ratio = PageRatio ? PageRatio() : 1.0;
    // The pictures of all shown pages are made before any sheet points at one,
    // since adding to the list may move them.
    PageBitmaps.reserve(std::size_t(PagesPerView) + PageBitmaps.size());
    for (int i = 0; i < 4; ++i) {
        TframePagePreview *frame = framePreview[i];
        if (i >= PagesPerView) {
            frame->hide();
            frame->imgPreview1->SetPicture(nullptr);
            continue;
        }
        frame->setGeometry(places[i]);
        frame->ShowPage(PageBitmap(CurrentPage + i), ratio);
        frame->show();
    }
}

void TfrmPrintPreview::RefreshPages()
{
    for (TframePagePreview *frame : framePreview)
        frame->imgPreview1->SetPicture(nullptr);
    PageBitmaps.clear();
    Layout();
    sbarPanel1->setText(QStringLiteral("Page %1").arg(CurrentPage));
    const int count = PageCount();
    btnNextPage->setEnabled(CurrentPage != count);
    btnLastPage->setEnabled(CurrentPage != count);
    btnFirstPage->setEnabled(CurrentPage != 1);
    btnPrevPage->setEnabled(CurrentPage != 1);
}

void TfrmPrintPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ShowExceptions([this] { RefreshPages(); });
}

void TfrmPrintPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (isVisible())
        ShowExceptions([this] { RefreshPages(); });
}

void TfrmPrintPreview::btnPrintClick()
{
    if (PrintRequested)
        PrintRequested();
}

void TfrmPrintPreview::btnSetupClick()
{
    // A new paper size or orientation cuts the diagram differently.
    if (SetupRequested && SetupRequested()) {
        CurrentPage = std::min(CurrentPage, std::max(1, PageCount()));
        RefreshPages();
    }
}

void TfrmPrintPreview::btnSinglePageClick()
{
    PagesPerView = 1;
    RefreshPages();
}

void TfrmPrintPreview::btn2PagesClick()
{
    CurrentPage = 1;
    PagesPerView = 2;
    RefreshPages();
}

void TfrmPrintPreview::btn4PagesClick()
{
    CurrentPage = 1;
    PagesPerView = 4;
    RefreshPages();
}

void TfrmPrintPreview::btnFirstPageClick()
{
    CurrentPage = 1;
    RefreshPages();
}

void TfrmPrintPreview::btnPrevPageClick()
{
    if (CurrentPage >= 2)
        --CurrentPage;
    RefreshPages();
}

void TfrmPrintPreview::btnNextPageClick()
{
    if (CurrentPage < PageCount())
        ++CurrentPage;
    RefreshPages();
}

void TfrmPrintPreview::btnLastPageClick()
{
    CurrentPage = PageCount();
    RefreshPages();
}

void TfrmPrintPreview::btnCloseClick()
{
    reject();
}
