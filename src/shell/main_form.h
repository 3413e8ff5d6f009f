#pragma once
// Tfrmgui: the main window with its menus, tool bars, explorers, page tabs,
// plan view, diagram surface and status bar.
#include "canvas/plan_view_drag.h"
#include "dbtools/window_registry.h"
#include "model/database_session.h"
#include "shell/main_diagram.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabBar;
class QTabWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class TDiagramMenu;
class TDragObjects;
class TExplorerTree;
class IMainDiagram;
class TPlanView;
class TPreferences;

// One tool window listed in the Window menu; the window is not owned.
struct TOpenWindow {
    QString Caption;
    QPointer<QWidget> Form;
};

// What the start-up does about logging on.
enum class TStartLogon { CommandLine, Form, None };

class Tfrmgui : public QMainWindow, public IWindowRegistry {
    Q_OBJECT
public:
    // Parameters are the program's arguments without the program name.
    explicit Tfrmgui(const QStringList &parameters, std::unique_ptr<IMainDiagram> diagram = {},
                     QWidget *owner = nullptr);
    ~Tfrmgui() override;

    // The logon decision: a connect-string parameter logs on from the command
    // line; no parameter at all asks; only "file=" parameters start offline.
    static TStartLogon LogonDecision(const QStringList &parameters, bool startUp);
    // The names of the "file=" parameters in order, empty names skipped.
    static QStringList CommandLineFileNames(const QStringList &parameters);

    // Pages.
    void NewModelPage();
    void SelectModelTab(int index);
    void tabModelsChange();
    void ClosePage(int index);
    void mniClosePageClick();
    void actCloseAllPagesExecute();
    void OpenModelFile(const QString &fileName, bool merge);
    void actOpenExecute();
    void actMergeExecute();
    void RebuildReopenMenu();
    void ReopenMenuItemClick(QAction *sender);

    // Saving, pictures and layout of the current page.
    void actSaveExecute();
    void actSaveAsExecute();
    void actSaveAsPictureExecute();
    void actLayoutDiagramExecute();
    // The printer set-up dialog; a confirmed change redraws the page's edges.
    void PrintSetupExecute();

    // The plan view's mouse: dragging the visible area's frame scrolls the diagram.
    void pboxMouseDown(int x, int y);
    void pboxMouseMove(int x, int y);
    void pboxMouseUp();

    // Tool windows.
    void RegisterOpenWindow(QWidget *form) override;
    void UnregisterOpenWindow(QWidget *form) override;
    int NextWindowNumber() const override;
    void RebuildWindowMenu();
    void WindowMenuItemClick(QAction *sender);
    const std::vector<std::unique_ptr<TOpenWindow>> &OpenWindows() const { return OpenWindows_; }

    // Session.
    void DoLogOn(bool startUp);
    void LogOn() { DoLogOn(false); }
    void UpdateConnectionCaption();
    void FillOwnerCombo(QComboBox *combo);
    void FillEntitiesList(const QString &owner);
    void actLogOffExecute();
    // What Log Off does to the window, with the console's message.
    void GoOffline(const QString &message);

    // Explorers.
    void BuildEntitiesPopup();
    void lvwTablesDblClick();
    // The drag list of the selected Entities items, in list order.
    std::unique_ptr<TDragObjects> EntitiesDragObjects() const;
    void EntitiesGenerateDDLClick();
    void EntitiesQueryDataClick();
    void tvwModelChange();
    void SyncDiagramToModelTree();
    // The popup the model tree shows for its selected node; null for none.
    QMenu *ModelTreePopup() const { return ModelTreePopup_; }

    // Database explorer.
    void cboObjOwnersChange();
    void BuildDBExplorerPopup();
    void tvwDBObjectsDblClick();
    void DBNodeRefreshClick();
    void DBNodeGenerateDDLClick();
    void DBNodeAddToDiagramClick();
    void DBNodeQueryDataClick();
    void DBNodeAddAllToDiagramClick();
    void AddDatabaseNodeToDiagram(QTreeWidgetItem *node);
    // The drag list of the selected table, object table and type nodes, in
    // the order they were selected.
    std::unique_ptr<TDragObjects> DBObjectsDragObjects() const;

    // Start-up and shutdown.
    void OpenCommandLineFiles();
    void OpenDroppedFiles(const QStringList &fileNames);
    void actExitExecute();
    void actConsoleExecute();
    void actFullScreenExecute();

    // Enables each command that can run now: it has a handler, its target is
    // there and, when it needs one, a session is connected.
    void UpdateActionStates();

    // Commands with decisions of their own.
    static void actNewInstanceExecute();
    static void actCloneInstanceExecute();
    static void actSQLPlusExecute();
    static void actShowIniFileExecute();
    void actFindExecute();
    void actRenameDiagramExecute();
    // Generate DDL and the delta DDL: the lines in a new script-mode SQL window.
    void actGenerateModelDDLExecute();
    void actGenDeltaDDLExecute();

    QString StatusPanelText(int panel) const;
    QLabel *StatusPanel(int panel) const;
    QAction *Action(const QString &name) const;
    IMainDiagram &Diagram() { return *Diagram_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBars();
    void CreatePanels();
    void CreateDiagram();
    void FormShow();
    // The explorers tab, panel sizes and status bar as the window shows them,
    // into the preferences every write of the file takes them from.
    void TakeLayoutState(TPreferences &preferences) const;
    void FitSurfaceToModel();
    void GrowSurfaceToScrollBox();
    void SelectOwner(QComboBox *combo);
    void cboTableOwnersChange();
    void ConnectExplorers();
    void ConnectDatabaseExplorer();
    void InstallConnectionLostHook();
    // The roots of the database explorer while connected; a disabled root offline.
    void BuildDatabaseRoots();
    QString ObjOwnerFilter() const;
    // Adds the objects to the page the one way every add from the database
    // takes (TOSDiagram::AddFromDatabase), the i-th near wanted(i).
    void AddDatabaseObjects(const TDragObjects &objects, const std::function<QPoint(int)> &wanted);
    // The save dialog and the replace question; true when the page was written.
    bool SaveModelAs();
    // True when the file does not exist or the user agrees to replace it.
    static bool ConfirmReplace(const QString &fileName);
    // The name Save as Picture proposes for a page: one the save accepts as it stands.
    static QString ProposedPictureName(const QString &pageName);
    // Shows a stage of picture work in the status bar; empty puts back what was there.
    void ShowPictureProgress(const QString &text);
    // Loads the preferences at start-up; a damaged file is reported, a copy of
    // it kept, and the defaults serve.
    void LoadPreferencesFile();
    // Runs a command as the message loop would: an exception becomes a message box.
    void Guarded(const std::function<void()> &command);
    void BindCommands();
    // The page commands bind themselves through Bind.
    friend class TCanvasActions;
    // Runs the handler, guarded, when the item is triggered; the item is
    // enabled while `available` (when given) says so.
    void Bind(QAction *item, std::function<void()> handler, std::function<bool()> available = {});
    void Bind(const char *name, std::function<void()> handler, std::function<bool()> available = {});

    struct TCommandBinding {
        QAction *Item;
        std::function<bool()> Available;
    };

    QStringList Parameters_;
    std::unique_ptr<IMainDiagram> Diagram_;
    std::vector<std::unique_ptr<TOpenWindow>> OpenWindows_;
    std::vector<TCommandBinding> Bindings_;
    bool Shown_ = false;
    bool UpdatingTabs_ = false;
    QRect FullScreenBounds_;
    TPlanViewDrag PlanDrag_;

    QObject *actlistMain = nullptr;
    QWidget *cbarMain = nullptr;
    QSplitter *splLeft = nullptr;
    QWidget *pnlLeft = nullptr;
    QWidget *pnlPlan = nullptr;
    QSplitter *Splitter2 = nullptr;
    TPlanView *pbox = nullptr;
    QTabWidget *pgcNavigator = nullptr;
    TExplorerTree *lvwTables = nullptr;
    QComboBox *cboTableOwners = nullptr;
    QTreeWidget *tvwModel = nullptr;
    TExplorerTree *tvwDBObjects = nullptr;
    QComboBox *cboObjOwners = nullptr;
    QTabBar *tabModels = nullptr;
    QScrollArea *sboxDiagram = nullptr;
    QWidget *Surface_ = nullptr;
    QStatusBar *sbrMain = nullptr;
    QLabel *Panels_[4] = {};
    bool ShowingProgress_ = false;
    QString TextBeforeProgress_;
    QMenu *mnuReopen = nullptr;
    QMenu *mnuWindow = nullptr;
    QMenu *mniTools = nullptr;
    QMenu *mnuModelTabs = nullptr;
    QMenu *mnuModelExp = nullptr;
    QMenu *mnuDBExplorer = nullptr;
    QMenu *mnuEntitiesExplorer = nullptr;
    QMenu *ModelTreePopup_ = nullptr;
    std::unique_ptr<TDiagramMenu> DiagramMenu_;
    // The database explorer's selected nodes, earliest first.
    std::vector<QTreeWidgetItem *> DBSelectionOrder_;
    // Whether a double click on the database explorer generates the node's DDL.
    bool DBDoubleClickGeneratesDDL_ = false;
};

// The main window; null before it is built and after it is gone.
extern Tfrmgui *MainForm;
