#pragma once
// TRect: a rectangle as the drawing calls take it, right and bottom exclusive.
#include <QRect>

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // The pixels the rectangle covers; QRect's right() is inclusive, ours is not.
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect FromQRect(const QRect &r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend constexpr bool operator==(const TRect &, const TRect &) = default;
};

// The most a window shows on a side (Qt's widget size limit, 2^24 - 1).
// Positions and sizes from a file are kept as read, but boxes, extents and
// scrolling stay within this range, where sums and differences of a few of
// them cannot overflow.
inline constexpr int kMaxShownExtent = 16777215;

constexpr int ClampShown(long long value)
{
    return value < -kMaxShownExtent ? -kMaxShownExtent : value > kMaxShownExtent ? kMaxShownExtent : int(value);
}
constexpr int ClampShownSize(long long value) { return value < 0 ? 0 : ClampShown(value); }

constexpr TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
