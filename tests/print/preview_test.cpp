// Page tiling, the preview window's paging, views and sheets, and the abort
// dialog.
#include "test_data.h"

#include "canvas/print/abort_dialog.h"
#include "canvas/print/page_preview_frame.h"
#include "canvas/print/page_tiling.h"
#include "canvas/print/print_preview.h"
#include "platform/fake_user_interface.h"

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(PageTiling, ColumnsAndRowsAreExtentDivSizePlusOneRowByRow)
{
    for (const QStringList &c : readCases("print/tiling.txt")) {
        const QList<int> v = caseInts(c[1]), grid = caseInts(c[2]);
        const auto pages = TilePages(v[0], v[1], v[2], v[3]);
        ASSERT_EQ(pages.size(), std::size_t(grid[0] * grid[1])) << c[0].toStdString();
        for (int i = 0; i < int(pages.size()); ++i) {
            const int column = i % grid[0], row = i / grid[0];
            EXPECT_EQ(pages[std::size_t(i)], (TRectObject{column * v[0], row * v[1], (column + 1) * v[0], (row + 1) * v[1]}))
                << c[0].toStdString() << " page " << i + 1;
        }
        int right = -1, bottom = -1;
        PagesExtent(pages, right, bottom);
        EXPECT_EQ(QSize(right, bottom), QSize(grid[0] * v[0], grid[1] * v[1])) << c[0].toStdString();
    }
    // A page below one pixel raises instead of looping for ever.
    EXPECT_THROW(TilePages(100, 0, 500, 500), EPrintError);
    try {
        TilePages(0, 100, 500, 500);
        ADD_FAILURE();
    } catch (const EPrintError &e) {
        EXPECT_STREQ(e.what(), "The printer page is smaller than one pixel of the diagram (0 x 100).");
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
        preview.PageRatio = [] { return 1.4; };
        Pages(5);
    }
    void TearDown() override { SetUserInterface(nullptr); }
    void Pages(int n)
    {
        pages.clear();
        for (int i = 0; i < n; ++i)
            pages.push_back({i * 100, 0, i * 100 + 100, 140});
    }
    // "FPNL" for First, Previous, Next and Last enabled, "-" for each disabled.
    QString Paging() const
    {
        QString flags;
        for (const auto &[button, letter] : {std::pair{preview.btnFirstPage, 'F'}, std::pair{preview.btnPrevPage, 'P'},
                                              std::pair{preview.btnNextPage, 'N'}, std::pair{preview.btnLastPage, 'L'}})
            flags += button->isEnabled() ? letter : '-';
        return flags;
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
};

} // namespace

TEST_F(PreviewTest, PagingMovesOnePageWhateverTheViewAndTheButtonsFollow)
{
    preview.show();
    EXPECT_EQ(QSize(preview.CurrentPage, preview.PagesPerView), QSize(1, 1));
    EXPECT_EQ(preview.sbarPanel1->text(), "Page 1");
    for (const QStringList &c : readCases("print/preview_paging.txt")) {
        preview.findChild<QToolButton *>(c[1])->click();
        const QList<int> state = caseInts(c[2]);
        EXPECT_EQ(QList<int>({preview.CurrentPage, preview.PagesPerView}), state) << c[0].toStdString();
        EXPECT_EQ(Paging(), c[3]) << c[0].toStdString();
        EXPECT_EQ(Sheets(), c[4]) << c[0].toStdString();
        EXPECT_EQ(preview.sbarPanel1->text(), QStringLiteral("Page %1").arg(state[0])) << c[0].toStdString();
    }
    // Only the pages shown are rendered, and only those are held.
    EXPECT_LE(preview.PageBitmaps.size(), 4u);
    EXPECT_EQ(rendered.mid(rendered.size() - 4), (QList<int>{0, 100, 200, 300}));
    Pages(1);
    preview.btnFirstPageClick();
    EXPECT_EQ(Paging(), "----");
    EXPECT_EQ(Sheets(), "100 empty empty empty");
}

TEST_F(PreviewTest, SheetsKeepThePaperShapeAndAreCentred)
{
    TframePagePreview frame(nullptr);
    for (const QStringList &c : readCases("print/preview_sheets.txt")) {
        const QList<int> size = caseInts(c[1]), r = caseInts(c[3]);
        const QRect sheet(r[0], r[1], r[2], r[3]);
        frame.resize(size[0], size[1]);
        frame.ShowPage(nullptr, c[2].toDouble());
        EXPECT_EQ(frame.shpPage1->geometry(), sheet) << c[0].toStdString();
        EXPECT_EQ(frame.imgPreview1->geometry(), sheet.adjusted(10, 10, -10, -10)) << c[0].toStdString();
        EXPECT_EQ(frame.shpBorderRight1->geometry(), QRect(sheet.right() + 1, sheet.top() + 3, 3, sheet.height()));
        EXPECT_EQ(frame.shpBorderBottom1->geometry(), QRect(sheet.left() + 3, sheet.bottom() + 1, sheet.width(), 3));
    }
}

TEST_F(PreviewTest, FramesSplitTheScrollBoxInHalvesAndQuadrants)
{
    preview.show();
    preview.sboxPreview->resize(801, 601);
    preview.btn4PagesClick();
    QList<QRect> places;
    for (TframePagePreview *frame : preview.framePreview)
        places << frame->geometry();
    EXPECT_EQ(places, (QList<QRect>{{0, 0, 400, 300}, {400, 0, 401, 300}, {0, 300, 400, 301}, {400, 300, 401, 301}}));
    preview.btn2PagesClick();
    EXPECT_EQ(preview.framePreview[0]->geometry(), QRect(0, 0, 400, 601));
    EXPECT_EQ(preview.framePreview[1]->geometry(), QRect(400, 0, 401, 601));
    EXPECT_FALSE(preview.framePreview[2]->isVisibleTo(&preview));
}

TEST_F(PreviewTest, APrinterSetUpThatChangesThePagesRedrawsThem)
{
    bool changed = false;
    preview.SetupRequested = [&] { return Pages(2), changed; };
    preview.show();
    preview.btnLastPageClick();
    preview.btnSetup->click(); // cancelled: nothing redrawn
    EXPECT_EQ(preview.CurrentPage, 5);
    changed = true;
    preview.btnSetup->click(); // fewer pages now: the view follows
    EXPECT_EQ(preview.CurrentPage, 2);
    EXPECT_EQ(Paging(), "FP--");
}

TEST(AbortDialog, CaptionCancelAndItsOwner)
{
    QMainWindow owner;
    owner.show();
    TAbortDialog *dialog = CreateAbortDialog(&owner);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Printing");
    EXPECT_TRUE(dialog->btnCancel->isDefault());
    // Above its owner only, so a message box opened meanwhile is not hidden under it.
    EXPECT_TRUE(dialog->parentWidget() == &owner && dialog->isWindow());
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    SetAbortDialogCaption(dialog, "Printing Page 2 - 0%");
    EXPECT_EQ(dialog->windowTitle(), "Printing Page 2 - 0%");
    dialog->close(); // only Cancel cancels
    dialog->reject();
    EXPECT_TRUE(dialog->isVisible() && !AbortDialogAborted(dialog));
    dialog->btnCancel->click();
    EXPECT_TRUE(dialog->Cancelled == -1 && AbortDialogAborted(dialog));
    FreeAbortDialog(dialog);
    EXPECT_FALSE(AbortDialogAborted(nullptr));
}
