#pragma once
// TExplorerTree: a tree or list of the explorers whose drags carry the objects
// the explorer chooses (database objects for the diagram) instead of item texts.
#include <QTreeWidget>

#include <functional>

class QMimeData;

class TExplorerTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TExplorerTree(QWidget *parent = nullptr);

    // Makes the data of a drag starting now; null starts no drag.
    std::function<QMimeData *()> DragData;
    // Takes the place of the tree's own expand-all ("*") when set.
    std::function<void(QTreeWidgetItem *)> ExpandAll;

protected:
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QList<QTreeWidgetItem *> &items) const override;
    void keyPressEvent(QKeyEvent *event) override;
};
