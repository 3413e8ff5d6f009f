#pragma once
// TSugiyamaLayout: arranges the boxes of a TLayoutGraph in layers so that references point down.
//
// Execute builds the working graph, breaks cycles, assigns layers, inserts dummy nodes, fills and
// orders the layers, places the nodes and finally writes Left and Top of every input node. It
// raises ELayoutError ("Layout failed.", "connection-cycles") before anything is written, so
// either every box moves or none does. Widths and heights are never changed.
#include "canvas/layout/layered_graph.h"
#include "canvas/layout/layout_graph.h"

class TSugiyamaLayout
{
public:
    void Execute(TLayoutGraph &graph);

    // The working graph of the last Execute (layers, dummies, coordinates), for inspection.
    const TLayeredGraph &Graph() const { return FGraph; }

private:
    TLayeredGraph FGraph;
};
