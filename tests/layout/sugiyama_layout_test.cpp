// Whole layouts of small graphs; every expected position was worked out by hand.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/sugiyama_layout.h"

namespace {

struct Box
{
    int width;
    int height;
};

struct Place
{
    int left;
    int top;
    bool operator==(const Place &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Place &p)
{
    return out << '(' << p.left << ", " << p.top << ')';
}

TLayoutGraph MakeGraph(const std::vector<Box> &boxes, const std::vector<std::pair<int, int>> &edges)
{
    TLayoutGraph graph;
    int id = 100;
    for (const Box &box : boxes)
        graph.AddNode(id++, 7, 9, box.width, box.height);
    for (auto [from, to] : edges)
        graph.AddEdge(from, to);
    return graph;
}

std::vector<Place> LayOut(TLayoutGraph &graph)
{
    TSugiyamaLayout layout;
    layout.Execute(graph);
    std::vector<Place> places;
    for (const TLayoutNode &node : graph.Nodes)
        places.push_back(Place{node.Left, node.Top});
    return places;
}

struct LayoutCase
{
    std::string name;
    std::vector<Box> boxes;
    std::vector<std::pair<int, int>> edges;
    std::vector<Place> expected;
};

class HandWorkedLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(HandWorkedLayout, PlacesEveryBoxAsWorkedOut)
{
    const LayoutCase &c = GetParam();
    TLayoutGraph graph = MakeGraph(c.boxes, c.edges);
    EXPECT_EQ(LayOut(graph), c.expected);
    for (std::size_t i = 0; i < c.boxes.size(); ++i) {
        EXPECT_EQ(graph.Nodes[i].Width, c.boxes[i].width);
        EXPECT_EQ(graph.Nodes[i].Height, c.boxes[i].height);
        EXPECT_EQ(graph.Nodes[i].Id, static_cast<std::int64_t>(100 + i));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Graphs, HandWorkedLayout,
    ::testing::Values(
        // The referencing table sits above the referenced one and is pulled over its centre.
        LayoutCase{"EmpDept", {{100, 60}, {200, 50}}, {{0, 1}}, {{55, 40}, {5, 110}}},
        // B is pulled both ways (-25) but cannot move left of the margin.
        LayoutCase{"Chain",
                   {{150, 60}, {200, 100}, {100, 80}},
                   {{0, 1}, {1, 2}},
                   {{30, 40}, {5, 110}, {55, 220}}},
        // A's force is 62.5 and rounds to the even 62; B and C form one block that may not move.
        LayoutCase{"Diamond",
                   {{100, 50}, {120, 60}, {80, 40}, {100, 70}},
                   {{0, 1}, {0, 2}, {1, 3}, {2, 3}},
                   {{67, 40}, {5, 100}, {130, 100}, {67, 170}}},
        // The two tables of a 2-cycle end up joined by two parallel edges, A above B.
        LayoutCase{"MutualReference", {{100, 50}, {200, 50}}, {{0, 1}, {1, 0}}, {{55, 40}, {5, 100}}},
        // C->A is reversed; the resulting A->C spans two layers and gets a 100 wide dummy.
        LayoutCase{"ThreeCycle",
                   {{100, 50}, {100, 50}, {100, 50}},
                   {{0, 1}, {1, 2}, {2, 0}},
                   {{57, 40}, {5, 100}, {57, 160}}},
        // A and B reference each other and others: the best score is -1, and the cycle still
        // breaks (B->A turns round). B is ordered after C and D; the whole middle layer moves
        // as one block by round(23.75 / 3) = 8, the bottom pair by 165.5 -> 166.
        LayoutCase{"MutualWithOthers",
                   {{100, 50}, {100, 60}, {80, 40}, {80, 40}, {60, 30}, {60, 30}},
                   {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 4}, {1, 5}},
                   {{106, 40}, {183, 100}, {13, 100}, {98, 100}, {171, 170}, {236, 170}}},
        // Kahn's order puts Y before X (one crossing); the first down sweep swaps them.
        LayoutCase{"SweepRemovesCrossing",
                   {{100, 50}, {100, 50}, {100, 50}, {100, 50}},
                   {{0, 2}, {1, 3}, {1, 2}},
                   {{5, 40}, {110, 40}, {31, 100}, {136, 100}}},
        // A's block wants 20 to the right but B has not moved yet, so there is no room; B is the
        // last block and moves freely.
        LayoutCase{"NoRoomBeforeTheLastBlock",
                   {{100, 50}, {100, 50}, {140, 50}, {300, 50}},
                   {{0, 2}, {1, 3}},
                   {{5, 40}, {250, 40}, {5, 100}, {150, 100}}},
        // Two parallel long edges each get their own dummy beside C.
        LayoutCase{"ParallelLongEdges",
                   {{100, 50}, {100, 50}, {150, 60}},
                   {{0, 1}, {0, 2}, {0, 1}, {2, 1}},
                   {{152, 40}, {152, 170}, {5, 100}}},
        // Isolated tables (I2 only references itself) fill the smaller layers, top first on a tie;
        // A, I1 and I3 form one block pulled right by round(50 / 3) = 17.
        LayoutCase{"IsolatedAndSelfReference",
                   {{150, 60}, {100, 50}, {120, 100}, {200, 80}, {80, 70}},
                   {{1, 3}, {2, 2}},
                   {{127, 40}, {22, 40}, {210, 120}, {5, 120}, {282, 40}}}),
    [](const auto &info) { return info.param.name; });

TEST(SugiyamaLayout, EmptyGraphDoesNothing)
{
    TLayoutGraph graph;
    EXPECT_NO_THROW(LayOut(graph));
}

TEST(SugiyamaLayout, SixteenIsolatedBoxesFillALayerAndTheSeventeenthOpensAnother)
{
    std::vector<Box> boxes(17, Box{100, 50});
    TLayoutGraph graph = MakeGraph(boxes, {});
    const std::vector<Place> places = LayOut(graph);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(places[i], (Place{5 + 105 * i, 40})) << i;
    EXPECT_EQ(places[16], (Place{5, 100}));
}

TEST(SugiyamaLayout, MutualReferencesBetweenManyTablesFailAfterThePassLimit)
{
    // Every pair references each other: one edge turns per pass, far more are needed.
    std::vector<Box> boxes(10, Box{100, 50});
    std::vector<std::pair<int, int>> edges;
    for (int a = 0; a < 10; ++a)
        for (int b = 0; b < 10; ++b)
            if (a != b)
                edges.emplace_back(a, b);
    TLayoutGraph graph = MakeGraph(boxes, edges);
    try {
        LayOut(graph);
        FAIL() << "no exception";
    } catch (const ELayoutError &error) {
        EXPECT_STREQ(error.what(), "Layout failed.");
    }
    for (const TLayoutNode &node : graph.Nodes) {
        EXPECT_EQ(node.Left, 7);
        EXPECT_EQ(node.Top, 9);
    }
}

TEST(SugiyamaLayout, EdgeToAMissingNodeIsRefusedWithoutMovingAnything)
{
    TLayoutGraph graph = MakeGraph({{100, 50}, {100, 50}}, {{0, 1}, {1, 2}});
    EXPECT_THROW(LayOut(graph), ELayoutError);
    EXPECT_EQ(graph.Nodes[0].Left, 7);
    EXPECT_EQ(graph.Nodes[1].Top, 9);
}

TEST(SugiyamaLayout, PageBeyondIntegerCoordinatesFailsWithoutMovingAnything)
{
    TLayoutGraph graph = MakeGraph({{2000000000, 50}, {2000000000, 50}, {100, 50}}, {});
    try {
        LayOut(graph);
        FAIL() << "no exception";
    } catch (const ELayoutError &error) {
        EXPECT_STREQ(error.what(), "Layout failed.");
    }
    EXPECT_EQ(graph.Nodes[2].Left, 7);
}

TEST(SugiyamaLayout, RandomSchemasGiveTidyLayers)
{
    // Whatever the references, every edge of the result joins adjacent layers downwards and
    // boxes in one row keep the 5 pixel gap from the margin and from each other.
    std::mt19937 random(11);
    for (int round = 0; round < 30; ++round) {
        const int n = 1 + static_cast<int>(random() % 60);
        TLayoutGraph graph;
        for (int i = 0; i < n; ++i)
            graph.AddNode(i, 0, 0, 20 + static_cast<int>(random() % 200), static_cast<int>(random() % 150));
        for (int k = static_cast<int>(random() % (2 * n)); k > 0; --k)
            graph.AddEdge(static_cast<int>(random() % n), static_cast<int>(random() % n));
        TSugiyamaLayout layout;
        try {
            layout.Execute(graph);
        } catch (const ELayoutError &error) {
            EXPECT_STREQ(error.what(), "Layout failed.");
            continue;
        }
        const TLayeredGraph &result = layout.Graph();
        for (const TEdge &edge : result.Edges) {
            const TNode &from = result.Nodes[edge.FromNode];
            const TNode &to = result.Nodes[edge.ToNode];
            EXPECT_EQ(from.Layer + 1, to.Layer);
            EXPECT_LT(from.Y, to.Y);
        }
        for (const auto &layer : result.Layers) {
            std::int64_t right = 0;
            for (int v : layer) {
                EXPECT_GE(result.Nodes[v].X, right + 5);
                right = result.Nodes[v].X + result.Nodes[v].Width;
            }
        }
        for (const TNode &node : result.Nodes)
            if (!node.IsDummy) {
                EXPECT_EQ(graph.Nodes[node.Source].Left, node.X);
                EXPECT_EQ(graph.Nodes[node.Source].Top, node.Y);
            }
    }
}

} // namespace
