// The preferences object: construction, defaults, recent files and tools.
#include "model/preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(PreferencesObject, ConstructedValuesAndDefaults)
{
    TPreferences prefs;
    EXPECT_FALSE(prefs.SaveOnExit);
    EXPECT_TRUE(prefs.DrawPrinterPages);
    EXPECT_EQ(prefs.PrintOrientation, poPortrait);
    EXPECT_EQ(prefs.DefaultStyle.FontName, "Tahoma");
    prefs.DefaultStyle.FontName = "Arial";
    prefs.LastUser = "scott";
    prefs.SetDefaults();
    EXPECT_TRUE(prefs.SaveOnExit);
    EXPECT_EQ(prefs.DefaultStyle.FontName, "Tahoma");
    EXPECT_EQ(prefs.LastUser, "scott") << "nothing but the style and save on exit";
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

TEST(PreferencesObject, OrientationTextsAndThePrinter)
{
    EXPECT_EQ(TPreferences::PrintOrientationToText(0), "portrait");
    EXPECT_EQ(TPreferences::PrintOrientationToText(7), "landscape");
    EXPECT_EQ(TPreferences::TextToPrintOrientation("portrait"), 0);
    EXPECT_EQ(TPreferences::TextToPrintOrientation("Portrait"), 1);
    static int applied = -1;
    TPreferences::ApplyPrinterOrientation = [](int o) { applied = o; };
    TPreferences prefs;
    prefs.SetPrintOrientation(poLandscape);
    TPreferences::ApplyPrinterOrientation = nullptr;
    EXPECT_EQ(applied, poLandscape) << "the printer follows at once";
    EXPECT_EQ(prefs.PrintOrientation, poLandscape);
}

TEST(PreferencesObject, ToolsFindTheLastOfEqualCaptionsAndCopyByValue)
{
    TToolPreferences tools;
    tools.Add()->Caption = "Run";
    auto *second = tools.Add();
    second->Caption = "Run";
    second->ProgramName = "second";
    tools.Add()->Caption = "Other";
    EXPECT_EQ(tools.FindByCaption("Run"), second);
    EXPECT_EQ(tools.FindByCaption("run"), nullptr);
    TToolPreferences copy;
    copy.Add()->Caption = "old";
    copy.Assign(tools);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_NE(copy.Items[1].get(), second);
    EXPECT_EQ(copy.Items[1]->ProgramName, "second");
}

} // namespace
