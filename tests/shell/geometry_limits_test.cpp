// Positions and sizes at the ends of the stored number range: a page holding
// them opens, shows, scrolls, exports its overview and saves back unchanged.
#include "shell_fixture.h"

#include "model_builders.h"
#include "model/xml_text.h"
#include "platform/rect.h"

namespace {

// Shown positions stop exactly at the limit on both sides; sizes at zero.
static_assert(ClampShown(kMaxShownExtent) == kMaxShownExtent && ClampShown(kMaxShownExtent + 1LL) == kMaxShownExtent);
static_assert(ClampShown(-kMaxShownExtent) == -kMaxShownExtent && ClampShown(-kMaxShownExtent - 1LL) == -kMaxShownExtent);
static_assert(ClampShownSize(-1) == 0 && ClampShownSize(7) == 7);

void AddExtremes(TDiagramObjectModel &model)
{
    AddColumn(*AddTable(model, "HR", "FAR_RIGHT", INT_MAX, INT_MAX, 120, 80), "ID");
    AddColumn(*AddTable(model, "HR", "FAR_LEFT", INT_MIN, INT_MIN, 120, 80), "ID");
    AddColumn(*AddTable(model, "HR", "HUGE", 40, 60, INT_MAX, INT_MAX), "ID");
    AddColumn(*AddTable(model, "HR", "NEGATIVE", 300, 20, INT_MIN, INT_MIN), "ID");
    TDiagramTable *child = AddTable(model, "HR", "CHILD", 200, 200, 100, 60);
    AddColumn(*child, "PARENT_ID");
    AddForeignKey(*child, "CHILD_FAR", {"PARENT_ID"}, "HR", "FAR_RIGHT", {"ID"});
    AddForeignKey(*child, "CHILD_LEFT", {"PARENT_ID"}, "HR", "FAR_LEFT", {"ID"});
    auto *note = new TDiagramNote();
    note->Text = "edge";
    note->Left = INT_MIN, note->Top = INT_MAX, note->Width = INT_MAX, note->Height = 30;
    model.Notes.Add(note);
}

TEST_F(ShellFixture, BoxesAtTheEndsOfTheNumberRangeSurviveARoundTrip)
{
    const QString first = Temp.filePath("extremes.xml");
    {
        TDiagramObjectModel model;
        model.Name = "Extremes";
        model.Style.SetDefaultStyle();
        AddExtremes(model);
        TXmlText::SaveLines(model.BuildDiagramXml(true), first);
    }

    Tfrmgui &form = StartWithCanvas({"file=" + first});
    ASSERT_EQ(CurrentModel->Tables.Count(), 5);
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Left, INT_MAX);
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Top, INT_MIN);

    auto *scroll = Find<QScrollArea>("sboxDiagram");
    ASSERT_NE(scroll, nullptr);
    // The surface reaches the far box as far as a window can, no further.
    EXPECT_EQ(scroll->widget()->width(), kMaxShownExtent);
    EXPECT_EQ(scroll->widget()->height(), kMaxShownExtent);
    for (QScrollBar *bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()}) {
        bar->setValue(bar->maximum());
        bar->setValue(bar->minimum());
        bar->setValue(bar->maximum() / 2);
    }
    QImage shown(form.size(), QImage::Format_RGB32);
    form.render(&shown);
    form.Diagram().Rebuild();
    form.render(&shown);

    const QString second = Temp.filePath("again.xml");
    CurrentModel->FileName = second;
    CurrentModel->SaveModelToFile(true);
    EXPECT_EQ(ReadFile(second), ReadFile(first));
    EXPECT_TRUE(Ui.Messages().isEmpty()) << Ui.Messages().join('\n').toStdString();
}

} // namespace
