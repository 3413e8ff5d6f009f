// The preferences object: construction, recent files and copies of the tool
// list (the file, the defaults and the tools menu are tested with the file).
#include "model/preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(PreferencesObject, ConstructedValuesAndOrientationTexts)
{
    TPreferences prefs;
    EXPECT_FALSE(prefs.SaveOnExit) << "on only after SetDefaults";
    EXPECT_TRUE(prefs.DrawPrinterPages);
    EXPECT_EQ(prefs.PrintOrientation, poPortrait);
    EXPECT_EQ(prefs.DefaultStyle.FontName, "Tahoma");
    EXPECT_EQ(TPreferences::PrintOrientationToText(7), "landscape");
    EXPECT_EQ(TPreferences::TextToPrintOrientation(""), poLandscape);
}

TEST(PreferencesObject, RecentFilesKeepTenNewestFirst)
{
    TPreferences prefs;
    for (int i = 1; i <= 10; ++i)
        prefs.AddRecentFile(QStringLiteral("/d/f%1.xml").arg(i));
    prefs.AddRecentFile("/D/F5.XML"); // already there, in another case
    EXPECT_EQ(prefs.PreviousFiles.size(), 10);
    EXPECT_EQ(prefs.PreviousFiles.indexOf("/d/f5.xml"), 5);
    prefs.AddRecentFile("/d/f11.xml");
    EXPECT_EQ(prefs.PreviousFiles.mid(0, 2), QStringList({"/d/f11.xml", "/d/f10.xml"}));
    EXPECT_EQ(prefs.PreviousFiles.size(), 10);
    EXPECT_FALSE(prefs.PreviousFiles.contains("/d/f1.xml"));
    // A longer list (as loaded) loses only its tenth name.
    prefs.PreviousFiles << "x" << "y";
    prefs.AddRecentFile("new");
    EXPECT_EQ(prefs.PreviousFiles.size(), 12);
    EXPECT_FALSE(prefs.PreviousFiles.contains("/d/f2.xml"));
}

TEST(PreferencesObject, ToolListCopiesByValue)
{
    TToolPreferences tools;
    tools.Add()->Caption = "Run";
    auto *second = tools.Add();
    second->ProgramName = "second";
    TToolPreferences copy;
    copy.Add()->Caption = "old";
    copy.Assign(tools);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Items[0]->Caption, "Run");
    EXPECT_NE(copy.Items[1].get(), second);
    EXPECT_EQ(copy.Items[1]->ProgramName, "second");
}

} // namespace
