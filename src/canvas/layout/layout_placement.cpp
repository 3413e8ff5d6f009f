// Pixel coordinates of the layered layout.
#include <algorithm>
#include <cmath>
#include <limits>

#include "canvas/layout/layout_phases.h"

namespace {

constexpr std::int64_t TopMargin = 40;
constexpr std::int64_t LayerGap = 10;
constexpr std::int64_t LeftMargin = 5;
constexpr std::int64_t NodeGap = 5;
constexpr std::int64_t UnlimitedRoom = std::numeric_limits<std::int32_t>::max();

std::int64_t Centre(const TNode &node)
{
    return node.X + node.Width / 2;
}

} // namespace

std::int64_t RoundHalfEven(double value)
{
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        result = floor + 1.0;
    // Forces are bounded by the page's width; the clamp only keeps absurd input defined.
    constexpr double limit = 9.0e18;
    return static_cast<std::int64_t>(std::clamp(result, -limit, limit));
}

void PlaceVertically(TLayeredGraph &graph)
{
    std::int64_t y = TopMargin;
    for (const auto &layer : graph.Layers) {
        std::int64_t tallest = 0;
        for (int v : layer) {
            graph.Nodes[v].Y = y;
            tallest = std::max<std::int64_t>(tallest, graph.Nodes[v].Height);
        }
        y += tallest + LayerGap;
    }
}

void PlaceHorizontally(TLayeredGraph &graph)
{
    for (const auto &layer : graph.Layers) {
        std::int64_t x = LeftMargin;
        for (int v : layer) {
            graph.Nodes[v].X = x;
            x += graph.Nodes[v].Width + NodeGap;
        }
    }
}

float NodeForce(const TLayeredGraph &graph, int node)
{
    const TNode &n = graph.Nodes[node];
    const std::size_t count = n.InEdges.size() + n.OutEdges.size();
    if (count == 0)
        return 0.0f;
    const std::int64_t centre = Centre(n);
    std::int64_t sum = 0;
    for (int e : n.InEdges)
        sum += Centre(graph.Nodes[graph.Edges[e].FromNode]) - centre;
    for (int e : n.OutEdges)
        sum += Centre(graph.Nodes[graph.Edges[e].ToNode]) - centre;
    return static_cast<float>(static_cast<long double>(sum) / static_cast<long double>(count));
}

void BalanceHorizontally(TLayeredGraph &graph)
{
    std::vector<float> force;
    for (const auto &layer : graph.Layers) {
        const std::size_t size = layer.size();
        force.resize(size);
        for (std::size_t i = 0; i < size; ++i)
            force[i] = NodeForce(graph, layer[i]);

        auto node = [&](std::size_t i) -> TNode & { return graph.Nodes[layer[i]]; };
        auto rightEdge = [&](std::size_t i) { return node(i).X + node(i).Width; };

        std::size_t i = 0;
        while (i < size) {
            float sum = force[i];
            std::size_t j = i + 1;
            while (j < size && force[j] <= force[j - 1] && node(j).X - rightEdge(j - 1) <= NodeGap) {
                sum += force[j];
                ++j;
            }
            const std::size_t last = j - 1;
            const float mean = static_cast<float>(static_cast<double>(sum) / static_cast<double>(j - i));
            std::int64_t shift = 0;
            if (mean > 0) {
                const std::int64_t room =
                    j == size ? UnlimitedRoom : node(j).X - (rightEdge(last) + NodeGap);
                shift = std::min(room, RoundHalfEven(mean));
            } else if (mean < 0) {
                const std::int64_t room =
                    i == 0 ? node(i).X - LeftMargin : node(i).X - (rightEdge(i - 1) + NodeGap);
                shift = -std::min(room, RoundHalfEven(-static_cast<double>(mean)));
            }
            if (shift != 0)
                for (std::size_t k = i; k <= last; ++k)
                    node(k).X += shift;
            i = j;
        }
    }
}

void PlaceNodes(TLayeredGraph &graph)
{
    PlaceVertically(graph);
    PlaceHorizontally(graph);
    BalanceHorizontally(graph);
}
