// The explorers beside the diagram: owners, the Entities list and the model
// tree, and how objects travel from them to the page.
#include "shell/main_form.h"

#include "canvas/diagram_menu.h"
#include "canvas/dom_tree.h"
#include "canvas/drag_objects.h"
#include "canvas/os_diagram.h"
#include "dbtools/db_object_tree.h"
#include "dbtools/gui_helpers.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/result_set.h"
#include "platform/user_interface.h"
#include "shell/action_icons.h"
#include "shell/explorer_tree.h"
#include "shell/main_action_table.h"
#include "shell/main_diagram.h"

#include <QComboBox>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QTabBar>
#include <QTreeWidget>

void Tfrmgui::SelectOwner(QComboBox *combo)
{
    // Owners are stored in capitals while users log on as they like: the
    // entries are matched whatever their letter case.
    const Qt::MatchFlags anyCase = Qt::MatchFixedString;
    int index = Preferences->LastFilter.isEmpty() ? -1 : combo->findText(Preferences->LastFilter, anyCase);
    if (index < 0 && THelpers::IsConnected())
        index = combo->findText(DatabaseSession->GetUsername(), anyCase);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void Tfrmgui::FillOwnerCombo(QComboBox *combo)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    if (!THelpers::IsConnected())
        return;
    std::unique_ptr<TOSResultSet> owners = DatabaseSession->GetOwners();
    combo->addItem(QStringLiteral("All Owners"));
    if (owners) {
        for (int i = 0; i < owners->RowCount(); ++i)
            combo->addItem(owners->GetRow(i)->GetValueByName(QStringLiteral("OWNER")).toString());
    }
    combo->setCurrentIndex(0);
}

void Tfrmgui::FillEntitiesList(const QString &owner)
{
    lvwTables->setUpdatesEnabled(false);
    lvwTables->clear();
    TGUIHelpers::AddTablesToList(lvwTables, owner);
    TGUIHelpers::AddObjectTablesToList(lvwTables, owner);
    TGUIHelpers::AddTypesToList(lvwTables, owner);
    lvwTables->sortItems(0, Qt::AscendingOrder);
    lvwTables->resizeColumnToContents(0);
    lvwTables->setUpdatesEnabled(true);
}

void Tfrmgui::cboTableOwnersChange()
{
    THourglass hourglass;
    const int index = cboTableOwners->currentIndex();
    FillOwnerCombo(cboTableOwners);
    if (index < cboTableOwners->count())
        cboTableOwners->setCurrentIndex(index);
    FillEntitiesList(cboTableOwners->currentText() == QLatin1String("All Owners") ? QString()
                                                                                   : cboTableOwners->currentText());
    Preferences->LastFilter = cboTableOwners->currentText();
}

// ---------------------------------------------------------------------------
// Wiring

void Tfrmgui::ConnectExplorers()
{
    connect(lvwTables, &QTreeWidget::itemSelectionChanged, this, [this] { BuildEntitiesPopup(); });
    connect(lvwTables, &QTreeWidget::itemDoubleClicked, this, [this] { Guarded([this] { lvwTablesDblClick(); }); });
    connect(lvwTables, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (!mnuEntitiesExplorer->isEmpty())
            mnuEntitiesExplorer->popup(lvwTables->viewport()->mapToGlobal(pos));
    });
    lvwTables->DragData = [this]() -> QMimeData * {
        std::unique_ptr<TDragObjects> objects = EntitiesDragObjects();
        return objects->Items.empty() ? nullptr : objects->ToMimeData().release();
    };

    connect(tvwModel, &QTreeWidget::currentItemChanged, this, [this] { Guarded([this] { tvwModelChange(); }); });
    connect(tvwModel, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *item = tvwModel->itemAt(pos);
        if (!item)
            return;
        tvwModel->setCurrentItem(item);
        if (ModelTreePopup_)
            ModelTreePopup_->popup(tvwModel->viewport()->mapToGlobal(pos));
    });
}

// ---------------------------------------------------------------------------
// Entities list

namespace {

quint8 ItemKind(const QTreeWidgetItem *item) { return static_cast<quint8>(item->data(0, TGUIHelpers::KindRole).toInt()); }

} // namespace

void Tfrmgui::BuildEntitiesPopup()
{
    mnuEntitiesExplorer->clear();
    QTreeWidgetItem *item = lvwTables->currentItem();
    if (!item || lvwTables->selectedItems().isEmpty())
        return;
    QAction *add = mnuEntitiesExplorer->addAction(QStringLiteral("&Add to diagram"));
    add->setObjectName(QStringLiteral("mniEntitiesAdd"));
    mnuEntitiesExplorer->setDefaultAction(add);
    connect(add, &QAction::triggered, this, [this] { Guarded([this] { lvwTablesDblClick(); }); });
    QAction *ddl = mnuEntitiesExplorer->addAction(QStringLiteral("&Generate DDL..."));
    ddl->setObjectName(QStringLiteral("mniEntitiesGenerateDDL"));
    ddl->setProperty("imageIndex", TPopupImage::GenerateDDL);
    ddl->setIcon(TActionIcons::Icon(TPopupImage::GenerateDDL));
    connect(ddl, &QAction::triggered, this, [this] { Guarded([this] { EntitiesGenerateDDLClick(); }); });
    if (ItemKind(item) <= 1) {
        QAction *query = mnuEntitiesExplorer->addAction(QStringLiteral("&Query Data..."));
        query->setObjectName(QStringLiteral("mniEntitiesQueryData"));
        query->setProperty("imageIndex", TPopupImage::QueryData);
        query->setIcon(TActionIcons::Icon(TPopupImage::QueryData));
        connect(query, &QAction::triggered, this, [this] { Guarded([this] { EntitiesQueryDataClick(); }); });
    }
}

void Tfrmgui::EntitiesGenerateDDLClick()
{
    const QTreeWidgetItem *item = lvwTables->currentItem();
    if (!item)
        return;
    const quint8 kind = ItemKind(item);
    const int code = kind == 1 ? TDBObjectTree::ncObjectTable : kind == 2 ? TDBObjectTree::ncType : TDBObjectTree::ncTable;
    TDBObjectTree::GenerateDDL(code, item->text(0), cboTableOwners->currentText());
}

void Tfrmgui::EntitiesQueryDataClick()
{
    const QTreeWidgetItem *item = lvwTables->currentItem();
    if (item && ItemKind(item) <= 1)
        TDBObjectTree::QueryTableData(item->text(0), cboTableOwners->currentText());
}

void Tfrmgui::lvwTablesDblClick()
{
    // The first at 20, 20, each next one 20 further right and down.
    AddDatabaseObjects(*EntitiesDragObjects(), [](int i) { return QPoint(20, 20) * (i + 1); });
}

void Tfrmgui::AddDatabaseObjects(const TDragObjects &objects, const std::function<QPoint(int)> &wanted)
{
    if (CurrentDiagram && !objects.Items.empty())
        CurrentDiagram->AddFromDatabase(objects, wanted);
}

std::unique_ptr<TDragObjects> Tfrmgui::EntitiesDragObjects() const
{
    auto objects = std::make_unique<TDragObjects>();
    for (int i = 0; i < lvwTables->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = lvwTables->topLevelItem(i);
        if (item->isSelected() && item->data(0, TGUIHelpers::KindRole).isValid())
            objects->Add(item->data(0, TGUIHelpers::OwnerRole).toString(),
                         item->data(0, TGUIHelpers::NameRole).toString(), ItemKind(item));
    }
    return objects;
}

// ---------------------------------------------------------------------------
// Model explorer

namespace {

// Below the roots (which hold their model) every node holds a model object or nothing.
TBaseModelObject *NodeObject(const QTreeWidgetItem *node)
{
    return node && node->parent() ? static_cast<TBaseModelObject *>(TDOMTree::NodeData(node)) : nullptr;
}

bool IsBox(const QTreeWidgetItem *node) { return dynamic_cast<TBaseDiagramRectangle *>(NodeObject(node)); }

void SelectOnly(TBaseModelObject *object)
{
    SelectedGraphics->Clear();
    SelectedGraphics->Add(object);
    if (CurrentDiagram)
        CurrentDiagram->Refresh();
}

} // namespace

void Tfrmgui::tvwModelChange()
{
    // The boxes selected from here must not move the tree's selection back.
    bool unused = false;
    bool &syncing = CurrentDiagram ? CurrentDiagram->SyncingFromModelTree : unused;
    const QScopedValueRollback<bool> guard(syncing, true);
    SyncDiagramToModelTree();
}

void Tfrmgui::SyncDiagramToModelTree()
{
    ModelTreePopup_ = nullptr;
    QTreeWidgetItem *node = tvwModel->currentItem();
    if (!node)
        return;
    QTreeWidgetItem *root = node;
    while (root->parent())
        root = root->parent();
    // The page first: changing it rebuilds the boxes, which would drop a
    // selection made before.
    auto *model = static_cast<TDiagramObjectModel *>(TDOMTree::NodeData(root));
    for (size_t i = 0; model && i < OpenModels->size(); ++i) {
        if ((*OpenModels)[i].get() == model && static_cast<int>(i) != tabModels->currentIndex()) {
            {
                const QScopedValueRollback<bool> tabs(UpdatingTabs_, true);
                tabModels->setCurrentIndex(static_cast<int>(i));
            }
            SelectModelTab(static_cast<int>(i));
            break;
        }
    }
    if (node == root) {
        ModelTreePopup_ = mnuModelExp;
        return;
    }
    if (!IsBox(node)) {
        for (QTreeWidgetItem *up = node->parent(); up && up != root; up = up->parent()) {
            if (IsBox(up)) {
                SelectOnly(NodeObject(up));
                break;
            }
        }
    }
    if (auto *table = dynamic_cast<TDiagramTable *>(NodeObject(node))) {
        SelectOnly(table);
        if (!DiagramMenu_)
            DiagramMenu_ = std::make_unique<TDiagramMenu>();
        DiagramMenu_->Table = table;
        ModelTreePopup_ = DiagramMenu_->BuildPopup(tvwModel);
    }
}
