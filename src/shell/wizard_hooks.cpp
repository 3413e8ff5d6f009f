#include "shell/wizard_hooks.h"

#include "canvas/dom_tree.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "dbtools/base_memo_wizard.h"
#include "dbtools/base_table_wizard.h"
#include "dbtools/compare_models_wizard.h"
#include "model/diagram_note.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"

namespace {

class TShellWizards : public IModelWizards {
public:
    std::unique_ptr<TDiagramTable> CreateTable() override { return TfrmBaseTableWizard::CreateTable(); }

    void EditTable(TDiagramTable *table) override
    {
        if (!TfrmBaseTableWizard::EditTable(table))
            return;
        // Columns may have come or gone: the box takes the size its content
        // needs, as a new table does, and the links follow the new keys.
        TCanvas *canvas = TModelHooks::Surface ? TModelHooks::Surface->SurfaceCanvas() : nullptr;
        if (canvas) {
            table->Height = table->CalcHeight(canvas);
            table->Width = table->CalcWidth(canvas);
        }
        if (TOSGraphic *box = TOSGraphic::BoxOf(table))
            box->setGeometry(table->Left, table->Top, table->Width, table->Height);
        RepaintPage();
    }

    std::unique_ptr<TDiagramNote> CreateNote() override { return TfrmBaseMemoWizard::CreateNote(); }

    void EditNote(TDiagramNote *note) override
    {
        if (TfrmBaseMemoWizard::EditNote(note))
            RepaintPage();
    }

private:
    static void RepaintPage()
    {
        if (!CurrentDiagram)
            return;
        CurrentDiagram->Refresh();
        if (CurrentDiagram->Surface)
            CurrentDiagram->Surface->update();
    }
};

} // namespace

void TWizardHooks::Install()
{
    static TShellWizards wizards;
    TModelHooks::Wizards = &wizards;
}

void TWizardHooks::CreateTableOnPage()
{
    if (!CurrentModel)
        return;
    TDiagramTable *table = CurrentModel->AddTableWithWizard();
    if (!table)
        return;
    if (CurrentDiagram)
        CurrentDiagram->AddTableGraphic(table);
    TDOMTree::RefreshExplorerTree();
}

void TWizardHooks::CreateNoteOnPage()
{
    if (!CurrentModel)
        return;
    TDiagramNote *note = CurrentModel->AddNoteWithWizard();
    if (!note)
        return;
    if (CurrentDiagram)
        CurrentDiagram->AddNoteGraphic(note);
    TDOMTree::RefreshExplorerTree();
}

void TWizardHooks::CompareModels()
{
    TfrmCompareModelsWizard wizard;
    wizard.exec();
}
