// Saving and loading diagram files of 100, 1,000, 5,000 and 20,000 tables. Loading
// must grow linearly with the size of the file: the complexity fit reported
// for each family shows it. Loading a file is also set against `xmllint
// --noout` on the same file (processor time of both, as the machine may be
// shared): vs_xmllint is how many times faster the load is.
//
// A user opens a file in a program that has not read one yet, where every
// page of memory the load needs is new to the process, as it is to xmllint;
// later loads in one process reuse pages and are faster. So each file is also
// loaded in a fresh process of this program, best of three like xmllint:
// fresh_ms and fresh_us_per_table are that load, fresh_vs_xmllint the ratio.
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/diagram_xml_reader.h"
#include "model/model_globals.h"
#include "model/xml_text.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

#include <malloc.h>
#include <sys/resource.h>
#include <time.h>

namespace {

// The synthetic page of that many tables (with ten notes), built once.
const TDiagramObjectModel &Page(int tables)
{
    static std::map<int, std::unique_ptr<TDiagramObjectModel>> pages;
    auto &page = pages[tables];
    if (!page) {
        TSyntheticOptions options;
        options.Tables = tables;
        options.Notes = 10;
        page = MakeSyntheticDiagram(options);
    }
    return *page;
}

const QByteArray &PageBytes(int tables)
{
    static std::map<int, QByteArray> documents;
    QByteArray &bytes = documents[tables];
    if (bytes.isEmpty()) {
        bytes = TXmlText::ToFileBytes(Page(tables).BuildDiagramXml(true));
        // The text's millions of lines, just freed, would be merged by the
        // allocator at the first larger request, inside whatever is measured
        // next; that is done here.
        malloc_trim(0);
    }
    return bytes;
}

void Report(benchmark::State &state, qsizetype bytes)
{
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
    state.counters["file_kb"] = static_cast<double>(bytes) / 1024.0;
}

void BM_BuildDiagramXml(benchmark::State &state)
{
    const TDiagramObjectModel &page = Page(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        QByteArray bytes = TXmlText::ToFileBytes(page.BuildDiagramXml(true));
        benchmark::DoNotOptimize(bytes.data());
    }
    Report(state, PageBytes(static_cast<int>(state.range(0))).size());
}

void BM_SaveDiagramFile(benchmark::State &state)
{
    const TDiagramObjectModel &page = Page(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("page.xml"));
    for (auto _ : state)
        TXmlText::SaveLines(page.BuildDiagramXml(true), fileName);
    Report(state, PageBytes(static_cast<int>(state.range(0))).size());
}

void BM_LoadDiagram(benchmark::State &state)
{
    const QByteArray &bytes = PageBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TDiagramObjectModel model;
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        TLoadXMLDiagram::LoadFromStream(buffer, nullptr, false, &model);
        benchmark::DoNotOptimize(model.Tables.Count());
    }
    Report(state, bytes.size());
}

double ProcessSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double ChildSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The best of three runs of `xmllint --noout` on the file, in processor seconds; 0 when
// xmllint is not installed or refuses the file.
double XmllintSeconds(const QString &fileName)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        return 0;
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        const double before = ChildSeconds();
        QProcess process;
        process.start(xmllint, {QStringLiteral("--noout"), fileName});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            return 0;
        best = std::min(best, ChildSeconds() - before);
    }
    return best;
}

// Loads the file once with its page and writes the processor seconds it took.
int LoadOnce(const char *fileName)
{
    const double start = ProcessSeconds();
    {
        TDiagramObjectModel model;
        TLoadXMLDiagram::LoadFromFile(QString::fromLocal8Bit(fileName), nullptr, false, &model);
        benchmark::DoNotOptimize(model.Tables.Count());
    }
    std::printf("%.6f\n", ProcessSeconds() - start);
    return 0;
}

// The best of three loads of the file in a fresh process of this program.
double FreshLoadSeconds(const QString &fileName)
{
    double best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QProcess process;
        process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-once"), fileName});
        if (!process.waitForFinished(-1) || process.exitCode() != 0)
            return 0;
        best = std::min(best, process.readAllStandardOutput().trimmed().toDouble());
    }
    return best;
}

void BM_LoadDiagramFile(benchmark::State &state)
{
    const QByteArray &bytes = PageBytes(static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("page.xml"));
    {
        // The bytes made once: building the text again would leave the heap
        // full of freed pieces for the loads to meet.
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the diagram file");
            return;
        }
    }
    const double start = ProcessSeconds();
    for (auto _ : state) {
        TDiagramObjectModel model;
        TLoadXMLDiagram::LoadFromFile(fileName, nullptr, false, &model);
        benchmark::DoNotOptimize(model.Tables.Count());
    }
    const double perLoad = (ProcessSeconds() - start) / double(state.iterations());
    Report(state, bytes.size());
    const double tables = double(state.range(0));
    state.counters["us_per_table"] = perLoad * 1e6 / tables;
    const double fresh = FreshLoadSeconds(fileName);
    if (fresh > 0) {
        state.counters["fresh_ms"] = fresh * 1000;
        state.counters["fresh_us_per_table"] = fresh * 1e6 / tables;
    }
    if (const double xmllint = XmllintSeconds(fileName); xmllint > 0) {
        state.counters["xmllint_ms"] = xmllint * 1000;
        state.counters["vs_xmllint"] = xmllint / perLoad;
        if (fresh > 0)
            state.counters["fresh_vs_xmllint"] = xmllint / fresh;
    }
}

void Sizes(benchmark::internal::Benchmark *b)
{
    b->Arg(100)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_BuildDiagramXml)->Apply(Sizes);
BENCHMARK(BM_SaveDiagramFile)->Apply(Sizes);
BENCHMARK(BM_LoadDiagram)->Apply(Sizes);
BENCHMARK(BM_LoadDiagramFile)->Apply(Sizes);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    InitializeModelGlobals();
    if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0)
        return LoadOnce(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    FinalizeModelGlobals();
    return 0;
}
