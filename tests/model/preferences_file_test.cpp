// The preferences file (golden lines, round trip, every reading rule and
// error), the Tools menu and the running of external tools.
#include "fake_database_session.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/xml_property_reader.h"
#include "model/xml_text.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class PreferencesFile : public ::testing::Test {
protected:
    void SetUp() override { Prefs.FileName = Dir.filePath("marrowtide_preferences.config"); }

    void WriteFile(const QByteArray &bytes)
    {
        QFile file(Prefs.FileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadFile() const
    {
        QFile file(Prefs.FileName);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QByteArray Document(const QByteArray &body, const QByteArray &version = "1.0")
    {
        return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<marrowtide_preferences version=\"" + version
               + "\">\r\n" + body + "\r\n</marrowtide_preferences>\r\n";
    }

    QTemporaryDir Dir;
    TPreferences Prefs;
};

void FillPreferences(TPreferences &prefs)
{
    prefs.SaveOnExit = false;
    prefs.LastUser = "scott";
    prefs.LastDatabase = "orcl & test";
    prefs.LastFilter = "SCOTT";
    prefs.PrintOrientation = poLandscape;
    prefs.DrawPrinterPages = false;
    prefs.DrawPrinterPageNumber = true;
    prefs.DoubleBufferPanel = true;
    prefs.OptimizerChoose = true;
    prefs.ExplorersTabIndex = 2;
    prefs.LeftPanelWidth = 312;
    prefs.PlanPanelHeight = -1;
    prefs.ShowStatusBar = true;
    prefs.DefaultStyle.LinkFontName = "Liberation Sans";
    prefs.DefaultStyle.BackgroundColour = clInfoBk;
    auto *sqlplus = prefs.Tools.Add();
    sqlplus->Caption = "SQL*Plus";
    sqlplus->ProgramName = "/usr/bin/sqlplus";
    sqlplus->WorkingDir = "/tmp";
    sqlplus->Parameters = "$USERNAME/$PASSWORD@$DATABASE";
    auto *editor = prefs.Tools.Add();
    editor->Caption = "Tom && Jerry <editor>";
    editor->ProgramName = QString::fromUtf8("/opt/\u00e9diteur/\u20ac");
    prefs.PreviousLogons << "scott@orcl" << "hr@xe";
    prefs.PreviousFiles << "/home/u/R&D/model.xml" << "/home/u/plain.xml";
}

TEST_F(PreferencesFile, DefaultsFileLines)
{
    Prefs.SetDefaults();
    Prefs.SavePreferences();
    expectGolden("preferences_default.config", ReadFile());
}

TEST_F(PreferencesFile, FullFileLinesAndRoundTrip)
{
    FillPreferences(Prefs);
    Prefs.SavePreferences();
    const QByteArray first = ReadFile();
    expectGolden("preferences_full.config", first);

    TPreferences read;
    read.FileName = Prefs.FileName;
    read.LoadPreferences();
    EXPECT_FALSE(read.SaveOnExit);
    EXPECT_EQ(read.LastDatabase, "orcl & test");
    EXPECT_EQ(read.PrintOrientation, poLandscape);
    EXPECT_EQ(read.PlanPanelHeight, -1);
    EXPECT_EQ(read.DefaultStyle.BackgroundColour, clInfoBk);
    ASSERT_EQ(read.Tools.Count(), 2);
    EXPECT_EQ(read.Tools.Items[1]->Caption, "Tom && Jerry <editor>");
    EXPECT_EQ(read.Tools.Items[1]->ProgramName, QString::fromUtf8("/opt/\u00e9diteur/\u20ac"));
    EXPECT_EQ(read.PreviousLogons, (QStringList{"scott@orcl", "hr@xe"}));
    // File names keep their "&".
    EXPECT_EQ(read.PreviousFiles, (QStringList{"/home/u/R&D/model.xml", "/home/u/plain.xml"}));

    read.FileName = Dir.filePath("again.config");
    read.SavePreferences();
    QFile again(read.FileName);
    ASSERT_TRUE(again.open(QIODevice::ReadOnly));
    EXPECT_EQ(again.readAll(), first);
}

TEST_F(PreferencesFile, MissingFileKeepsConstructedValuesWithDefaults)
{
    Prefs.LastUser = "kept";
    Prefs.DefaultStyle.FontName = "Changed";
    Prefs.LoadPreferences();
    EXPECT_TRUE(Prefs.SaveOnExit);
    EXPECT_EQ(Prefs.LastUser, "kept");
    EXPECT_EQ(Prefs.DefaultStyle.FontName, "Tahoma");
    EXPECT_FALSE(Prefs.LoadFailed());
}

TEST_F(PreferencesFile, ReadingRules)
{
    static int printerOrientation = -1;
    TPreferences::ApplyPrinterOrientation = [](int o) { printerOrientation = o; };
    Prefs.Tools.Add()->Caption = "old tool";
    Prefs.PreviousFiles << "old file";
    Prefs.LastFilter = "not in the file";
    WriteFile(Document("<property name=\"SAVE_ON_EXIT\">yes</property>"
                       "<property name=\"draw_printer_pages\">y</property>"
                       "<property name=\"draw_printer_page_number\">Y</property>"
                       "<property name=\"show_status_bar\">1</property>"
                       "<property name=\"print_orientation\">Portrait</property>"
                       "<property name=\"left_panel_width\">$FF</property>"
                       "<property name=\"unknown\">ignored</property>"
                       "<diagram_style><property name=\"font_size\">12</property></diagram_style>"
                       "<diagram_style><property name=\"link_font_name\">Second</property></diagram_style>"
                       "<tool_preferences><tool_preference><property name=\"tool_caption\">A</property>"
                       "</tool_preference><other/></tool_preferences>"
                       "<tool_preferences><tool_preference><property name=\"Program_Name\">b</property>"
                       "</tool_preference></tool_preferences>"
                       "<previous_files><property name=\"previous_file\">1</property></previous_files>"
                       "<previous_files><property name=\"previous_file\">2</property>"
                       "<property name=\"previous_logon\">misplaced</property></previous_files>",
                       "2.0"));
    Prefs.LoadPreferences();
    TPreferences::ApplyPrinterOrientation = nullptr;

    EXPECT_FALSE(Prefs.SaveOnExit) << "yes is not Y";
    EXPECT_TRUE(Prefs.DrawPrinterPages);
    EXPECT_TRUE(Prefs.DrawPrinterPageNumber);
    EXPECT_FALSE(Prefs.ShowStatusBar);
    EXPECT_EQ(Prefs.PrintOrientation, poLandscape) << "only \"portrait\" exactly is portrait";
    EXPECT_EQ(printerOrientation, poLandscape);
    EXPECT_EQ(Prefs.LeftPanelWidth, 255);
    EXPECT_EQ(Prefs.LastFilter, "not in the file") << "loading resets only the defaults";
    EXPECT_EQ(Prefs.DefaultStyle.FontSize, 12);
    EXPECT_EQ(Prefs.DefaultStyle.LinkFontName, "Second");
    EXPECT_EQ(Prefs.DefaultStyle.HeaderFontName, "Tahoma");
    ASSERT_EQ(Prefs.Tools.Count(), 2);
    EXPECT_EQ(Prefs.Tools.Items[0]->Caption, "A");
    EXPECT_EQ(Prefs.Tools.Items[1]->ProgramName, "b");
    EXPECT_EQ(Prefs.PreviousFiles, (QStringList{"1", "2"}));
    EXPECT_TRUE(Prefs.PreviousLogons.isEmpty());
}

struct PrefsErrorCase {
    const char *Name;
    QByteArray Text;
    const char *Message; // "%1" stands for the file name
};

TEST_F(PreferencesFile, ErrorTexts)
{
    const PrefsErrorCase cases[] = {
        {"unclosed", "<marrowtide_preferences version=\"1.0\">",
         "Error loading XML file %1\nUnclosed element <marrowtide_preferences>"},
        {"entity", Document("<property name=\"last_user\">&bogus;</property>"),
         "Error loading XML file %1\nUnknown entity &bogus;"},
        {"no root", "<?xml version=\"1.0\"?>", "Invalid XML structure - root is not <marrowtide_preferences>"},
        {"diagram root", "<marrowtide_diagram version=\"1.1\"/>",
         "Invalid XML structure - root is not <marrowtide_preferences>"},
        {"no name", Document("<property>x</property>"),
         "Invalid XML structure - <property> element must have a 'name' attribute"},
        {"tool without name", Document("<tool_preferences><tool_preference><property>x</property>"
                                       "</tool_preference></tool_preferences>"),
         "Invalid XML structure - <property> element must have a 'name' attribute"},
        {"integer", Document("<property name=\"Explorers_Tab_Index\">one</property>"),
         "Invalid XML structure - <property name=\"Explorers_Tab_Index\"> has an incorrect datatype"},
        {"style colour", Document("<diagram_style><property name=\"font_colour\">$XYZ</property></diagram_style>"),
         "Invalid XML structure - <property name=\"font_colour\"> has an incorrect datatype"},
    };
    for (const PrefsErrorCase &c : cases) {
        TPreferences prefs;
        prefs.FileName = Prefs.FileName;
        WriteFile(c.Text);
        try {
            prefs.LoadPreferences();
            ADD_FAILURE() << c.Name << ": no error";
        } catch (const EXMLFileError &e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.Message).replace("%1", prefs.FileName)) << c.Name;
        }
        EXPECT_TRUE(prefs.LoadFailed()) << c.Name;
        EXPECT_FALSE(prefs.ShouldSaveOnExit()) << c.Name;
    }
}

TEST_F(PreferencesFile, FailedLoadKeepsWhatWasReadAndProtectsTheFile)
{
    const QByteArray broken = Document("<property name=\"last_user\">first</property>"
                                       "<property name=\"left_panel_width\">wide</property>"
                                       "<property name=\"last_database\">never</property>");
    WriteFile(broken);
    EXPECT_THROW(Prefs.LoadPreferences(), EXMLFileError);
    EXPECT_EQ(Prefs.LastUser, "first");
    EXPECT_EQ(Prefs.LastDatabase, "");
    EXPECT_TRUE(Prefs.SaveOnExit);
    EXPECT_FALSE(Prefs.ShouldSaveOnExit()) << "closing must not overwrite the file";
    EXPECT_EQ(ReadFile(), broken);

    // Saving on purpose (the preferences dialog) makes the file ours again.
    Prefs.SavePreferences();
    EXPECT_TRUE(Prefs.ShouldSaveOnExit());
    Prefs.LoadPreferences();
    EXPECT_FALSE(Prefs.LoadFailed());
}

TEST_F(PreferencesFile, UnwritableFileRaises)
{
    Prefs.FileName = Dir.filePath("no/such/folder/prefs.config");
    EXPECT_THROW(Prefs.SavePreferences(), EFileSaveError);
}

// Tools menu ---------------------------------------------------------------

class ToolsMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        Menu.addAction("&Fixed entry");
        Menu.addSeparator();
    }
    void TearDown() override { FinalizeModelGlobals(); }

    QStringList Texts() const
    {
        QStringList texts;
        for (const QAction *action : Menu.actions())
            texts << action->text();
        return texts;
    }

    QMenu Menu;
    TPreferences Prefs;
    TScopedRecordingShell Shell;
};

TEST_F(ToolsMenu, ToolItemsFollowTheFixedEntriesAndAreRebuilt)
{
    Prefs.Tools.Add()->Caption = "One";
    Prefs.Tools.Add()->Caption = "R&D tool";
    Prefs.BuildToolsMenu(&Menu);
    EXPECT_EQ(Texts(), (QStringList{"&Fixed entry", "", "One", "R&&D tool"}));

    TToolPreferences replaced;
    replaced.Add()->Caption = "Three";
    Prefs.Tools.Assign(replaced);
    Prefs.RefreshToolsMenu();
    EXPECT_EQ(Texts(), (QStringList{"&Fixed entry", "", "Three"}));
    EXPECT_EQ(Prefs.ToolsMenuParent, &Menu);

    TPreferences unbuilt;
    unbuilt.RefreshToolsMenu(); // no menu yet: nothing to do
    EXPECT_EQ(unbuilt.ToolsMenuParent, nullptr);
}

TEST_F(ToolsMenu, ClickRunsThatItemsToolWithMacros)
{
    auto *tool = Prefs.Tools.Add();
    tool->Caption = "SQL & Plus";
    tool->ProgramName = "/usr/bin/sqlplus";
    tool->WorkingDir = "/work";
    tool->Parameters = "-L $USERNAME/$PASSWORD@$DATABASE \"two words\" $username";
    auto *twin = Prefs.Tools.Add();
    twin->Caption = "SQL & Plus";
    twin->ProgramName = "twin";
    Prefs.BuildToolsMenu(&Menu);

    auto session = std::make_shared<TFakeDatabaseSession>();
    session->Password = "ti ger\"";
    DatabaseSession = session;
    Menu.actions()[2]->trigger();
    ASSERT_EQ(Shell.StartedPrograms.size(), 1);
    const TProgramStart &start = Shell.StartedPrograms[0];
    EXPECT_EQ(start.Program, "/usr/bin/sqlplus");
    EXPECT_EQ(start.WorkingDirectory, "/work");
    EXPECT_EQ(start.Arguments, (QStringList{"-L", "scott/ti ger\"@orcl", "two words", "$username"}));

    // Offline the macros stay as written.
    session->Connected = false;
    Menu.actions()[2]->trigger();
    EXPECT_EQ(Shell.StartedPrograms[1].Arguments[1], "$USERNAME/$PASSWORD@$DATABASE");

    // Each of two tools with one caption runs itself.
    Menu.actions()[3]->trigger();
    EXPECT_EQ(Shell.StartedPrograms[2].Program, "twin");
}

TEST_F(ToolsMenu, RunByCaptionTakesTheLastEqualCaption)
{
    Prefs.Tools.Add()->ProgramName = "first";
    Prefs.Tools.Items[0]->Caption = "Run";
    Prefs.Tools.Add()->ProgramName = "second";
    Prefs.Tools.Items[1]->Caption = "Run";
    Prefs.RunToolByCaption("Run");
    Prefs.RunToolByCaption("run");
    ASSERT_EQ(Shell.StartedPrograms.size(), 1);
    EXPECT_EQ(Shell.StartedPrograms[0].Program, "second");

    // An item that is not one of ours is matched by its caption, accelerators aside.
    QAction foreign("R&un");
    Prefs.ToolMenuItemClick(&foreign);
    ASSERT_EQ(Shell.StartedPrograms.size(), 2);
    EXPECT_EQ(Shell.StartedPrograms[1].Program, "second");
    Prefs.ToolMenuItemClick(nullptr);
    EXPECT_EQ(Shell.StartedPrograms.size(), 2);
}

} // namespace
