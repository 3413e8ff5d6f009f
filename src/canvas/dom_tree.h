#pragma once
// TDOMTree: fills the model explorer tree with one subtree per open page, and
// finds and selects nodes in it.
#include "model/model_hooks.h"

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class TDiagramObjectModel;

class TDOMTree {
public:
    TDOMTree() = delete;

    // Node roles beside the text: the image index and the model object.
    static constexpr int ImageIndexRole = Qt::UserRole + 1;
    static constexpr int DataRole = Qt::UserRole + 2;

    static void RefreshExplorerTree();
    static QTreeWidgetItem *AddNode(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &text);
    static void AddModelNodes(QTreeWidget *tree, TDiagramObjectModel *model);
    static void SelectNode(const QString &text);
    static int FindNode(const QString &searchText, int startPosition);

    // The model object a node stands for, or null.
    static void *NodeData(const QTreeWidgetItem *node);
    static int NodeImage(const QTreeWidgetItem *node);
    // The hook through which the model asks for the tree to be rebuilt.
    static IModelExplorer *ExplorerHook();
};
