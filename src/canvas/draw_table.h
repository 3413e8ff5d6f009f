#pragma once
// TDrawTable: paints a table or object table box (header, columns, key marks,
// outline and shadow) into a rectangle of any canvas.
#include "platform/rect.h"

class TCanvas;
class TDiagramTable;

class TDrawTable {
public:
    static void Draw(TCanvas &canvas, const TRect &rect, TDiagramTable *table);

    TRect Rect;
    TDiagramTable *Table = nullptr;
    TCanvas *Canvas = nullptr;
    int HeaderHeight = 0;

private:
    TDrawTable(TCanvas &canvas, const TRect &rect, TDiagramTable *table);
    void DrawHeader();
    void DrawColumns();
    void DrawKeyMark(const TRect &cell, const QString &mark);
};

// The two-tone gradient of box headers: 256 strips from black to pure blue over
// the band, each strip (w + 255) div 256 pixels wide.
void DrawTwoToneBand(TCanvas &canvas, const TRect &band);
// Text centred in a rectangle: its left edge.
int CentredLeft(TCanvas &canvas, const TRect &rect, const QString &text);
