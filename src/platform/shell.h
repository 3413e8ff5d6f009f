#pragma once
// TShell: opening documents and web addresses with the user's programs and starting
// programs, through a replaceable hook so tests record instead of launching.
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

// A program to start: never through a command shell; arguments go as they are.
struct TProgramStart {
    QString Program;
    QStringList Arguments;
    QMap<QString, QString> Environment; // added to (or replacing in) the program's own environment
    QString WorkingDirectory; // empty: the current one
    friend bool operator==(const TProgramStart &, const TProgramStart &) = default;
};

class IShellHook {
public:
    virtual ~IShellHook() = default;
    virtual bool OpenDocument(const QString &pathOrUrl) = 0;
    virtual bool StartProgram(const TProgramStart &start) = 0;
    // The path of a program on the PATH, or empty.
    virtual QString FindProgram(const QString &name);
};

class TShell {
public:
    TShell() = delete;

    // A file path (opened with its associated program) or an address with a scheme
    // ("https://...", "mailto:..."). False when nothing could be opened.
    static bool OpenDocument(const QString &pathOrUrl);
    // Starts a program detached from this one. False when it could not be started.
    static bool StartProgram(const QString &program, const QStringList &arguments,
                             const QMap<QString, QString> &environment = {},
                             const QString &workingDirectory = {});
    static bool StartProgram(const TProgramStart &start);

    // The path of a program on the PATH, or empty when there is none.
    static QString FindProgram(const QString &name);
    // False when the desktop's opener, which starts and then fails unseen when it
    // finds no browser, has none to hand a web address of the scheme ("https") to:
    // neither the one set up for it, nor the one BROWSER names, nor a usual one.
    static bool CanShowWebPage(const QString &scheme);
    // What OpenDocument looks for to show a web page, to say when it finds none.
    static QString WebBrowserSearch();

    // The URL a path or address opens as.
    static QUrl DocumentUrl(const QString &pathOrUrl);

    // Installs a hook (not owned); nullptr goes back to the real shell.
    static void SetHook(IShellHook *hook);
};

// A shell hook for tests: records the requests and reports success (or Result).
class TRecordingShell : public IShellHook {
public:
    bool OpenDocument(const QString &pathOrUrl) override;
    bool StartProgram(const TProgramStart &start) override;
    // Every program is found, as "/usr/bin/<name>", but the missing ones.
    QString FindProgram(const QString &name) override;

    QStringList OpenedDocuments;
    QList<TProgramStart> StartedPrograms;
    QStringList MissingPrograms;
    bool Result = true;
};

// Installs a recording shell for a scope and the real one again after.
class TScopedRecordingShell : public TRecordingShell {
public:
    TScopedRecordingShell() { TShell::SetHook(this); }
    ~TScopedRecordingShell() override { TShell::SetHook(nullptr); }
};
