#pragma once
// TLayoutGraph: the boxes and references handed to the automatic layout, and where it puts its result.
//
// The caller lists the boxes that take part (tables, object tables, types; never notes) in model
// order and the references between them in the order they are found: for each box in order, its
// foreign keys in list order, then an object table's reference to its type. Edges point from the
// referencing box to the referenced one. Self references and parallel edges may be listed; the
// layout ignores the former and keeps the latter. Execute of TSugiyamaLayout overwrites Left and
// Top of every node when it succeeds and leaves the graph untouched when it fails.
#include <cstdint>
#include <vector>

struct TLayoutNode
{
    std::int64_t Id = 0;  // the caller's tag (for instance the model object); never read here
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct TLayoutEdge
{
    int FromNode = 0;  // index into Nodes: the referencing box
    int ToNode = 0;    // index into Nodes: the referenced box
};

class TLayoutGraph
{
public:
    std::vector<TLayoutNode> Nodes;
    std::vector<TLayoutEdge> Edges;

    // Appends a node and returns its index.
    int AddNode(std::int64_t id, int left, int top, int width, int height);
    void AddEdge(int fromNode, int toNode);
};
