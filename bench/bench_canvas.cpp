// Rebuilding the canvas from a page and painting it, for pages of 100, 1,000,
// 5,000 and 20,000 tables; automatic layout with its rebuild; pictures of the
// whole page with their peak memory.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "generator/bench_page.h"
#include "generator/offscreen_main.h"
#include "generator/peak_memory.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/canvas.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

struct TBenchPage : TBenchPageBase {
    using TBenchPageBase::TBenchPageBase;
    // Links and every box through the same painters as pictures use; the parts
    // outside the image are clipped by the painter, not skipped.
    void PaintAll(QImage &image)
    {
        TCanvas canvas(&image);
        Diagram.DrawLinks(canvas, 0, 0, 1.0, 1.0);
        for (auto *list : {static_cast<const TOSBaseList *>(&CurrentModel->Notes),
                           static_cast<const TOSBaseList *>(&CurrentModel->Tables)})
            for (TBaseModelObject *object : list->Items())
                if (TOSGraphic *box = TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(object)))
                    box->DrawTo(canvas, 0, 0, 1.0, 1.0);
    }
};

// Rebuilding a page that already shows its boxes: the teardown of the old
// boxes is part of the cost, and must stay linear.
void BM_Rebuild(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    page.Diagram.Rebuild();
    for (auto _ : state)
        page.Diagram.Rebuild();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same page built onto an empty surface: the yardstick for the rebuild.
void BM_BuildFromEmpty(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        page.Diagram.DestroyGraphics();
        state.ResumeTiming();
        page.Diagram.Rebuild();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Automatic layout of the whole page and the rebuild that shows it, as the
// menu command does.
void BM_LayoutAndRebuild(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    page.Diagram.Rebuild();
    for (auto _ : state)
        page.Diagram.LayoutDiagram();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_PaintWholePage(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    page.Diagram.Rebuild();
    QImage image(2048, 2048, QImage::Format_RGB32);
    for (auto _ : state) {
        image.fill(Qt::white);
        page.PaintAll(image);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// What the user waits for after opening a page: the rebuild, then one screen
// of the surface painted with its boxes.
void BM_RebuildAndPaintScreen(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    QImage image(1600, 1000, QImage::Format_RGB32);
    for (auto _ : state) {
        page.Diagram.Rebuild();
        QPainter painter(&image);
        page.Surface.render(&painter, QPoint(), QRegion(0, 0, 1600, 1000));
    }
}

// The whole page: rebuild, then links and every box painted.
void BM_RebuildAndPaintWholePage(benchmark::State &state)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    QImage image(2048, 2048, QImage::Format_RGB32);
    for (auto _ : state) {
        page.Diagram.Rebuild();
        image.fill(Qt::white);
        page.PaintAll(image);
    }
}

// A picture of the whole page written to a file, with the peak memory it took.
void SavePicture(benchmark::State &state, const char *extension)
{
    TBenchPage page(static_cast<int>(state.range(0)));
    page.Diagram.Rebuild();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("page") + QLatin1String(extension));
    ResetPeakMemory();
    for (auto _ : state)
        page.Diagram.SaveAsImage(name);
    state.counters["peak_MB"] = PeakMemoryMegabytes();
    state.counters["file_MB"] = double(QFileInfo(name).size()) / (1 << 20);
}

void BM_SaveJpeg(benchmark::State &state) { SavePicture(state, ".jpg"); }
void BM_SaveBmp(benchmark::State &state) { SavePicture(state, ".bmp"); }
void BM_SaveWmf(benchmark::State &state) { SavePicture(state, ".wmf"); }

BENCHMARK(BM_Rebuild)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFromEmpty)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LayoutAndRebuild)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaintWholePage)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndPaintScreen)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RebuildAndPaintWholePage)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveJpeg)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SaveBmp)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_SaveWmf)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
