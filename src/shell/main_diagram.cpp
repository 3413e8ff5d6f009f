#include "shell/main_diagram.h"

#include "model/model_hooks.h"

#include <QFile>
#include <QPainter>
#include <QScrollArea>
#include <QWidget>

#include <stdexcept>

QWidget *TPlainMainDiagram::CreateSurface(QScrollArea *host)
{
    Surface = new QWidget;
    Surface->setObjectName(QStringLiteral("pnlDiagram"));
    Surface->setAutoFillBackground(true);
    QPalette palette = Surface->palette();
    palette.setColor(QPalette::Window, Qt::white);
    Surface->setPalette(palette);
    host->setWidget(Surface);
    return Surface;
}

void TPlainMainDiagram::Rebuild()
{
    if (Surface)
        Surface->update();
}

void TPlainMainDiagram::DrawOverview(QPainter &painter, int width, int height)
{
    painter.fillRect(0, 0, width, height, Qt::white);
}

void TPlainMainDiagram::SaveAsImage(const QString &fileName)
{
    throw std::runtime_error(("Cannot save " + fileName + ": this build has no diagram canvas.").toStdString());
}

void TPlainMainDiagram::LayoutDiagram()
{
    throw std::runtime_error("Cannot lay out the diagram: this build has no diagram canvas.");
}

void TPlainMainDiagram::LoadModelFromFile(TDiagramObjectModel &, const QString &fileName, bool)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(("Cannot open file " + fileName + ": " + file.errorString()).toStdString());
    throw std::runtime_error(("Cannot read " + fileName + ": this build has no diagram file reader.").toStdString());
}

void TPlainMainDiagram::RefreshExplorerTree()
{
    if (TModelHooks::Explorer)
        TModelHooks::Explorer->RefreshExplorerTree();
}

namespace {
[[noreturn]] void NoPrinting()
{
    throw std::runtime_error("Cannot print: this build has no diagram canvas.");
}
} // namespace

void IMainDiagram::Print() { NoPrinting(); }
void IMainDiagram::PrintPreview(QWidget *) { NoPrinting(); }
bool IMainDiagram::PrintSetup(QWidget *) { NoPrinting(); }
