// The page commands on large pages: zoom on 100 to 20,000 tables, fold, sort
// and select all on 100 to 5,000 tables; copy and paste of 1,000 tables through the clipboard.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "generator/bench_page.h"
#include "generator/offscreen_main.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model/preferences.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

// The reader rebuilds the page through the canvas hook, as in the program.
struct TRebuildHook : IDiagramCanvas {
    void Rebuild() override { CurrentDiagram->Rebuild(); }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
};

struct TBenchPage : TBenchPageBase {
    explicit TBenchPage(int tables) : TBenchPageBase(tables)
    {
        CurrentDiagram = &Diagram;
        TModelHooks::Canvas = &Hook;
        Diagram.Rebuild();
    }
    ~TBenchPage()
    {
        TModelHooks::Canvas = nullptr;
        CurrentDiagram = nullptr;
    }

    TRebuildHook Hook;
};

void BM_ZoomInAndOut(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    int direction = 1;
    for (auto _ : state) {
        page.Diagram.Zoom(direction);
        direction = -direction;
    }
    state.SetComplexityN(state.range(0));
}

void BM_FoldAll(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    for (auto _ : state)
        page.Diagram.FoldAll();
    state.SetComplexityN(state.range(0));
}

// Unfolding measures every column of every table again.
void BM_ShowAllColumns(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    for (auto _ : state)
        page.Diagram.ShowAllColumns();
    state.SetComplexityN(state.range(0));
}

void BM_SortAllAlphaThenByCreation(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        page.Diagram.SortAllAlpha();
        page.Diagram.SortAllByCreationOrder();
    }
    state.SetComplexityN(state.range(0));
}

void BM_SelectAll(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    for (auto _ : state)
        page.Diagram.SelectAll();
    state.SetComplexityN(state.range(0));
}

void BM_Copy(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    page.Diagram.SelectAll();
    for (auto _ : state)
        page.Diagram.CopyToClipboard();
}

// Each paste adds the copied tables a second time; the page is put back
// between the timed pastes.
void BM_Paste(benchmark::State &state)
{
    const int tables = static_cast<int>(state.range(0));
    TBenchPage page(tables);
    page.Diagram.SelectAll();
    page.Diagram.CopyToClipboard();
    for (auto _ : state) {
        page.Diagram.PasteFromClipboard();
        state.PauseTiming();
        while (CurrentModel->Tables.Count() > tables)
            CurrentModel->Tables.Remove(CurrentModel->Tables.GetItem(CurrentModel->Tables.Count() - 1));
        while (CurrentModel->Notes.Count() > 5)
            CurrentModel->Notes.Remove(CurrentModel->Notes.GetItem(CurrentModel->Notes.Count() - 1));
        page.Diagram.Rebuild();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ZoomInAndOut)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_FoldAll)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ShowAllColumns)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_SortAllAlphaThenByCreation)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_SelectAll)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_Copy)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
