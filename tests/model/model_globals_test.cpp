// The program-wide objects from start-up to shut-down.
#include "fake_database_session.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelGlobals, StartUpMakesOneNewModel)
{
    InitializeModelGlobals();
    ASSERT_NE(OpenModels, nullptr);
    ASSERT_EQ(OpenModels->size(), 1u);
    EXPECT_EQ(CurrentModel, OpenModels->front().get());
    EXPECT_EQ(CurrentModel->Name, "New Model");
    EXPECT_EQ(DatabaseSession, nullptr);
    ASSERT_NE(SelectedGraphics, nullptr);
    EXPECT_FALSE(SelectedGraphics->OwnsObjects());
    ASSERT_NE(Preferences, nullptr);
    EXPECT_EQ(Preferences->DefaultStyle.FontName, "Tahoma");
    EXPECT_EQ(CurrentDiagram, nullptr);
    EXPECT_EQ(ModelTreeView, nullptr);
    FinalizeModelGlobals();
}

TEST(ModelGlobals, ShutDownFreesInOrderAndTheSessionLast)
{
    InitializeModelGlobals();
    auto session = std::make_shared<TFakeDatabaseSession>();
    bool everythingElseGone = false;
    session->OnDestroy = [&] {
        everythingElseGone = !SelectedGraphics && !OpenModels && !Preferences && !CurrentModel;
    };
    DatabaseSession = session;
    session.reset();
    // The selection still refers to a table of the page: it must go first, and
    // freeing the page must not touch it.
    auto *table = new TDiagramTable();
    CurrentModel->Tables.Add(table);
    SelectedGraphics->Add(table);
    FinalizeModelGlobals();
    EXPECT_TRUE(everythingElseGone);
    EXPECT_EQ(DatabaseSession, nullptr);
}

TEST(ModelGlobals, StartUpAgainGivesAFreshPage)
{
    InitializeModelGlobals();
    CurrentModel->Name = "Changed";
    FinalizeModelGlobals();
    InitializeModelGlobals();
    EXPECT_EQ(CurrentModel->Name, "New Model");
    FinalizeModelGlobals();
}

TEST(ConstantHelpers, DatabaseKindNames)
{
    QString text = "unchanged";
    TConstantHelpers::GetDatabaseKindName(0, text);
    EXPECT_EQ(text, "Oracle");
    TConstantHelpers::GetDatabaseKindName(1, text);
    EXPECT_EQ(text, "ThinkSQL");
    TConstantHelpers::GetDatabaseKindName(2, text);
    EXPECT_EQ(text, "MySQL");
    TConstantHelpers::GetDatabaseKindName(3, text);
    EXPECT_EQ(text, "MySQL");
    auto data = TConstantHelpers::NewDBObjectData("HR", "EMP", 1);
    EXPECT_EQ(data->Owner, "HR");
    EXPECT_EQ(data->Name, "EMP");
    EXPECT_EQ(data->Kind, 1);
}

} // namespace
