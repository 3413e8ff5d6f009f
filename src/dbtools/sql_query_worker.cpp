#include "dbtools/sql_query_worker.h"

#include "dbtools/connection_claim.h"

#include <exception>

// Gathers rows into batches and sends them on; waits at the window's bound;
// stops when cancelled.
class TBatchSink : public ISqlRowSink {
public:
    TBatchSink(TSqlQueryWorker &worker, int index, TConnectionClaim &claim)
        : m_worker(worker), m_index(index), m_claim(claim)
    {
    }

    // Until now the statement only waited for the connection, where a break
    // would stop whoever else's statement runs there.
    void Started() override
    {
        m_worker.SetExecuting(true);
        // Cancelled while it waited: the statement does not run at all.
        if (m_worker.Cancelled())
            throw ESqlError(QStringLiteral("ORA-01013: user requested cancel of current operation"));
    }
    // From here a break would reach the next statement on the connection.
    void Finished() override { m_worker.SetExecuting(false); }
    void Columns(const QStringList &names) override
    {
        // The statement has the connection now; from here on it may wait for
        // the window, and must not count as waiting for the connection itself.
        m_claim.Release();
        m_isQuery = true;
        emit m_worker.ColumnsArrived(m_index, names);
    }
    bool Row(const QVariantList &values) override
    {
        if (m_handed >= m_worker.Allowed()) {
            Flush();
            if (!m_worker.WaitForMore(m_index, m_handed)) {
                m_complete = false;
                return false;
            }
        }
        m_batch.append(values);
        ++m_handed;
        if (m_batch.size() >= TSqlQueryWorker::RowBatch)
            Flush();
        return !m_worker.Cancelled();
    }
    void Flush()
    {
        if (m_batch.isEmpty())
            return;
        emit m_worker.RowsArrived(m_index, m_batch);
        m_batch.clear();
    }
    bool IsQuery() const { return m_isQuery; }
    bool Complete() const { return m_complete; }
    qint64 Handed() const { return m_handed; }

private:
    TSqlQueryWorker &m_worker;
    int m_index;
    TConnectionClaim &m_claim;
    QList<QVariantList> m_batch;
    qint64 m_handed = 0;
    bool m_isQuery = false;
    bool m_complete = true;
};

TSqlQueryWorker::TSqlQueryWorker(IDatabaseSessionPtr session, ISqlConnection &connection, QStringList statements,
                                 int firstRows, bool waitForMore)
    : m_session(std::move(session)), m_connection(connection), m_statements(std::move(statements)),
      m_waitForMore(waitForMore), m_firstRows(firstRows)
{
    qRegisterMetaType<QList<QVariantList>>();
}

void TSqlQueryWorker::Cancel()
{
    bool running;
    {
        std::lock_guard lock(TConnectionClaim::Mutex());
        m_cancelled = true;
        running = m_executing && !m_waiting;
        TConnectionClaim::Changed().notify_all();
    }
    // A fetch waiting for the window runs nothing on the connection: waking
    // it is enough, and a break would hit whatever runs there next.
    if (running)
        m_connection.Interrupt();
}

void TSqlQueryWorker::FetchMore(int rows)
{
    std::lock_guard lock(TConnectionClaim::Mutex());
    m_allowed += rows;
    TConnectionClaim::Changed().notify_all();
}

bool TSqlQueryWorker::WaitForMore(int index, qint64 handed)
{
    if (!m_waitForMore || m_cancelled)
        return false;
    // Counted as waiting before the window hears of it: from here a cancel
    // only wakes the fetch, as a break would hit what runs there next.
    {
        std::lock_guard lock(TConnectionClaim::Mutex());
        m_waiting = true;
    }
    emit RowsWaiting(index);
    std::unique_lock lock(TConnectionClaim::Mutex());
    TConnectionClaim::Changed().wait(lock, [&] {
        return m_cancelled || m_allowed > handed || TConnectionClaim::Claimed(m_connection);
    });
    m_waiting = false;
    return !m_cancelled && !TConnectionClaim::Claimed(m_connection);
}

void TSqlQueryWorker::SetExecuting(bool value)
{
    std::lock_guard lock(TConnectionClaim::Mutex());
    m_executing = value;
}

void TSqlQueryWorker::run()
{
    for (int i = 0; i < m_statements.size() && !m_cancelled; ++i) {
        m_allowed = m_firstRows;
        emit StatementStarted(i, m_statements[i]);
        TConnectionClaim claim(m_connection);
        TBatchSink sink(*this, i, claim);
        try {
            const qint64 rows = m_connection.Execute(m_statements[i], {}, &sink);
            SetExecuting(false);
            claim.Release();
            sink.Flush();
            emit StatementDone(i, sink.IsQuery() ? sink.Handed() : rows, sink.IsQuery(), sink.Complete());
        } catch (const std::exception &e) {
            SetExecuting(false);
            claim.Release();
            sink.Flush();
            emit StatementFailed(i, QString::fromUtf8(e.what()));
        }
    }
}
