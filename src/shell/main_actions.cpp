// The main window's commands: one action each, the menus and tool bars that show them.
#include "shell/main_form.h"

#include "dbtools/export_import_form.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "platform/shell.h"
#include "platform/user_interface.h"
#include "shell/about_form.h"
#include "shell/wizard_hooks.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>

namespace {

const char *const UserGuideAddress = "https://marrowtide.example.org/guide/";

// Commands whose behaviour comes with the canvas commands, printing, the
// dialogs or the database tools: present, named and disabled until then.
const char *const LaterActions[] = {
    "actPrint", "actPrintSetup", "actPrintPreview",
    "actCut", "actCopy", "actPaste", "actHide", "actSelectAll",
    "actFind", "actZoomIn", "actZoomOut", "actRenameDiagram", "actShowAllColumns", "actShowOnlyKeyCols", "actFoldAll",
    "actShowDataTypes", "actHideDataTypes", "actShowComments", "actHideComments",
    "actSortAllAlpha", "actSortAllKeys", "actSortByCreation", "actPreferences",
    "actGenerateModelDDL", "actGenerateSelectedDDL", "actGenDeltaDDL", "actSQLEditor",
    "actSQLScriptEditor", "actSQLPlus", "actTutorial1", "actShowIniFile", "actExtractMetaData",
    "actExportImport", "actLogOff"};

// A small picture for a tool button: the first letters of the command's caption.
QIcon ToolIcon(QString caption)
{
    caption.remove(QLatin1Char('&'));
    caption.remove(QLatin1String("..."));
    const QStringList words = caption.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString letters;
    for (const QString &w : words.mid(0, 2))
        letters += w.at(0).toUpper();
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(0x2f, 0x4f, 0x7f));
    p.setBrush(QColor(0xe4, 0xec, 0xf7));
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 19), 3, 3);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.drawText(pixmap.rect(), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

// The desktop's own pictures for the commands it has one for; letters for the rest.
QIcon StandardToolIcon(QStyle *style, const QString &action, const QString &caption)
{
    static const QHash<QString, QStyle::StandardPixmap> pictures = {
        {QStringLiteral("actNewPage"), QStyle::SP_FileIcon},
        {QStringLiteral("actOpen"), QStyle::SP_DialogOpenButton},
        {QStringLiteral("actSave"), QStyle::SP_DialogSaveButton},
        {QStringLiteral("actRefresh"), QStyle::SP_BrowserReload},
        {QStringLiteral("actDatabaseBrowser"), QStyle::SP_DriveNetIcon},
    };
    const auto it = pictures.constFind(action);
    if (it != pictures.constEnd()) {
        const QIcon icon = style->standardIcon(it.value());
        if (!icon.isNull())
            return icon;
    }
    return ToolIcon(caption);
}

} // namespace

QAction *Tfrmgui::AddAction(const char *name, const QString &caption, const QString &hint,
                            const QKeySequence &shortcut)
{
    auto *action = new QAction(caption, actlistMain);
    action->setObjectName(QLatin1String(name));
    if (!hint.isEmpty()) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction *Tfrmgui::Action(const QString &name) const { return findChild<QAction *>(name); }

void Tfrmgui::Guarded(const std::function<void()> &command) { ShowExceptions(command); }

void Tfrmgui::CreateActions()
{
    const auto on = [this](QAction *action, std::function<void()> handler) {
        connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
    };
    // File
    on(AddAction("actNewPage", QStringLiteral("&New Page"), QStringLiteral("Create a new page")),
       [this] { NewModelPage(); Diagram_->RefreshExplorerTree(); });
    on(AddAction("actOpen", QStringLiteral("&Open..."), QStringLiteral("Open a saved diagram")),
       [this] { actOpenExecute(); });
    AddAction("Reopen", QStringLiteral("Reopen"), QStringLiteral("Reopen a saved diagram"));
    on(AddAction("actMerge", QStringLiteral("&Merge..."), QStringLiteral("Merge a saved diagram")),
       [this] { actMergeExecute(); });
    on(AddAction("actSave", QStringLiteral("&Save"), QStringLiteral("Save diagram")), [this] { actSaveExecute(); });
    on(AddAction("actSaveAs", QStringLiteral("Save &As.."), QStringLiteral("Save diagram as..")),
       [this] { actSaveAsExecute(); });
    on(AddAction("actClosePage", QStringLiteral("&Close Page"), QStringLiteral("Close the current page")),
       [this] { mniClosePageClick(); });
    on(AddAction("actCloseAllPages", QStringLiteral("Close All Pages"), QStringLiteral("Closes all the open pages")),
       [this] { actCloseAllPagesExecute(); });
    on(AddAction("actSaveAsPicture", QStringLiteral("Save as Picture..."), QStringLiteral("Save diagram as a picture")),
       [this] { actSaveAsPictureExecute(); });
    AddAction("actPrint", QStringLiteral("&Print"), QStringLiteral("Print diagram"), QKeySequence(Qt::CTRL | Qt::Key_P));
    AddAction("actPrintSetup", QStringLiteral("Print Set&up"), QStringLiteral("Print Setup"));
    AddAction("actPrintPreview", QStringLiteral("Print Preview..."), QStringLiteral("Print Preview"));
    on(AddAction("actCloneInstance", QStringLiteral("Clone Instance...")), [] {
        TProgramStart start;
        start.Program = QCoreApplication::applicationFilePath();
        // The new instance logs on with these values; they travel in its
        // environment so the password is never on a command line.
        if (THelpers::IsConnected())
            start.Environment.insert(QStringLiteral("MARROWTIDE_LOGON"),
                                     DatabaseSession->GetUsername() + QLatin1Char('/') +
                                         DatabaseSession->GetPassword() + QLatin1Char('@') +
                                         DatabaseSession->GetDatabase());
        TShell::StartProgram(start);
    });
    on(AddAction("actNewInstance", QStringLiteral("&New Instance...")),
       [] { TShell::StartProgram(QCoreApplication::applicationFilePath(), {}); });
    on(AddAction("actExit", QStringLiteral("E&xit"), QStringLiteral("Exit Marrowtide"), QKeySequence(Qt::ALT | Qt::Key_F4)),
       [this] { actExitExecute(); });
    // Edit
    AddAction("actCut", QStringLiteral("Cu&t"), QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X));
    AddAction("actCopy", QStringLiteral("&Copy"), QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C));
    AddAction("actPaste", QStringLiteral("&Paste"), QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V));
    AddAction("actHide", QStringLiteral("&Hide"), QStringLiteral("Hide selected"), QKeySequence(Qt::Key_Delete));
    AddAction("actSelectAll", QStringLiteral("Select &All"), QStringLiteral("Select all"), QKeySequence(Qt::CTRL | Qt::Key_A));
    // Diagram
    on(AddAction("actRefresh", QStringLiteral("&Refresh"), QStringLiteral("Refresh Diagram"), QKeySequence(Qt::Key_F5)),
       [this] { Diagram_->Rebuild(); });
    on(AddAction("actLayoutDiagram", QStringLiteral("&Layout Diagram"), QStringLiteral("Layout Diagram")),
       [this] { actLayoutDiagramExecute(); });
    AddAction("actFind", QStringLiteral("&Find..."), QStringLiteral("Find Object"), QKeySequence(Qt::CTRL | Qt::Key_F));
    AddAction("actZoomIn", QStringLiteral("Zoom &In"), QStringLiteral("Zoom In"));
    AddAction("actZoomOut", QStringLiteral("Zoom &Out"), QStringLiteral("Zoom Out"));
    on(AddAction("actCreateNote", QStringLiteral("Create &Note..."), QStringLiteral("Create Note")),
       [] { TWizardHooks::CreateNoteOnPage(); });
    on(AddAction("actCreateTable", QStringLiteral("Create &Table..."), QStringLiteral("Create Table")),
       [] { TWizardHooks::CreateTableOnPage(); });
    AddAction("actRenameDiagram", QStringLiteral("R&ename Diagram..."));
    on(AddAction("actCompareModels", QStringLiteral("&Compare Models..."), QStringLiteral("Compare Models")),
       [] { TWizardHooks::CompareModels(); });
    AddAction("actShowAllColumns", QStringLiteral("&All"));
    AddAction("actShowOnlyKeyCols", QStringLiteral("&Only Keys"));
    AddAction("actFoldAll", QStringLiteral("&None"));
    AddAction("actShowDataTypes", QStringLiteral("Show Data Types"));
    AddAction("actHideDataTypes", QStringLiteral("Hide Data Types"));
    AddAction("actShowComments", QStringLiteral("Show Comments"));
    AddAction("actHideComments", QStringLiteral("Hide Comments"));
    AddAction("actSortAllAlpha", QStringLiteral("Sort Alphabetical"));
    AddAction("actSortAllKeys", QStringLiteral("Sort by Keys"));
    AddAction("actSortByCreation", QStringLiteral("actSortByCreation"));
    // View
    const auto toggle = [this](const char *name, const QString &caption, const QString &hint, bool checked,
                               std::function<void(bool)> apply) {
        QAction *a = AddAction(name, caption, hint);
        a->setCheckable(true);
        a->setChecked(checked);
        connect(a, &QAction::toggled, this, [apply](bool c) { apply(c); });
        return a;
    };
    toggle("actViewToolbar", QStringLiteral("&Toolbar"), QStringLiteral("View Toolbar"), true,
           [this](bool c) { cbarMain->setVisible(c); });
    toggle("actPlanView", QStringLiteral("&Plan View"), {}, true, [this](bool c) { pnlPlan->setVisible(c); });
    toggle("actViewTableList", QStringLiteral("Table List"), QStringLiteral("View Table List"), true,
           [this](bool c) { pnlLeft->setVisible(c); });
    toggle("actViewStatusBar", QStringLiteral("Status Bar"), QStringLiteral("View Status Bar"), true,
           [this](bool c) { sbrMain->setVisible(c); });
    QAction *fullScreen = AddAction("actFullScreen", QStringLiteral("Full Screen"));
    fullScreen->setCheckable(true);
    connect(fullScreen, &QAction::triggered, this, [this] { Guarded([this] { actFullScreenExecute(); }); });
    QAction *console = AddAction("actConsole", QStringLiteral("Console"));
    console->setCheckable(true);
    connect(console, &QAction::triggered, this, [this] { actConsoleExecute(); });
    // Session
    on(AddAction("actLogOn", QStringLiteral("&Log On..."), QStringLiteral("Log On")), [this] { LogOn(); });
    on(AddAction("actLogOff", QStringLiteral("Log &Off"), QStringLiteral("Log Off")), [this] { actLogOffExecute(); });
    AddAction("actShowIniFile", QStringLiteral("Open tnsnames.ora..."), QStringLiteral("Open tnsnames.ora..."));
    AddAction("actExtractMetaData", QStringLiteral("Extract Meta Data"));
    on(AddAction("actExportImport", QStringLiteral("Export and Import")), [] { TfrmExportImport::Create(); });
    // Tools
    AddAction("actPreferences", QStringLiteral("&Preferences..."), QStringLiteral("Edit preferences"));
    on(AddAction("actDatabaseBrowser", QStringLiteral("&Database Explorer"), QStringLiteral("Database Explorer")),
       [this] { pgcNavigator->setCurrentIndex(2); });
    AddAction("actGenerateModelDDL", QStringLiteral("&Generate DDL..."), QStringLiteral("Generate Model DDL"));
    AddAction("actGenerateSelectedDDL", QStringLiteral("&Generate DDL for Selected..."),
              QStringLiteral("Generate Seleted Model Elements DDL"));
    AddAction("actGenDeltaDDL", QStringLiteral("Generate DB Delta DDL..."));
    AddAction("actSQLEditor", QStringLiteral("&SQL Editor..."), QStringLiteral("Open SQL Editor"));
    AddAction("actSQLScriptEditor", QStringLiteral("SQL Script Editor..."), QStringLiteral("Open SQL Script Editor"));
    AddAction("actSQLPlus", QStringLiteral("&Run SQLPlus..."));
    // Help
    AddAction("actTutorial1", QStringLiteral("Understanding Marrowtide"));
    on(AddAction("actHomePage", QStringLiteral("Marrowtide Home Page")), [] { THelpers::OpenHomePage(); });
    on(AddAction("actUserGuide", QStringLiteral("&Online User Guide")),
       [] { THelpers::OpenUrl(QString::fromLatin1(UserGuideAddress)); });
    on(AddAction("actAbout", QStringLiteral("&About"), QStringLiteral("About Marrowtide")), [this] {
        Tfrmabout about(this);
        about.setWindowOpacity(240.0 / 255.0);
        about.exec();
    });

    for (const char *name : LaterActions)
        Action(QLatin1String(name))->setEnabled(false);
    // The shortcuts work wherever the focus is in the window.
    addActions(actlistMain->findChildren<QAction *>(Qt::FindDirectChildrenOnly));
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
    printSetup->setEnabled(false);
    add(file, {"", "actCloneInstance", "actNewInstance", "", "actExit"});

    QMenu *session = top("mniSession", QStringLiteral("&Session"));
    add(session, {"actLogOn", "actLogOff", "", "actShowIniFile", "", "actExtractMetaData"});

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
    properties->setEnabled(false);
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
    expProperties->setEnabled(false);

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
            QAction *a = Action(QLatin1String(n));
            if (a->icon().isNull())
                a->setIcon(StandardToolIcon(style(), a->objectName(), a->text()));
            tb->addAction(a);
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
