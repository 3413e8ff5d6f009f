#pragma once
// TDiagramType: an object type box with its attributes and methods.
#include "model/base_model_object.h"
#include "model/diagram_column.h"
#include "model/model_lists.h"

class TDiagramType : public TBaseDiagramRectangle {
public:
    TDiagramType() : TBaseDiagramRectangle(NoDefaults{}) {}
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    int CalcWidth(TCanvas *canvas) override;
    int CalcHeight(TCanvas *canvas) override;

    QString Owner;
    TAttributeList Attributes;
    TMethodList Methods;
};
