// The main window driven offscreen: logon decision, command-line files,
// caption and status texts, pages, preferences on close, tool windows.
#include "shell_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

using ::testing::HasSubstr;

namespace {

QStringList ConsoleLines() { return ConsoleForm ? ConsoleForm->Lines() : QStringList(); }

} // namespace

struct TLogonCase {
    QStringList Parameters;
    bool StartUp;
    TStartLogon Expected;
};

TEST(MainFormLogonDecision, FollowsTheParameters)
{
    const TLogonCase cases[] = {
        {{}, true, TStartLogon::Form},
        {{"file=a.xml"}, true, TStartLogon::None},
        {{"FILE=a.xml", "File=b.xml"}, true, TStartLogon::None},
        {{"scott/tiger@orcl"}, true, TStartLogon::CommandLine},
        {{"file=a.xml", "scott/tiger@orcl"}, true, TStartLogon::CommandLine},
        {{"scott/tiger@orcl", "file=a.xml"}, true, TStartLogon::CommandLine},
        // Client settings are neither a logon nor a file.
        {{"OCIDLL=libclntsh.so"}, true, TStartLogon::Form},
        {{"ORACLEHOME=/opt/oracle", "file=a.xml"}, true, TStartLogon::None},
        // From the menu the dialog is always shown.
        {{"scott/tiger@orcl"}, false, TStartLogon::Form},
        {{"file=a.xml"}, false, TStartLogon::Form},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Tfrmgui::LogonDecision(c.Parameters, c.StartUp), c.Expected) << c.Parameters.join(' ').toStdString();
}

TEST(MainFormLogonDecision, FileNamesKeepTheirCaseAndSkipEmptyOnes)
{
    EXPECT_EQ(Tfrmgui::CommandLineFileNames({"FILE=/Data/HR.xml", "file=", "scott/tiger", "file=b.xml"}),
              QStringList({"/Data/HR.xml", "b.xml"}));
}

TEST_F(ShellFixture, NoParametersAsksForALogonAndStartsOffline)
{
    Tfrmgui &form = Start({});
    EXPECT_EQ(Prompts, 1);
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
    EXPECT_EQ(form.StatusPanelText(0), "OffLine");
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
    EXPECT_TRUE(form.StatusPanelText(3).isEmpty());
    EXPECT_TRUE(ConsoleLines().contains("Login cancelled, working offline."));
    EXPECT_FALSE(form.Action("actLogOff")->isEnabled());
    EXPECT_FALSE(form.Action("actShowIniFile")->isEnabled());
    EXPECT_EQ(TabTexts(), QStringList({"New Model"}));
}

TEST_F(ShellFixture, ConsoleStartsWithThePreferencesFileName)
{
    Start({"file="});
    ASSERT_GE(ConsoleLines().size(), 2);
    EXPECT_EQ(ConsoleLines()[0], "Loaded preferences file: \"" + Temp.path() + "/marrowtide_preferences.config\"");
    EXPECT_EQ(ConsoleLines()[1], "");
}

TEST_F(ShellFixture, CommandLineLogonWithoutOracleFailsClearlyAndWorksOffline)
{
    Tfrmgui &form = Start({"scott/tiger@orcl", "file=" + Data("hr_page.xml")});
    EXPECT_EQ(Prompts, 0);
    const QStringList lines = ConsoleLines();
    EXPECT_EQ(lines.indexOf("Attempting command line login.") >= 0, true);
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
    for (const QString &line : lines)
        EXPECT_FALSE(line.contains("tiger")) << line.toStdString();
    // The file still opens.
    EXPECT_EQ(TabTexts(), QStringList({"HR Page"}));
}

TEST_F(ShellFixture, CommandLineLogonConnectsAndRemembersWithoutThePassword)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    TLoginManager::SetSessionFactory([session](const TLogonValues &v) {
        session->Username = v.User;
        session->Password = v.Password;
        session->Database = v.Database;
        return session;
    });
    Tfrmgui &form = Start({"OCIDLL=libclntsh.so", "hr/s3cret@xe"});
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  hr@xe");
    EXPECT_EQ(form.StatusPanelText(0), "hr@xe");
    EXPECT_TRUE(form.Action("actLogOff")->isEnabled());
    EXPECT_EQ(Preferences->PreviousLogons, QStringList({"hr@xe"}));
    EXPECT_EQ(Preferences->LastUser, "hr");
    for (const QString &line : ConsoleLines())
        EXPECT_FALSE(line.contains("s3cret"));

    form.Action("actLogOff")->trigger();
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
    EXPECT_FALSE(form.Action("actLogOff")->isEnabled());
    EXPECT_TRUE(ConsoleLines().contains("Logged off, working offline."));
    EXPECT_EQ(DatabaseSession, session); // logging off keeps the session object
}

TEST_F(ShellFixture, MissingCommandLineFileIsReportedAndTheOthersOpen)
{
    Tfrmgui &form = Start({"file=/no/such/page.xml", "file=" + Data("sales_page.xml")});
    EXPECT_EQ(Ui.Messages(), QStringList({"File not found: /no/such/page.xml"}));
    EXPECT_EQ(TabTexts(), QStringList({"Sales Page"}));
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
}

TEST_F(ShellFixture, OnlyTheLastOfSeveralCommandLineFilesStays)
{
    Start({"file=" + Data("hr_page.xml"), "FILE=" + Data("sales_page.xml")});
    EXPECT_EQ(Diagram->Loaded.size(), 2);
    EXPECT_EQ(TabTexts(), QStringList({"Sales Page"}));
    EXPECT_EQ(ModelNames(), TabTexts());
    EXPECT_EQ(CurrentModel->FileName, Data("sales_page.xml"));
}

TEST_F(ShellFixture, CorruptCommandLineFileIsSkippedAndThePagesBeforeStay)
{
    Tfrmgui &form = Start({"file=" + Data("hr_page.xml"), "file=" + Data("corrupt_page.xml")});
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr("corrupt_page.xml"));
    EXPECT_EQ(TabTexts(), QStringList({"HR Page"}));
    EXPECT_EQ(CurrentModel->Name, "HR Page");
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
}

TEST_F(ShellFixture, NewPagesAreNumberedByTheTabsBeforeThem)
{
    Tfrmgui &form = Start({"file="});
    form.Action("actNewPage")->trigger();
    form.Action("actNewPage")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "New Model.1", "New Model.2"}));
    EXPECT_EQ(ModelNames(), TabTexts());
    EXPECT_EQ(Find<QTabBar>("tabModels")->currentIndex(), 2);
    EXPECT_EQ(CurrentModel, OpenModels->back().get());
}

TEST_F(ShellFixture, TheLastPageIsNeverClosed)
{
    Tfrmgui &form = Start({"file="});
    form.Action("actClosePage")->trigger();
    form.Action("actCloseAllPages")->trigger();
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_EQ(TabTexts(), QStringList({"New Model"}));
}

TEST_F(ShellFixture, ClosingAPageAsksAndSelectsItsLeftNeighbour)
{
    Tfrmgui &form = Start({"file="});
    form.NewModelPage();
    form.NewModelPage();
    auto *tabs = Find<QTabBar>("tabModels");

    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    form.Action("actClosePage")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Close page 'New Model.2'?"}));
    EXPECT_EQ(tabs->count(), 3);

    form.Action("actClosePage")->trigger(); // OK
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "New Model.1"}));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(CurrentModel->Name, "New Model.1");

    form.NewModelPage();
    form.ClosePage(0);
    EXPECT_EQ(TabTexts(), QStringList({"New Model.1", "New Model.2"}));
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(CurrentModel->Name, "New Model.1");
}

TEST_F(ShellFixture, CloseAllPagesAsksAgainAboutAPageKeptByCancel)
{
    Tfrmgui &form = Start({"file="});
    form.NewModelPage();
    form.NewModelPage();
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    Ui.QueueAnswer(TUserInterfaceAnswer::Ok());
    form.Action("actCloseAllPages")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Close page 'New Model.2'?", "Close page 'New Model.2'?"}));
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "New Model.1"}));
}

TEST_F(ShellFixture, OpenAddsAPageAndARecentFileMergeKeepsThePage)
{
    Tfrmgui &form = Start({"file="});
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("hr_page.xml")));
    form.Action("actOpen")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "HR Page"}));
    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::OpenFile);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].File.Filter, "XML files (*.xml)|*.xml|All files (*.*)|*.*");
    EXPECT_EQ(dialogs[0].File.DefaultExt, "xml");

    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("sales_page.xml")));
    form.Action("actMerge")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "HR Page"}));
    EXPECT_EQ(CurrentModel->FileName, Data("hr_page.xml"));

    auto *reopen = Find<QMenu>("mnuReopen");
    ASSERT_EQ(reopen->actions().size(), 2);
    EXPECT_EQ(reopen->actions()[0]->data().toString(), Data("sales_page.xml"));
    EXPECT_EQ(reopen->actions()[1]->data().toString(), Data("hr_page.xml"));
}

TEST_F(ShellFixture, AFailedOpenLeavesNoPageCarryingTheFileName)
{
    Tfrmgui &form = Start({"file="});
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("corrupt_page.xml")));
    form.Action("actOpen")->trigger();
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    for (auto &model : *OpenModels)
        EXPECT_TRUE(model->FileName.isEmpty());
    EXPECT_EQ(Ui.HourglassDepth(), 0);
}

TEST_F(ShellFixture, ReopenItemsKeepAmpersandsOfTheirPath)
{
    Tfrmgui &form = Start({"file="});
    Preferences->PreviousFiles = {"/tmp/R&D/missing.xml"};
    form.RebuildReopenMenu();
    auto *reopen = Find<QMenu>("mnuReopen");
    ASSERT_EQ(reopen->actions().size(), 1);
    EXPECT_EQ(reopen->actions()[0]->text(), "/tmp/R&&D/missing.xml");
    reopen->actions()[0]->trigger();
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr("/tmp/R&D/missing.xml"));
    EXPECT_EQ(Preferences->PreviousFiles, QStringList({"/tmp/R&D/missing.xml"}));
    (void)form;
}

TEST_F(ShellFixture, ClosingTheWindowStoresTheLayoutWhenAsked)
{
    Tfrmgui &form = Start({"file="});
    Preferences->SaveOnExit = true;
    Find<QTabWidget>("pgcNavigator")->setCurrentIndex(1);
    form.Action("actViewStatusBar")->trigger();
    form.close();
    const QString file = Temp.filePath("marrowtide_preferences.config");
    ASSERT_TRUE(QFile::exists(file));

    TPreferences stored;
    stored.FileName = file;
    stored.LoadPreferences();
    EXPECT_EQ(stored.ExplorersTabIndex, 1);
    EXPECT_EQ(stored.LeftPanelWidth, Find<QWidget>("pnlLeft")->width());
    EXPECT_GT(stored.LeftPanelWidth, 0);
    EXPECT_EQ(stored.PlanPanelHeight, Find<QWidget>("pnlPlan")->height());
    EXPECT_FALSE(stored.ShowStatusBar);
}

TEST_F(ShellFixture, ClosingWithoutSaveOnExitAndExitWriteNothing)
{
    Tfrmgui &form = Start({"file="});
    const QString file = Temp.filePath("marrowtide_preferences.config");
    Preferences->SaveOnExit = false;
    form.close();
    EXPECT_FALSE(QFile::exists(file));

    Preferences->SaveOnExit = true;
    form.show();
    form.Action("actExit")->trigger();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(ShellFixture, StoredPanelSizesComeBackAndZeroKeepsTheFormsOwn)
{
    TPreferences stored;
    stored.SetDefaults();
    stored.FileName = Temp.filePath("marrowtide_preferences.config");
    stored.LeftPanelWidth = 0;
    stored.ExplorersTabIndex = 1;
    stored.ShowStatusBar = true;
    stored.SavePreferences();
    Start({"file="});
    EXPECT_EQ(Find<QSplitter>("splLeft")->sizes()[0], 250);
    EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), 1);
    EXPECT_TRUE(Find<QStatusBar>("sbrMain")->isVisible());
    Form.reset();

    stored.LeftPanelWidth = 310;
    stored.ShowStatusBar = false;
    stored.SavePreferences();
    Start({"file="});
    EXPECT_EQ(Find<QSplitter>("splLeft")->sizes()[0], 310);
    EXPECT_FALSE(Find<QStatusBar>("sbrMain")->isVisible());
}

TEST_F(ShellFixture, ToolWindowsAreNumberedByTheEntriesOpen)
{
    Tfrmgui &form = Start({"file="});
    QWidget windows[3];
    for (QWidget &w : windows) {
        w.setWindowTitle("SQL Editor ~ " + QString::number(form.NextWindowNumber()));
        form.RegisterOpenWindow(&w);
    }
    form.UnregisterOpenWindow(&windows[1]);
    auto *menu = Find<QMenu>("mnuWindow");
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "SQL Editor ~ 1");
    EXPECT_EQ(menu->actions()[1]->text(), "SQL Editor ~ 3");
    EXPECT_EQ(form.NextWindowNumber(), 3);
    form.UnregisterOpenWindow(&windows[0]);
    form.UnregisterOpenWindow(&windows[2]);
    EXPECT_TRUE(menu->actions().isEmpty());
    EXPECT_EQ(form.NextWindowNumber(), 1);
}

TEST_F(ShellFixture, EveryCommandExistsAndLaterOnesAreDisabled)
{
    Tfrmgui &form = Start({"file="});
    const char *enabled[] = {"actNewPage", "actOpen", "actMerge", "actClosePage", "actCloseAllPages",
                             "actExit", "actViewToolbar", "actPlanView", "actViewTableList",
                             "actViewStatusBar", "actConsole", "actLogOn", "actAbout", "actDatabaseBrowser"};
    const char *disabled[] = {"actSave", "actSaveAs", "actSaveAsPicture", "actPrint", "actPrintPreview",
                              "actCut", "actCopy", "actPaste", "actHide", "actSelectAll", "actRefresh",
                              "actLayoutDiagram", "actFind", "actZoomIn", "actZoomOut", "actPreferences",
                              "actGenerateModelDDL", "actGenDeltaDDL", "actSQLEditor", "actLogOff",
                              "actExtractMetaData", "actExportImport", "actShowIniFile"};
    for (const char *name : enabled) {
        ASSERT_NE(form.Action(name), nullptr) << name;
        EXPECT_TRUE(form.Action(name)->isEnabled()) << name;
    }
    for (const char *name : disabled) {
        ASSERT_NE(form.Action(name), nullptr) << name;
        EXPECT_FALSE(form.Action(name)->isEnabled()) << name;
    }
    for (const char *name : {"cbarMain", "tbarDiagram", "ToolBar1", "ToolBar2", "ToolBar3", "pnlLeft",
                             "pnlPlan", "pbox", "pgcNavigator", "lvwTables", "tvwModel", "tvwDBObjects",
                             "cboTableOwners", "cboObjOwners", "tabModels", "sboxDiagram", "sbrMain",
                             "mnuReopen", "mnuWindow", "mniTools", "mnuModelTabs", "mnuModelExp"})
        EXPECT_NE(form.findChild<QObject *>(name), nullptr) << name;
    EXPECT_EQ(form.Action("actExit")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
}

TEST_F(ShellFixture, ViewCommandsToggleTheirPanels)
{
    Tfrmgui &form = Start({"file="});
    form.Action("actPlanView")->trigger();
    EXPECT_FALSE(Find<QWidget>("pnlPlan")->isVisible());
    form.Action("actViewTableList")->trigger();
    EXPECT_FALSE(Find<QWidget>("pnlLeft")->isVisible());
    form.Action("actViewToolbar")->trigger();
    EXPECT_FALSE(Find<QWidget>("cbarMain")->isVisible());
    form.Action("actDatabaseBrowser")->trigger();
    EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), 2);
}

TEST_F(ShellFixture, ConsoleCommandShowsAndClosingUnchecks)
{
    Tfrmgui &form = Start({"file="});
    QAction *console = form.Action("actConsole");
    EXPECT_FALSE(ConsoleForm->isVisible());
    console->trigger();
    EXPECT_TRUE(ConsoleForm->isVisible());
    const QStringList before = ConsoleForm->Lines();
    ConsoleForm->close();
    EXPECT_FALSE(ConsoleForm->isVisible());
    EXPECT_FALSE(console->isChecked());
    console->trigger();
    EXPECT_TRUE(ConsoleForm->isVisible());
    EXPECT_EQ(ConsoleForm->Lines(), before);
}
