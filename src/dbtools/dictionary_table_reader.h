#pragma once
// TDictionaryTableReader: the parts of tables read from the data dictionary,
// either of one table or of all tables of an owner at once. Both read the same
// rows in the same order; only the filter differs, so a table read alone and
// one read with its owner's other tables come out alike.
#include "dbtools/sql_connection.h"

#include <QHash>
#include <QString>

class TOracleSession;
class TDiagramTable;

class TDictionaryTableReader {
public:
    // An empty name reads every table of the owner.
    TDictionaryTableReader(TOracleSession &session, const QString &owner, const QString &name = QString());

    // "alias.OWNER = :owner [and alias.TABLE_NAME = :name]", with other column names where given.
    QString Where(const char *alias, const char *ownerColumn = "OWNER", const char *nameColumn = "TABLE_NAME") const;
    const TSqlBinds &Binds() const { return m_binds; }

    // The tables whose parts are read; rows of other tables are passed over.
    // Each must hold the owner and its name already.
    void Add(TDiagramTable *table);
    bool IsEmpty() const { return m_tables.isEmpty(); }

    void ReadColumns();
    void ReadForeignKeys();
    // Primary and unique keys.
    void ReadKeys();
    void ReadChecks();
    // After the keys: an index that only restates a key is not kept. One the
    // model cannot hold is named on the console, and in LeftOut where given.
    void ReadIndexes(QStringList *leftOut = nullptr);

private:
    TDiagramTable *TableOf(const QVariantList &row) const;

    TOracleSession &m_session;
    QString m_name;
    TSqlBinds m_binds;
    QHash<QString, TDiagramTable *> m_tables;
};
