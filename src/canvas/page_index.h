#pragma once
// TPageIndex: the boxes and links of the current page filed by the part of the
// page their drawing can reach, so that painting one piece of a large page (a
// printer page, a band of a picture) visits what can show there and nothing
// else. It is made for one job and follows no later change of the page.
#include "platform/rect.h"

#include <cstdint>
#include <vector>

class TCanvas;
class TBaseDiagramObject;
class TDiagramForeignKey;
class TDiagramTable;

class TPageIndex {
public:
    // Files the links and boxes of the current model as they stand now.
    TPageIndex();

    // Draws the links that can reach the area, in the order the whole page
    // draws them, with the same test of rows the surface uses.
    void PaintLinks(TCanvas &canvas, const TRect &area) const;
    // Draws the boxes that can reach the area: tables, object tables, types,
    // notes, each in its list's order.
    void PaintBoxes(TCanvas &canvas, const TRect &area) const;

    // What the two paints would visit for the area, in painting order.
    std::vector<TDiagramForeignKey *> LinksFor(const TRect &area) const;
    std::vector<TBaseDiagramObject *> BoxesFor(const TRect &area) const;

private:
    // Where a link's drawing can be: within Radius of the segment between the
    // two box centres (its line, the routes at both ends), or in Caption.
    struct TLinkReach {
        TDiagramForeignKey *Key = nullptr;
        double Ax = 0, Ay = 0, Bx = 0, By = 0, Radius = 0;
        TRect Caption;
        // The rows the surface's own test lets through.
        int RowTop = 0, RowBottom = 0;
        // Boxes too thin to route on: the link is drawn wherever its rows are.
        bool Anywhere = false;
    };

    bool LinkReaches(const TLinkReach &link, const TRect &area) const;
    // The links of one table share one reach: parallel links share the
    // table's ranks, and are drawn together or not at all.
    void AddLinks(const TDiagramTable &table);
    void Build();
    template <class TVisit>
    void VisitCells(std::size_t item, TVisit &&visit) const;
    // The items whose cells meet the area, each once, in painting order.
    std::vector<std::uint32_t> Candidates(const TRect &area) const;

    std::vector<TLinkReach> Links_;
    std::vector<TBaseDiagramObject *> Boxes_;
    std::vector<TRect> BoxBounds_;
    // The grid: cells of CellSize_ pixels from (Left_, Top_); the items of
    // cell c are Items_[Starts_[c] .. Starts_[c + 1]), links first, then boxes.
    std::int64_t Left_ = 0, Top_ = 0, CellSize_ = 512;
    std::int64_t Columns_ = 0, Rows_ = 0;
    std::vector<std::uint32_t> Starts_;
    std::vector<std::uint32_t> Items_;
};
