// The main window's editing keys act on the page only while the focus is in
// the main window: in a tool window above it they do that window's own work.
#include "shell_fixture.h"

#include "canvas/os_diagram.h"
#include "dbtools/result_grid_model.h"
#include "dbtools/sql_query_form.h"
#include "model_builders.h"

// The key as typed with the focus on the widget: shortcuts get it first.
static void Type(QWidget *focus, const QKeySequence &keys)
{
    QApplication::setActiveWindow(focus->window());
    focus->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), focus);
    QKeyEvent press(QEvent::KeyPress, keys[0].key(), keys[0].keyboardModifiers());
    QApplication::sendEvent(focus, &press);
}

TEST_F(ShellFixture, EditingKeysInAToolWindowLeaveThePageAlone)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    TDiagramTable *emp = AddTable(*CurrentModel, "HR", "EMP", 80, 40, 200, 100);
    AddTable(*CurrentModel, "HR", "DEPT", 380, 40, 200, 100);
    form.Diagram().Rebuild();
    SelectedGraphics->Add(emp);

    TResultGridModel &rows = TfrmSQLQuery::Create()->ResultRows();
    auto *grid = Find<QTableView>("sgdResults");
    rows.Reset({"ID", "NAME", "CITY"});
    rows.Append({{1, "Ann", "Oslo"}, {2, "Bo", "Rome"}, {3, "Cy", "Bonn"}});
    grid->selectionModel()->select(QItemSelection(rows.index(0, 1), rows.index(1, 2)), QItemSelectionModel::Select);
    for (const QKeySequence keys : {QKeySequence::Delete, QKeySequence::Cut, QKeySequence::Copy})
        Type(grid, keys);
    EXPECT_EQ(QApplication::clipboard()->text(), "Ann\tOslo\nBo\tRome");
    Type(grid, QKeySequence::SelectAll);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 9);
    EXPECT_EQ(CurrentModel->Tables.Count(), 2);
    EXPECT_EQ(SelectedGraphics->Count(), 1);

    ConsoleForm->show();
    auto *console = ConsoleForm->findChild<QPlainTextEdit *>("memConsole");
    console->selectAll();
    Type(console, QKeySequence::Copy);
    EXPECT_THAT(QApplication::clipboard()->text().toStdString(), HasSubstr("Loaded preferences file"));

    // The page still takes them.
    Type(CurrentDiagram->Surface, QKeySequence::Copy);
    EXPECT_THAT(QApplication::clipboard()->text().toStdString(), HasSubstr("EMP"));
    Type(CurrentDiagram->Surface, QKeySequence::Delete);
    ASSERT_EQ(CurrentModel->Tables.Count(), 1);
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Name, "DEPT");
}
