// The index a print job or a banded picture makes of its page, for pages a
// file can hold: thousands of keys between two boxes of one pixel, millions of
// pixels apart. Reported beside the time: the peak resident memory the index
// adds, the (cell, item) pairs it files, and whether it files any (past its
// bound the page is painted without it). Beside it, the first sheet of such
// a page painted with the index.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/page_index.h"
#include "canvas/print_diagram.h"
#include "generator/offscreen_main.h"
#include "generator/peak_memory.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <optional>

namespace {

TDiagramTable *AddTinyTable(TDiagramObjectModel &model, const QString &name, int left, int top)
{
    auto table = std::make_unique<TDiagramTable>();
    table->Owner = QStringLiteral("S");
    table->Name = name;
    table->Left = left, table->Top = top, table->Width = 1, table->Height = 1;
    model.Tables.Add(table.get());
    return table.release();
}

// The page of the arguments: keys from B to A, and B's place; A is at (0, 0).
struct TTinyFarPage {
    explicit TTinyFarPage(const benchmark::State &state)
    {
        InitializeModelGlobals();
        Preferences->DrawPrinterPages = false;
        OpenModels->push_back(std::make_unique<TDiagramObjectModel>());
        CurrentModel = OpenModels->back().get();
        CurrentModel->Style.SetDefaultStyle();
        AddTinyTable(*CurrentModel, QStringLiteral("A"), 0, 0);
        TDiagramTable *b =
            AddTinyTable(*CurrentModel, QStringLiteral("B"), int(state.range(1)), int(state.range(2)));
        for (int k = 0; k < state.range(0); ++k) {
            auto key = std::make_unique<TDiagramForeignKey>();
            key->Name = QStringLiteral("B_TO_A_%1").arg(k);
            key->RefTableOwner = QStringLiteral("S");
            key->RefTableName = QStringLiteral("A");
            key->Table = b;
            b->ForeignKeys.Add(key.release());
        }
        Surface.emplace();
        Surface->resize(800, 600);
        Diagram.emplace();
        Diagram->AttachSurface(&*Surface);
        Diagram->Rebuild();
    }
    ~TTinyFarPage()
    {
        Diagram->DestroyGraphics();
        Diagram.reset();
        Surface.reset();
        FinalizeModelGlobals();
    }
    std::optional<TDiagramSurface> Surface;
    std::optional<TOSDiagram> Diagram;
};

void BM_PageIndexOfTinyFarBoxes(benchmark::State &state)
{
    TTinyFarPage page(state);
    const double before = ResetPeakMemory();
    std::optional<TPageIndex> index;
    for (auto _ : state) {
        index.reset();
        index.emplace();
    }
    state.counters["growth_MB"] = PeakMemoryMegabytes() - before;
    state.counters["filed_pairs"] = double(index->Filed());
    state.counters["indexed"] = index->Indexed() ? 1 : 0;
}

// The first sheet of that page as print preview shows it, where every line
// starts: each key is ranked among all the others as it is painted. The
// first iteration lays the paths, later ones find them laid.
void BM_FirstSheetOfTinyFarBoxes(benchmark::State &state)
{
    TTinyFarPage page(state);
    const TPageIndex index;
    for (auto _ : state)
        benchmark::DoNotOptimize(TPrintDiagram::RenderPage(*page.Diagram, {0, 0, 794, 1123}, &index));
    state.counters["keys"] = double(state.range(0));
}

BENCHMARK(BM_PageIndexOfTinyFarBoxes)
    ->Args({10000, 16000000, 0})
    ->Args({10000, 9600000, 12800000})
    ->Args({40000, 700000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

BENCHMARK(BM_FirstSheetOfTinyFarBoxes)
    ->Args({10000, 16000000, 0})
    ->Args({40000, 700000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
