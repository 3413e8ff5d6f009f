#pragma once
// TOSBaseTable: the box of a table; TOSBaseObjectTable: the box of an object table.
#include "canvas/os_graphic.h"

#include <memory>

class TDiagramTable;
class TDiagramMenu;

class TOSBaseTable : public TOSGraphic {
    Q_OBJECT
public:
    TOSBaseTable(TOSDiagram *diagram, TDiagramTable *table);
    ~TOSBaseTable() override;
    void PaintInto(TCanvas &canvas, const TRect &rect, double scaleX) override;
    TDiagramTable *Table() const;

    // The table's context menu. Its popup is made the first time it opens:
    // a page holds thousands of boxes, few of which are ever right-clicked.
    std::unique_ptr<TDiagramMenu> Menu;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
};

class TOSBaseObjectTable : public TOSBaseTable {
    Q_OBJECT
public:
    using TOSBaseTable::TOSBaseTable;
};
