#include "canvas/print/page_tiling.h"

#include <QString>

#include <algorithm>
#include <cstdint>

EPrintError::EPrintError(const QString &message) : std::runtime_error(message.toStdString()) {}

namespace {
// More pages than any printer job would take means the sizes are nonsense.
constexpr std::int64_t MaxPages = 1'000'000;
} // namespace

std::vector<TRectObject> TilePages(int pageWidth, int pageHeight, int extentX, int extentY)
{
    if (pageWidth < 1 || pageHeight < 1)
        throw EPrintError(QStringLiteral("The printer page is smaller than one pixel of the diagram (%1 x %2).")
                              .arg(pageWidth)
                              .arg(pageHeight));
    const std::int64_t columns = std::max(0, extentX) / pageWidth + 1;
    const std::int64_t rows = std::max(0, extentY) / pageHeight + 1;
    if (columns * rows > MaxPages)
        throw EPrintError(QStringLiteral("The diagram needs %1 printer pages; at most %2 can be printed.")
                              .arg(columns * rows)
                              .arg(MaxPages));
    // Page edges far out are kept within the 32-bit range the pages are held in.
    const auto clamp = [](std::int64_t v) { return int(std::min<std::int64_t>(v, INT32_MAX)); };
    std::vector<TRectObject> pages;
    pages.reserve(static_cast<std::size_t>(columns * rows));
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t column = 0; column < columns; ++column) {
            const std::int64_t left = column * pageWidth, top = row * pageHeight;
            pages.push_back({clamp(left), clamp(top), clamp(left + pageWidth), clamp(top + pageHeight)});
        }
    return pages;
}

void PagesExtent(const std::vector<TRectObject> &pages, int &right, int &bottom)
{
    right = 0;
    bottom = 0;
    for (const TRectObject &page : pages) {
        right = std::max(right, page.Right);
        bottom = std::max(bottom, page.Bottom);
    }
}
