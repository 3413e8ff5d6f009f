#pragma once
// TLayoutAdapter: lays out a diagram page automatically by handing its tables,
// object tables and types with their references to the layered layout and
// writing the result back to the model objects and their boxes.
#include "canvas/layout/layout_graph.h"

#include <vector>

class TDiagramObjectModel;
class TBaseDiagramRectangle;

class TLayoutAdapter {
public:
    // Builds the graph of the page: one node per table, object table and type
    // (in that order, each list in its order; notes take no part), one edge per
    // foreign key to a table or object table of the page other than its own, and
    // one per object table whose type is on the page. Objects[i] is the model
    // object of node i.
    explicit TLayoutAdapter(TDiagramObjectModel &model);

    // Runs the layout and moves every object of the graph, or raises
    // ELayoutError ("Layout failed.", "connection-cycles") with nothing moved.
    void Execute();

    // Writes Left and Top of every node to its model object and moves its box.
    void Apply() const;

    TLayoutGraph Graph;
    std::vector<TBaseDiagramRectangle *> Objects;
};
