#pragma once
// IMainDiagram: what the main window asks of the canvas controller and the
// diagram file reader; TPlainMainDiagram is a blank stand-in for window tests.
#include <QString>

class QPainter;
class QScrollArea;
class QWidget;
class TDiagramObjectModel;

class IMainDiagram {
public:
    virtual ~IMainDiagram() = default;
    // Makes the drawing surface inside the scroll box and returns it.
    virtual QWidget *CreateSurface(QScrollArea *host) = 0;
    virtual void SetPaintingEnabled(bool enabled) = 0;
    // Recreates the boxes of the current model.
    virtual void Rebuild() = 0;
    // The plan view: the whole page in miniature and the visible area's frame.
    virtual void DrawOverview(QPainter &painter, int width, int height) = 0;
    // The plan view's paint box, repainted whenever the page changes.
    virtual void SetOverviewBox(QWidget *box) = 0;
    // The whole page as a picture; the extension chooses the kind. Raises with
    // the reason when the picture cannot be made or written.
    virtual void SaveAsImage(const QString &fileName) = 0;
    // Lays the page out by its references and redraws it; raises when the
    // layout gives up, with nothing moved.
    virtual void LayoutDiagram() = 0;
    // Adds the file's objects to the model; raises with the reason on failure.
    virtual void LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge) = 0;
    // Rebuilds the model explorer tree.
    virtual void RefreshExplorerTree() = 0;
    // The print dialog, then printing; the preview over the given window; the
    // printer set-up dialog, true when the user confirmed it. Without a canvas
    // they raise that this build cannot print.
    virtual void Print();
    virtual void PrintPreview(QWidget *form);
    virtual bool PrintSetup(QWidget *parent);
};

// A blank surface and an empty plan view; reading a file, making a picture and
// laying out report that this build has no diagram canvas.
class TPlainMainDiagram : public IMainDiagram {
public:
    QWidget *CreateSurface(QScrollArea *host) override;
    void SetPaintingEnabled(bool enabled) override { PaintingEnabled = enabled; }
    void Rebuild() override;
    void DrawOverview(QPainter &painter, int width, int height) override;
    void SetOverviewBox(QWidget *) override {}
    void SaveAsImage(const QString &fileName) override;
    void LayoutDiagram() override;
    void LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge) override;
    void RefreshExplorerTree() override;

    bool PaintingEnabled = true;
    QWidget *Surface = nullptr;
};
