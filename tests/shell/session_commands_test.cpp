// The main window's commands that reach a session or another program, online
// and offline: which are enabled, and what SQL*Plus, the tnsnames file and the
// instances are started with.
#include "shell_fixture.h"

#include "platform/shell.h"

#include <QAction>
#include <QCoreApplication>

namespace {

// A session whose network configuration file is a real file of the test.
class TTnsSession : public TFakeDatabaseSession {
public:
    QString TnsPath;
    QString GetTnsNamesPath() const override { return TnsPath; }
};

} // namespace

class SessionCommandsTest : public ShellFixture {
protected:
    std::shared_ptr<TTnsSession> Session = std::make_shared<TTnsSession>();

    Tfrmgui &StartOnline()
    {
        Session->Username = QStringLiteral("hr");
        Session->Password = QStringLiteral("s3cret");
        Session->Database = QStringLiteral("xepdb1");
        TLoginManager::SetSessionFactory([this](const TLogonValues &) { return Session; });
        return Start({"hr/s3cret@xepdb1"});
    }
};

TEST_F(SessionCommandsTest, SessionCommandsFollowTheConnection)
{
    struct Case {
        const char *Action;
        bool Online;
        bool Offline;
    };
    const Case cases[] = {
        {"actLogOn", true, true},           {"actLogOff", true, false},
        {"actShowIniFile", true, false},    {"actSQLPlus", true, true},
        {"actCloneInstance", true, true},   {"actNewInstance", true, true},
        {"actDatabaseBrowser", true, true}, {"actRenameDiagram", true, true},
        {"actFind", true, true},
    };
    Tfrmgui &form = StartOnline();
    for (const Case &c : cases)
        EXPECT_EQ(form.Action(c.Action)->isEnabled(), c.Online) << c.Action << " online";
    form.Action("actLogOff")->trigger();
    for (const Case &c : cases)
        EXPECT_EQ(form.Action(c.Action)->isEnabled(), c.Offline) << c.Action << " offline";
    // Whatever a later target enables, a session command stays off offline.
    for (const char *name : {"actExtractMetaData", "actExportImport", "actGenDeltaDDL"})
        EXPECT_FALSE(form.Action(name)->isEnabled()) << name;
}

TEST_F(SessionCommandsTest, SqlPlusGetsUserAndDatabaseButNeverThePassword)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartOnline();
    form.Action("actSQLPlus")->trigger();
    form.Action("actLogOff")->trigger();
    form.Action("actSQLPlus")->trigger();
    ASSERT_EQ(shell.StartedPrograms.size(), 2);
    const TProgramStart &online = shell.StartedPrograms[0];
    EXPECT_EQ(online.Program, "x-terminal-emulator");
    EXPECT_EQ(online.Arguments, QStringList({"-e", "sqlplus", "hr@xepdb1"}));
    EXPECT_TRUE(online.Environment.isEmpty());
    for (const TProgramStart &start : shell.StartedPrograms)
        EXPECT_FALSE(start.Arguments.join(' ').contains("s3cret"));
    EXPECT_EQ(shell.StartedPrograms[1].Arguments, QStringList({"-e", "sqlplus"}));
}

TEST_F(SessionCommandsTest, AProgramThatCannotStartIsReported)
{
    TScopedRecordingShell shell;
    shell.Result = false;
    Tfrmgui &form = Start({"file="});
    form.Action("actSQLPlus")->trigger();
    form.Action("actNewInstance")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Cannot start sqlplus.",
                                          "Cannot start " + QCoreApplication::applicationFilePath() + "."}));
}

TEST_F(SessionCommandsTest, TnsNamesOpensInTheUsersEditorOrSaysItIsMissing)
{
    TScopedRecordingShell shell;
    const QString tns = Temp.filePath(QStringLiteral("tnsnames.ora"));
    Session->TnsPath = tns;
    Tfrmgui &form = StartOnline();
    form.Action("actShowIniFile")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"File not found: " + tns}));
    EXPECT_TRUE(shell.OpenedDocuments.isEmpty());

    QFile file(tns);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    form.Action("actShowIniFile")->trigger();
    EXPECT_EQ(shell.OpenedDocuments, QStringList({tns}));
}
