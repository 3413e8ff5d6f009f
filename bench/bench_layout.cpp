// Automatic layout of synthetic schemas of 100 to 20,000 tables: time, and the edge crossings
// left in the result.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "canvas/layout/layout_phases.h"
#include "canvas/layout/sugiyama_layout.h"

namespace {

// Small deterministic generator, so the graphs are the same on every machine and library.
class TRandom
{
public:
    explicit TRandom(std::uint64_t seed) : FState(seed) {}
    std::uint32_t Below(std::uint32_t limit)
    {
        FState = FState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>((FState >> 33) % limit);
    }

private:
    std::uint64_t FState;
};

// Tables 150-300 wide and 60-250 high. Each has 0-3 foreign keys (1.2 on average), mostly to
// tables made before it, as schemas grow; now and then a key to itself, a second key to the
// same table, or a pair of tables that reference each other.
TLayoutGraph MakeSchema(int tables, std::uint64_t seed)
{
    TRandom random(seed);
    TLayoutGraph graph;
    for (int i = 0; i < tables; ++i) {
        const int width = 150 + static_cast<int>(random.Below(151));
        const int height = 60 + static_cast<int>(random.Below(191));
        graph.AddNode(i, 10, 10, width, height);
    }
    for (int i = 1; i < tables; ++i) {
        const std::uint32_t roll = random.Below(20);
        const int keys = roll < 5 ? 0 : roll < 13 ? 1 : roll < 18 ? 2 : 3;
        for (int k = 0; k < keys; ++k) {
            const std::uint32_t kind = random.Below(100);
            if (kind < 2) {
                graph.AddEdge(i, i);
                continue;
            }
            const int target = static_cast<int>(random.Below(static_cast<std::uint32_t>(i)));
            graph.AddEdge(i, target);
            if (kind < 5)
                graph.AddEdge(i, target);
            else if (kind < 6)
                graph.AddEdge(target, i);
        }
    }
    return graph;
}

void BM_Layout(benchmark::State &state)
{
    const int tables = static_cast<int>(state.range(0));
    const TLayoutGraph schema = MakeSchema(tables, 20240601u + static_cast<std::uint64_t>(tables));
    TSugiyamaLayout layout;
    for (auto _ : state) {
        TLayoutGraph graph = schema;
        layout.Execute(graph);
        benchmark::DoNotOptimize(graph.Nodes.data());
    }
    const TLayeredGraph &result = layout.Graph();
    std::int64_t dummies = 0;
    for (const TNode &node : result.Nodes)
        dummies += node.IsDummy ? 1 : 0;
    std::uint64_t checksum = 0;
    for (const TNode &node : result.Nodes)
        checksum = checksum * 1000003u + static_cast<std::uint64_t>(node.X * 65536 + node.Y);
    state.counters["edges"] = static_cast<double>(schema.Edges.size());
    state.counters["layers"] = static_cast<double>(result.Layers.size());
    state.counters["dummies"] = static_cast<double>(dummies);
    state.counters["crossings"] = static_cast<double>(CountCrossings(result));
    state.counters["checksum"] = static_cast<double>(checksum % 1000000007u);
}

void BM_CountCrossings(benchmark::State &state)
{
    const int tables = static_cast<int>(state.range(0));
    TLayoutGraph schema = MakeSchema(tables, 20240601u + static_cast<std::uint64_t>(tables));
    TSugiyamaLayout layout;
    layout.Execute(schema);
    std::int64_t crossings = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(crossings = CountCrossings(layout.Graph()));
    state.counters["crossings"] = static_cast<double>(crossings);
}

} // namespace

BENCHMARK(BM_Layout)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountCrossings)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
