// Automatic layout of a page: the graph handed to the layered layout, the
// positions written back to the model and the boxes, and failures that move nothing.
#include "canvas_fixture.h"

#include "canvas/layout/layout_error.h"
#include "canvas/layout/sugiyama_layout.h"
#include "canvas/layout_adapter.h"
#include "model/diagram_note.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using TEdgeList = std::vector<std::pair<int, int>>;

TEdgeList EdgesOf(const TLayoutGraph &graph)
{
    TEdgeList edges;
    for (const TLayoutEdge &edge : graph.Edges)
        edges.emplace_back(edge.FromNode, edge.ToNode);
    return edges;
}

// What the layout makes of the same boxes and references handed to it directly.
std::vector<QPoint> AlgorithmPlaces(const TLayoutAdapter &adapter, const TEdgeList &edges)
{
    TLayoutGraph graph;
    for (const TLayoutNode &node : adapter.Graph.Nodes)
        graph.AddNode(0, 0, 0, node.Width, node.Height);
    for (auto [from, to] : edges)
        graph.AddEdge(from, to);
    TSugiyamaLayout layout;
    layout.Execute(graph);
    std::vector<QPoint> places;
    for (const TLayoutNode &node : graph.Nodes)
        places.emplace_back(node.Left, node.Top);
    return places;
}

class LayoutAdapterTest : public CanvasTest {
protected:
    TDiagramObjectTable *AddObjectTable(const QString &owner, const QString &name, const QString &typeOwner,
                                        const QString &typeName, int width = 120, int height = 60)
    {
        auto *table = new TDiagramObjectTable();
        table->Owner = owner;
        table->Name = name;
        table->TypeOwner = typeOwner;
        table->TypeName = typeName;
        table->Width = width;
        table->Height = height;
        model->ObjectTables.Add(table);
        return table;
    }
    TDiagramType *AddType(const QString &owner, const QString &name, int width = 90, int height = 40)
    {
        auto *type = new TDiagramType();
        type->Owner = owner;
        type->Name = name;
        type->Left = 400;
        type->Top = 400;
        type->Width = width;
        type->Height = height;
        model->Types.Add(type);
        return type;
    }
    TDiagramNote *AddNote(int left, int top)
    {
        auto *note = new TDiagramNote();
        note->Text = "n";
        note->Left = left;
        note->Top = top;
        note->Width = 80;
        note->Height = 30;
        model->Notes.Add(note);
        return note;
    }
    static void Reference(TDiagramTable *from, const QString &owner, const QString &to)
    {
        AddForeignKey(*from, from->Name + "_" + to + "_FK", {"ID"}, owner, to, {"ID"});
    }
    // Every box of the page with its model rectangle, in model order.
    std::vector<QRect> Places() const
    {
        std::vector<QRect> places;
        for (const TOSBaseList *list : {static_cast<const TOSBaseList *>(&model->Tables),
                                        static_cast<const TOSBaseList *>(&model->ObjectTables),
                                        static_cast<const TOSBaseList *>(&model->Types),
                                        static_cast<const TOSBaseList *>(&model->Notes)})
            for (TBaseModelObject *object : list->Items()) {
                auto *box = static_cast<TBaseDiagramRectangle *>(object);
                places.emplace_back(box->Left, box->Top, box->Width, box->Height);
            }
        return places;
    }
    std::vector<QRect> BoxPlaces() const
    {
        std::vector<QRect> places;
        for (const TOSBaseList *list : {static_cast<const TOSBaseList *>(&model->Tables),
                                        static_cast<const TOSBaseList *>(&model->ObjectTables),
                                        static_cast<const TOSBaseList *>(&model->Types),
                                        static_cast<const TOSBaseList *>(&model->Notes)})
            for (TBaseModelObject *object : list->Items())
                places.push_back(TOSGraphic::BoxOf(static_cast<TBaseDiagramObject *>(object))->geometry());
        return places;
    }
};

TEST_F(LayoutAdapterTest, ReferencingTableAboveTheReferencedOneAndBoxesFollow)
{
    auto *emp = AddTable(*model, "HR", "EMP", 300, 300, 100, 60);
    auto *dept = AddTable(*model, "HR", "DEPT", 10, 10, 200, 50);
    Reference(emp, "HR", "DEPT");
    diagram->Rebuild();

    diagram->LayoutDiagram();
    EXPECT_EQ(QPoint(emp->Left, emp->Top), QPoint(55, 40));
    EXPECT_EQ(QPoint(dept->Left, dept->Top), QPoint(5, 110));
    EXPECT_EQ(TOSGraphic::BoxOf(emp)->geometry(), QRect(55, 40, 100, 60));
    EXPECT_EQ(TOSGraphic::BoxOf(dept)->geometry(), QRect(5, 110, 200, 50));
}

// A page described by its tables and references, and the graph the layout must get.
struct GraphCase {
    std::string Name;
    std::vector<std::pair<const char *, QSize>> Tables;         // name, size (owner "S")
    std::vector<std::pair<const char *, const char *>> Keys;    // referencing, referenced (owner "S")
    TEdgeList Edges;
    std::vector<QPoint> HandPlaces; // when worked out by hand; else compared with the algorithm only
};

class LayoutGraphCases : public LayoutAdapterTest, public ::testing::WithParamInterface<GraphCase> {
};

TEST_P(LayoutGraphCases, HandsTheLayoutTheReferencesAndAppliesItsResult)
{
    const GraphCase &c = GetParam();
    std::vector<TDiagramTable *> tables;
    for (const auto &[name, size] : c.Tables)
        tables.push_back(AddTable(*model, "S", name, 7, 9, size.width(), size.height()));
    for (const auto &[from, to] : c.Keys)
        Reference(model->Tables.FindTable(from, "S"), "S", to);
    diagram->Rebuild();

    TLayoutAdapter adapter(*model);
    ASSERT_EQ(adapter.Objects.size(), tables.size());
    EXPECT_EQ(EdgesOf(adapter.Graph), c.Edges);
    const std::vector<QPoint> expected = AlgorithmPlaces(adapter, c.Edges);
    if (!c.HandPlaces.empty()) {
        EXPECT_EQ(expected, c.HandPlaces);
    }

    adapter.Execute();
    for (std::size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(QPoint(tables[i]->Left, tables[i]->Top), expected[i]) << tables[i]->Name.toStdString();
        EXPECT_EQ(TOSGraphic::BoxOf(tables[i])->pos(), expected[i]);
        EXPECT_EQ(TOSGraphic::BoxOf(tables[i])->size(), c.Tables[i].second);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, LayoutGraphCases,
    ::testing::Values(
        GraphCase{"Chain",
                  {{"A", {150, 60}}, {"B", {200, 100}}, {"C", {100, 80}}},
                  {{"A", "B"}, {"B", "C"}},
                  {{0, 1}, {1, 2}},
                  {{30, 40}, {5, 110}, {55, 220}}},
        GraphCase{"MutualReference",
                  {{"A", {100, 50}}, {"B", {200, 50}}},
                  {{"A", "B"}, {"B", "A"}},
                  {{0, 1}, {1, 0}},
                  {{55, 40}, {5, 100}}},
        GraphCase{"ThreeCycle",
                  {{"A", {100, 50}}, {"B", {100, 50}}, {"C", {100, 50}}},
                  {{"A", "B"}, {"B", "C"}, {"C", "A"}},
                  {{0, 1}, {1, 2}, {2, 0}},
                  {{57, 40}, {5, 100}, {57, 160}}},
        // I2 only references itself and is as isolated as I1 and I3.
        GraphCase{"IsolatedAndSelfReference",
                  {{"A", {150, 60}}, {"I1", {100, 50}}, {"I2", {120, 100}}, {"B", {200, 80}}, {"I3", {80, 70}}},
                  {{"I1", "B"}, {"I2", "I2"}},
                  {{1, 3}},
                  {{127, 40}, {22, 40}, {210, 120}, {5, 120}, {282, 40}}},
        // Keys listed in order per table; two keys to one table are two edges; a key to a
        // table that is not on the page is no edge.
        GraphCase{"KeysInListOrderParallelAndMissing",
                  {{"ORDERS", {160, 90}}, {"CUSTOMERS", {140, 70}}, {"ITEMS", {120, 60}}, {"PARTS", {100, 50}}},
                  {{"ORDERS", "CUSTOMERS"},
                   {"ORDERS", "CURRENCIES"},
                   {"ITEMS", "PARTS"},
                   {"ITEMS", "ORDERS"},
                   {"ITEMS", "ORDERS"},
                   {"ORDERS", "CUSTOMERS"}},
                  {{0, 1}, {0, 1}, {2, 3}, {2, 0}, {2, 0}},
                  {}}),
    [](const auto &info) { return info.param.Name; });

TEST_F(LayoutAdapterTest, ObjectTablesReferenceTheirTypeAndAreReferenced)
{
    auto *orders = AddTable(*model, "S", "ORDERS", 0, 0, 150, 60);
    auto *people = AddObjectTable("S", "PEOPLE", "S", "PERSON_T");
    auto *pets = AddObjectTable("S", "PETS", "S", "ANIMAL_T");
    auto *animal = AddType("S", "ANIMAL_T");
    auto *person = AddType("S", "PERSON_T");
    AddType("S", "UNUSED_T");
    Reference(orders, "S", "PEOPLE");  // an object table is found when no table has the name
    Reference(pets, "S", "PEOPLE");
    AddForeignKey(*pets, "PETS_SELF_FK", {"ID"}, "S", "PETS", {"ID"});
    diagram->Rebuild();

    TLayoutAdapter adapter(*model);
    ASSERT_EQ(adapter.Objects.size(), 6u);
    EXPECT_EQ(adapter.Objects[1], people);
    EXPECT_EQ(adapter.Objects[3], animal);
    // Per node: its keys in list order, then an object table's type.
    EXPECT_EQ(EdgesOf(adapter.Graph), (TEdgeList{{0, 1}, {1, 4}, {2, 1}, {2, 3}}));
    const std::vector<QPoint> expected = AlgorithmPlaces(adapter, EdgesOf(adapter.Graph));

    diagram->LayoutDiagram();
    EXPECT_EQ(QPoint(person->Left, person->Top), expected[4]);
    EXPECT_GT(person->Top, people->Top); // the type lies below its object table
    EXPECT_GT(people->Top, orders->Top);
    EXPECT_EQ(TOSGraphic::BoxOf(pets)->pos(), expected[2]);
}

TEST_F(LayoutAdapterTest, NamesMatchExactlyAndTheFirstOfTwoNamesakesWins)
{
    auto *a = AddTable(*model, "S", "A");
    AddTable(*model, "S", "B");
    AddTable(*model, "OTHER", "B");
    AddTable(*model, "S", "B");      // a namesake: never referenced
    AddObjectTable("S", "A_OT", "S", "T");
    AddType("OTHER", "T");           // another owner's type: no edge
    Reference(a, "S", "B");
    Reference(a, "OTHER", "B");
    Reference(a, "s", "b");          // names are compared as written
    Reference(a, "S", "A_OT");
    TLayoutAdapter adapter(*model);
    EXPECT_EQ(EdgesOf(adapter.Graph), (TEdgeList{{0, 1}, {0, 2}, {0, 4}}));
}

TEST_F(LayoutAdapterTest, NotesKeepTheirPlacesAndTakeNoPart)
{
    auto *a = AddTable(*model, "S", "A", 300, 300, 100, 50);
    auto *b = AddTable(*model, "S", "B", 300, 300, 100, 50);
    Reference(a, "S", "B");
    auto *first = AddNote(500, 20);
    auto *second = AddNote(3, 4);
    diagram->Rebuild();

    TLayoutAdapter adapter(*model);
    EXPECT_EQ(adapter.Graph.Nodes.size(), 2u);
    diagram->LayoutDiagram();
    EXPECT_EQ(QPoint(a->Left, a->Top), QPoint(5, 40));
    EXPECT_EQ(QPoint(b->Left, b->Top), QPoint(5, 100));
    EXPECT_EQ(QRect(first->Left, first->Top, first->Width, first->Height), QRect(500, 20, 80, 30));
    EXPECT_EQ(TOSGraphic::BoxOf(first)->geometry(), QRect(500, 20, 80, 30));
    EXPECT_EQ(TOSGraphic::BoxOf(second)->geometry(), QRect(3, 4, 80, 30));
}

TEST_F(LayoutAdapterTest, EmptyPageOrNotesOnlyMoveNothing)
{
    EXPECT_NO_THROW(diagram->LayoutDiagram());
    AddNote(40, 50);
    diagram->Rebuild();
    EXPECT_NO_THROW(diagram->LayoutDiagram());
    EXPECT_EQ(model->Notes.GetNote(0)->Left, 40);
    EXPECT_EQ(TOSGraphic::BoxOf(model->Notes.GetNote(0))->pos(), QPoint(40, 50));
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
    const std::vector<QRect> places = Places();
    const std::vector<QRect> boxes = BoxPlaces();
    void *box = model->Tables.GetTable(0)->Graphic;

    try {
        diagram->LayoutDiagram();
        FAIL() << "no exception";
    } catch (const ELayoutError &error) {
        EXPECT_STREQ(error.what(), "Layout failed.");
    }
    EXPECT_EQ(Places(), places);
    EXPECT_EQ(BoxPlaces(), boxes);
    // Not rebuilt: the same boxes, the selection kept.
    EXPECT_EQ(model->Tables.GetTable(0)->Graphic, box);
    EXPECT_EQ(SelectedGraphics->Count(), 1);
}

TEST_F(LayoutAdapterTest, LayoutGrowsTheSurfaceToTheNewExtent)
{
    // Sixteen isolated boxes fill one row: the page becomes wider than the surface.
    for (int i = 0; i < 16; ++i)
        AddTable(*model, "S", QStringLiteral("T%1").arg(i), 10, 10, 100, 50);
    diagram->Rebuild();
    diagram->LayoutDiagram();
    EXPECT_EQ(model->Tables.GetTable(15)->Left, 5 + 15 * 105);
    EXPECT_GE(surface->width(), 5 + 15 * 105 + 100 + 30 + 20);
}

} // namespace
