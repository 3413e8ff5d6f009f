#pragma once
// The phases of the layered layout as free functions over TLayeredGraph, in the order
// TSugiyamaLayout runs them. Each may be called on its own (tests and benchmarks do).
#include <cstdint>

#include "canvas/layout/layered_graph.h"
#include "canvas/layout/layout_graph.h"

// Passes of cycle breaking that may end normally; one more raises "Layout failed.".
inline constexpr int MaxCycleBreakingPasses = 30;
// An isolated node joins an existing layer only while that layer has fewer nodes than this.
inline constexpr int MaxLayerForIsolated = 16;
// Ordering rounds after the first that may still run (so at most 21 in all).
inline constexpr int MaxOrderingRounds = 20;
// Width of the dummy nodes that carry long edges through a layer.
inline constexpr int DummyWidth = 100;

// One node per input node (same order, same size); one edge per input edge except self
// references. Raises ELayoutError for an edge whose end is not a node.
TLayeredGraph BuildGraph(const TLayoutGraph &input);

// Makes the graph acyclic by reversing edges; returns the number of passes run.
// Raises ELayoutError("Layout failed.") after more than MaxCycleBreakingPasses passes.
int BreakCycles(TLayeredGraph &graph);

// Sorts Nodes topologically (Kahn, first in first out) and gives each node its Layer.
// Raises ELayoutError("connection-cycles") when a cycle is left.
void AssignLayers(TLayeredGraph &graph);

// Splits every edge that spans more than one layer with dummy nodes, one per layer crossed.
void InsertDummyNodes(TLayeredGraph &graph);

// Fills Layers: connected nodes by their Layer, then isolated nodes into the smallest layers.
void BuildLayers(TLayeredGraph &graph);

// Reorders each layer by barycentre sweeps to reduce crossings; keeps the best order seen.
void OrderLayers(TLayeredGraph &graph);

// Number of crossing edge pairs between adjacent layers, from the nodes' Position.
std::int64_t CountCrossings(const TLayeredGraph &graph);

// Pixel coordinates: PlaceVertically, PlaceHorizontally, then BalanceHorizontally.
void PlaceNodes(TLayeredGraph &graph);
void PlaceVertically(TLayeredGraph &graph);
void PlaceHorizontally(TLayeredGraph &graph);
void BalanceHorizontally(TLayeredGraph &graph);
// Mean horizontal pull of a node's neighbours on its centre; 0 for a node without edges.
float NodeForce(const TLayeredGraph &graph, int node);

// Rounds to the nearest integer, halves to the even neighbour.
std::int64_t RoundHalfEven(double value);
