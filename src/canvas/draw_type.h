#pragma once
// TDrawType: paints an object type box (title, attributes, methods) into a
// rectangle of any canvas.
#include "platform/rect.h"

class TCanvas;
class TDiagramType;

class TDrawType {
public:
    static void Draw(TCanvas &canvas, const TRect &rect, TDiagramType *type);
};
