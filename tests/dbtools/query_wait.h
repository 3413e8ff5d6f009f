#pragma once
// Lets the event loop run until the SQL editor's run has ended, so the queued
// rows and errors of its worker have arrived. The guard only keeps a broken
// build from hanging; no test depends on how long a run takes.
#include "dbtools/sql_query_form.h"

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
