// Refreshing a table from the database keeps its place and identity.
#include "canvas/table_refresh.h"
#include "fake_database_session.h"
#include "model/model_globals.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"

#include <QRect>
#include <gtest/gtest.h>

namespace {

class TableRefresh : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        session = std::make_shared<TFakeDatabaseSession>();
        DatabaseSession = session;
    }
    void TearDown() override { FinalizeModelGlobals(); }

    std::shared_ptr<TFakeDatabaseSession> session;
    TScopedFakeUserInterface ui;
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

    TDiagramTable *table = AddTable(*CurrentModel, "HR", "EMP", 300, 200, 180, 90);
    AddColumn(*table, "OLD");
    table->StoreReloadFromDatabase(true);
    int box = 0;
    table->Graphic = &box;

    ASSERT_TRUE(TTableRefresh::RefreshFromDatabase(*table));
    EXPECT_EQ(QRect(table->Left, table->Top, table->Width, table->Height), QRect(300, 200, 180, 90));
    EXPECT_TRUE(table->ReloadFromDatabase());
    EXPECT_EQ(table->Graphic, &box);
    EXPECT_EQ(table->Comment, "from the database");
    ASSERT_EQ(table->Columns.Count(), 2);
    EXPECT_EQ(table->Columns.GetColumn(1)->Name, "DEPT_ID");
    EXPECT_EQ(table->ForeignKeys.GetForeignKey(0)->Table, table);
    EXPECT_EQ(CurrentModel->Tables.GetTable(0), table);
    EXPECT_TRUE(ui.Calls().isEmpty());
}

TEST_F(TableRefresh, MissingTableAndOfflineLeaveTheTableAlone)
{
    TDiagramTable *table = AddTable(*CurrentModel, "HR", "GONE");
    AddColumn(*table, "ID");
    EXPECT_FALSE(TTableRefresh::RefreshFromDatabase(*table));
    session->Connected = false;
    EXPECT_FALSE(TTableRefresh::RefreshFromDatabase(*table));
    EXPECT_EQ(table->Columns.Count(), 1);
    const auto calls = ui.Calls();
    ASSERT_EQ(calls.size(), 2);
    EXPECT_EQ(calls[0].Text, "Table 'HR.GONE' could not be found in the database.");
    EXPECT_EQ(calls[1].Text, "Not logged on.");
}

} // namespace
