#pragma once
// TCanvasMainDiagram: the main window's diagram served by the canvas
// controller, its drawing surface, the diagram file reader and the model tree.
#include "shell/main_diagram.h"

#include <functional>
#include <memory>

class TOSDiagram;

class TCanvasMainDiagram : public IMainDiagram {
public:
    TCanvasMainDiagram();
    ~TCanvasMainDiagram() override;

    QWidget *CreateSurface(QScrollArea *host) override;
    void SetPaintingEnabled(bool enabled) override;
    void Rebuild() override;
    void DrawOverview(QPainter &painter, int width, int height) override;
    void LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge) override;
    void RefreshExplorerTree() override;

    // Receives the status bar's object count.
    std::function<void(const QString &)> ObjectCountChanged;

private:
    std::unique_ptr<TOSDiagram> Diagram_;
};
