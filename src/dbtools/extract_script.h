#pragma once
// TExtractScript: what the schema extractor needs to write a script a server
// runs from top to bottom: the order of types (each after the types it is
// made of), and table DDL with its foreign keys apart, for the end of the
// script where every table they name exists.
#include <QString>
#include <QStringList>

#include <vector>

class TOracleSession;

namespace TExtractScript {

// One type using another ("OWNER.NAME" both): as an attribute's or element's
// type, as its supertype, or through a REF.
struct TTypeUse {
    QString Type;
    QString Used;
    bool ByRef = false;
};

struct TOrderedType {
    QString Name;
    // Types a REF of this one names before they are made: declared (incomplete)
    // just before it.
    QStringList Declare;
};

// The uses among the types of the owner, from the dictionary; an inherited
// attribute counts once, at the supertype.
std::vector<TTypeUse> ReadTypeUses(TOracleSession &session, const QString &owner);

// The types in an order where each comes after every listed type it holds by
// value or extends. REFs need only a declaration; a cycle of REFs is broken by
// one. Names not in the list are taken to exist already. Ties keep the list's order.
std::vector<TOrderedType> OrderTypes(const QStringList &names, const std::vector<TTypeUse> &uses);

// The statement that declares a type ahead of its definition.
QString DeclarationDDL(const QString &qualifiedName);

struct TTableDDL {
    QString Ddl;
    // ALTER TABLE statements of the table's foreign keys; empty without any.
    QString ForeignKeys;
};

// A table's or object table's DDL without its foreign keys, which come apart.
// On the SQLite dictionary the DDL also names, in comments, the indexes the
// model leaves out. On a server, ForeignKeysApart must be in force.
TTableDDL TableDDL(TOracleSession &session, int nodeCode, const QString &qualifiedName);

// On a server: whether its table DDL leaves the foreign keys out (for this
// session, until switched back). Nothing on the SQLite dictionary.
void ForeignKeysApart(TOracleSession &session, bool apart);

} // namespace TExtractScript
