#pragma once
// TSqlQueryWorker: runs the SQL editor's statements on a thread of its own and
// hands statements, rows and errors to the window through queued signals.
#include "dbtools/sql_connection.h"
#include "model/database_session.h"

#include <QList>
#include <QThread>

#include <atomic>

class TSqlQueryWorker : public QThread {
    Q_OBJECT
public:
    // Holds the session, so that a new logon while the statements run does
    // not take the connection away from under them.
    TSqlQueryWorker(IDatabaseSessionPtr session, ISqlConnection &connection, QStringList statements);

    // Asks the running statement to stop; no later statement starts. Any thread.
    void Cancel();
    bool Cancelled() const { return m_cancelled; }

    // Rows are handed over in batches of this many.
    static constexpr int RowBatch = 100;

signals:
    void StatementStarted(int index, const QString &statement);
    void ColumnsArrived(int index, const QStringList &names);
    void RowsArrived(int index, const QList<QVariantList> &rows);
    // Rows fetched by a query, or rows changed by any other statement.
    void StatementDone(int index, qint64 rows, bool isQuery);
    void StatementFailed(int index, const QString &message);

protected:
    void run() override;

private:
    IDatabaseSessionPtr m_session;
    ISqlConnection &m_connection;
    const QStringList m_statements;
    std::atomic<bool> m_cancelled{false};
};
