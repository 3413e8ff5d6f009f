// The main window's page commands reach the canvas controller of the page.
#include "shell_fixture.h"

#include "canvas/os_graphic.h"
#include "model_builders.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>

namespace {

class CanvasActions : public ShellFixture {};

TEST_F(CanvasActions, EditAndDiagramCommandsActOnThePage)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    TDiagramTable *emp = AddTable(*CurrentModel, "HR", "EMP", 80, 40, 200, 100);
    AddColumn(*emp, "ZETA");
    AddColumn(*emp, "ALPHA");
    form.Diagram().Rebuild();
    CurrentModel->Style.FontSize = 8;

    form.Action("actSelectAll")->trigger();
    EXPECT_TRUE(SelectedGraphics->Contains(emp));
    form.Action("actZoomIn")->trigger();
    EXPECT_EQ(QRect(emp->Left, emp->Top, emp->Width, emp->Height), QRect(90, 45, 225, 112));
    form.Action("actSortAllAlpha")->trigger();
    EXPECT_EQ(emp->ColumnSortMethod, 1);
    form.findChild<QAction *>("mniSortByCreation")->trigger();
    EXPECT_EQ(emp->ColumnSortMethod, 0);
    form.Action("actFoldAll")->trigger();
    EXPECT_EQ(emp->Height, 19);

    form.Action("actSelectAll")->trigger();
    form.Action("actCopy")->trigger();
    form.Action("actPaste")->trigger();
    EXPECT_EQ(CurrentModel->Tables.Count(), 2);
    form.Action("actSelectAll")->trigger();
    form.Action("actHide")->trigger();
    EXPECT_EQ(CurrentModel->Tables.Count(), 0);
    EXPECT_EQ(form.StatusPanelText(1), "0 Object(s)");

    // Text that is no diagram: the reader's message, shown as the loop would.
    QApplication::clipboard()->setText("not a diagram");
    form.Action("actPaste")->trigger();
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
}

} // namespace
