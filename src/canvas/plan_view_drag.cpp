#include "canvas/plan_view_drag.h"

#include "canvas/overview.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The scroll bar clamps to its range; the sum only has to stay an int.
void ScrollBy(QScrollBar *bar, double distance)
{
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    const double target = std::clamp(bar->value() + std::nearbyint(distance), lowest, highest);
    bar->setValue(static_cast<int>(target));
}

} // namespace

void TPlanViewDrag::MouseDown(int x, int y)
{
    Dragging = x >= OverviewViewRect.Left && x <= OverviewViewRect.Right && y >= OverviewViewRect.Top &&
               y <= OverviewViewRect.Bottom;
    if (Dragging) {
        LastX = x;
        LastY = y;
    }
}

void TPlanViewDrag::MouseMove(int x, int y, QAbstractScrollArea *scrollBox)
{
    if (!Dragging)
        return;
    // A plan never drawn has no scale to scroll by.
    if (scrollBox && OverviewScale > 0) {
        ScrollBy(scrollBox->horizontalScrollBar(), (x - LastX) / OverviewScale);
        ScrollBy(scrollBox->verticalScrollBar(), (y - LastY) / OverviewScale);
    }
    LastX = x;
    LastY = y;
}

void TPlanViewDrag::MouseUp()
{
    Dragging = false;
}
