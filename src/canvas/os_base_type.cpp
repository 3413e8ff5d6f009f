#include "canvas/os_base_type.h"

#include "canvas/draw_type.h"
#include "model/diagram_type.h"

TOSBaseType::TOSBaseType(TOSDiagram *diagram, TDiagramType *type) : TOSGraphic(diagram, type)
{
}

void TOSBaseType::PaintInto(TCanvas &canvas, const TRect &rect, double)
{
    TDrawType::Draw(canvas, rect, static_cast<TDiagramType *>(ModelObject));
}
