// The database explorer beside the diagram: its owner filter, its popup by
// node kind, and how its tables and types reach the page.
#include "shell/main_form.h"

#include "canvas/drag_objects.h"
#include "dbtools/db_object_tree.h"
#include "model/diagram_table.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "platform/user_interface.h"
#include "shell/action_icons.h"
#include "shell/explorer_tree.h"
#include "shell/main_action_table.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>

#include <algorithm>
#include <initializer_list>

namespace {

using T = TDBObjectTree;

bool CodeIn(int code, std::initializer_list<int> codes)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// The codes of the nodes that are objects the diagram can show as boxes.
bool IsDiagramObject(int code) { return CodeIn(code, {T::ncTable, T::ncObjectTable, T::ncType}); }

quint8 KindOfCode(int code) { return code == T::ncType ? 2 : code == T::ncObjectTable ? 1 : 0; }

} // namespace

void Tfrmgui::ConnectDatabaseExplorer()
{
    tvwDBObjects->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(tvwDBObjects, &QTreeWidget::itemSelectionChanged, this, [this] {
        // Qt lists a selection by its ranges; the drag keeps the user's order.
        const QList<QTreeWidgetItem *> selected = tvwDBObjects->selectedItems();
        std::erase_if(DBSelectionOrder_, [&](QTreeWidgetItem *item) { return !selected.contains(item); });
        for (QTreeWidgetItem *item : selected) {
            if (std::find(DBSelectionOrder_.begin(), DBSelectionOrder_.end(), item) == DBSelectionOrder_.end())
                DBSelectionOrder_.push_back(item);
        }
    });
    connect(tvwDBObjects, &QTreeWidget::currentItemChanged, this, [this] { BuildDBExplorerPopup(); });
    connect(tvwDBObjects, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { tvwDBObjectsDblClick(); }); });
    connect(tvwDBObjects, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *node) {
        bool allow = false;
        Guarded([&] { TDBObjectTree::ExpandNode(node, allow, ObjOwnerFilter()); });
        if (!allow) {
            const QSignalBlocker blocker(tvwDBObjects);
            node->setExpanded(false);
        }
    });
    tvwDBObjects->ExpandAll = [this](QTreeWidgetItem *node) {
        Guarded([&] { TDBObjectTree::ExpandAll(node, ObjOwnerFilter()); });
    };
    connect(tvwDBObjects, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        QTreeWidgetItem *item = tvwDBObjects->itemAt(pos);
        if (item)
            tvwDBObjects->setCurrentItem(item);
        if (!mnuDBExplorer->isEmpty())
            mnuDBExplorer->popup(tvwDBObjects->viewport()->mapToGlobal(pos));
    });
    tvwDBObjects->DragData = [this]() -> QMimeData * {
        std::unique_ptr<TDragObjects> objects = DBObjectsDragObjects();
        return objects->Items.empty() ? nullptr : objects->ToMimeData().release();
    };
    const auto change = [this] { Guarded([this] { cboObjOwnersChange(); }); };
    connect(cboObjOwners, &QComboBox::activated, this, change);
    connect(findChild<QToolButton *>(QStringLiteral("sbtnRefreshObjs")), &QToolButton::clicked, this, change);
}

void Tfrmgui::BuildDatabaseRoots()
{
    DBSelectionOrder_.clear();
    if (THelpers::IsConnected()) {
        TDBObjectTree::BuildRoots(tvwDBObjects);
        return;
    }
    tvwDBObjects->clear();
    auto *root = new QTreeWidgetItem(tvwDBObjects, {QStringLiteral("Database Objects")});
    root->setDisabled(true);
}

QString Tfrmgui::ObjOwnerFilter() const
{
    const QString text = cboObjOwners->currentText();
    return text == QLatin1String("All Owners") ? QString() : text;
}

void Tfrmgui::cboObjOwnersChange()
{
    THourglass hourglass;
    BuildDatabaseRoots();
    cboTableOwners->setCurrentIndex(cboTableOwners->findText(cboObjOwners->currentText()));
    cboTableOwnersChange();
}

void Tfrmgui::BuildDBExplorerPopup()
{
    DBDoubleClickGeneratesDDL_ = false;
    mnuDBExplorer->clear();
    const QTreeWidgetItem *node = tvwDBObjects->currentItem();
    if (!node)
        return;
    const int c = TDBObjectTree::NodeCode(node);
    const auto item = [this](const char *name, const QString &caption, void (Tfrmgui::*click)(), int image = -1) {
        QAction *a = mnuDBExplorer->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (image >= 0)
            a->setIcon(TActionIcons::Icon(image));
        connect(a, &QAction::triggered, this, [this, click] { Guarded([this, click] { (this->*click)(); }); });
        return a;
    };
    if (CodeIn(c, {1, 2, 3, 4, 5, 11, 12, 15, 17, 19, 21, 24, 25, 26, 29, 30, 31, 32, 34, 35, 37}))
        item("mniDBRefresh", QStringLiteral("&Refresh"), &Tfrmgui::DBNodeRefreshClick);
    if (CodeIn(c, {3, 4, 6, 13, 14, 16, 18, 20, 22})) {
        mnuDBExplorer->setDefaultAction(item("mniDBGenerateDDL", QStringLiteral("Generate &DDL..."),
                                             &Tfrmgui::DBNodeGenerateDDLClick, TPopupImage::GenerateDDL));
        DBDoubleClickGeneratesDDL_ = true;
    }
    if (IsDiagramObject(c))
        item("mniDBAddToDiagram", QStringLiteral("&Add to diagram"), &Tfrmgui::DBNodeAddToDiagramClick);
    if (CodeIn(c, {3, 4, 16, 20}))
        item("mniDBQueryData", QStringLiteral("&Query Data..."), &Tfrmgui::DBNodeQueryDataClick, TPopupImage::QueryData);
    if (CodeIn(c, {T::ncReferencesFolder, T::ncReferencedByFolder}))
        item("mniDBAddAll", QStringLiteral("&Add all to diagram"), &Tfrmgui::DBNodeAddAllToDiagramClick);
}

void Tfrmgui::tvwDBObjectsDblClick()
{
    if (DBDoubleClickGeneratesDDL_)
        DBNodeGenerateDDLClick();
}

void Tfrmgui::DBNodeRefreshClick()
{
    QTreeWidgetItem *node = tvwDBObjects->currentItem();
    if (!node)
        return;
    DBSelectionOrder_.clear();
    tvwDBObjects->clearSelection();
    tvwDBObjects->setCurrentItem(node);
    qDeleteAll(node->takeChildren());
    node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    {
        const QSignalBlocker blocker(tvwDBObjects);
        node->setExpanded(false);
    }
    // Expanding reads the children again.
    node->setExpanded(true);
}

void Tfrmgui::DBNodeGenerateDDLClick()
{
    if (const QTreeWidgetItem *node = tvwDBObjects->currentItem())
        TDBObjectTree::GenerateNodeDDL(node, ObjOwnerFilter());
}

void Tfrmgui::DBNodeAddToDiagramClick() { AddDatabaseNodeToDiagram(tvwDBObjects->currentItem()); }

void Tfrmgui::DBNodeQueryDataClick()
{
    if (const QTreeWidgetItem *node = tvwDBObjects->currentItem())
        TDBObjectTree::QueryData(node, ObjOwnerFilter());
}

void Tfrmgui::DBNodeAddAllToDiagramClick()
{
    QTreeWidgetItem *node = tvwDBObjects->currentItem();
    if (!node)
        return;
    DBNodeRefreshClick();
    QCoreApplication::processEvents();
    TDragObjects objects;
    for (int i = 0; i < node->childCount(); ++i) {
        const QString text = node->child(i)->text(0);
        const int code = TDBObjectTree::NodeCode(node->child(i));
        if (IsDiagramObject(code))
            objects.Add(THelpers::GetOwnerName(text), THelpers::GetObjectName(text), KindOfCode(code));
    }
    AddDatabaseObjects(objects, [](int) { return QPoint(20, 20); });
}

void Tfrmgui::AddDatabaseNodeToDiagram(QTreeWidgetItem *node)
{
    // Only objects that have a box on the page: anything else would enter the
    // model without ever showing.
    const int code = TDBObjectTree::NodeCode(node);
    if (!IsDiagramObject(code))
        return;
    TDragObjects objects;
    objects.Add(THelpers::GetOwnerName(node->text(0)), THelpers::GetObjectName(node->text(0)), KindOfCode(code));
    AddDatabaseObjects(objects, [](int) { return QPoint(20, 20); });
}

std::unique_ptr<TDragObjects> Tfrmgui::DBObjectsDragObjects() const
{
    auto objects = std::make_unique<TDragObjects>();
    // Only nodes still selected, so a node deleted meanwhile is never touched.
    const QList<QTreeWidgetItem *> selected = tvwDBObjects->selectedItems();
    std::vector<const QTreeWidgetItem *> nodes;
    for (const QTreeWidgetItem *node : DBSelectionOrder_)
        if (selected.contains(node))
            nodes.push_back(node);
    for (const QTreeWidgetItem *node : selected)
        if (std::find(nodes.begin(), nodes.end(), node) == nodes.end())
            nodes.push_back(node);
    for (const QTreeWidgetItem *node : nodes) {
        const int code = TDBObjectTree::NodeCode(node);
        if (IsDiagramObject(code))
            objects->Add(THelpers::GetOwnerName(node->text(0)), THelpers::GetObjectName(node->text(0)),
                         KindOfCode(code));
    }
    return objects;
}
