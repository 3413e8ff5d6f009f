#pragma once
// TPrintDiagram: cuts the current page into printer pages, draws their edges
// on the surface, opens the print preview and prints the pages one by one as
// bitmaps through the banded engine, with a progress window that can cancel.
#include "canvas/print/page_tiling.h"
#include "canvas/print/printer_globals.h"

#include <QImage>

#include <vector>

class QWidget;
class TCanvas;
class TOSDiagram;
class TAbortDialog;
class TPageIndex;

class TPrintDiagram {
public:
    // Rebuilt by every CalcPages.
    std::vector<TRectObject> Pages;

    // The program reaches printing through these; they act on DiagramPrinter.
    static void ShowPreview(QWidget *form);
    static void PrintDiagram(TOSDiagram *diagram, const TPageRange &range = {});
    static void DrawPageBreaks(TCanvas &canvas);

    void CalcPages();
    void GetPagesExtent(int &right, int &bottom) const;
    // The printable area in diagram pixels: printer pixels scaled by the
    // screen's 96 dpi over the printer's resolution. Raises EPrintError when
    // the printer cannot say or reports no resolution.
    void GetPageSize(int &width, int &height);
    void Preview(QWidget *form);
    void Print(TOSDiagram *diagram, const TPageRange &range = {});
    // The engine's progress: shows the percentage; 0 once Cancel was clicked.
    int PrintProgress(int done, int total, void *data);
    void PaintPageEdges(TCanvas &canvas);

    // A page of the diagram as a bitmap of the page's size; with an index of
    // the page, only the boxes and links it finds near the page are visited.
    static QImage RenderPage(TOSDiagram &diagram, const TRect &page, const TPageIndex *index = nullptr);

    // The job title and the texts the user sees.
    static const QString JobTitle;

    // Connects printing to the program: the surface's page edges and the
    // printer orientation of the preferences (applied at once).
    static void InstallHooks(TOSDiagram &diagram);
};

extern TPrintDiagram *const DiagramPrinter;
