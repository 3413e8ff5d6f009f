#pragma once
// TSqlWindows: where the canvas shows generated scripts and runs table
// queries: each in a new SQL editor window, or through an installed hook.
#include <QString>
#include <QStringList>

class ISqlWindows {
public:
    virtual ~ISqlWindows() = default;
    // A new editor window in script mode holding the lines.
    virtual void ShowScript(const QStringList &lines) = 0;
    // A new editor window that runs the query into its grid at once.
    virtual void RunQuery(const QString &sql) = 0;
};

class TSqlWindows {
public:
    TSqlWindows() = delete;

    static void ShowScript(const QStringList &lines);
    static void RunQuery(const QString &sql);
    // Installs a hook (not owned); nullptr goes back to the editor windows.
    static void SetHook(ISqlWindows *hook);
};
