// Foreign-key links: stubs, crow's feet, the mandatory bar, parallel offsets,
// self loops and colours read back from pixels; captions by where they were placed.
#include "canvas_fixture.h"
#include "test_data.h"

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
    TDiagramTable *referenced = nullptr;
    TDiagramTable *owning = nullptr;
};

TEST_F(LinkTest, ColoursStubsFeetBarsAndSidesAsTabled)
{
    for (const QStringList &c : readCases("canvas/links.txt")) {
        SCOPED_TRACE(c.join(" | ").toStdString());
        const QList<int> place = caseInts(c[0]);
        owning->Left = place[0], owning->Top = place[1];
        owning->ForeignKeys.Clear();
        for (int key = 0; key < c[3].section(' ', 0, 0).toInt(); ++key)
            Reference(QString("FK%1").arg(key), c[1].split(' '), c[3].endsWith(" T") ? "T" : "R", c[2]);
        diagram->Rebuild();
        ExpectProbes(Links(500, 500).Image, QString(c[4]).replace("=N", "=00A000"));
    }
}

TEST_F(LinkTest, RanksCountPerTableAndCaptionsStepTwelveDown)
{
    TDiagramForeignKey *first = Reference("FK1");
    Reference("FK2");
    // A key back from R to T ranks in R's own list.
    AddColumn(*referenced, "T_ID");
    AddForeignKey(*referenced, "BACK", {"T_ID"}, "S", "T", {"ID"});
    diagram->Rebuild();
    for (int repaint = 0; repaint < 2; ++repaint)
        ExpectPixels(Links().Image, {{200, 166, NoAction}, {200, 158, Background}});
    ASSERT_EQ(owning->LinkPaths.size(), 2u);
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

TEST_F(LinkTest, SelfLoopsRankInTurnWithTheirCaptionsBesideTheCorners)
{
    for (int i = 1; i <= 5; ++i)
        Reference(QString("SELF%1").arg(i), {"R_ID"}, "T");
    owning->Left = 200; // corners (200,100) (300,100) (300,200) (200,200)
    diagram->Rebuild();
    Links();
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
