#include "canvas/layout/sugiyama_layout.h"

#include <limits>

#include "canvas/layout/layout_error.h"
#include "canvas/layout/layout_phases.h"

void TSugiyamaLayout::Execute(TLayoutGraph &graph)
{
    FGraph = BuildGraph(graph);
    BreakCycles(FGraph);
    AssignLayers(FGraph);
    InsertDummyNodes(FGraph);
    BuildLayers(FGraph);
    OrderLayers(FGraph);
    PlaceNodes(FGraph);

    // Boxes hold Integer coordinates: a page too large for them fails as a whole.
    constexpr std::int64_t lowest = std::numeric_limits<int>::min();
    constexpr std::int64_t highest = std::numeric_limits<int>::max();
    for (const TNode &node : FGraph.Nodes)
        if (!node.IsDummy && (node.X < lowest || node.X > highest || node.Y < lowest || node.Y > highest))
            throw ELayoutError(LayoutFailedText);
    for (const TNode &node : FGraph.Nodes) {
        if (node.IsDummy)
            continue;
        TLayoutNode &box = graph.Nodes[node.Source];
        box.Left = static_cast<int>(node.X);
        box.Top = static_cast<int>(node.Y);
    }
}
