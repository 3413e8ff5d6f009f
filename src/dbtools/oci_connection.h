#pragma once
// OciConnection: a session on an Oracle server through the Oracle client
// library, loaded at run time and resolved by name, so the program runs
// (offline) on machines without a client.
#include "dbtools/sql_connection.h"

#include <QLibrary>

#include <memory>
#include <mutex>

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

    // The library's file name as the loader is asked for it (ORACLE_HOME/lib
    // first when a home is set and the name has no folder).
    static QString LibraryPath(const TOciClientSettings &client);

private:
    [[noreturn]] void RaiseError(int status) const;

    QLibrary m_library;
    std::unique_ptr<TOciApi> m_api;
    std::unique_ptr<TOciHandles> m_handles;
    QString m_database;
    std::mutex m_execMutex;
};
