#include "canvas/layout/layered_graph.h"

#include <algorithm>

int TLayeredGraph::AddNode(int width, int height, bool isDummy, int source)
{
    TNode node;
    node.Index = static_cast<int>(Nodes.size());
    node.Width = width;
    node.Height = height;
    node.IsDummy = isDummy;
    node.Source = source;
    Nodes.push_back(std::move(node));
    return Nodes.back().Index;
}

int TLayeredGraph::AddEdge(int fromNode, int toNode)
{
    const int id = static_cast<int>(Edges.size());
    Edges.push_back(TEdge{fromNode, toNode});
    Nodes[fromNode].OutEdges.push_back(id);
    Nodes[toNode].InEdges.push_back(id);
    return id;
}

void TLayeredGraph::ReverseEdge(int edge)
{
    const int u = Edges[edge].FromNode;
    const int w = Edges[edge].ToNode;
    // The first edge from u in w's InEdges is this very record (see the class comment), so
    // removing it by id is the same as removing the first one that starts at u.
    auto &in = Nodes[w].InEdges;
    in.erase(std::find(in.begin(), in.end(), edge));
    auto &out = Nodes[u].OutEdges;
    out.erase(std::find(out.begin(), out.end(), edge));
    Edges[edge] = TEdge{w, u};
    Nodes[w].OutEdges.push_back(edge);
    Nodes[u].InEdges.push_back(edge);
}
