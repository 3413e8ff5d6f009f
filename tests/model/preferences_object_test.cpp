// The preferences object: construction, defaults, recent files and tools.
#include "model/preferences.h"

#include <gtest/gtest.h>

namespace {

TEST(PreferencesObject, ConstructedValues)
{
    TPreferences prefs;
    EXPECT_FALSE(prefs.SaveOnExit);
    EXPECT_TRUE(prefs.DrawPrinterPages);
    EXPECT_FALSE(prefs.DrawPrinterPageNumber);
    EXPECT_EQ(prefs.PrintOrientation, poPortrait);
    EXPECT_EQ(prefs.DefaultStyle.FontName, "Tahoma");
    EXPECT_EQ(prefs.Tools.Count(), 0);
    prefs.DefaultStyle.FontName = "Arial";
    prefs.SetDefaults();
    EXPECT_TRUE(prefs.SaveOnExit);
    EXPECT_EQ(prefs.DefaultStyle.FontName, "Tahoma");
}

TEST(PreferencesObject, RecentFilesKeepTenNewestFirst)
{
    TPreferences prefs;
    for (int i = 1; i <= 10; ++i)
        prefs.AddRecentFile(QStringLiteral("/d/f%1.xml").arg(i));
    EXPECT_EQ(prefs.PreviousFiles.front(), "/d/f10.xml");
    prefs.AddRecentFile("/D/F5.XML"); // already there, in another case
    EXPECT_EQ(prefs.PreviousFiles.size(), 10);
    EXPECT_EQ(prefs.PreviousFiles.indexOf("/d/f5.xml"), 5);
    prefs.AddRecentFile("/d/f11.xml");
    EXPECT_EQ(prefs.PreviousFiles.size(), 10);
    EXPECT_EQ(prefs.PreviousFiles.front(), "/d/f11.xml");
    EXPECT_FALSE(prefs.PreviousFiles.contains("/d/f1.xml"));
}

TEST(PreferencesObject, RecentFilesLongerThanTenLoseOnlyTheTenth)
{
    TPreferences prefs;
    for (int i = 1; i <= 12; ++i)
        prefs.PreviousFiles << QStringLiteral("f%1").arg(i);
    prefs.AddRecentFile("new");
    EXPECT_EQ(prefs.PreviousFiles.size(), 12);
    EXPECT_EQ(prefs.PreviousFiles.front(), "new");
    EXPECT_FALSE(prefs.PreviousFiles.contains("f10"));
}

TEST(PreferencesObject, OrientationTexts)
{
    EXPECT_EQ(TPreferences::PrintOrientationToText(0), "portrait");
    EXPECT_EQ(TPreferences::PrintOrientationToText(1), "landscape");
    EXPECT_EQ(TPreferences::PrintOrientationToText(7), "landscape");
    EXPECT_EQ(TPreferences::TextToPrintOrientation("portrait"), 0);
    EXPECT_EQ(TPreferences::TextToPrintOrientation("Portrait"), 1);
    EXPECT_EQ(TPreferences::TextToPrintOrientation(""), 1);
}

TEST(PreferencesObject, OrientationReachesThePrinterAtOnce)
{
    static int applied = -1;
    TPreferences::ApplyPrinterOrientation = [](int o) { applied = o; };
    TPreferences prefs;
    prefs.SetPrintOrientation(poLandscape);
    TPreferences::ApplyPrinterOrientation = nullptr;
    EXPECT_EQ(applied, poLandscape);
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
