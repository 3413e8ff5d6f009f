// The table menu's database items against the sample database, with the
// real SQL editor windows.
#include "canvas_fixture.h"

#include "../dbtools/query_wait.h"
#include "canvas/diagram_menu.h"
#include "dbtools/window_registry.h"
#include "model/model_hooks.h"
#include "platform/config_settings.h"
#include "sample_database.h"
#include "test_data.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

class DiagramMenuDatabase : public CanvasTest, IDiagramCanvas {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        TConfigSettings::SetSettingsFileOverride(temp.filePath("settings.ini"));
        TConfigSettings::SetProgramFolderOverride(temp.path());
        TModelHooks::Canvas = this;
        session = std::make_unique<TSampleSessionScope>();
    }
    void TearDown() override
    {
        for (TfrmSQLQuery *window : Windows()) {
            WaitForQuery(window);
            delete window;
        }
        session.reset();
        TModelHooks::Canvas = nullptr;
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
        CanvasTest::TearDown();
    }
    void Rebuild() override { CurrentDiagram->Rebuild(); }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
    static QList<TfrmSQLQuery *> Windows()
    {
        QList<TfrmSQLQuery *> windows;
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *window = qobject_cast<TfrmSQLQuery *>(widget))
                windows << window;
        return windows;
    }
    QStringList Names() const
    {
        QStringList names;
        for (TDiagramTable *table : model->Tables)
            names << QString("%1@%2,%3").arg(table->Name).arg(table->Left).arg(table->Top);
        return names;
    }
    TDiagramTable *OnPage(const QString &name)
    {
        TDiagramTable *table = AddTable(*model, "HR", name, 100, 50, 200, 80);
        diagram->Rebuild();
        return table;
    }

    QTemporaryDir temp;
    std::unique_ptr<TSampleSessionScope> session;
};

TEST_F(DiagramMenuDatabase, ReferencesAreAddedBelowRightOfTheTable)
{
    TDiagramTable *employees = OnPage("EMPLOYEES");
    // EMPLOYEES references itself through its manager: it is not added again.
    TDiagramMenu::AddReferences(employees, true);
    EXPECT_EQ(Names(), QStringList({"EMPLOYEES@100,50", "DEPARTMENTS@310,140", "JOBS@330,180"}));
    EXPECT_GT(model->Tables.GetTable(1)->Columns.Count(), 0);
    EXPECT_NE(Box(model->Tables.GetTable(2)), nullptr);

    const TDiagramTable *jobs = model->Tables.GetTable(2);
    const int x = jobs->Left + jobs->Width + 10, y = jobs->Top + jobs->Height + 10;
    TDiagramMenu::AddReferences(model->Tables.GetTable(2), false); // who references JOBS
    EXPECT_EQ(Names().mid(3), QStringList({QString("EMPLOYEES@%1,%2").arg(x).arg(y),
                                           QString("JOB_HISTORY@%1,%2").arg(x + 20).arg(y + 40)}));

    TDiagramMenu::AddReferences(AddTable(*model, "HR", "REGIONS", 0, 0, 10, 10), true);
    TDiagramMenu::AddReferences(model->Tables.GetTable(4), false); // nobody references JOB_HISTORY
    EXPECT_EQ(ui.Messages(), QStringList({"No referenced tables found.", "No referenced tables found."}));
    EXPECT_EQ(model->Tables.Count(), 6);
}

TEST_F(DiagramMenuDatabase, RefreshAndPinTakeTheDatabaseTableOrSayItIsGone)
{
    TDiagramTable *gone = OnPage("DROPPED_LONG_AGO");
    AddColumn(*gone, "ID");
    TDiagramMenu::RefreshFromDatabase(gone);
    TDiagramMenu::TogglePin(gone);
    EXPECT_EQ(ui.Messages(), QStringList(2, "Table 'HR.DROPPED_LONG_AGO' could not be found in the database."));
    EXPECT_EQ(gone->Columns.Count(), 1);
    EXPECT_TRUE(gone->ReloadFromDatabase()); // pinned all the same
    model->Tables.Clear();

    // The table keeps its identity, place and box; its parts are the database's.
    TDiagramTable *employees = OnPage("EMPLOYEES");
    TDiagramMenu::TogglePin(employees);
    EXPECT_TRUE(employees->ReloadFromDatabase());
    EXPECT_EQ(employees->Columns.GetColumn(1)->Name, "FIRST_NAME");
    ASSERT_GT(employees->ForeignKeys.Count(), 0);
    EXPECT_EQ(employees->ForeignKeys.GetForeignKey(0)->Table, employees);
    EXPECT_EQ(model->Tables.GetTable(0), employees);
    EXPECT_EQ(QRect(employees->Left, employees->Top, employees->Width, employees->Height), QRect(100, 50, 200, 80));
    EXPECT_EQ(Box(employees)->geometry(), QRect(100, 50, 200, 80));
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).size(), 1);
    TDiagramMenu::TogglePin(employees);
    EXPECT_FALSE(employees->ReloadFromDatabase());
    EXPECT_EQ(ui.Messages().size(), 2);
}

TEST_F(DiagramMenuDatabase, DeltaQueryAndScriptOpenEditorWindows)
{
    OnPage("COUNTRIES");
    TDiagramTable *regions = OnPage("REGIONS");
    TDiagramMenu::RefreshFromDatabase(regions);
    TDiagramMenu::GenerateDatabaseDelta(regions);
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_TRUE(Windows()[0]->ScriptMode());
    EXPECT_EQ(Windows()[0]->SQLText(), "/* no differences found */");
    delete Windows()[0];
    AddColumn(*regions, "SALARY", "NUMBER", 0, 8, 2);
    TDiagramMenu::GenerateDatabaseDelta(regions);
    ASSERT_EQ(Windows().size(), 1);
    expectGolden("ddl/box_menu_delta.sql", Windows()[0]->SQLText().toLatin1());

    SelectedGraphics->Add(regions);
    TDiagramMenu::QuerySelectedData();
    diagram->GenerateSelectedDDL();
    QStringList shown;
    for (TfrmSQLQuery *window : Windows()) {
        if (!window->ScriptMode())
            EXPECT_TRUE(WaitForQuery(window));
        shown << window->SQLText();
    }
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown.contains(session->Session->GetQueryDataSQL("HR", "REGIONS")));
    EXPECT_EQ(shown.filter("CREATE TABLE HR.REGIONS").size(), 1);
    EXPECT_TRUE(shown.filter("COUNTRIES").isEmpty()); // only the selection
}

} // namespace
