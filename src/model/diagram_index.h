#pragma once
// TDiagramIndex and TDiagramCheckConstraint: the indexes and check
// constraints of a table.
#include "model/base_model_object.h"

class TDiagramCheckConstraint : public TBaseDiagramObject {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    QString GetDDL(const QString &tableOwner, const QString &tableName) const;

    QString CheckText;
};

class TDiagramIndex : public TBaseDiagramObject {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    // The index names its table by its own TableOwner and TableName.
    QString GetDDL(const QString &tableOwner, const QString &tableName) const;

    QString Owner;
    QStringList Columns;
    QString IndexType;
    QString TableName;
    QString TableOwner;
};
