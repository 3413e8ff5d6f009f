// The program-wide objects from start-up to shut-down.
#include "fake_database_session.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelGlobals, StartUpMakesOneNewModelAndShutDownFreesTheSessionLast)
{
    for (int run = 0; run < 2; ++run) {
        InitializeModelGlobals();
        ASSERT_EQ(OpenModels->size(), 1u);
        EXPECT_EQ(CurrentModel, OpenModels->front().get());
        EXPECT_EQ(CurrentModel->Name, "New Model") << "run " << run;
        CurrentModel->Name = "Changed";
        EXPECT_EQ(DatabaseSession, nullptr);
        EXPECT_FALSE(SelectedGraphics->OwnsObjects());
        EXPECT_EQ(Preferences->DefaultStyle.FontName, "Tahoma");
        EXPECT_EQ(CurrentDiagram, nullptr);
        EXPECT_EQ(ModelTreeView, nullptr);

        auto session = std::make_shared<TFakeDatabaseSession>();
        bool everythingElseGone = false;
        session->OnDestroy = [&] {
            everythingElseGone = !SelectedGraphics && !OpenModels && !Preferences && !CurrentModel;
        };
        DatabaseSession = std::move(session);
        // The selection still refers to a table of the page: it must go first,
        // and freeing the page must not touch it.
        auto *table = new TDiagramTable();
        CurrentModel->Tables.Add(table);
        SelectedGraphics->Add(table);
        FinalizeModelGlobals();
        EXPECT_TRUE(everythingElseGone);
        EXPECT_EQ(DatabaseSession, nullptr);
    }
}

TEST(ConstantHelpers, DatabaseKindNames)
{
    QString text = "unchanged";
    TConstantHelpers::GetDatabaseKindName(3, text);
    EXPECT_EQ(text, "unchanged");
    QStringList names;
    for (quint8 kind : {0, 1, 2, 3}) {
        TConstantHelpers::GetDatabaseKindName(kind, text);
        names << text;
    }
    EXPECT_EQ(names, QStringList({"Oracle", "ThinkSQL", "MySQL", "MySQL"}));
}

} // namespace
