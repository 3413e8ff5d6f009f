#pragma once
// TOverview: the plan view, a scaled-down plan of the whole drawing surface
// with every box outlined and a frame around the part the scroll box shows.
#include "platform/rect.h"

class QAbstractScrollArea;
class TCanvas;
class TOSDiagram;
class TOSGraphic;

// The visible part of the page in plan-view pixels and the plan-view pixels per
// surface pixel, both as the last plan-view paint left them; the plan view's
// mouse handling reads them to scroll the diagram.
extern TRect OverviewViewRect;
extern double OverviewScale;

class TOverview {
public:
    TOverview() = delete;

    // Paints the plan of the diagram's surface into width x height of the
    // canvas (through an off-screen bitmap) and updates OverviewViewRect and
    // OverviewScale. Nothing happens while the surface has no width.
    static void DrawOverview(TOSDiagram &diagram, TCanvas &canvas, int width, int height);
    // One box's bounds on the surface, scaled and rounded, as a rectangle in the
    // current brush: a blue pen 2 wide for a selected box, else black 1 wide.
    static void DrawOverviewBox(TOSGraphic *box, TCanvas &canvas, double scale);
    // The scroll box the surface lies in, or null.
    static QAbstractScrollArea *ScrollBoxOf(const TOSDiagram &diagram);
};
