// Opening a diagram from the command line, as the program starts: the main window built
// with the file's name among its parameters, shown, and waited for until its diagram has
// been painted; then switching between that page and an empty one. Diagrams of 100 to
// 20,000 tables. The splash screen's fixed second is not part of what is measured:
// "build_ms" is the window's construction (which the splash covers), "shown_ms" the time
// from show() to the painted page, which the user waits for after the splash.
#include "generator/offscreen_main.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_file_preload.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/xml_text.h"
#include "platform/config_settings.h"
#include "shell/main_form.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScrollArea>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

QTemporaryDir &Folder()
{
    static QTemporaryDir folder;
    return folder;
}

// The synthetic diagram of that many tables as a file, written once.
QString DiagramFile(int tables)
{
    static std::map<int, QString> files;
    QString &name = files[tables];
    if (name.isEmpty()) {
        TSyntheticOptions options;
        options.Tables = tables;
        options.Notes = 10;
        name = Folder().filePath(QStringLiteral("tables%1.xml").arg(tables));
        TXmlText::SaveLines(MakeSyntheticDiagram(options)->BuildDiagramXml(true), name);
    }
    return name;
}

// Watches the widgets in the diagram's scroll box for their first paint.
class TPaintWatch : public QObject
{
public:
    explicit TPaintWatch(QWidget *box) : Box(box) { qApp->installEventFilter(this); }
    ~TPaintWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && (watched == Box || Box->isAncestorOf(static_cast<QWidget *>(watched))))
            Painted = true;
        return false;
    }
    QWidget *Box;
    bool Painted = false;
};

// A fresh set of globals and preferences per window, as a fresh start has.
struct TProgram
{
    TProgram()
    {
        TConfigSettings::SetSettingsFileOverride(Folder().filePath(QStringLiteral("settings.ini")));
        TConfigSettings::SetProgramFolderOverride(Folder().path());
        InitializeModelGlobals();
    }
    ~TProgram()
    {
        Form.reset();
        FinalizeModelGlobals();
    }
    // Shows the window and waits for the diagram's surface to be painted.
    void ShowAndWait()
    {
        TPaintWatch watch(Form->findChild<QScrollArea *>(QStringLiteral("sboxDiagram")));
        Form->show();
        while (!watch.Painted)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    std::unique_ptr<Tfrmgui> Form;
};

void BM_OpenFromCommandLine(benchmark::State &state)
{
    const QString file = DiagramFile(int(state.range(0)));
    double build = 0, shown = 0;
    for (auto _ : state) {
        TProgram program;
        QElapsedTimer timer;
        timer.start();
        program.Form = std::make_unique<Tfrmgui>(QStringList{QStringLiteral("file=") + file});
        build += double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        program.ShowAndWait();
        shown += double(timer.nsecsElapsed()) / 1e6;
        if (CurrentModel->Tables.Count() != state.range(0))
            state.SkipWithError("the file did not open");
        state.PauseTiming();
        program.Form.reset();
        state.ResumeTiming();
    }
    state.counters["build_ms"] = build / double(state.iterations());
    state.counters["shown_ms"] = shown / double(state.iterations());
}

// The whole start-up as the program runs it, from the first line of main to the painted
// page: the command-line file handed to the worker that parses it, the window built, the
// splash kept up its second with the event loop running, the window shown. Argument 0 is the example diagram of seven tables, the yardstick:
// "vs_example" is how many times longer the start-up with the synthetic file takes.
// Negative when the page did not get Tables tables.
double StartUpMilliseconds(const QString &file, int tables)
{
    TProgram program;
    QElapsedTimer timer;
    timer.start();
    const QStringList parameters{QStringLiteral("file=") + file};
    TDiagramFilePreload::Start(Tfrmgui::CommandLineFileNames(parameters));
    program.Form = std::make_unique<Tfrmgui>(parameters);
    QEventLoop splash;
    QTimer::singleShot(1000, &splash, &QEventLoop::quit);
    splash.exec();
    program.ShowAndWait();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    return CurrentModel->Tables.Count() == tables ? elapsed : -1;
}

QString ExampleFile()
{
    return QStringLiteral(MARROWTIDE_SOURCE_DIR "/examples/hr_schema.xml");
}

void BM_StartUpWithSplash(benchmark::State &state)
{
    static double example = 0;
    if (example == 0) {
        example = 1e9;
        for (int run = 0; run < 3; ++run)
            example = std::min(example, StartUpMilliseconds(ExampleFile(), 7));
    }
    const QString file = state.range(0) == 0 ? ExampleFile() : DiagramFile(int(state.range(0)));
    const int tables = state.range(0) == 0 ? 7 : int(state.range(0));
    double best = 1e9;
    for (auto _ : state) {
        const double elapsed = StartUpMilliseconds(file, tables);
        if (elapsed < 0)
            state.SkipWithError("the file did not open");
        best = std::min(best, elapsed);
    }
    state.counters["best_ms"] = best;
    state.counters["vs_example"] = best / example;
}

// Clicking the tab of the loaded page and back to an empty one, after a command-line open.
void BM_SwitchPage(benchmark::State &state)
{
    TProgram program;
    program.Form = std::make_unique<Tfrmgui>(QStringList{QStringLiteral("file=") + DiagramFile(int(state.range(0)))});
    program.ShowAndWait();
    program.Form->NewModelPage();
    auto *tabs = program.Form->findChild<QTabBar *>(QStringLiteral("tabModels"));
    for (auto _ : state) {
        tabs->setCurrentIndex(0);
        QApplication::processEvents();
        tabs->setCurrentIndex(1);
        QApplication::processEvents();
    }
    if (tabs->count() != 2)
        state.SkipWithError("no second page");
}

} // namespace

BENCHMARK(BM_OpenFromCommandLine)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StartUpWithSplash)->Arg(0)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SwitchPage)->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return RunOffscreenBenchmarks(argc, argv);
}
