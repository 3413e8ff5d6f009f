#pragma once
// Where a box added to a page goes so that the user sees it: never on top of
// a box that is already there.
#include "platform/rect.h"

#include <vector>

// The wanted bounds when they cover none of the taken ones; otherwise the
// same size moved right and down the least (fewest pixels across and down
// together) to where it covers none of them and keeps `gap` pixels from them.
TRect FreeSpot(const std::vector<TRect> &taken, const TRect &wanted, int gap = 20);
