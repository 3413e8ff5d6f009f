// Pages of 100, 1,000 and 5,000 tables saved as GIF pictures beside the same
// pages as JPEG pictures, with the peak resident memory of the process while
// each picture is made. The 5,000-table page is about 10,400 x 30,000 pixels:
// no whole-page bitmap of it fits the program's limit, so every format has to
// work a band of rows at a time.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/picture_export.h"
#include "generator/bench_page.h"
#include "generator/offscreen_main.h"
#include "generator/peak_memory.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <exception>

namespace {

struct TBenchPage : TBenchPageBase {
    explicit TBenchPage(int tables) : TBenchPageBase(tables) { Diagram.Rebuild(); }
};

void SavePicture(benchmark::State &state, const char *extension)
{
    TBenchPage page(int(state.range(0)));
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("page") + QLatin1String(extension));
    const QSize extent = TPictureExport::DiagramExtent();
    const double before = ResetPeakMemory();
    for (auto _ : state) {
        try {
            page.Diagram.SaveAsImage(name);
        } catch (const std::exception &error) {
            state.SkipWithError(error.what());
            return;
        }
    }
    state.counters["peak_MB"] = PeakMemoryMegabytes();
    state.counters["growth_MB"] = PeakMemoryMegabytes() - before;
    state.counters["file_MB"] = double(QFileInfo(name).size()) / (1 << 20);
    state.counters["MP"] = double(extent.width()) * extent.height() / 1e6;
}

void BM_PageAsGif(benchmark::State &state) { SavePicture(state, ".gif"); }
void BM_PageAsJpeg(benchmark::State &state) { SavePicture(state, ".jpg"); }

BENCHMARK(BM_PageAsGif)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_PageAsJpeg)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
