#include "canvas/os_base_table.h"

#include "canvas/draw_table.h"
#include "model/diagram_table.h"

TOSBaseTable::TOSBaseTable(TOSDiagram *diagram, TDiagramTable *table) : TOSGraphic(diagram, table)
{
}

TDiagramTable *TOSBaseTable::Table() const
{
    return static_cast<TDiagramTable *>(ModelObject);
}

void TOSBaseTable::PaintInto(TCanvas &canvas, const TRect &rect, double)
{
    TDrawTable::Draw(canvas, rect, Table());
}
