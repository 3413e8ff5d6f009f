#include "canvas/layout/layout_graph.h"

int TLayoutGraph::AddNode(std::int64_t id, int left, int top, int width, int height)
{
    Nodes.push_back(TLayoutNode{id, left, top, width, height});
    return static_cast<int>(Nodes.size()) - 1;
}

void TLayoutGraph::AddEdge(int fromNode, int toNode)
{
    Edges.push_back(TLayoutEdge{fromNode, toNode});
}
