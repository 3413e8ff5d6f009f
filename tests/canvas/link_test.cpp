// Foreign-key links: stubs, crow's feet, the mandatory bar, parallel offsets,
// self loops and colours read back from pixels; captions by where they were placed.
#include "canvas_fixture.h"

namespace {

constexpr TColor Background = 0xFFFFFF;
constexpr TColor NoAction = 0x00A000;

class LinkTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        model->Style.ShowLinkDescription = false;
        model->Style.NoActionColour = NoAction;
        referenced = AddTable(*model, "S", "R", 10, 100, 100, 100); // centre (60, 150)
        AddColumn(*referenced, "ID", "NUMBER", 0, 0, 0, false);
        owning = AddTable(*model, "S", "T", 300, 100, 100, 100); // centre (350, 150)
        AddColumn(*owning, "R_ID", "NUMBER", 0, 0, 0, true);
        AddColumn(*owning, "R_ID2", "NUMBER", 0, 0, 0, false);
    }
    TDiagramForeignKey *Reference(const QString &name, const QStringList &columns = {"R_ID"}, const QString &to = "R",
                                  const QString &rule = "NO ACTION")
    {
        return AddForeignKey(*owning, name, columns, "S", to, {"ID"}, rule);
    }
    // True when any pixel within one pixel of (x, y) has the colour.
    static bool Near(const QImage &image, int x, int y, TColor colour)
    {
        for (int d = 0; d < 9; ++d)
            if (At(image, x + d % 3 - 1, y + d / 3 - 1) == colour)
                return true;
        return false;
    }
    TDiagramTable *referenced = nullptr;
    TDiagramTable *owning = nullptr;
};

TEST_F(LinkTest, ColourFollowsTheDeleteRuleExactly)
{
    const std::pair<const char *, TColor> cases[] = {
        {"CASCADE", 0x0000FF}, {"SET NULL", 0x000080}, {"cascade", NoAction}, {"NO ACTION", NoAction}, {"", NoAction}};
    for (const auto &[rule, colour] : cases) {
        SCOPED_TRACE(rule);
        owning->ForeignKeys.Clear();
        Reference("FK", {"R_ID"}, "R", rule);
        diagram->Rebuild();
        // The line between the stubs and the stubs of both ends.
        ExpectPixels(Links().Image, {{200, 150, colour}, {120, 150, colour}, {290, 150, colour}});
    }
}

TEST_F(LinkTest, CrowsFootAtTheReferencingEndAndTheBarForOneNotNullColumn)
{
    for (bool mandatory : {false, true}) {
        SCOPED_TRACE(mandatory);
        owning->ForeignKeys.Clear();
        Reference("FK", mandatory ? QStringList{"R_ID", "R_ID2"} : QStringList{"R_ID"});
        diagram->Rebuild();
        const QImage image = Links().Image;
        // Feet from (300, 144) and (300, 156) to (286, 150); none at the referenced end (R's
        // right side, x 110..130); the bar 16 long across the stub, 12 out from the edge.
        EXPECT_TRUE(Near(image, 293, 147, NoAction));
        EXPECT_TRUE(Near(image, 293, 153, NoAction));
        const TColor bar = mandatory ? NoAction : Background;
        ExpectPixels(image, {{299, 140, Background}, {117, 146, Background}, {117, 154, Background},
                             {288, 143, bar}, {288, 157, bar}, {288, 140, Background}});
    }
}

TEST_F(LinkTest, ParallelLinksSixteenApartLabelsTwelveApartRanksKept)
{
    TDiagramForeignKey *first = Reference("FK1");
    Reference("FK2");
    // A key back from R to T ranks in R's own list.
    AddColumn(*referenced, "T_ID");
    AddForeignKey(*referenced, "BACK", {"T_ID"}, "S", "T", {"ID"});
    diagram->Rebuild();
    for (int repaint = 0; repaint < 2; ++repaint) {
        ExpectPixels(Links().Image, {{200, 150, NoAction}, {200, 166, NoAction}, {200, 158, Background},
                                     {120, 166, NoAction}, {290, 166, NoAction}}); // both ends shift
    }
    ASSERT_EQ(owning->LinkPaths.size(), 2u);
    EXPECT_EQ(owning->LinkPaths[0]->Rank, 1);
    EXPECT_EQ(owning->LinkPaths[1]->Rank, 2);
    ASSERT_EQ(referenced->LinkPaths.size(), 1u);
    EXPECT_EQ(referenced->LinkPaths[0]->Rank, 1);

    // Label point (205, 150 + o); the caption centred on it, 2 below, 12 more per rank.
    model->Style.ShowLinkDescription = true;
    const TPaint recorder = Links();
    const QString caption = first->GetLinkCaption();
    const int width = TFont(model->Style.LinkFontName, model->Style.LinkFontSize).TextWidth(caption);
    ASSERT_EQ(recorder.Texts.size(), 3u); // R's key back comes first
    EXPECT_EQ(recorder.Texts[1].Text, caption);
    EXPECT_EQ(recorder.Texts[1].At, QPoint(205 - width / 2, 152));
    EXPECT_EQ(recorder.Texts[2].At, QPoint(205 - width / 2, 166 + 2 + 12));
}

TEST_F(LinkTest, SidesFollowTheAngleBetweenTheCentres)
{
    Reference("FK");
    // T lower right of R, centres (60, 150) and (350, 270): 22.5 degrees, 21 pixels off
    // the centre line; R is left by its right side below its centre, T entered by its left
    // side above its centre, the line running between the stub ends (130, 171) and (280, 249).
    owning->Top = 220;
    diagram->Rebuild();
    QImage image = Links(500, 400).Image;
    ExpectPixels(image, {{120, 171, NoAction}, {290, 249, NoAction}, {120, 150, Background}, {290, 270, Background}});
    EXPECT_TRUE(Near(image, 205, 210, NoAction));
    EXPECT_TRUE(Near(image, 293, 246, NoAction)); // a foot on T's left
    EXPECT_FALSE(Near(image, 205, 150, NoAction));

    // T below R: R leaves by its bottom (200..220), T is entered by its top (240 up to 220).
    owning->Left = 10;
    owning->Top = 240;
    diagram->Rebuild();
    image = Links(500, 400).Image;
    ExpectPixels(image, {{60, 210, NoAction}, {60, 230, NoAction}});
    EXPECT_TRUE(Near(image, 57, 233, NoAction)); // a foot on T's top

    // Coincident centres: angle 0, out by the left side at the centre's height.
    owning->Top = 100;
    diagram->Rebuild();
    ExpectPixels(Links().Image, {{0, 150, NoAction}, {60, 150, Background}}); // stub (10, 150) to (-10, 150)
}

TEST_F(LinkTest, SelfLoopsTakeTheCornersInTurnWithTheirCaptions)
{
    model->Style.NoActionColour = 0x0000FF;
    for (int i = 1; i <= 5; ++i)
        Reference(QString("SELF%1").arg(i), {"R_ID"}, "T");
    owning->Left = 200; // corners (200,100) (300,100) (300,200) (200,200)
    diagram->Rebuild();
    const QImage image = Links().Image;
    // Outer halves of the arcs: 15 pixels out from each corner.
    EXPECT_TRUE(Near(image, 315, 100, 0x0000FF)); // first and fifth: top right
    EXPECT_TRUE(Near(image, 300, 85, 0x0000FF));
    EXPECT_TRUE(Near(image, 315, 200, 0x0000FF)); // second: bottom right
    EXPECT_TRUE(Near(image, 200, 215, 0x0000FF)); // third: bottom left
    EXPECT_TRUE(Near(image, 185, 100, 0x0000FF)); // fourth: top left
    // The entry line of the top-right loop at y + 12, from x + 8 to x - 1.
    EXPECT_EQ(At(image, 304, 112), 0x0000FF);
    // The arc of the top-right loop runs counter-clockwise, not through its quarter inside the box.
    EXPECT_EQ(At(image, 290, 111), Background);
    ASSERT_EQ(owning->LinkPaths.size(), 5u);
    EXPECT_EQ(owning->LinkPaths[4]->Rank, 5);

    // Captions at the corner's height: right of corners 1 and 2, ending 17 left of 0 and 3.
    model->Style.ShowLinkDescription = true;
    const TPaint recorder = Links();
    const TFont font(model->Style.LinkFontName, model->Style.LinkFontSize);
    ASSERT_EQ(recorder.Texts.size(), 5u);
    const QPoint corners[] = {{300, 100}, {300, 200}, {200, 200}, {200, 100}, {300, 100}};
    for (int i = 0; i < 5; ++i) {
        const QString caption = owning->ForeignKeys.GetForeignKey(i)->GetLinkCaption();
        const int left = corners[i].x() == 300 ? 317 : 200 - 17 - font.TextWidth(caption);
        EXPECT_EQ(recorder.Texts[i].At, QPoint(left, corners[i].y())) << i;
    }
}

TEST_F(LinkTest, CaptionSwitchOffWritesNothingButSetsFontAndBrushAndAMissingTableDrawsNothing)
{
    Reference("FK");
    Reference("LOST", {"R_ID"}, "GONE");
    diagram->Rebuild();
    EXPECT_TRUE(Links().Texts.empty());
    QImage image(10, 10, QImage::Format_RGB32);
    TCanvas canvas(&image);
    canvas.Brush.Color = canvas.Pen.Color = clRed;
    diagram->DrawLinks(canvas, 0, 0, 1, 1);
    EXPECT_EQ(canvas.Brush.Color, model->Style.BackgroundColour);
    EXPECT_EQ(canvas.Font.Name, model->Style.LinkFontName);
    EXPECT_EQ(canvas.Pen.Color, clBlack);
    // The key to a table not on the page has no path and no rank: the other is drawn alone.
    EXPECT_EQ(owning->LinkPaths.size(), 1u);
    ExpectPixels(Links().Image, {{200, 150, NoAction}, {200, 166, Background}});
}

} // namespace
