// The DDL script of a whole page, and the delta script between two pages
// that differ in one table out of ten, for pages of 500 to 5,000 tables.
#include "generator/synthetic_diagram.h"
#include "model/ddl_text.h"
#include "model/diagram_object_model.h"

#include <benchmark/benchmark.h>

namespace {

std::unique_ptr<TDiagramObjectModel> Page(int tables)
{
    TSyntheticOptions options;
    options.Tables = tables;
    options.Notes = 3;
    return MakeSyntheticDiagram(options);
}

// Changes every tenth table the way a schema evolves: a wider column, a new
// column, another delete rule, a dropped index and a new comment.
void Evolve(TDiagramObjectModel &model)
{
    for (int i = 0; i < model.Tables.Count(); i += 10) {
        TDiagramTable *table = model.Tables.GetTable(i);
        table->Comment += QStringLiteral(" (revised)");
        TDiagramColumn *column = table->Columns.GetColumn(table->Columns.Count() - 1);
        column->DataType = QStringLiteral("VARCHAR2");
        column->DataLength = 4000;
        auto added = std::make_unique<TDiagramColumn>();
        added->Name = QStringLiteral("ADDED_COLUMN");
        added->DataType = QStringLiteral("DATE");
        table->Columns.Add(added.release());
        if (table->ForeignKeys.Count() > 0)
            table->ForeignKeys.GetForeignKey(0)->OnDelete = QStringLiteral("SET NULL");
        if (table->Indexes.Count() > 0)
            table->Indexes.Remove(table->Indexes.GetItem(0));
    }
}

void BM_ModelDdl(benchmark::State &state)
{
    const auto model = Page(static_cast<int>(state.range(0)));
    qsizetype size = 0;
    for (auto _ : state) {
        const QString text = TDdlText::ListText(model->BuildModelDdl());
        size = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetComplexityN(state.range(0));
    state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK(BM_ModelDdl)->Arg(500)->Arg(1000)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

void BM_ModelDelta(benchmark::State &state)
{
    const auto original = Page(static_cast<int>(state.range(0)));
    const auto target = Page(static_cast<int>(state.range(0)));
    Evolve(*target);
    qsizetype size = 0;
    for (auto _ : state) {
        const QString text = original->BuildDeltaDdl(*target);
        size = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetComplexityN(state.range(0));
    state.counters["chars"] = static_cast<double>(size);
}
BENCHMARK(BM_ModelDelta)->Arg(500)->Arg(1000)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
