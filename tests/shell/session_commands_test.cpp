// The main window's commands that reach a session or another program, online
// and offline: which are enabled, and what SQL*Plus, the tnsnames file and the
// instances are started with.
#include "shell_fixture.h"

#include "platform/shell.h"

// A session whose network configuration file is a real file of the test.
class TTnsSession : public TFakeDatabaseSession {
public:
    QString TnsPath;
    QString GetTnsNamesPath() const override { return TnsPath; }
};

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

// No command is disabled but the two that are no menu's, and offline those
// that need a session.
TEST_F(SessionCommandsTest, EveryCommandIsEnabledButTheSessionOnesWhileOffline)
{
    const QStringList never = {"Reopen", "actSortByCreation"};
    const QStringList session = {"actLogOff", "actShowIniFile", "actExtractMetaData", "actExportImport",
                                 "actGenDeltaDDL"};
    Tfrmgui &form = StartOnline();
    for (const bool online : {true, false}) {
        for (const QAction *a : Find<QObject>("actlistMain")->findChildren<QAction *>(Qt::FindDirectChildrenOnly))
            EXPECT_EQ(a->isEnabled(), !never.contains(a->objectName()) && (online || !session.contains(a->objectName())))
                << a->objectName().toStdString() << (online ? " online" : " offline");
        form.Action("actLogOff")->trigger();
    }
}

// SQL*Plus asks for the password itself and a clone reads the connect string
// from its environment: no password on another program's command line.
TEST_F(SessionCommandsTest, OtherProgramsNeverGetThePasswordOnTheirCommandLine)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartOnline();
    for (const char *command : {"actSQLPlus", "actCloneInstance", "actLogOff", "actSQLPlus", "actCloneInstance",
                                "actNewInstance"})
        form.Action(command)->trigger();
    ASSERT_EQ(shell.StartedPrograms.size(), 5);
    const QString self = QCoreApplication::applicationFilePath();
    const std::pair<QString, QStringList> started[] = {{"x-terminal-emulator", {"-e", "sqlplus", "hr@xepdb1"}},
                                                       {self, {}},
                                                       {"x-terminal-emulator", {"-e", "sqlplus"}},
                                                       {self, {}},
                                                       {self, {}}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(std::pair(shell.StartedPrograms[i].Program, shell.StartedPrograms[i].Arguments), started[i]) << i;
        EXPECT_EQ(shell.StartedPrograms[i].Environment.value("MARROWTIDE_LOGON"), i == 1 ? "hr/s3cret@xepdb1" : "");
    }
    // Offline a clone is a plain new instance.
    EXPECT_EQ(shell.StartedPrograms[3], shell.StartedPrograms[4]);

    shell.StartedPrograms.clear();
    shell.Result = false;
    form.Action("actSQLPlus")->trigger();
    form.Action("actNewInstance")->trigger();
    EXPECT_EQ(Ui.Messages(), QStringList({"Cannot start sqlplus: the terminal program x-terminal-emulator could not "
                                          "be started.",
                                          "Cannot start " + self + "."}));
}

// A program that cannot be started is named with the reason: the terminal or
// SQL*Plus not on the PATH, no web browser to show a page.
TEST_F(SessionCommandsTest, WhatCannotBeStartedIsSaidWithWhy)
{
    TScopedRecordingShell shell;
    Tfrmgui &form = StartOnline();
    for (const char *missing : {"x-terminal-emulator", "sqlplus"}) {
        shell.MissingPrograms = QStringList{missing};
        form.Action("actSQLPlus")->trigger();
    }
    EXPECT_TRUE(shell.StartedPrograms.isEmpty());
    shell.Result = false;
    form.Action("actHomePage")->trigger();
    form.Action("actUserGuide")->trigger();
    const QString browser = "no web browser could be started. Looked for " + TShell::WebBrowserSearch() + ".";
    EXPECT_EQ(Ui.Messages(), QStringList({"Cannot start sqlplus: the terminal program x-terminal-emulator was not "
                                          "found on the PATH.",
                                          "Cannot start sqlplus: the program sqlplus was not found on the PATH.",
                                          "Cannot open https://marrowtide.example.org/: " + browser,
                                          "Cannot open https://marrowtide.example.org/guide/: " + browser}));
    EXPECT_EQ(shell.OpenedDocuments.size(), 2);
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
