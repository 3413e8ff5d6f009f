// Barycentre ordering of the layers and the crossing count that judges it.
#include <algorithm>
#include <limits>
#include <utility>

#include "canvas/layout/layout_phases.h"

namespace {

// Mean place of the nodes at the other end of the given edges; 0 without edges. The sum is
// exact; only the mean is stored in single precision, as the barycentre field holds it.
float MeanPosition(const TLayeredGraph &graph, const std::vector<int> &edges, bool atStart)
{
    if (edges.empty())
        return 0.0f;
    std::int64_t sum = 0;
    for (int e : edges) {
        const TEdge &edge = graph.Edges[e];
        sum += graph.Nodes[atStart ? edge.FromNode : edge.ToNode].Position;
    }
    return static_cast<float>(static_cast<long double>(sum) / static_cast<long double>(edges.size()));
}

// Sorts one layer by barycentre; equal barycentres keep their order. The keys are sorted
// beside the node numbers so that comparisons need not reach into the nodes.
void SortLayer(TLayeredGraph &graph, std::vector<int> &layer, bool byInEdges,
               std::vector<std::pair<float, int>> &keys)
{
    keys.clear();
    for (int v : layer) {
        TNode &node = graph.Nodes[v];
        node.Barycentre = MeanPosition(graph, byInEdges ? node.InEdges : node.OutEdges, byInEdges);
        keys.emplace_back(node.Barycentre, v);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t p = 0; p < layer.size(); ++p) {
        layer[p] = keys[p].second;
        graph.Nodes[layer[p]].Position = static_cast<int>(p);
    }
}

// Binary indexed tree over the places of one layer: how many edge ends lie at or left of a place.
class TPlaceCounter
{
public:
    void Reset(std::size_t size)
    {
        FTree.assign(size + 1, 0);
        FTotal = 0;
    }
    void Add(int place)
    {
        ++FTotal;
        for (std::size_t i = static_cast<std::size_t>(place) + 1; i < FTree.size(); i += i & (~i + 1))
            ++FTree[i];
    }
    // Ends added so far that lie strictly right of the place.
    std::int64_t RightOf(int place) const
    {
        std::int64_t atOrLeft = 0;
        for (std::size_t i = static_cast<std::size_t>(place) + 1; i > 0; i -= i & (~i + 1))
            atOrLeft += FTree[i];
        return FTotal - atOrLeft;
    }

private:
    std::vector<std::int64_t> FTree;
    std::int64_t FTotal = 0;
};

} // namespace

std::int64_t CountCrossings(const TLayeredGraph &graph)
{
    // Edges taken by their upper end from left to right, and for one upper end by their lower
    // end from left to right; an edge crosses every earlier edge whose lower end lies strictly
    // to the right of its own. Counting those with a tree makes each layer pair cost
    // edges x log(width) where the open-edge sweep could cost edges x open edges.
    std::int64_t crossings = 0;
    TPlaceCounter counter;
    std::vector<int> byPlace;
    std::vector<int> ends;
    for (std::size_t l = 0; l + 1 < graph.Layers.size(); ++l) {
        const auto &upper = graph.Layers[l];
        const auto &lower = graph.Layers[l + 1];
        byPlace.assign(upper.size(), -1);
        for (int v : upper)
            byPlace[graph.Nodes[v].Position] = v;
        counter.Reset(lower.size());
        for (int v : byPlace) {
            if (v < 0)
                continue;
            const TNode &node = graph.Nodes[v];
            ends.clear();
            for (int e : node.OutEdges) {
                const TNode &end = graph.Nodes[graph.Edges[e].ToNode];
                if (end.Layer == node.Layer + 1)
                    ends.push_back(end.Position);
            }
            std::sort(ends.begin(), ends.end());
            for (int place : ends) {
                crossings += counter.RightOf(place);
                counter.Add(place);
            }
        }
    }
    return crossings;
}

void OrderLayers(TLayeredGraph &graph)
{
    auto &layers = graph.Layers;
    for (auto &layer : layers)
        for (std::size_t p = 0; p < layer.size(); ++p)
            graph.Nodes[layer[p]].Position = static_cast<int>(p);

    // The best order starts as the current one, so that even a count beyond any limit leaves
    // a sound order behind; any real count replaces it.
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    std::vector<int> saved(graph.Nodes.size());
    auto save = [&] {
        for (std::size_t i = 0; i < graph.Nodes.size(); ++i)
            saved[i] = graph.Nodes[i].Position;
    };
    auto keepBest = [&] {
        const std::int64_t count = CountCrossings(graph);
        if (count < best) {
            best = count;
            save();
        }
    };
    save();

    const int layerCount = static_cast<int>(layers.size());
    std::vector<std::pair<float, int>> keys;
    for (int round = 1;; ++round) {
        for (int l = 1; l < layerCount; ++l)
            SortLayer(graph, layers[l], true, keys);
        keepBest();
        if (best == 0)
            break;
        for (int l = layerCount - 2; l >= 0; --l)
            SortLayer(graph, layers[l], false, keys);
        keepBest();
        if (round > MaxOrderingRounds || best == 0)
            break;
    }

    for (std::size_t i = 0; i < graph.Nodes.size(); ++i)
        graph.Nodes[i].Position = saved[i];
    for (auto &layer : layers) {
        std::vector<int> sorted(layer.size());
        for (int v : layer)
            sorted[graph.Nodes[v].Position] = v;
        layer = std::move(sorted);
    }
}
