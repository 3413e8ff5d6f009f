#pragma once
// OciConnection: a session on an Oracle server through the Oracle client
// library, loaded at run time and resolved by name, so the program runs
// (offline) on machines without a client.
#include "dbtools/sql_connection.h"

#include <QLibrary>

#include <atomic>
#include <memory>
#include <mutex>

namespace oci {
struct OCIStmt;
}
struct TOciApi;
struct TOciHandles;

// Where the client library comes from: the "OCIDLL=" and "ORACLEHOME="
// parameters of the command line, remembered for every later logon.
struct TOciClientSettings {
    QString Library = QStringLiteral("libclntsh.so");
    QString OracleHome;

    // Picks the two parameters out of the program's parameters.
    static TOciClientSettings FromParameters(const QStringList &parameters);
    static TOciClientSettings &Current();
};

class OciConnection : public ISqlConnection {
public:
    // Loads the client library and logs on; raises with the client's message.
    OciConnection(const TOciClientSettings &client, const QString &user, const QString &password,
                  const QString &database);
    ~OciConnection() override;

    bool Connected() const override;
    void Disconnect() override;
    qint64 Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink) override;
    void Interrupt() override;
    bool IsOracleServer() const override { return true; }
    QString Description() const override;

    // The most bytes one value of a query may have; a longer one is refused
    // rather than shown cut short.
    static constexpr qint64 MaxValueBytes = 16 * 1024 * 1024;
    // Sets the date and number formats both sessions show: what the SQLite
    // dictionary holds, so the same row reads the same on either.
    static const char SessionFormats[];

    // The library's file name as the loader is asked for it (ORACLE_HOME/lib
    // first when a home is set and the name has no folder).
    static QString LibraryPath(const TOciClientSettings &client);

private:
    [[noreturn]] void RaiseError(int status) const;
    void Check(int status) const;
    // A query's rows to the sink; the statement is executed.
    qint64 FetchRows(oci::OCIStmt *statement, ISqlRowSink *sink);

    QLibrary m_library;
    std::unique_ptr<TOciApi> m_api;
    std::unique_ptr<TOciHandles> m_handles;
    QString m_database;
    std::mutex m_execMutex;
    // Set when the server was found gone; the handles stay until Disconnect.
    mutable std::atomic<bool> m_lost{false};
};
