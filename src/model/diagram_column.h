#pragma once
// TDiagramColumn: a table column; TDiagramAttribute and TDiagramMethod: the
// attributes and methods of an object type.
#include "model/base_model_object.h"

class TDiagramColumn : public TBaseDiagramObject {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;

    // The one-text type, such as NUMBER(10,2) or VARCHAR2(30).
    QString GetDataTypeText() const;
    // The column's line inside CREATE TABLE: the name padded or cut to Width.
    QString GetDdlText(int width) const;
    static QString FormatDataType(const QString &dataType, int precision, int length, int scale);

    QString DataType;
    int DataLength = 0;
    int DataPrecision = 0;
    int DataScale = 0;
    bool IsNullable = false;
    QString DefaultValue;
    int Sequence = 0;
};

class TDiagramAttribute : public TBaseDiagramObject {
public:
    void WriteXML(QStringList &, int) const override {}
    QString GetDataTypeText() const;

    QString DataType;
    int DataLength = 0;
    int DataPrecision = 0;
    int DataScale = 0;
};

class TDiagramMethod : public TBaseDiagramObject {
public:
    void WriteXML(QStringList &, int) const override {}
};
