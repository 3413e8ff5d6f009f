#pragma once
// TTableRefresh: replaces a table's columns, keys, constraints and indexes by
// those the database holds now, keeping the table's identity, place and size.
class TDiagramTable;

class TTableRefresh {
public:
    TTableRefresh() = delete;
    // False, after telling the user, when the session is offline or the
    // database has no such table; the table is then unchanged. Session errors
    // reach the caller. The caller rebuilds the page afterwards.
    static bool RefreshFromDatabase(TDiagramTable &table);
};
