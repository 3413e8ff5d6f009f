// The model explorer tree: its branches, node texts and images, selection and search.
#include "canvas_fixture.h"

#include "canvas/dom_tree.h"
#include "canvas/tree_image_list.h"

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
               + (children.isEmpty() ? QString() : "{" + children.join('|') + "}");
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
    AddNote(0, 0, 10, 10, thirty + "x"); // cut to 28 characters and ".."
    AddObjectTable("HR", "OT", "HR", "ADDR_T");
    auto *emp = AddTable(*model, "HR", "EMP");
    AddColumn(*emp, "ID", "NUMBER", 0, 4, 0, false);
    AddColumn(*emp, "DEPT_ID");
    AddPrimaryKey(*emp, "EMP_PK", {"ID"});
    AddUniqueKey(*emp, "EMP_UK", {"ID"});
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    auto *check = new TDiagramCheckConstraint();
    check->Name = "EMP_CK";
    emp->CheckConstraints.Add(check);
    AddTable(*model, "HR", "LONE"); // no keys: its folders are still there
    auto *type = AddType("HR", "ADDR_T");
    auto *street = new TDiagramAttribute();
    street->Name = "STREET";
    street->DataType = "VARCHAR2";
    type->Attributes.Add(street);
    auto *method = new TDiagramMethod();
    method->Name = "FORMAT";
    type->Methods.Add(method);
    auto second = std::make_unique<TDiagramObjectModel>();
    second->Name = "Second";
    OpenModels->push_back(std::move(second));
    TDOMTree::RefreshExplorerTree();

    ASSERT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_EQ(Dump(tree.topLevelItem(0)),
              "First#0{Owners#0{HR#9}|Notes#0{" + thirty + "#1|" + QString(28, QLatin1Char('n')) + "..#1}"
              "|Object Tables#0{HR.OT#6}"
              "|Tables#0{HR.EMP#1{Columns#0{ID  NUMBER(4)#3|DEPT_ID  NUMBER#3}"
              "|Primary Key#0{EMP_PK#4{Columns#0{ID#3}}}|Unique Keys#0{EMP_UK#5{Columns#0{ID#3}}}"
              "|Foreign Keys#0{EMP_DEPT_FK#2{Ref Table#0{HR.DEPT#1{Key Columns#0{ID#3}}}|Key Columns#0{DEPT_ID#3}}}"
              "|Check Constraints#0{EMP_CK#2}}"
              "|HR.LONE#1{Columns#0|Primary Key#0|Unique Keys#0|Foreign Keys#0|Check Constraints#0}}"
              "|Types#0{HR.ADDR_T#7{Attributes#0{STREET VARCHAR2#3}|Methods#0{FORMAT()#3}}}}");
    EXPECT_EQ(Dump(tree.topLevelItem(1)), "Second#0{Owners#0|Notes#0|Object Tables#0|Tables#0|Types#0}");
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->child(3)->isExpanded());
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)), model);
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)->child(3)->child(0)), emp);
    EXPECT_EQ(TDOMTree::NodeData(tree.topLevelItem(0)->child(3)), nullptr);
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
