// The preferences file (golden lines, round trip, every reading rule and
// error), the Tools menu and the running of external tools.
#include "fake_database_session.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/xml_property_reader.h"
#include "model/xml_text.h"
#include "platform/atomic_file.h"
#include "platform/shell.h"
#include "test_data.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray Prop(const QByteArray &name, const QByteArray &value)
{
    return "<property name=\"" + name + "\">" + value + "</property>";
}

QByteArray FileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class PreferencesFile : public ::testing::Test {
protected:
    void SetUp() override { Prefs.FileName = Dir.filePath("marrowtide_preferences.config"); }

    void WriteFile(const QByteArray &bytes)
    {
        QFile file(Prefs.FileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadFile() const { return FileBytes(Prefs.FileName); }
    static QByteArray Document(const QByteArray &body, const QByteArray &version = "1.0")
    {
        return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<marrowtide_preferences version=\"" + version
               + "\">\r\n" + body + "\r\n</marrowtide_preferences>\r\n";
    }

    QTemporaryDir Dir;
    TPreferences Prefs;
};

TEST_F(PreferencesFile, DefaultsFileLines)
{
    Prefs.SetDefaults();
    Prefs.SavePreferences();
    expectGolden("preferences_default.config", ReadFile());
}

// Every field differs from its value after loading defaults, so writing the
// read preferences back to the same bytes shows that each one was read.
TEST_F(PreferencesFile, FullFileLinesAndRoundTrip)
{
    Prefs.SaveOnExit = false;
    Prefs.LastUser = "scott";
    Prefs.LastDatabase = "orcl & test";
    Prefs.LastFilter = "SCOTT";
    Prefs.PrintOrientation = poLandscape;
    Prefs.DrawPrinterPages = false;
    Prefs.DrawPrinterPageNumber = Prefs.DoubleBufferPanel = Prefs.OptimizerChoose = Prefs.ShowStatusBar = true;
    Prefs.ExplorersTabIndex = 2;
    Prefs.LeftPanelWidth = 312;
    Prefs.PlanPanelHeight = -1;
    Prefs.DefaultStyle.LinkFontName = "Liberation Sans";
    Prefs.DefaultStyle.BackgroundColour = clInfoBk;
    TToolPreference *sqlplus = Prefs.Tools.Add();
    sqlplus->Caption = "SQL*Plus";
    sqlplus->ProgramName = "/usr/bin/sqlplus";
    sqlplus->WorkingDir = "/tmp";
    sqlplus->Parameters = "$USERNAME/$PASSWORD@$DATABASE";
    Prefs.Tools.Add()->Caption = "Tom && Jerry <editor>";
    Prefs.Tools.Items[1]->ProgramName = QString::fromUtf8("/opt/\u00e9diteur/\u20ac");
    Prefs.PreviousLogons << "scott@orcl" << "hr@xe";
    // File names keep their "&": the Reopen menu escapes it for display.
    Prefs.PreviousFiles << "/home/u/R&D/model.xml" << "/home/u/plain.xml";
    Prefs.SavePreferences();
    const QByteArray first = ReadFile();
    expectGolden("preferences_full.config", first);

    TPreferences read;
    read.FileName = Prefs.FileName;
    read.LoadPreferences();
    read.FileName = Dir.filePath("again.config");
    read.SavePreferences();
    EXPECT_EQ(FileBytes(read.FileName), first);
}

TEST_F(PreferencesFile, ReadingRules)
{
    // A missing file is no error: the defaults are set and nothing else changes.
    Prefs.LastFilter = "not in the file";
    Prefs.DefaultStyle.FontName = "Changed";
    Prefs.LoadPreferences();
    EXPECT_TRUE(Prefs.SaveOnExit);
    EXPECT_EQ(Prefs.DefaultStyle.FontName, "Tahoma");
    EXPECT_FALSE(Prefs.LoadFailed());

    static int printerOrientation = -1;
    TPreferences::ApplyPrinterOrientation = [](int o) { printerOrientation = o; };
    Prefs.Tools.Add()->Caption = "old tool";
    Prefs.PreviousFiles << "old file";
    WriteFile(Document(Prop("SAVE_ON_EXIT", "yes") + Prop("draw_printer_pages", "y") + Prop("show_status_bar", "1")
                           + Prop("print_orientation", "Portrait") + Prop("left_panel_width", "$FF")
                           + Prop("unknown", "ignored") + "<diagram_style>" + Prop("font_size", "12")
                           + "</diagram_style><diagram_style>" + Prop("link_font_name", "Second")
                           + "</diagram_style><tool_preferences><tool_preference>" + Prop("tool_caption", "A")
                           + "</tool_preference><other/></tool_preferences><tool_preferences><tool_preference>"
                           + Prop("Program_Name", "b") + "</tool_preference></tool_preferences><previous_files>"
                           + Prop("previous_file", "1") + "</previous_files><previous_files>"
                           + Prop("previous_file", "2") + Prop("previous_logon", "misplaced") + "</previous_files>",
                       "2.0"));
    Prefs.LoadPreferences();
    TPreferences::ApplyPrinterOrientation = nullptr;

    EXPECT_FALSE(Prefs.SaveOnExit) << "yes is not Y";
    EXPECT_TRUE(Prefs.DrawPrinterPages);
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

TEST_F(PreferencesFile, ErrorTextsAndAFailedLoadProtectsTheFile)
{
    const QString root = "Invalid XML structure - root is not <marrowtide_preferences>",
                  noName = "Invalid XML structure - <property> element must have a 'name' attribute";
    const std::pair<QByteArray, QString> cases[] = {
        {"<marrowtide_preferences version=\"1.0\">",
         "Error loading XML file %1\nUnclosed element <marrowtide_preferences>"},
        {Document(Prop("last_user", "&bogus;")), "Error loading XML file %1\nUnknown entity &bogus;"},
        {"<?xml version=\"1.0\"?>", root},
        {"<marrowtide_diagram version=\"1.1\"/>", root},
        {Document("<property>x</property>"), noName},
        {Document("<tool_preferences><tool_preference><property>x</property></tool_preference></tool_preferences>"),
         noName},
        {Document(Prop("Explorers_Tab_Index", "one")),
         "Invalid XML structure - <property name=\"Explorers_Tab_Index\"> has an incorrect datatype"},
        {Document("<diagram_style>" + Prop("font_colour", "$XYZ") + "</diagram_style>"),
         "Invalid XML structure - <property name=\"font_colour\"> has an incorrect datatype"},
        // What was read before the failure stays; what follows is not read.
        {Document(Prop("last_user", "first") + Prop("left_panel_width", "wide") + Prop("last_database", "never")),
         "Invalid XML structure - <property name=\"left_panel_width\"> has an incorrect datatype"},
    };
    for (const auto &[text, message] : cases) {
        WriteFile(text);
        try {
            Prefs.LoadPreferences();
            ADD_FAILURE() << "no error: " << message.toStdString();
        } catch (const EXMLFileError &e) {
            EXPECT_EQ(e.Message(), QString(message).replace("%1", Prefs.FileName));
        }
        EXPECT_TRUE(Prefs.LoadFailed());
        EXPECT_FALSE(Prefs.ShouldSaveOnExit()) << "closing must not overwrite the file";
    }
    EXPECT_EQ(Prefs.LastUser, "first");
    EXPECT_EQ(Prefs.LastDatabase, "");

    // Saving on purpose (the preferences dialog) makes the file ours again.
    Prefs.SavePreferences();
    EXPECT_TRUE(Prefs.ShouldSaveOnExit());
    Prefs.LoadPreferences();
    EXPECT_FALSE(Prefs.LoadFailed());
    Prefs.FileName = Dir.filePath("no/such/folder/prefs.config");
    EXPECT_THROW(Prefs.SavePreferences(), EFileSaveError);
}

// A damaged file is copied beside it, once, before anything is saved over it;
// a copy with the same bytes serves again; without a copy nothing is saved.
TEST_F(PreferencesFile, ADamagedFileIsCopiedBesideItBeforeItIsSavedOver)
{
    const auto damage = [&](const QByteArray &bytes) {
        WriteFile(bytes);
        EXPECT_THROW(Prefs.LoadPreferences(), EXMLFileError);
    };
    const QString copy = Prefs.FileName + ".damaged";
    damage("<marrowtide_preferences>A");
    Prefs.SavePreferences();
    EXPECT_EQ(FileBytes(copy), "<marrowtide_preferences>A");
    EXPECT_NE(ReadFile(), "<marrowtide_preferences>A");
    damage("<marrowtide_preferences>A");
    EXPECT_EQ(Prefs.KeepDamagedCopy(), copy);
    damage("<marrowtide_preferences>B");
    EXPECT_EQ(Prefs.KeepDamagedCopy(), copy + ".2");
    EXPECT_EQ(Prefs.KeepDamagedCopy(), copy + ".2");
    EXPECT_EQ(FileBytes(copy + ".2"), "<marrowtide_preferences>B");
    EXPECT_FALSE(QFile::exists(copy + ".3"));

    // No copy can be made: the damaged file is not saved over.
    struct NoCopies : IFileSystemCalls {
        int Rename(const char *from, const char *to) override
        {
            if (!QByteArray(to).contains(".damaged"))
                return IFileSystemCalls::Rename(from, to);
            errno = EACCES;
            return -1;
        }
    } noCopies;
    damage("<marrowtide_preferences>C");
    TAtomicFile::SetSystemCalls(&noCopies);
    EXPECT_THROW(Prefs.SavePreferences(), EFileSaveError);
    EXPECT_EQ(ReadFile(), "<marrowtide_preferences>C");
    Prefs.FileName = Dir.filePath("elsewhere.config");
    QFile(Prefs.FileName).open(QIODevice::WriteOnly);
    Prefs.SavePreferences(); // another file: the damaged one needs no copy
    TAtomicFile::SetSystemCalls(nullptr);
    EXPECT_EQ(FileBytes(Dir.filePath("marrowtide_preferences.config")), "<marrowtide_preferences>C");
}

// The Tools menu: tool items after the fixed entries, rebuilt when the list
// changes; a click runs that item's tool with the session's credentials.
TEST(ToolsMenu, ItemsAreRebuiltAndRunTheirOwnToolWithMacros)
{
    InitializeModelGlobals();
    TScopedRecordingShell shell;
    QMenu menu;
    menu.addAction("&Fixed entry");
    TPreferences prefs;
    prefs.RefreshToolsMenu(); // never built: nothing to do
    const auto texts = [&] {
        QStringList texts;
        for (const QAction *action : menu.actions())
            texts << action->text();
        return texts;
    };
    TToolPreferences tools;
    tools.Add()->Caption = "R&D tool";
    prefs.Tools.Assign(tools);
    prefs.BuildToolsMenu(&menu);
    EXPECT_EQ(texts(), (QStringList{"&Fixed entry", "R&&D tool"}));

    tools.Items[0]->Caption = "SQL & Plus";
    tools.Items[0]->ProgramName = "/usr/bin/sqlplus";
    tools.Items[0]->WorkingDir = "/work";
    tools.Items[0]->Parameters = "-L $USERNAME/$PASSWORD@$DATABASE \"two words\" $username";
    tools.Add()->Caption = "SQL & Plus";
    tools.Items[1]->ProgramName = "twin";
    prefs.Tools.Assign(tools);
    prefs.RefreshToolsMenu();
    EXPECT_EQ(texts(), (QStringList{"&Fixed entry", "SQL && Plus", "SQL && Plus"}));
    auto session = std::make_shared<TFakeDatabaseSession>();
    session->Password = "ti ger\"";
    DatabaseSession = session;
    menu.actions()[1]->trigger();
    ASSERT_EQ(shell.StartedPrograms.size(), 1);
    EXPECT_EQ(shell.StartedPrograms[0].Program, "/usr/bin/sqlplus");
    EXPECT_EQ(shell.StartedPrograms[0].WorkingDirectory, "/work");
    EXPECT_EQ(shell.StartedPrograms[0].Arguments, (QStringList{"-L", "scott/ti ger\"@orcl", "two words", "$username"}));
    // Replaced in one pass: what a value brings in stays as typed.
    session->Username = "$PASSWORD";
    session->Password = "x$DATABASE$";
    tools.Items[0]->Parameters = "$$USERNAME$PASSWORD/$DATABASE$";
    prefs.Tools.Assign(tools);
    prefs.RefreshToolsMenu();
    menu.actions()[1]->trigger();
    EXPECT_EQ(shell.StartedPrograms.takeLast().Arguments, QStringList{"$$PASSWORDx$DATABASE$/orcl$"});
    tools.Items[0]->Parameters = "-L $USERNAME/$PASSWORD@$DATABASE \"two words\" $username";
    prefs.Tools.Assign(tools);
    prefs.RefreshToolsMenu();
    // Offline the macros stay as written; each of two tools with one caption runs itself.
    session->Connected = false;
    menu.actions()[1]->trigger();
    EXPECT_EQ(shell.StartedPrograms[1].Arguments[1], "$USERNAME/$PASSWORD@$DATABASE");
    menu.actions()[2]->trigger();
    EXPECT_EQ(shell.StartedPrograms[2].Program, "twin");

    // By caption, exactly, the last of equal captions; an item that is not one
    // of ours is matched by its caption, accelerators aside.
    prefs.RunToolByCaption("sql & plus");
    QAction foreign("SQL && &Plus");
    prefs.ToolMenuItemClick(&foreign);
    prefs.ToolMenuItemClick(nullptr);
    ASSERT_EQ(shell.StartedPrograms.size(), 4);
    EXPECT_EQ(shell.StartedPrograms[3].Program, "twin");
    FinalizeModelGlobals();
}

} // namespace
