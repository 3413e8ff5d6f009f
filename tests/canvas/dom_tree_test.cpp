// The model explorer tree: its branches, node texts, selection and search.
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
    AddTable(*model, "HR", "EMP");
    auto second = std::make_unique<TDiagramObjectModel>();
    second->Name = "Second";
    OpenModels->push_back(std::move(second));
    TDOMTree::RefreshExplorerTree();

    ASSERT_EQ(tree.topLevelItemCount(), 2);
    QTreeWidgetItem *root = tree.topLevelItem(0);
    EXPECT_EQ(root->text(0), "First");
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(TDOMTree::NodeData(root), model);
    QStringList folders;
    for (int i = 0; i < root->childCount(); ++i)
        folders << root->child(i)->text(0);
    EXPECT_EQ(folders, QStringList({"Owners", "Notes", "Object Tables", "Tables", "Types"}));
    QTreeWidgetItem *table = root->child(3)->child(0);
    EXPECT_EQ(table->text(0), "HR.EMP");
    EXPECT_EQ(TDOMTree::NodeImage(table), TTreeImageList::imgTable);
    QStringList tableFolders;
    for (int i = 0; i < table->childCount(); ++i)
        tableFolders << table->child(i)->text(0);
    EXPECT_EQ(tableFolders,
              QStringList({"Columns", "Primary Key", "Unique Keys", "Foreign Keys", "Check Constraints"}));
    EXPECT_EQ(tree.topLevelItem(1)->text(0), "Second");
}

TEST_F(DomTreeTest, NoteTextsAreCutAfterThirtyCharacters)
{
    const QString thirty(30, QLatin1Char('n'));
    for (const QString &text : {thirty, thirty + "x"}) {
        auto *note = new TDiagramNote();
        note->Text = text;
        model->Notes.Add(note);
    }
    TDOMTree::RefreshExplorerTree();
    QTreeWidgetItem *notes = tree.topLevelItem(0)->child(1);
    EXPECT_EQ(notes->child(0)->text(0), thirty);
    EXPECT_EQ(notes->child(1)->text(0), QString(28, QLatin1Char('n')) + "..");
}

TEST_F(DomTreeTest, SelectNodeMatchesCaseAndFindNodeDoesNot)
{
    auto *emp = AddTable(*model, "HR", "EMP");
    AddColumn(*emp, "EMP_ID");
    TDOMTree::RefreshExplorerTree();
    TDOMTree::SelectNode("HR.EMP");
    ASSERT_EQ(tree.selectedItems().size(), 1);
    EXPECT_EQ(tree.selectedItems().first()->text(0), "HR.EMP");
    TDOMTree::SelectNode("hr.emp");
    EXPECT_TRUE(tree.selectedItems().isEmpty());

    const int first = TDOMTree::FindNode("emp", -1);
    ASSERT_GE(first, 0);
    EXPECT_EQ(tree.selectedItems().first()->text(0), "HR.EMP");
    const int next = TDOMTree::FindNode("emp", first);
    ASSERT_GT(next, first);
    EXPECT_TRUE(tree.selectedItems().first()->text(0).startsWith("EMP_ID"));
    EXPECT_EQ(TDOMTree::FindNode("emp", next), -1);
}

TEST_F(DomTreeTest, SelectingOneTableOnTheCanvasSelectsItsNode)
{
    auto *emp = AddTable(*model, "HR", "EMP", 10, 10, 100, 50);
    TDOMTree::RefreshExplorerTree();
    diagram->Rebuild();
    TOSGraphic::BoxOf(emp)->GraphicMouseDown(Qt::LeftButton, false, 10, 10);
    ASSERT_EQ(tree.selectedItems().size(), 1);
    EXPECT_EQ(tree.selectedItems().first()->text(0), "HR.EMP");
}

} // namespace
