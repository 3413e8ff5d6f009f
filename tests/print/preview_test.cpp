// Page tiling, the preview window's paging, views and sheets, and the abort
// dialog.
#include "modal_dialog.h"

#include "canvas/print/abort_dialog.h"
#include "canvas/print/page_preview_frame.h"
#include "canvas/print/page_tiling.h"
#include "canvas/print/print_preview.h"
#include "platform/fake_user_interface.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(PageTiling, ColumnsAndRowsAreExtentDivSizePlusOne)
{
    struct {
        const char *Name;
        int W, H, X, Y;
        int Columns, Rows;
    } cases[] = {
        {"an empty page", 768, 1046, 10, 10, 1, 1},
        {"one pixel short of a page", 768, 1046, 767, 1045, 1, 1},
        {"exactly one page wide gets an empty column", 768, 1046, 768, 10, 2, 1},
        {"exactly one page high gets an empty row", 768, 1046, 10, 1046, 1, 2},
        {"three and a bit by two", 100, 70, 301, 139, 4, 2},
        {"one-pixel pages", 1, 1, 2, 1, 3, 2},
    };
    for (const auto &c : cases) {
        const auto pages = TilePages(c.W, c.H, c.X, c.Y);
        ASSERT_EQ(pages.size(), std::size_t(c.Columns * c.Rows)) << c.Name;
        // Row by row, left to right.
        for (int i = 0; i < int(pages.size()); ++i) {
            const int column = i % c.Columns, row = i / c.Columns;
            EXPECT_EQ(pages[std::size_t(i)],
                      (TRectObject{column * c.W, row * c.H, (column + 1) * c.W, (row + 1) * c.H}))
                << c.Name << " page " << i + 1;
        }
        int right = -1, bottom = -1;
        PagesExtent(pages, right, bottom);
        EXPECT_EQ(right, c.Columns * c.W) << c.Name;
        EXPECT_EQ(bottom, c.Rows * c.H) << c.Name;
    }
    int right = -1, bottom = -1;
    PagesExtent({}, right, bottom);
    EXPECT_EQ(right, 0);
    EXPECT_EQ(bottom, 0);
}

TEST(PageTiling, PagesBelowOnePixelRaiseInsteadOfLoopingForever)
{
    for (const auto &size : {std::pair{0, 100}, std::pair{100, 0}, std::pair{-5, 10}}) {
        try {
            TilePages(size.first, size.second, 500, 500);
            ADD_FAILURE() << size.first << " x " << size.second;
        } catch (const EPrintError &e) {
            EXPECT_EQ(QString(e.what()), QStringLiteral("The printer page is smaller than one pixel of the diagram "
                                                        "(%1 x %2).")
                                             .arg(size.first)
                                             .arg(size.second));
        }
    }
    EXPECT_THROW(TilePages(1, 1, 2000000, 2000000), EPrintError); // four million millions of pages
}

namespace {

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetUserInterface(&ui);
        preview.Pages = [this]() -> const std::vector<TRectObject> & { return pages; };
        preview.RenderPage = [this](const TRect &r) {
            rendered << r.Left;
            QImage image(r.Width(), r.Height(), QImage::Format_RGB32);
            image.fill(Qt::blue);
            return image;
        };
        preview.PageRatio = [this] { return ratio; };
        Pages(5);
    }
    void TearDown() override { SetUserInterface(nullptr); }
    void Pages(int n)
    {
        pages.clear();
        for (int i = 0; i < n; ++i)
            pages.push_back({i * 100, 0, i * 100 + 100, 140});
    }
    // "F P N L" enabled flags of First, Previous, Next, Last, e.g. "--NL".
    QString Paging() const
    {
        return QString(preview.btnFirstPage->isEnabled() ? "F" : "-") + (preview.btnPrevPage->isEnabled() ? "P" : "-") +
               (preview.btnNextPage->isEnabled() ? "N" : "-") + (preview.btnLastPage->isEnabled() ? "L" : "-");
    }
    QString Sheets() const
    {
        QStringList shown;
        for (TframePagePreview *frame : preview.framePreview)
            if (frame->isVisibleTo(&preview))
                shown << (frame->imgPreview1->Picture() ? QString::number(frame->imgPreview1->Picture()->width())
                                                        : QStringLiteral("empty"));
        return shown.join(' ');
    }

    TFakeUserInterface ui;
    TfrmPrintPreview preview;
    std::vector<TRectObject> pages;
    QList<int> rendered;
    double ratio = 1.4;
};

} // namespace

TEST_F(PreviewTest, WindowTextsAndStart)
{
    EXPECT_EQ(preview.windowTitle(), "Print Preview");
    EXPECT_EQ(preview.size(), QSize(976, 726));
    EXPECT_EQ(preview.PagesPerView, 1);
    EXPECT_EQ(preview.CurrentPage, 1);
    EXPECT_EQ(preview.sbarPanel1->text(), "Page 1");
    EXPECT_EQ(preview.sbarPanel1->width(), 200);
    EXPECT_EQ(preview.sbarPanel2->width(), 50);
    const std::pair<QToolButton *, const char *> hints[] = {
        {preview.btnPrint, "Print"},           {preview.btnSetup, "Print Setup"},
        {preview.btnSinglePage, "Single Page View"}, {preview.btn2Pages, "2 Page View"},
        {preview.btnFirstPage, "First Page"},  {preview.btnPrevPage, "Previous Page"},
        {preview.btnNextPage, "Next Page"},    {preview.btnLastPage, "Last Page"}};
    for (const auto &[button, hint] : hints)
        EXPECT_EQ(button->toolTip(), hint);
    EXPECT_EQ(preview.btnClose->text(), "&Close");
    EXPECT_EQ(preview.sboxPreview->palette().color(QPalette::Window), QColor(183, 182, 162));
}

TEST_F(PreviewTest, PagingMovesOnePageWhateverTheViewAndTheButtonsFollow)
{
    preview.show();
    struct {
        const char *Step;
        void (TfrmPrintPreview::*Click)();
        int Page, PerView;
        const char *Paging, *Sheets;
    } steps[] = {
        {"next", &TfrmPrintPreview::btnNextPageClick, 2, 1, "FPNL", "100"},
        {"2 pages go back to page 1", &TfrmPrintPreview::btn2PagesClick, 1, 2, "--NL", "100 100"},
        {"last", &TfrmPrintPreview::btnLastPageClick, 5, 2, "FP--", "100 empty"},
        {"next on the last page stays", &TfrmPrintPreview::btnNextPageClick, 5, 2, "FP--", "100 empty"},
        {"previous", &TfrmPrintPreview::btnPrevPageClick, 4, 2, "FPNL", "100 100"},
        {"single page keeps the page", &TfrmPrintPreview::btnSinglePageClick, 4, 1, "FPNL", "100"},
        {"4 pages go back to page 1", &TfrmPrintPreview::btn4PagesClick, 1, 4, "--NL", "100 100 100 100"},
        {"next shows pages 2 to 5", &TfrmPrintPreview::btnNextPageClick, 2, 4, "FPNL", "100 100 100 100"},
        {"next once more", &TfrmPrintPreview::btnNextPageClick, 3, 4, "FPNL", "100 100 100 empty"},
        {"first", &TfrmPrintPreview::btnFirstPageClick, 1, 4, "--NL", "100 100 100 100"},
        {"previous on page 1 stays", &TfrmPrintPreview::btnPrevPageClick, 1, 4, "--NL", "100 100 100 100"},
    };
    for (const auto &s : steps) {
        (preview.*s.Click)();
        EXPECT_EQ(preview.CurrentPage, s.Page) << s.Step;
        EXPECT_EQ(preview.PagesPerView, s.PerView) << s.Step;
        EXPECT_EQ(Paging(), QString(s.Paging)) << s.Step;
        EXPECT_EQ(Sheets(), QString(s.Sheets)) << s.Step;
        EXPECT_EQ(preview.sbarPanel1->text(), QStringLiteral("Page %1").arg(s.Page)) << s.Step;
    }
    // Only the pages shown are rendered, and only those are held.
    EXPECT_LE(preview.PageBitmaps.size(), 4u);
    EXPECT_EQ(rendered.mid(rendered.size() - 4), (QList<int>{0, 100, 200, 300}));
}

TEST_F(PreviewTest, ASinglePageDisablesAllPaging)
{
    Pages(1);
    preview.show();
    EXPECT_EQ(Paging(), "----");
    preview.btn4PagesClick();
    EXPECT_EQ(Sheets(), "100 empty empty empty");
}

TEST_F(PreviewTest, SheetsKeepThePaperShapeAndAreCentred)
{
    preview.show();
    TframePagePreview frame(nullptr);
    struct {
        const char *Name;
        QSize Frame;
        double Ratio;
        QRect Sheet;
    } cases[] = {
        // width-limited: 290 wide, 290 * 1.4 = 406 high, centred in 300 x 500
        {"tall frame", {300, 500}, 1.4, QRect(5, 47, 290, 406)},
        // a wide, low frame limits by height: 180 high, 180 / 1.4 = 128.57 -> 129 wide
        {"wide low frame", {900, 200}, 1.4, QRect(386, 10, 129, 180)},
        // landscape paper: 390 x round(390 * 0.7) = 273
        {"landscape", {400, 400}, 0.7, QRect(5, 64, 390, 273)},
        // exactly at the limit the width wins: 190 * 1 = 190 = 200 - 10
        {"at the limit", {200, 200}, 1.0, QRect(5, 5, 190, 190)},
    };
    for (const auto &c : cases) {
        frame.resize(c.Frame);
        frame.ShowPage(nullptr, c.Ratio);
        EXPECT_EQ(frame.shpPage1->geometry(), c.Sheet) << c.Name;
        EXPECT_EQ(frame.imgPreview1->geometry(), c.Sheet.adjusted(10, 10, -10, -10)) << c.Name;
        EXPECT_EQ(frame.shpBorderRight1->geometry(), QRect(c.Sheet.right() + 1, c.Sheet.top() + 3, 3, c.Sheet.height()))
            << c.Name;
        EXPECT_EQ(frame.shpBorderBottom1->geometry(), QRect(c.Sheet.left() + 3, c.Sheet.bottom() + 1, c.Sheet.width(), 3))
            << c.Name;
    }
}

TEST_F(PreviewTest, FramesSplitTheScrollBoxInHalvesAndQuadrants)
{
    preview.show();
    preview.sboxPreview->resize(801, 601);
    preview.btn4PagesClick();
    EXPECT_EQ(preview.framePreview[0]->geometry(), QRect(0, 0, 400, 300));
    EXPECT_EQ(preview.framePreview[1]->geometry(), QRect(400, 0, 401, 300));
    EXPECT_EQ(preview.framePreview[2]->geometry(), QRect(0, 300, 400, 301));
    EXPECT_EQ(preview.framePreview[3]->geometry(), QRect(400, 300, 401, 301));
    preview.btn2PagesClick();
    EXPECT_EQ(preview.framePreview[0]->geometry(), QRect(0, 0, 400, 601));
    EXPECT_EQ(preview.framePreview[1]->geometry(), QRect(400, 0, 401, 601));
    EXPECT_FALSE(preview.framePreview[2]->isVisibleTo(&preview));
}

TEST_F(PreviewTest, PrintSetupAndClose)
{
    int prints = 0;
    bool changed = false;
    preview.PrintRequested = [&] { ++prints; };
    preview.SetupRequested = [&] {
        Pages(2);
        return changed;
    };
    preview.show();
    preview.btnLastPageClick();
    EXPECT_EQ(preview.CurrentPage, 5);
    preview.btnSetup->click(); // cancelled: nothing redrawn
    EXPECT_EQ(preview.CurrentPage, 5);
    changed = true;
    preview.btnSetup->click(); // fewer pages now: the view follows
    EXPECT_EQ(preview.CurrentPage, 2);
    EXPECT_EQ(Paging(), "FP--");
    preview.btnPrint->click();
    EXPECT_EQ(prints, 1);
    EXPECT_TRUE(preview.isVisible()); // the preview stays open
    preview.btnClose->click();
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Rejected);
}

TEST(AbortDialog, CaptionButtonAndCancel)
{
    TAbortDialog *dialog = CreateAbortDialog(nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Printing");
    EXPECT_EQ(dialog->size(), QSize(174, 98));
    EXPECT_EQ(dialog->btnCancel->text(), "&Cancel");
    EXPECT_EQ(dialog->btnCancel->geometry(), QRect(48, 32, 75, 25));
    EXPECT_TRUE(dialog->btnCancel->isDefault());
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    SetAbortDialogCaption(dialog, "Printing Page 2 - 0%");
    EXPECT_EQ(dialog->windowTitle(), "Printing Page 2 - 0%");
    EXPECT_FALSE(AbortDialogAborted(dialog));
    dialog->close(); // only Cancel cancels
    dialog->reject();
    EXPECT_FALSE(AbortDialogAborted(dialog));
    EXPECT_TRUE(dialog->isVisible());
    dialog->btnCancel->click();
    EXPECT_EQ(dialog->Cancelled, -1);
    EXPECT_TRUE(AbortDialogAborted(dialog));
    FreeAbortDialog(dialog);
    EXPECT_FALSE(AbortDialogAborted(nullptr));
    SetAbortDialogCaption(nullptr, "x");
    FreeAbortDialog(nullptr);
}
