#pragma once
// TDiagramNote: a free-text note on the page, always 200 x 100 when measured.
#include "model/base_model_object.h"

class TDiagramNote : public TBaseDiagramRectangle {
public:
    void WriteXML(QStringList &list, int indent) const override;
    void Assign(const TBaseModelObject &source) override;
    int CalcWidth(TCanvas *) override { return 200; }
    int CalcHeight(TCanvas *) override { return 100; }

    QString Text;
};
