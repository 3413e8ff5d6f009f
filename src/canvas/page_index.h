#pragma once
// TPageIndex: the boxes and links of the current page filed by the part of the
// page their drawing can reach, so that painting one piece of a large page (a
// printer page, a band of a picture) visits what can show there and nothing
// else. It is made for one job and follows no later change of the page.
#include "platform/rect.h"

#include <QHash>

#include <cstddef>
#include <cstdint>
#include <vector>

class TCanvas;
class TBaseDiagramObject;
class TDiagramForeignKey;
class TDiagramTable;

class TPageIndex {
public:
    // Files the links and boxes of the current model as they stand now, or
    // nothing where that would take more than maxFiled (cell, item) pairs.
    explicit TPageIndex(std::size_t maxFiled = MaxFiled);

    // Draws the links that can reach the area, in the order the whole page
    // draws them, with the same test of rows the surface uses.
    void PaintLinks(TCanvas &canvas, const TRect &area) const;
    // Draws the boxes that can reach the area: tables, object tables, types,
    // notes, each in its list's order.
    void PaintBoxes(TCanvas &canvas, const TRect &area) const;

    // What the two paints would visit for the area, in painting order.
    std::vector<TDiagramForeignKey *> LinksFor(const TRect &area) const;
    std::vector<TBaseDiagramObject *> BoxesFor(const TRect &area) const;

    // The (cell, item) pairs filed. Past the bound the index files nothing
    // and every piece tries every item, as painting without an index does.
    std::size_t Filed() const { return Items_.size(); }
    bool Indexed() const { return Columns_ > 0; }
    static constexpr std::size_t MaxFiled = std::size_t(1) << 25;

private:
    // A segment from (X0, Y0) to (X1, Y1) grown by Radius.
    struct TStroke {
        double X0 = 0, Y0 = 0, X1 = 0, Y1 = 0, Radius = 0;
    };
    // Where the drawing of links can be, at any rank they may take: their
    // lines, stubs and marks within Line, their captions within Caption.
    // Links drawn alike share one reach, filed once.
    struct TLinkReach {
        TStroke Line, Caption;
        // The rows the surface's own test lets through.
        int RowTop = 0, RowBottom = 0;
        // The links it holds, as places in Keys_.
        std::vector<std::uint32_t> Keys;
    };
    struct TDrawnLink {
        TLinkReach Reach;
        TDiagramForeignKey *Key;
    };

    // A stroke that covers the rectangle: its long middle line, grown to
    // reach its corners.
    static TStroke StrokeOf(const TRect &rect);
    bool LinkReaches(const TLinkReach &link, const TRect &area) const;
    // The links of one table to one table share one reach: parallel links
    // share the table's ranks, and are drawn together or not at all.
    // RankedOn counts the keys of the page that rank on each table.
    void AddLinks(const TDiagramTable &table, const QHash<const TDiagramTable *, std::size_t> &rankedOn,
                  std::vector<TDrawnLink> &drawn) const;
    void Build(std::size_t maxFiled);
    // Calls visit(cell) for each cell the item is filed in, until it returns false.
    template <class TVisit>
    bool VisitCells(std::size_t item, TVisit &&visit) const;
    // The items whose cells meet the area, each once, in painting order.
    std::vector<std::uint32_t> Candidates(const TRect &area) const;

    std::vector<TDiagramForeignKey *> Keys_;
    std::vector<TLinkReach> Links_;
    std::vector<TBaseDiagramObject *> Boxes_;
    std::vector<TRect> BoxBounds_;
    // The grid: cells of CellSize_ pixels from (Left_, Top_); the items of
    // cell c are Items_[Starts_[c] .. Starts_[c + 1]), links first, then boxes.
    std::int64_t Left_ = 0, Top_ = 0, CellSize_ = 512;
    std::int64_t Columns_ = 0, Rows_ = 0;
    std::vector<std::size_t> Starts_;
    std::vector<std::uint32_t> Items_;
};
