#pragma once
// Cutting a diagram into printer pages: rows of pages from the top, each row
// from the left, in diagram pixels.
#include "platform/rect.h"

#include <stdexcept>
#include <vector>

class QString;

// A failure of printing that is shown to the user with its text.
class EPrintError : public std::runtime_error {
public:
    explicit EPrintError(const QString &message);
};

// One printer page as a rectangle of the diagram.
struct TRectObject {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    TRect ToRect() const { return {Left, Top, Right, Bottom}; }
    friend bool operator==(const TRectObject &, const TRectObject &) = default;
};

// Pages of pageWidth x pageHeight covering (0, 0) to the extent: extent div
// size + 1 columns and rows, so an extent that is an exact multiple gets one
// more, empty, column or row. Raises EPrintError for a page below one pixel.
std::vector<TRectObject> TilePages(int pageWidth, int pageHeight, int extentX, int extentY);

// The largest right and bottom of the pages, from (0, 0).
void PagesExtent(const std::vector<TRectObject> &pages, int &right, int &bottom);
