#include "canvas/dom_tree.h"

#include "canvas/tree_image_list.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"

#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <functional>
#include <memory>

namespace {

QTreeWidgetItem *NewNode(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &text, int image,
                         void *data)
{
    auto *node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    node->setText(0, text);
    node->setData(0, TDOMTree::ImageIndexRole, image);
    node->setData(0, TDOMTree::DataRole, QVariant::fromValue(reinterpret_cast<quintptr>(data)));
    node->setIcon(0, TTreeImageList::Instance().Icon(image));
    return node;
}

void AddKeyColumns(QTreeWidget *tree, QTreeWidgetItem *parent, const QStringList &columns)
{
    QTreeWidgetItem *folder = TDOMTree::AddNode(tree, parent, QStringLiteral("Columns"));
    for (const QString &column : columns)
        NewNode(tree, folder, column, TTreeImageList::imgColumn, nullptr);
}

void AddTableNodes(QTreeWidget *tree, QTreeWidgetItem *folder, TDiagramTable *table)
{
    const bool objectTable = dynamic_cast<TDiagramObjectTable *>(table) != nullptr;
    QTreeWidgetItem *node = NewNode(tree, folder, table->Owner + QLatin1Char('.') + table->Name,
                                    objectTable ? TTreeImageList::imgObjectTable : TTreeImageList::imgTable, table);
    QTreeWidgetItem *columns = TDOMTree::AddNode(tree, node, QStringLiteral("Columns"));
    for (TDiagramColumn *column : table->Columns)
        NewNode(tree, columns, column->Name + QStringLiteral("  ") + column->GetDataTypeText(),
                TTreeImageList::imgColumn, column);
    QTreeWidgetItem *primary = TDOMTree::AddNode(tree, node, QStringLiteral("Primary Key"));
    for (TDiagramPrimaryKey *key : table->PrimaryKeys)
        AddKeyColumns(tree, NewNode(tree, primary, key->Name, TTreeImageList::imgPrimaryKey, key), key->Columns);
    QTreeWidgetItem *unique = TDOMTree::AddNode(tree, node, QStringLiteral("Unique Keys"));
    for (TDiagramUniqueKey *key : table->UniqueKeys)
        AddKeyColumns(tree, NewNode(tree, unique, key->Name, TTreeImageList::imgUniqueKey, key), key->Columns);
    QTreeWidgetItem *foreign = TDOMTree::AddNode(tree, node, QStringLiteral("Foreign Keys"));
    for (TDiagramForeignKey *key : table->ForeignKeys) {
        QTreeWidgetItem *keyNode = NewNode(tree, foreign, key->Name, TTreeImageList::imgForeignKey, key);
        QTreeWidgetItem *ref = TDOMTree::AddNode(tree, keyNode, QStringLiteral("Ref Table"));
        QTreeWidgetItem *refTable = NewNode(tree, ref, key->RefTableOwner + QLatin1Char('.') + key->RefTableName,
                                            TTreeImageList::imgTable, nullptr);
        QTreeWidgetItem *refColumns = TDOMTree::AddNode(tree, refTable, QStringLiteral("Key Columns"));
        for (const QString &column : key->RefColumns)
            NewNode(tree, refColumns, column, TTreeImageList::imgColumn, nullptr);
        QTreeWidgetItem *keyColumns = TDOMTree::AddNode(tree, keyNode, QStringLiteral("Key Columns"));
        for (const QString &column : key->Columns)
            NewNode(tree, keyColumns, column, TTreeImageList::imgColumn, nullptr);
    }
    QTreeWidgetItem *checks = TDOMTree::AddNode(tree, node, QStringLiteral("Check Constraints"));
    for (TDiagramCheckConstraint *check : table->CheckConstraints)
        NewNode(tree, checks, check->Name, TTreeImageList::imgForeignKey, check);
}

// Every node in tree order (depth first, parents before children).
void Walk(QTreeWidget *tree, const std::function<bool(QTreeWidgetItem *, int depth)> &visit)
{
    std::function<bool(QTreeWidgetItem *, int)> walk = [&](QTreeWidgetItem *node, int depth) {
        if (!visit(node, depth))
            return false;
        for (int i = 0; i < node->childCount(); ++i)
            if (!walk(node->child(i), depth + 1))
                return false;
        return true;
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (!walk(tree->topLevelItem(i), 0))
            return;
}

class TExplorerHook : public IModelExplorer {
public:
    void RefreshExplorerTree() override { TDOMTree::RefreshExplorerTree(); }
};

} // namespace

IModelExplorer *TDOMTree::ExplorerHook()
{
    static TExplorerHook hook;
    return &hook;
}

void *TDOMTree::NodeData(const QTreeWidgetItem *node)
{
    return node ? reinterpret_cast<void *>(node->data(0, DataRole).value<quintptr>()) : nullptr;
}

int TDOMTree::NodeImage(const QTreeWidgetItem *node)
{
    return node ? node->data(0, ImageIndexRole).toInt() : -1;
}

QTreeWidgetItem *TDOMTree::AddNode(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &text)
{
    return NewNode(tree, parent, text, TTreeImageList::imgFolder, nullptr);
}

void TDOMTree::RefreshExplorerTree()
{
    QTreeWidget *tree = ModelTreeView;
    if (!tree)
        return;
    const bool updates = tree->updatesEnabled();
    tree->setUpdatesEnabled(false);
    {
        // Rebuilding is not the user's selection change.
        const QSignalBlocker blocker(tree);
        tree->clear();
        if (OpenModels)
            for (const auto &model : *OpenModels)
                AddModelNodes(tree, model.get());
    }
    tree->setUpdatesEnabled(updates);
}

void TDOMTree::AddModelNodes(QTreeWidget *tree, TDiagramObjectModel *model)
{
    if (!tree || !model)
        return;
    // The model's nodes are made apart from the tree and join it at once: a
    // node made inside it tells the tree's model of itself and of each of its
    // values, and a page of thousands of tables has hundreds of thousands.
    auto made = std::make_unique<QTreeWidgetItem>();
    QTreeWidgetItem *root = made.get();
    root->setText(0, model->Name);
    root->setData(0, TDOMTree::ImageIndexRole, TTreeImageList::imgFolder);
    root->setData(0, TDOMTree::DataRole, QVariant::fromValue(reinterpret_cast<quintptr>(model)));
    root->setIcon(0, TTreeImageList::Instance().Icon(TTreeImageList::imgFolder));

    QTreeWidgetItem *owners = AddNode(tree, root, QStringLiteral("Owners"));
    for (const QString &owner : model->Owners)
        NewNode(tree, owners, owner, TTreeImageList::imgOwner, nullptr);

    QTreeWidgetItem *notes = AddNode(tree, root, QStringLiteral("Notes"));
    for (TDiagramNote *note : model->Notes) {
        // One line in the tree, whatever the note's line breaks.
        QString flat = note->Text;
        flat.replace(QRegularExpression(QStringLiteral("[\r\n]+")), QStringLiteral(" "));
        const QString text = flat.size() <= 30 ? flat : flat.left(28) + QStringLiteral("..");
        NewNode(tree, notes, text, TTreeImageList::imgTable, note);
    }

    QTreeWidgetItem *objectTables = AddNode(tree, root, QStringLiteral("Object Tables"));
    for (TDiagramObjectTable *table : model->ObjectTables)
        NewNode(tree, objectTables, table->Owner + QLatin1Char('.') + table->Name, TTreeImageList::imgObjectTable,
                table);

    QTreeWidgetItem *tables = AddNode(tree, root, QStringLiteral("Tables"));
    for (TDiagramTable *table : model->Tables)
        AddTableNodes(tree, tables, table);

    QTreeWidgetItem *types = AddNode(tree, root, QStringLiteral("Types"));
    for (TDiagramType *type : model->Types) {
        QTreeWidgetItem *node = NewNode(tree, types, type->Owner + QLatin1Char('.') + type->Name,
                                        TTreeImageList::imgType, type);
        QTreeWidgetItem *attributes = AddNode(tree, node, QStringLiteral("Attributes"));
        for (TDiagramAttribute *attribute : type->Attributes)
            NewNode(tree, attributes, attribute->Name + QLatin1Char(' ') + attribute->DataType,
                    TTreeImageList::imgColumn, nullptr);
        QTreeWidgetItem *methods = AddNode(tree, node, QStringLiteral("Methods"));
        for (TDiagramMethod *method : type->Methods)
            NewNode(tree, methods, method->Name + QStringLiteral("()"), TTreeImageList::imgColumn, nullptr);
    }
    tree->addTopLevelItem(made.release());
    root->setExpanded(true);
}

void TDOMTree::SelectNode(const QString &text)
{
    QTreeWidget *tree = ModelTreeView;
    if (!tree)
        return;
    tree->clearSelection();
    Walk(tree, [&](QTreeWidgetItem *node, int depth) {
        if (depth == 2 && node->text(0) == text) {
            node->setSelected(true);
            tree->setCurrentItem(node);
            return false;
        }
        return true;
    });
    tree->viewport()->update();
}

int TDOMTree::FindNode(const QString &searchText, int startPosition)
{
    QTreeWidget *tree = ModelTreeView;
    if (!tree)
        return -1;
    tree->clearSelection();
    int position = -1, found = -1;
    Walk(tree, [&](QTreeWidgetItem *node, int) {
        ++position;
        if (position > startPosition && node->text(0).contains(searchText, Qt::CaseInsensitive)) {
            found = position;
            node->setSelected(true);
            tree->setCurrentItem(node);
            tree->scrollToItem(node);
            return false;
        }
        return true;
    });
    tree->viewport()->update();
    return found;
}
