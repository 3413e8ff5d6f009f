// Printing large pages: every page of a synthetic diagram through the banded
// engine to a printer that only counts, a few pages into a PDF file, and the
// engine alone on one sheet. Peak memory is reported beside the time: a page
// is rendered on its own and sent in bands, so the peak stays near a page and
// a band however large the diagram is.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/print/dib_print.h"
#include "canvas/print/qt_printer.h"
#include "canvas/print_diagram.h"
#include "generator/bench_page.h"
#include "generator/peak_memory.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/fake_user_interface.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// An A4 sheet at 300 dpi with 50-pixel unprintable margins; bands are counted
// and dropped.
class TCountingPrinter : public IPrinter {
public:
    bool Capability(TCapability capability, int &value) override
    {
        switch (capability) {
        case capHorzRes: value = 2380; break;
        case capVertRes: value = 3408; break;
        case capPhysicalWidth: value = 2480; break;
        case capPhysicalHeight: value = 3508; break;
        case capPhysicalOffsetX:
        case capPhysicalOffsetY: value = 50; break;
        case capLogPixelsX:
        case capLogPixelsY: value = 300; break;
        }
        return true;
    }
    bool Supports64KBitmaps() override { return true; }
    QSize ScreenSize() override { return {1280, 1024}; }
    void SaveState() override {}
    void RestoreState() override {}
    void MoveOrigin(int, int) override {}
    void ClipTo(const TRect &) override {}
    int StretchDib(int, int, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override
    {
        ++Bands;
        Bytes += info.size() + bits.size();
        return int(std::uint32_t(info[8] | info[9] << 8 | info[10] << 16 | info[11] << 24));
    }
    bool BlockTransfer(int, int, std::span<const std::uint8_t>, std::span<const std::uint8_t>) override { return true; }
    void Flush() override {}
    bool Printing() override { return Active; }
    void SetTitle(const QString &) override {}
    void BeginDoc() override { Active = true; }
    void NewPage() override {}
    void EndDoc() override { Active = false; }
    void Abort() override { Active = false; }
    void TextOut(int, int, const QString &, const QString &, int) override {}

    bool Active = false;
    long long Bands = 0;
    long long Bytes = 0;
};

// The fake user interface is in place before the page's globals and goes after them.
struct TBenchUserInterface {
    TBenchUserInterface() { SetUserInterface(&Ui); }
    ~TBenchUserInterface() { SetUserInterface(nullptr); }
    TFakeUserInterface Ui;
};

struct TBenchPage : TBenchUserInterface, TBenchPageBase {
    explicit TBenchPage(int tables) : TBenchPageBase(tables)
    {
        CurrentDiagram = &Diagram;
        Diagram.Rebuild();
    }
    ~TBenchPage()
    {
        SetPrinter(nullptr);
        CurrentDiagram = nullptr;
    }
    // What one bitmap of the whole diagram would take, in MB.
    double WholeBitmapMegabytes() const
    {
        int x = 0, y = 0;
        CurrentModel->GetDiagramExtent(x, y);
        return double(x) * y * 4 / (1 << 20);
    }

};

void BM_PrintEveryPage(benchmark::State &state)
{
    TBenchPage page(int(state.range(0)));
    TCountingPrinter printer;
    SetPrinter(&printer);
    const double before = ResetPeakMemory();
    TDibBlock::ResetPeak();
    for (auto _ : state)
        TPrintDiagram::PrintDiagram(&page.Diagram);
    state.counters["pages"] = double(DiagramPrinter->Pages.size());
    state.counters["ms_per_page"] =
        benchmark::Counter(double(DiagramPrinter->Pages.size()) * double(state.iterations()) / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["bands"] = double(printer.Bands) / state.iterations();
    state.counters["peak_growth_MB"] = PeakMemoryMegabytes() - before;
    state.counters["engine_peak_MB"] = double(TDibBlock::PeakBytes()) / (1 << 20);
    state.counters["whole_bitmap_MB"] = page.WholeBitmapMegabytes();
}

void BM_PrintFourPagesToPdf(benchmark::State &state)
{
    TBenchPage page(int(state.range(0)));
    QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(300);
    pdf.setOutputFileName(dir.filePath(QStringLiteral("diagram.pdf")));
    TQtPrinter printer(pdf);
    SetPrinter(&printer);
    const double before = ResetPeakMemory();
    for (auto _ : state)
        TPrintDiagram::PrintDiagram(&page.Diagram, TPageRange{1, 4});
    state.counters["peak_growth_MB"] = PeakMemoryMegabytes() - before;
    state.counters["file_MB"] = double(QFile(dir.filePath(QStringLiteral("diagram.pdf"))).size()) / (1 << 20);
}

// Every page of the diagram into a 300-dpi PDF file, as a user prints it.
void BM_PrintEveryPageToPdf(benchmark::State &state)
{
    TBenchPage page(int(state.range(0)));
    QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(300);
    pdf.setOutputFileName(dir.filePath(QStringLiteral("diagram.pdf")));
    TQtPrinter printer(pdf);
    SetPrinter(&printer);
    const double before = ResetPeakMemory();
    for (auto _ : state)
        TPrintDiagram::PrintDiagram(&page.Diagram);
    state.counters["pages"] = double(DiagramPrinter->Pages.size());
    state.counters["ms_per_page"] =
        benchmark::Counter(double(DiagramPrinter->Pages.size()) * double(state.iterations()) / 1000.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["peak_growth_MB"] = PeakMemoryMegabytes() - before;
    state.counters["file_MB"] = double(QFile(dir.filePath(QStringLiteral("diagram.pdf"))).size()) / (1 << 20);
}

// One sheet through the engine alone: a page bitmap of 761 x 1090 screen
// pixels resampled to 2380 x 3408 printer pixels.
void BM_EngineOneSheet(benchmark::State &state)
{
    QImage image(761, 1090, QImage::Format_RGB32);
    image.fill(Qt::white);
    TDibBlock info, bits;
    int width = 0, height = 0;
    BitmapToPackedDib(image, info, bits, width, height);
    TCountingPrinter printer;
    for (auto _ : state)
        benchmark::DoNotOptimize(PrintDibToDevice(printer, TByteSpan(info.Data(), info.Size()),
                                                  TByteSpan(bits.Data(), bits.Size()), true, true, nullptr, nullptr));
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_PrintEveryPage)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintFourPagesToPdf)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PrintEveryPageToPdf)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_EngineOneSheet)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
