#pragma once
// TTableDraft: the table wizard's pages as plain text rows, checked as a whole
// and turned into a table only when nothing is wrong with them.
#include <QString>
#include <QStringList>

#include <vector>

class TDiagramTable;

struct TColumnDraft {
    QString Name;
    QString TypeText;
    bool Nullable = true;
    QString DefaultValue;
    QString Comment;
    // The column's stored type when the row came from an existing table: an
    // unchanged type text keeps it as it was, even a type the parser does not know.
    bool HasOriginalType = false;
    QString OriginalDataType;
    int OriginalLength = 0;
    int OriginalPrecision = 0;
    int OriginalScale = 0;
};

struct TKeyDraft {
    QString Name;
    QString Kind; // "PRIMARY" or "UNIQUE"
    QString Columns; // comma list
};

struct TForeignKeyDraft {
    QString Name;
    QString Columns;
    QString RefTable; // OWNER.NAME, or NAME alone
    QString RefColumns; // empty: the referenced table's primary key
    QString OnDelete; // empty, NO ACTION, CASCADE or SET NULL
    // The table the key referenced when the row came from an existing table
    // (empty for a new row or a reference of the table to itself). While the
    // row still names it, the key stays valid when that table is not on the
    // page: its referenced columns, which must be named, are taken as given.
    QString KeptRefOwner;
    QString KeptRefName;
};

struct TCheckDraft {
    QString Name;
    QString Condition;
};

struct TIndexDraft {
    QString Name;
    QString Type; // NORMAL, BITMAP or UNIQUE
    QString Columns;
};

class TTableDraft {
public:
    // The rows of an existing table.
    static TTableDraft FromTable(const TDiagramTable &table);
    // The key columns a foreign key to Table takes when it names none: the
    // primary key's, else the first unique key's; empty when it has no key.
    static QStringList DefaultRefColumns(const TDiagramTable &table);
    static QStringList SplitList(const QString &commaList);
    // Forgets the link paths of foreign keys the table no longer has or that
    // reference another table now.
    static void DropStaleLinkPaths(TDiagramTable &table);

    // Every problem, in page order; empty when the draft may become a table.
    // PageTables are the other tables a foreign key may reference.
    QStringList Validate(const std::vector<const TDiagramTable *> &pageTables) const;
    // Replaces the table's name, owner, comment and parts by the draft's;
    // the box's place and flags stay. Call only on a draft that
    // validated against the same PageTables.
    void ApplyTo(TDiagramTable &table, const std::vector<const TDiagramTable *> &pageTables) const;

    QString Name;
    QString Owner;
    QString Comment;
    std::vector<TColumnDraft> Columns;
    std::vector<TKeyDraft> Keys;
    std::vector<TForeignKeyDraft> ForeignKeys;
    std::vector<TCheckDraft> Checks;
    std::vector<TIndexDraft> Indexes;

private:
    struct TRefTarget {
        QString Owner;
        QString Name;
        QStringList RefColumns;
        QString Error;
    };
    TRefTarget ResolveReference(const TForeignKeyDraft &key,
                                const std::vector<const TDiagramTable *> &pageTables) const;
    QStringList KeyColumnSets() const;
    void CheckColumns(QStringList &errors) const;
    void CheckConstraints(QStringList &errors, const std::vector<const TDiagramTable *> &pageTables) const;
    void CheckIndexes(QStringList &errors) const;
    void CheckColumnList(QStringList &errors, const QString &what, const QString &list) const;
};
