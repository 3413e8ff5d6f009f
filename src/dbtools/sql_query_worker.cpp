#include "dbtools/sql_query_worker.h"

#include <exception>

namespace {

// Gathers rows into batches and sends them on; stops when cancelled.
class TBatchSink : public ISqlRowSink {
public:
    TBatchSink(TSqlQueryWorker &worker, int index) : m_worker(worker), m_index(index) {}

    void Columns(const QStringList &names) override
    {
        m_isQuery = true;
        emit m_worker.ColumnsArrived(m_index, names);
    }
    bool Row(const QVariantList &values) override
    {
        m_batch.append(values);
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

private:
    TSqlQueryWorker &m_worker;
    int m_index;
    QList<QVariantList> m_batch;
    bool m_isQuery = false;
};

} // namespace

TSqlQueryWorker::TSqlQueryWorker(IDatabaseSessionPtr session, ISqlConnection &connection, QStringList statements)
    : m_session(std::move(session)), m_connection(connection), m_statements(std::move(statements))
{
    qRegisterMetaType<QList<QVariantList>>();
}

void TSqlQueryWorker::Cancel()
{
    m_cancelled = true;
    m_connection.Interrupt();
}

void TSqlQueryWorker::run()
{
    for (int i = 0; i < m_statements.size() && !m_cancelled; ++i) {
        emit StatementStarted(i, m_statements[i]);
        TBatchSink sink(*this, i);
        try {
            const qint64 rows = m_connection.Execute(m_statements[i], {}, &sink);
            sink.Flush();
            emit StatementDone(i, rows, sink.IsQuery());
        } catch (const std::exception &e) {
            sink.Flush();
            emit StatementFailed(i, QString::fromUtf8(e.what()));
        }
    }
}
