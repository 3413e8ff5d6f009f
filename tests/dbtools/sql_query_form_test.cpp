// The SQL editor window: queries on the worker thread, script mode, the last
// statement's file, and closing or losing the connection while a query runs.
#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "dbtools/window_registry.h"
#include "model/result_set.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"
#include "test_data.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTableWidget>
#include <QThread>
#include <QTemporaryDir>
#include <QTextCursor>

#include <gtest/gtest.h>

namespace {

// Runs until the interrupt stops it: only a cancel ends this query.
const char EndlessQuery[] = "with recursive c(x) as (select 1 union all select x + 1 from c) "
                            "select count(*) from c";

class Registry : public IWindowRegistry {
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
        TWindowRegistry::Current = &Windows;
        Form = TfrmSQLQuery::Create();
    }
    void TearDown() override
    {
        delete Form.data();
        for (QWidget *w : QList<QWidget *>(Windows.Open))
            delete w;
        TWindowRegistry::Current = nullptr;
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }
    QTableWidget *Grid() { return Form->findChild<QTableWidget *>("sgdResults"); }
    QString Output() { return Form->findChild<QPlainTextEdit *>("memOutput")->toPlainText(); }
    QString Status() { return Form->findChild<QLabel *>("lblStatus")->text(); }

    QTemporaryDir Temp;
    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    Registry Windows;
    QPointer<TfrmSQLQuery> Form;
};

} // namespace

TEST_F(SqlQueryFormTest, OpensOnTopListedAndLeavesTheListWhenClosed)
{
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(Form->windowTitle(), "SQL Editor ~ 1");
    EXPECT_TRUE(Form->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(Form->isModal());
    TfrmSQLQuery *second = TfrmSQLQuery::Create();
    EXPECT_EQ(second->windowTitle(), "SQL Editor ~ 2");
    second->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Windows.Open, QList<QWidget *>({Form.data()}));
}

TEST_F(SqlQueryFormTest, AQueryFillsTheGridFromTheWorker)
{
    Form->SetSQLText("select JOB_ID, JOB_TITLE, MIN_SALARY from HR.JOBS order by JOB_ID;\n");
    Form->RunQuery();
    // The worker is done long before the window hears of it: the run still
    // holds the window until its rows have arrived.
    QThread::msleep(300);
    EXPECT_TRUE(Form->IsRunning());
    EXPECT_EQ(Grid()->rowCount(), 0) << "rows arrive only through the event loop";
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ESqlError);
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Grid()->columnCount(), 3);
    EXPECT_EQ(Grid()->horizontalHeaderItem(1)->text(), "JOB_TITLE");
    ASSERT_EQ(Grid()->rowCount(), 19);
    EXPECT_EQ(Grid()->item(0, 0)->text(), "AC_ACCOUNT");
    EXPECT_EQ(Grid()->item(18, 1)->text(), "Stock Manager");
    EXPECT_EQ(Status(), "19 rows selected.");
    EXPECT_FALSE(Form->IsRunning());

    // More rows than one batch, with nulls shown empty.
    Form->RunQuery("select EMPLOYEE_ID, COMMISSION_PCT from employees order by EMPLOYEE_ID");
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Grid()->rowCount(), 107);
    EXPECT_EQ(Grid()->item(0, 0)->text(), "100");
    EXPECT_EQ(Grid()->item(0, 1)->text(), "");
    EXPECT_EQ(Grid()->item(106, 0)->text(), "206");
}

TEST_F(SqlQueryFormTest, TheSelectionRunsAloneAndErrorsAreShown)
{
    Form->SetSQLText("select 1 as A from dual\nselect REGION_NAME from HR.REGIONS where REGION_ID = 30");
    QTextCursor cursor = Form->findChild<QPlainTextEdit *>("memSQL")->textCursor();
    cursor.setPosition(24);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    Form->findChild<QPlainTextEdit *>("memSQL")->setTextCursor(cursor);
    Form->RunQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    ASSERT_EQ(Grid()->rowCount(), 1);
    EXPECT_EQ(Grid()->item(0, 0)->text(), "Asia");

    Form->RunQuery("select NO_COLUMN from HR.REGIONS");
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Ui.Messages(), QStringList({"no such column: NO_COLUMN"}));
    EXPECT_EQ(Status(), "Error: no such column: NO_COLUMN");
    EXPECT_EQ(Grid()->rowCount(), 0);
}

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
    Form->RunQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    expectGolden("sql_script_output.txt", Output().toUtf8());
    EXPECT_EQ(Status(), "Script finished with 1 error.");
    EXPECT_TRUE(Ui.Calls().isEmpty()) << "a script reports its errors in the output";
}

TEST_F(SqlQueryFormTest, TheLastStatementIsKeptInTheConfigurationFolder)
{
    Form->RunQuery("select * from HR.REGIONS");
    ASSERT_TRUE(WaitForQuery(Form));
    const QString file = Temp.filePath("marrowtide_last.sql");
    EXPECT_EQ(TfrmSQLQuery::LastSQLFileName(), file);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "select * from HR.REGIONS");
    TfrmSQLQuery *next = TfrmSQLQuery::Create();
    next->LoadLastSQL();
    EXPECT_EQ(next->SQLText(), "select * from HR.REGIONS");

    // Scripts are generated text, not the user's statement.
    Form->SetScriptMode(true);
    Form->RunQuery("select 2 from dual");
    ASSERT_TRUE(WaitForQuery(Form));
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
    EXPECT_TRUE(Windows.Open.isEmpty());
    auto rows = Scope.Session->Connection().Query("select count(*) from HR.REGIONS");
    EXPECT_EQ(rows->GetRow(0)->GetCell(0)->Value().toInt(), 5);
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
    EXPECT_FALSE(Form.isNull());
    EXPECT_THROW(Form->RunQuery("select 1 from dual"), ENotConnected);

    // Cancelling by hand says so, and the next query runs.
    auto fresh = OpenSampleSession();
    DatabaseSession = fresh;
    Ui.Clear();
    Form->RunQuery(EndlessQuery);
    Form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), "Cancelled.");
    EXPECT_TRUE(Ui.Calls().isEmpty());
    Form->RunQuery("select 7 from dual");
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Grid()->item(0, 0)->text(), "7");
}
