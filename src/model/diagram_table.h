#pragma once
// TDiagramTable: a table box with its columns, keys, constraints, indexes and
// the link paths that spread parallel foreign-key lines; TDiagramObjectTable:
// a table made of an object type.
#include "model/base_model_object.h"
#include "model/diagram_column.h"
#include "model/diagram_index.h"
#include "model/diagram_key.h"
#include "model/link_paths.h"
#include "model/model_lists.h"

#include <memory>
#include <vector>

enum TColumnSortMethod : quint8 { csmCreation = 0, csmAlpha = 1, csmKeys = 2 };

class TDiagramTable : public TBaseDiagramRectangle {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    int CalcWidth(TCanvas *canvas) override;
    int CalcHeight(TCanvas *canvas) override;
    // The CREATE TABLE script of the table, with "/" lines when AddTerminator.
    virtual QString GetDDL(bool addTerminator) const;

    bool IsKeyColumn(const QString &columnName) const;
    // Whether the box shows the column (all of them, or only key columns).
    bool IsColumnShown(const TDiagramColumn &column) const;

    void AddLinkPath(const QString &refTableName, const QString &refTableOwner, int rank,
                     const QString &keyName);
    void RemoveLinkPath(const QString &keyName);
    bool HasLinkPath(const QString &refTableName, const QString &refTableOwner, int rank,
                     const QString &keyName) const;
    // Gives the key the lowest rank no other key to the same table holds, and
    // remembers it; returns the rank.
    int RankLinkPath(const TDiagramForeignKey &key);

    // Delta scripts: this table is the original.
    QString BuildAlterDdl(const TDiagramTable &target) const;
    QString BuildDatabaseDeltaDdl() const;
    void SetIsVirtual(bool value);
    // Setting the flag checks that the table exists in the database.
    void SetReloadFromDatabase(bool value);
    bool ReloadFromDatabase() const { return m_reloadFromDatabase; }
    // Stores the flag alone, without asking the database (a file being read).
    void StoreReloadFromDatabase(bool value) { m_reloadFromDatabase = value; }
    // Empties the table of its parts.
    void Clear();

    QString Owner;
    TOSColumnList Columns;
    TOSPrimaryKeyList PrimaryKeys;
    TOSForeignKeyList ForeignKeys;
    TOSUniqueKeyList UniqueKeys;
    TOSCheckConstraintList CheckConstraints;
    TOSIndexList Indexes;
    TLinkPathList LinkPaths;
    bool ShowOnlyKeyColumns = false;
    bool Partitioned = false;
    bool HideDataTypes = false;
    bool HideComments = false;
    quint8 ColumnSortMethod = csmCreation;

protected:
    bool m_reloadFromDatabase = false;
};

class TDiagramObjectTable : public TDiagramTable {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    int CalcHeight(TCanvas *canvas) override;
    QString GetDDL(bool addTerminator) const override;

    QString TypeOwner;
    QString TypeName;
};
