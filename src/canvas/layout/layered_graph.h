#pragma once
// TLayeredGraph: the working graph of the layered layout, real and dummy nodes in layers.
//
// Every edge is one record in Edges; its id sits in the OutEdges of its start node and in the
// InEdges of its end node. Each list keeps its own order, and the order matters: scans, sweeps
// and tie rules all walk the lists front to back. Parallel edges between two nodes appear in
// both lists in the same relative order (they are only ever appended, and the first one is the
// one removed or re-pointed), so "the first edge from u in w's InEdges" is always the twin of
// "the first edge to w in u's OutEdges" and one shared record per edge is enough.
#include <cstdint>
#include <vector>

struct TEdge
{
    int FromNode = 0;
    int ToNode = 0;
};

struct TNode
{
    int Index = 0;               // place in Nodes
    std::vector<int> InEdges;    // ids of edges that end here
    std::vector<int> OutEdges;   // ids of edges that start here
    int Layer = 0;
    int Position = 0;            // place within its layer, 0 = leftmost
    float Barycentre = 0.0f;
    bool IsDummy = false;
    std::int64_t X = 0;          // left in pixels
    std::int64_t Y = 0;          // top in pixels
    int Height = 0;
    int Width = 0;
    int Source = -1;             // index of the input node; -1 for a dummy
};

class TLayeredGraph
{
public:
    std::vector<TNode> Nodes;
    std::vector<TEdge> Edges;
    std::vector<std::vector<int>> Layers;  // node indices per layer, layer 0 at the top

    // Appends a node with Index = node count and returns that index.
    int AddNode(int width, int height, bool isDummy, int source);
    // Appends an edge to the start node's OutEdges and the end node's InEdges; returns its id.
    int AddEdge(int fromNode, int toNode);
    // Turns the edge around: it leaves both lists and is appended as (to, from).
    void ReverseEdge(int edge);

    bool HasEdges(int node) const
    {
        return !Nodes[node].InEdges.empty() || !Nodes[node].OutEdges.empty();
    }
};
