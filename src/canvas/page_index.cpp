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
#include <utility>

namespace {

constexpr int Margin = TPictureExport::AreaMargin;
// Room for glyphs that overhang their advance, pen widths and rounding.
constexpr int Slack = 8;
// How far a link's route leaves its box at most, besides the shift of its
// rank: the 20-pixel stub, the crow's foot and the mandatory bar beside it.
constexpr int RouteReach = 21;
// A link of rank n is shifted by (n - 1) x 16 pixels along the box's side and
// its caption by (n - 1) x 12 pixels down.
constexpr int RankShift = 16;
constexpr int RankCaptionShift = 12;
// A self loop's caption starts this far beside the box's corner.
constexpr int LoopCaptionGap = 17;

TRect Grow(const TRect &r, int by)
{
    return {r.Left - by, r.Top - by, r.Right + by, r.Bottom + by};
}

bool Overlap(const TRect &a, const TRect &b)
{
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

// Clear of the rectangle by more than a pixel of rounding.
bool Outside(QPoint p, const TRect &r)
{
    return p.x() < r.Left - 1 || p.x() > r.Right + 1 || p.y() < r.Top - 1 || p.y() > r.Bottom + 1;
}

double FarthestCorner(const TRect &r, double x, double y)
{
    const double dx = std::max(std::abs(r.Left - x), std::abs(r.Right - x));
    const double dy = std::max(std::abs(r.Top - y), std::abs(r.Bottom - y));
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

// The most a key's rank can exceed 1 while a job runs, the same for all keys
// of the table to one table. Painting ranks those keys together, and their
// first round settles their ranks for good. Where keys and paths are as
// painting leaves them (one path per key name, to its key's table) that round
// is played here on a copy; otherwise the bound is what the table may hold.
std::vector<int> RankShifts(const TDiagramTable &table, const std::vector<TDiagramForeignKey *> &keys,
                            const std::vector<bool> &drawn)
{
    const int count = int(keys.size());
    const int most = int(std::min<std::size_t>(table.LinkPaths.size() + std::size_t(count), 1 << 16));
    std::vector<int> shifts(std::size_t(count), most);
    QHash<QString, const TLinkPath *> paths;
    for (const auto &path : table.LinkPaths) {
        if (paths.contains(path->KeyName))
            return shifts;
        paths.insert(path->KeyName, path.get());
    }
    QSet<QString> names;
    for (TDiagramForeignKey *key : keys) {
        if (names.contains(key->Name))
            return shifts;
        names.insert(key->Name);
        const TLinkPath *own = paths.value(key->Name);
        if (own && (own->RefTableName != key->RefTableName || own->RefTableOwner != key->RefTableOwner))
            return shifts;
    }

    std::vector<TLinkPath> played;
    for (const auto &path : table.LinkPaths)
        played.push_back(*path);
    QHash<std::pair<QString, QString>, int> highest;
    for (int i = 0; i < count; ++i) {
        if (!drawn[std::size_t(i)])
            continue;
        const TDiagramForeignKey &key = *keys[std::size_t(i)];
        const auto own = std::find_if(played.rbegin(), played.rend(),
                                      [&](const TLinkPath &p) { return p.KeyName == key.Name; });
        if (own != played.rend())
            played.erase(std::next(own).base());
        int rank = 1;
        while (std::any_of(played.begin(), played.end(), [&](const TLinkPath &p) {
            return p.Rank == rank && p.RefTableName == key.RefTableName && p.RefTableOwner == key.RefTableOwner;
        }))
            ++rank;
        played.push_back(TLinkPath{rank, key.RefTableName, key.RefTableOwner, key.Name});
        int &high = highest[{key.RefTableName, key.RefTableOwner}];
        high = std::max(high, rank - 1);
    }
    for (int i = 0; i < count; ++i) {
        const TDiagramForeignKey &key = *keys[std::size_t(i)];
        shifts[std::size_t(i)] = highest.value({key.RefTableName, key.RefTableOwner});
    }
    return shifts;
}

} // namespace

TPageIndex::TPageIndex()
{
    if (!CurrentModel)
        return;
    std::vector<TDiagramTable *> tables;
    CollectTables(CurrentModel->Tables, tables);
    CollectTables(CurrentModel->ObjectTables, tables);
    for (TDiagramTable *table : tables)
        AddLinks(*table);
    AddBoxes(CurrentModel->Tables, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->ObjectTables, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->Types, Boxes_, BoxBounds_);
    AddBoxes(CurrentModel->Notes, Boxes_, BoxBounds_);
    Build();
}

void TPageIndex::AddLinks(const TDiagramTable &table)
{
    const std::vector<TDiagramForeignKey *> keys(table.ForeignKeys.begin(), table.ForeignKeys.end());
    const int count = int(keys.size());
    if (count == 0)
        return;
    const TOSSchemaStyle &style = CurrentStyle();
    const TFont font(style.LinkFontName, style.LinkFontSize);
    int captionWidth = 0;
    for (TDiagramForeignKey *key : keys)
        captionWidth = std::max(captionWidth, font.TextWidth(key->GetLinkCaption()));
    const int textHeight = 2 * font.TextHeight(QString());

    std::vector<TLinkReach> links(keys.size());
    std::vector<bool> drawn(keys.size(), false);
    for (int i = 0; i < count; ++i) {
        TDiagramForeignKey *key = keys[std::size_t(i)];
        TOSGraphic *from = TOSGraphic::BoxOf(key->Table);
        TDiagramTable *referenced = TDrawLink::ReferencedTable(*key);
        TOSGraphic *to = TOSGraphic::BoxOf(referenced);
        // The surface draws no link without both boxes.
        if (!from || !to)
            continue;
        drawn[std::size_t(i)] = true;
        const TRect ra = to->BoundsRect(), rb = from->BoundsRect();
        TLinkReach &link = links[std::size_t(i)];
        link.Key = key;
        link.RowTop = std::min(ra.Top, rb.Top) - Margin;
        link.RowBottom = std::max(ra.Bottom, rb.Bottom) + Margin;
        // A key ranked on another table, or boxes too thin to route on, are
        // drawn wherever their rows are, as the surface draws them.
        link.Anywhere = key->Table != &table || ra.Width() < 2 || ra.Height() < 2 || rb.Width() < 2 ||
                        rb.Height() < 2;
    }
    const std::vector<int> shifts = RankShifts(table, keys, drawn);

    for (int i = 0; i < count; ++i) {
        if (!drawn[std::size_t(i)])
            continue;
        TLinkReach &link = links[std::size_t(i)];
        TDiagramForeignKey *key = link.Key;
        const TRect ra = TOSGraphic::BoxOf(TDrawLink::ReferencedTable(*key))->BoundsRect();
        const TRect rb = TOSGraphic::BoxOf(key->Table)->BoundsRect();
        const int shift = shifts[std::size_t(i)];
        const int route = RouteReach + RankShift * shift + Slack;
        const QPoint ca = TDrawLink::Centre(ra), cb = TDrawLink::Centre(rb);
        link.Ax = ca.x();
        link.Ay = ca.y();
        link.Bx = cb.x();
        link.By = cb.y();
        // A route leaves its box where the line between the centres crosses
        // the box's side, and stays within its reach of that point. When each
        // centre lies outside the other box, that point is on the line between
        // the centres, and so is all of the link but its caption; otherwise
        // the routes stay within their boxes grown by their reach.
        const TRect ga = Grow(ra, route), gb = Grow(rb, route);
        if (Outside(cb, ra) && Outside(ca, rb))
            link.Radius = route + Slack;
        else
            link.Radius = std::max(FarthestCorner(ga, ca.x(), ca.y()), FarthestCorner(gb, cb.x(), cb.y())) + Slack;
        const int below = RankCaptionShift * shift + textHeight + Slack;
        if (TDrawLink::ReferencedTable(*key) == key->Table) {
            const int side = LoopCaptionGap + captionWidth + Slack;
            link.Caption = {ra.Left - side, ra.Top - Slack, ra.Right + side, ra.Bottom + below};
        } else {
            // The caption is centred on the middle of the line, which lies
            // between the middles of the two grown boxes.
            const int half = captionWidth / 2 + 1 + Slack;
            link.Caption = {int((std::int64_t(ga.Left) + gb.Left) / 2) - half - 1,
                            int((std::int64_t(ga.Top) + gb.Top) / 2) - Slack - 1,
                            int((std::int64_t(ga.Right) + gb.Right) / 2) + half + 1,
                            int((std::int64_t(ga.Bottom) + gb.Bottom) / 2) + 2 + below + 1};
        }
        Links_.push_back(link);
    }
}

bool TPageIndex::LinkReaches(const TLinkReach &link, const TRect &area) const
{
    // The surface's own test comes first: what it leaves out stays out.
    if (!(link.RowBottom > area.Top && link.RowTop < area.Bottom))
        return false;
    if (link.Anywhere || Overlap(link.Caption, area))
        return true;
    const double r = link.Radius + 1;
    return SegmentMeetsRect(link.Ax, link.Ay, link.Bx, link.By, area.Left - r, area.Top - r, area.Right + r,
                            area.Bottom + r);
}

template <class TVisit>
void TPageIndex::VisitCells(std::size_t item, TVisit &&visit) const
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
                visit(r * Columns_ + c);
    };
    if (item >= Links_.size()) {
        const TRect &b = BoxBounds_[item - Links_.size()];
        const int m = Margin + 1;
        rect(b.Left - m, b.Top - m, b.Right + m, b.Bottom + m, 0, Rows_ - 1);
        return;
    }
    const TLinkReach &link = Links_[item];
    const std::int64_t rowLo = row(link.RowTop - 1.0), rowHi = row(link.RowBottom + 1.0);
    if (link.Anywhere) {
        for (std::int64_t r = rowLo; r <= rowHi; ++r)
            for (std::int64_t c = 0; c < Columns_; ++c)
                visit(r * Columns_ + c);
        return;
    }
    const TRect &cap = link.Caption;
    rect(cap.Left - 1.0, cap.Top - 1.0, cap.Right + 1.0, cap.Bottom + 1.0, rowLo, rowHi);
    // The segment grown by the radius, one row of cells at a time.
    const double r = link.Radius + 2;
    const double dx = link.Bx - link.Ax, dy = link.By - link.Ay;
    const std::int64_t first = std::max(rowLo, row(std::min(link.Ay, link.By) - r));
    const std::int64_t last = std::min(rowHi, row(std::max(link.Ay, link.By) + r));
    for (std::int64_t k = first; k <= last; ++k) {
        double lo = 0, hi = 1;
        if (dy != 0) {
            const double y0 = double(Top_ + k * CellSize_) - r, y1 = double(Top_ + (k + 1) * CellSize_) + r;
            const double ta = (y0 - link.Ay) / dy, tb = (y1 - link.Ay) / dy;
            lo = std::max(0.0, std::min(ta, tb));
            hi = std::min(1.0, std::max(ta, tb));
            if (lo > hi)
                continue;
        }
        const double xa = link.Ax + lo * dx, xb = link.Ax + hi * dx;
        for (std::int64_t c = column(std::min(xa, xb) - r); c <= column(std::max(xa, xb) + r); ++c)
            visit(k * Columns_ + c);
    }
}

void TPageIndex::Build()
{
    const std::size_t items = Links_.size() + Boxes_.size();
    if (items == 0)
        return;
    // The grid spans everything filed; links drawn anywhere in their rows
    // span it whatever its width.
    double left = 0, top = 0, right = 1, bottom = 1;
    bool first = true;
    const auto take = [&](double l, double t, double r, double b) {
        if (first) {
            left = l, top = t, right = r, bottom = b;
            first = false;
        }
        left = std::min(left, l), top = std::min(top, t), right = std::max(right, r), bottom = std::max(bottom, b);
    };
    for (const TLinkReach &link : Links_) {
        const double r = link.Radius + 2;
        take(std::min(link.Ax, link.Bx) - r, std::min(link.Ay, link.By) - r, std::max(link.Ax, link.Bx) + r,
             std::max(link.Ay, link.By) + r);
        take(link.Caption.Left, link.Caption.Top, link.Caption.Right, link.Caption.Bottom);
        take(link.Ax, link.RowTop - 1.0, link.Ax, link.RowBottom + 1.0);
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

    // Counted first, then filled: one array for every cell.
    Starts_.assign(std::size_t(Columns_ * Rows_ + 1), 0);
    for (std::size_t i = 0; i < items; ++i)
        VisitCells(i, [&](std::int64_t cell) { ++Starts_[std::size_t(cell) + 1]; });
    for (std::size_t c = 1; c < Starts_.size(); ++c)
        Starts_[c] += Starts_[c - 1];
    Items_.resize(Starts_.back());
    std::vector<std::uint32_t> next(Starts_.begin(), Starts_.end() - 1);
    for (std::size_t i = 0; i < items; ++i)
        VisitCells(i, [&](std::int64_t cell) { Items_[next[std::size_t(cell)]++] = std::uint32_t(i); });
}

std::vector<std::uint32_t> TPageIndex::Candidates(const TRect &area) const
{
    std::vector<std::uint32_t> found;
    if (Columns_ == 0 || Rows_ == 0 || area.IsEmpty())
        return found;
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
    std::vector<TDiagramForeignKey *> links;
    for (std::uint32_t i : Candidates(area))
        if (i < Links_.size() && LinkReaches(Links_[i], area))
            links.push_back(Links_[i].Key);
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
