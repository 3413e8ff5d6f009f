#pragma once
// TOSBaseType: the box of an object type.
#include "canvas/os_graphic.h"

class TDiagramType;

class TOSBaseType : public TOSGraphic {
    Q_OBJECT
public:
    TOSBaseType(TOSDiagram *diagram, TDiagramType *type);
    void PaintInto(TCanvas &canvas, const TRect &rect, double scaleX) override;
};
