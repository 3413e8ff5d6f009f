#pragma once
// ISqlConnection: the one small interface through which the Oracle session
// runs its SQL, whether on an Oracle server or on the SQLite dictionary.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

class TOSResultSet;

// A failure of the connection or of a statement, with the database's own text.
class ESqlError : public std::runtime_error {
public:
    explicit ESqlError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString Message() const { return QString::fromStdString(what()); }
};

// The connection broke under a statement (the server went away, the
// dictionary file vanished): the connection now counts as logged off.
class ESqlConnectionLost : public ESqlError {
public:
    explicit ESqlConnectionLost(const QString &reason);
};

// Named values for the ":name" placeholders of a statement, without the colon.
using TSqlBinds = std::vector<std::pair<QString, QVariant>>;

// Receives the rows of a statement as they are fetched.
class ISqlRowSink {
public:
    virtual ~ISqlRowSink() = default;
    // Once the statement holds the connection, before it runs: a break from
    // then on can only reach this statement.
    virtual void Started() {}
    // Once the statement has ended, while it still holds the connection: a
    // break from then on could only reach the next statement.
    virtual void Finished() {}
    // Once, before the first row, with the result's column names.
    virtual void Columns(const QStringList &names) = 0;
    // One row, one value per column; false stops the fetch.
    virtual bool Row(const QVariantList &values) = 0;
};

// Held by a connection around one statement of a sink: tells the sink when
// the statement has the connection and when it is done with it.
class TSinkRun {
public:
    explicit TSinkRun(ISqlRowSink *sink) : m_sink(sink)
    {
        if (m_sink)
            m_sink->Started();
    }
    ~TSinkRun()
    {
        if (m_sink)
            m_sink->Finished();
    }
    TSinkRun(const TSinkRun &) = delete;
    TSinkRun &operator=(const TSinkRun &) = delete;

private:
    ISqlRowSink *m_sink;
};

class ISqlConnection {
public:
    virtual ~ISqlConnection() = default;

    virtual bool Connected() const = 0;
    virtual void Disconnect() = 0;
    // Runs one statement; rows of a query go to the sink (which may be null).
    // Returns the rows fetched or changed. Safe to call from a worker thread
    // while no other statement runs on the connection.
    virtual qint64 Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink) = 0;
    // Asks a running statement to stop; callable from any thread.
    virtual void Interrupt() = 0;
    // True on a real Oracle server (which can produce its own DDL).
    virtual bool IsOracleServer() const = 0;
    // What the connection is, for the console: "SQLite dictionary <file>", ...
    virtual QString Description() const = 0;

    // Runs a query and keeps all its rows.
    std::unique_ptr<TOSResultSet> Query(const QString &sql, const TSqlBinds &binds = {});

    // Told, on the thread that noticed it, each time a connection is lost;
    // the program goes offline. nullptr removes it.
    using TConnectionLostHook = std::function<void()>;
    static void SetConnectionLostHook(TConnectionLostHook hook);

protected:
    // Tells the hook and raises; the caller has already marked itself logged off.
    [[noreturn]] static void RaiseConnectionLost(const QString &reason);
};
