// Automatic layout of a page: the graph handed to the layered layout, the
// positions written back to the model and the boxes, and failures that move nothing.
#include "canvas_fixture.h"

#include "canvas/layout/layout_error.h"
#include "canvas/layout_adapter.h"
#include "test_data.h"

#include <utility>
#include <vector>

namespace {

using TEdgeList = std::vector<std::pair<int, int>>;

class LayoutAdapterTest : public CanvasTest {
protected:
    static void Reference(TDiagramTable *from, const QString &owner, const QString &to)
    {
        AddForeignKey(*from, from->Name + "_" + to + "_FK", {"ID"}, owner, to, {"ID"});
    }
    static TEdgeList EdgesOf(const TLayoutAdapter &adapter)
    {
        TEdgeList edges;
        for (const TLayoutEdge &edge : adapter.Graph.Edges)
            edges.emplace_back(edge.FromNode, edge.ToNode);
        return edges;
    }
    // Every table and note with its model rectangle and its box's, in model order.
    std::vector<QRect> Places() const
    {
        std::vector<QRect> places;
        for (const TOSBaseList *list :
             {static_cast<const TOSBaseList *>(&model->Tables), static_cast<const TOSBaseList *>(&model->Notes)})
            for (TBaseModelObject *object : list->Items()) {
                auto *r = static_cast<TBaseDiagramRectangle *>(object);
                places.insert(places.end(), {QRect(r->Left, r->Top, r->Width, r->Height), Box(r)->geometry()});
            }
        return places;
    }
};

TEST_F(LayoutAdapterTest, HandsTheLayoutTheReferencesAndAppliesItsResult)
{
    for (const QStringList &c : readCases("canvas/layout_pages.txt")) {
        SCOPED_TRACE(c[0].toStdString());
        model->Tables.Clear();
        std::vector<QSize> sizes;
        for (const QString &table : c[1].split(',')) {
            const QStringList words = table.split(' ', Qt::SkipEmptyParts);
            sizes.emplace_back(words[1].toInt(), words[2].toInt());
            AddTable(*model, "S", words[0], 300, 300, sizes.back().width(), sizes.back().height());
        }
        for (const QString &key : c[2].split(' ', Qt::SkipEmptyParts))
            Reference(model->Tables.FindTable(key.section('>', 0, 0), "S"), "S", key.section('>', 1));
        TEdgeList edges;
        for (const QString &edge : c[3].split(' ', Qt::SkipEmptyParts))
            edges.emplace_back(edge.section('>', 0, 0).toInt(), edge.section('>', 1).toInt());
        diagram->Rebuild();
        TLayoutAdapter adapter(*model);
        EXPECT_EQ(EdgesOf(adapter), edges);
        adapter.Execute();
        const QStringList places = c.value(4).split(',', Qt::SkipEmptyParts);
        for (int i = 0; i < places.size(); ++i) {
            TDiagramTable *table = model->Tables.GetTable(i);
            const QList<int> place = caseInts(places[i]);
            EXPECT_EQ(Box(table)->geometry(), QRect(QPoint(place[0], place[1]), sizes[i])) << i;
            EXPECT_EQ(Box(table)->geometry(), QRect(table->Left, table->Top, table->Width, table->Height)) << i;
        }
    }
}

TEST_F(LayoutAdapterTest, ObjectTablesReferenceTheirTypeAndNamesMatchExactly)
{
    auto *orders = AddTable(*model, "S", "ORDERS", 0, 0, 150, 60);
    auto *people = AddObjectTable("S", "PEOPLE", "S", "PERSON_T");
    auto *pets = AddObjectTable("S", "PETS", "OTHER", "ANIMAL_T"); // a type of another owner
    auto *animal = AddType("OTHER", "ANIMAL_T");
    auto *person = AddType("S", "PERSON_T");
    AddType("S", "ANIMAL_T");
    AddType("OTHER", "PERSON_T"); // a namesake of another owner: no edge
    Reference(orders, "S", "PEOPLE"); // an object table is found when no table has the name
    Reference(pets, "S", "PEOPLE");
    AddForeignKey(*pets, "PETS_SELF_FK", {"ID"}, "S", "PETS", {"ID"});
    diagram->Rebuild();
    TLayoutAdapter adapter(*model);
    ASSERT_EQ(adapter.Objects.size(), 7u);
    EXPECT_EQ(adapter.Objects[1], people);
    EXPECT_EQ(adapter.Objects[3], animal);
    // Per node: its keys in list order, then an object table's type.
    EXPECT_EQ(EdgesOf(adapter), (TEdgeList{{0, 1}, {1, 4}, {2, 1}, {2, 3}}));
    diagram->LayoutDiagram();
    EXPECT_GT(person->Top, people->Top); // the type lies below its object table
    EXPECT_GT(people->Top, orders->Top);
    EXPECT_EQ(Box(pets)->pos(), QPoint(pets->Left, pets->Top));

    // Names are compared as written; of two namesakes the first wins.
    model->Types.Clear(), model->ObjectTables.Clear(), model->Tables.Clear();
    auto *a = AddTable(*model, "S", "A");
    for (const char *owner : {"S", "OTHER", "S"})
        AddTable(*model, owner, "B");
    AddObjectTable("S", "A_OT", "S", "T");
    const std::pair<const char *, const char *> references[] = {{"S", "B"}, {"OTHER", "B"}, {"s", "b"}, {"S", "A_OT"}};
    for (const auto &[owner, name] : references)
        Reference(a, owner, name);
    EXPECT_EQ(EdgesOf(TLayoutAdapter(*model)), (TEdgeList{{0, 1}, {0, 2}, {0, 4}}));
}

TEST_F(LayoutAdapterTest, NotesKeepTheirPlacesAndTakeNoPart)
{
    EXPECT_NO_THROW(diagram->LayoutDiagram()); // an empty page
    auto *first = AddNote(500, 20);
    auto *second = AddNote(3, 4);
    diagram->Rebuild();
    EXPECT_NO_THROW(diagram->LayoutDiagram()); // notes only
    auto *a = AddTable(*model, "S", "A", 300, 300, 100, 50);
    auto *b = AddTable(*model, "S", "B", 300, 300, 100, 50);
    Reference(a, "S", "B");
    diagram->Rebuild();
    EXPECT_EQ(TLayoutAdapter(*model).Graph.Nodes.size(), 2u);
    diagram->LayoutDiagram();
    EXPECT_EQ(QPoint(a->Left, a->Top), QPoint(5, 40));
    EXPECT_EQ(QPoint(b->Left, b->Top), QPoint(5, 100));
    EXPECT_EQ(QRect(first->Left, first->Top, first->Width, first->Height), QRect(500, 20, 80, 30));
    EXPECT_EQ(Box(second)->geometry(), QRect(3, 4, 80, 30));
}

TEST_F(LayoutAdapterTest, FailureLeavesEveryBoxInPlaceAndThePageUnbuilt)
{
    // Ten tables that all reference each other need far more cycle-breaking passes than allowed.
    for (int i = 0; i < 10; ++i)
        AddTable(*model, "S", QStringLiteral("T%1").arg(i), 20 + 30 * i, 400 - 20 * i, 100, 50);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j)
            if (i != j)
                Reference(model->Tables.GetTable(i), "S", QStringLiteral("T%1").arg(j));
    AddNote(5, 5);
    diagram->Rebuild();
    SelectedGraphics->Add(model->Tables.GetTable(3));
    const auto places = Places();
    void *box = model->Tables.GetTable(0)->Graphic;

    EXPECT_THROW(diagram->LayoutDiagram(), ELayoutError);
    EXPECT_EQ(ErrorOf([&] { diagram->LayoutDiagram(); }), "Layout failed.");
    EXPECT_EQ(Places(), places);
    // Not rebuilt: the same boxes, the selection kept.
    EXPECT_EQ(model->Tables.GetTable(0)->Graphic, box);
    EXPECT_EQ(SelectedGraphics->Count(), 1);
}

} // namespace
