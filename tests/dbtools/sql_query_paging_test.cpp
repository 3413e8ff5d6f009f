// The SQL editor on a result far larger than its grid: pages, the bounded
// window of rows, cancels, and statements that need the waiting connection.
#include "dbtools/sql_query_worker.h"
#include "model/result_set.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <QThread>

#include <functional>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace {

// 107 x 107 x 107 rows.
const char CrossJoin[] = "select a.EMPLOYEE_ID, b.EMPLOYEE_ID, c.EMPLOYEE_ID from employees a, employees b, "
                         "employees c";

class SqlQueryPagingTest : public ::testing::Test {
protected:
    QString Status() { return Form->findChild<QLabel *>("lblStatus")->text(); }
    QScrollBar *Scroll() { return Form->findChild<QTableView *>("sgdResults")->verticalScrollBar(); }
    // Scrolls to the grid's end and waits for the page that asks for.
    void ScrollToEnd()
    {
        Form->findChild<QTableView *>("sgdResults")->scrollToBottom();
        ASSERT_TRUE(WaitForPage(Form));
    }
    void StartCrossJoin()
    {
        Form->RunQuery(CrossJoin);
        ASSERT_TRUE(WaitForPage(Form));
        ASSERT_TRUE(Form->MoreRowsWaiting());
    }

    TConfigFolderScope Config;
    TSampleSessionScope Scope;
    TScopedFakeUserInterface Ui;
    TWindowListStandIn Main;
    QPointer<TfrmSQLQuery> Form = TfrmSQLQuery::Create();
};

} // namespace

// A page at first, another each time the grid is scrolled to its end; beyond
// the window's bound the oldest rows go and the row numbers count on. A cancel
// ends the waiting query at once, without an error box.
TEST_F(SqlQueryPagingTest, PagesOnScrollingAndABoundedWindowOfRows)
{
    StartCrossJoin();
    auto *fetchMore = Form->findChild<QAction *>("actFetchMore");
    EXPECT_EQ(GridRows(Form), TfrmSQLQuery::PageRows);
    EXPECT_EQ(Status(), "500 rows shown; more rows remain.");
    EXPECT_TRUE(fetchMore->isEnabled());
    EXPECT_EQ(GridText(Form, 499, 1) + GridText(Form, 499, 2), "104171") << "499 = 4 * 107 + 71";
    ScrollToEnd();
    EXPECT_EQ(GridRows(Form), 1000);
    EXPECT_EQ(Status(), "1000 rows shown; more rows remain.");

    Form->ResultRows().SetBounds(1200, TResultGridModel::DefaultMaxBytes);
    const qint64 topRow = Scroll()->value();
    fetchMore->trigger();
    ASSERT_TRUE(WaitForPage(Form));
    EXPECT_EQ(Form->ResultRows().FirstKeptRow() + Scroll()->value(), topRow) << "the rows in sight stay";
    EXPECT_EQ(GridRows(Form), 1200);
    EXPECT_EQ(Form->ResultRows().FirstKeptRow(), 300);
    EXPECT_EQ(Form->ResultRows().headerData(0, Qt::Vertical).toString(), "301");
    EXPECT_EQ(Status(), "Rows 301 to 1500 shown; more rows remain.");
    EXPECT_LT(Scroll()->value(), Scroll()->maximum()) << "the end is one more scroll away";
    Scroll()->setValue(Scroll()->maximum() - 1);
    EXPECT_TRUE(Form->MoreRowsWaiting()) << "only the very end asks for more";
    ScrollToEnd();
    EXPECT_EQ(Status(), "Rows 801 to 2000 shown; more rows remain.");

    Form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), "Cancelled; rows 801 to 2000 shown.");
    EXPECT_FALSE(fetchMore->isEnabled());
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

// A query that ends within its pages shows every row, counted from the first.
TEST_F(SqlQueryPagingTest, AResultThatEndsOnAPageBoundaryIsComplete)
{
    Form->RunQuery("select a.EMPLOYEE_ID from employees a, employees b limit 1000");
    ASSERT_TRUE(WaitForPage(Form));
    ScrollToEnd();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), "1000 rows selected.");
    Form->ResultRows().SetBounds(400, TResultGridModel::DefaultMaxBytes);
    EXPECT_EQ(Form->ResultRows().headerData(0, Qt::Vertical).toString(), "601");
}

// The dictionary, a log-off and another window's statement need the
// connection the waiting query holds: the query gives it up and says so.
// The other window's statement runs only once the query has let go, but the
// two runs' last reports may reach their windows in either order.
TEST_F(SqlQueryPagingTest, AWaitingQueryGivesTheConnectionUp)
{
    const QString gaveUp = "500 rows shown; the rest was not fetched: another statement needed the session.";
    StartCrossJoin();
    EXPECT_EQ(Scope.Session->GetOwners()->RowCount(), 6);
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), gaveUp);

    StartCrossJoin();
    QPointer<TfrmSQLQuery> other = TfrmSQLQuery::Create();
    other->RunQuery("select count(*) from HR.REGIONS");
    ASSERT_TRUE(WaitForQuery(other));
    EXPECT_EQ(GridText(other, 0, 0), "5");
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), gaveUp);

    StartCrossJoin();
    Scope.Session->Disconnect();
    ASSERT_TRUE(WaitForQuery(Form));
    EXPECT_EQ(Status(), gaveUp);
    EXPECT_TRUE(Ui.Calls().isEmpty());
}

// Closing the window mid-query ends the worker and leaves the connection free.
TEST_F(SqlQueryPagingTest, ClosingAWaitingQueryFreesTheConnection)
{
    StartCrossJoin();
    Form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Form.isNull());
    EXPECT_EQ(Scope.Session->Connection().Query("select count(*) from HR.REGIONS")->RowCount(), 1);
}

// A script shows a page of each query's rows and goes on with the next statement.
TEST_F(SqlQueryPagingTest, AScriptShowsAPageOfEachQuery)
{
    Form->SetScriptMode(true);
    Form->SetSQLText(QString::fromLatin1(CrossJoin) + ";\nselect 'next' from dual;\n");
    Form->RunQuery();
    ASSERT_TRUE(WaitForQuery(Form));
    const QStringList lines = Form->findChild<QPlainTextEdit *>("memOutput")->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 1 + 1 + 500 + 2 + 1 + 1 + 1 + 2);
    EXPECT_EQ(lines[502], "500 rows shown; the rest was not fetched.");
    EXPECT_EQ(lines[506], "next");
    EXPECT_EQ(Form->findChild<QLabel *>("lblStatus")->text(), "Script finished with 0 errors.");
}

// Rows of huge values are held to the byte bound; the newest row always stays.
TEST(ResultGridModel, TheByteBoundKeepsTheNewestRows)
{
    TResultGridModel model;
    model.Reset({"TEXT"});
    model.SetBounds(100, 10000);
    const QString big(3000, QLatin1Char('x'));
    for (int i = 0; i < 5; ++i)
        model.Append({{QVariant(big + QString::number(i))}});
    EXPECT_EQ(model.KeptRows(), 1);
    EXPECT_EQ(model.CellText(0, 0).right(1), "4");
    model.Append({{QVariant()}, {QVariant("a")}, {QVariant("b")}});
    EXPECT_EQ(model.FirstKeptRow() + model.KeptRows(), 8);
    EXPECT_EQ(model.CellText(1, 0) + "|" + model.CellText(3, 0), "|b") << "a null shows empty";
}

namespace {

// Rows without end, or a statement that runs until it is interrupted.
class TEndlessConnection : public ISqlConnection {
public:
    bool Connected() const override { return true; }
    void Disconnect() override {}
    qint64 Execute(const QString &sql, const TSqlBinds &, ISqlRowSink *sink) override
    {
        ++Arrived;
        const std::lock_guard lock(Busy);
        if (sql == "done") {
            { const TSinkRun run(sink); }
            AfterStatement(); // the connection is not let go yet
            return 0;
        }
        sink->Started();
        if (sql == "rows") {
            sink->Columns({"N"});
            for (qint64 n = 1;; ++n)
                if (!sink->Row({n}))
                    return n;
        }
        while (Interrupts == 0)
            QThread::msleep(1);
        throw ESqlError("interrupted");
    }
    void Interrupt() override { ++Interrupts; }
    bool IsOracleServer() const override { return false; }
    QString Description() const override { return "endless"; }
    std::atomic<int> Interrupts{0};
    std::mutex Busy; // held by another's statement
    std::atomic<int> Arrived{0};
    std::function<void()> AfterStatement;
};

} // namespace

// A running statement is interrupted; a fetch waiting for its window is only
// woken, so no break reaches what runs on the connection next.
TEST(SqlQueryWorker, CancelInterruptsOnlyARunningStatement)
{
    TEndlessConnection connection;
    std::atomic<bool> paused{false}, started{false}, failed{false};
    const QDeadlineTimer guard(30000);
    auto waitFor = [&](std::atomic<bool> &flag) {
        while (!flag && !guard.hasExpired())
            QThread::msleep(1);
        return bool(flag);
    };
    TSqlQueryWorker waiting(nullptr, connection, {"rows"}, 10, true);
    QObject::connect(&waiting, &TSqlQueryWorker::RowsWaiting, &waiting, [&] { paused = true; }, Qt::DirectConnection);
    waiting.start();
    ASSERT_TRUE(waitFor(paused));
    waiting.Cancel();
    ASSERT_TRUE(waiting.wait(30000));
    EXPECT_EQ(connection.Interrupts, 0);

    TSqlQueryWorker running(nullptr, connection, {"long"}, 10, true);
    QObject::connect(&running, &TSqlQueryWorker::StatementStarted, &running, [&] { started = true; },
                     Qt::DirectConnection);
    QObject::connect(&running, &TSqlQueryWorker::StatementFailed, &running, [&] { failed = true; }, Qt::DirectConnection);
    running.start();
    ASSERT_TRUE(waitFor(started));
    // As the window does: again until the statement has taken the cancel.
    while (connection.Interrupts == 0 && !guard.hasExpired()) {
        running.Cancel();
        QThread::msleep(5);
    }
    ASSERT_TRUE(running.wait(30000));
    EXPECT_TRUE(failed);

    // One still waiting for the connection breaks nobody's statement and,
    // once it gets the connection, does not run.
    const int interrupts = connection.Interrupts;
    std::atomic<bool> rows{false};
    connection.Busy.lock();
    TSqlQueryWorker queued(nullptr, connection, {"rows"}, 10, true);
    QObject::connect(&queued, &TSqlQueryWorker::ColumnsArrived, &queued, [&] { rows = true; }, Qt::DirectConnection);
    const int arrived = connection.Arrived;
    queued.start();
    while (connection.Arrived == arrived && !guard.hasExpired())
        QThread::msleep(1);
    queued.Cancel();
    connection.Busy.unlock();
    ASSERT_TRUE(queued.wait(30000));
    EXPECT_EQ(connection.Interrupts, interrupts);
    EXPECT_FALSE(rows);
}

// The window hears of a waiting fetch only once it counts as waiting: a
// cancel sent at once on the news only wakes it.
TEST(SqlQueryWorker, ACancelOnTheNewsOfAWaitingFetchOnlyWakesIt)
{
    TEndlessConnection connection;
    TSqlQueryWorker worker(nullptr, connection, {"rows"}, 10, true);
    QObject::connect(&worker, &TSqlQueryWorker::RowsWaiting, &worker, [&] { worker.Cancel(); }, Qt::DirectConnection);
    worker.start();
    ASSERT_TRUE(worker.wait(30000));
    EXPECT_EQ(connection.Interrupts, 0);
}

// A cancel after the statement ended, before its connection is let go, sends
// no break: it would reach whichever statement takes the connection next.
TEST(SqlQueryWorker, ACancelAfterTheStatementEndedSendsNoBreak)
{
    TEndlessConnection connection;
    TSqlQueryWorker worker(nullptr, connection, {"done"}, 10, true);
    connection.AfterStatement = [&] { worker.Cancel(); };
    worker.start();
    ASSERT_TRUE(worker.wait(30000));
    EXPECT_EQ(connection.Interrupts, 0);
}
