// The plan view: the page scaled into the paint box, the boxes outlined, the
// visible area framed, and dragging the frame to scroll the diagram.
#include "canvas_fixture.h"

#include "canvas/overview.h"
#include "canvas/plan_view_drag.h"
#include "test_data.h"

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

TEST_F(OverviewTest, PageAreaVisibleAreaAndBoxesAsTabled)
{
    const QString window = QString::number(this->window, 16), face = QString::number(buttonFace, 16);
    for (const QStringList &c : readCases("canvas/overview_plans.txt")) {
        SCOPED_TRACE(c.join(" | ").toStdString());
        model->Tables.Clear();
        QList<TDiagramTable *> marked;
        for (const QString &table : c[2].split(',', Qt::SkipEmptyParts)) {
            const QList<int> r = caseInts(QString(table).remove('*'));
            auto *added = AddTable(*model, "S", QString::number(model->Tables.Count()), r[0], r[1], r[2], r[3]);
            table.contains('*') ? void(marked << added) : void();
        }
        diagram->Rebuild();
        for (TDiagramTable *table : marked)
            SelectedGraphics->Add(table);
        const QList<int> size = caseInts(c[0]), scrolled = caseInts(c[1]), view = caseInts(c[4]);
        ShowSurface(size[0], size[1], scrolled[0], scrolled[1]);
        const QImage plan = Plan();
        EXPECT_NEAR(OverviewScale, c[3].toDouble(), 1e-12);
        if (!view.isEmpty()) {
            EXPECT_EQ(OverviewViewRect, (TRect{view[0], view[1], view[2], view[3]}));
        }
        ExpectProbes(plan, QString(c.value(5)).replace("=window", "=" + window).replace("=face", "=" + face));
    }
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
