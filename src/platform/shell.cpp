#include "platform/shell.h"
#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

bool HasDesktopHandler(const QString &mime)
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), mime});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool HasDesktopApplication(const QString &path) { return HasDesktopHandler(QMimeDatabase().mimeTypeForFile(path).name()); }

// The browsers the desktop's opener tries, in its order, when nothing is set up for
// the address's scheme.
const char *const FallbackBrowsers[] = {"x-www-browser", "firefox", "iceweasel", "seamonkey", "mozilla", "epiphany",
                                        "konqueror", "chromium", "chromium-browser", "google-chrome", "www-browser",
                                        "links2", "elinks", "links", "lynx", "w3m"};


class TRealShell : public IShellHook {
public:
    bool OpenDocument(const QString &pathOrUrl) override
    {
        const QUrl url = TShell::DocumentUrl(pathOrUrl);
        // The desktop's opener starts even when nothing is set up for the
        // file's type and then fails unseen: ask first, so the caller can
        // tell the user.
        if (url.isLocalFile() && !HasDesktopApplication(url.toLocalFile()))
            return false;
        const bool web = url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
        if (web && !TShell::CanShowWebPage(url.scheme()))
            return false;
        return QDesktopServices::openUrl(url);
    }

    bool StartProgram(const TProgramStart &start) override
    {
        QProcess process;
        process.setProgram(start.Program);
        process.setArguments(start.Arguments);
        if (!start.Environment.isEmpty()) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (auto it = start.Environment.constBegin(); it != start.Environment.constEnd(); ++it)
                environment.insert(it.key(), it.value());
            process.setProcessEnvironment(environment);
        }
        if (!start.WorkingDirectory.isEmpty())
            process.setWorkingDirectory(start.WorkingDirectory);
        return process.startDetached();
    }
};

TRealShell &RealShell()
{
    static TRealShell shell;
    return shell;
}

IShellHook *Hook = nullptr;

IShellHook &CurrentHook() { return Hook ? *Hook : RealShell(); }

} // namespace

QUrl TShell::DocumentUrl(const QString &pathOrUrl)
{
    // A scheme of two letters or more ("https:", "mailto:", "file:"); a single letter
    // before the colon is a drive, so such a text is a path.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(pathOrUrl).hasMatch())
        return QUrl(pathOrUrl);
    return QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
}

bool TShell::OpenDocument(const QString &pathOrUrl)
{
    if (pathOrUrl.isEmpty())
        return false;
    return CurrentHook().OpenDocument(pathOrUrl);
}

bool TShell::StartProgram(const QString &program, const QStringList &arguments,
                          const QMap<QString, QString> &environment, const QString &workingDirectory)
{
    return StartProgram(TProgramStart{program, arguments, environment, workingDirectory});
}

bool TShell::StartProgram(const TProgramStart &start)
{
    if (start.Program.isEmpty())
        return false;
    return CurrentHook().StartProgram(start);
}

void TShell::SetHook(IShellHook *hook) { Hook = hook; }

QString IShellHook::FindProgram(const QString &name) { return QStandardPaths::findExecutable(name); }

QString TShell::FindProgram(const QString &name) { return name.isEmpty() ? QString() : CurrentHook().FindProgram(name); }

bool TShell::CanShowWebPage(const QString &scheme)
{
    // Without the desktop's opener Qt looks for a browser itself and says whether it found one.
    if (FindProgram(QStringLiteral("xdg-open")).isEmpty() || !qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    for (const char *browser : FallbackBrowsers)
        if (!FindProgram(QLatin1String(browser)).isEmpty())
            return true;
    return HasDesktopHandler(QStringLiteral("x-scheme-handler/") + scheme);
}

QString TShell::WebBrowserSearch()
{
    return QStringLiteral("the browser set up for web addresses (through xdg-open), the one the BROWSER variable "
                          "names, and x-www-browser, www-browser, firefox or another usual browser on the PATH");
}

QString TRecordingShell::FindProgram(const QString &name)
{
    return MissingPrograms.contains(name) ? QString() : QStringLiteral("/usr/bin/") + name;
}

bool TRecordingShell::OpenDocument(const QString &pathOrUrl)
{
    OpenedDocuments << pathOrUrl;
    return Result;
}

bool TRecordingShell::StartProgram(const TProgramStart &start)
{
    StartedPrograms << start;
    return Result;
}
