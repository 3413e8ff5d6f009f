// The table menu's database items against the sample database, with the
// real SQL editor windows.
#include "canvas_fixture.h"

#include "../dbtools/query_wait.h"
#include "canvas/diagram_menu.h"
#include "canvas/os_base_table.h"
#include "dbtools/window_registry.h"
#include "model/model_hooks.h"
#include "platform/config_settings.h"
#include "sample_database.h"
#include "test_data.h"

#include <QApplication>
#include <QTemporaryDir>

namespace {

class TRebuildHook : public IDiagramCanvas {
public:
    void Rebuild() override { CurrentDiagram->Rebuild(); }
    void RefreshTablesFromDatabase(const std::vector<TDiagramTable *> &) override {}
};

class DiagramMenuDatabase : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        TConfigSettings::SetSettingsFileOverride(temp.filePath("settings.ini"));
        TConfigSettings::SetProgramFolderOverride(temp.path());
        TModelHooks::Canvas = &rebuild;
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
    TRebuildHook rebuild;
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

    TDiagramTable *regions = AddTable(*model, "HR", "REGIONS", 0, 0, 10, 10);
    TDiagramMenu::AddReferences(regions, true);
    EXPECT_EQ(ui.Messages(), QStringList{"No referenced tables found."});
    EXPECT_EQ(model->Tables.Count(), 6);
}

TEST_F(DiagramMenuDatabase, RefreshFindsTheTableOrSaysItIsGone)
{
    TDiagramTable *gone = OnPage("DROPPED_LONG_AGO");
    AddColumn(*gone, "ID");
    TDiagramMenu::RefreshFromDatabase(gone);
    EXPECT_EQ(ui.Messages(), QStringList{"Table 'HR.DROPPED_LONG_AGO' could not be found in the database."});
    EXPECT_EQ(gone->Columns.Count(), 1);

    TDiagramTable *regions = OnPage("REGIONS");
    TDiagramMenu::TogglePin(regions);
    EXPECT_TRUE(regions->ReloadFromDatabase());
    ASSERT_EQ(regions->Columns.Count(), 2);
    EXPECT_EQ(regions->Columns.GetColumn(1)->Name, "REGION_NAME");
    EXPECT_EQ(QRect(regions->Left, regions->Top, regions->Width, regions->Height), QRect(100, 50, 200, 80));
    EXPECT_EQ(Box(regions)->geometry(), QRect(100, 50, 200, 80));
}

TEST_F(DiagramMenuDatabase, DeltaAndQueryOpenEditorWindows)
{
    TDiagramTable *regions = OnPage("REGIONS");
    TDiagramMenu::RefreshFromDatabase(regions);
    TDiagramMenu::GenerateDatabaseDelta(regions);
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_TRUE(Windows()[0]->ScriptMode());
    EXPECT_EQ(Windows()[0]->SQLText(), "/* no differences found */");

    SelectedGraphics->Add(regions);
    TDiagramMenu::QuerySelectedData();
    ASSERT_EQ(Windows().size(), 2);
    TfrmSQLQuery *query = nullptr;
    for (TfrmSQLQuery *window : Windows())
        if (!window->ScriptMode())
            query = window;
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(query->SQLText(), session->Session->GetQueryDataSQL("HR", "REGIONS"));
    EXPECT_TRUE(WaitForQuery(query));

    diagram->GenerateSelectedDDL();
    ASSERT_EQ(Windows().size(), 3);
    bool shown = false;
    for (TfrmSQLQuery *window : Windows())
        shown |= window->SQLText().contains("CREATE TABLE HR.REGIONS");
    EXPECT_TRUE(shown);
}

} // namespace
