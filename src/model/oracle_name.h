#pragma once
// How a name is written into SQL the program sends or generates: a plain
// upper-case identifier as it is, any other name in double quotes, so that a
// quote or blank inside a name can never end the name and start more SQL.
#include <QString>

namespace OracleName {

// Words the server refuses as unquoted names, whatever the object.
bool IsReservedWord(const QString &word);

// True when Name may stand unquoted: A-Z first, then A-Z, 0-9, _, $ or #,
// and not a reserved word.
bool IsPlain(const QString &name);

// Name as it goes into SQL. A name already written in double quotes (as the
// table wizard accepts it) with no quote inside is kept as it is; an empty
// name stays empty, as there is nothing in it to protect.
QString Quote(const QString &name);

// "OWNER.NAME" with each part quoted as needed; an empty owner gives the name alone.
QString Qualified(const QString &owner, const QString &name);

} // namespace OracleName
