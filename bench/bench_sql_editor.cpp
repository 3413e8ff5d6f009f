// The SQL editor on a result of 1.2 million rows (HR's employees joined three
// times on the sample database): the grid scrolled page by page to the last
// row, the same query cancelled while it fetches, and the window closed while
// its query waits. Reports the process's peak and the memory back after the
// window has closed (with and without handing free heap back to the system),
// beside the memory before the run, and how long a cancel takes to end a run.
#include "dbtools/oracle_session.h"
#include "dbtools/login_manager.h"
#include "dbtools/result_grid_model.h"
#include "dbtools/sql_query_form.h"
#include "generator/offscreen_main.h"
#include "generator/peak_memory.h"
#include "model/model_globals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QScrollBar>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

const char CrossJoin[] = "select * from employees a, employees b, employees c";

double ResidentMegabytes(bool trim)
{
    if (trim)
        malloc_trim(0);
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void Settle(TfrmSQLQuery *form)
{
    const QDeadlineTimer guard(120000);
    while (form && form->IsRunning() && !form->MoreRowsWaiting() && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void WaitEnded(QPointer<TfrmSQLQuery> &form)
{
    const QDeadlineTimer guard(120000);
    while (form && form->IsRunning() && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Closes the window and lets its worker and its rows go.
void CloseAndDrain(QPointer<TfrmSQLQuery> &form)
{
    form->close();
    for (int i = 0; i < 50; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// The sample database beside the benchmark's folder in the build.
void LogOn()
{
    if (DatabaseSession)
        return;
    const QString file = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../sample.db"));
    DatabaseSession = TOracleSession::Open({QStringLiteral("hr"), QStringLiteral("hr"), file});
    // What the first window of all sets up once (fonts, style) is not the query's.
    QPointer<TfrmSQLQuery> form = TfrmSQLQuery::Create();
    form->RunQuery(QStringLiteral("select * from employees"));
    WaitEnded(form);
    CloseAndDrain(form);
}

enum TEnding { ScrollToEnd, CancelWhileFetching, CloseWhileWaiting };

void BM_SqlEditorCrossJoin(benchmark::State &state)
{
    LogOn();
    const auto ending = TEnding(state.range(0));
    double before = 0, peak = 0, after = 0, afterTrim = 0, cancelMs = 0;
    qint64 rows = 0;
    for (auto _ : state) {
        before = ResidentMegabytes(true);
        ResetPeakMemory();
        QPointer<TfrmSQLQuery> form = TfrmSQLQuery::Create();
        form->SetSQLText(QString::fromLatin1(CrossJoin));
        form->RunQuery();
        auto *grid = form->findChild<QTableView *>(QStringLiteral("sgdResults"));
        QElapsedTimer fetching;
        fetching.start();
        Settle(form);
        while (form->IsRunning()) {
            if (ending == CancelWhileFetching && fetching.elapsed() > 3000) {
                // Ask for a page and cancel while it is on its way.
                grid->scrollToBottom();
                QElapsedTimer cancel;
                cancel.start();
                form->CancelQuery();
                WaitEnded(form);
                cancelMs = double(cancel.nsecsElapsed()) / 1e6;
                break;
            }
            if (ending == CloseWhileWaiting && fetching.elapsed() > 3000)
                break;
            const qint64 had = form->ResultRows().TotalRows();
            grid->scrollToBottom();
            Settle(form);
            if (form->ResultRows().TotalRows() == had && form->MoreRowsWaiting()) {
                state.SkipWithError("scrolling to the end fetched nothing");
                break;
            }
        }
        rows = form->ResultRows().TotalRows();
        peak = PeakMemoryMegabytes();
        CloseAndDrain(form);
        after = ResidentMegabytes(false);
        afterTrim = ResidentMegabytes(true);
    }
    state.counters["rows"] = double(rows);
    state.counters["before_MB"] = before;
    state.counters["peak_MB"] = peak;
    state.counters["after_close_MB"] = after;
    state.counters["after_close_trim_MB"] = afterTrim;
    if (ending == CancelWhileFetching)
        state.counters["cancel_ms"] = cancelMs;
}

} // namespace

BENCHMARK(BM_SqlEditorCrossJoin)
    ->ArgName("ending")
    ->Arg(ScrollToEnd)
    ->Arg(CancelWhileFetching)
    ->Arg(CloseWhileWaiting)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) { return RunOffscreenBenchmarks(argc, argv); }
