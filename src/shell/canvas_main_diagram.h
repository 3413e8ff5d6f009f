#pragma once
// TCanvasMainDiagram: the main window's diagram served by the canvas
// controller, its drawing surface, the diagram file reader and the model tree.
#include "model/model_hooks.h"
#include "shell/main_diagram.h"

#include <functional>
#include <memory>

class TOSDiagram;

// It is also how the model reaches the page and the console: a file that was
// read (or failed to) rebuilds the page, and pinned tables are refreshed.
class TCanvasMainDiagram : public IMainDiagram, private IDiagramCanvas, private IModelConsole {
public:
    TCanvasMainDiagram();
    ~TCanvasMainDiagram() override;

    QWidget *CreateSurface(QScrollArea *host) override;
    void SetPaintingEnabled(bool enabled) override;
    void Rebuild() override;
    void DrawOverview(QPainter &painter, int width, int height) override;
    void SetOverviewBox(QWidget *box) override;
    void SaveAsImage(const QString &fileName) override;
    void LayoutDiagram() override;
    void LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge) override;
    void RefreshExplorerTree() override;
    void Print() override;
    void PrintPreview(QWidget *form) override;
    bool PrintSetup(QWidget *parent) override;

    // Receives the status bar's object count.
    std::function<void(const QString &)> ObjectCountChanged;

private:
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &tables) override;
    void WriteLine(const QString &line) override;

    std::unique_ptr<TOSDiagram> Diagram_;
};
