#pragma once
// TPreferences: the program-wide preferences (default style, window layout,
// printing switches, logons, recent files and external tools) and their file.
#include "model/schema_style.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QMenu;
class QAction;
class TDirtyXMLParser;
class TXMLElement;

// One external tool of the Tools menu.
class TToolPreference {
public:
    void WriteXML(QStringList &list, int indent) const;
    void Assign(const TToolPreference &source) { *this = source; }

    QString Caption;
    QString ProgramName;
    QString WorkingDir;
    QString Parameters;
};

// The user's external tools, in the user's order.
class TToolPreferences {
public:
    void WriteXML(QStringList &list, int indent) const;
    void Assign(const TToolPreferences &source);
    // The last tool whose caption equals Caption exactly, or null.
    TToolPreference *FindByCaption(const QString &caption) const;

    int Count() const { return static_cast<int>(Items.size()); }
    TToolPreference *Add();
    void Clear() { Items.clear(); }

    std::vector<std::unique_ptr<TToolPreference>> Items;
};

enum TPrintOrientation { poPortrait = 0, poLandscape = 1 };

class TPreferences {
public:
    TPreferences();
    ~TPreferences();

    void SetDefaults();
    void LoadPreferences();
    // Takes the window's layout first (TakeWindowLayout), then writes the file.
    void SavePreferences();
    void AddRecentFile(const QString &fileName);
    void SetPrintOrientation(int orientation);
    static QString PrintOrientationToText(int orientation);
    static int TextToPrintOrientation(const QString &text);

    void BuildToolsMenu(QMenu *parent);
    void RefreshToolsMenu();
    void ToolMenuItemClick(QAction *sender);
    void RunToolByCaption(const QString &caption);
    void RunExternalTool(const TToolPreference &tool);

    TOSSchemaStyle DefaultStyle;
    QString FileName;
    bool SaveOnExit = false;
    QString LastUser;
    QString LastDatabase;
    QString LastFilter;
    TToolPreferences Tools;
    QMenu *ToolsMenuParent = nullptr;
    int PrintOrientation = poPortrait;
    QStringList PreviousLogons;
    bool DrawPrinterPages = true;
    bool DrawPrinterPageNumber = false;
    QStringList PreviousFiles;
    bool DoubleBufferPanel = false;
    bool OptimizerChoose = false;
    int ExplorersTabIndex = 0;
    int LeftPanelWidth = 0;
    int PlanPanelHeight = 0;
    bool ShowStatusBar = false;

    // True after the file failed to load, until the preferences are saved
    // deliberately: closing the program must not overwrite a file the user
    // may still want to mend.
    bool LoadFailed() const { return m_loadFailed; }
    // Whether closing the program writes the file.
    bool ShouldSaveOnExit() const { return SaveOnExit && !m_loadFailed; }
    // After a failed load: a copy of the file beside it ("<name>.damaged", or
    // the first free "<name>.damaged.N"; an earlier copy with the same bytes
    // serves again), made at most once; returns its name. Raises with the
    // system's reason when no copy can be made. Saving over the damaged file
    // makes the copy first and does not save without it.
    QString KeepDamagedCopy() const;

    // Receives the orientation whenever it is set, so printing follows at once.
    static void (*ApplyPrinterOrientation)(int orientation);
    // Fills the layout fields (explorers tab, panel sizes, status bar) from the
    // window as it is now. Set by the main window; every write asks it first,
    // so no path writes a layout that only another path would have filled in.
    static void (*TakeWindowLayout)(TPreferences &preferences);

private:
    void ReadPreferences(const TXMLElement &root);
    mutable bool m_loadFailed = false;
    QString m_damagedFile;
    mutable QString m_damagedCopy;
};
