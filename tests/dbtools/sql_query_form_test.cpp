// The SQL editor window on the sample database.
#include "model/result_set.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextCursor>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Runs until the interrupt stops it: only a cancel ends this query.
const char EndlessQuery[] = "with recursive c(x) as (select 1 union all select x + 1 from c) "
                            "select count(*) from c";

class SqlQueryFormTest : public ::testing::Test {
protected:
    TResultGridModel *Grid() { return &Form->ResultRows(); }
    QString Cell(int row, int column) { return GridText(Form, row, column); }
    QString Status() { return Form->findChild<QLabel *>("lblStatus")->text(); }
    void Run(const QString &sql = {})
    {
        Form->RunQuery(sql);
        ASSERT_TRUE(WaitForQuery(Form));
    }

    TConfigFolderScope Config;
    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    TWindowListStandIn Main;
    QPointer<TfrmSQLQuery> Form = TfrmSQLQuery::Create();
};

} // namespace

// Rows arrive through the event loop in batches, nulls empty; the run holds the
// window until they have, though the worker is long done.
TEST_F(SqlQueryFormTest, AQueryFillsTheGridFromTheWorker)
{
    Form->SetSQLText("select EMPLOYEE_ID, LAST_NAME, COMMISSION_PCT from employees order by EMPLOYEE_ID;\n");
    Form->RunQuery();
    QThread::msleep(300);
    EXPECT_TRUE(Form->IsRunning());
    EXPECT_EQ(Grid()->rowCount(), 0);
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ESqlError);
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Grid()->columnCount(), 3);
    ASSERT_EQ(Grid()->rowCount(), 107);
    EXPECT_EQ(Grid()->headerData(1, Qt::Horizontal).toString(), "LAST_NAME");
    EXPECT_EQ(Cell(0, 0) + Cell(0, 1) + "|" + Cell(0, 2), "100King|");
    EXPECT_EQ(Cell(106, 0), "206");
    EXPECT_EQ(Status(), "107 rows selected.");
    Run("select 1 from dual where 0 = 1");
    EXPECT_EQ(QString::number(Grid()->rowCount()) + " " + Status(), "0 0 rows selected.");
}

// The selection runs alone; an error clears the grid; comments run nothing.
TEST_F(SqlQueryFormTest, TheSelectionRunsAloneAndErrorsAreShown)
{
    Form->SetSQLText("select 1 as A from dual\nselect REGION_NAME from HR.REGIONS where REGION_ID = 30");
    auto *editor = Form->findChild<QPlainTextEdit *>("memSQL");
    QTextCursor cursor(editor->document());
    cursor.setPosition(24);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    Run();
    ASSERT_EQ(Grid()->rowCount(), 1);
    EXPECT_EQ(Cell(0, 0), "Asia");
    Run("select NO_COLUMN from HR.REGIONS");
    EXPECT_EQ(Ui.Messages(), QStringList({"no such column: NO_COLUMN"}));
    EXPECT_EQ(Status(), "Error: no such column: NO_COLUMN");
    EXPECT_EQ(Grid()->rowCount(), 0);
    Form->SetSQLText("  -- only a comment\n");
    Form->RunQuery();
    EXPECT_FALSE(Form->IsRunning());
    EXPECT_EQ(Status(), "Nothing to run.");
}

// Each statement's text, rows, count or error in the output, and no box.
TEST_F(SqlQueryFormTest, ScriptModeRunsEveryStatementIntoTheOutput)
{
    Form->SetScriptMode(true);
    Form->SetSQLText("/**\n  *  generated\n  */\n\ncreate table NOTES (ID integer, TEXT varchar2(20))\n/\n"
                     "insert into NOTES values (1, 'a;b');\ninsert into NOTES values (2, 'second');\n"
                     "select * from NOTES order by ID;\nselect * from MISSING;\ndelete from NOTES\n/\n");
    Run();
    expectGolden("sql_script_output.txt", Form->findChild<QPlainTextEdit *>("memOutput")->toPlainText().toUtf8());
    EXPECT_EQ(Status(), "Script finished with 1 error.");
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

// Listed, above the main window only (boxes come above it), unlisted when
// closed. The user's statement is kept, a (generated) script is not.
TEST_F(SqlQueryFormTest, AWindowAboveTheMainWindowThatKeepsTheLastStatement)
{
    EXPECT_TRUE(Form->isVisible() && !Form->isModal());
    EXPECT_EQ(Form->windowType(), Qt::Tool);
    EXPECT_EQ(Form->parentWidget(), &Main);
    EXPECT_FALSE(Form->windowFlags() & Qt::WindowStaysOnTopHint);
    Run("select * from HR.REGIONS");
    EXPECT_EQ(TfrmSQLQuery::LastSQLFileName(), Config.Folder.filePath("marrowtide_last.sql"));
    TfrmSQLQuery *next = TfrmSQLQuery::Create();
    EXPECT_EQ(Form->windowTitle() + "|" + next->windowTitle(), "SQL Editor ~ 1|SQL Editor ~ 2");
    Form->SetScriptMode(true);
    Run("select 2 from dual");
    next->LoadLastSQL();
    EXPECT_EQ(next->SQLText(), "select * from HR.REGIONS");
    // Typing replaces the statement; it does not go in front of it.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QCoreApplication::sendEvent(next->findChild<QPlainTextEdit *>("memSQL"), &key);
    EXPECT_EQ(next->SQLText(), "x");
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("select 'é' from dual");
    next->LoadSQLFromStream(stream);
    EXPECT_EQ(next->SQLText(), QString::fromUtf8("select 'é' from dual"));
    next->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Main.Open, QList<QWidget *>({Form.data()}));
}

// A dropped connection is told whether or not the statement had started; a
// cancel says so; closing the window mid-query neither crashes nor kills the
// thread: the worker stops on its own and frees the connection.
TEST_F(SqlQueryFormTest, DroppedConnectionsCancelsAndClosingWhileAQueryRuns)
{
    Form->RunQuery(EndlessQuery);
    ASSERT_TRUE(Form->IsRunning());
    Scope.Session->Disconnect();
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_TRUE(Ui.Messages()[0] == "ORA-01013: user requested cancel of current operation" ||
                Ui.Messages()[0] == "ORA-03114: not connected to ORACLE")
        << Ui.Messages()[0].toStdString();
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ENotConnected);
    EXPECT_FALSE(Form->IsRunning());

    auto fresh = OpenSampleSession();
    DatabaseSession = fresh;
    Ui.Clear();
    Form->RunQuery(EndlessQuery);
    Form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), "Cancelled.");
    EXPECT_TRUE(Ui.Calls().isEmpty());
    Run("select 7 from dual");
    EXPECT_EQ(Cell(0, 0), "7");
    Form->RunQuery(EndlessQuery);
    Form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Form.isNull() && Main.Open.isEmpty());
    EXPECT_EQ(fresh->Connection().Query("select count(*) from HR.REGIONS")->GetRow(0)->GetCell(0)->Value(), 5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

// A cancel that reaches the statement while it runs (its columns have come) is
// no error either: the server's "user requested cancel" shows in no box.
TEST_F(SqlQueryFormTest, CancellingARunningStatementShowsNoError)
{
    Form->RunQuery(EndlessQuery);
    const QDeadlineTimer guard(30000);
    while (Grid()->columnCount() == 0 && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_EQ(Grid()->columnCount(), 1);
    Form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_TRUE(Ui.Calls().isEmpty()) << Ui.Messages().join('\n').toStdString();
    EXPECT_EQ(Status(), "Cancelled.");
}
