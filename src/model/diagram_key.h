#pragma once
// TBaseDiagramKey and its primary, unique and foreign keys: named column lists
// of a table that generate their own constraint DDL.
#include "model/base_model_object.h"

class TDiagramTable;

class TBaseDiagramKey : public TBaseDiagramObject {
public:
    void Assign(const TBaseModelObject &source) override;
    // The ALTER TABLE ... ADD CONSTRAINT text of the key on OwnerName.TableName.
    virtual QString GetDDL(const QString &tableOwner, const QString &tableName) const { return {}; }

    QStringList Columns;
};

class TDiagramPrimaryKey : public TBaseDiagramKey {
public:
    void WriteXML(QStringList &list, int indent) const override;
    QString GetDDL(const QString &tableOwner, const QString &tableName) const override;
};

class TDiagramUniqueKey : public TBaseDiagramKey {
public:
    void WriteXML(QStringList &list, int indent) const override;
    QString GetDDL(const QString &tableOwner, const QString &tableName) const override;
};

class TDiagramForeignKey : public TBaseDiagramKey {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    QString GetDDL(const QString &tableOwner, const QString &tableName) const override;
    // The text drawn along the key's link, from the current page's style.
    QString GetLinkCaption() const;

    QString RefTableOwner;
    QString RefTableName;
    QStringList RefColumns;
    // The table that holds the key; never owned.
    TDiagramTable *Table = nullptr;
    QString OnDelete;
};
