// The SQL editor window: queries on the worker thread, script mode, the last
// statement's file, and closing or losing the connection while a query runs.
#include "dbtools/window_registry.h"
#include "model/result_set.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTextCursor>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// Runs until the interrupt stops it: only a cancel ends this query.
const char EndlessQuery[] = "with recursive c(x) as (select 1 union all select x + 1 from c) "
                            "select count(*) from c";

// The main window's part: the list of open windows.
class MainWindow : public QWidget, public IWindowRegistry {
public:
    void RegisterOpenWindow(QWidget *form) override { Open << form; }
    void UnregisterOpenWindow(QWidget *form) override { Open.removeAll(form); }
    int NextWindowNumber() const override { return int(Open.size()) + 1; }
    QList<QWidget *> Open;
};

class SqlQueryFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TConfigSettings::SetSettingsFileOverride(Temp.filePath("settings.ini"));
        TConfigSettings::SetProgramFolderOverride(Temp.path());
        TWindowRegistry::Current = &Main;
        Form = TfrmSQLQuery::Create();
    }
    void TearDown() override
    {
        TWindowRegistry::Current = nullptr;
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }
    QTableWidget *Grid() { return Form->findChild<QTableWidget *>("sgdResults"); }
    QString Status() { return Form->findChild<QLabel *>("lblStatus")->text(); }
    void Run(const QString &sql = {})
    {
        Form->RunQuery(sql);
        ASSERT_TRUE(WaitForQuery(Form));
    }

    QTemporaryDir Temp;
    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    MainWindow Main;
    QPointer<TfrmSQLQuery> Form;
};

} // namespace

// On top of the main window only, so message boxes come above it.
TEST_F(SqlQueryFormTest, OpensAboveTheMainWindowListedAndLeavesTheListWhenClosed)
{
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->windowTitle(), "SQL Editor ~ 1");
    EXPECT_EQ(Form->windowType(), Qt::Tool);
    EXPECT_EQ(Form->parentWidget(), &Main);
    EXPECT_FALSE(Form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(Form->isModal());
    TfrmSQLQuery *second = TfrmSQLQuery::Create();
    EXPECT_EQ(second->windowTitle(), "SQL Editor ~ 2");
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Main.Open, QList<QWidget *>({Form.data()}));
}

// Rows arrive only through the event loop, in batches; nulls show empty.
TEST_F(SqlQueryFormTest, AQueryFillsTheGridFromTheWorker)
{
    Form->SetSQLText("select EMPLOYEE_ID, LAST_NAME, COMMISSION_PCT from employees order by EMPLOYEE_ID;\n");
    Form->RunQuery();
    // The worker is done long before the window hears of it: the run holds
    // the window until its rows have arrived.
    QThread::msleep(300);
    EXPECT_TRUE(Form->IsRunning());
    EXPECT_EQ(Grid()->rowCount(), 0);
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ESqlError);
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Grid()->columnCount(), 3);
    EXPECT_EQ(Grid()->horizontalHeaderItem(1)->text(), "LAST_NAME");
    ASSERT_EQ(Grid()->rowCount(), 107);
    EXPECT_EQ(Grid()->item(0, 0)->text() + Grid()->item(0, 1)->text() + "|" + Grid()->item(0, 2)->text(), "100King|");
    EXPECT_EQ(Grid()->item(106, 0)->text(), "206");
    EXPECT_EQ(Status(), "107 rows selected.");
    Run("select 1 from dual where 0 = 1");
    EXPECT_EQ(Grid()->rowCount(), 0);
    EXPECT_EQ(Status(), "0 rows selected.");
}

TEST_F(SqlQueryFormTest, TheSelectionRunsAloneAndErrorsAreShown)
{
    Form->SetSQLText("select 1 as A from dual\nselect REGION_NAME from HR.REGIONS where REGION_ID = 30");
    auto *editor = Form->findChild<QPlainTextEdit *>("memSQL");
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(24);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    editor->setTextCursor(cursor);
    Run();
    ASSERT_EQ(Grid()->rowCount(), 1);
    EXPECT_EQ(Grid()->item(0, 0)->text(), "Asia");

    Run("select NO_COLUMN from HR.REGIONS");
    EXPECT_EQ(Ui.Messages(), QStringList({"no such column: NO_COLUMN"}));
    EXPECT_EQ(Status(), "Error: no such column: NO_COLUMN");
    EXPECT_EQ(Grid()->rowCount(), 0);
}

// Each statement's text, rows, count or error in the output, and no box.
TEST_F(SqlQueryFormTest, ScriptModeRunsEveryStatementIntoTheOutput)
{
    Form->SetScriptMode(true);
    Form->SetSQLText("/**\n  *  generated\n  */\n\n"
                     "create table NOTES (ID integer, TEXT varchar2(20))\n/\n"
                     "insert into NOTES values (1, 'a;b');\n"
                     "insert into NOTES values (2, 'second');\n"
                     "select * from NOTES order by ID;\n"
                     "select * from MISSING;\n"
                     "delete from NOTES\n/\n");
    Run();
    expectGolden("sql_script_output.txt", Form->findChild<QPlainTextEdit *>("memOutput")->toPlainText().toUtf8());
    EXPECT_EQ(Status(), "Script finished with 1 error.");
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

// The user's statement is kept; a script (generated text) is not.
TEST_F(SqlQueryFormTest, TheLastStatementIsKeptInTheConfigurationFolder)
{
    Run("select * from HR.REGIONS");
    EXPECT_EQ(TfrmSQLQuery::LastSQLFileName(), Temp.filePath("marrowtide_last.sql"));
    TfrmSQLQuery *next = TfrmSQLQuery::Create();
    next->LoadLastSQL();
    EXPECT_EQ(next->SQLText(), "select * from HR.REGIONS");
    Form->SetScriptMode(true);
    Run("select 2 from dual");
    next->LoadLastSQL();
    EXPECT_EQ(next->SQLText(), "select * from HR.REGIONS");

    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    stream.write("select 'é' from dual");
    next->LoadSQLFromStream(stream);
    EXPECT_EQ(next->SQLText(), QString::fromUtf8("select 'é' from dual"));
}

TEST_F(SqlQueryFormTest, NothingToRunOrNoSessionSaysSo)
{
    Form->SetSQLText("  -- only a comment\n");
    Form->RunQuery();
    EXPECT_FALSE(Form->IsRunning());
    EXPECT_EQ(Status(), "Nothing to run.");
    Scope.Session->Disconnect();
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ENotConnected);
    EXPECT_FALSE(Form->IsRunning());
}

// The window closes at once; the worker stops on its own and the connection
// is free again afterwards.
TEST_F(SqlQueryFormTest, ClosingWhileAQueryRunsNeitherCrashesNorKillsTheThread)
{
    Form->RunQuery(EndlessQuery);
    ASSERT_TRUE(Form->IsRunning());
    Form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Form.isNull());
    EXPECT_TRUE(Main.Open.isEmpty());
    EXPECT_EQ(Scope.Session->Connection().Query("select count(*) from HR.REGIONS")->GetRow(0)->GetCell(0)->Value(), 5);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

TEST_F(SqlQueryFormTest, ADroppedConnectionMidQueryIsReportedAndTheWindowStays)
{
    Form->RunQuery(EndlessQuery);
    ASSERT_TRUE(Form->IsRunning());
    Scope.Session->Disconnect();
    ASSERT_TRUE(WaitForQuery(Form));
    // Whether the statement had started or not, the user is told.
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_TRUE(Ui.Messages()[0] == "ORA-01013: user requested cancel of current operation" ||
                Ui.Messages()[0] == "ORA-03114: not connected to ORACLE")
        << Ui.Messages()[0].toStdString();
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ENotConnected);

    // Cancelling by hand says so, and the next query runs.
    DatabaseSession = OpenSampleSession();
    Ui.Clear();
    Form->RunQuery(EndlessQuery);
    Form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), "Cancelled.");
    EXPECT_TRUE(Ui.Calls().isEmpty());
    Run("select 7 from dual");
    EXPECT_EQ(Grid()->item(0, 0)->text(), "7");
}
