// The table menu's database items against the sample database, with the
// real SQL editor windows.
#include "canvas_fixture.h"

#include "../dbtools/query_wait.h"
#include "canvas/diagram_menu.h"
#include "canvas/drag_objects.h"
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
    // "OWNER.NAME@left,top" of every table, object table and type.
    QStringList OnPageNow() const
    {
        QStringList names;
        const auto add = [&](const auto &list) {
            for (const auto *o : list)
                names << QString("%1.%2@%3,%4").arg(o->Owner, o->Name).arg(o->Left).arg(o->Top);
        };
        add(model->Tables), add(model->ObjectTables), add(model->Types);
        return names;
    }
    void ExpectNoBoxCoversAnother() const
    {
        QList<QRect> boxes;
        for (TOSGraphic *box : surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly))
            boxes << box->geometry();
        for (int i = 0; i < boxes.size(); ++i)
            for (int j = i + 1; j < boxes.size(); ++j)
                EXPECT_FALSE(boxes[i].intersects(boxes[j])) << i << " " << j;
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
    EXPECT_EQ(Names().mid(0, 2), QStringList({"EMPLOYEES@100,50", "DEPARTMENTS@310,140"}));
    ASSERT_EQ(Names().size(), 3);
    EXPECT_GT(model->Tables.GetTable(1)->Columns.Count(), 0);
    EXPECT_NE(Box(model->Tables.GetTable(2)), nullptr);

    // EMPLOYEES, which references JOBS, is on the page already.
    const TDiagramTable *jobs = model->Tables.GetTable(2);
    const int x = jobs->Left + jobs->Width + 10, y = jobs->Top + jobs->Height + 10;
    TDiagramMenu::AddReferences(model->Tables.GetTable(2), false);
    EXPECT_EQ(Names().mid(3), QStringList({QString("JOB_HISTORY@%1,%2").arg(x).arg(y)}));
    ExpectNoBoxCoversAnother();

    TDiagramMenu::AddReferences(AddTable(*model, "HR", "REGIONS", 0, 0, 10, 10), true);
    TDiagramMenu::AddReferences(model->Tables.GetTable(3), false); // nobody references JOB_HISTORY
    EXPECT_EQ(ui.Messages(), QStringList({"No referenced tables found.", "No referenced tables found."}));
    EXPECT_EQ(model->Tables.Count(), 5);
}

// Every way of adding from the database ends here: what the page shows is
// not added again (the console says so once), and each new box lands where
// it was wanted unless a box lies there, never covering one.
TEST_F(DiagramMenuDatabase, AddedBoxesCoverNoneAndWhatIsOnThePageIsNotAddedAgain)
{
    const struct {
        const char *adding;
        QPoint at;
        const char *added;
        const char *console;
    } steps[] = {
        {"HR.EMPLOYEES:0", {20, 20}, "HR.EMPLOYEES@20,20", ""},
        {"HR.DEPARTMENTS:0 HR.EMPLOYEES:0 HR.JOBS:0", {20, 20}, "HR.DEPARTMENTS HR.JOBS",
         "HR.EMPLOYEES is already on the page; it is not added again."},
        {"SHOP.CUSTOMERS_OT:1 SHOP.ADDRESS_T:2 SHOP.CUSTOMERS_OT:1", {3000, 900}, "SHOP.CUSTOMERS_OT@3000,900 SHOP.ADDRESS_T",
         ""},
        {"SHOP.ADDRESS_T:2 HR.JOBS:0 SHOP.CUSTOMERS_OT:1", {20, 20}, "",
         "SHOP.ADDRESS_T, HR.JOBS, SHOP.CUSTOMERS_OT are already on the page; they are not added again."},
    };
    for (const auto &step : steps) {
        TRecordingConsole console;
        const QStringList before = OnPageNow();
        TDragObjects drag;
        for (const QString &item : QString(step.adding).split(' ')) {
            const QStringList parts = item.split(QRegularExpression("[.:]"));
            drag.Add(parts[0], parts[1], quint8(parts[2].toInt()));
        }
        diagram->DropObjects(drag, step.at.x(), step.at.y());
        QStringList added = OnPageNow();
        for (const QString &name : before)
            added.removeOne(name);
        QStringList expected = QString(step.added).split(' ', Qt::SkipEmptyParts);
        for (int i = 0; i < expected.size() && i < added.size(); ++i)
            if (!expected[i].contains('@'))
                added[i] = added[i].section('@', 0, 0);
        EXPECT_EQ(added, expected) << step.adding;
        EXPECT_EQ(console.Lines.filter("already").join('|'), step.console) << step.adding;
        ExpectNoBoxCoversAnother();
    }
    EXPECT_EQ(model->Tables.Count() + model->ObjectTables.Count() + model->Types.Count(), 5);
    EXPECT_EQ(surface->findChildren<TOSGraphic *>(Qt::FindDirectChildrenOnly).size(), 5);
}

// A foreign key may name an object table; it is added as one.
TEST_F(DiagramMenuDatabase, AReferencedObjectTableIsAddedAsAnObjectTable)
{
    TDiagramTable *orders = AddTable(*model, "SHOP", "ORDERS", 100, 50, 200, 80);
    diagram->Rebuild();
    EXPECT_EQ(ErrorOf([&] { TDiagramMenu::AddReferences(orders, true); }), "");
    ASSERT_EQ(model->ObjectTables.Count(), 1);
    EXPECT_EQ(model->ObjectTables.GetObjectTable(0)->Name, "CUSTOMERS_OT");
    EXPECT_GT(model->ObjectTables.GetObjectTable(0)->Columns.Count(), 0);
    EXPECT_NE(Box(model->ObjectTables.GetObjectTable(0)), nullptr);
    EXPECT_EQ(model->Tables.Count(), 1);
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
