#pragma once
// TOSBaseNote: the box of a note, and the note painter it uses on every canvas.
#include "canvas/os_graphic.h"

class TDiagramNote;

class TOSBaseNote : public TOSGraphic {
    Q_OBJECT
public:
    TOSBaseNote(TOSDiagram *diagram, TDiagramNote *note);
    void PaintInto(TCanvas &canvas, const TRect &rect, double scaleX) override;

    // The note painter: body, outline, folded corner and the text lines.
    static void DrawNote(TCanvas &canvas, const TRect &rect, TDiagramNote *note, int borderWidth, double scaleX);
};
