#pragma once
// IDatabaseSession: what the model and the windows ask of a database session.
// The Oracle implementation lives with the database tools.
#include "model/model_errors.h"

#include <QString>

#include <QStringList>

#include <map>
#include <memory>
#include <utility>
#include <vector>

class TOSResultSet;
class TDiagramTable;
class TDiagramObjectTable;
class TDiagramType;

class IDatabaseSession {
public:
    virtual ~IDatabaseSession() = default;

    virtual bool GetConnected() const = 0;
    virtual QString GetUsername() const = 0;
    virtual QString GetPassword() const = 0;
    virtual QString GetDatabase() const = 0;
    virtual void Disconnect() = 0;
    // One row per database user, column "OWNER", ordered by name.
    virtual std::unique_ptr<TOSResultSet> GetOwners() = 0;
    virtual QString GetTnsNamesPath() const = 0;
    // Columns "REF_TABLE_OWNER", "REF_TABLE_NAME" and "REF_OBJECT_TABLE" (1
    // when the table named is an object table, else 0; see ReferencedKind).
    virtual std::unique_ptr<TOSResultSet> GetReferencedTables(const QString &owner,
                                                              const QString &tableName) = 0;
    virtual std::unique_ptr<TOSResultSet> GetReferencingTables(const QString &owner,
                                                               const QString &tableName) = 0;
    virtual QString GetQueryDataSQL(const QString &owner, const QString &tableName) const = 0;
    // Never null: a table that does not exist comes back empty and virtual.
    virtual std::unique_ptr<TDiagramTable> GetTable(const QString &owner, const QString &tableName) = 0;
    // The tables of one owner, in the order of the names, each as GetTable
    // gives it; a session may read them together.
    virtual std::vector<std::unique_ptr<TDiagramTable>> GetTables(const QString &owner, const QStringList &tableNames);
    virtual std::unique_ptr<TDiagramObjectTable> GetObjectTable(const QString &owner,
                                                                const QString &tableName) = 0;
    virtual std::unique_ptr<TDiagramType> GetType(const QString &owner, const QString &typeName) = 0;
};

using IDatabaseSessionPtr = std::shared_ptr<IDatabaseSession>;

// Tables read ahead from the database, by owner and name, until added.
using TTablesRead = std::map<std::pair<QString, QString>, std::unique_ptr<TDiagramTable>>;

// The tables (owner, name), each owner's read together (GetTables).
TTablesRead ReadTablesAhead(IDatabaseSession &session, const std::vector<std::pair<QString, QString>> &tables);

// What a row of GetReferencedTables or GetReferencingTables names, as the
// drag lists count kinds: 1 an object table, 0 a table (also when the rows
// do not say).
quint8 ReferencedKind(const TOSResultSet &rows, int row);

// Raised by the model's database operations when no session is connected.
class ENotConnected : public EModelError {
public:
    ENotConnected() : EModelError(QStringLiteral("Not connected to a database.")) {}
};
