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
    QWidget *Surface() const { return scrollBox->widget(); }
    // The surface at a size, scrolled to a place, its viewport exactly 400 x 300.
    void ShowSurface(int width, int height, int scrollX = 0, int scrollY = 0)
    {
        Surface()->resize(width, height);
        scrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QCoreApplication::processEvents();
        ASSERT_EQ(scrollBox->viewport()->size(), QSize(400, 300));
        scrollBox->horizontalScrollBar()->setValue(scrollX);
        scrollBox->verticalScrollBar()->setValue(scrollY);
        ASSERT_EQ(scrollBox->horizontalScrollBar()->value(), scrollX);
        ASSERT_EQ(scrollBox->verticalScrollBar()->value(), scrollY);
    }
    QImage Plan(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::magenta);
        TCanvas canvas(&image);
        diagram->DrawOverview(canvas, width, height);
        return image;
    }

    std::unique_ptr<QScrollArea> scrollBox;
};

TEST_F(OverviewTest, PageAreaKeepsTheSurfaceProportions)
{
    ShowSurface(2000, 1000, 100, 0);
    const QImage plan = Plan(200, 200);
    EXPECT_DOUBLE_EQ(OverviewScale, 0.1);
    // The page area (0, 0)-(200, 100) outlined in black on the window colour; below it button face.
    EXPECT_EQ(At(plan, 0, 50), clBlack);
    EXPECT_EQ(At(plan, 199, 50), clBlack);
    EXPECT_EQ(At(plan, 150, 99), clBlack);
    EXPECT_EQ(At(plan, 150, 60), ColorToRGB(clWindow));
    EXPECT_EQ(At(plan, 150, 100), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(plan, 100, 199), ColorToRGB(clBtnFace));

    // Portrait surfaces fit by their height.
    ShowSurface(500, 1000);
    Plan(200, 200);
    EXPECT_DOUBLE_EQ(OverviewScale, 0.2);
}

TEST_F(OverviewTest, VisibleAreaIsFramedOneUpAndLeftInGrey)
{
    ShowSurface(2000, 1000, 500, 200);
    const QImage plan = Plan(200, 200);
    // (50, 20)-(90, 50) reduced by one.
    EXPECT_EQ(OverviewViewRect, (TRect{49, 19, 89, 49}));
    EXPECT_EQ(At(plan, 49, 30), clGray);
    EXPECT_EQ(At(plan, 88, 30), clGray);
    EXPECT_EQ(At(plan, 70, 19), clGray);
    EXPECT_EQ(At(plan, 70, 48), clGray);
    EXPECT_EQ(At(plan, 70, 34), ColorToRGB(clWindow)); // a clear brush
}

TEST_F(OverviewTest, WholePageInViewIsNotFramed)
{
    ShowSurface(300, 200);
    const QImage plan = Plan(200, 200);
    const double s = 200.0 / 300.0;
    EXPECT_DOUBLE_EQ(OverviewScale, s);
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
    Surface()->resize(2000, 1000);
    QImage plan = Plan(200, 200);
    EXPECT_EQ(At(plan, 2, 10), clBlack);
    EXPECT_EQ(At(plan, 3, 10), clWhite);
    EXPECT_EQ(At(plan, 13, 10), clBlack);
    EXPECT_EQ(At(plan, 14, 10), ColorToRGB(clWindow));
    EXPECT_EQ(At(plan, 8, 4), clBlack);
    EXPECT_EQ(At(plan, 8, 15), clBlack);
    EXPECT_EQ(At(plan, 8, 16), ColorToRGB(clWindow));
    EXPECT_EQ(At(plan, 60, 35), clWhite);
    EXPECT_EQ(At(plan, 50, 35), clBlack);

    // Selected: blue and two pixels wide; the pen is black again for the next box.
    SelectedGraphics->Add(table);
    plan = Plan(200, 200);
    EXPECT_EQ(At(plan, 8, 4), clBlue);
    EXPECT_EQ(At(plan, 2, 10), clBlue);
    const int blueInRow = [&] {
        int n = 0;
        for (int x = 0; x < 8; ++x)
            n += At(plan, x, 10) == clBlue;
        return n;
    }();
    EXPECT_EQ(blueInRow, 2);
    EXPECT_EQ(At(plan, 50, 35), clBlack);
}

TEST_F(OverviewTest, NothingIsPaintedWhileTheSurfaceHasNoWidth)
{
    ShowSurface(0, 500);
    OverviewViewRect = TRect{1, 2, 3, 4};
    OverviewScale = 0.5;
    const QImage plan = Plan(50, 50);
    EXPECT_EQ(At(plan, 25, 25), QRgbToColor(QColor(Qt::magenta).rgb()) & 0xFFFFFF);
    EXPECT_EQ(OverviewViewRect, (TRect{1, 2, 3, 4}));
    EXPECT_EQ(OverviewScale, 0.5);
}

TEST_F(OverviewTest, DraggingTheFrameScrollsTheDiagram)
{
    ShowSurface(2000, 1000, 500, 200);
    Plan(200, 200);
    ASSERT_EQ(OverviewViewRect, (TRect{49, 19, 89, 49}));
    QScrollBar *horizontal = scrollBox->horizontalScrollBar();
    QScrollBar *vertical = scrollBox->verticalScrollBar();

    TPlanViewDrag drag;
    // A press outside the frame does not scroll.
    drag.MouseDown(48, 30);
    EXPECT_FALSE(drag.Dragging);
    drag.MouseMove(60, 40, scrollBox.get());
    EXPECT_EQ(horizontal->value(), 500);

    // The frame's edges count as inside; each move scrolls by the distance over the scale.
    drag.MouseDown(89, 49);
    EXPECT_TRUE(drag.Dragging);
    drag.MouseMove(99, 44, scrollBox.get());
    EXPECT_EQ(horizontal->value(), 600);
    EXPECT_EQ(vertical->value(), 150);
    drag.MouseMove(98, 44, scrollBox.get());
    EXPECT_EQ(horizontal->value(), 590);
    drag.MouseUp();
    drag.MouseMove(150, 100, scrollBox.get());
    EXPECT_EQ(horizontal->value(), 590);
}

TEST_F(OverviewTest, DragDistancesRoundHalvesToEvenAndStopAtTheScrollRange)
{
    ShowSurface(2000, 1000, 100, 100);
    OverviewViewRect = TRect{0, 0, 50, 50};
    OverviewScale = 0.4;
    TPlanViewDrag drag;
    drag.MouseDown(10, 10);
    drag.MouseMove(11, 13, scrollBox.get());  // 2.5 -> 2, 7.5 -> 8
    EXPECT_EQ(scrollBox->horizontalScrollBar()->value(), 102);
    EXPECT_EQ(scrollBox->verticalScrollBar()->value(), 108);
    drag.MouseMove(-5000, 13, scrollBox.get());
    EXPECT_EQ(scrollBox->horizontalScrollBar()->value(), 0);
    drag.MouseMove(2000000000, 13, scrollBox.get());
    EXPECT_EQ(scrollBox->horizontalScrollBar()->value(), 1600);
}

} // namespace
