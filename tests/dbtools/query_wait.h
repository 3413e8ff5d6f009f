#pragma once
// Lets the event loop run until the SQL editor's run has ended, so the queued
// rows and errors of its worker have arrived. The guard only keeps a broken
// build from hanging; no test depends on how long a run takes.
#include "dbtools/result_grid_model.h"
#include "dbtools/sql_query_form.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

inline bool WaitForQuery(TfrmSQLQuery *form)
{
    QEventLoop loop;
    QObject::connect(form, &TfrmSQLQuery::QueryFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    if (form->IsRunning())
        loop.exec();
    return !form->IsRunning();
}

// Until the run has ended or its query waits for the grid to ask for more.
inline bool WaitForPage(TfrmSQLQuery *form)
{
    const QDeadlineTimer guard(30000);
    while (form->IsRunning() && !form->MoreRowsWaiting() && !guard.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return !form->IsRunning() || form->MoreRowsWaiting();
}

// The grid's rows and a cell's text as shown.
inline int GridRows(TfrmSQLQuery *form) { return form->ResultRows().rowCount(); }
inline QString GridText(TfrmSQLQuery *form, int row, int column) { return form->ResultRows().CellText(row, column); }
