// Link geometry read back from pixels: stubs, crow's feet, the mandatory bar,
// parallel offsets, self loops and colours by delete rule.
#include "canvas_fixture.h"

#include "canvas/draw_link.h"

namespace {

constexpr TColor Background = 0xFFFFFF;

class LinkPixelsTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.ShowLinkDescription = false;
        model->Style.NoActionColour = 0x00A000;
        referenced = AddTable(*model, "S", "R", 10, 100, 100, 100); // centre (60, 150)
        AddColumn(*referenced, "ID", "NUMBER", 0, 0, 0, false);
        owning = AddTable(*model, "S", "T", 300, 100, 100, 100); // centre (350, 150)
        AddColumn(*owning, "R_ID", "NUMBER", 0, 0, 0, true);
        AddColumn(*owning, "R_ID2", "NUMBER", 0, 0, 0, false);
    }
    QImage Links()
    {
        QImage image = WhiteImage(500, 300);
        TCanvas canvas(&image);
        diagram->DrawLinks(canvas, 0, 0, 1.0, 1.0);
        return image;
    }
    // True when any pixel within one pixel of (x, y) has the colour.
    static bool Near(const QImage &image, int x, int y, TColor colour)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (At(image, x + dx, y + dy) == colour)
                    return true;
        return false;
    }

    TDiagramTable *referenced = nullptr;
    TDiagramTable *owning = nullptr;
};

TEST_F(LinkPixelsTest, ColourFollowsTheDeleteRuleExactly)
{
    struct Case {
        const char *rule;
        TColor colour;
    } cases[] = {{"CASCADE", 0x0000FF}, {"SET NULL", 0x000080}, {"cascade", 0x00A000},
                 {"NO ACTION", 0x00A000}, {"", 0x00A000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.rule);
        owning->ForeignKeys.Clear();
        owning->LinkPaths.clear();
        AddForeignKey(*owning, "FK", {"R_ID"}, "S", "R", {"ID"}, c.rule);
        diagram->Rebuild();
        const QImage image = Links();
        EXPECT_EQ(At(image, 200, 150), c.colour); // the line between the stubs
        EXPECT_EQ(At(image, 120, 150), c.colour); // the referenced end's stub
        EXPECT_EQ(At(image, 290, 150), c.colour); // the referencing end's stub
    }
}

TEST_F(LinkPixelsTest, CrowsFootAtTheReferencingEndOnly)
{
    AddForeignKey(*owning, "FK", {"R_ID"}, "S", "R", {"ID"});
    diagram->Rebuild();
    const QImage image = Links();
    // Feet from (300, 144) and (300, 156) to (286, 150).
    EXPECT_TRUE(Near(image, 293, 147, 0x00A000));
    EXPECT_TRUE(Near(image, 293, 153, 0x00A000));
    EXPECT_EQ(At(image, 299, 140), Background);
    // The referenced end (right side of R, x 110..130) has none.
    EXPECT_EQ(At(image, 117, 146), Background);
    EXPECT_EQ(At(image, 117, 154), Background);
    // Nullable columns only: no mandatory bar at x = 288.
    EXPECT_EQ(At(image, 288, 143), Background);
    EXPECT_EQ(At(image, 288, 157), Background);
}

TEST_F(LinkPixelsTest, OneNotNullColumnGivesTheMandatoryBar)
{
    AddForeignKey(*owning, "FK", {"R_ID", "R_ID2"}, "S", "R", {"ID", "ID"});
    diagram->Rebuild();
    const QImage image = Links();
    EXPECT_EQ(At(image, 288, 143), 0x00A000);
    EXPECT_EQ(At(image, 288, 157), 0x00A000);
    EXPECT_EQ(At(image, 288, 140), Background);
}

TEST_F(LinkPixelsTest, ParallelLinksAreSixteenPixelsApartAndKeepTheirRanks)
{
    AddForeignKey(*owning, "FK1", {"R_ID"}, "S", "R", {"ID"});
    AddForeignKey(*owning, "FK2", {"R_ID"}, "S", "R", {"ID"});
    // A key back from R to T ranks in R's own list.
    AddColumn(*referenced, "T_ID");
    AddForeignKey(*referenced, "BACK", {"T_ID"}, "S", "T", {"ID"});
    diagram->Rebuild();
    for (int repaint = 0; repaint < 2; ++repaint) {
        const QImage image = Links();
        EXPECT_EQ(At(image, 200, 150), 0x00A000);
        EXPECT_EQ(At(image, 200, 166), 0x00A000);
        EXPECT_EQ(At(image, 200, 158), Background);
    }
    ASSERT_EQ(owning->LinkPaths.size(), 2u);
    EXPECT_EQ(owning->LinkPaths[0]->Rank, 1);
    EXPECT_EQ(owning->LinkPaths[1]->Rank, 2);
    ASSERT_EQ(referenced->LinkPaths.size(), 1u);
    EXPECT_EQ(referenced->LinkPaths[0]->Rank, 1);
}

TEST_F(LinkPixelsTest, VerticalNeighboursLinkTopToBottom)
{
    owning->Left = 10;
    owning->Top = 300 - 60; // below R: 240..340, centre (60, 290)
    AddForeignKey(*owning, "FK", {"R_ID"}, "S", "R", {"ID"});
    diagram->Rebuild();
    QImage image = WhiteImage(500, 400);
    {
        TCanvas canvas(&image);
        diagram->DrawLinks(canvas, 0, 0, 1, 1);
    }
    // R leaves by its bottom (200..220), T enters by its top (240 up to 220).
    EXPECT_EQ(At(image, 60, 210), 0x00A000);
    EXPECT_EQ(At(image, 60, 230), 0x00A000);
    EXPECT_TRUE(Near(image, 57, 233, 0x00A000)); // a foot on T's top
}

TEST_F(LinkPixelsTest, CoincidentCentresLeaveByTheLeftSide)
{
    owning->Left = 10;
    owning->Top = 100;
    AddForeignKey(*owning, "FK", {"R_ID"}, "S", "R", {"ID"});
    diagram->Rebuild();
    const QImage image = Links();
    EXPECT_EQ(At(image, 0, 150), 0x00A000); // stub from (10, 150) to (-10, 150)
    EXPECT_EQ(At(image, 60, 150), Background);
}

TEST_F(LinkPixelsTest, SelfLoopsTakeTheCornersInTurn)
{
    model->Style.NoActionColour = 0x0000FF;
    for (int i = 1; i <= 5; ++i)
        AddForeignKey(*owning, QString("SELF%1").arg(i), {"R_ID"}, "S", "T", {"ID"});
    owning->Left = 200;
    owning->Top = 100; // corners (200,100) (300,100) (300,200) (200,200)
    diagram->Rebuild();
    const QImage image = Links();
    // Outer halves of the arcs: 15 pixels out from each corner.
    EXPECT_TRUE(Near(image, 315, 100, 0x0000FF)); // first and fifth: top right
    EXPECT_TRUE(Near(image, 300, 85, 0x0000FF));
    EXPECT_TRUE(Near(image, 315, 200, 0x0000FF)); // second: bottom right
    EXPECT_TRUE(Near(image, 200, 215, 0x0000FF)); // third: bottom left
    EXPECT_TRUE(Near(image, 185, 100, 0x0000FF)); // fourth: top left
    // The entry line of the top-right loop at y + 12, from x + 8 to x - 1.
    EXPECT_EQ(At(image, 304, 112), 0x0000FF);
    // The arc of the top-right loop does not run through its ending quarter inside the box.
    EXPECT_EQ(At(image, 290, 111), Background);
    ASSERT_EQ(owning->LinkPaths.size(), 5u);
    EXPECT_EQ(owning->LinkPaths[4]->Rank, 5);
}

TEST_F(LinkPixelsTest, CaptionsOnlyWithTheSwitchButFontAndBrushAlwaysSet)
{
    AddForeignKey(*owning, "FK", {"R_ID"}, "S", "R", {"ID"});
    diagram->Rebuild();
    QImage image = WhiteImage(500, 300);
    TCanvas canvas(&image);
    canvas.Brush.Color = clRed;
    diagram->DrawLinks(canvas, 0, 0, 1, 1);
    EXPECT_EQ(canvas.Brush.Color, model->Style.BackgroundColour);
    EXPECT_EQ(canvas.Font.Name, model->Style.LinkFontName);
    EXPECT_EQ(canvas.Pen.Color, clBlack);
    // No text below the line's label point (205, 150).
    for (int y = 152; y < 166; ++y)
        for (int x = 150; x < 260; ++x)
            ASSERT_EQ(At(image, x, y), Background) << x << "," << y;

    model->Style.ShowLinkDescription = true;
    QImage shown = WhiteImage(500, 300);
    {
        TCanvas c(&shown);
        diagram->DrawLinks(c, 0, 0, 1, 1);
    }
    int textPixels = 0;
    for (int y = 152; y < 166; ++y)
        for (int x = 150; x < 260; ++x)
            textPixels += At(shown, x, y) != Background;
    EXPECT_GT(textPixels, 20);
}

TEST_F(LinkPixelsTest, MissingReferencedTableOrBoxDrawsNothing)
{
    AddForeignKey(*owning, "FK", {"R_ID"}, "S", "GONE", {"ID"});
    diagram->Rebuild();
    QImage image = Links();
    EXPECT_EQ(At(image, 290, 150), Background);
    EXPECT_TRUE(owning->LinkPaths.empty());
}

} // namespace
