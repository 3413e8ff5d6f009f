#include "shell/explorer_tree.h"

#include "canvas/drag_objects.h"

#include <QKeyEvent>
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

void TExplorerTree::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Asterisk && ExpandAll && currentItem()) {
        ExpandAll(currentItem());
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
