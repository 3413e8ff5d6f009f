// The plan view: the page scaled into the paint box, the boxes outlined, the
// visible area framed, and dragging the frame to scroll the diagram.
#include "canvas_fixture.h"

#include "canvas/overview.h"
#include "canvas/plan_view_drag.h"

#include <QCoreApplication>
#include <QScrollArea>
#include <QScrollBar>

namespace {

class OverviewTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        scrollBox = std::make_unique<QScrollArea>();
        scrollBox->setFrameShape(QFrame::NoFrame);
        scrollBox->setWidgetResizable(false);
        scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scrollBox->resize(400, 300);
        scrollBox->setWidget(surface.release());
        scrollBox->show();
        OverviewViewRect = TRect{};
        OverviewScale = 0.0;
    }
    void TearDown() override
    {
        CanvasTest::TearDown();
        scrollBox.reset();
    }
    // The surface at a size, scrolled to a place, its viewport exactly 400 x 300.
    void ShowSurface(int width, int height, int scrollX = 0, int scrollY = 0)
    {
        scrollBox->widget()->resize(width, height);
        QCoreApplication::processEvents();
        ASSERT_EQ(scrollBox->viewport()->size(), QSize(400, 300));
        scrollBox->horizontalScrollBar()->setValue(scrollX);
        scrollBox->verticalScrollBar()->setValue(scrollY);
        ASSERT_EQ(Scrolled(), QPoint(scrollX, scrollY));
    }
    QImage Plan(int width = 200, int height = 200)
    {
        return Paint(width, height, [&](TCanvas &c) { diagram->DrawOverview(c, width, height); }, Qt::magenta).Image;
    }
    QPoint Scrolled() const
    {
        return {scrollBox->horizontalScrollBar()->value(), scrollBox->verticalScrollBar()->value()};
    }

    const TColor window = ColorToRGB(clWindow) & 0xFFFFFF;
    const TColor buttonFace = ColorToRGB(clBtnFace) & 0xFFFFFF;
    std::unique_ptr<QScrollArea> scrollBox;
};

TEST_F(OverviewTest, PageAreaKeepsTheSurfaceProportions)
{
    ShowSurface(2000, 1000, 100, 0);
    // The page area (0, 0)-(200, 100) outlined in black on the window colour; below it button face.
    ExpectPixels(Plan(), {{0, 50, clBlack}, {199, 50, clBlack}, {150, 99, clBlack}, {150, 60, window},
                          {150, 100, buttonFace}, {100, 199, buttonFace}});
    EXPECT_DOUBLE_EQ(OverviewScale, 0.1);
    ShowSurface(500, 1000); // portrait surfaces fit by their height
    Plan();
    EXPECT_DOUBLE_EQ(OverviewScale, 0.2);
}

TEST_F(OverviewTest, VisibleAreaIsFramedOneUpAndLeftInGreyUnlessTheWholePageShows)
{
    ShowSurface(2000, 1000, 500, 200);
    // (50, 20)-(90, 50) reduced by one, 3 wide, over a clear brush.
    ExpectPixels(Plan(), {{49, 30, clGray}, {88, 30, clGray}, {70, 19, clGray}, {70, 48, clGray}, {70, 34, window}});
    EXPECT_EQ(OverviewViewRect, (TRect{49, 19, 89, 49}));

    ShowSurface(300, 200);
    const QImage plan = Plan();
    EXPECT_DOUBLE_EQ(OverviewScale, 200.0 / 300.0);
    // The unreduced view: the viewport is larger than the page.
    EXPECT_EQ(OverviewViewRect, (TRect{0, 0, 267, 200}));
    for (int x = 1; x < 199; ++x)
        ASSERT_NE(At(plan, x, 1), clGray) << x;
}

TEST_F(OverviewTest, BoxesAreOutlinedScaledWithHalvesRoundedToEven)
{
    ShowSurface(2000, 1000);
    // Left 25 -> 2.5 -> 2, right 135 -> 13.5 -> 14, top 45 -> 4.5 -> 4, bottom 155 -> 15.5 -> 16.
    auto *table = AddTable(*model, "S", "A", 25, 45, 110, 110);
    AddTable(*model, "S", "B", 500, 300, 200, 100);
    diagram->Rebuild();
    scrollBox->widget()->resize(2000, 1000);
    ExpectPixels(Plan(), {{2, 10, clBlack}, {3, 10, clWhite}, {13, 10, clBlack}, {14, 10, window}, {8, 4, clBlack},
                          {8, 15, clBlack}, {8, 16, window}, {60, 35, clWhite}, {50, 35, clBlack}});

    // Selected: blue and two pixels wide; the pen is black again for the next box.
    SelectedGraphics->Add(table);
    const QImage plan = Plan();
    ExpectPixels(plan, {{8, 4, clBlue}, {1, 10, window}, {2, 10, clBlue}, {3, 10, clBlue}, {4, 10, clWhite},
                        {50, 35, clBlack}});
}

TEST_F(OverviewTest, NothingIsPaintedWhileTheSurfaceHasNoWidth)
{
    ShowSurface(0, 500);
    OverviewViewRect = TRect{1, 2, 3, 4};
    OverviewScale = 0.5;
    EXPECT_EQ(At(Plan(50, 50), 25, 25), 0xFF00FF);
    EXPECT_EQ(OverviewViewRect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(OverviewScale, 0.5);
}

TEST_F(OverviewTest, DraggingTheFrameScrollsTheDiagramByHalvesToEvenWithinTheRange)
{
    ShowSurface(2000, 1000, 500, 200);
    Plan();
    ASSERT_EQ(OverviewViewRect, (TRect{49, 19, 89, 49}));
    TPlanViewDrag drag;
    drag.MouseDown(48, 30); // outside the frame: no drag
    drag.MouseMove(60, 40, scrollBox.get());
    EXPECT_FALSE(drag.Dragging);
    EXPECT_EQ(Scrolled(), QPoint(500, 200));
    // The frame's edges count as inside; each move scrolls by the distance over the scale.
    drag.MouseDown(89, 49);
    drag.MouseMove(99, 44, scrollBox.get());
    EXPECT_EQ(Scrolled(), QPoint(600, 150));
    drag.MouseMove(98, 44, scrollBox.get());
    EXPECT_EQ(Scrolled(), QPoint(590, 150));
    drag.MouseUp();
    drag.MouseMove(150, 100, scrollBox.get());
    EXPECT_EQ(Scrolled(), QPoint(590, 150));

    OverviewScale = 0.4;
    drag.MouseDown(50, 20);
    drag.MouseMove(51, 23, scrollBox.get()); // 2.5 -> 2, 7.5 -> 8
    EXPECT_EQ(Scrolled(), QPoint(592, 158));
    drag.MouseMove(-5000, 23, scrollBox.get());
    EXPECT_EQ(Scrolled().x(), 0);
    drag.MouseMove(2000000000, 23, scrollBox.get());
    EXPECT_EQ(Scrolled().x(), 1600);
}

} // namespace
