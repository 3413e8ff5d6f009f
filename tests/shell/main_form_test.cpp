// The main window driven offscreen: logon decision, command-line files,
// caption and status texts, pages, preferences on close, tool windows.
#include "shell_fixture.h"

#include "dbtools/gui_helpers.h"
#include "model/diagram_file_preload.h"
#include "model/diagram_object_model.h"
#include "model/xml_text.h"
#include "model/result_set.h"
#include "platform/atomic_file.h"
#include "platform/color.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static QStringList ConsoleLines() { return ConsoleForm ? ConsoleForm->Lines() : QStringList(); }

TEST(MainFormLogonDecision, FollowsTheParametersAndFileNamesKeepTheirCase)
{
    const std::map<QString, TStartLogon> decisions = {
        {"form", TStartLogon::Form}, {"none", TStartLogon::None}, {"command-line", TStartLogon::CommandLine}};
    for (const QStringList &f : readTestTable("shell/logon_decisions.txt")) {
        const QStringList parameters = f.value(0) == "-" ? QStringList() : f.value(0).split(' ');
        EXPECT_EQ(Tfrmgui::LogonDecision(parameters, f.value(1) == "startup"), decisions.at(f.value(2)))
            << f.join('|').toStdString();
    }
    EXPECT_EQ(Tfrmgui::CommandLineFileNames({"FILE=/Data/HR.xml", "file=", "scott/tiger", "file=b.xml"}),
              QStringList({"/Data/HR.xml", "b.xml"}));
}

TEST_F(ShellFixture, NoParametersAsksForALogonAndStartsOffline)
{
    Tfrmgui &form = Start({});
    EXPECT_EQ(Prompts, 1);
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
    EXPECT_EQ(QStringList({form.StatusPanelText(0), form.StatusPanelText(2), form.StatusPanelText(3)}),
              QStringList({"OffLine", "v1.1.6", ""}));
    EXPECT_TRUE(ConsoleLines().contains("Login cancelled, working offline."));
    EXPECT_FALSE(form.Action("actLogOff")->isEnabled());
    EXPECT_EQ(TabTexts(), QStringList({"New Model"}));
    // From the menu the dialog is always shown.
    form.Action("actLogOn")->trigger();
    EXPECT_EQ(Prompts, 2);
    EXPECT_EQ(ConsoleLines().mid(0, 2), QStringList({"Loaded preferences file: \"" + PreferencesFile() + "\"", ""}));
}

TEST_F(ShellFixture, CommandLineLogonWithoutOracleFailsClearlyAndTheFileStillOpens)
{
    Tfrmgui &form = Start({"scott/tiger@orcl", "file=" + Data("hr_page.xml")});
    EXPECT_EQ(Prompts, 0);
    EXPECT_TRUE(ConsoleLines().contains("Attempting command line login."));
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
    EXPECT_EQ(TabTexts(), QStringList({"HR Page"}));
}

// Every file named opens and only the last page stays; a file that does not
// load is reported and skipped, and the pages before it stay.
TEST_F(ShellFixture, CommandLineFilesLeaveTheLastGoodPage)
{
    for (const QStringList &c : readCases("shell/command_line_files.txt")) {
        Ui.Clear();
        Tfrmgui &form = Start(c[0].arg(testDataPath("shell")).split(' '));
        EXPECT_EQ(Diagram->Loaded.size(), c[3].isEmpty() ? 2 : 1);
        EXPECT_EQ(TabTexts(), QStringList({c[1]}));
        EXPECT_EQ(ModelNames(), TabTexts());
        EXPECT_EQ(CurrentModel->FileName, Data(c[2].toLatin1()));
        EXPECT_EQ(Ui.Messages().size(), c[3].isEmpty() ? 0 : 1);
        EXPECT_THAT(Ui.Messages().value(0).toStdString(), HasSubstr(c[3].toStdString()));
        EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
    }
    // A relative name is kept in full.
    const QString before = QDir::currentPath();
    QDir::setCurrent(testDataPath("shell"));
    Start({"file=hr_page.xml"});
    QDir::setCurrent(before);
    EXPECT_EQ(CurrentModel->FileName, QFileInfo(Data("hr_page.xml")).absoluteFilePath());
    EXPECT_EQ(Preferences->PreviousFiles.value(0), CurrentModel->FileName);
}

TEST_F(ShellFixture, ClosingAPageAsksAndSelectsItsLeftNeighbourButNeverClosesTheLast)
{
    Tfrmgui &form = Start({"file="});
    form.Action("actClosePage")->trigger();
    form.Action("actCloseAllPages")->trigger();
    form.ClosePage(0);
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_EQ(TabTexts(), QStringList({"New Model"}));

    form.Action("actNewPage")->trigger();
    Find<QAction>("mniNewPage")->trigger();
    auto *tabs = Find<QTabBar>("tabModels");
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "New Model.1", "New Model.2"}));
    EXPECT_EQ(ModelNames(), TabTexts());
    EXPECT_EQ(tabs->currentIndex(), 2);
    EXPECT_EQ(CurrentModel, OpenModels->back().get());

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

    // Close all asks again about a page kept by Cancel.
    form.NewModelPage();
    Ui.Clear();
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    Ui.QueueAnswer(TUserInterfaceAnswer::Ok());
    form.Action("actCloseAllPages")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Close page 'New Model.2'?", "Close page 'New Model.2'?"}));
    EXPECT_EQ(TabTexts(), QStringList({"New Model.1", "New Model.2"}));
}

TEST_F(ShellFixture, OpenAddsAPageAndARecentFileMergeKeepsThePage)
{
    Tfrmgui &form = Start({"file="});
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("hr_page.xml")));
    form.Action("actOpen")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "HR Page"}));
    const auto dialogs = Ui.CallsOf(TUserInterfaceCallKind::OpenFile);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].File.Filter + dialogs[0].File.DefaultExt, "XML files (*.xml)|*.xml|All files (*.*)|*.*xml");

    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("sales_page.xml")));
    form.Action("actMerge")->trigger();
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "HR Page"}));
    EXPECT_EQ(CurrentModel->FileName, Data("hr_page.xml"));

    auto *reopen = Find<QMenu>("mnuReopen");
    ASSERT_EQ(reopen->actions().size(), 2);
    EXPECT_EQ(reopen->actions()[0]->data().toString(), Data("sales_page.xml"));
    EXPECT_EQ(reopen->actions()[1]->data().toString(), Data("hr_page.xml"));

    // A failed open leaves no page carrying the file's name.
    Ui.Clear();
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(Data("corrupt_page.xml")));
    form.Action("actOpen")->trigger();
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    for (auto &model : *OpenModels)
        EXPECT_NE(model->FileName, Data("corrupt_page.xml"));
    EXPECT_EQ(Ui.HourglassDepth(), 0);

    // Reopen items keep the ampersands of their path.
    Ui.Clear();
    Preferences->PreviousFiles = {"/tmp/R&D/missing.xml"};
    form.RebuildReopenMenu();
    ASSERT_EQ(reopen->actions().size(), 1);
    EXPECT_EQ(reopen->actions()[0]->text(), "/tmp/R&&D/missing.xml");
    reopen->actions()[0]->trigger();
    EXPECT_THAT(Ui.Messages().value(0).toStdString(), HasSubstr("/tmp/R&D/missing.xml"));
    EXPECT_EQ(Preferences->PreviousFiles, QStringList({"/tmp/R&D/missing.xml"}));
}

// The layout is stored at close only when asked, never by Exit, and comes
// back at the next start; a width never stored keeps the form's own, which
// shows the three tab captions whole.
TEST_F(ShellFixture, TheWindowsLayoutIsStoredAtCloseOnlyWhenAskedAndComesBack)
{
    Tfrmgui &form = Start({"file="});
    auto *navigator = Find<QTabWidget>("pgcNavigator");
    EXPECT_GE(Find<QSplitter>("splLeft")->sizes()[0], std::max(250, navigator->tabBar()->sizeHint().width()));
    Preferences->SaveOnExit = false;
    form.close();
    EXPECT_FALSE(QFile::exists(PreferencesFile()));
    Preferences->SaveOnExit = true;
    form.show();
    form.Action("actExit")->trigger();
    EXPECT_FALSE(QFile::exists(PreferencesFile()));
    form.show();
    Find<QSplitter>("splLeft")->setSizes({310, 600});
    navigator->setCurrentIndex(1);
    const int plan = Find<QWidget>("pnlPlan")->height();
    form.Action("actViewStatusBar")->trigger();
    form.close();
    Start({"file="});
    EXPECT_EQ(Find<QSplitter>("splLeft")->sizes()[0], 310);
    EXPECT_EQ(Preferences->PlanPanelHeight, plan);
    EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), 1);
    EXPECT_FALSE(Find<QStatusBar>("sbrMain")->isVisible());
}

// A disk that fills up while the program closes keeps the old preferences;
// the reason is shown at the next start, not in a box nobody waits for.
TEST_F(ShellFixture, PreferencesThatCannotBeStoredAtExitAreReportedNextStart)
{
    struct FullDisk : IFileSystemCalls {
        ssize_t Write(int, const void *, size_t) override
        {
            errno = ENOSPC;
            return -1;
        }
    } fullDisk;
    Tfrmgui &form = Start({"file="});
    Preferences->SaveOnExit = true;
    Preferences->SavePreferences();
    const QByteArray before = ReadFile(PreferencesFile());
    Find<QTabWidget>("pgcNavigator")->setCurrentIndex(1);
    TAtomicFile::SetSystemCalls(&fullDisk);
    form.close();
    TAtomicFile::SetSystemCalls(nullptr);
    EXPECT_TRUE(Ui.Messages().isEmpty());
    EXPECT_EQ(ReadFile(PreferencesFile()), before);

    Start({"file="});
    ASSERT_EQ(Ui.Messages().size(), 1);
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr("No space left on device"));
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr(PreferencesFile().toStdString()));
    Start({"file="});
    EXPECT_EQ(Ui.Messages().size(), 1);
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
    EXPECT_EQ(menu->actions()[0]->text() + menu->actions()[1]->text(), "SQL Editor ~ 1SQL Editor ~ 3");
    EXPECT_EQ(form.NextWindowNumber(), 3);
    menu->actions()[1]->trigger();
    EXPECT_TRUE(windows[2].isVisible());
    EXPECT_FALSE(windows[0].isVisible());
    form.UnregisterOpenWindow(&windows[0]);
    form.UnregisterOpenWindow(&windows[2]);
    EXPECT_TRUE(menu->actions().isEmpty());
    EXPECT_EQ(form.NextWindowNumber(), 1);
}

// Each tool window leaves the list as it closes, while the main window's close
// goes through that list: every window closes and the program lives on.
TEST_F(ShellFixture, ClosingTheMainWindowClosesEveryToolWindow)
{
    Tfrmgui &form = Start({"file="});
    for (const char *command : {"actSQLEditor", "actGenerateModelDDL", "actSQLEditor", "actGenerateModelDDL"})
        form.Action(command)->trigger();
    ASSERT_EQ(form.OpenWindows().size(), 4u);
    form.close();
    EXPECT_TRUE(form.OpenWindows().empty());
    EXPECT_TRUE(Find<QMenu>("mnuWindow")->actions().isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.findChildren<QWidget *>("frmSQLQuery").isEmpty());
}

static QString ItemLine(const QAction *a)
{
    if (a->isSeparator())
        return QStringLiteral("-") + (a->objectName().isEmpty() ? QString() : " " + a->objectName());
    QString line = (a->menu() ? a->menu()->objectName() : a->objectName()) + " \"" + a->text() + "\"";
    if (!a->shortcut().isEmpty())
        line += " " + a->shortcut().toString();
    if (!a->isEnabled())
        line += " [disabled]";
    if (a->isCheckable())
        line += a->isChecked() ? " [checked]" : " [unchecked]";
    return line;
}

static void DumpMenu(const QMenu *menu, int depth, QStringList &lines)
{
    for (const QAction *a : menu->actions()) {
        lines << QString(depth * 2, ' ') + ItemLine(a);
        if (a->menu())
            DumpMenu(a->menu(), depth + 1, lines);
    }
}

// The command table, the menus, the popup menus, the tool bars and the
// explorers' captions as a user meets them offline: names, captions, hints,
// shortcuts, checks and what is not built yet (disabled).
TEST_F(ShellFixture, CommandsMenusAndToolBarsAsListed)
{
    Tfrmgui &form = Start({"file="});
    QStringList lines{"[actlistMain]"};
    for (const QAction *a : Find<QObject>("actlistMain")->findChildren<QAction *>(Qt::FindDirectChildrenOnly)) {
        const int image = a->property("imageIndex").toInt();
        lines << ItemLine(a) + (a->statusTip().isEmpty() ? QString() : " hint \"" + a->statusTip() + "\"") +
                     (image >= 0 ? QStringLiteral(" image %1").arg(image) : QString());
    }
    lines << "[mnuMain]";
    for (const QAction *a : form.menuBar()->actions()) {
        lines << ItemLine(a);
        DumpMenu(a->menu(), 1, lines);
    }
    for (const char *popup : {"mnuModelTabs", "mnuModelExp"}) {
        lines << QStringLiteral("[%1]").arg(popup);
        DumpMenu(Find<QMenu>(popup), 0, lines);
    }
    for (const char *bar : {"tbarDiagram", "ToolBar2", "ToolBar1", "ToolBar3"}) {
        QStringList names;
        for (const QAction *a : Find<QToolBar>(bar)->actions())
            names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        lines << QStringLiteral("[%1] ").arg(bar) + names.join(' ');
    }
    auto *navigator = Find<QTabWidget>("pgcNavigator");
    lines << "[pgcNavigator] " + navigator->tabText(0) + "|" + navigator->tabText(1) + "|" + navigator->tabText(2);
    for (const char *button : {"sbtnRefreshTables", "sbtnRefreshObjs"})
        lines << QStringLiteral("[%1] ").arg(button) + Find<QWidget>(button)->toolTip();
    lines << "[lvwTables] " + Find<QTreeWidget>("lvwTables")->headerItem()->text(0);
    lines << "[sbrMain]";
    for (int i = 0; i < 4; ++i)
        lines.last() += QStringLiteral(" %1").arg(form.StatusPanel(i)->width());
    // Kept beside the shell's other test files rather than with the generated texts.
    expectGolden(QStringLiteral("../shell/main_menus.txt"), (lines.join('\n') + '\n').toUtf8());
}

TEST_F(ShellFixture, ViewItemsToggleTheirPanelsAndFollowTheirCommands)
{
    Tfrmgui &form = Start({"file="});
    for (auto [item, panel] : {std::pair{"mniViewPlan", "pnlPlan"}, std::pair{"mniViewTableList", "pnlLeft"},
                               std::pair{"mniToolBar", "cbarMain"}, std::pair{"mniViewStatusBar", "sbrMain"}}) {
        Find<QAction>(item)->trigger();
        EXPECT_FALSE(Find<QWidget>(panel)->isVisible()) << item;
        EXPECT_FALSE(Find<QAction>(item)->isChecked()) << item;
    }
    form.Action("actViewStatusBar")->trigger();
    EXPECT_TRUE(Find<QAction>("mniViewStatusBar")->isChecked());
    EXPECT_TRUE(Find<QWidget>("sbrMain")->isVisible());
    form.Action("actDatabaseBrowser")->trigger();
    EXPECT_EQ(Find<QTabWidget>("pgcNavigator")->currentIndex(), 2);

    // The console keeps its lines while closed.
    auto *item = Find<QAction>("mniConsole");
    item->trigger();
    EXPECT_TRUE(ConsoleForm->isVisible() && item->isChecked());
    const QStringList before = ConsoleForm->Lines();
    ConsoleForm->close();
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    EXPECT_TRUE(ConsoleForm->isVisible());
    EXPECT_EQ(ConsoleForm->Lines(), before);
}

namespace {

// A connected session that lists owners and the objects of the Entities list.
class TOwnerSession : public TFakeDatabaseSession, public IDictionaryLister {
public:
    QString FailOwnersWith;
    QStringList ListedOwners;
    std::unique_ptr<TOSResultSet> GetOwners() override
    {
        if (!FailOwnersWith.isEmpty())
            throw std::runtime_error(FailOwnersWith.toStdString());
        auto rs = std::make_unique<TOSResultSet>();
        rs->AddColumn("OWNER");
        for (const char *owner : {"HR", "SCOTT", "SYS"})
            rs->AddRow()->SetValue(0, QString::fromLatin1(owner));
        return rs;
    }
    QStringList ListTables(const QString &owner) override
    {
        ListedOwners << owner;
        return {"SCOTT.EMP", "HR.DEPT"};
    }
    QStringList ListObjectTables(const QString &) override { return {"SCOTT.ADDR_TAB"}; }
    QStringList ListTypes(const QString &) override { return {"HR.ADDRESS_T"}; }
};

} // namespace

// Logging on and off from the window's side: caption, owner filters, Entities list.
TEST_F(ShellFixture, OwnerFiltersPreferTheLastFilterThenTheUserInAnyCase)
{
    for (const QStringList &c : readCases("shell/owner_filters.txt")) {
        SCOPED_TRACE(c.join('|').toStdString());
        auto session = std::make_shared<TOwnerSession>();
        TLoginManager::SetSessionFactory([&](const TLogonValues &v) {
            session->Username = v.User;
            return session;
        });
        Preferences->LastFilter = c[0];
        Tfrmgui &form = Start({"OCIDLL=libclntsh.so", c[1] + "/s3cret@orcl"});
        EXPECT_EQ(form.windowTitle() + "|" + form.StatusPanelText(0), "Marrowtide -  " + c[1] + "@orcl|" + c[1] + "@orcl");
        EXPECT_TRUE(form.Action("actLogOff")->isEnabled());
        auto *tableOwners = Find<QComboBox>("cboTableOwners");
        auto *objOwners = Find<QComboBox>("cboObjOwners");
        ASSERT_EQ(tableOwners->count(), 4);
        EXPECT_EQ(tableOwners->itemText(0), "All Owners");
        EXPECT_EQ(tableOwners->currentText() + "|" + objOwners->currentText(), c[2] + "|" + c[2]);
        EXPECT_EQ(objOwners->count(), 4);
        EXPECT_EQ(session->ListedOwners, QStringList({c[3]}));

        auto *entities = Find<QTreeWidget>("lvwTables");
        QStringList items;
        for (int i = 0; i < entities->topLevelItemCount(); ++i)
            items << entities->topLevelItem(i)->text(0) + ":" +
                         entities->topLevelItem(i)->data(0, TGUIHelpers::KindRole).toString();
        EXPECT_EQ(items, QStringList({"HR.ADDRESS_T:2", "HR.DEPT:0", "SCOTT.ADDR_TAB:1", "SCOTT.EMP:0"}));

        form.Action("actLogOff")->trigger();
        EXPECT_EQ(tableOwners->count() + objOwners->count() + entities->topLevelItemCount(), 0);
        EXPECT_EQ(Preferences->LastFilter, "");
        EXPECT_EQ(form.windowTitle(), "Marrowtide -  OffLine");
        EXPECT_FALSE(form.Action("actLogOff")->isEnabled());
        EXPECT_TRUE(ConsoleLines().contains("Logged off, working offline."));
        EXPECT_FALSE(ConsoleLines().join('\n').contains("s3cret"));
        EXPECT_EQ(DatabaseSession, session); // logging off keeps the session object
        Form.reset();
    }
}

TEST_F(ShellFixture, AFailingOwnerQueryAtStartUpIsShownAndTheWindowOpens)
{
    auto session = std::make_shared<TOwnerSession>();
    session->FailOwnersWith = "ORA-03113: end-of-file on communication channel";
    TLoginManager::SetSessionFactory([&](const TLogonValues &) { return session; });
    Tfrmgui &form = Start({"scott/tiger@orcl"});
    EXPECT_EQ(Ui.Messages(), QStringList({"ORA-03113: end-of-file on communication channel"}));
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
}

TEST_F(ShellFixture, ADamagedPreferencesFileIsReportedAndLeftAsItIs)
{
    const QByteArray damaged = "<marrowtide_preferences><save_on_exit";
    WriteFile(PreferencesFile(), damaged);
    Tfrmgui &form = Start({"file="});
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_TRUE(Ui.Messages()[0].startsWith("Error loading preferences file: Error loading XML file " + PreferencesFile() + "\n"));
    EXPECT_THAT(Ui.Messages()[0].toStdString(), HasSubstr("A copy of the file was kept as \"" + PreferencesFile().toStdString() + ".damaged\"."));
    EXPECT_EQ(ReadFile(PreferencesFile() + ".damaged"), damaged);
    EXPECT_TRUE(Find<QStatusBar>("sbrMain")->isVisible());
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
    Preferences->SaveOnExit = true;
    form.close();
    EXPECT_EQ(ReadFile(PreferencesFile()), damaged);
}

TEST_F(ShellFixture, AnEmptyPageFillsTheScrollBoxWithoutScrollBars)
{
    Start({"file="});
    auto *box = Find<QScrollArea>("sboxDiagram");
    EXPECT_EQ(box->widget()->size(), box->maximumViewportSize());
    // The corner between the scroll bars shows the page's background, not black.
    EXPECT_EQ(box->palette().color(QPalette::Window), ColorToQColor(Preferences->DefaultStyle.BackgroundColour));
}

TEST_F(ShellFixture, DroppedFilesOpenAsPagesUntilOneFails)
{
    Tfrmgui &form = Start({"file="});
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(Data("hr_page.xml")), QUrl::fromLocalFile(Data("corrupt_page.xml")),
                  QUrl::fromLocalFile(Data("sales_page.xml"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    EXPECT_EQ(Diagram->Loaded, QStringList({Data("hr_page.xml")}));
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    // The file that failed adds no page: the one before it is shown.
    EXPECT_EQ(TabTexts(), QStringList({"New Model", "HR Page"}));
    EXPECT_EQ(ModelNames(), TabTexts());
    EXPECT_EQ(CurrentModel->Name, "HR Page");
}

// Files parsed on the worker while the splash is up open, fail and are
// reported just as files the window reads itself.
TEST_F(ShellFixture, CommandLineFilesParsedDuringTheSplashOpenAsAnyOther)
{
    const QString good = TempFile("good.xml"), corrupt = TempFile("corrupt.xml");
    {
        TDiagramObjectModel model;
        model.Name = "Good Page";
        model.Style.SetDefaultStyle();
        TXmlText::SaveLines(model.BuildDiagramXml(true), good);
        QFile file(corrupt);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<marrowtide_diagram version=\"1.1\">\r\n");
    }
    const QStringList parameters{"file=/no/such/page.xml", "file=" + good, "file=" + corrupt};
    TDiagramFilePreload::Start(Tfrmgui::CommandLineFileNames(parameters));
    Tfrmgui &form = StartWithCanvas(parameters);
    EXPECT_EQ(TabTexts(), QStringList({"Good Page"}));
    EXPECT_EQ(CurrentModel->FileName, good);
    EXPECT_EQ(Ui.Messages(), QStringList({"File not found: /no/such/page.xml",
                                          "Error loading XML file " + corrupt + "\nUnclosed element <marrowtide_diagram>"}));
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
    TDiagramFilePreload::Finish();
}

// What is no diagram file, named at start-up: a device is refused, a pipe is
// read once; neither ends the program nor holds up its window.
TEST_F(ShellFixture, CommandLineDevicesAndPipesNeitherAbortNorHang)
{
    const QString fifo = TempFile("fifo.xml");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Held open for reading, the pipe keeps the writer's text until the load reads it.
    const int holder = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    {
        TDiagramObjectModel model;
        model.Name = "Piped Page";
        WriteFile(fifo, TXmlText::ToFileBytes(model.BuildDiagramXml(true)));
    }
    const QStringList parameters{"file=/dev/zero", "file=" + fifo};
    TDiagramFilePreload::Start(Tfrmgui::CommandLineFileNames(parameters));
    Tfrmgui &form = StartWithCanvas(parameters);
    ::close(holder);
    EXPECT_EQ(TabTexts(), QStringList({"Piped Page"}));
    EXPECT_EQ(Ui.Messages(), QStringList({"Error loading XML file /dev/zero\nCannot open file \"/dev/zero\". It is not a "
                                          "file but a folder, a device or a socket."}));
    EXPECT_EQ(form.StatusPanelText(2), "v1.1.6");
    TDiagramFilePreload::Finish();
}
