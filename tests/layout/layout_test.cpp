// The layered layout: phases and whole layouts worked out by hand, failures that move nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/layout_phases.h"
#include "canvas/layout/sugiyama_layout.h"

namespace {

using Ends = std::vector<std::pair<int, int>>;
struct Box { int width, height; };
using Place = std::pair<std::int64_t, std::int64_t>;  // left, top

// Boxes start at (7, 9) with ids from 100: one left unmoved or given another's id shows.
TLayoutGraph MakeGraph(const std::vector<Box> &boxes, const Ends &edges)
{
    TLayoutGraph graph;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        graph.AddNode(std::int64_t(100 + i), 7, 9, boxes[i].width, boxes[i].height);
    for (auto [from, to] : edges)
        graph.AddEdge(from, to);
    return graph;
}
TLayoutGraph Uniform(int nodes, const Ends &edges) { return MakeGraph(std::vector<Box>(std::size_t(nodes), {100, 50}), edges); }

Ends EdgesOf(const TLayeredGraph &graph, const std::vector<int> &ids)
{
    Ends ends;
    for (int e : ids)
        ends.emplace_back(graph.Edges[e].FromNode, graph.Edges[e].ToNode);
    return ends;
}
Ends AllEdges(const TLayeredGraph &graph)
{
    Ends ends;
    for (const TEdge &e : graph.Edges)
        ends.emplace_back(e.FromNode, e.ToNode);
    return ends;
}
Ends EveryPairBothWays(int nodes)
{
    Ends edges;
    for (int i = 0; i < nodes * nodes; ++i)
        if (i / nodes != i % nodes)
            edges.emplace_back(i / nodes, i % nodes);
    return edges;
}

// A layered graph by hand: node counts per layer, edges between (layer, place) pairs.
TLayeredGraph MakeLayered(const std::vector<int> &sizes, const std::vector<std::pair<Ends::value_type, Ends::value_type>> &edges)
{
    TLayeredGraph graph;
    graph.Layers.resize(sizes.size());
    for (std::size_t l = 0; l < sizes.size(); ++l)
        for (int p = 0; p < sizes[l]; ++p) {
            graph.Layers[l].push_back(graph.AddNode(100, 50, false, int(graph.Nodes.size())));
            graph.Nodes.back().Layer = int(l), graph.Nodes.back().Position = p;
        }
    for (const auto &[from, to] : edges)
        graph.AddEdge(graph.Layers[from.first][from.second], graph.Layers[to.first][to.second]);
    return graph;
}

TEST(LayoutPhases, BreakCyclesTurnsTheFirstBestEdgeOfEachComponent)
{
    const struct { const char *name; int nodes; Ends edges, expected; int passes; } cases[] = {
        {"acyclic", 3, {{0, 1}, {1, 2}, {0, 2}}, {{0, 1}, {1, 2}, {0, 2}}, 1},
        {"two-cycle: component [B, A], both score 51, B->A first", 2, {{0, 1}, {1, 0}}, {{0, 1}, {0, 1}}, 2},
        {"three-cycle", 3, {{0, 1}, {1, 2}, {2, 0}}, {{0, 1}, {1, 2}, {0, 2}}, 2},
        {"both score 1 + 1 - 3 = -1, the first (B->A) still turns", 6, {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 4}, {1, 5}}, {{0, 1}, {0, 2}, {0, 3}, {0, 1}, {1, 4}, {1, 5}}, 2},
        {"A->B scores 1 + 1 - 4, B->A 1 + 1 - 1 + 50: B->A turns", 5, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}}, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 1}}, 2},
        {"score -2", 8, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}, {1, 5}, {1, 6}, {1, 7}},
         {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 1}, {1, 5}, {1, 6}, {1, 7}}, 2},
        {"two components, one pass", 4, {{0, 1}, {1, 0}, {2, 3}, {3, 2}}, {{0, 1}, {0, 1}, {2, 3}, {2, 3}}, 2},
    };
    for (const auto &c : cases) {
        TLayeredGraph graph = BuildGraph(Uniform(c.nodes, c.edges));
        EXPECT_EQ(BreakCycles(graph), c.passes) << c.name;
        EXPECT_EQ(AllEdges(graph), c.expected) << c.name;
    }
    // A ring of 200,000 needs no deep call stack; the last node's edge is found first.
    Ends ring;
    for (int i = 0; i < 200000; ++i)
        ring.emplace_back(i, (i + 1) % 200000);
    TLayeredGraph graph = BuildGraph(Uniform(200000, ring));
    EXPECT_EQ(BreakCycles(graph), 2);
    EXPECT_EQ(AllEdges(graph).back(), (std::pair<int, int>{0, 199999}));
    // One edge turns per component and pass: eight tables referencing each other fit in 30.
    TLayeredGraph eight = BuildGraph(Uniform(8, EveryPairBothWays(8)));
    EXPECT_LE(BreakCycles(eight), 30);
}

TEST(LayoutPhases, BuildLayersAndDummies)
{
    // Sources queue first in first out; layers by longest path.
    TLayeredGraph graph = BuildGraph(Uniform(5, {{1, 3}, {0, 4}, {4, 3}}));
    AssignLayers(graph);
    std::vector<int> sourceLayerIndex;
    for (const TNode &node : graph.Nodes)
        sourceLayerIndex.push_back(node.Source * 100 + node.Layer * 10 + node.Index);
    EXPECT_EQ(sourceLayerIndex, (std::vector<int>{0, 101, 202, 413, 324}));
    // A->B->C->D and A->D: two 100 wide, flat dummies carry the long edge in its place.
    graph = BuildGraph(Uniform(4, {{0, 1}, {1, 2}, {2, 3}, {0, 3}}));
    AssignLayers(graph);
    InsertDummyNodes(graph);
    ASSERT_EQ(graph.Nodes.size(), 6u);
    for (int d : {4, 5}) EXPECT_TRUE(graph.Nodes[d].IsDummy && graph.Nodes[d].Width == 100 && graph.Nodes[d].Height == 0 && graph.Nodes[d].Layer == d - 3);
    EXPECT_EQ(EdgesOf(graph, graph.Nodes[0].OutEdges), (Ends{{0, 1}, {0, 4}}));
    EXPECT_EQ(EdgesOf(graph, graph.Nodes[4].OutEdges), (Ends{{4, 5}}));
    EXPECT_EQ(EdgesOf(graph, graph.Nodes[3].InEdges), (Ends{{2, 3}, {5, 3}}));
    // Parallel long edges are paired with their dummies in order.
    graph = BuildGraph(Uniform(3, {{0, 1}, {0, 2}, {0, 1}, {2, 1}}));
    AssignLayers(graph);
    InsertDummyNodes(graph);
    EXPECT_EQ(EdgesOf(graph, graph.Nodes[0].OutEdges), (Ends{{0, 3}, {0, 1}, {0, 4}}));
    EXPECT_EQ(EdgesOf(graph, graph.Nodes[2].InEdges), (Ends{{3, 2}, {4, 2}, {1, 2}}));
    // Sixteen tables reference R: layer 0 is full, fifteen loose ones join R, one opens a layer.
    Ends toR;
    for (int i = 0; i < 16; ++i) toR.emplace_back(i, 16);
    graph = BuildGraph(Uniform(33, toR));
    AssignLayers(graph);
    BuildLayers(graph);
    EXPECT_EQ(std::vector<std::size_t>({graph.Layers[0].size(), graph.Layers[1].size(), graph.Layers.back().size()}), (std::vector<std::size_t>{16, 16, 1}));
    // A left-over cycle, with or without a source before it, is refused.
    for (const Ends &cycle : {Ends{{0, 1}, {1, 2}, {2, 1}}, Ends{{1, 2}, {2, 1}}}) {
        graph = BuildGraph(Uniform(3, cycle));
        EXPECT_THROW(AssignLayers(graph), ELayoutError);
    }
}

TEST(LayoutPhases, CrossingsRoundingAndForces)
{
    // Parallel edges count apart, shared ends never cross.
    EXPECT_EQ(CountCrossings(MakeLayered({2, 2}, {{{0, 0}, {1, 1}}, {{0, 0}, {1, 1}}, {{0, 0}, {1, 0}}, {{0, 1}, {1, 0}}})), 2);
    // Only edges between neighbouring layers count: the two crossed edges that skip a layer do not.
    EXPECT_EQ(CountCrossings(MakeLayered({2, 2, 2}, {{{0, 0}, {1, 1}}, {{0, 1}, {1, 0}}, {{0, 0}, {2, 1}}, {{0, 1}, {2, 0}}})), 1);
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<int> sizes(std::size_t(2 + random() % 4));
        for (int &size : sizes) size = 1 + int(random() % 9);
        std::vector<std::pair<Ends::value_type, Ends::value_type>> edges;
        for (std::size_t l = 0; l + 1 < sizes.size(); ++l)
            for (int k = int(random() % 20); k > 0; --k)
                edges.push_back({{int(l), int(random() % unsigned(sizes[l]))}, {int(l) + 1, int(random() % unsigned(sizes[l + 1]))}});
        TLayeredGraph graph = MakeLayered(sizes, edges);
        for (auto &layer : graph.Layers)  // list order apart from Position
            std::shuffle(layer.begin(), layer.end(), random);
        std::int64_t expected = 0;
        for (const TEdge &a : graph.Edges)
            for (const TEdge &b : graph.Edges)
                expected += graph.Nodes[a.FromNode].Layer == graph.Nodes[b.FromNode].Layer
                            && graph.Nodes[a.FromNode].Position < graph.Nodes[b.FromNode].Position
                            && graph.Nodes[a.ToNode].Position > graph.Nodes[b.ToNode].Position;
        EXPECT_EQ(CountCrossings(graph), expected) << "round " << round;
    }
    const std::pair<double, std::int64_t> rounding[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {62.5, 62}, {165.5, 166}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {7.9166, 8}, {2.4999, 2}, {-2.6, -3}, {0.0, 0}};
    for (auto [value, expected] : rounding)
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
    // u (101 wide: centre 5 + 50) over centres 55, 160, 265: (0 + 105 + 210) / 3.
    TLayeredGraph graph = MakeLayered({1, 3}, {{{0, 0}, {1, 0}}, {{0, 0}, {1, 1}}, {{0, 0}, {1, 2}}});
    graph.Nodes[0].Width = 101;
    PlaceHorizontally(graph);
    EXPECT_FLOAT_EQ(NodeForce(graph, 0), 105.0f);
    EXPECT_FLOAT_EQ(NodeForce(graph, 3), -210.0f);
    // A layer of dummies only adds the gap.
    graph = MakeLayered({1, 1, 1}, {});
    graph.Nodes[1].IsDummy = true, graph.Nodes[1].Height = 0;
    PlaceVertically(graph);
    EXPECT_EQ(std::vector<std::int64_t>({graph.Nodes[0].Y, graph.Nodes[1].Y, graph.Nodes[2].Y}), (std::vector<std::int64_t>{40, 100, 110}));
}

TEST(LayoutPhases, WideLayerSortsByBarycentreAndKeepsTiesInOrder)
{
    // Below 600 upper nodes: B (from 512), A (99 edges from 512, one from 513: 512.01, a hair
    // above 512), then one node under each upper node. Wide enough for the sort used on big
    // pages; the first sweep leaves no crossing, so its order is the result: B keeps its place
    // before the tied node under 512, and A moves behind both.
    const int width = 600;
    std::vector<std::pair<Ends::value_type, Ends::value_type>> edges(99, {{0, 512}, {1, 1}});
    edges.push_back({{0, 513}, {1, 1}});
    edges.push_back({{0, 512}, {1, 0}});
    for (int j = 0; j < width; ++j)
        edges.push_back({{0, j}, {1, 2 + j}});
    TLayeredGraph graph = MakeLayered({width, width + 2}, edges);
    OrderLayers(graph);
    std::vector<int> expected;
    for (int j = 0; j < width; ++j) {
        expected.push_back(width + 2 + j);
        if (j == 511)
            expected.push_back(width);      // B
        if (j == 512)
            expected.push_back(width + 1);  // A
    }
    EXPECT_EQ(graph.Layers[1], expected);
    EXPECT_EQ(CountCrossings(graph), 0);
}

TEST(SugiyamaLayout, PlacesEveryBoxAsWorkedOutByHand)
{
    const struct { const char *name; std::vector<Box> boxes; Ends edges; std::vector<Place> expected; } cases[] = {
        {"emp-dept", {{100, 60}, {200, 50}}, {{0, 1}}, {{55, 40}, {5, 110}}},
        {"chain: B pulled both ways (-25) stays at the margin", {{150, 60}, {200, 100}, {100, 80}}, {{0, 1}, {1, 2}}, {{30, 40}, {5, 110}, {55, 220}}},
        {"diamond: A's force 62.5 rounds to 62; B and C one block that may not move", {{100, 50}, {120, 60}, {80, 40}, {100, 70}}, {{0, 1}, {0, 2}, {1, 3}, {2, 3}}, {{67, 40}, {5, 100}, {130, 100}, {67, 170}}},
        {"three-cycle: C->A turns, spans two layers over a 100 wide dummy", {{100, 50}, {100, 50}, {100, 50}}, {{0, 1}, {1, 2}, {2, 0}}, {{57, 40}, {5, 100}, {57, 160}}},
        {"mutual with others: score -1 still turns; middle block by round(23.75 / 3), bottom 165.5 -> 166", {{100, 50}, {100, 60}, {80, 40}, {80, 40}, {60, 30}, {60, 30}}, {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 4}, {1, 5}},
         {{106, 40}, {183, 100}, {13, 100}, {98, 100}, {171, 170}, {236, 170}}},
        {"sweep: Y before X in Kahn's order, the first down sweep swaps them", {{100, 50}, {100, 50}, {100, 50}, {100, 50}}, {{0, 2}, {1, 3}, {1, 2}}, {{5, 40}, {110, 40}, {31, 100}, {136, 100}}},
        {"no room for A's block until B, the last block, moves", {{100, 50}, {100, 50}, {140, 50}, {300, 50}}, {{0, 2}, {1, 3}}, {{5, 40}, {250, 40}, {5, 100}, {150, 100}}},
        {"parallel long edges", {{100, 50}, {100, 50}, {150, 60}}, {{0, 1}, {0, 2}, {0, 1}, {2, 1}}, {{152, 40}, {152, 170}, {5, 100}}},
        {"isolated fill the smaller layers, top first on a tie; A, I1, I3 move by 17", {{150, 60}, {100, 50}, {120, 100}, {200, 80}, {80, 70}}, {{1, 3}, {2, 2}}, {{127, 40}, {22, 40}, {210, 120}, {5, 120}, {282, 40}}},
        {"sixteen loose boxes fill a row (expected below), the seventeenth opens the next", std::vector<Box>(17, {100, 50}), {}, {}},
        {"empty", {}, {}, {}},
    };
    for (const auto &c : cases) {
        TLayoutGraph graph = MakeGraph(c.boxes, c.edges);
        TSugiyamaLayout().Execute(graph);
        std::vector<Place> places;
        for (const TLayoutNode &node : graph.Nodes)
            places.push_back({node.Left, node.Top});
        std::vector<Place> expected = c.expected;
        for (int i = 0; c.expected.empty() && i < int(places.size()); ++i)
            expected.push_back(i < 16 ? Place{5 + 105 * i, 40} : Place{5, 100});
        EXPECT_EQ(places, expected) << c.name;
        for (std::size_t i = 0; i < c.boxes.size(); ++i)
            EXPECT_TRUE(graph.Nodes[i].Id == std::int64_t(100 + i) && graph.Nodes[i].Width == c.boxes[i].width && graph.Nodes[i].Height == c.boxes[i].height);
    }
}

TEST(SugiyamaLayout, TopLayerIsReorderedToRemoveACrossing)
{
    // A->X, B->Y, C->Z, X->P, Z->P, Y->Q: in the order given, Y->Q crosses Z->P.
    const Ends edges = {{0, 3}, {1, 4}, {2, 5}, {3, 6}, {5, 6}, {4, 7}};
    TLayoutGraph graph = Uniform(8, edges);
    TSugiyamaLayout layout;
    layout.Execute(graph);
    EXPECT_EQ(CountCrossings(layout.Graph()), 0);
    for (auto [a, b] : edges)
        for (auto [c, d] : edges)
            if (graph.Nodes[a].Top == graph.Nodes[c].Top)
                EXPECT_GE(std::int64_t(graph.Nodes[a].Left - graph.Nodes[c].Left) * (graph.Nodes[b].Left - graph.Nodes[d].Left), 0);
}

TEST(SugiyamaLayout, FailuresLeaveEveryBoxWhereItWas)
{
    const struct { TLayoutGraph graph; const char *message; } cases[] = {
        // Nine tables all referencing each other (over 30 passes), a page beyond integer
        // coordinates, an edge to a node that is not there.
        {Uniform(9, EveryPairBothWays(9)), "Layout failed."},
        {MakeGraph({{2000000000, 50}, {2000000000, 50}, {100, 50}}, {}), "Layout failed."},
        {Uniform(2, {{0, 1}, {1, 2}}), nullptr},
    };
    for (auto c : cases) {
        std::string what = "no exception";
        try { TSugiyamaLayout().Execute(c.graph); } catch (const ELayoutError &error) { what = error.what(); }
        EXPECT_TRUE(what != "no exception" && (!c.message || what == c.message)) << what;
        for (const TLayoutNode &node : c.graph.Nodes)
            EXPECT_EQ(Place({node.Left, node.Top}), Place({7, 9}));
    }
}

TEST(SugiyamaLayout, RandomSchemasGiveTidyLayers)
{
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        const int n = 1 + int(random() % 60);
        TLayoutGraph graph;
        for (int i = 0; i < n; ++i)
            graph.AddNode(i, 0, 0, 20 + int(random() % 200), int(random() % 150));
        for (int k = int(random() % unsigned(2 * n)); k > 0; --k)
            graph.AddEdge(int(random() % unsigned(n)), int(random() % unsigned(n)));
        TSugiyamaLayout layout;
        try { layout.Execute(graph); } catch (const ELayoutError &) { continue; }
        const TLayeredGraph &result = layout.Graph();
        for (const TEdge &edge : result.Edges)
            EXPECT_TRUE(result.Nodes[edge.FromNode].Layer + 1 == result.Nodes[edge.ToNode].Layer
                        && result.Nodes[edge.FromNode].Y < result.Nodes[edge.ToNode].Y);
        for (const auto &layer : result.Layers)
            for (std::int64_t right = 0; int v : layer) {
                EXPECT_GE(result.Nodes[v].X, right + 5);
                right = result.Nodes[v].X + result.Nodes[v].Width;
            }
        for (const TNode &node : result.Nodes)
            if (!node.IsDummy)
                EXPECT_EQ(Place({graph.Nodes[node.Source].Left, graph.Nodes[node.Source].Top}), Place({node.X, node.Y}));
    }
}

} // namespace
