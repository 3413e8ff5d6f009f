// The phases of the layered layout one by one, on graphs small enough to follow by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/layout_phases.h"

namespace {

TLayoutGraph MakeInput(int nodes, const std::vector<std::pair<int, int>> &edges)
{
    TLayoutGraph input;
    for (int i = 0; i < nodes; ++i)
        input.AddNode(i, 0, 0, 100, 50);
    for (auto [from, to] : edges)
        input.AddEdge(from, to);
    return input;
}

std::vector<std::pair<int, int>> EdgeEnds(const TLayeredGraph &graph, const std::vector<int> &ids)
{
    std::vector<std::pair<int, int>> ends;
    for (int e : ids)
        ends.emplace_back(graph.Edges[e].FromNode, graph.Edges[e].ToNode);
    return ends;
}

using Ends = std::vector<std::pair<int, int>>;

TEST(BuildGraph, DropsSelfReferencesAndKeepsParallelEdgesInOrder)
{
    const TLayeredGraph graph = BuildGraph(MakeInput(3, {{0, 1}, {1, 1}, {0, 1}, {2, 0}}));
    ASSERT_EQ(graph.Nodes.size(), 3u);
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[0].OutEdges), (Ends{{0, 1}, {0, 1}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[0].InEdges), (Ends{{2, 0}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[1].InEdges), (Ends{{0, 1}, {0, 1}}));
    EXPECT_TRUE(graph.Nodes[1].OutEdges.empty());
}

// Which edge a cycle-breaking run turns round, and how many passes it takes.
struct CycleCase
{
    std::string name;
    int nodes;
    Ends edges;
    Ends expectedEdges;  // every edge afterwards, by id
    int passes;
};

class BreakCyclesCase : public ::testing::TestWithParam<CycleCase>
{
};

TEST_P(BreakCyclesCase, ReversesTheFirstBestEdgeOfEachComponent)
{
    const CycleCase &c = GetParam();
    TLayeredGraph graph = BuildGraph(MakeInput(c.nodes, c.edges));
    EXPECT_EQ(BreakCycles(graph), c.passes);
    Ends edges;
    for (const TEdge &e : graph.Edges)
        edges.emplace_back(e.FromNode, e.ToNode);
    EXPECT_EQ(edges, c.expectedEdges);
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, BreakCyclesCase,
    ::testing::Values(
        CycleCase{"Acyclic", 3, {{0, 1}, {1, 2}, {0, 2}}, {{0, 1}, {1, 2}, {0, 2}}, 1},
        // Component [B, A]: both edges score 51, B->A comes first.
        CycleCase{"TwoCycle", 2, {{0, 1}, {1, 0}}, {{0, 1}, {0, 1}}, 2},
        // Component [C, B, A]: all score 51, C->A comes first.
        CycleCase{"ThreeCycle", 3, {{0, 1}, {1, 2}, {2, 0}}, {{0, 1}, {1, 2}, {0, 2}}, 2},
        // Both edges of the pair score 1 + 1 - 3 = -1; the first (B->A) still turns.
        CycleCase{"ScoreMinusOne", 6,
                  {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 4}, {1, 5}},
                  {{0, 1}, {0, 2}, {0, 3}, {0, 1}, {1, 4}, {1, 5}}, 2},
        // A->B scores 1 + 1 - 4 = -2, B->A scores 1 + 1 - 1 + 50: B->A turns.
        CycleCase{"OneWayOut", 5,
                  {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}},
                  {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 1}}, 2},
        // Both score 1 + 1 - 4 = -2; the first in component order (B, then A) is B->A.
        CycleCase{"ScoreMinusTwo", 8,
                  {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}, {1, 5}, {1, 6}, {1, 7}},
                  {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 1}, {1, 5}, {1, 6}, {1, 7}}, 2},
        // Two separate 2-cycles are both broken in the same pass.
        CycleCase{"TwoComponentsOnePass", 4,
                  {{0, 1}, {1, 0}, {2, 3}, {3, 2}},
                  {{0, 1}, {0, 1}, {2, 3}, {2, 3}}, 2}),
    [](const auto &info) { return info.param.name; });

TEST(BreakCycles, LongChainNeedsNoDeepCallStack)
{
    constexpr int n = 200000;
    Ends edges;
    for (int i = 0; i + 1 < n; ++i)
        edges.emplace_back(i, i + 1);
    edges.emplace_back(n - 1, 0);
    TLayeredGraph graph = BuildGraph(MakeInput(n, edges));
    EXPECT_EQ(BreakCycles(graph), 2);
    // Popped from the last node back to the first; the last node's edge is the first found.
    EXPECT_EQ(graph.Edges.back().FromNode, 0);
    EXPECT_EQ(graph.Edges.back().ToNode, n - 1);
}

Ends EveryPairBothWays(int nodes)
{
    Ends edges;
    for (int a = 0; a < nodes; ++a)
        for (int b = 0; b < nodes; ++b)
            if (a != b)
                edges.emplace_back(a, b);
    return edges;
}

TEST(BreakCycles, GivesUpAfterThirtyPasses)
{
    // One edge turns per component and pass: eight tables that all reference each other still
    // come out within the limit, nine do not.
    TLayeredGraph eight = BuildGraph(MakeInput(8, EveryPairBothWays(8)));
    EXPECT_LE(BreakCycles(eight), 30);
    TLayeredGraph nine = BuildGraph(MakeInput(9, EveryPairBothWays(9)));
    try {
        BreakCycles(nine);
        ADD_FAILURE() << "no exception";
    } catch (const ELayoutError &error) {
        EXPECT_STREQ(error.what(), "Layout failed.");
    }
}

TEST(AssignLayers, OrdersFirstInFirstOutAndLayersByLongestPath)
{
    // I1, A, I2, I3 have no predecessors and queue in node order; B joins after A.
    TLayeredGraph graph = BuildGraph(MakeInput(5, {{1, 3}, {0, 4}, {4, 3}}));
    AssignLayers(graph);
    std::vector<int> sources, layers;
    for (const TNode &node : graph.Nodes) {
        sources.push_back(node.Source);
        layers.push_back(node.Layer);
    }
    // Queue: 0, 1, 2; 0 releases 4; 1 leaves 3 waiting; 4 releases 3.
    EXPECT_EQ(sources, (std::vector<int>{0, 1, 2, 4, 3}));
    EXPECT_EQ(layers, (std::vector<int>{0, 0, 0, 1, 2}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(graph.Nodes[i].Index, i);
    for (const TEdge &edge : graph.Edges)
        EXPECT_LT(graph.Nodes[edge.FromNode].Layer, graph.Nodes[edge.ToNode].Layer);
}

TEST(AssignLayers, LeftOverCycleIsReported)
{
    // A source feeding a cycle, and a cycle with no source at all.
    const std::vector<std::pair<int, Ends>> graphs = {{3, {{0, 1}, {1, 2}, {2, 1}}},
                                                      {2, {{0, 1}, {1, 0}}}};
    for (const auto &[nodes, edges] : graphs) {
        TLayeredGraph graph = BuildGraph(MakeInput(nodes, edges));
        try {
            AssignLayers(graph);
            ADD_FAILURE() << "no exception for " << nodes << " nodes";
        } catch (const ELayoutError &error) {
            EXPECT_STREQ(error.what(), "connection-cycles");
        }
    }
}

TEST(InsertDummyNodes, EdgeOverThreeLayersGetsTwoDummies)
{
    // A->B->C->D and A->D: the long edge leaves layer 0 and enters layer 3.
    TLayeredGraph graph = BuildGraph(MakeInput(4, {{0, 1}, {1, 2}, {2, 3}, {0, 3}}));
    AssignLayers(graph);
    InsertDummyNodes(graph);
    ASSERT_EQ(graph.Nodes.size(), 6u);
    for (int d : {4, 5}) {
        EXPECT_TRUE(graph.Nodes[d].IsDummy);
        EXPECT_EQ(graph.Nodes[d].Width, 100);
        EXPECT_EQ(graph.Nodes[d].Height, 0);
        EXPECT_EQ(graph.Nodes[d].Index, d);
        EXPECT_EQ(graph.Nodes[d].Layer, d - 3);
    }
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[0].OutEdges), (Ends{{0, 1}, {0, 4}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[4].InEdges), (Ends{{0, 4}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[4].OutEdges), (Ends{{4, 5}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[5].OutEdges), (Ends{{5, 3}}));
    // D's in-edge from A became the edge from the last dummy, in the same place.
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[3].InEdges), (Ends{{2, 3}, {5, 3}}));
    for (const TEdge &edge : graph.Edges)
        EXPECT_EQ(graph.Nodes[edge.FromNode].Layer + 1, graph.Nodes[edge.ToNode].Layer);
}

TEST(InsertDummyNodes, ParallelLongEdgesArePairedInOrder)
{
    // A->B twice over C; the second in-edge of B from A must go to the second dummy.
    TLayeredGraph graph = BuildGraph(MakeInput(3, {{0, 1}, {0, 2}, {0, 1}, {2, 1}}));
    AssignLayers(graph);  // order A, C, B
    InsertDummyNodes(graph);
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[0].OutEdges), (Ends{{0, 3}, {0, 1}, {0, 4}}));
    EXPECT_EQ(EdgeEnds(graph, graph.Nodes[2].InEdges), (Ends{{3, 2}, {4, 2}, {1, 2}}));
}

TEST(BuildLayers, IsolatedNodesGoToLayersWithRoomSmallestFirst)
{
    // Sixteen tables reference R: layer 0 is full, so fifteen loose tables join R's layer and
    // the sixteenth opens a third layer.
    Ends edges;
    for (int i = 0; i < 16; ++i)
        edges.emplace_back(i, 16);
    TLayeredGraph graph = BuildGraph(MakeInput(33, edges));
    BreakCycles(graph);
    AssignLayers(graph);
    InsertDummyNodes(graph);
    BuildLayers(graph);
    ASSERT_EQ(graph.Layers.size(), 3u);
    EXPECT_EQ(graph.Layers[0].size(), 16u);
    EXPECT_EQ(graph.Layers[1].size(), 16u);
    EXPECT_EQ(graph.Layers[2].size(), 1u);
    EXPECT_EQ(graph.Nodes[graph.Layers[2][0]].Source, 32);
    EXPECT_EQ(graph.Nodes[graph.Layers[2][0]].Layer, 0);  // an isolated node keeps layer 0
}

// A layered graph built by hand: layers of node counts, edges by (layer, place) pairs.
TLayeredGraph MakeLayered(const std::vector<int> &layerSizes, const std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> &edges)
{
    TLayeredGraph graph;
    std::vector<std::vector<int>> ids(layerSizes.size());
    for (std::size_t l = 0; l < layerSizes.size(); ++l) {
        graph.Layers.emplace_back();
        for (int p = 0; p < layerSizes[l]; ++p) {
            const int v = graph.AddNode(100, 50, false, static_cast<int>(graph.Nodes.size()));
            graph.Nodes[v].Layer = static_cast<int>(l);
            graph.Nodes[v].Position = p;
            graph.Layers[l].push_back(v);
            ids[l].push_back(v);
        }
    }
    for (const auto &[from, to] : edges)
        graph.AddEdge(ids[from.first][from.second], ids[to.first][to.second]);
    return graph;
}

TEST(CountCrossings, ParallelEdgesCountSeparatelyAndSharedEndsNeverCross)
{
    // Upper u0, u1; lower l0, l1: u0->l1 twice, u0->l0, u1->l0.
    const TLayeredGraph graph =
        MakeLayered({2, 2}, {{{0, 0}, {1, 1}}, {{0, 0}, {1, 1}}, {{0, 0}, {1, 0}}, {{0, 1}, {1, 0}}});
    EXPECT_EQ(CountCrossings(graph), 2);
}

TEST(CountCrossings, AgreesWithPairByPairCountOnRandomLayers)
{
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        std::vector<int> sizes;
        const int layerCount = 2 + static_cast<int>(random() % 4);
        for (int l = 0; l < layerCount; ++l)
            sizes.push_back(1 + static_cast<int>(random() % 9));
        std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> edges;
        for (int l = 0; l + 1 < layerCount; ++l)
            for (int k = static_cast<int>(random() % 20); k > 0; --k)
                edges.push_back({{l, static_cast<int>(random() % sizes[l])},
                                 {l + 1, static_cast<int>(random() % sizes[l + 1])}});
        TLayeredGraph graph = MakeLayered(sizes, edges);
        // Shuffle the places so that list order and Position differ.
        for (auto &layer : graph.Layers) {
            std::vector<int> places(layer.size());
            for (std::size_t p = 0; p < places.size(); ++p)
                places[p] = static_cast<int>(p);
            std::shuffle(places.begin(), places.end(), random);
            for (std::size_t p = 0; p < places.size(); ++p)
                graph.Nodes[layer[p]].Position = places[p];
        }
        std::int64_t expected = 0;
        for (std::size_t a = 0; a < graph.Edges.size(); ++a)
            for (std::size_t b = 0; b < graph.Edges.size(); ++b) {
                const TEdge &e1 = graph.Edges[a];
                const TEdge &e2 = graph.Edges[b];
                if (graph.Nodes[e1.FromNode].Layer == graph.Nodes[e2.FromNode].Layer &&
                    graph.Nodes[e1.FromNode].Position < graph.Nodes[e2.FromNode].Position &&
                    graph.Nodes[e1.ToNode].Position > graph.Nodes[e2.ToNode].Position)
                    ++expected;
            }
        EXPECT_EQ(CountCrossings(graph), expected) << "round " << round;
    }
}

TEST(PlaceVertically, LayerOfDummiesOnlyAddsTheGapAlone)
{
    TLayeredGraph graph = MakeLayered({1, 1, 1}, {});
    graph.Nodes[1].IsDummy = true;
    graph.Nodes[1].Height = 0;
    graph.Nodes[0].Height = 50;
    PlaceVertically(graph);
    EXPECT_EQ(graph.Nodes[0].Y, 40);
    EXPECT_EQ(graph.Nodes[1].Y, 100);
    EXPECT_EQ(graph.Nodes[2].Y, 110);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour)
{
    const std::vector<std::pair<double, std::int64_t>> cases = {
        {0.5, 0}, {1.5, 2}, {2.5, 2}, {62.5, 62}, {165.5, 166}, {-0.5, 0}, {-1.5, -2},
        {-2.5, -2}, {7.9166, 8}, {2.4999, 2}, {-2.6, -3}, {0.0, 0}};
    for (auto [value, expected] : cases)
        EXPECT_EQ(RoundHalfEven(value), expected) << value;
}

TEST(NodeForce, CentresTruncateHalfWidths)
{
    // u (101 wide: centre 5 + 50) over l0, l1, l2 (centres 55, 160, 265): (0 + 105 + 210) / 3.
    TLayeredGraph graph = MakeLayered({1, 3}, {{{0, 0}, {1, 0}}, {{0, 0}, {1, 1}}, {{0, 0}, {1, 2}}});
    graph.Nodes[0].Width = 101;
    PlaceHorizontally(graph);
    EXPECT_FLOAT_EQ(NodeForce(graph, 0), 105.0f);
    EXPECT_FLOAT_EQ(NodeForce(graph, 3), -210.0f);  // l2 pulled back to u
}

} // namespace
