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

// The surface, explorer and wizards of the upper layers, as fakes installed
// for their lifetime.
struct TFakeHooks : IDiagramSurface, IModelExplorer, IModelWizards {
    TFakeHooks() { TModelHooks::Surface = this; TModelHooks::Explorer = this; TModelHooks::Wizards = this; }
    ~TFakeHooks() override
    {
        TModelHooks::Surface = nullptr;
        TModelHooks::Explorer = nullptr;
        TModelHooks::Wizards = nullptr;
    }
    TCanvas *SurfaceCanvas() override { return &Canvas; }
    void EnsureSurfaceSize(int width, int height) override
    {
        Size = Size.expandedTo(QSize(width, height));
    }
    void RefreshExplorerTree() override { ++Refreshes; }
    std::unique_ptr<TDiagramTable> CreateTable() override { return std::move(NextTable); }
    void EditTable(TDiagramTable *table) override { table->Comment = "edited"; }
    std::unique_ptr<TDiagramNote> CreateNote() override { return std::move(NextNote); }
    void EditNote(TDiagramNote *note) override { note->Text = "edited"; }

    TCanvas Canvas;
    QSize Size;
    int Refreshes = 0;
    std::unique_ptr<TDiagramTable> NextTable;
    std::unique_ptr<TDiagramNote> NextNote;
};

class DiagramModel : public ::testing::Test {
protected:
    std::shared_ptr<TFakeDatabaseSession> Connect()
    {
        auto session = std::make_shared<TFakeDatabaseSession>();
        DatabaseSession = session;
        return session;
    }
    QPoint Extent() const
    {
        QPoint extent;
        model.GetDiagramExtent(extent.rx(), extent.ry());
        return extent;
    }
    // A 10 x 10 box at (x, y) in the list, showing on a box control.
    template <class T>
    T *AddBox(TOSBaseList &list, int x, int y)
    {
        auto *box = new T();
        box->Graphic = &graphic;
        box->Left = x;
        box->Top = y;
        box->Width = box->Height = 10;
        list.Add(box);
        return box;
    }

    int graphic = 0;
    TModelGlobalsGuard globals;
    TFakeHooks hooks;
    TDiagramObjectModel &model = *CurrentModel;
};

TEST_F(DiagramModel, ExtentCountAndGraphicLinksCoverEveryKindOfBox)
{
    EXPECT_EQ(Extent(), QPoint(10, 10));
    auto *table = AddTable(model, "HR", "EMP", 20, 20, 200, 100);
    table->Graphic = &graphic;
    EXPECT_EQ(Extent(), QPoint(250, 150));
    const std::vector<TBaseDiagramRectangle *> boxes{table, AddBox<TDiagramType>(model.Types, 500, 0),
                                                     AddBox<TDiagramNote>(model.Notes, 0, 700),
                                                     AddBox<TDiagramObjectTable>(model.ObjectTables, 900, 0)};
    EXPECT_EQ(Extent(), QPoint(940, 740));
    AddTable(model, "HR", "B");
    for (int i = 0; i < 4; ++i)
        model.Notes.Add(new TDiagramNote());
    EXPECT_EQ(model.GetObjectCount(), 4) << "2 tables, 1 object table, 1 type; notes do not count";
    model.ClearGraphicLinks();
    for (TBaseDiagramRectangle *box : boxes)
        EXPECT_EQ(box->Graphic, nullptr);
}

TEST_F(DiagramModel, TableFromDatabaseIsVirtualThroughoutAndAddsItsOwnerOnce)
{
    EXPECT_EQ(model.AddTableFromDatabase("HR", "EMP"), nullptr) << "no session adds nothing";
    EXPECT_EQ(model.AddObjectTableFromDatabase("HR", "EMP"), nullptr);
    EXPECT_EQ(model.AddTypeFromDatabase("HR", "T"), nullptr);
    auto session = Connect();
    TDiagramTable emp;
    emp.Owner = "HR";
    emp.Name = "EMP";
    AddColumn(emp, "ID");
    AddPrimaryKey(emp, "PK", {"ID"});
    session->AddTable(emp);
    emp.Name = "DEPT";
    session->AddTable(emp);

    TDiagramTable *added = model.AddTableFromDatabase("HR", "EMP");
    ASSERT_NE(added, nullptr);
    EXPECT_TRUE(added->IsVirtual);
    EXPECT_TRUE(added->Columns.GetColumn(0)->IsVirtual);
    EXPECT_TRUE(added->PrimaryKeys.GetPrimaryKey(0)->IsVirtual);
    model.AddTableFromDatabase("HR", "DEPT");
    EXPECT_EQ(model.Owners, QStringList({"HR"}));
    EXPECT_EQ(model.Tables.Count(), 2);
}

TEST_F(DiagramModel, OwnersCompareWithoutCaseAndTypesAddNone)
{
    auto session = Connect();
    model.Owners << "hr";
    TDiagramTable emp;
    emp.Owner = "HR";
    emp.Name = "EMP";
    session->AddTable(emp);
    model.AddTableFromDatabase("HR", "EMP");
    TDiagramType type;
    type.Owner = "TYPES";
    type.Name = "ADDRESS_T";
    session->AddType(type);
    ASSERT_NE(model.AddTypeFromDatabase("TYPES", "ADDRESS_T"), nullptr);
    EXPECT_EQ(model.Owners, QStringList({"hr"}));
    EXPECT_EQ(model.Types.GetType(0)->Name, "ADDRESS_T");

    session->FailWith = "ORA-00942: table or view does not exist";
    EXPECT_THROW(model.AddObjectTableFromDatabase("HR", "PEOPLE"), std::runtime_error);
    EXPECT_EQ(model.ObjectTables.Count(), 0) << "a failed query adds nothing";
}

TEST_F(DiagramModel, WizardBoxesLandAt10And10AndGrowTheSurface)
{
    hooks.Size = QSize(2000, 5);
    hooks.NextTable = std::make_unique<TDiagramTable>();
    hooks.NextTable->Name = "NEW_TABLE";
    hooks.NextTable->Owner = "HR";
    hooks.NextTable->Left = 400;
    TDiagramTable *added = model.AddTableWithWizard();
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(QPoint(added->Left, added->Top), QPoint(10, 10));
    EXPECT_EQ(added->Width, added->CalcWidth(&hooks.Canvas));
    EXPECT_EQ(added->Height, added->CalcHeight(&hooks.Canvas));
    EXPECT_EQ(hooks.Size, QSize(2000, 10 + added->Height + 30 + 20)) << "the surface only grows";
    EXPECT_EQ(model.Owners, QStringList({"HR"}));
    EXPECT_EQ(model.AddTableWithWizard(), nullptr) << "cancelled";
    EXPECT_EQ(model.Tables.Count(), 1);

    hooks.NextNote = std::make_unique<TDiagramNote>();
    TDiagramNote *note = model.AddNoteWithWizard();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(QRect(note->Left, note->Top, note->Width, note->Height), QRect(10, 10, 200, 100));
    EXPECT_EQ(model.AddNoteWithWizard(), nullptr) << "cancelled";
    model.EditNote(note);
    EXPECT_EQ(note->Text, "edited");
    EXPECT_EQ(hooks.Refreshes, 1);
}

TEST_F(DiagramModel, RemoveObjectTakesItFromItsOwnListAndRefreshes)
{
    auto *table = AddTable(model, "HR", "EMP");
    model.RemoveObject(AddBox<TDiagramObjectTable>(model.ObjectTables, 0, 0));
    EXPECT_EQ(model.ObjectTables.Count(), 0);
    EXPECT_EQ(model.Tables.Count(), 1);
    model.RemoveObject(table);
    model.RemoveObject(AddBox<TDiagramType>(model.Types, 0, 0));
    model.RemoveObject(AddBox<TDiagramNote>(model.Notes, 0, 0));
    TDiagramColumn stranger;
    model.RemoveObject(&stranger);
    EXPECT_EQ(model.Tables.Count() + model.Types.Count() + model.Notes.Count(), 0);
    EXPECT_EQ(hooks.Refreshes, 5);
}

TEST_F(DiagramModel, AssignCopiesNameTablesNotesAndFileOnly)
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
    EXPECT_EQ(QStringList({copy.Name, copy.FileName, copy.Comment}), QStringList({"Source", "/tmp/a.xml", ""}));
    EXPECT_TRUE(copy.Owners.isEmpty());
    EXPECT_EQ(copy.Tables.Count(), 1);
    EXPECT_EQ(copy.Notes.Count(), 1);
    EXPECT_EQ(copy.Types.Count(), 0);
    EXPECT_EQ(copy.Style.FontName, "") << "a page style is empty until assigned";
    EXPECT_EQ(copy.Style.FontSize, 0);
}

} // namespace
