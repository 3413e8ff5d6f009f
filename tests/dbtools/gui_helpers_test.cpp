// The configuration directory and the preferences file name, kept away from
// the user's real settings.
#include "dbtools/gui_helpers.h"
#include "platform/config_settings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class GUIHelpersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TConfigSettings::SetSettingsFileOverride(Temp.filePath("settings.ini"));
        TConfigSettings::SetProgramFolderOverride(Temp.path());
    }
    void TearDown() override
    {
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }
    QTemporaryDir Temp;
};

} // namespace

TEST_F(GUIHelpersTest, EmptyConfigDirBecomesTheProgramFolderAndIsStored)
{
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), "");
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), Temp.path());
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), Temp.path());
    EXPECT_EQ(TGUIHelpers::GetPreferencesFileName(), Temp.path() + "/marrowtide_preferences.config");
}

TEST_F(GUIHelpersTest, SetConfigDirTakesOnlyExistingFolders)
{
    QDir(Temp.path()).mkdir("conf");
    TGUIHelpers::SetConfigDir(Temp.filePath("conf"));
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), Temp.filePath("conf"));
    TGUIHelpers::SetConfigDir(Temp.filePath("missing"));
    EXPECT_EQ(TGUIHelpers::GetConfigDir(), Temp.path());
}

TEST_F(GUIHelpersTest, OfflineTheEntitiesListGetsNothing)
{
    QTreeWidget list;
    new QTreeWidgetItem(&list, {"KEPT.ITEM"});
    TGUIHelpers::AddTablesToList(&list, "");
    TGUIHelpers::AddObjectTablesToList(&list, "HR");
    TGUIHelpers::AddTypesToList(&list, "HR");
    EXPECT_EQ(list.topLevelItemCount(), 1);
}
