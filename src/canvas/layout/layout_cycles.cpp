// Graph building and cycle breaking of the layered layout.
#include <algorithm>
#include <optional>
#include <string>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/layout_phases.h"

TLayeredGraph BuildGraph(const TLayoutGraph &input)
{
    TLayeredGraph graph;
    const int count = static_cast<int>(input.Nodes.size());
    graph.Nodes.reserve(input.Nodes.size());
    for (int i = 0; i < count; ++i)
        graph.AddNode(input.Nodes[i].Width, input.Nodes[i].Height, false, i);
    for (const TLayoutEdge &edge : input.Edges) {
        if (edge.FromNode < 0 || edge.FromNode >= count || edge.ToNode < 0 || edge.ToNode >= count)
            throw ELayoutError("A layout edge refers to node " +
                               std::to_string(edge.FromNode < 0 || edge.FromNode >= count
                                                  ? edge.FromNode
                                                  : edge.ToNode) +
                               ", which does not exist.");
        // A table that references itself does not take part in the ordering.
        if (edge.FromNode != edge.ToNode)
            graph.AddEdge(edge.FromNode, edge.ToNode);
    }
    return graph;
}

namespace {

// Picks and reverses one edge inside a strongly connected component (listed in pop order).
// The first edge with the highest score wins, whatever the score: a cycle must never stay.
void ReverseOneEdge(TLayeredGraph &graph, const std::vector<int> &component,
                    const std::vector<int> &componentOf, int componentId)
{
    std::optional<int> best;
    int bestScore = 0;
    for (int u : component) {
        const TNode &from = graph.Nodes[u];
        const int outDegree = static_cast<int>(from.OutEdges.size());
        for (int e : from.OutEdges) {
            const int w = graph.Edges[e].ToNode;
            if (componentOf[w] != componentId)
                continue;
            int score = static_cast<int>(graph.Nodes[w].InEdges.size()) +
                        static_cast<int>(from.InEdges.size()) - outDegree;
            if (outDegree == 1)
                score += 50;
            if (!best || score > bestScore) {
                best = e;
                bestScore = score;
            }
        }
    }
    graph.ReverseEdge(*best);
}

// One Tarjan search from a virtual root that points at every node in node order; reverses one
// edge in every component of more than one node. Returns whether anything was reversed.
// The search keeps its own stack so that long chains cannot overflow the call stack.
bool BreakCyclesPass(TLayeredGraph &graph)
{
    const int n = static_cast<int>(graph.Nodes.size());
    const int root = n;
    constexpr int unvisited = -1;
    std::vector<int> index(n + 1, unvisited), low(n + 1, 0);
    std::vector<char> done(n + 1, 0);
    std::vector<int> componentOf(n + 1, -1);
    std::vector<int> nodeStack;
    std::vector<int> component;
    int counter = 0;
    int componentId = 0;
    bool changed = false;

    struct Frame
    {
        int node;
        std::size_t next;  // next out-edge (for the root: next node)
    };
    std::vector<Frame> frames;

    auto visit = [&](int v) {
        nodeStack.push_back(v);
        index[v] = low[v] = counter++;
        frames.push_back(Frame{v, 0});
    };

    visit(root);
    while (!frames.empty()) {
        Frame &frame = frames.back();
        const int v = frame.node;
        int w = -1;
        if (v == root) {
            if (frame.next < static_cast<std::size_t>(n))
                w = static_cast<int>(frame.next++);
        } else {
            const auto &out = graph.Nodes[v].OutEdges;
            if (frame.next < out.size())
                w = graph.Edges[out[frame.next++]].ToNode;
        }
        if (w >= 0) {
            if (done[w])
                continue;
            if (index[w] == unvisited)
                visit(w);  // low-link of v is updated when w's frame is left
            else
                low[v] = std::min(low[v], index[w]);
            continue;
        }

        // Every edge of v has been followed.
        if (low[v] == index[v]) {
            component.clear();
            int popped;
            do {
                popped = nodeStack.back();
                nodeStack.pop_back();
                component.push_back(popped);
                done[popped] = 1;
                componentOf[popped] = componentId;
            } while (popped != v);
            if (component.size() > 1) {
                changed = true;
                ReverseOneEdge(graph, component, componentOf, componentId);
            }
            ++componentId;
        }
        frames.pop_back();
        if (!frames.empty()) {
            const int parent = frames.back().node;
            low[parent] = std::min(low[parent], low[v]);
        }
    }
    return changed;
}

} // namespace

int BreakCycles(TLayeredGraph &graph)
{
    int passes = 0;
    for (;;) {
        const bool changed = BreakCyclesPass(graph);
        ++passes;
        if (passes > MaxCycleBreakingPasses)
            throw ELayoutError(LayoutFailedText);
        if (!changed)
            return passes;
    }
}
