// Barycentre ordering of the layers and the crossing count that judges it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "canvas/layout/layout_phases.h"

namespace {

// One list of node numbers per node, all in one array: the lists of node v are
// Items[Start[v]] .. Items[Start[v + 1] - 1].
struct TNodeLists
{
    std::vector<int> Start;
    std::vector<int> Items;

    const int *begin(int v) const { return Items.data() + Start[v]; }
    const int *end(int v) const { return Items.data() + Start[v + 1]; }
};

// The edges as the sweeps need them, with the nodes numbered afresh layer after layer (nodes
// in no layer last). A large page has over a hundred thousand nodes, mostly dummies numbered in
// the order they were made; the sweeps visit every edge forty-odd times, and with the nodes of
// one layer side by side in small arrays those visits stay within the cache.
struct TSweepGraph
{
    std::vector<int> Node;   // graph node of each number
    std::vector<int> Id;     // number of each graph node
    std::vector<std::vector<int>> Layers;
    TNodeLists Upper;        // start nodes of the in-edges, in InEdges order
    TNodeLists Lower;        // end nodes of the out-edges, in OutEdges order
    TNodeLists NextLayer;    // end nodes of the out-edges that lie on the very next layer

    explicit TSweepGraph(const TLayeredGraph &graph)
    {
        Id.assign(graph.Nodes.size(), -1);
        Layers.resize(graph.Layers.size());
        for (std::size_t l = 0; l < graph.Layers.size(); ++l)
            for (int v : graph.Layers[l]) {
                Id[v] = static_cast<int>(Node.size());
                Node.push_back(v);
                Layers[l].push_back(Id[v]);
            }
        for (std::size_t v = 0; v < graph.Nodes.size(); ++v)
            if (Id[v] < 0) {
                Id[v] = static_cast<int>(Node.size());
                Node.push_back(static_cast<int>(v));
            }
        Fill(graph, Upper, [&](const TNode &node, std::vector<int> &items) {
            for (int e : node.InEdges)
                items.push_back(Id[graph.Edges[e].FromNode]);
        });
        Fill(graph, Lower, [&](const TNode &node, std::vector<int> &items) {
            for (int e : node.OutEdges)
                items.push_back(Id[graph.Edges[e].ToNode]);
        });
        Fill(graph, NextLayer, [&](const TNode &node, std::vector<int> &items) {
            for (int e : node.OutEdges) {
                const int w = graph.Edges[e].ToNode;
                if (graph.Nodes[w].Layer == node.Layer + 1)
                    items.push_back(Id[w]);
            }
        });
    }

private:
    template <typename TEnds>
    void Fill(const TLayeredGraph &graph, TNodeLists &lists, TEnds ends) const
    {
        lists.Start.assign(1, 0);
        lists.Items.clear();
        for (int v : Node) {
            ends(graph.Nodes[v], lists.Items);
            lists.Start.push_back(static_cast<int>(lists.Items.size()));
        }
    }
};

// Mean place of the given nodes; 0 without any. The sum is exact; only the mean is stored in
// single precision, as the barycentre field holds it.
float MeanPosition(const std::vector<int> &position, const int *first, const int *last)
{
    if (first == last)
        return 0.0f;
    std::int64_t sum = 0;
    for (const int *v = first; v != last; ++v)
        sum += position[*v];
    // Most nodes are dummies with one edge each way: their mean is the place itself, and the
    // conversion alone rounds it exactly as the division would.
    if (last - first == 1)
        return static_cast<float>(sum);
    return static_cast<float>(static_cast<long double>(sum) / static_cast<long double>(last - first));
}

// Binary indexed tree over the places of one layer: how many edge ends lie at or left of a place.
// The counts of one layer pair fit 32 bits (a pair has fewer edges than that), which keeps the
// tree of a wide layer within the nearest cache.
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
        std::uint32_t atOrLeft = 0;
        for (std::size_t i = static_cast<std::size_t>(place) + 1; i > 0; i -= i & (~i + 1))
            atOrLeft += FTree[i];
        return static_cast<std::int64_t>(FTotal - atOrLeft);
    }
    // Counts the crossings of an edge ending at the place with those added before, and adds it.
    std::int64_t Cross(int place)
    {
        const std::int64_t crossings = RightOf(place);
        Add(place);
        return crossings;
    }

private:
    std::vector<std::uint32_t> FTree;
    std::uint32_t FTotal = 0;
};

// The ordering's working state: places of the nodes and the buffers the sweeps reuse, so
// that a round allocates nothing.
class TLayerSweep
{
public:
    explicit TLayerSweep(const TLayeredGraph &graph) : FGraph(graph)
    {
        for (int v : FGraph.Node) {
            Position.push_back(graph.Nodes[v].Position);
            Barycentre.push_back(graph.Nodes[v].Barycentre);
        }
    }

    // Both by the sweep's own node numbers (see TSweepGraph).
    std::vector<int> Position;  // place of each node within its layer
    std::vector<float> Barycentre;

    int NodeOf(int id) const { return FGraph.Node[id]; }

    std::int64_t CountCrossings()
    {
        const auto &layers = FGraph.Layers;
        // Edges taken by their upper end from left to right, and for one upper end by their
        // lower end from left to right; an edge crosses every earlier edge whose lower end lies
        // strictly to the right of its own. Counting those with a tree makes each layer pair
        // cost edges x log(width) where the open-edge sweep could cost edges x open edges.
        std::int64_t crossings = 0;
        for (std::size_t l = 0; l + 1 < layers.size(); ++l) {
            const auto &upper = layers[l];
            // While the sweeps run, each layer lists its nodes in place order.
            if (!LayersInPlaceOrder) {
                FByPlace.assign(upper.size(), -1);
                for (int v : upper)
                    FByPlace[Position[v]] = v;
            }
            const std::vector<int> &byPlace = LayersInPlaceOrder ? upper : FByPlace;
            FCounter.Reset(layers[l + 1].size());
            for (int v : byPlace) {
                if (v < 0)
                    continue;
                const int *first = FGraph.NextLayer.begin(v);
                const int *last = FGraph.NextLayer.end(v);
                // Nearly every node is a dummy with one edge down.
                if (last - first == 1) {
                    crossings += FCounter.Cross(Position[*first]);
                    continue;
                }
                FEnds.clear();
                for (const int *w = first; w != last; ++w)
                    FEnds.push_back(Position[*w]);
                std::sort(FEnds.begin(), FEnds.end());
                for (int place : FEnds)
                    crossings += FCounter.Cross(place);
            }
        }
        return crossings;
    }

    // Set once the layers list their nodes by place and SortLayer keeps them so.
    bool LayersInPlaceOrder = false;

    // Sorts one layer by barycentre; equal barycentres keep their order. Each key is the
    // barycentre's bits above the node's old place: barycentres are never negative, so their
    // bits order as they do, and the place breaks ties the way a stable sort would.
    void SortLayer(std::size_t l, bool byInEdges)
    {
        std::vector<int> &layer = FGraph.Layers[l];
        std::vector<float> &barycentre = Barycentre;
        const TNodeLists &ends = byInEdges ? FGraph.Upper : FGraph.Lower;
        FKeys.clear();
        for (std::size_t p = 0; p < layer.size(); ++p) {
            const int v = layer[p];
            barycentre[v] = MeanPosition(Position, ends.begin(v), ends.end(v));
            std::uint32_t bits;
            std::memcpy(&bits, &barycentre[v], sizeof bits);
            FKeys.push_back(std::uint64_t{bits} << 32 | p);
        }
        // After the first rounds most layers come back in the order they already have.
        if (std::is_sorted(FKeys.begin(), FKeys.end()))
            return;
        SortKeys();
        FOldLayer.assign(layer.begin(), layer.end());
        for (std::size_t p = 0; p < layer.size(); ++p) {
            layer[p] = FOldLayer[static_cast<std::uint32_t>(FKeys[p])];
            Position[layer[p]] = static_cast<int>(p);
        }
    }

private:
    TSweepGraph FGraph;
    TPlaceCounter FCounter;
    std::vector<int> FByPlace;
    std::vector<int> FEnds;
    std::vector<std::uint64_t> FKeys;
    std::vector<int> FOldLayer;
    std::vector<std::uint64_t> FSpare;

    // Wide layers are sorted by the barycentre bits alone, a byte at a time, each pass keeping
    // the order of the one before: the keys arrive in place order, so the places still break
    // the ties. A comparison sort of the widest layers took longer than the rest of a sweep.
    void SortKeys()
    {
        if (FKeys.size() < 512) {
            std::sort(FKeys.begin(), FKeys.end());
            return;
        }
        FSpare.resize(FKeys.size());
        for (int shift = 32; shift < 64; shift += 8) {
            std::array<std::size_t, 257> start{};
            for (std::uint64_t key : FKeys)
                ++start[((key >> shift) & 0xff) + 1];
            if (start[((FKeys.front() >> shift) & 0xff) + 1] == FKeys.size())
                continue;  // one byte value throughout: the pass would change nothing
            for (std::size_t b = 1; b < start.size(); ++b)
                start[b] += start[b - 1];
            for (std::uint64_t key : FKeys)
                FSpare[start[(key >> shift) & 0xff]++] = key;
            FKeys.swap(FSpare);
        }
    }
};

} // namespace

std::int64_t CountCrossings(const TLayeredGraph &graph)
{
    return TLayerSweep(graph).CountCrossings();
}

void OrderLayers(TLayeredGraph &graph)
{
    auto &layers = graph.Layers;
    for (auto &layer : layers)
        for (std::size_t p = 0; p < layer.size(); ++p)
            graph.Nodes[layer[p]].Position = static_cast<int>(p);
    TLayerSweep sweep(graph);
    sweep.LayersInPlaceOrder = true;

    // The best order starts as the current one, so that even a count beyond any limit leaves
    // a sound order behind; any real count replaces it.
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    std::vector<int> saved = sweep.Position;
    auto keepBest = [&] {
        const std::int64_t count = sweep.CountCrossings();
        if (count < best) {
            best = count;
            saved = sweep.Position;
        }
    };

    const int layerCount = static_cast<int>(layers.size());
    for (int round = 1;; ++round) {
        for (int l = 1; l < layerCount; ++l)
            sweep.SortLayer(static_cast<std::size_t>(l), true);
        keepBest();
        if (best == 0)
            break;
        for (int l = layerCount - 2; l >= 0; --l)
            sweep.SortLayer(static_cast<std::size_t>(l), false);
        keepBest();
        if (round > MaxOrderingRounds || best == 0)
            break;
    }

    for (std::size_t id = 0; id < saved.size(); ++id) {
        TNode &node = graph.Nodes[sweep.NodeOf(static_cast<int>(id))];
        node.Position = saved[id];
        node.Barycentre = sweep.Barycentre[id];
    }
    for (auto &layer : layers) {
        std::vector<int> sorted(layer.size());
        for (int v : layer)
            sorted[graph.Nodes[v].Position] = v;
        layer = std::move(sorted);
    }
}
