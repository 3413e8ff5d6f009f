// The page commands of the canvas controller: selection, delete, zoom, the
// column display switches and sorts, and the selection's script.
#include "canvas/os_diagram.h"

#include "canvas/os_graphic.h"
#include "canvas/sql_windows.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/schema_style.h"
#include "platform/canvas.h"

#include <QWidget>

#include <algorithm>
#include <climits>
#include <memory>

namespace {

// numerator / denominator (denominator > 0) to the nearest integer, halves
// to even, kept inside the range of int.
int DivideHalfEven(qint64 numerator, qint64 denominator)
{
    qint64 quotient = numerator / denominator;
    qint64 remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && (quotient & 1)))
        quotient += 1;
    return static_cast<int>(std::clamp<qint64>(quotient, INT_MIN, INT_MAX));
}

bool IsPageObject(const TBaseModelObject *object)
{
    return dynamic_cast<const TDiagramTable *>(object) || dynamic_cast<const TDiagramNote *>(object)
           || dynamic_cast<const TDiagramType *>(object);
}

} // namespace

void TOSDiagram::SelectAll()
{
    if (!CurrentModel || !SelectedGraphics)
        return;
    SelectedGraphics->Clear();
    for (const TOSBaseList *list : {static_cast<const TOSBaseList *>(&CurrentModel->Tables),
                                    static_cast<const TOSBaseList *>(&CurrentModel->ObjectTables),
                                    static_cast<const TOSBaseList *>(&CurrentModel->Types),
                                    static_cast<const TOSBaseList *>(&CurrentModel->Notes)})
        for (TBaseModelObject *object : list->Items())
            SelectedGraphics->Add(object);
    Refresh();
}

void TOSDiagram::DeleteSelected()
{
    if (!CurrentModel || !SelectedGraphics)
        return;
    const std::vector<TBaseModelObject *> selected = SelectedGraphics->Items();
    for (TBaseModelObject *object : selected) {
        if (!IsPageObject(object))
            continue;
        auto *shown = static_cast<TBaseDiagramObject *>(dynamic_cast<TBaseDiagramRectangle *>(object));
        std::unique_ptr<TOSGraphic> box(TOSGraphic::BoxOf(shown));
        if (box) {
            box->hide();
            box->Diagram = nullptr;
            shown->Graphic = nullptr;
        }
        // Out of the selection before it is freed: rebuilding the explorer
        // tree may look at the selection.
        SelectedGraphics->Remove(object);
        CurrentModel->RemoveObject(object);
    }
    ClearSelection();
    if (Surface)
        Surface->update();
    UpdateObjectCount();
}

void TOSDiagram::ScaleRectangle(TBaseDiagramRectangle &rectangle, int numerator, int denominator)
{
    rectangle.Width = DivideHalfEven(qint64(rectangle.Width) * numerator, denominator);
    rectangle.Height = DivideHalfEven(qint64(rectangle.Height) * numerator, denominator);
    rectangle.Top = DivideHalfEven(qint64(rectangle.Top) * numerator, denominator);
    rectangle.Left = DivideHalfEven(qint64(rectangle.Left) * numerator, denominator);
}

void TOSDiagram::Zoom(int direction)
{
    if (!CurrentModel)
        return;
    TOSSchemaStyle &style = CurrentModel->Style;
    const int step = direction > 0 ? 1 : -1;
    // No font may reach a size below one point, and a size of 0 would be
    // divided by.
    const int smallest = std::min({style.FontSize, style.HeaderFontSize, style.LinkFontSize});
    const int largest = std::max({style.FontSize, style.HeaderFontSize, style.LinkFontSize});
    if (smallest + std::min(step, 0) < 1 || (step > 0 && largest == INT_MAX))
        return;
    const int size = style.FontSize;
    style.FontSize += step;
    style.HeaderFontSize += step;
    style.LinkFontSize += step;
    const auto scale = [&](auto &list) {
        for (auto *object : list)
            ScaleRectangle(*object, size + step, size);
    };
    scale(CurrentModel->Tables);
    scale(CurrentModel->ObjectTables);
    scale(CurrentModel->Notes);
    scale(CurrentModel->Types);
    Rebuild();
}

void TOSDiagram::SetTableFlags(void (*set)(TDiagramTable &))
{
    if (!CurrentModel)
        return;
    for (TDiagramTable *table : CurrentModel->Tables)
        set(*table);
}

void TOSDiagram::ResizeTableBoxes()
{
    // One repaint for all boxes: resizing a shown box among thousands of
    // siblings otherwise works out their overlaps every time.
    const bool updates = Surface && Surface->updatesEnabled();
    if (Surface)
        Surface->setUpdatesEnabled(false);
    for (TDiagramTable *table : CurrentModel->Tables)
        if (TOSGraphic *box = TOSGraphic::BoxOf(table))
            box->setGeometry(box->x(), box->y(), table->Width, table->Height);
    if (Surface) {
        Surface->setUpdatesEnabled(updates);
        Surface->update();
    }
}

void TOSDiagram::Remeasure()
{
    if (!CurrentModel)
        return;
    TCanvas *canvas = SurfaceCanvas();
    for (TDiagramTable *table : CurrentModel->Tables) {
        table->Height = table->CalcHeight(canvas);
        table->Width = table->CalcWidth(canvas);
    }
    ResizeTableBoxes();
}

void TOSDiagram::FoldAll()
{
    if (!CurrentModel)
        return;
    TCanvas *canvas = SurfaceCanvas();
    for (TDiagramTable *table : CurrentModel->Tables) {
        table->Height = 19;
        table->Width = canvas->TextWidth(table->Name) + 100;
    }
    ResizeTableBoxes();
}

void TOSDiagram::ShowOnlyKeyColumns()
{
    SetTableFlags([](TDiagramTable &t) { t.ShowOnlyKeyColumns = true; });
    Remeasure();
}

void TOSDiagram::ShowAllColumns()
{
    SetTableFlags([](TDiagramTable &t) { t.ShowOnlyKeyColumns = false; });
    Remeasure();
}

void TOSDiagram::HideDataTypes()
{
    SetTableFlags([](TDiagramTable &t) { t.HideDataTypes = true; });
    Remeasure();
}

void TOSDiagram::ShowDataTypes()
{
    SetTableFlags([](TDiagramTable &t) { t.HideDataTypes = false; });
    Remeasure();
}

void TOSDiagram::HideComments()
{
    SetTableFlags([](TDiagramTable &t) { t.HideComments = true; });
    RefreshAll();
}

void TOSDiagram::ShowComments()
{
    SetTableFlags([](TDiagramTable &t) { t.HideComments = false; });
    RefreshAll();
}

void TOSDiagram::SortAll(int method)
{
    if (!CurrentModel)
        return;
    for (TDiagramTable *table : CurrentModel->Tables)
        table->Columns.SortColumns(method, table);
    RefreshAll();
}

void TOSDiagram::SortAllAlpha() { SortAll(csmAlpha); }

void TOSDiagram::SortAllKeys() { SortAll(csmKeys); }

void TOSDiagram::SortAllByCreationOrder() { SortAll(csmCreation); }

void TOSDiagram::GenerateSelectedDDL()
{
    if (!CurrentModel)
        return;
    TSqlWindows::ShowScript(CurrentModel->BuildSelectionDdl());
}
