// The index of a page's boxes and links by area: every piece of a page painted
// through it is the piece painted from the whole page, for links between far
// boxes, parallel links and their ranks, self loops, overlapping and thin
// boxes; and it leaves out what cannot reach a piece, holding no more than the
// drawing covers whatever a file says.
#include "canvas_fixture.h"

#include "canvas/page_index.h"
#include "canvas/picture_export.h"
#include "canvas/print_diagram.h"
#include "model/diagram_xml_reader.h"

#include <QFile>
#include <QTemporaryDir>

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
    void ExpectPiecesEqual(int width, int height, TRect part = {}, std::size_t maxFiled = TPageIndex::MaxFiled)
    {
        diagram->Rebuild();
        const TPageIndex index(maxFiled);
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
    // The crow's foot of C_TO_B, 20 pixels below the end of its line.
    ExpectPiecesEqual(7, 5, {410, 670, 450, 705});
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
    // Twelve parallel keys between tall boxes: the last caption hangs 11 x 28 pixels
    // below the first, beyond the lines and still within the rows the boxes cover.
    TDiagramTable *right = AddTable(*model, "S", "RIGHT", 6000, 3000, 100, 600);
    AddTable(*model, "S", "LEFT", 5000, 3000, 100, 600);
    for (int k = 0; k < 12; ++k)
        AddForeignKey(*right, QString("P%1").arg(k), {"ID"}, "S", "LEFT", {"ID"});
    ExpectPiecesEqual(61, 47, {5450, 3300, 5700, 3664});
    // Keys listed with one table rank on the table they name, before its own keys, which
    // go to two tables in turn: all are found in the order they are painted.
    TDiagramTable *lender = AddTable(*model, "S", "LENDER", 7000, 2000, 50, 50);
    TDiagramTable *x = AddTable(*model, "S", "X", 6000, 1000, 100, 80);
    AddTable(*model, "S", "Z", 6000, 1400, 100, 80);
    AddTable(*model, "S", "W", 6600, 1000, 100, 80);
    for (const char *name : {"L1", "L2", "L3", "L4", "L5"})
        AddForeignKey(*lender, name, {"ID"}, "S", "Z", {"ID"})->Table = x;
    for (const auto &[name, to] : {std::pair{"X1", "Z"}, {"X2", "W"}, {"X3", "Z"}})
        AddForeignKey(*x, name, {"ID"}, "S", to, {"ID"});
    ExpectPiecesEqual(31, 23, {5990, 990, 6220, 1420});
    QStringList order;
    for (TDiagramForeignKey *key : TPageIndex().LinksFor({6000, 1000, 6100, 1080}))
        order << key->Name;
    EXPECT_EQ(order, (QStringList{"L1", "L2", "L3", "L4", "L5", "X1", "X2", "X3"}));
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
    // from a box too thin to route on is found where it is drawn, and only there.
    EXPECT_EQ(names({640, 430, 660, 450}), (QStringList{"C_TO_B", "THIN_TO_C", "THIN"}));
    EXPECT_EQ(names({1100, 300, 1150, 350}), QStringList{});
    // B's links leave A by its right side, not near its top-left corner; A's
    // link to OVER leaves OVER's left side at (70, 84).
    EXPECT_EQ(names({0, 0, 30, 30}), (QStringList{"A", "OVER"}));
    EXPECT_EQ(names({60, 75, 70, 85}), (QStringList{"A_TO_OVER", "A", "OVER"}));
    EXPECT_EQ(names({190, 60, 230, 120}),
              (QStringList{"A_TO_OVER", "B_TO_A_WITH_A_LONG_NAME", "B_TO_A_AGAIN", "A", "OVER"}));
}

TEST_F(PageIndexTest, EveryPointOfALinkFindsIt)
{
    // Long links at every slant and at every offset across a cell of the index: the index
    // finds each where its line runs between the boxes.
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
        for (int step = 5; step <= 95; ++step) {
            const auto &[from, to] = ends[std::size_t(i)];
            const QPoint at = from + (to - from) * step / 100;
            bool found = false;
            for (TDiagramForeignKey *key : index.LinksFor({at.x(), at.y(), at.x() + 1, at.y() + 1}))
                found |= key->Name == QString("K%1").arg(i);
            ASSERT_TRUE(found) << "K" << i << " at " << at.x() << "," << at.y();
        }
}

// A key painted before keeps its rank: the path it left widens nothing.
TEST_F(PageIndexTest, AKeyPaintedBeforeKeepsItsRank)
{
    model->Tables.Clear();
    TDiagramTable *q = AddTable(*model, "S", "Q", 1000, 5000, 100, 80);
    AddTable(*model, "S", "P", 0, 5000, 100, 80);
    AddForeignKey(*q, "Q_TO_P", {"ID"}, "S", "P", {"ID"});
    diagram->Rebuild();
    TPrintDiagram::RenderPage(*diagram, {0, 4900, 1200, 5200});
    ASSERT_EQ(q->LinkPaths.size(), 1u);
    const TPageIndex index;
    // The line runs from (120, 5040) to (980, 5040); its marks reach 37 pixels beside it.
    EXPECT_EQ(index.LinksFor({200, 5070, 201, 5071}).size(), 1u);
    EXPECT_TRUE(index.LinksFor({200, 5079, 201, 5080}).empty());
}

// Keys by the thousand between two boxes of one pixel far apart, read from a
// file: the index holds their line once, however many keys share it.
TEST_F(PageIndexTest, ManyKeysBetweenTinyFarBoxesAreFiledAlongTheirLine)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("page.xml");
    // 40,000 parallel lines 16 pixels apart cover a third of their page: the
    // most it files is about the grid's 65,536 cells, not keys x cells.
    for (const auto &[keys, filed] : {std::pair{100, 1000u}, std::pair{40000, 65536u}}) {
        model->Tables.Clear();
        model->Notes.Clear();
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                         "<marrowtide_diagram version=\"1.1\"><tables>\n";
        for (const char *table : {"A", "B"}) {
            const bool b = table[0] == 'B';
            xml += QString("<table><property name=\"owner\">S</property><property name=\"name\">%1</property>"
                           "<property name=\"left\">%2</property><property name=\"top\">%3</property>"
                           "<property name=\"width\">1</property><property name=\"height\">1</property>"
                           "<foreign_keys>\n")
                       .arg(table)
                       .arg(b ? 700000 : 0)
                       .arg(b ? 1000000 : 0)
                       .toLatin1();
            for (int k = 0; b && k < keys; ++k)
                xml += QString("<foreign_key><property name=\"name\">K%1</property><property "
                               "name=\"ref_table_owner\">S</property><property name=\"ref_table_name\">A</property>"
                               "</foreign_key>\n")
                           .arg(k)
                           .toLatin1();
            xml += "</foreign_keys></table>\n";
        }
        xml += "</tables></marrowtide_diagram>\n";
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(xml), xml.size());
        file.close();
        ASSERT_TRUE(TLoadXMLDiagram::LoadFromFile(name, diagram.get(), false, model));
        diagram->Rebuild();
        const TPageIndex index;
        // The first line runs from A's stub (1, 21) to B's (700000, 999980).
        EXPECT_TRUE(index.Indexed());
        EXPECT_LT(index.Filed(), filed) << keys << " keys";
        const std::vector<TDiagramForeignKey *> found = index.LinksFor({349990, 499990, 350010, 500010});
        ASSERT_EQ(found.size(), std::size_t(keys));
        EXPECT_EQ(found.front()->Name, "K0");
        EXPECT_EQ(found.back()->Name, QString("K%1").arg(keys - 1));
        EXPECT_TRUE(index.LinksFor({100000, 900000, 100100, 900100}).empty());
        EXPECT_EQ(index.BoxesFor({-10, -10, 10, 10}).size(), 1u);
        if (keys <= 100) {
            ExpectPiecesEqual(131, 127, {-150, -150, 374, 358});
            ExpectPiecesEqual(131, 127, {699700, 999700, 700224, 1000208});
        }
    }
}

// Past its bound the index files nothing and pieces are painted as the whole page paints them.
TEST_F(PageIndexTest, PastItsBoundThePageIsPaintedWithoutTheIndex)
{
    diagram->Rebuild();
    EXPECT_FALSE(TPageIndex(10).Indexed());
    EXPECT_EQ(TPageIndex(10).Filed(), 0u);
    EXPECT_TRUE(TPageIndex(1000).Indexed());
    ExpectPiecesEqual(203, 151, {}, 10);
}

} // namespace
