// Topological order, layer numbers, dummy nodes and the filling of the layers.
#include <algorithm>
#include <deque>
#include <functional>
#include <queue>
#include <utility>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/layout_phases.h"

namespace {

// Puts Nodes into the given order and renumbers them 0..n-1; edges follow their nodes.
void ReorderNodes(TLayeredGraph &graph, const std::vector<int> &order)
{
    std::vector<int> newIndex(graph.Nodes.size());
    std::vector<TNode> sorted;
    sorted.reserve(graph.Nodes.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        newIndex[order[i]] = static_cast<int>(i);
        sorted.push_back(std::move(graph.Nodes[order[i]]));
        sorted.back().Index = static_cast<int>(i);
    }
    graph.Nodes = std::move(sorted);
    for (TEdge &edge : graph.Edges) {
        edge.FromNode = newIndex[edge.FromNode];
        edge.ToNode = newIndex[edge.ToNode];
    }
}

} // namespace

void AssignLayers(TLayeredGraph &graph)
{
    const int n = static_cast<int>(graph.Nodes.size());
    if (n == 0)
        return;

    std::vector<int> remaining(n);
    std::deque<int> queue;
    for (int i = 0; i < n; ++i) {
        remaining[i] = static_cast<int>(graph.Nodes[i].InEdges.size());
        if (remaining[i] == 0)
            queue.push_back(i);
    }
    // Every node has a predecessor only when a cycle is left.
    if (queue.empty())
        throw ELayoutError(ConnectionCyclesText);

    std::vector<int> order;
    order.reserve(n);
    std::vector<char> ordered(n, 0);
    while (!queue.empty()) {
        const int v = queue.front();
        queue.pop_front();
        ordered[v] = 1;
        order.push_back(v);
        for (int e : graph.Nodes[v].OutEdges) {
            const int w = graph.Edges[e].ToNode;
            if (--remaining[w] == 0 && !ordered[w])
                queue.push_back(w);
        }
    }
    if (static_cast<int>(order.size()) != n)
        throw ELayoutError(ConnectionCyclesText);
    ReorderNodes(graph, order);

    for (TNode &node : graph.Nodes) {
        int layer = 0;
        for (int e : node.InEdges)
            layer = std::max(layer, graph.Nodes[graph.Edges[e].FromNode].Layer + 1);
        node.Layer = layer;
    }
}

void InsertDummyNodes(TLayeredGraph &graph)
{
    const int realCount = static_cast<int>(graph.Nodes.size());
    // Where each edge sits in its end node's InEdges. Only real nodes' in-edges are re-pointed,
    // in place, so these places hold for the whole step, and the edge being split is the first
    // one from its start node still in that list (see TLayeredGraph); looking it up here instead
    // of scanning keeps a much referenced table from costing a scan per reference.
    std::vector<int> inPlace(graph.Edges.size());
    for (const TNode &node : graph.Nodes)
        for (std::size_t p = 0; p < node.InEdges.size(); ++p)
            inPlace[node.InEdges[p]] = static_cast<int>(p);

    for (int u = 0; u < realCount; ++u) {
        const std::size_t outCount = graph.Nodes[u].OutEdges.size();
        for (std::size_t k = 0; k < outCount; ++k) {
            const int e = graph.Nodes[u].OutEdges[k];
            const int w = graph.Edges[e].ToNode;
            const int uLayer = graph.Nodes[u].Layer;
            const int span = graph.Nodes[w].Layer - uLayer;
            if (span <= 1)
                continue;
            const int first = static_cast<int>(graph.Nodes.size());
            for (int d = 1; d < span; ++d) {
                const int dummy = graph.AddNode(DummyWidth, 0, true, -1);
                graph.Nodes[dummy].Layer = uLayer + d;
            }
            const int last = static_cast<int>(graph.Nodes.size()) - 1;
            for (int d = first; d < last; ++d)
                graph.AddEdge(d, d + 1);
            graph.Edges[e].ToNode = first;
            graph.Nodes[first].InEdges.push_back(e);
            const int tail = static_cast<int>(graph.Edges.size());
            graph.Edges.push_back(TEdge{last, w});
            graph.Nodes[w].InEdges[inPlace[e]] = tail;
            graph.Nodes[last].OutEdges.push_back(tail);
        }
    }
}

void BuildLayers(TLayeredGraph &graph)
{
    auto &layers = graph.Layers;
    layers.clear();
    const int n = static_cast<int>(graph.Nodes.size());
    for (int i = 0; i < n; ++i) {
        if (!graph.HasEdges(i))
            continue;
        const int layer = graph.Nodes[i].Layer;
        if (static_cast<int>(layers.size()) <= layer)
            layers.resize(layer + 1);
        layers[layer].push_back(i);
    }

    // Layers that may still take an isolated node, smallest first, then topmost first. A heap
    // instead of a scan of all layers per isolated node: a deep graph with many loose tables
    // would otherwise cost layers x isolated nodes.
    using Entry = std::pair<std::size_t, std::size_t>;  // (node count, layer)
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    for (std::size_t l = 0; l < layers.size(); ++l)
        if (layers[l].size() < static_cast<std::size_t>(MaxLayerForIsolated))
            open.emplace(layers[l].size(), l);

    for (int i = 0; i < n; ++i) {
        if (graph.HasEdges(i))
            continue;
        std::size_t layer;
        if (open.empty()) {
            layer = layers.size();
            layers.emplace_back();
        } else {
            layer = open.top().second;
            open.pop();
        }
        layers[layer].push_back(i);
        if (layers[layer].size() < static_cast<std::size_t>(MaxLayerForIsolated))
            open.emplace(layers[layer].size(), layer);
    }
}
