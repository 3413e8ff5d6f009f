// Refreshing a table from the database keeps its place and identity.
#include "canvas_fixture.h"

#include "canvas/table_refresh.h"
#include "fake_database_session.h"

namespace {

class TableRefresh : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        DatabaseSession = session;
    }
    std::shared_ptr<TFakeDatabaseSession> session = std::make_shared<TFakeDatabaseSession>();
};

TEST_F(TableRefresh, TakesTheDatabasePartsAndKeepsPlaceFlagAndBox)
{
    TDiagramTable inDatabase;
    inDatabase.Owner = "HR";
    inDatabase.Name = "EMP";
    inDatabase.Comment = "from the database";
    AddColumn(inDatabase, "ID");
    AddColumn(inDatabase, "DEPT_ID");
    AddForeignKey(inDatabase, "EMP_DEPT_FK", {"DEPT_ID"}, "HR", "DEPT", {"ID"});
    session->AddTable(inDatabase);

    TDiagramTable *table = AddTable(*model, "HR", "EMP", 300, 200, 180, 90);
    AddColumn(*table, "OLD");
    table->StoreReloadFromDatabase(true);
    int box = 0;
    table->Graphic = &box;

    ASSERT_TRUE(TTableRefresh::RefreshFromDatabase(*table));
    EXPECT_EQ(QRect(table->Left, table->Top, table->Width, table->Height), QRect(300, 200, 180, 90));
    EXPECT_TRUE(table->ReloadFromDatabase());
    EXPECT_EQ(table->Graphic, &box);
    table->Graphic = nullptr;
    EXPECT_EQ(table->Comment, "from the database");
    ASSERT_EQ(table->Columns.Count(), 2);
    EXPECT_EQ(table->Columns.GetColumn(1)->Name, "DEPT_ID");
    EXPECT_EQ(table->ForeignKeys.GetForeignKey(0)->Table, table);
    EXPECT_EQ(model->Tables.GetTable(0), table);
    EXPECT_TRUE(ui.Calls().isEmpty());
}

TEST_F(TableRefresh, MissingTableAndOfflineLeaveTheTableAlone)
{
    TDiagramTable *table = AddTable(*model, "HR", "GONE");
    AddColumn(*table, "ID");
    EXPECT_FALSE(TTableRefresh::RefreshFromDatabase(*table));
    session->Connected = false;
    EXPECT_FALSE(TTableRefresh::RefreshFromDatabase(*table));
    EXPECT_EQ(table->Columns.Count(), 1);
    EXPECT_EQ(ui.Messages(), QStringList({"Table 'HR.GONE' could not be found in the database.", "Not logged on."}));
}

} // namespace
