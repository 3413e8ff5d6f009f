#include "canvas/page_index.h"

#include "canvas/draw_link.h"
#include "canvas/os_graphic.h"
#include "canvas/picture_export.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/font.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace {

constexpr int Margin = TPictureExport::AreaMargin;
// Room for glyphs that overhang their advance, pen widths and rounding.
constexpr int Slack = 8;
// How far a link's route leaves its box at most, besides the shift of its
// rank: the 20-pixel stub, the crow's foot and the mandatory bar beside it.
constexpr int RouteReach = 21;
// Ranks beyond this would move a link past any place a page can hold.
constexpr std::size_t MostShift = std::numeric_limits<int>::max() / 64;
// A link of rank n is shifted by (n - 1) x 16 pixels along the box's side and
// its caption by (n - 1) x 12 pixels down.
constexpr int RankShift = 16;
constexpr int RankCaptionShift = 12;
// A self loop's caption starts this far beside the box's corner.
constexpr int LoopCaptionGap = 17;

// How far from (x, y) the farthest corner of the rectangle grown by grow lies.
double FarthestCorner(const TRect &r, double x, double y, double grow)
{
    const double dx = std::max(std::abs(r.Left - x), std::abs(r.Right - x)) + grow;
    const double dy = std::max(std::abs(r.Top - y), std::abs(r.Bottom - y)) + grow;
    return std::hypot(dx, dy);
}

// Whether the segment from a to b meets the closed rectangle (clipping it by
// each side in turn).
bool SegmentMeetsRect(double ax, double ay, double bx, double by, double left, double top, double right,
                      double bottom)
{
    double t0 = 0, t1 = 1;
    const auto clip = [&](double p, double q) {
        // The part of the segment with p x t <= q.
        if (p == 0)
            return q >= 0;
        const double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    const double dx = bx - ax, dy = by - ay;
    return clip(-dx, ax - left) && clip(dx, right - ax) && clip(-dy, ay - top) && clip(dy, bottom - ay);
}

template <class TList>
void AddBoxes(const TList &list, std::vector<TBaseDiagramObject *> &boxes, std::vector<TRect> &bounds)
{
    for (auto *object : list)
        if (TOSGraphic *box = TOSGraphic::BoxOf(object)) {
            boxes.push_back(object);
            bounds.push_back(box->BoundsRect());
        }
}

template <class TList>
void CollectTables(const TList &tables, std::vector<TDiagramTable *> &shown)
{
    for (auto *table : tables)
        if (table->Graphic)
            shown.push_back(table);
}

// The most each key's rank exceeds 1 while a job runs, the same for all keys
// of the table to one table. Painting ranks those keys together, and their
// first round settles their ranks for good. Where keys and paths are as
// painting leaves them (one path per key name, to its key's table) that round
// is played here on a copy; otherwise there is nothing (the caller bounds it).
std::optional<std::vector<std::size_t>> RankShifts(const TDiagramTable &table,
                                                   const std::vector<TDiagramForeignKey *> &keys,
                                                   const std::vector<bool> &drawn)
{
    using TRef = std::pair<QString, QString>;
    QHash<QString, const TLinkPath *> paths;
    for (const auto &path : table.LinkPaths) {
        if (paths.contains(path->KeyName))
            return std::nullopt;
        paths.insert(path->KeyName, path.get());
    }
    QSet<QString> names;
    for (TDiagramForeignKey *key : keys) {
        if (names.contains(key->Name))
            return std::nullopt;
        names.insert(key->Name);
        const TLinkPath *own = paths.value(key->Name);
        if (own && (own->RefTableName != key->RefTableName || own->RefTableOwner != key->RefTableOwner))
            return std::nullopt;
    }

    // Per referenced table, how many paths hold each rank and the ranks none
    // holds. A key takes the lowest free rank, which is never above the
    // number of paths to that table, so ranks beyond it need no count.
    struct TRanks {
        std::vector<std::size_t> Held;
        std::set<std::size_t> Free;
        std::size_t Highest = 0;
    };
    QHash<TRef, TRanks> byRef;
    QHash<TRef, std::size_t> sizes;
    for (const auto &path : table.LinkPaths)
        ++sizes[{path->RefTableName, path->RefTableOwner}];
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (drawn[i])
            ++sizes[{keys[i]->RefTableName, keys[i]->RefTableOwner}];
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it)
        byRef[it.key()].Held.assign(it.value() + 2, 0);
    QHash<QString, std::size_t> ranks;
    for (const auto &path : table.LinkPaths) {
        TRanks &held = byRef[{path->RefTableName, path->RefTableOwner}];
        if (path->Rank >= 1 && std::size_t(path->Rank) < held.Held.size())
            ++held.Held[std::size_t(path->Rank)];
        ranks.insert(path->KeyName, path->Rank >= 1 ? std::size_t(path->Rank) : 0);
    }
    for (TRanks &held : byRef)
        for (std::size_t rank = 1; rank < held.Held.size(); ++rank)
            if (held.Held[rank] == 0)
                held.Free.insert(held.Free.end(), rank);

    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!drawn[i])
            continue;
        const TDiagramForeignKey &key = *keys[i];
        TRanks &held = byRef[{key.RefTableName, key.RefTableOwner}];
        if (const auto own = ranks.find(key.Name); own != ranks.end()) {
            if (own.value() >= 1 && own.value() < held.Held.size() && --held.Held[own.value()] == 0)
                held.Free.insert(own.value());
            ranks.erase(own);
        }
        const std::size_t rank = *held.Free.begin();
        held.Free.erase(held.Free.begin());
        ++held.Held[rank];
        ranks.insert(key.Name, rank);
        held.Highest = std::max(held.Highest, rank - 1);
    }
    std::vector<std::size_t> shifts(keys.size(), 0);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const auto held = byRef.constFind({keys[i]->RefTableName, keys[i]->RefTableOwner});
        shifts[i] = held == byRef.cend() ? 0 : held->Highest;
    }
    return shifts;
}

} // namespace

TPageIndex::TPageIndex(std::size_t maxFiled)
{
    if (!CurrentModel)
        return;
    std::vector<TDiagramTable *> tables;
    CollectTables(CurrentModel->Tables, tables);
    CollectTables(CurrentModel->ObjectTables, tables);
    QHash<const TDiagramTable *, std::size_t> rankedOn;
    for (TDiagramTable *table : tables)
        for (TDiagramForeignKey *key : table->ForeignKeys)
            ++rankedOn[key->Table];
    std::vector<TDrawnLink> drawn;
    for (TDiagramTable *table : tables)
        AddLinks(*table, rankedOn, drawn);
    // Links drawn alike are filed once, each keeping its place in the order.
    using TShape = std::tuple<double, double, double, double, double, double, double, double, double, double, int, int>;
    std::map<TShape, std::size_t> shapes;
    for (TDrawnLink &link : drawn) {
        const TStroke &l = link.Reach.Line, &c = link.Reach.Caption;
        const TShape shape{l.X0, l.Y0, l.X1, l.Y1, l.Radius, c.X0, c.Y0, c.X1, c.Y1, c.Radius,
                           link.Reach.RowTop, link.Reach.RowBottom};
        const auto [at, fresh] = shapes.try_emplace(shape, Links_.size());
        if (fresh)
            Links_.push_back(std::move(link.Reach));
        Links_[at->second].Keys.push_back(std::uint32_t(Keys_.size()));
        Keys_.push_back(link.Key);
    }
    AddBoxes(CurrentModel->Tables, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->ObjectTables, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->Types, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->Notes, Boxes_, BoxBounds_);
    Build(maxFiled);
}

void TPageIndex::AddLinks(const TDiagramTable &table, const QHash<const TDiagramTable *, std::size_t> &rankedOn,
                          std::vector<TDrawnLink> &out) const
{
    const std::vector<TDiagramForeignKey *> keys(table.ForeignKeys.begin(), table.ForeignKeys.end());
    const std::size_t count = keys.size();
    if (count == 0)
        return;
    const TOSSchemaStyle &style = CurrentStyle();
    const TFont font(style.LinkFontName, style.LinkFontSize);
    int captionWidth = 0;
    for (TDiagramForeignKey *key : keys)
        captionWidth = std::max(captionWidth, font.TextWidth(key->GetLinkCaption()));
    const int textHeight = 2 * font.TextHeight(QString());

    std::vector<bool> drawn(count, false);
    // Keys ranked on another table, or other tables' keys ranked on this
    // one, make the round unplayable here.
    bool own = rankedOn.value(&table) == count;
    for (std::size_t i = 0; i < count; ++i) {
        TDiagramForeignKey *key = keys[i];
        own = own && key->Table == &table;
        // The surface draws no link without both boxes.
        drawn[i] = TOSGraphic::BoxOf(key->Table) && TOSGraphic::BoxOf(TDrawLink::ReferencedTable(*key));
    }
    std::optional<std::vector<std::size_t>> shifts;
    if (own)
        shifts = RankShifts(table, keys, drawn);
    if (!shifts) {
        // A rank is at most one past the paths of its table, and each key
        // ranked there adds at most one path.
        shifts.emplace(count, 0);
        for (std::size_t i = 0; i < count; ++i)
            if (drawn[i])
                (*shifts)[i] = keys[i]->Table->LinkPaths.size() + rankedOn.value(keys[i]->Table);
    }

    for (std::size_t i = 0; i < count; ++i) {
        if (!drawn[i])
            continue;
        TDiagramForeignKey *key = keys[i];
        TLinkReach link;
        const TRect ra = TOSGraphic::BoxOf(TDrawLink::ReferencedTable(*key))->BoundsRect();
        const TRect rb = TOSGraphic::BoxOf(key->Table)->BoundsRect();
        link.RowTop = std::min(ra.Top, rb.Top) - Margin;
        link.RowBottom = std::max(ra.Bottom, rb.Bottom) + Margin;
        const QPoint ca = TDrawLink::Centre(ra), cb = TDrawLink::Centre(rb);
        if (TDrawLink::ReferencedTable(*key) == key->Table) {
            // A self loop stays by its box's corners, whatever its rank, its
            // caption beside them.
            link.Line = {double(ca.x()), double(ca.y()), double(ca.x()), double(ca.y()),
                         FarthestCorner(ra, ca.x(), ca.y(), RouteReach + Slack) + Slack};
            const int side = LoopCaptionGap + captionWidth + Slack;
            link.Caption = StrokeOf({ra.Left - side, ra.Top - Slack, ra.Right + side, ra.Bottom + textHeight + Slack});
        } else {
            // A rank moves both ends of the line along their sides, in step:
            // every rank's stub ends lie between those of the first and the
            // last rank, and its line within half that spread of the line
            // between their middles; the stubs and marks are within reach of
            // those ends.
            const int last = int(std::min<std::size_t>((*shifts)[i], MostShift) + 1);
            const QPoint a1 = TDrawLink::RouteEnd(ra, ca, cb, 1).Stub, an = TDrawLink::RouteEnd(ra, ca, cb, last).Stub;
            const QPoint b1 = TDrawLink::RouteEnd(rb, cb, ca, 1).Stub, bn = TDrawLink::RouteEnd(rb, cb, ca, last).Stub;
            const double spread = std::max(std::hypot(an.x() - a1.x(), an.y() - a1.y()),
                                           std::hypot(bn.x() - b1.x(), bn.y() - b1.y())) / 2;
            link.Line = {(a1.x() + an.x()) / 2.0, (a1.y() + an.y()) / 2.0, (b1.x() + bn.x()) / 2.0,
                         (b1.y() + bn.y()) / 2.0, RouteReach + spread + 2 * Slack};
            // The caption hangs below the middle of the line, one step lower
            // for each rank: its places run from the first rank's to the last's.
            const QPoint l1 = TDrawLink::LabelPoint(a1, b1), ln = TDrawLink::LabelPoint(an, bn);
            const double lowest = double(ln.y()) + double(RankCaptionShift) * (last - 1);
            link.Caption = {double(l1.x()), l1.y() + 2.0, double(ln.x()), lowest + 2,
                            std::hypot(captionWidth / 2.0 + 1 + Slack, textHeight + Slack) + 1};
        }
        out.push_back({std::move(link), key});
    }
}

TPageIndex::TStroke TPageIndex::StrokeOf(const TRect &rect)
{
    const double cx = (double(rect.Left) + rect.Right) / 2, cy = (double(rect.Top) + rect.Bottom) / 2;
    const double w = double(rect.Right) - rect.Left, h = double(rect.Bottom) - rect.Top;
    const double half = std::min(w, h) / 2;
    if (w >= h)
        return {rect.Left + half, cy, rect.Right - half, cy, half * std::sqrt(2.0)};
    return {cx, rect.Top + half, cx, rect.Bottom - half, half * std::sqrt(2.0)};
}

bool TPageIndex::LinkReaches(const TLinkReach &link, const TRect &area) const
{
    // The surface's own test comes first: what it leaves out stays out.
    if (!(link.RowBottom > area.Top && link.RowTop < area.Bottom))
        return false;
    const auto meets = [&](const TStroke &s) {
        const double r = s.Radius + 1;
        return SegmentMeetsRect(s.X0, s.Y0, s.X1, s.Y1, area.Left - r, area.Top - r, area.Right + r, area.Bottom + r);
    };
    return meets(link.Line) || meets(link.Caption);
}

template <class TVisit>
bool TPageIndex::VisitCells(std::size_t item, TVisit &&visit) const
{
    const auto column = [this](double x) {
        return std::clamp<std::int64_t>(std::int64_t(std::floor((x - Left_) / CellSize_)), 0, Columns_ - 1);
    };
    const auto row = [this](double y) {
        return std::clamp<std::int64_t>(std::int64_t(std::floor((y - Top_) / CellSize_)), 0, Rows_ - 1);
    };
    const auto rect = [&](double left, double top, double right, double bottom, std::int64_t rowLo,
                          std::int64_t rowHi) {
        for (std::int64_t r = std::max(rowLo, row(top)); r <= std::min(rowHi, row(bottom)); ++r)
            for (std::int64_t c = column(left); c <= column(right); ++c)
                if (!visit(r * Columns_ + c))
                    return false;
        return true;
    };
    if (item >= Links_.size()) {
        const TRect &b = BoxBounds_[item - Links_.size()];
        const int m = Margin + 1;
        return rect(b.Left - m, b.Top - m, b.Right + m, b.Bottom + m, 0, Rows_ - 1);
    }
    const TLinkReach &link = Links_[item];
    const std::int64_t rowLo = row(link.RowTop - 1.0), rowHi = row(link.RowBottom + 1.0);
    // Each stroke one row of cells at a time.
    for (const TStroke &s : {link.Line, link.Caption}) {
        const double r = s.Radius + 2;
        const double dx = s.X1 - s.X0, dy = s.Y1 - s.Y0;
        const std::int64_t first = std::max(rowLo, row(std::min(s.Y0, s.Y1) - r));
        const std::int64_t last = std::min(rowHi, row(std::max(s.Y0, s.Y1) + r));
        for (std::int64_t k = first; k <= last; ++k) {
            double lo = 0, hi = 1;
            if (dy != 0) {
                const double y0 = double(Top_ + k * CellSize_) - r, y1 = double(Top_ + (k + 1) * CellSize_) + r;
                const double ta = (y0 - s.Y0) / dy, tb = (y1 - s.Y0) / dy;
                lo = std::max(0.0, std::min(ta, tb));
                hi = std::min(1.0, std::max(ta, tb));
                if (lo > hi)
                    continue;
            }
            const double xa = s.X0 + lo * dx, xb = s.X0 + hi * dx;
            for (std::int64_t c = column(std::min(xa, xb) - r); c <= column(std::max(xa, xb) + r); ++c)
                if (!visit(k * Columns_ + c))
                    return false;
        }
    }
    return true;
}

void TPageIndex::Build(std::size_t maxFiled)
{
    const std::size_t items = Links_.size() + Boxes_.size();
    if (items == 0 || items > std::numeric_limits<std::uint32_t>::max())
        return;
    // The grid spans everything filed.
    double left = 0, top = 0, right = 1, bottom = 1;
    bool first = true;
    const auto take = [&](double l, double t, double r, double b) {
        if (first) {
            left = l, top = t, right = r, bottom = b;
            first = false;
        }
        left = std::min(left, l), top = std::min(top, t), right = std::max(right, r), bottom = std::max(bottom, b);
    };
    for (const TLinkReach &link : Links_)
        for (const TStroke &s : {link.Line, link.Caption}) {
            const double r = s.Radius + 2;
            take(std::min(s.X0, s.X1) - r, std::min(s.Y0, s.Y1) - r, std::max(s.X0, s.X1) + r,
                 std::max(s.Y0, s.Y1) + r);
        }
    for (const TRect &b : BoxBounds_)
        take(b.Left - Margin - 1.0, b.Top - Margin - 1.0, b.Right + Margin + 1.0, b.Bottom + Margin + 1.0);
    Left_ = std::int64_t(std::floor(left)) - 1;
    Top_ = std::int64_t(std::floor(top)) - 1;
    const double width = right - double(Left_) + 2, height = bottom - double(Top_) + 2;
    // Cells of 512 pixels, larger where a page is so wide that there would be
    // far more cells than things to file.
    const double most = std::max(65536.0, 16.0 * double(items));
    CellSize_ = 512;
    while (std::ceil(width / double(CellSize_)) * std::ceil(height / double(CellSize_)) > most)
        CellSize_ *= 2;
    Columns_ = std::int64_t(std::ceil(width / double(CellSize_)));
    Rows_ = std::int64_t(std::ceil(height / double(CellSize_)));

    // Counted first, then filled: one array for every cell. Past the bound
    // the grid is dropped before it grows.
    Starts_.assign(std::size_t(Columns_ * Rows_ + 1), 0);
    std::size_t filed = 0;
    for (std::size_t i = 0; i < items; ++i)
        if (!VisitCells(i, [&](std::int64_t cell) {
                ++Starts_[std::size_t(cell) + 1];
                return ++filed <= maxFiled;
            })) {
            Starts_ = {};
            Columns_ = Rows_ = 0;
            return;
        }
    for (std::size_t c = 1; c < Starts_.size(); ++c)
        Starts_[c] += Starts_[c - 1];
    Items_.resize(Starts_.back());
    std::vector<std::size_t> next(Starts_.begin(), Starts_.end() - 1);
    for (std::size_t i = 0; i < items; ++i)
        VisitCells(i, [&](std::int64_t cell) {
            Items_[next[std::size_t(cell)]++] = std::uint32_t(i);
            return true;
        });
}

std::vector<std::uint32_t> TPageIndex::Candidates(const TRect &area) const
{
    std::vector<std::uint32_t> found;
    if (area.IsEmpty())
        return found;
    if (!Indexed()) {
        found.resize(Links_.size() + Boxes_.size());
        std::iota(found.begin(), found.end(), std::uint32_t(0));
        return found;
    }
    const auto cell = [this](std::int64_t v, std::int64_t origin, std::int64_t count) {
        const std::int64_t d = v - origin;
        return std::clamp<std::int64_t>(d >= 0 ? d / CellSize_ : -((-d + CellSize_ - 1) / CellSize_), -1, count);
    };
    const std::int64_t c0 = std::max<std::int64_t>(0, cell(area.Left - 1, Left_, Columns_));
    const std::int64_t c1 = std::min<std::int64_t>(Columns_ - 1, cell(area.Right, Left_, Columns_));
    const std::int64_t r0 = std::max<std::int64_t>(0, cell(area.Top - 1, Top_, Rows_));
    const std::int64_t r1 = std::min<std::int64_t>(Rows_ - 1, cell(area.Bottom, Top_, Rows_));
    for (std::int64_t r = r0; r <= r1; ++r)
        for (std::int64_t c = c0; c <= c1; ++c) {
            const std::size_t at = std::size_t(r * Columns_ + c);
            found.insert(found.end(), Items_.begin() + Starts_[at], Items_.begin() + Starts_[at + 1]);
        }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::vector<TDiagramForeignKey *> TPageIndex::LinksFor(const TRect &area) const
{
    std::vector<std::uint32_t> order;
    for (std::uint32_t i : Candidates(area))
        if (i < Links_.size() && LinkReaches(Links_[i], area))
            order.insert(order.end(), Links_[i].Keys.begin(), Links_[i].Keys.end());
    std::sort(order.begin(), order.end());
    std::vector<TDiagramForeignKey *> links;
    links.reserve(order.size());
    for (std::uint32_t at : order)
        links.push_back(Keys_[at]);
    return links;
}

std::vector<TBaseDiagramObject *> TPageIndex::BoxesFor(const TRect &area) const
{
    std::vector<TBaseDiagramObject *> boxes;
    for (std::uint32_t i : Candidates(area)) {
        if (i < Links_.size())
            continue;
        TBaseDiagramObject *object = Boxes_[i - Links_.size()];
        if (TOSGraphic *box = TOSGraphic::BoxOf(object))
            if (TPictureExport::Meets(box->BoundsRect(), area))
                boxes.push_back(object);
    }
    return boxes;
}

void TPageIndex::PaintLinks(TCanvas &canvas, const TRect &area) const
{
    for (TDiagramForeignKey *key : LinksFor(area))
        TDrawLink::DrawForeignKey(canvas, key, 0, 0, 1.0, 1.0);
    if (!CurrentModel)
        return;
    for (TDiagramObjectTable *table : CurrentModel->ObjectTables)
        if (table->Graphic)
            TDrawLink::DrawObjectTableTypeLink(canvas, table, 0, 0, 1.0, 1.0, table->TypeName, table->TypeOwner);
}

void TPageIndex::PaintBoxes(TCanvas &canvas, const TRect &area) const
{
    for (TBaseDiagramObject *object : BoxesFor(area))
        if (TOSGraphic *box = TOSGraphic::BoxOf(object))
            box->DrawTo(canvas, 0, 0, 1.0, 1.0);
}
