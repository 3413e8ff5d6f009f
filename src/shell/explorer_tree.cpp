#include "shell/explorer_tree.h"

#include "canvas/drag_objects.h"

#include <QMimeData>

TExplorerTree::TExplorerTree(QWidget *parent) : QTreeWidget(parent)
{
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

QStringList TExplorerTree::mimeTypes() const { return {TDragObjects::MimeType}; }

QMimeData *TExplorerTree::mimeData(const QList<QTreeWidgetItem *> &) const
{
    return DragData ? DragData() : nullptr;
}
