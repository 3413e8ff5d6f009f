#include "canvas/layout_adapter.h"

#include "canvas/layout/sugiyama_layout.h"
#include "canvas/os_graphic.h"
#include "model/diagram_object_model.h"

#include <QHash>
#include <QPair>

namespace {

using TNameKey = QPair<QString, QString>; // name, owner

// The node of the first object of each name and owner, as a look-up by name
// would find it; later namesakes are never referenced.
class TNodeIndex {
public:
    void Add(const QString &name, const QString &owner, int node)
    {
        const TNameKey key(name, owner);
        if (!Nodes_.contains(key))
            Nodes_.insert(key, node);
    }
    int Find(const QString &name, const QString &owner) const { return Nodes_.value(TNameKey(name, owner), -1); }

private:
    QHash<TNameKey, int> Nodes_;
};

// A box's size is what the user sees; an object without a box keeps its own.
void BoxSize(const TBaseDiagramRectangle *object, int &width, int &height)
{
    if (const TOSGraphic *box = TOSGraphic::BoxOf(object)) {
        width = box->width();
        height = box->height();
    } else {
        width = object->Width;
        height = object->Height;
    }
}

} // namespace

TLayoutAdapter::TLayoutAdapter(TDiagramObjectModel &model)
{
    const int count = model.Tables.Count() + model.ObjectTables.Count() + model.Types.Count();
    Objects.reserve(count);
    Graph.Nodes.reserve(count);

    TNodeIndex tables, objectTables, types;
    const auto addNode = [&](TBaseDiagramRectangle *object) {
        int width = 0, height = 0;
        BoxSize(object, width, height);
        Objects.push_back(object);
        return Graph.AddNode(static_cast<int>(Objects.size()) - 1, object->Left, object->Top, width, height);
    };
    for (TDiagramTable *table : model.Tables)
        tables.Add(table->Name, table->Owner, addNode(table));
    for (TDiagramObjectTable *table : model.ObjectTables)
        objectTables.Add(table->Name, table->Owner, addNode(table));
    for (TDiagramType *type : model.Types)
        types.Add(type->Name, type->Owner, addNode(type));

    const auto addKeys = [&](TDiagramTable *table, int node) {
        for (TDiagramForeignKey *key : table->ForeignKeys) {
            int target = tables.Find(key->RefTableName, key->RefTableOwner);
            if (target < 0)
                target = objectTables.Find(key->RefTableName, key->RefTableOwner);
            if (target >= 0 && target != node)
                Graph.AddEdge(node, target);
        }
    };
    int node = 0;
    for (TDiagramTable *table : model.Tables)
        addKeys(table, node++);
    for (TDiagramObjectTable *table : model.ObjectTables) {
        addKeys(table, node);
        if (const int type = types.Find(table->TypeName, table->TypeOwner); type >= 0)
            Graph.AddEdge(node, type);
        ++node;
    }
}

void TLayoutAdapter::Execute()
{
    TSugiyamaLayout layout;
    layout.Execute(Graph);
    Apply();
}

void TLayoutAdapter::Apply() const
{
    for (std::size_t i = 0; i < Objects.size(); ++i) {
        TBaseDiagramRectangle *object = Objects[i];
        object->Left = Graph.Nodes[i].Left;
        object->Top = Graph.Nodes[i].Top;
        if (TOSGraphic *box = TOSGraphic::BoxOf(object))
            box->move(object->Left, object->Top);
    }
}
