#include "canvas/os_base_table.h"

#include "canvas/diagram_menu.h"
#include "canvas/draw_table.h"
#include "model/diagram_table.h"

#include <QContextMenuEvent>
#include <QMenu>

TOSBaseTable::TOSBaseTable(TOSDiagram *diagram, TDiagramTable *table)
    : TOSGraphic(diagram, table), Menu(std::make_unique<TDiagramMenu>())
{
    Menu->Table = table;
}

TOSBaseTable::~TOSBaseTable() = default;

TDiagramTable *TOSBaseTable::Table() const
{
    return static_cast<TDiagramTable *>(ModelObject);
}

void TOSBaseTable::PaintInto(TCanvas &canvas, const TRect &rect, double)
{
    TDrawTable::Draw(canvas, rect, Table());
}

void TOSBaseTable::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu opens on the press: the gesture that press started ends first.
    GraphicMouseUp();
    if (!Menu->Popup)
        Menu->BuildPopup(this);
    Menu->Popup->popup(event->globalPos());
    event->accept();
}
