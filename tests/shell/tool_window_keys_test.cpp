// The main window's editing keys act on the page only while the focus is in
// the main window: in a tool window above it they do that window's own work.
#include "shell_fixture.h"

#include "canvas/os_diagram.h"
#include "dbtools/result_grid.h"
#include "dbtools/result_grid_model.h"
#include "dbtools/sql_query_form.h"
#include "model_builders.h"

namespace {

// The key as typed with the focus on the widget: shortcuts get it first.
void Type(QWidget *focus, const QKeySequence &keys)
{
    QApplication::setActiveWindow(focus->window());
    focus->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), focus);
    QKeyEvent press(QEvent::KeyPress, keys[0].key(), keys[0].keyboardModifiers());
    QApplication::sendEvent(focus, &press);
}

QModelIndex Cell(const QAbstractItemModel &model, int row, int column) { return model.index(row, column); }

} // namespace

TEST_F(ShellFixture, EditingKeysInAToolWindowLeaveThePageAlone)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    TDiagramTable *emp = AddTable(*CurrentModel, "HR", "EMP", 80, 40, 200, 100);
    AddTable(*CurrentModel, "HR", "DEPT", 380, 40, 200, 100);
    form.Diagram().Rebuild();
    SelectedGraphics->Add(emp);

    TfrmSQLQuery *editor = TfrmSQLQuery::Create();
    TResultGridModel &rows = editor->ResultRows();
    rows.Reset({"ID", "NAME", "NOTE"});
    rows.Append({{1, "Ann", "a\tb"}, {2, "Bo", QVariant()}, {3, "Cy", "say \"hi\"\nbye"}});
    auto *grid = editor->findChild<QTableView *>("sgdResults");
    grid->selectionModel()->select(QItemSelection(Cell(rows, 0, 1), Cell(rows, 2, 2)), QItemSelectionModel::Select);
    for (const QKeySequence keys : {QKeySequence::Delete, QKeySequence::Cut, QKeySequence::Paste, QKeySequence::Copy})
        Type(grid, keys);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "Ann\t\"a\tb\"\nBo\t\nCy\t\"say \"\"hi\"\"\nbye\"");
    Type(grid, QKeySequence::SelectAll);
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().size(), 9);
    EXPECT_EQ(CurrentModel->Tables.Count(), 2);
    EXPECT_EQ(SelectedGraphics->Count(), 1);

    ConsoleForm->btnClearClick();
    ConsoleForm->AddLine("Logged on as HR.");
    ConsoleForm->show();
    auto *console = ConsoleForm->findChild<QPlainTextEdit *>("memConsole");
    QTextCursor cursor(console->document());
    cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor, 3);
    console->setTextCursor(cursor);
    Type(console, QKeySequence::Copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "Logged on as ");

    // The page still takes them.
    Type(CurrentDiagram->Surface, QKeySequence::Copy);
    EXPECT_THAT(QApplication::clipboard()->text().toStdString(), HasSubstr("EMP"));
    Type(CurrentDiagram->Surface, QKeySequence::Delete);
    ASSERT_EQ(CurrentModel->Tables.Count(), 1);
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Name, "DEPT");
}
