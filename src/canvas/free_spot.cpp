#include "canvas/free_spot.h"

#include <algorithm>
#include <limits>

namespace {

bool Covers(const TRect &a, const TRect &b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// The least left, from `left` on, at which a box of `width` fits in a row of
// boxes sorted by their left edges.
long long FirstFreeLeft(const std::vector<TRect> &row, long long left, long long width)
{
    for (const TRect &box : row) {
        if (box.Left >= left + width)
            break;
        left = std::max<long long>(left, box.Right);
    }
    return left;
}

} // namespace

TRect FreeSpot(const std::vector<TRect> &taken, const TRect &wanted, int gap)
{
    if (std::none_of(taken.begin(), taken.end(),
                     [&](const TRect &box) { return !box.IsEmpty() && Covers(box, wanted); }))
        return wanted;
    // Each box is widened by the gap, so a box placed beside one keeps it.
    std::vector<TRect> boxes;
    boxes.reserve(taken.size());
    for (const TRect &box : taken)
        if (!box.IsEmpty())
            boxes.push_back({box.Left - gap, box.Top - gap, box.Right + gap, box.Bottom + gap});
    std::sort(boxes.begin(), boxes.end(), [](const TRect &a, const TRect &b) { return a.Left < b.Left; });
    // A free place lies in the wanted row or just below a box; in each row the
    // first free left is found by one sweep.
    std::vector<long long> tops{wanted.Top};
    for (const TRect &box : boxes)
        if (box.Bottom > wanted.Top)
            tops.push_back(box.Bottom);
    std::sort(tops.begin(), tops.end());
    tops.erase(std::unique(tops.begin(), tops.end()), tops.end());
    const long long width = std::max(wanted.Width(), 1), height = std::max(wanted.Height(), 1);
    long long bestDistance = std::numeric_limits<long long>::max(), bestLeft = wanted.Left, bestTop = wanted.Top;
    std::vector<TRect> row;
    for (const long long top : tops) {
        if (top - wanted.Top >= bestDistance)
            break;
        row.clear();
        for (const TRect &box : boxes)
            if (box.Top < top + height && box.Bottom > top)
                row.push_back(box);
        const long long left = FirstFreeLeft(row, wanted.Left, width);
        const long long distance = left - wanted.Left + top - wanted.Top;
        if (distance < bestDistance)
            bestDistance = distance, bestLeft = left, bestTop = top;
    }
    const int left = ClampShown(bestLeft), top = ClampShown(bestTop);
    return {left, top, ClampShown(qint64(left) + wanted.Width()), ClampShown(qint64(top) + wanted.Height())};
}
