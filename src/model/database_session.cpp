#include "model/database_session.h"

#include "model/diagram_table.h"

std::vector<std::unique_ptr<TDiagramTable>> IDatabaseSession::GetTables(const QString &owner,
                                                                        const QStringList &tableNames)
{
    std::vector<std::unique_ptr<TDiagramTable>> tables;
    tables.reserve(tableNames.size());
    for (const QString &name : tableNames)
        tables.push_back(GetTable(owner, name));
    return tables;
}
