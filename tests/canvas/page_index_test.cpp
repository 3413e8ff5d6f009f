// The index of a page's boxes and links by area: every piece of a page painted
// through it is the piece painted from the whole page, for links between far
// boxes, parallel links and their ranks, self loops, overlapping and thin
// boxes; and it leaves out what cannot reach a piece.
#include "canvas_fixture.h"

#include "canvas/page_index.h"
#include "canvas/picture_export.h"
#include "canvas/print_diagram.h"

namespace {

class PageIndexTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.ShowLinkName = true;
        a = AddTable(*model, "S", "A", 20, 30, 160, 120);
        b = AddTable(*model, "S", "B", 900, 60, 150, 100);
        c = AddTable(*model, "S", "C", 300, 700, 180, 90);
        over = AddTable(*model, "S", "OVER", 90, 80, 150, 100); // its centre lies in A and A's in it
        thin = AddTable(*model, "S", "THIN", 700, 400, 1, 80);
        // Two parallel keys: the second runs 16 pixels beside the first, its caption 12 lower.
        AddForeignKey(*b, "B_TO_A_WITH_A_LONG_NAME", {"X"}, "S", "A", {"ID"});
        AddForeignKey(*b, "B_TO_A_AGAIN", {"Y"}, "S", "A", {"ID"});
        AddForeignKey(*c, "C_SELF_LOOP_WITH_A_VERY_LONG_CAPTION", {"P"}, "S", "C", {"ID"}, "CASCADE");
        AddForeignKey(*c, "C_TO_B", {"Q"}, "S", "B", {"ID"}, "SET NULL");
        AddForeignKey(*a, "A_TO_OVER", {"Z"}, "S", "OVER", {"ID"});
        AddForeignKey(*thin, "THIN_TO_C", {"T"}, "S", "C", {"ID"});
        AddNote(600, 900, 120, 40, "A note");
    }
    // Compares every piece of a grid over the page (or part of it), painted with and without the index.
    void ExpectPiecesEqual(int width, int height, TRect part = {})
    {
        diagram->Rebuild();
        const TPageIndex index;
        const QSize extent = TPictureExport::DiagramExtent();
        if (part.IsEmpty())
            part = {-width / 3, -height / 2, extent.width(), extent.height()};
        for (int top = part.Top; top < part.Bottom; top += height)
            for (int left = part.Left; left < part.Right; left += width) {
                const TRect piece{left, top, left + width, top + height};
                ASSERT_EQ(TPrintDiagram::RenderPage(*diagram, piece, &index),
                          TPrintDiagram::RenderPage(*diagram, piece))
                    << "piece at " << left << "," << top << " of " << width << " x " << height;
            }
    }
    TDiagramTable *a = nullptr, *b = nullptr, *c = nullptr, *over = nullptr, *thin = nullptr;
};

TEST_F(PageIndexTest, PiecesPaintedThroughTheIndexAreThoseOfTheWholePage)
{
    for (const QSize piece : {QSize(61, 47), QSize(203, 151)})
        ExpectPiecesEqual(piece.width(), piece.height());
    // Paths left from keys that are gone still hold their ranks.
    b->AddLinkPath("A", "S", 1, "GONE");
    c->AddLinkPath("B", "S", 2, "GONE_TOO");
    ExpectPiecesEqual(61, 47);
    // Four parallel keys leave the top of a tall box towards a box straight above it: each
    // runs 16 pixels beside the last, square to the line between the centres.
    TDiagramTable *tall = AddTable(*model, "S", "TALL", 4000, 2000, 100, 400);
    AddTable(*model, "S", "ABOVE", 4010, 200, 100, 80);
    for (const char *name : {"T1", "T2", "T3", "T4"})
        AddForeignKey(*tall, name, {"ID"}, "S", "ABOVE", {"ID"}, "CASCADE");
    ExpectPiecesEqual(13, 11, {3990, 1950, 4160, 2020});
    // A key named twice: ranks are no longer worked out ahead.
    AddForeignKey(*b, "B_TO_A_AGAIN", {"W"}, "S", "C", {"ID"});
    ExpectPiecesEqual(61, 47);
}

TEST_F(PageIndexTest, WhatCannotReachAPieceIsLeftOut)
{
    diagram->Rebuild();
    const TPageIndex index;
    const auto names = [&](const TRect &piece) {
        QStringList found;
        for (TDiagramForeignKey *key : index.LinksFor(piece))
            found << key->Name;
        for (TBaseDiagramObject *box : index.BoxesFor(piece))
            found << box->Name;
        return found;
    };
    // The line from C (390, 745) to B (975, 110) crosses (650, 440); a link
    // from a box too thin to route on is drawn all along its rows.
    EXPECT_EQ(names({640, 430, 660, 450}), (QStringList{"C_TO_B", "THIN_TO_C", "THIN"}));
    EXPECT_EQ(names({1100, 300, 1150, 350}), QStringList{"THIN_TO_C"});
    // B's links leave A by its right side, not near its top-left corner.
    EXPECT_EQ(names({0, 0, 30, 30}), (QStringList{"A_TO_OVER", "A", "OVER"}));
    EXPECT_EQ(names({190, 60, 230, 120}),
              (QStringList{"A_TO_OVER", "B_TO_A_WITH_A_LONG_NAME", "B_TO_A_AGAIN", "A", "OVER"}));
}

TEST_F(PageIndexTest, EveryPointOfALinkFindsIt)
{
    // Long links at every slant and at every offset across a cell of the index: the index
    // finds each where its line runs.
    model->Tables.Clear();
    std::vector<std::pair<QPoint, QPoint>> ends;
    for (int i = 0; i < 24; ++i) {
        const QPoint from(3000 + 23 * i, 100 + 17 * i), to(3000 + 23 * i + (i % 5 - 2) * 700, 2600 - 13 * i);
        TDiagramTable *x = AddTable(*model, "S", QString("X%1").arg(i), from.x() - 50, from.y() - 40, 100, 80);
        AddTable(*model, "S", QString("Y%1").arg(i), to.x() - 50, to.y() - 40, 100, 80);
        AddForeignKey(*x, QString("K%1").arg(i), {"ID"}, "S", QString("Y%1").arg(i), {"ID"});
        ends.emplace_back(from, to);
    }
    diagram->Rebuild();
    const TPageIndex index;
    for (int i = 0; i < 24; ++i)
        for (int step = 0; step <= 100; ++step) {
            const auto &[from, to] = ends[std::size_t(i)];
            const QPoint at = from + (to - from) * step / 100;
            bool found = false;
            for (TDiagramForeignKey *key : index.LinksFor({at.x(), at.y(), at.x() + 1, at.y() + 1}))
                found |= key->Name == QString("K%1").arg(i);
            ASSERT_TRUE(found) << "K" << i << " at " << at.x() << "," << at.y();
        }
}

} // namespace
