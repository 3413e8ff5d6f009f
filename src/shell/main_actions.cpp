// The main window's commands: one action each, the menus and tool bars that show them.
#include "shell/main_form.h"

#include "dbtools/export_import_form.h"
#include "dbtools/extractor_form.h"
#include "dbtools/sql_query_form.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "platform/shell.h"
#include "platform/user_interface.h"
#include "shell/about_form.h"
#include "shell/action_icons.h"
#include "shell/agent_helper.h"
#include "shell/main_action_table.h"
#include "shell/preferences_form.h"
#include "shell/wizard_hooks.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include <algorithm>

namespace {

const char *const ImageIndexProperty = "imageIndex";
const char *const UserGuideAddress = "https://marrowtide.example.org/guide/";

} // namespace

QAction *Tfrmgui::Action(const QString &name) const { return findChild<QAction *>(name); }

void Tfrmgui::Guarded(const std::function<void()> &command) { ShowExceptions(command); }

void Tfrmgui::CreateActions()
{
    for (const TMainActionSpec &spec : MainActionTable()) {
        auto *action = new QAction(QString::fromUtf8(spec.Caption), actlistMain);
        action->setObjectName(QLatin1String(spec.Name));
        if (*spec.Hint) {
            action->setToolTip(QString::fromUtf8(spec.Hint));
            action->setStatusTip(QString::fromUtf8(spec.Hint));
        }
        if (*spec.Shortcut) {
            action->setShortcut(QKeySequence(QString::fromLatin1(spec.Shortcut), QKeySequence::PortableText));
            // Qt counts a tool window as part of the window that owns it, so a
            // window shortcut would take Delete or Ctrl+C typed in a result grid
            // or the console: the keys act only while the focus is in this window.
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        if (spec.Check != TActionCheck::None) {
            action->setCheckable(true);
            action->setChecked(spec.Check == TActionCheck::Checked);
        }
        action->setProperty(ImageIndexProperty, spec.Image);
        action->setIcon(TActionIcons::Icon(spec.Image));
    }
    // The shortcuts work wherever the focus is in the window.
    addActions(actlistMain->findChildren<QAction *>(Qt::FindDirectChildrenOnly));
}

void Tfrmgui::Bind(QAction *item, std::function<void()> handler, std::function<bool()> available)
{
    connect(item, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    Bindings_.push_back({item, std::move(available)});
}

void Tfrmgui::Bind(const char *name, std::function<void()> handler, std::function<bool()> available)
{
    Bind(Action(QLatin1String(name)), std::move(handler), std::move(available));
}

void Tfrmgui::BindCommands()
{
    // A command whose target is not part of this build has no binding here
    // and stays disabled: a menu item never silently does nothing.
    // File
    Bind("actNewPage", [this] { NewModelPage(); Diagram_->RefreshExplorerTree(); });
    Bind("actOpen", [this] { actOpenExecute(); });
    Bind("actMerge", [this] { actMergeExecute(); });
    Bind("actSave", [this] { actSaveExecute(); });
    Bind("actSaveAs", [this] { actSaveAsExecute(); });
    Bind("actClosePage", [this] { mniClosePageClick(); });
    Bind("actCloseAllPages", [this] { actCloseAllPagesExecute(); });
    Bind("actSaveAsPicture", [this] { actSaveAsPictureExecute(); });
    Bind("actPrint", [this] { Diagram_->Print(); });
    Bind("actPrintSetup", [this] { PrintSetupExecute(); });
    Bind("actPrintPreview", [this] { Diagram_->PrintPreview(this); });
    Bind("actCloneInstance", [] { actCloneInstanceExecute(); });
    Bind("actNewInstance", [] { actNewInstanceExecute(); });
    Bind("actExit", [this] { actExitExecute(); });
    // Diagram
    Bind("actRefresh", [this] { Diagram_->Rebuild(); });
    Bind("actLayoutDiagram", [this] { actLayoutDiagramExecute(); });
    Bind("actFind", [this] { actFindExecute(); });
    Bind("actRenameDiagram", [this] { actRenameDiagramExecute(); });
    Bind("actCreateNote", [] { TWizardHooks::CreateNoteOnPage(); });
    Bind("actCreateTable", [] { TWizardHooks::CreateTableOnPage(); });
    Bind("actCompareModels", [] { TWizardHooks::CompareModels(); });
    // View: the check is the state; the commands follow it.
    const auto toggle = [this](const char *name, std::function<void(bool)> apply) {
        QAction *a = Action(QLatin1String(name));
        connect(a, &QAction::toggled, this, [apply](bool c) { apply(c); });
        Bindings_.push_back({a, {}});
    };
    toggle("actViewToolbar", [this](bool c) { cbarMain->setVisible(c); });
    toggle("actPlanView", [this](bool c) { pnlPlan->setVisible(c); });
    toggle("actViewTableList", [this](bool c) { pnlLeft->setVisible(c); });
    toggle("actViewStatusBar", [this](bool c) { sbrMain->setVisible(c); });
    Bind("actFullScreen", [this] { actFullScreenExecute(); });
    Bind("actConsole", [this] { actConsoleExecute(); });
    // Session
    Bind("actLogOn", [this] { LogOn(); });
    Bind("actLogOff", [this] { actLogOffExecute(); });
    Bind("actShowIniFile", [] { actShowIniFileExecute(); });
    Bind("actExtractMetaData", [] { TfrmExtractor::Create(); });
    Bind("actExportImport", [] { TfrmExportImport::Create(); });
    // Tools
    Bind("actDatabaseBrowser", [this] { pgcNavigator->setCurrentIndex(2); });
    Bind("actGenerateModelDDL", [this] { actGenerateModelDDLExecute(); });
    Bind("actGenDeltaDDL", [this] { actGenDeltaDDLExecute(); });
    Bind("actSQLEditor", [] {
        TfrmSQLQuery *editor = TfrmSQLQuery::Create();
        editor->SetSQLText(QString());
        editor->LoadLastSQL();
    });
    Bind("actSQLScriptEditor", [] {
        TfrmSQLQuery *editor = TfrmSQLQuery::Create();
        editor->SetSQLText(QString());
        editor->SetScriptMode(true);
    });
    Bind("actSQLPlus", [] { actSQLPlusExecute(); });
    Bind("actPreferences", [this] {
        TfrmPreferences preferences(this);
        preferences.Execute();
    });
    // Help
    Bind("actTutorial1", [this] { TAgentHelper::RunTutorial(TAgentHelper::FindTargets(this)); });
    Bind("actHomePage", [] { THelpers::OpenHomePage(); });
    Bind("actUserGuide", [] { THelpers::OpenUrl(QString::fromLatin1(UserGuideAddress)); });
    Bind("actAbout", [this] {
        Tfrmabout about(this);
        about.setWindowOpacity(240.0 / 255.0);
        about.exec();
    });
    // Menu items with handlers of their own.
    const auto properties = [this] { actRenameDiagramExecute(); };
    Bind(findChild<QAction *>(QStringLiteral("mniProperties")), properties);
    Bind(findChild<QAction *>(QStringLiteral("mniExpProperties")), properties);
    Bind(findChild<QAction *>(QStringLiteral("mniPrintSetup")), [this] { PrintSetupExecute(); });
}

void Tfrmgui::UpdateActionStates()
{
    const bool connected = THelpers::IsConnected();
    std::vector<QAction *> bound;
    for (const TCommandBinding &binding : Bindings_) {
        bound.push_back(binding.Item);
        binding.Item->setEnabled(!binding.Available || binding.Available());
    }
    for (const TMainActionSpec &spec : MainActionTable()) {
        QAction *action = Action(QLatin1String(spec.Name));
        if (std::find(bound.begin(), bound.end(), action) == bound.end())
            action->setEnabled(false);
        else if (spec.Need == TActionNeed::Session && !connected)
            action->setEnabled(false);
    }
}

void Tfrmgui::CreateMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuMain"));
    const auto menu = [](QMenu *parent, const char *name, const QString &title) {
        QMenu *m = parent->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    const auto top = [bar](const char *name, const QString &title) {
        QMenu *m = bar->addMenu(title);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    const auto add = [this](QMenu *m, std::initializer_list<const char *> names) {
        for (const char *name : names) {
            if (!*name)
                m->addSeparator();
            else
                m->addAction(Action(QLatin1String(name)));
        }
    };
    QMenu *file = top("mniFile", QStringLiteral("&File"));
    add(file, {"actNewPage", "", "actOpen"});
    mnuReopen = menu(file, "mnuReopen", QStringLiteral("Reopen"));
    mnuReopen->menuAction()->setToolTip(QStringLiteral("Reopen a saved diagram"));
    add(file, {"actMerge", "", "actSave", "actSaveAs", "actClosePage", "actCloseAllPages", "",
               "actSaveAsPicture", "", "actPrint"});
    QAction *printSetup = file->addAction(QStringLiteral("Print setup..."));
    printSetup->setObjectName(QStringLiteral("mniPrintSetup"));
    add(file, {"", "actCloneInstance", "actNewInstance", "", "actExit"});

    QMenu *session = top("mniSession", QStringLiteral("&Session"));
    // The copy-script tool has no other way in.
    add(session, {"actLogOn", "actLogOff", "", "actShowIniFile", "", "actExtractMetaData", "actExportImport"});

    QMenu *edit = top("mniEdit", QStringLiteral("&Edit"));
    add(edit, {"actCut", "actCopy", "actPaste", "actHide", "", "actSelectAll"});

    QMenu *diagram = top("mniDiagram", QStringLiteral("&Diagram"));
    add(diagram, {"actRefresh", "", "actLayoutDiagram"});
    QMenu *columns = menu(diagram, "mniShowColumns", QStringLiteral("Show Columns"));
    add(columns, {"actShowAllColumns", "actShowOnlyKeyCols", "actFoldAll", "", "actShowDataTypes",
                  "actHideDataTypes", "actShowComments", "actHideComments", ""});
    QAction *byCreation = columns->addAction(QStringLiteral("Sort by Creation Order"));
    byCreation->setObjectName(QStringLiteral("mniSortByCreation"));
    byCreation->setEnabled(false);
    add(columns, {"actSortAllAlpha", "actSortAllKeys"});
    add(diagram, {"", "actFind", "actCompareModels", "", "actRenameDiagram", "actCreateNote",
                  "actCreateTable", "", "actZoomIn", "actZoomOut"});

    // The View items carry the check their commands toggle; two read
    // differently from their command.
    QMenu *view = top("mniView", QStringLiteral("&View"));
    const auto checkItem = [this, view](const char *name, const char *action, const QString &caption) {
        QAction *command = Action(QLatin1String(action));
        QAction *item = view->addAction(caption.isEmpty() ? command->text() : caption);
        item->setObjectName(QLatin1String(name));
        item->setCheckable(true);
        item->setChecked(command->isChecked());
        item->setToolTip(command->toolTip());
        item->setStatusTip(command->statusTip());
        connect(item, &QAction::triggered, command, [command] { command->trigger(); });
        connect(command, &QAction::toggled, item, &QAction::setChecked);
        connect(command, &QAction::changed, item, [item, command] { item->setEnabled(command->isEnabled()); });
    };
    checkItem("mniToolBar", "actViewToolbar", QStringLiteral("&Tool Bar"));
    checkItem("mniViewPlan", "actPlanView", {});
    checkItem("mniViewTableList", "actViewTableList", QStringLiteral("Browsers"));
    checkItem("mniViewStatusBar", "actViewStatusBar", {});
    checkItem("mniFullScreen", "actFullScreen", {});
    checkItem("mniConsole", "actConsole", {});

    mniTools = top("mniTools", QStringLiteral("&Tools"));
    add(mniTools, {"actPreferences", "actDatabaseBrowser", "actGenerateModelDDL",
                   "actGenerateSelectedDDL", "", "actGenDeltaDDL", "", "actSQLEditor",
                   "actSQLScriptEditor", "actSQLPlus"});
    mniTools->addSeparator()->setObjectName(QStringLiteral("mniUserToolDivider"));

    mnuWindow = top("mnuWindow", QStringLiteral("&Window"));

    QMenu *help = top("mniHelp", QStringLiteral("&Help"));
    QMenu *tutor = menu(help, "mniTutor", QStringLiteral("Tutor"));
    add(tutor, {"actTutorial1"});
    add(help, {"", "actHomePage", "actUserGuide", "actAbout"});

    // Popup menus.
    mnuModelTabs = new QMenu(this);
    mnuModelTabs->setObjectName(QStringLiteral("mnuModelTabs"));
    QAction *closePage = mnuModelTabs->addAction(QStringLiteral("Close Page"));
    closePage->setObjectName(QStringLiteral("mniClosePage"));
    connect(closePage, &QAction::triggered, this, [this] { Guarded([this] { mniClosePageClick(); }); });
    mnuModelTabs->addSeparator();
    QAction *properties = mnuModelTabs->addAction(QStringLiteral("Properties..."));
    properties->setObjectName(QStringLiteral("mniProperties"));
    QAction *newPage = mnuModelTabs->addAction(QStringLiteral("New Page"));
    newPage->setObjectName(QStringLiteral("mniNewPage"));
    connect(newPage, &QAction::triggered, this,
            [this] { Guarded([this] { NewModelPage(); Diagram_->RefreshExplorerTree(); }); });

    mnuModelExp = new QMenu(this);
    mnuModelExp->setObjectName(QStringLiteral("mnuModelExp"));
    QAction *expClose = mnuModelExp->addAction(QStringLiteral("&Close Page"));
    expClose->setObjectName(QStringLiteral("mniExpClosePage"));
    connect(expClose, &QAction::triggered, this, [this] { Guarded([this] { mniClosePageClick(); }); });
    mnuModelExp->addSeparator();
    QAction *expProperties = mnuModelExp->addAction(QStringLiteral("&Properties..."));
    expProperties->setObjectName(QStringLiteral("mniExpProperties"));

    mnuDBExplorer = new QMenu(this);
    mnuDBExplorer->setObjectName(QStringLiteral("mnuDBExplorer"));
    mnuEntitiesExplorer = new QMenu(this);
    mnuEntitiesExplorer->setObjectName(QStringLiteral("mnuEntitiesExplorer"));
}

void Tfrmgui::CreateToolBars()
{
    cbarMain = new QWidget(this);
    cbarMain->setObjectName(QStringLiteral("cbarMain"));
    auto *layout = new QHBoxLayout(cbarMain);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(6);
    const auto bar = [this, layout](const char *name, std::initializer_list<const char *> names) {
        auto *tb = new QToolBar(cbarMain);
        tb->setObjectName(QLatin1String(name));
        tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
        tb->setIconSize(QSize(20, 20));
        for (const char *n : names) {
            if (!*n) {
                tb->addSeparator();
                continue;
            }
            tb->addAction(Action(QLatin1String(n)));
        }
        layout->addWidget(tb);
    };
    bar("tbarDiagram", {"actNewPage", "", "actOpen", "actSave", "actSaveAsPicture", "", "actPrint",
                        "actPrintPreview"});
    bar("ToolBar2", {"actRefresh", "actLayoutDiagram", "actFind", "actZoomIn", "actZoomOut"});
    bar("ToolBar1", {"actPreferences", "actDatabaseBrowser", "actGenerateModelDDL", "actSQLEditor"});
    bar("ToolBar3", {"actCreateTable"});
    layout->addStretch();
}
