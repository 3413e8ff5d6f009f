#pragma once
// SqliteDictionaryConnection: the data dictionary of an Oracle database kept in
// a SQLite file, attached as schema "sys" so that SYS.ALL_TABLES and the rest
// resolve unchanged; the owners' table data sits in files beside it.
#include "dbtools/sql_connection.h"

#include <sqlite3.h>

#include <atomic>
#include <mutex>

class SqliteDictionaryConnection : public ISqlConnection {
public:
    // Logs the user on to the dictionary file: the user must be one of its
    // users and, where the file keeps passwords, give the right one. Data files
    // named "<stem>.<owner>.db" beside it are attached as schema <owner>, the
    // user's own first so that unqualified names find the user's tables.
    SqliteDictionaryConnection(const QString &dictionaryFile, const QString &user, const QString &password);
    ~SqliteDictionaryConnection() override;

    bool Connected() const override;
    void Disconnect() override;
    qint64 Execute(const QString &sql, const TSqlBinds &binds, ISqlRowSink *sink) override;
    void Interrupt() override;
    bool IsOracleServer() const override { return false; }
    QString Description() const override;

    // True when the path names an existing SQLite database file.
    static bool IsSqliteFile(const QString &path);
    // Oracle's first-rows idiom ("where rownum <= N" closing the statement)
    // as SQLite's "limit N"; other text unchanged.
    static QString TranslateFirstRows(const QString &sql);
    // The schemas to attach from the data files beside the dictionary, in the
    // order they are attached (the user's own first).
    static QStringList DataFiles(const QString &dictionaryFile, const QString &user);

private:
    void Attach(const QString &file, const QString &schema, bool readOnly);
    void CheckLogon(const QString &user, const QString &password);
    // Message, when given, instead of SQLite's last one.
    [[noreturn]] void Raise(int code, const QString &message = {}) const;

    QString m_file;
    std::atomic<sqlite3 *> m_db{nullptr};
    // One statement at a time; the worker thread and the dictionary queries share the connection.
    std::mutex m_execMutex;
    // Guards the handle against being closed under an interrupt.
    mutable std::mutex m_handleMutex;
};
