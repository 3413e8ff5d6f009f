// The model explorer tree: its branches, node texts and images, selection and search.
#include "canvas_fixture.h"

#include "canvas/dom_tree.h"
#include "canvas/tree_image_list.h"

#include "test_data.h"

#include <QTreeWidget>

namespace {

class DomTreeTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        ModelTreeView = &tree;
    }
    void TearDown() override
    {
        ModelTreeView = nullptr;
        CanvasTest::TearDown();
    }
    // A node as "text#image", its children in braces, separated by "|".
    static QString Dump(const QTreeWidgetItem *node)
    {
        QStringList children;
        for (int i = 0; i < node->childCount(); ++i)
            children << Dump(node->child(i));
        return node->text(0) + "#" + QString::number(TDOMTree::NodeImage(node))
               + (children.isEmpty() ? QString() : "{\n" + children.join("\n|") + "}");
    }
    QString SelectedText() const
    {
        return tree.selectedItems().size() == 1 ? tree.selectedItems().first()->text(0) : QString();
    }
    QTreeWidget tree;
};

TEST_F(DomTreeTest, NothingWithoutATree)
{
    ModelTreeView = nullptr;
    TDOMTree::RefreshExplorerTree();
    EXPECT_EQ(TDOMTree::FindNode("x", -1), -1);
    EXPECT_EQ(tree.topLevelItemCount(), 0);
}

TEST_F(DomTreeTest, OneExpandedRootPerPageWithItsBranches)
{
    model->Name = "First";
    model->Owners << "HR";
    const QString thirty(30, QLatin1Char('n'));
    AddNote(0, 0, 10, 10, thirty);
    AddNote(0, 0, 10, 10, thirty + "x");
    AddObjectTable("HR", "OT", "HR", "ADDR_T");
    auto *emp = AddTable(*model, "HR", "EMP");
    AddColumn(*emp, "ID", "NUMBER", 0, 4, 0, false);
    AddColumn(*emp, "DEPT_ID");
    AddPrimaryKey(*emp, "EMP_PK", {"ID"});
    AddUniqueKey(*emp, "EMP_UK", {"ID"});
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    emp->CheckConstraints.Add(new TDiagramCheckConstraint());
    emp->CheckConstraints.GetItem(0)->Name = "EMP_CK";
    AddTable(*model, "HR", "LONE"); // no keys: its folders are still there
    auto *type = AddType("HR", "ADDR_T");
    auto *street = new TDiagramAttribute();
    street->Name = "STREET", street->DataType = "VARCHAR2";
    type->Attributes.Add(street);
    type->Methods.Add(new TDiagramMethod());
    type->Methods.GetItem(0)->Name = "FORMAT";
    auto second = std::make_unique<TDiagramObjectModel>();
    second->Name = "Second";
    OpenModels->push_back(std::move(second));
    TDOMTree::RefreshExplorerTree();

    ASSERT_EQ(tree.topLevelItemCount(), 2);
    // A note of thirty characters is shown whole, one of 31 cut to 28 and "..".
    expectGolden("model_tree.txt", (Dump(tree.topLevelItem(0)) + "\n" + Dump(tree.topLevelItem(1))).toUtf8());
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->child(3)->isExpanded());
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)), model);
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)->child(3)->child(0)), emp);
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)->child(3)), nullptr);
    // A node's picture shows the tree through its background.
    const QImage icon = tree.topLevelItem(0)->child(3)->child(0)->icon(0).pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(icon.pixel(1, 1)), 0);
}

TEST_F(DomTreeTest, SelectNodeMatchesCaseAndFindNodeDoesNot)
{
    auto *emp = AddTable(*model, "HR", "EMP");
    AddColumn(*emp, "EMP_ID");
    TDOMTree::RefreshExplorerTree();
    TDOMTree::SelectNode("HR.EMP");
    EXPECT_EQ(SelectedText(), "HR.EMP");
    TDOMTree::SelectNode("hr.emp");
    EXPECT_TRUE(tree.selectedItems().isEmpty());

    const int first = TDOMTree::FindNode("emp", -1);
    ASSERT_GE(first, 0);
    EXPECT_EQ(SelectedText(), "HR.EMP");
    const int next = TDOMTree::FindNode("emp", first);
    ASSERT_GT(next, first);
    EXPECT_TRUE(SelectedText().startsWith("EMP_ID"));
    EXPECT_EQ(TDOMTree::FindNode("emp", next), -1);
}

TEST_F(DomTreeTest, SelectingOneTableOnTheCanvasSelectsItsNode)
{
    auto *emp = AddTable(*model, "HR", "EMP", 10, 10, 100, 50);
    TDOMTree::RefreshExplorerTree();
    diagram->Rebuild();
    Box(emp)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    EXPECT_EQ(SelectedText(), "HR.EMP");
}

} // namespace
