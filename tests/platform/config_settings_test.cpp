// The configuration directory setting and the writable program folder, kept away from the
// user's real settings.
#include "platform/config_settings.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class ConfigSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStandardPaths::setTestModeEnabled(true);
        TConfigSettings::SetSettingsFileOverride(Dir.filePath("settings.ini"));
    }
    void TearDown() override
    {
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
        QStandardPaths::setTestModeEnabled(false);
    }
    QTemporaryDir Dir;
};

TEST_F(ConfigSettings, ConfigDirIsEmptyUntilWrittenAndThenReadsBack)
{
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), QString());
    TConfigSettings::WriteConfigDir("/srv/marrowtide config");
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), "/srv/marrowtide config");
    EXPECT_TRUE(QFileInfo::exists(Dir.filePath("settings.ini")));
}

TEST_F(ConfigSettings, ProgramFolderIsTheExecutablesFolderWhenWritable)
{
    EXPECT_EQ(TConfigSettings::ProgramFolder(), QCoreApplication::applicationDirPath());
    TConfigSettings::SetProgramFolderOverride(Dir.path());
    EXPECT_TRUE(TConfigSettings::IsFolderWritable(Dir.path()));
    EXPECT_EQ(TConfigSettings::WritableProgramFolder(), Dir.path());
    EXPECT_TRUE(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty())
        << "the write probe leaves nothing behind";
}

TEST_F(ConfigSettings, UnwritableProgramFolderFallsBackToTheCreatedAppDataFolder)
{
    const QString missing = Dir.filePath("not/there");
    TConfigSettings::SetProgramFolderOverride(missing);
    EXPECT_FALSE(TConfigSettings::IsFolderWritable(missing));
    const QString folder = TConfigSettings::WritableProgramFolder();
    EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_FALSE(TConfigSettings::IsFolderWritable(""));
}
