#pragma once
// TPlanViewDrag: the plan view's mouse gesture; dragging inside the visible
// area's frame scrolls the diagram by the distance scaled up to the page.
class QAbstractScrollArea;

class TPlanViewDrag {
public:
    // Starts a drag when (x, y) lies within OverviewViewRect, edges included.
    void MouseDown(int x, int y);
    // While dragging, scrolls the scroll box by the move divided by
    // OverviewScale (rounded, halves to even) and remembers (x, y).
    void MouseMove(int x, int y, QAbstractScrollArea *scrollBox);
    void MouseUp();

    bool Dragging = false;
    int LastX = 0;
    int LastY = 0;
};
