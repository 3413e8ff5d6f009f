#pragma once
// A synthetic page of the given size on an off-screen surface, with the
// program-wide objects around it: what every canvas benchmark starts from.
// Header only: the generator library needs no canvas, the benchmarks do.
#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

struct TBenchPageBase {
    explicit TBenchPageBase(int tables)
    {
        InitializeModelGlobals();
        Preferences->DrawPrinterPages = false;
        TSyntheticOptions options;
        options.Tables = tables;
        options.Notes = 5;
        OpenModels->push_back(MakeSyntheticDiagram(options));
        CurrentModel = OpenModels->back().get();
        Surface.resize(800, 600);
        Diagram.AttachSurface(&Surface);
    }
    ~TBenchPageBase()
    {
        Diagram.DestroyGraphics();
        FinalizeModelGlobals();
    }
    TBenchPageBase(const TBenchPageBase &) = delete;
    TBenchPageBase &operator=(const TBenchPageBase &) = delete;

    TDiagramSurface Surface;
    TOSDiagram Diagram;
};
