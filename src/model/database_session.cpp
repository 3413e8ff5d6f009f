#include "model/database_session.h"

#include "model/diagram_table.h"
#include "model/result_set.h"

#include <algorithm>

std::vector<std::unique_ptr<TDiagramTable>> IDatabaseSession::GetTables(const QString &owner,
                                                                        const QStringList &tableNames)
{
    std::vector<std::unique_ptr<TDiagramTable>> tables;
    tables.reserve(tableNames.size());
    for (const QString &name : tableNames)
        tables.push_back(GetTable(owner, name));
    return tables;
}

TTablesRead ReadTablesAhead(IDatabaseSession &session, const std::vector<std::pair<QString, QString>> &tables)
{
    std::vector<std::pair<QString, QStringList>> owners;
    for (const auto &table : tables) {
        const QString &owner = table.first;
        const QString &name = table.second;
        auto group = std::find_if(owners.begin(), owners.end(), [&](const auto &o) { return o.first == owner; });
        if (group == owners.end())
            group = owners.insert(owners.end(), {owner, {}});
        if (!group->second.contains(name))
            group->second << name;
    }
    TTablesRead read;
    for (const auto &[owner, names] : owners) {
        std::vector<std::unique_ptr<TDiagramTable>> found = session.GetTables(owner, names);
        for (qsizetype i = 0; i < names.size(); ++i)
            read[{owner, names[i]}] = std::move(found[size_t(i)]);
    }
    return read;
}

quint8 ReferencedKind(const TOSResultSet &rows, int row)
{
    const int column = rows.IndexOfColumn(QStringLiteral("REF_OBJECT_TABLE"));
    return column >= 0 && rows.GetRow(row)->GetCell(column)->Value().toInt() != 0 ? 1 : 0;
}
