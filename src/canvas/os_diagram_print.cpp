// The canvas controller's Print command: the print dialog, then printing.
#include "canvas/os_diagram.h"
#include "canvas/print_diagram.h"

#include <QApplication>

void TOSDiagram::Print()
{
    TPageRange range;
    if (!PrintDialogs().Print(QApplication::activeWindow(), range))
        return;
    TPrintDiagram::PrintDiagram(this, range);
}
