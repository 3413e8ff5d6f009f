// A diagram page: adding from the database and the wizards, removing,
// extent and object count.
#include "fake_database_session.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/model_hooks.h"
#include "model_builders.h"
#include "platform/canvas.h"

#include <gtest/gtest.h>

namespace {

class TRecordingSurface : public IDiagramSurface {
public:
    TCanvas *SurfaceCanvas() override { return &Canvas; }
    void EnsureSurfaceSize(int width, int height) override
    {
        Width = std::max(Width, width);
        Height = std::max(Height, height);
    }
    TCanvas Canvas;
    int Width = 0;
    int Height = 0;
};

class TCountingExplorer : public IModelExplorer {
public:
    void RefreshExplorerTree() override { ++Refreshes; }
    int Refreshes = 0;
};

class TScriptedWizards : public IModelWizards {
public:
    std::unique_ptr<TDiagramTable> CreateTable() override { return std::move(NextTable); }
    void EditTable(TDiagramTable *table) override { table->Comment = "edited"; }
    std::unique_ptr<TDiagramNote> CreateNote() override { return std::move(NextNote); }
    void EditNote(TDiagramNote *note) override { note->Text = "edited"; }
    std::unique_ptr<TDiagramTable> NextTable;
    std::unique_ptr<TDiagramNote> NextNote;
};

class DiagramModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        CurrentModel->Style.SetDefaultStyle();
        TModelHooks::Surface = &surface;
        TModelHooks::Explorer = &explorer;
        TModelHooks::Wizards = &wizards;
    }
    void TearDown() override
    {
        TModelHooks::Surface = nullptr;
        TModelHooks::Explorer = nullptr;
        TModelHooks::Wizards = nullptr;
        FinalizeModelGlobals();
    }
    std::shared_ptr<TFakeDatabaseSession> Connect()
    {
        auto session = std::make_shared<TFakeDatabaseSession>();
        DatabaseSession = session;
        return session;
    }

    TRecordingSurface surface;
    TCountingExplorer explorer;
    TScriptedWizards wizards;
    TDiagramObjectModel &model() { return *CurrentModel; }
};

TEST_F(DiagramModel, ExtentOfEmptyAndOneTable)
{
    int x = 0, y = 0;
    model().GetDiagramExtent(x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(10, 10));
    AddTable(model(), "HR", "EMP", 20, 20, 200, 100);
    model().GetDiagramExtent(x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(250, 150));
}

TEST_F(DiagramModel, ExtentCoversEveryKindOfBox)
{
    AddTable(model(), "HR", "EMP", 0, 0, 10, 10);
    auto *type = new TDiagramType();
    type->Left = 500;
    type->Width = 50;
    model().Types.Add(type);
    auto *note = new TDiagramNote();
    note->Top = 700;
    note->Height = 100;
    model().Notes.Add(note);
    auto *objectTable = new TDiagramObjectTable();
    objectTable->Left = 900;
    objectTable->Width = 1;
    model().ObjectTables.Add(objectTable);
    int x = 0, y = 0;
    model().GetDiagramExtent(x, y);
    EXPECT_EQ(QPoint(x, y), QPoint(931, 830));
}

TEST_F(DiagramModel, ObjectCountLeavesNotesOut)
{
    AddTable(model(), "HR", "A");
    AddTable(model(), "HR", "B");
    model().ObjectTables.Add(new TDiagramObjectTable());
    model().Types.Add(new TDiagramType());
    for (int i = 0; i < 5; ++i)
        model().Notes.Add(new TDiagramNote());
    EXPECT_EQ(model().GetObjectCount(), 4);
}

TEST_F(DiagramModel, NoSessionAddsNothing)
{
    EXPECT_EQ(model().AddTableFromDatabase("HR", "EMP"), nullptr);
    EXPECT_EQ(model().AddObjectTableFromDatabase("HR", "EMP"), nullptr);
    EXPECT_EQ(model().AddTypeFromDatabase("HR", "T"), nullptr);
    EXPECT_EQ(model().Tables.Count() + model().ObjectTables.Count() + model().Types.Count(), 0);
}

TEST_F(DiagramModel, TableFromDatabaseIsVirtualThroughoutAndAddsItsOwnerOnce)
{
    auto session = Connect();
    TDiagramTable emp;
    emp.Owner = "HR";
    emp.Name = "EMP";
    AddColumn(emp, "ID");
    AddPrimaryKey(emp, "PK", {"ID"});
    session->AddTable(emp);
    emp.Name = "DEPT";
    session->AddTable(emp);

    TDiagramTable *added = model().AddTableFromDatabase("HR", "EMP");
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->IsVirtual);
    EXPECT_TRUE(added->Columns.GetColumn(0)->IsVirtual);
    EXPECT_TRUE(added->PrimaryKeys.GetPrimaryKey(0)->IsVirtual);
    model().AddTableFromDatabase("HR", "DEPT");
    EXPECT_EQ(model().Owners, QStringList({"HR"}));
    EXPECT_EQ(model().Tables.Count(), 2);
}

TEST_F(DiagramModel, OwnersCompareWithoutCaseAndTypesAddNone)
{
    auto session = Connect();
    model().Owners << "hr";
    TDiagramTable emp;
    emp.Owner = "HR";
    emp.Name = "EMP";
    session->AddTable(emp);
    model().AddTableFromDatabase("HR", "EMP");
    TDiagramType type;
    type.Owner = "TYPES";
    type.Name = "ADDRESS_T";
    session->AddType(type);
    model().AddTypeFromDatabase("TYPES", "ADDRESS_T");
    EXPECT_EQ(model().Owners, QStringList({"hr"}));
    EXPECT_EQ(model().Types.Count(), 1);
}

TEST_F(DiagramModel, SessionErrorsPassThroughAndAddNothing)
{
    auto session = Connect();
    session->FailWith = "ORA-00942: table or view does not exist";
    EXPECT_THROW(model().AddTableFromDatabase("HR", "EMP"), std::runtime_error);
    EXPECT_EQ(model().Tables.Count(), 0);
}

TEST_F(DiagramModel, WizardTableLandsAt10And10AndGrowsTheSurface)
{
    surface.Width = 2000;
    surface.Height = 5;
    auto table = std::make_unique<TDiagramTable>();
    table->Name = "NEW_TABLE";
    table->Owner = "HR";
    table->Left = 400;
    wizards.NextTable = std::move(table);
    TDiagramTable *added = model().AddTableWithWizard();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(QPoint(added->Left, added->Top), QPoint(10, 10));
    EXPECT_EQ(added->Width, added->CalcWidth(&surface.Canvas));
    EXPECT_EQ(added->Height, added->CalcHeight(&surface.Canvas));
    EXPECT_EQ(surface.Width, 2000) << "the surface never shrinks";
    EXPECT_EQ(surface.Height, 10 + added->Height + 30 + 20);
    EXPECT_EQ(model().Owners, QStringList({"HR"}));
    EXPECT_EQ(model().AddTableWithWizard(), nullptr) << "cancelled";
    EXPECT_EQ(model().Tables.Count(), 1);
}

TEST_F(DiagramModel, WizardNoteIs200By100At10And10)
{
    auto note = std::make_unique<TDiagramNote>();
    note->Text = "hello";
    wizards.NextNote = std::move(note);
    TDiagramNote *added = model().AddNoteWithWizard();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(QRect(added->Left, added->Top, added->Width, added->Height), QRect(10, 10, 200, 100));
    model().EditNote(added);
    EXPECT_EQ(added->Text, "edited");
    EXPECT_EQ(explorer.Refreshes, 1);
}

TEST_F(DiagramModel, RemoveObjectTakesItFromItsOwnListAndRefreshes)
{
    auto *objectTable = new TDiagramObjectTable();
    model().ObjectTables.Add(objectTable);
    auto *table = AddTable(model(), "HR", "EMP");
    model().RemoveObject(objectTable);
    EXPECT_EQ(model().ObjectTables.Count(), 0);
    EXPECT_EQ(model().Tables.Count(), 1);
    model().RemoveObject(table);
    EXPECT_EQ(model().Tables.Count(), 0);
    TDiagramColumn stranger;
    model().RemoveObject(&stranger);
    EXPECT_EQ(explorer.Refreshes, 3);
}

TEST_F(DiagramModel, ClearGraphicLinksForgetsEveryBox)
{
    int box = 0;
    AddTable(model(), "HR", "EMP")->Graphic = &box;
    auto *note = new TDiagramNote();
    note->Graphic = &box;
    model().Notes.Add(note);
    auto *type = new TDiagramType();
    type->Graphic = &box;
    model().Types.Add(type);
    auto *objectTable = new TDiagramObjectTable();
    objectTable->Graphic = &box;
    model().ObjectTables.Add(objectTable);
    model().ClearGraphicLinks();
    EXPECT_EQ(model().Tables.GetTable(0)->Graphic, nullptr);
    EXPECT_EQ(note->Graphic, nullptr);
    EXPECT_EQ(type->Graphic, nullptr);
    EXPECT_EQ(objectTable->Graphic, nullptr);
}

TEST_F(DiagramModel, AssignCopiesTablesAndNotesOnly)
{
    TDiagramObjectModel source;
    source.Name = "Source";
    source.Comment = "not copied";
    source.FileName = "/tmp/a.xml";
    source.Owners << "HR";
    AddTable(source, "HR", "EMP");
    source.Notes.Add(new TDiagramNote());
    source.Types.Add(new TDiagramType());
    source.Style.SetDefaultStyle();
    TDiagramObjectModel copy;
    copy.Assign(source);
    EXPECT_EQ(copy.Name, "Source");
    EXPECT_EQ(copy.FileName, "/tmp/a.xml");
    EXPECT_EQ(copy.Comment, "");
    EXPECT_TRUE(copy.Owners.isEmpty());
    EXPECT_EQ(copy.Tables.Count(), 1);
    EXPECT_EQ(copy.Notes.Count(), 1);
    EXPECT_EQ(copy.Types.Count(), 0);
    EXPECT_EQ(copy.Style.FontName, "") << "a page style is empty until assigned";
}

} // namespace
