#pragma once
// TOSBaseTable: the box of a table; TOSBaseObjectTable: the box of an object table.
#include "canvas/os_graphic.h"

class TDiagramTable;

class TOSBaseTable : public TOSGraphic {
    Q_OBJECT
public:
    TOSBaseTable(TOSDiagram *diagram, TDiagramTable *table);
    void PaintInto(TCanvas &canvas, const TRect &rect, double scaleX) override;
    TDiagramTable *Table() const;
};

class TOSBaseObjectTable : public TOSBaseTable {
    Q_OBJECT
public:
    using TOSBaseTable::TOSBaseTable;
};
