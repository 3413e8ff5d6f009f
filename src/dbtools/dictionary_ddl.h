#pragma once
// TDictionaryDDL: the DDL of views, types, sequences and synonyms made from
// their rows in the data dictionary, for a database that cannot write its
// own (the SQLite stand-in). Program units keep their source outside the
// dictionary views read here, so they have none.
#include <QString>

class TOracleSession;

namespace TDictionaryDDL {

// True for the kinds ("VIEW", "TYPE", "SEQUENCE", "SYNONYM") built here.
bool Builds(const QString &kind);
// The statement, ending in a line holding "/". Raises when the dictionary
// has no such object.
QString Build(TOracleSession &session, const QString &kind, const QString &owner, const QString &name);

} // namespace TDictionaryDDL
