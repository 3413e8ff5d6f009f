// The main window's page commands reach the canvas controller of the page;
// what each does to the boxes is the canvas's own to check.
#include "shell_fixture.h"

#include "canvas/os_graphic.h"
#include "model_builders.h"

TEST_F(ShellFixture, EditAndDiagramCommandsActOnThePage)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    TDiagramTable *emp = AddTable(*CurrentModel, "HR", "EMP", 80, 40, 200, 100);
    AddColumn(*emp, "ZETA");
    AddColumn(*emp, "ALPHA");
    form.Diagram().Rebuild();
    form.Action("actSelectAll")->trigger();
    EXPECT_TRUE(SelectedGraphics->Contains(emp));
    form.Action("actZoomIn")->trigger();
    EXPECT_EQ(QRect(emp->Left, emp->Top, emp->Width, emp->Height), QRect(90, 45, 225, 112));
    form.Action("actSortAllAlpha")->trigger();
    EXPECT_EQ(emp->ColumnSortMethod, 1);
    Find<QAction>("mniSortByCreation")->trigger();
    EXPECT_EQ(emp->ColumnSortMethod, 0);
    form.Action("actFoldAll")->trigger();
    EXPECT_LT(emp->Height, 112);

    for (const char *command : {"actSelectAll", "actCopy", "actPaste"})
        form.Action(command)->trigger();
    EXPECT_EQ(CurrentModel->Tables.Count(), 2);
    for (const char *command : {"actSelectAll", "actHide"})
        form.Action(command)->trigger();
    EXPECT_EQ(CurrentModel->Tables.Count(), 0);
    EXPECT_EQ(form.StatusPanelText(1), "0 Object(s)");

    // Text that is no diagram: the reader's message, shown as the loop would.
    QApplication::clipboard()->setText("not a diagram");
    form.Action("actPaste")->trigger();
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
}
