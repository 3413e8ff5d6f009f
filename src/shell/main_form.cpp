#include "shell/main_form.h"

#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "dbtools/login_manager.h"
#include "model/diagram_object_model.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "model/result_set.h"
#include "platform/color.h"
#include "platform/config_settings.h"
#include "platform/shell.h"
#include "platform/user_interface.h"
#include "shell/about_form.h"
#include "shell/console_form.h"
#include "shell/canvas_main_diagram.h"
#include "shell/main_diagram.h"
#include "shell/plan_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QStyle>
#include <QHash>
#include <QScopeGuard>
#include <QScreen>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

Tfrmgui *MainForm = nullptr;

namespace {

const QString Version = QStringLiteral("v1.1.6");
const QString XmlFilter = QStringLiteral("XML files (*.xml)|*.xml|All files (*.*)|*.*");
const QString PictureFilter = QStringLiteral("GIF Files (*.gif)|*.gif|JPEG files (*.jpg)|*.jpg|Bitmap files "
                                             "(*.bmp)|*.bmp|Windows Meta files (*.wmf)|*.wmf|All files (*.*)|*.*");
const char *const UserGuideAddress = "https://marrowtide.example.org/guide/";

// Commands whose behaviour comes with the canvas commands, printing, the
// dialogs or the database tools: present, named and disabled until then.
const char *const LaterActions[] = {
    "actPrint", "actPrintSetup", "actPrintPreview",
    "actCut", "actCopy", "actPaste", "actHide", "actSelectAll",
    "actFind", "actZoomIn", "actZoomOut", "actCreateNote", "actCreateTable", "actRenameDiagram",
    "actCompareModels", "actShowAllColumns", "actShowOnlyKeyCols", "actFoldAll",
    "actShowDataTypes", "actHideDataTypes", "actShowComments", "actHideComments",
    "actSortAllAlpha", "actSortAllKeys", "actSortByCreation", "actPreferences",
    "actGenerateModelDDL", "actGenerateSelectedDDL", "actGenDeltaDDL", "actSQLEditor",
    "actSQLScriptEditor", "actSQLPlus", "actTutorial1", "actShowIniFile", "actExtractMetaData",
    "actExportImport", "actLogOff"};

QString EscapeAmpersands(QString text) { return text.replace(QLatin1Char('&'), QLatin1String("&&")); }

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

Tfrmgui::Tfrmgui(const QStringList &parameters, std::unique_ptr<IMainDiagram> diagram, QWidget *owner)
    : QMainWindow(owner), Parameters_(parameters),
      Diagram_(std::move(diagram))
{
    if (!Diagram_) {
        auto canvas = std::make_unique<TCanvasMainDiagram>();
        canvas->ObjectCountChanged = [this](const QString &text) {
            if (Panels_[1])
                Panels_[1]->setText(text);
        };
        Diagram_ = std::move(canvas);
    }
    setObjectName(QStringLiteral("frmgui"));
    setWindowTitle(QStringLiteral("Marrowtide"));
    resize(857, 651);
    MainForm = this;
    TWindowRegistry::Current = this;

    ConsoleForm = new TfrmConsole(this);
    ConsoleForm->OnVisibilityChosen = [this](bool visible) {
        if (QAction *a = Action(QStringLiteral("actConsole")))
            a->setChecked(visible);
    };

    actlistMain = new QObject(this);
    actlistMain->setObjectName(QStringLiteral("actlistMain"));
    CreateActions();
    CreateMenus();
    CreateToolBars();
    CreatePanels();

    pgcNavigator->setCurrentIndex(0);
    splLeft->setSizes({250, width() - 250});

    Preferences->FileName = TGUIHelpers::GetPreferencesFileName();
    // A damaged preferences file is reported and the defaults serve; the
    // program still starts, and closing it leaves the file as it is.
    Guarded([] { Preferences->LoadPreferences(); });
    // The preferences could not be stored when the program last closed: the
    // user learns it now, with the reason, and the old file is still in use.
    const QString exitFailure = TConfigSettings::TakeExitFailure();
    if (!exitFailure.isEmpty())
        UserInterface().ShowError(exitFailure);
    Preferences->BuildToolsMenu(mniTools);
    TConsoleHelper::WriteLine(QStringLiteral("Loaded preferences file: \"") + Preferences->FileName +
                              QLatin1Char('"'));

    CreateDiagram();
    RebuildReopenMenu();
    // A dictionary query that fails while the owner lists are filled is shown;
    // the window still opens.
    Guarded([this] { DoLogOn(true); });
    setAcceptDrops(true);

    pgcNavigator->setCurrentIndex(qBound(0, Preferences->ExplorersTabIndex, pgcNavigator->count() - 1));
    if (Preferences->LeftPanelWidth > 0)
        splLeft->setSizes({Preferences->LeftPanelWidth, qMax(1, width() - Preferences->LeftPanelWidth)});
    if (Preferences->PlanPanelHeight > 0)
        Splitter2->setSizes({Preferences->PlanPanelHeight, qMax(1, 500 - Preferences->PlanPanelHeight)});
    // A preferences file never written (or unreadable) keeps the window's own
    // status bar, as it keeps the window's own panel sizes: the version shows.
    const bool stored = QFileInfo::exists(Preferences->FileName) && !Preferences->LoadFailed();
    const bool showStatusBar = stored ? Preferences->ShowStatusBar : true;
    Action(QStringLiteral("actViewStatusBar"))->setChecked(showStatusBar);
    sbrMain->setVisible(showStatusBar);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Tfrmgui::~Tfrmgui()
{
    if (TWindowRegistry::Current == this)
        TWindowRegistry::Current = nullptr;
    if (MainForm == this)
        MainForm = nullptr;
    CurrentDiagram = nullptr;
    ModelTreeView = nullptr;
    DBObjectTreeView = nullptr;
    for (auto &model : *OpenModels)
        model->TreeView = nullptr;
}

// ---------------------------------------------------------------------------
// Construction

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
    AddAction("actCreateNote", QStringLiteral("Create &Note..."), QStringLiteral("Create Note"));
    AddAction("actCreateTable", QStringLiteral("Create &Table..."), QStringLiteral("Create Table"));
    AddAction("actRenameDiagram", QStringLiteral("R&ename Diagram..."));
    AddAction("actCompareModels", QStringLiteral("&Compare Models..."), QStringLiteral("Compare Models"));
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
    AddAction("actExportImport", QStringLiteral("Export and Import"));
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

void Tfrmgui::CreatePanels()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("pnlClient"));
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(cbarMain);

    splLeft = new QSplitter(Qt::Horizontal, central);
    splLeft->setObjectName(QStringLiteral("splLeft"));
    splLeft->setChildrenCollapsible(false);
    centralLayout->addWidget(splLeft, 1);

    pnlLeft = new QWidget;
    pnlLeft->setObjectName(QStringLiteral("pnlLeft"));
    auto *leftLayout = new QVBoxLayout(pnlLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    Splitter2 = new QSplitter(Qt::Vertical, pnlLeft);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setChildrenCollapsible(false);
    leftLayout->addWidget(Splitter2);

    pnlPlan = new QWidget;
    pnlPlan->setObjectName(QStringLiteral("pnlPlan"));
    auto *planLayout = new QVBoxLayout(pnlPlan);
    planLayout->setContentsMargins(1, 1, 1, 1);
    pbox = new TPlanView(pnlPlan);
    pbox->OnPaint = [this](QPainter &painter, int w, int h) { Diagram_->DrawOverview(painter, w, h); };
    pbox->OnMouseDown = [this](int x, int y) { Guarded([=, this] { pboxMouseDown(x, y); }); };
    pbox->OnMouseMove = [this](int x, int y) { Guarded([=, this] { pboxMouseMove(x, y); }); };
    pbox->OnMouseUp = [this] { Guarded([this] { pboxMouseUp(); }); };
    planLayout->addWidget(pbox);
    Splitter2->addWidget(pnlPlan);

    auto *pnlTabs = new QWidget;
    pnlTabs->setObjectName(QStringLiteral("pnlTabs"));
    auto *tabsLayout = new QVBoxLayout(pnlTabs);
    tabsLayout->setContentsMargins(0, 0, 0, 0);
    pgcNavigator = new QTabWidget(pnlTabs);
    pgcNavigator->setObjectName(QStringLiteral("pgcNavigator"));
    tabsLayout->addWidget(pgcNavigator);
    Splitter2->addWidget(pnlTabs);
    Splitter2->setSizes({133, 367});

    const auto ownerRow = [](QWidget *page, const char *comboName, const char *buttonName,
                             const QString &hint, QComboBox *&combo) {
        auto *row = new QHBoxLayout;
        combo = new QComboBox(page);
        combo->setObjectName(QLatin1String(comboName));
        auto *refresh = new QToolButton(page);
        refresh->setObjectName(QLatin1String(buttonName));
        refresh->setText(QStringLiteral("R"));
        refresh->setToolTip(hint);
        row->addWidget(combo, 1);
        row->addWidget(refresh);
        return std::pair{row, refresh};
    };

    auto *tbsTables = new QWidget;
    tbsTables->setObjectName(QStringLiteral("tbsTables"));
    auto *tablesLayout = new QVBoxLayout(tbsTables);
    tablesLayout->setContentsMargins(2, 2, 2, 2);
    auto [tablesRow, sbtnRefreshTables] = ownerRow(tbsTables, "cboTableOwners", "sbtnRefreshTables",
                                                   QStringLiteral("Refresh Entities Explorer"), cboTableOwners);
    tablesLayout->addLayout(tablesRow);
    lvwTables = new QTreeWidget(tbsTables);
    lvwTables->setObjectName(QStringLiteral("lvwTables"));
    lvwTables->setHeaderLabels({QStringLiteral("Objects")});
    lvwTables->setRootIsDecorated(false);
    lvwTables->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvwTables->setContextMenuPolicy(Qt::CustomContextMenu);
    tablesLayout->addWidget(lvwTables);
    pgcNavigator->addTab(tbsTables, QStringLiteral("Entities"));
    connect(sbtnRefreshTables, &QToolButton::clicked, this, [this] { Guarded([this] { cboTableOwnersChange(); }); });
    connect(cboTableOwners, &QComboBox::activated, this, [this] { Guarded([this] { cboTableOwnersChange(); }); });

    auto *tbsModelExplorer = new QWidget;
    tbsModelExplorer->setObjectName(QStringLiteral("tbsModelExplorer"));
    auto *modelLayout = new QVBoxLayout(tbsModelExplorer);
    modelLayout->setContentsMargins(2, 2, 2, 2);
    tvwModel = new QTreeWidget(tbsModelExplorer);
    tvwModel->setObjectName(QStringLiteral("tvwModel"));
    tvwModel->setHeaderHidden(true);
    tvwModel->setContextMenuPolicy(Qt::CustomContextMenu);
    modelLayout->addWidget(tvwModel);
    pgcNavigator->addTab(tbsModelExplorer, QStringLiteral("Model Explorer"));

    auto *tbsDatabaseExplorer = new QWidget;
    tbsDatabaseExplorer->setObjectName(QStringLiteral("tbsDatabaseExplorer"));
    auto *dbLayout = new QVBoxLayout(tbsDatabaseExplorer);
    dbLayout->setContentsMargins(2, 2, 2, 2);
    auto [objRow, sbtnRefreshObjs] = ownerRow(tbsDatabaseExplorer, "cboObjOwners", "sbtnRefreshObjs",
                                              QStringLiteral("Refresh Database Explorer"), cboObjOwners);
    dbLayout->addLayout(objRow);
    tvwDBObjects = new QTreeWidget(tbsDatabaseExplorer);
    tvwDBObjects->setObjectName(QStringLiteral("tvwDBObjects"));
    tvwDBObjects->setHeaderHidden(true);
    tvwDBObjects->setContextMenuPolicy(Qt::CustomContextMenu);
    dbLayout->addWidget(tvwDBObjects);
    pgcNavigator->addTab(tbsDatabaseExplorer, QStringLiteral("Database Explorer"));
    sbtnRefreshObjs->setEnabled(false);

    splLeft->addWidget(pnlLeft);

    auto *pnlMain = new QWidget;
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    auto *mainLayout = new QVBoxLayout(pnlMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->setSpacing(0);
    tabModels = new QTabBar(pnlMain);
    tabModels->setObjectName(QStringLiteral("tabModels"));
    tabModels->setExpanding(false);
    tabModels->setContextMenuPolicy(Qt::CustomContextMenu);
    mainLayout->addWidget(tabModels);
    sboxDiagram = new QScrollArea(pnlMain);
    sboxDiagram->setObjectName(QStringLiteral("sboxDiagram"));
    sboxDiagram->setFrameShape(QFrame::NoFrame);
    sboxDiagram->setWidgetResizable(false);
    mainLayout->addWidget(sboxDiagram, 1);
    // The plan view's frame follows the scrolled diagram.
    for (QScrollBar *bar : {sboxDiagram->horizontalScrollBar(), sboxDiagram->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, pbox, [this] { pbox->update(); });
    splLeft->addWidget(pnlMain);
    splLeft->setStretchFactor(1, 1);
    setCentralWidget(central);

    connect(tabModels, &QTabBar::currentChanged, this, [this] {
        if (!UpdatingTabs_)
            Guarded([this] { tabModelsChange(); });
    });
    connect(tabModels, &QTabBar::customContextMenuRequested, this, [this](const QPoint &pos) {
        const int index = tabModels->tabAt(pos);
        if (index >= 0 && index != tabModels->currentIndex())
            tabModels->setCurrentIndex(index);
        mnuModelTabs->popup(tabModels->mapToGlobal(pos));
    });
    connect(tvwModel, &QTreeWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QTreeWidgetItem *item = tvwModel->itemAt(pos)) {
            tvwModel->setCurrentItem(item);
            if (!item->parent())
                mnuModelExp->popup(tvwModel->viewport()->mapToGlobal(pos));
        }
    });

    sbrMain = new QStatusBar(this);
    sbrMain->setObjectName(QStringLiteral("sbrMain"));
    sbrMain->setSizeGripEnabled(true);
    const int widths[4] = {214, 300, 100, 60};
    for (int i = 0; i < 4; ++i) {
        Panels_[i] = new QLabel(sbrMain);
        Panels_[i]->setObjectName(QStringLiteral("sbrPanel%1").arg(i));
        Panels_[i]->setFixedWidth(widths[i]);
        Panels_[i]->setFrameShape(QFrame::Panel);
        Panels_[i]->setFrameShadow(QFrame::Sunken);
        sbrMain->addWidget(Panels_[i]);
    }
    setStatusBar(sbrMain);
}

void Tfrmgui::CreateDiagram()
{
    Surface_ = Diagram_->CreateSurface(sboxDiagram);
    Diagram_->SetOverviewBox(pbox);
    sboxDiagram->viewport()->installEventFilter(this);
    GrowSurfaceToScrollBox();
    ModelTreeView = tvwModel;
    DBObjectTreeView = tvwDBObjects;
    tvwDBObjects->clear();
    auto *root = new QTreeWidgetItem(tvwDBObjects, {QStringLiteral("Database Objects")});
    root->setDisabled(!THelpers::IsConnected());
    if (CurrentModel) {
        CurrentModel->Style.Assign(Preferences->DefaultStyle);
        // Coloured only once the page has the preferences' style: before that
        // its background is black, which shows in the corner between the
        // scroll bars.
        QPalette palette = sboxDiagram->palette();
        palette.setColor(QPalette::Window, ColorToQColor(CurrentModel->Style.BackgroundColour));
        sboxDiagram->setPalette(palette);
        sboxDiagram->setAutoFillBackground(true);
    }
}

// ---------------------------------------------------------------------------
// Start-up, logon and shutdown

TStartLogon Tfrmgui::LogonDecision(const QStringList &parameters, bool startUp)
{
    bool loginSeen = false;
    bool fileSeen = false;
    if (startUp) {
        for (const QString &p : parameters) {
            if (TLoginManager::IsFileParameter(p))
                fileSeen = true;
            else if (!TLoginManager::IsClientParameter(p))
                loginSeen = true;
        }
    }
    if (loginSeen)
        return TStartLogon::CommandLine;
    if (!fileSeen)
        return TStartLogon::Form;
    return TStartLogon::None;
}

QStringList Tfrmgui::CommandLineFileNames(const QStringList &parameters)
{
    QStringList names;
    for (const QString &p : parameters) {
        if (!TLoginManager::IsFileParameter(p))
            continue;
        const QString name = p.mid(5);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

void Tfrmgui::DoLogOn(bool startUp)
{
    switch (LogonDecision(Parameters_, startUp)) {
    case TStartLogon::CommandLine:
        TLoginManager::CommandLineLogin(Parameters_);
        break;
    case TStartLogon::Form:
        TLoginManager::FormLogin();
        break;
    case TStartLogon::None:
        break;
    }
    UpdateConnectionCaption();
    FillOwnerCombo(cboTableOwners);
    SelectOwner(cboTableOwners);
    cboObjOwners->clear();
    for (int i = 0; i < cboTableOwners->count(); ++i)
        cboObjOwners->addItem(cboTableOwners->itemText(i));
    cboObjOwners->setCurrentIndex(cboTableOwners->currentIndex());
    SelectOwner(cboObjOwners);
    FillEntitiesList(cboTableOwners->currentText() == QLatin1String("All Owners") ? QString()
                                                                                   : cboTableOwners->currentText());
}

void Tfrmgui::SelectOwner(QComboBox *combo)
{
    // Owners are stored in capitals while users log on as they like: the
    // entries are matched whatever their letter case.
    const Qt::MatchFlags anyCase = Qt::MatchFixedString;
    int index = Preferences->LastFilter.isEmpty() ? -1 : combo->findText(Preferences->LastFilter, anyCase);
    if (index < 0 && THelpers::IsConnected())
        index = combo->findText(DatabaseSession->GetUsername(), anyCase);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

void Tfrmgui::UpdateConnectionCaption()
{
    QString text = QStringLiteral("OffLine");
    for (const char *name : {"actLogOff", "actShowIniFile"})
        Action(QLatin1String(name))->setEnabled(false);
    if (THelpers::IsConnected()) {
        text = DatabaseSession->GetUsername() + QLatin1Char('@') + DatabaseSession->GetDatabase();
        // The tools behind the other session actions come with the database
        // tools; only logging off works here.
        Action(QStringLiteral("actLogOff"))->setEnabled(true);
    }
    Panels_[0]->setText(text);
    setWindowTitle(QStringLiteral("Marrowtide -  ") + text);
}

void Tfrmgui::FillOwnerCombo(QComboBox *combo)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    if (!THelpers::IsConnected())
        return;
    std::unique_ptr<TOSResultSet> owners = DatabaseSession->GetOwners();
    combo->addItem(QStringLiteral("All Owners"));
    if (owners) {
        for (int i = 0; i < owners->RowCount(); ++i)
            combo->addItem(owners->GetRow(i)->GetValueByName(QStringLiteral("OWNER")).toString());
    }
    combo->setCurrentIndex(0);
}

void Tfrmgui::FillEntitiesList(const QString &owner)
{
    lvwTables->setUpdatesEnabled(false);
    lvwTables->clear();
    TGUIHelpers::AddTablesToList(lvwTables, owner);
    TGUIHelpers::AddObjectTablesToList(lvwTables, owner);
    TGUIHelpers::AddTypesToList(lvwTables, owner);
    lvwTables->sortItems(0, Qt::AscendingOrder);
    lvwTables->resizeColumnToContents(0);
    lvwTables->setUpdatesEnabled(true);
}

void Tfrmgui::cboTableOwnersChange()
{
    THourglass hourglass;
    const int index = cboTableOwners->currentIndex();
    FillOwnerCombo(cboTableOwners);
    if (index < cboTableOwners->count())
        cboTableOwners->setCurrentIndex(index);
    FillEntitiesList(cboTableOwners->currentText() == QLatin1String("All Owners") ? QString()
                                                                                   : cboTableOwners->currentText());
    Preferences->LastFilter = cboTableOwners->currentText();
}

void Tfrmgui::actLogOffExecute()
{
    if (DatabaseSession)
        DatabaseSession->Disconnect();
    TConsoleHelper::WriteMessage(QStringLiteral("Logged off, working offline."));
    for (const char *name : {"actLogOff", "actShowIniFile", "actExtractMetaData", "actExportImport"})
        Action(QLatin1String(name))->setEnabled(false);
    FillOwnerCombo(cboTableOwners);
    FillOwnerCombo(cboObjOwners);
    lvwTables->clear();
    Preferences->LastFilter = cboTableOwners->currentText();
    UpdateConnectionCaption();
}

void Tfrmgui::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // Full screen and back re-show the window; the first show's work runs once.
    if (Shown_)
        return;
    Shown_ = true;
    Guarded([this] { FormShow(); });
}

void Tfrmgui::FormShow()
{
    {
        const QScopedValueRollback<bool> guard(UpdatingTabs_, true);
        while (tabModels->count() > 0)
            tabModels->removeTab(0);
        for (auto &model : *OpenModels) {
            tabModels->addTab(EscapeAmpersands(model->Name));
            model->SetTreeView(tvwModel);
        }
        tabModels->setCurrentIndex(0);
    }
    if (!OpenModels->empty())
        CurrentModel = (*OpenModels)[static_cast<size_t>(qMax(0, tabModels->currentIndex()))].get();
    // The tab bar has just got its first tab and takes room from the scroll
    // box: size the surface to the scroll box as it now is, or the empty page
    // would start with scroll bars.
    if (QLayout *layout = tabModels->parentWidget()->layout())
        layout->activate();
    FitSurfaceToModel();
    pbox->update();
    OpenCommandLineFiles();
    Panels_[2]->setText(Version);
}

void Tfrmgui::OpenCommandLineFiles()
{
    for (const QString &name : CommandLineFileNames(Parameters_)) {
        if (!QFileInfo::exists(name)) {
            UserInterface().ShowError(QStringLiteral("File not found: ") + name);
            continue;
        }
        const int before = static_cast<int>(OpenModels->size());
        try {
            // The page and the Reopen menu keep the full name, so the file is
            // found again whatever folder the program is started from next.
            OpenModelFile(QFileInfo(name).absoluteFilePath(), false);
        } catch (const std::exception &e) {
            // A file that does not load is reported and skipped; its half-filled
            // page goes, so the pages opened before stay as they were.
            UserInterface().ShowError(QString::fromUtf8(e.what()));
            if (static_cast<int>(OpenModels->size()) > before)
                ClosePage(static_cast<int>(OpenModels->size()) - 1);
            continue;
        }
        ClosePage(0);
    }
}

void Tfrmgui::OpenDroppedFiles(const QStringList &fileNames)
{
    Guarded([&] {
        for (const QString &name : fileNames)
            OpenModelFile(name, false);
    });
}

void Tfrmgui::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void Tfrmgui::dropEvent(QDropEvent *event)
{
    QStringList names;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            names << url.toLocalFile();
    }
    event->acceptProposedAction();
    OpenDroppedFiles(names);
}

bool Tfrmgui::eventFilter(QObject *watched, QEvent *event)
{
    if (sboxDiagram && watched == sboxDiagram->viewport() && event->type() == QEvent::Resize) {
        GrowSurfaceToScrollBox();
        // The visible area's frame changes with the scroll box.
        pbox->update();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tfrmgui::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    GrowSurfaceToScrollBox();
}

void Tfrmgui::StorePreferences()
{
    Preferences->ExplorersTabIndex = pgcNavigator->currentIndex();
    Preferences->LeftPanelWidth = pnlLeft->width();
    Preferences->PlanPanelHeight = pnlPlan->height();
    Preferences->ShowStatusBar = Action(QStringLiteral("actViewStatusBar"))->isChecked();
    Preferences->SavePreferences();
}

void Tfrmgui::closeEvent(QCloseEvent *event)
{
    if (Preferences->ShouldSaveOnExit()) {
        // A box shown while the window goes away is easily missed: the failure
        // waits for the next start instead.
        try {
            StorePreferences();
        } catch (const std::exception &error) {
            TConfigSettings::WriteExitFailure(
                QStringLiteral("Your preferences could not be saved when Marrowtide closed. ") +
                QString::fromUtf8(error.what()));
        }
    }
    event->accept();
    // Tool windows without a parent would keep the program running.
    for (auto &entry : OpenWindows_) {
        if (entry->Form)
            entry->Form->close();
    }
    QCoreApplication::exit(0);
}

void Tfrmgui::actExitExecute()
{
    if (DatabaseSession)
        DatabaseSession->Disconnect();
    // Not quit(): that would close the window and store the preferences.
    QCoreApplication::exit(0);
}

void Tfrmgui::actConsoleExecute()
{
    if (ConsoleForm)
        ConsoleForm->setVisible(Action(QStringLiteral("actConsole"))->isChecked());
}

void Tfrmgui::actFullScreenExecute()
{
    QAction *action = Action(QStringLiteral("actFullScreen"));
    const QString modelName = CurrentModel ? CurrentModel->Name : QString();
    // The action's check has already flipped: checked now means entering.
    if (action->isChecked()) {
        FullScreenBounds_ = geometry();
        showFullScreen();
    } else {
        showNormal();
        setGeometry(FullScreenBounds_);
    }
    for (int i = 0; i < tabModels->count(); ++i) {
        if ((*OpenModels)[static_cast<size_t>(i)]->Name == modelName) {
            tabModels->setCurrentIndex(i);
            SelectModelTab(i);
            break;
        }
    }
}

QLabel *Tfrmgui::StatusPanel(int panel) const { return panel >= 0 && panel < 4 ? Panels_[panel] : nullptr; }

QString Tfrmgui::StatusPanelText(int panel) const
{
    QLabel *label = StatusPanel(panel);
    return label ? label->text() : QString();
}

// ---------------------------------------------------------------------------
// Pages

void Tfrmgui::GrowSurfaceToScrollBox()
{
    if (!Surface_ || !sboxDiagram)
        return;
    const QSize view = sboxDiagram->maximumViewportSize();
    Surface_->resize(qMax(Surface_->width(), view.width()), qMax(Surface_->height(), view.height()));
}

void Tfrmgui::FitSurfaceToModel()
{
    if (!Surface_ || !CurrentModel)
        return;
    int x = 0;
    int y = 0;
    CurrentModel->GetDiagramExtent(x, y);
    const QSize view = sboxDiagram->maximumViewportSize();
    Surface_->resize(qMax(x, view.width()), qMax(y, view.height()));
}

void Tfrmgui::NewModelPage()
{
    auto model = std::make_unique<TDiagramObjectModel>();
    model->Style.Assign(Preferences->DefaultStyle);
    model->Name = QStringLiteral("New Model.") + QString::number(tabModels->count());
    TDiagramObjectModel *added = model.get();
    OpenModels->push_back(std::move(model));
    if (Shown_)
        added->SetTreeView(tvwModel);
    {
        const QScopedValueRollback<bool> guard(UpdatingTabs_, true);
        tabModels->addTab(EscapeAmpersands(added->Name));
        tabModels->setCurrentIndex(tabModels->count() - 1);
    }
    SelectModelTab(tabModels->count() - 1);
    GrowSurfaceToScrollBox();
}

void Tfrmgui::SelectModelTab(int index)
{
    if (index < 0 || index >= static_cast<int>(OpenModels->size()))
        return;
    Diagram_->SetPaintingEnabled(false);
    CurrentModel = (*OpenModels)[static_cast<size_t>(index)].get();
    Diagram_->Rebuild();
    FitSurfaceToModel();
    pbox->update();
    Diagram_->SetPaintingEnabled(true);
}

void Tfrmgui::tabModelsChange() { SelectModelTab(tabModels->currentIndex()); }

void Tfrmgui::ClosePage(int index)
{
    // The canvas and the explorers always show a page: the last one stays.
    if (index < 0 || index >= static_cast<int>(OpenModels->size()) || OpenModels->size() < 2)
        return;
    const int select = index == 0 ? 0 : index - 1;
    Diagram_->SetPaintingEnabled(false);
    SelectedGraphics->Clear();
    OpenModels->erase(OpenModels->begin() + index);
    CurrentModel = (*OpenModels)[static_cast<size_t>(select)].get();
    {
        const QScopedValueRollback<bool> guard(UpdatingTabs_, true);
        tabModels->removeTab(index);
        tabModels->setCurrentIndex(select);
    }
    Diagram_->Rebuild();
    Diagram_->RefreshExplorerTree();
    FitSurfaceToModel();
    pbox->update();
    Diagram_->SetPaintingEnabled(true);
}

void Tfrmgui::mniClosePageClick()
{
    if (tabModels->count() < 2)
        return;
    const int index = tabModels->currentIndex();
    const QString name = (*OpenModels)[static_cast<size_t>(index)]->Name;
    if (UserInterface().ConfirmOkCancel(QStringLiteral("Close page '") + name +
                                        QStringLiteral("'?")))
        ClosePage(index);
}

void Tfrmgui::actCloseAllPagesExecute()
{
    const int rounds = tabModels->count() - 1;
    for (int i = 0; i < rounds; ++i)
        mniClosePageClick();
}

void Tfrmgui::OpenModelFile(const QString &fileName, bool merge)
{
    THourglass hourglass;
    const bool blocked = tvwModel->blockSignals(true);
    const auto restore = qScopeGuard([&] { tvwModel->blockSignals(blocked); });
    if (!merge) {
        NewModelPage();
        CurrentModel->FileName = fileName;
    }
    TDiagramObjectModel *model = CurrentModel;
    try {
        Diagram_->LoadModelFromFile(*model, fileName, merge);
    } catch (...) {
        // A page that failed to load must not be saved over the file it came from.
        if (!merge && CurrentModel == model) {
            model->FileName.clear();
            tabModels->setTabText(tabModels->currentIndex(), EscapeAmpersands(model->Name));
        }
        Diagram_->Rebuild();
        Diagram_->RefreshExplorerTree();
        throw;
    }
    tabModels->setTabText(tabModels->currentIndex(), EscapeAmpersands(CurrentModel->Name));
    Preferences->AddRecentFile(fileName);
    RebuildReopenMenu();
    FitSurfaceToModel();
    pbox->update();
}

void Tfrmgui::actOpenExecute()
{
    TFileDialogOptions options;
    options.Filter = XmlFilter;
    options.DefaultExt = QStringLiteral("xml");
    const QString name = UserInterface().OpenFileName(options);
    if (name.isEmpty())
        return;
    QCoreApplication::processEvents();
    OpenModelFile(name, false);
}

void Tfrmgui::actMergeExecute()
{
    TFileDialogOptions options;
    options.Filter = XmlFilter;
    options.DefaultExt = QStringLiteral("xml");
    const QString name = UserInterface().OpenFileName(options);
    if (name.isEmpty())
        return;
    QCoreApplication::processEvents();
    OpenModelFile(name, true);
}

void Tfrmgui::RebuildReopenMenu()
{
    mnuReopen->clear();
    for (const QString &name : Preferences->PreviousFiles) {
        QAction *item = mnuReopen->addAction(EscapeAmpersands(name));
        item->setData(name);
        connect(item, &QAction::triggered, this, [this, item] { Guarded([this, item] { ReopenMenuItemClick(item); }); });
    }
}

void Tfrmgui::ReopenMenuItemClick(QAction *sender)
{
    if (sender)
        OpenModelFile(sender->data().toString(), false);
}

// ---------------------------------------------------------------------------
// Saving, pictures and layout

bool Tfrmgui::ConfirmReplace(const QString &fileName)
{
    if (!QFileInfo::exists(fileName))
        return true;
    return UserInterface().ConfirmOkCancel(QStringLiteral("File with name ") + fileName +
                                           QStringLiteral(" already exists. \r\nContinue and replace file?"));
}

bool Tfrmgui::SaveModelAs()
{
    if (!CurrentModel)
        return false;
    TFileDialogOptions options;
    options.Filter = XmlFilter;
    options.DefaultExt = QStringLiteral("xml");
    options.FileName = CurrentModel->Name;
    const QString name = UserInterface().SaveFileName(options);
    if (name.isEmpty())
        return false;
    // The page takes the new name only once the user agreed to replace the
    // file: a page whose replace was declined must not be saved over it later.
    if (!ConfirmReplace(name))
        return false;
    TDiagramObjectModel *model = CurrentModel;
    const QString previous = model->FileName;
    model->FileName = name;
    try {
        // Also records the file as the most recent one.
        model->SaveModelToFile(true);
    } catch (...) {
        // Nothing was written there: the page still belongs to its old file.
        model->FileName = previous;
        throw;
    }
    return true;
}

void Tfrmgui::actSaveAsExecute()
{
    SaveModelAs();
    // The file just saved belongs in the Reopen menu at once.
    RebuildReopenMenu();
}

void Tfrmgui::actSaveExecute()
{
    if (!CurrentModel)
        return;
    if (!CurrentModel->FileName.isEmpty())
        CurrentModel->SaveModelToFile(true);
    else
        SaveModelAs();
    RebuildReopenMenu();
}

void Tfrmgui::actSaveAsPictureExecute()
{
    TFileDialogOptions options;
    options.Filter = PictureFilter;
    options.DefaultExt = QStringLiteral("gif");
    options.FileName = CurrentModel ? CurrentModel->Name : QString();
    const QString name = UserInterface().SaveFileName(options);
    if (name.isEmpty() || !ConfirmReplace(name))
        return;
    {
        THourglass hourglass;
        Diagram_->SaveAsImage(name);
    }
    THelpers::OpenFile(name);
}

void Tfrmgui::actLayoutDiagramExecute()
{
    if (UserInterface().ConfirmOkCancel(QStringLiteral("Continue and layout the current diagram?")))
        Diagram_->LayoutDiagram();
}

// ---------------------------------------------------------------------------
// Plan view

void Tfrmgui::pboxMouseDown(int x, int y) { PlanDrag_.MouseDown(x, y); }

void Tfrmgui::pboxMouseMove(int x, int y)
{
    if (!PlanDrag_.Dragging)
        return;
    PlanDrag_.MouseMove(x, y, sboxDiagram);
    pbox->update();
}

void Tfrmgui::pboxMouseUp() { PlanDrag_.MouseUp(); }

// ---------------------------------------------------------------------------
// Tool windows

void Tfrmgui::RegisterOpenWindow(QWidget *form)
{
    auto entry = std::make_unique<TOpenWindow>();
    entry->Caption = form ? form->windowTitle() : QString();
    entry->Form = form;
    OpenWindows_.push_back(std::move(entry));
    RebuildWindowMenu();
}

void Tfrmgui::UnregisterOpenWindow(QWidget *form)
{
    for (int i = static_cast<int>(OpenWindows_.size()) - 1; i >= 0; --i) {
        if (OpenWindows_[static_cast<size_t>(i)]->Form == form)
            OpenWindows_.erase(OpenWindows_.begin() + i);
    }
    RebuildWindowMenu();
}

int Tfrmgui::NextWindowNumber() const { return static_cast<int>(OpenWindows_.size()) + 1; }

void Tfrmgui::RebuildWindowMenu()
{
    mnuWindow->clear();
    for (size_t i = 0; i < OpenWindows_.size(); ++i) {
        QAction *item = mnuWindow->addAction(EscapeAmpersands(OpenWindows_[i]->Caption));
        item->setData(static_cast<int>(i));
        connect(item, &QAction::triggered, this, [this, item] { WindowMenuItemClick(item); });
    }
}

void Tfrmgui::WindowMenuItemClick(QAction *sender)
{
    if (!sender)
        return;
    const int index = sender->data().toInt();
    if (index < 0 || index >= static_cast<int>(OpenWindows_.size()))
        return;
    if (QWidget *form = OpenWindows_[static_cast<size_t>(index)]->Form) {
        form->show();
        form->raise();
        form->activateWindow();
    }
}
