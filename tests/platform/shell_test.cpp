// Opening documents and starting programs, recorded by the hook or really started.
#include "platform/shell.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

TEST(Shell, DocumentsAreAddressesWithASchemeOrLocalPaths)
{
    EXPECT_EQ(TShell::DocumentUrl("https://example.org/guide"), QUrl("https://example.org/guide"));
    EXPECT_EQ(TShell::DocumentUrl("mailto:someone@example.org"), QUrl("mailto:someone@example.org"));
    EXPECT_EQ(TShell::DocumentUrl("/tmp/diagram picture.gif"), QUrl::fromLocalFile("/tmp/diagram picture.gif"));
    EXPECT_TRUE(TShell::DocumentUrl("C:/temp/a.bmp").isLocalFile()); // a drive letter is no scheme
    EXPECT_EQ(TShell::DocumentUrl("relative.txt"), QUrl::fromLocalFile(QDir::current().absoluteFilePath("relative.txt")));
}

TEST(Shell, RequestsGoToTheInstalledHook)
{
    TScopedRecordingShell shell;
    EXPECT_TRUE(TShell::OpenDocument("/tmp/a.gif"));
    EXPECT_TRUE(TShell::StartProgram("sqlplus", {"scott@orcl"}, {{"MARROWTIDE_CONNECT", "x"}}, "/tmp"));
    shell.Result = false;
    EXPECT_FALSE(TShell::OpenDocument("https://example.org"));
    EXPECT_FALSE(TShell::OpenDocument("")); // nothing to open: never reaches the hook
    EXPECT_FALSE(TShell::StartProgram("", {}));

    EXPECT_EQ(shell.OpenedDocuments, QStringList({"/tmp/a.gif", "https://example.org"}));
    ASSERT_EQ(shell.StartedPrograms.size(), 1);
    const TProgramStart expected{"sqlplus", {"scott@orcl"}, {{"MARROWTIDE_CONNECT", "x"}}, "/tmp"};
    EXPECT_EQ(shell.StartedPrograms.first(), expected);
}

TEST(Shell, ProgramsGetTheirArgumentsVerbatimWithTheAddedEnvironment)
{
    QTemporaryDir dir;
    const QString done = dir.filePath("done");
    // The script writes what it received; its arguments would do harm if a shell saw them.
    const QString script = QStringLiteral("printf '%s\\n' \"$@\" \"$MARROWTIDE_TEST\" \"$PWD\" > out.txt; touch done");
    ASSERT_TRUE(TShell::StartProgram("/bin/sh", {"-c", script, "sh", "a b", "$(touch hacked); x | y"},
                                     {{"MARROWTIDE_TEST", "from the caller"}}, dir.path()));
    EXPECT_FALSE(TShell::StartProgram("/nonexistent/marrowtide-no-such-program", {}));
    QDeadlineTimer deadline(20000);
    while (!QFileInfo::exists(done) && !deadline.hasExpired())
        QThread::msleep(20);
    QFile file(dir.filePath("out.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              "a b\n$(touch hacked); x | y\nfrom the caller\n" + QFileInfo(dir.path()).canonicalFilePath() + "\n");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("hacked")));
}

// The desktop's opener starts even when it has no browser to hand a web page to,
// and then fails unseen: the page is refused before, so the caller can say so.
// Without the opener Qt looks for a browser itself.
TEST(Shell, AWebPageNeedsABrowserTheDesktopsOpenerCanFind)
{
    QTemporaryDir dir;
    const QByteArray path = qgetenv("PATH"), browser = qgetenv("BROWSER");
    qputenv("PATH", QFile::encodeName(dir.path()));
    const struct {
        QStringList Programs;
        const char *Browser;
        bool Shown;
    } cases[] = {{{}, "", true},
                 {{"xdg-open"}, "", false},
                 {{"xdg-open"}, "lynx", true},
                 {{"xdg-open", "w3m"}, "", true},
                 {{"xdg-open", "x-www-browser"}, "", true}};
    for (const auto &c : cases) {
        for (const QString &name : c.Programs) {
            QFile program(dir.filePath(name));
            ASSERT_TRUE(program.open(QIODevice::WriteOnly));
            program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        }
        qputenv("BROWSER", c.Browser);
        EXPECT_EQ(TShell::CanShowWebPage("https"), c.Shown) << c.Programs.join(' ').toStdString() << c.Browser;
        for (const QString &name : c.Programs)
            QFile::remove(dir.filePath(name));
    }
    EXPECT_EQ(TShell::FindProgram("sh"), "") << "looked for on the PATH";
    qputenv("PATH", path);
    browser.isNull() ? qunsetenv("BROWSER") : qputenv("BROWSER", browser);
}
