#include "shell/main_form.h"

#include "canvas/action_images.h"
#include "canvas/diagram_menu.h"
#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "model/diagram_object_model.h"
#include "model/helpers.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/color.h"
#include "platform/config_settings.h"
#include "platform/user_interface.h"
#include "shell/action_icons.h"
#include "shell/canvas_actions.h"
#include "shell/canvas_main_diagram.h"
#include "shell/console_form.h"
#include "shell/explorer_tree.h"
#include "shell/main_diagram.h"
#include "shell/menu_text.h"
#include "shell/plan_view.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

Tfrmgui *MainForm = nullptr;

namespace {

const QString Version = QStringLiteral("v1.1.6");

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
    TPreferences::TakeWindowLayout = [](TPreferences &preferences) {
        if (MainForm)
            MainForm->TakeLayoutState(preferences);
    };
    InstallConnectionLostHook();

    ConsoleForm = new TfrmConsole(this);
    ConsoleForm->OnVisibilityChosen = [this](bool visible) {
        if (QAction *a = Action(QStringLiteral("actConsole")))
            a->setChecked(visible);
    };

    actlistMain = new QObject(this);
    actlistMain->setObjectName(QStringLiteral("actlistMain"));
    TActionIcons::UseTheme();
    TActionImages::SetProvider(&TActionIcons::Icon);
    CreateActions();
    CreateMenus();
    TCanvasActions::Connect(*this);
    CreateToolBars();
    CreatePanels();
    BindCommands();

    pgcNavigator->setCurrentIndex(0);
    // Wide enough for the three tab captions whole, whatever the font.
    const int leftWidth = qMax(250, pgcNavigator->tabBar()->sizeHint().width() + 8);
    splLeft->setSizes({leftWidth, width() - leftWidth});

    Preferences->FileName = TGUIHelpers::GetPreferencesFileName();
    LoadPreferencesFile();
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

void Tfrmgui::LoadPreferencesFile()
{
    // A damaged preferences file is reported and the defaults serve; the
    // program still starts, and closing it leaves the file as it is.
    try {
        Preferences->LoadPreferences();
    } catch (const std::exception &error) {
        QString message = QStringLiteral("Error loading preferences file: ") + QString::fromUtf8(error.what());
        try {
            message += QStringLiteral("\n\nA copy of the file was kept as \"%1\". The default preferences are used "
                                      "until you save yours.")
                           .arg(QDir::toNativeSeparators(Preferences->KeepDamagedCopy()));
        } catch (const std::exception &copyError) {
            message += QStringLiteral("\n\nThe default preferences are used. No copy of the file could be kept, so "
                                      "it is not saved over: ") + QString::fromUtf8(copyError.what());
        }
        UserInterface().ShowError(message);
    }
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
    // A narrow panel scrolls its tabs rather than cutting their captions.
    pgcNavigator->setElideMode(Qt::ElideNone);
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
    lvwTables = new TExplorerTree(tbsTables);
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
    tvwDBObjects = new TExplorerTree(tbsDatabaseExplorer);
    tvwDBObjects->setObjectName(QStringLiteral("tvwDBObjects"));
    tvwDBObjects->setHeaderHidden(true);
    tvwDBObjects->setContextMenuPolicy(Qt::CustomContextMenu);
    dbLayout->addWidget(tvwDBObjects);
    pgcNavigator->addTab(tbsDatabaseExplorer, QStringLiteral("Database Explorer"));

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
    ConnectExplorers();
    ConnectDatabaseExplorer();

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
    BuildDatabaseRoots();
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
// Start-up and shutdown

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

void Tfrmgui::TakeLayoutState(TPreferences &preferences) const
{
    // Before its first show the window has no sizes of its own: what was
    // loaded is still its layout.
    if (!Shown_)
        return;
    preferences.ExplorersTabIndex = pgcNavigator->currentIndex();
    preferences.LeftPanelWidth = pnlLeft->width();
    preferences.PlanPanelHeight = pnlPlan->height();
    preferences.ShowStatusBar = Action(QStringLiteral("actViewStatusBar"))->isChecked();
}

void Tfrmgui::closeEvent(QCloseEvent *event)
{
    if (Preferences->ShouldSaveOnExit()) {
        // A box shown while the window goes away is easily missed: the failure
        // waits for the next start instead.
        try {
            Preferences->SavePreferences();
        } catch (const std::exception &error) {
            TConfigSettings::WriteExitFailure(
                QStringLiteral("Your preferences could not be saved when Marrowtide closed. ") +
                QString::fromUtf8(error.what()));
        }
    }
    event->accept();
    // Tool windows without a parent would keep the program running. Each one
    // leaves the list as it closes: the loop walks a copy.
    std::vector<QPointer<QWidget>> windows;
    for (const auto &entry : OpenWindows_)
        windows.push_back(entry->Form);
    for (const QPointer<QWidget> &form : windows) {
        if (form)
            form->close();
    }
    QCoreApplication::exit(0);
}

QLabel *Tfrmgui::StatusPanel(int panel) const { return panel >= 0 && panel < 4 ? Panels_[panel] : nullptr; }

QString Tfrmgui::StatusPanelText(int panel) const
{
    QLabel *label = StatusPanel(panel);
    return label ? label->text() : QString();
}

// ---------------------------------------------------------------------------
// The diagram surface

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
