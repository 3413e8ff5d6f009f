#include "shell/canvas_main_diagram.h"

#include "canvas/diagram_panel.h"
#include "canvas/dom_tree.h"
#include "canvas/os_diagram.h"
#include "canvas/print_diagram.h"
#include "canvas/table_refresh.h"
#include "dbtools/console_helper.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "platform/canvas.h"

#include <QPainter>
#include <QScrollArea>

#include <stdexcept>

TCanvasMainDiagram::TCanvasMainDiagram() : Diagram_(std::make_unique<TOSDiagram>())
{
    CurrentDiagram = Diagram_.get();
    TModelHooks::Explorer = TDOMTree::ExplorerHook();
    TModelHooks::Canvas = this;
    TModelHooks::Console = this;
    Diagram_->ObjectCountChanged = [this](const QString &text) {
        if (ObjectCountChanged)
            ObjectCountChanged(text);
    };
    TPrintDiagram::InstallHooks(*Diagram_);
}

TCanvasMainDiagram::~TCanvasMainDiagram()
{
    if (CurrentDiagram == Diagram_.get())
        CurrentDiagram = nullptr;
    if (TModelHooks::Explorer == TDOMTree::ExplorerHook())
        TModelHooks::Explorer = nullptr;
    if (TModelHooks::Canvas == this)
        TModelHooks::Canvas = nullptr;
    if (TModelHooks::Console == this)
        TModelHooks::Console = nullptr;
}

void TCanvasMainDiagram::RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &tables)
{
    for (TDiagramTable *table : tables)
        TTableRefresh::RefreshFromDatabase(*table);
    Rebuild();
}

void TCanvasMainDiagram::WriteLine(const QString &line) { TConsoleHelper::WriteLine(line); }

QWidget *TCanvasMainDiagram::CreateSurface(QScrollArea *host)
{
    QWidget *surface = TDiagramPanel::CreateSurface(host);
    Diagram_->AttachSurface(surface);
    return surface;
}

void TCanvasMainDiagram::SetPaintingEnabled(bool enabled) { Diagram_->PaintingEnabled = enabled; }

void TCanvasMainDiagram::Rebuild()
{
    Diagram_->Rebuild();
    Diagram_->UpdateObjectCount();
}

void TCanvasMainDiagram::DrawOverview(QPainter &painter, int width, int height)
{
    TCanvas canvas(&painter);
    Diagram_->DrawOverview(canvas, width, height);
}

void TCanvasMainDiagram::SetOverviewBox(QWidget *box) { Diagram_->OverviewBox = box; }

void TCanvasMainDiagram::SaveAsImage(const QString &fileName) { Diagram_->SaveAsImage(fileName); }

void TCanvasMainDiagram::LayoutDiagram() { Diagram_->LayoutDiagram(); }

void TCanvasMainDiagram::LoadModelFromFile(TDiagramObjectModel &model, const QString &fileName, bool merge)
{
    if (!model.LoadModelFromFile(Diagram_.get(), merge, fileName))
        throw std::runtime_error(("File not found: " + fileName).toStdString());
    Diagram_->UpdateObjectCount();
}

void TCanvasMainDiagram::RefreshExplorerTree() { TDOMTree::RefreshExplorerTree(); }

void TCanvasMainDiagram::Print() { Diagram_->Print(); }

void TCanvasMainDiagram::PrintPreview(QWidget *form) { TPrintDiagram::ShowPreview(form); }

bool TCanvasMainDiagram::PrintSetup(QWidget *parent) { return PrintDialogs().PageSetup(parent); }
