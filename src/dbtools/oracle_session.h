#pragma once
// TOracleSession: the database session on an Oracle data dictionary, through
// an Oracle server or its SQLite stand-in; every dictionary query is one SQL
// text for both.
#include "dbtools/dictionary_lister.h"
#include "dbtools/sql_connection.h"
#include "model/database_session.h"

#include <QStringList>

#include <functional>
#include <memory>

struct TLogonValues;

class TOracleSession : public IDatabaseSession, public IDictionaryLister {
public:
    TOracleSession(const TLogonValues &values, std::unique_ptr<ISqlConnection> connection);
    ~TOracleSession() override;

    // A connected session for the values: the SQLite stand-in when the
    // database names an existing SQLite file, otherwise the Oracle client.
    // Raises with the reason when the logon fails.
    static std::shared_ptr<TOracleSession> Open(const TLogonValues &values);

    bool GetConnected() const override;
    QString GetUsername() const override { return m_user; }
    QString GetPassword() const override { return m_password; }
    QString GetDatabase() const override { return m_database; }
    void Disconnect() override;
    std::unique_ptr<TOSResultSet> GetOwners() override;
    QString GetTnsNamesPath() const override;
    std::unique_ptr<TOSResultSet> GetReferencedTables(const QString &owner, const QString &tableName) override;
    std::unique_ptr<TOSResultSet> GetReferencingTables(const QString &owner, const QString &tableName) override;
    QString GetQueryDataSQL(const QString &owner, const QString &tableName) const override;
    std::unique_ptr<TDiagramTable> GetTable(const QString &owner, const QString &tableName) override;
    // GetTable, with the notes on the indexes the model cannot hold added to LeftOut.
    std::unique_ptr<TDiagramTable> ReadTable(const QString &owner, const QString &tableName, QStringList *leftOut);
    std::unique_ptr<TDiagramObjectTable> GetObjectTable(const QString &owner, const QString &tableName) override;
    // Many tables of one owner: read with one set of dictionary queries for
    // all when they are a good share of the owner's tables.
    std::vector<std::unique_ptr<TDiagramTable>> GetTables(const QString &owner, const QStringList &tableNames) override;
    std::unique_ptr<TDiagramType> GetType(const QString &owner, const QString &typeName) override;

    // Lists of an owner's objects (an empty owner means all), ordered by owner
    // and name, as "OWNER.NAME". Kind is the dictionary's object type ("TABLE", "VIEW",
    // "SEQUENCE", "PROCEDURE", ...); tables, object tables and types come from
    // their own views.
    QStringList ListTables(const QString &owner) override;
    QStringList ListObjectTables(const QString &owner) override;
    QStringList ListTypes(const QString &owner) override;
    QStringList ListObjects(const QString &objectType, const QString &owner);
    // The storage tables of nested-table columns (also among ListTables).
    QStringList ListNestedTables(const QString &owner);

    // Runs a dictionary query: written to the console first, raises with the
    // database's message.
    std::unique_ptr<TOSResultSet> DictionaryQuery(const QString &sql, const TSqlBinds &binds = {});
    // The same, handing each row's values, in the order the query selects
    // them, to Each as it is fetched (many rows cost less this way).
    void DictionaryRows(const QString &sql, const TSqlBinds &binds,
                        const std::function<void(const QVariantList &)> &each);
    // A column's length as it was declared, from the dictionary's two lengths.
    static int DeclaredLength(const QString &dataType, int charLength, int dataLength);
    // The connection the SQL editor's worker runs user statements on.
    ISqlConnection &Connection() const { return *m_connection; }

private:
    QStringList ListNames(const QString &sql, TSqlBinds binds, const QString &owner, const QString &nameColumn);
    bool IsWorthReadingInBulk(const QString &owner, qsizetype wanted);
    void CheckConnected() const;

    QString m_user;
    QString m_password;
    QString m_database;
    std::unique_ptr<ISqlConnection> m_connection;
};
