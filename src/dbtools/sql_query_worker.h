#pragma once
// TSqlQueryWorker: runs the SQL editor's statements on a thread of its own and
// hands statements, rows and errors to the window through queued signals. A
// query hands over only the rows its window asked for and then waits, holding
// its cursor, until the window asks for more, the run is cancelled or another
// statement claims the connection.
#include "dbtools/sql_connection.h"
#include "model/database_session.h"

#include <QList>
#include <QThread>

#include <atomic>

class TSqlQueryWorker : public QThread {
    Q_OBJECT
public:
    // Holds the session, so that a new logon while the statements run does
    // not take the connection away from under them. A query hands over
    // `firstRows` rows at first; beyond them it waits for FetchMore, or, when
    // `waitForMore` is false, ends its fetch there.
    TSqlQueryWorker(IDatabaseSessionPtr session, ISqlConnection &connection, QStringList statements, int firstRows,
                    bool waitForMore);

    // Asks the running statement to stop; no later statement starts. Any thread.
    void Cancel();
    bool Cancelled() const { return m_cancelled; }
    // Lets the waiting query hand over that many rows more. Any thread.
    void FetchMore(int rows);

    // Rows are handed over in batches of this many.
    static constexpr int RowBatch = 100;

signals:
    void StatementStarted(int index, const QString &statement);
    void ColumnsArrived(int index, const QStringList &names);
    void RowsArrived(int index, const QList<QVariantList> &rows);
    // Every row asked for is handed over and at least one more exists; the
    // query waits for FetchMore.
    void RowsWaiting(int index);
    // Rows handed over by a query, or rows changed by any other statement;
    // `complete` is false when a query ended before its last row.
    void StatementDone(int index, qint64 rows, bool isQuery, bool complete);
    void StatementFailed(int index, const QString &message);

protected:
    void run() override;

private:
    friend class TBatchSink;
    // Called by the fetch with the row beyond those allowed in hand; true
    // when it may go on.
    bool WaitForMore(int index, qint64 handed);
    qint64 Allowed() const { return m_allowed; }
    void SetExecuting(bool value);

    IDatabaseSessionPtr m_session;
    ISqlConnection &m_connection;
    const QStringList m_statements;
    const bool m_waitForMore;
    const int m_firstRows;
    std::atomic<bool> m_cancelled{false};
    // Rows the running query may hand over; guarded by the claims' mutex.
    std::atomic<qint64> m_allowed{0};
    // Whether a statement runs and whether it waits for the window; guarded
    // by the claims' mutex.
    bool m_executing = false;
    bool m_waiting = false;
};
