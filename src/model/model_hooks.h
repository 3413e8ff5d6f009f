#pragma once
// Hooks through which the model reaches the layers above it: the diagram
// surface it measures on, the explorer tree it asks to rebuild, the
// wizards that create and edit tables and notes, the page's canvas and the
// console. The upper layers install
// them at start-up; tests install fakes.
#include <memory>
#include <vector>

class TCanvas;
class TDiagramTable;
class TDiagramNote;
class QString;

class IDiagramSurface {
public:
    virtual ~IDiagramSurface() = default;
    // The drawing surface's canvas, holding whatever font it holds now.
    virtual TCanvas *SurfaceCanvas() = 0;
    // Grows the surface to at least this size; it never shrinks.
    virtual void EnsureSurfaceSize(int width, int height) = 0;
};

class IModelExplorer {
public:
    virtual ~IModelExplorer() = default;
    // Rebuilds the subtrees of every open model.
    virtual void RefreshExplorerTree() = 0;
};

class IModelWizards {
public:
    virtual ~IModelWizards() = default;
    // A new table the user confirmed, or null on cancel.
    virtual std::unique_ptr<TDiagramTable> CreateTable() = 0;
    virtual void EditTable(TDiagramTable *table) = 0;
    virtual std::unique_ptr<TDiagramNote> CreateNote() = 0;
    virtual void EditNote(TDiagramNote *note) = 0;
};

// The canvas of the current page, as the diagram reader needs it.
class IDiagramCanvas {
public:
    virtual ~IDiagramCanvas() = default;
    // Destroys and recreates every box of CurrentDiagram from CurrentModel.
    virtual void Rebuild() = 0;
    // Refreshes each table from the database as the box menu's refresh does
    // (the session is connected); the tables were just read from a file.
    virtual void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &tables) = 0;
};

// Where the model writes lines meant for the console window.
class IModelConsole {
public:
    virtual ~IModelConsole() = default;
    virtual void WriteLine(const QString &line) = 0;
};

// The installed hooks; null when none is installed (then the model measures
// nothing, rebuilds nothing and creates nothing).
struct TModelHooks {
    static IDiagramSurface *Surface;
    static IModelExplorer *Explorer;
    static IModelWizards *Wizards;
    static IDiagramCanvas *Canvas;
    static IModelConsole *Console;
};
