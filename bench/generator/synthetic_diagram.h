#pragma once
// Builds large synthetic diagram pages for benchmarks: tables of about ten
// columns, a primary key, two foreign keys to earlier tables, one index,
// comments and a check constraint, laid out on a grid; a few notes.
#include "model/diagram_object_model.h"

#include <memory>

struct TSyntheticOptions {
    int Tables = 100;
    int ColumnsPerTable = 10;
    int ForeignKeysPerTable = 2;
    int IndexesPerTable = 1;
    int Notes = 0;
    unsigned Seed = 42;
    QString Owner = QStringLiteral("BENCH");
};

std::unique_ptr<TDiagramObjectModel> MakeSyntheticDiagram(const TSyntheticOptions &options);
