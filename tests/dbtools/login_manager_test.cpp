// Logging on: connect strings, the command-line logon and the logon dialog's
// three attempts; passwords never reach the console or the preferences.
#include "dbtools/console_helper.h"
#include "dbtools/login_manager.h"
#include "fake_database_session.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/fake_user_interface.h"

#include <gtest/gtest.h>

namespace {

class RecordingConsole : public IConsoleSink {
public:
    void AddLine(const QString &text) override { Lines << text; }
    QStringList Lines;
};

class LoginManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        TConsoleHelper::SetSink(&Console);
    }
    void TearDown() override
    {
        TConsoleHelper::SetSink(nullptr);
        TLoginManager::SetLogonPrompt(nullptr);
        TLoginManager::SetSessionFactory(nullptr);
        FinalizeModelGlobals();
    }
    void ExpectNoPassword(const QString &password)
    {
        for (const QString &line : Console.Lines)
            EXPECT_FALSE(line.contains(password)) << line.toStdString();
        for (const QString &logon : Preferences->PreviousLogons)
            EXPECT_FALSE(logon.contains(password));
    }

    RecordingConsole Console;
    TScopedFakeUserInterface Ui;
};

IDatabaseSessionPtr Connect(const TLogonValues &v)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    session->Username = v.User;
    session->Password = v.Password;
    session->Database = v.Database;
    return session;
}

} // namespace

TEST(LoginManagerConnectString, SkipsFileAndClientParameters)
{
    EXPECT_EQ(TLoginManager::ConnectString({"OCIDLL=/x/libclntsh.so", "oraclehome=/opt/o", "file=a.xml",
                                            "scott/tiger@orcl", "other"}),
              "scott/tiger@orcl");
    EXPECT_EQ(TLoginManager::ConnectString({"FILE=a.xml", "OCIDLL=x"}), "");
    EXPECT_EQ(TLoginManager::ConnectString({}), "");
}

TEST(LoginManagerConnectString, SplitsUserPasswordAndDatabase)
{
    struct Case {
        QString Text;
        bool Ok;
        QString User, Password, Database;
    };
    const Case cases[] = {
        {"scott/tiger@orcl", true, "scott", "tiger", "orcl"},
        {"scott/ti@ger@orcl", true, "scott", "ti@ger", "orcl"},
        {"scott/tiger", true, "scott", "tiger", ""},
        {"scott/tiger@/data/dict.sqlite", true, "scott", "tiger", "/data/dict.sqlite"},
        {"scott", false, "", "", ""},
        {"/tiger@orcl", false, "", "", ""},
    };
    for (const Case &c : cases) {
        TLogonValues v;
        EXPECT_EQ(TLoginManager::ParseConnectString(c.Text, v), c.Ok) << c.Text.toStdString();
        if (c.Ok) {
            EXPECT_EQ(v.User, c.User);
            EXPECT_EQ(v.Password, c.Password);
            EXPECT_EQ(v.Database, c.Database);
        }
    }
}

TEST_F(LoginManagerTest, CommandLineLoginWithoutOracleStaysOfflineAndSaysWhy)
{
    TLoginManager::CommandLineLogin(QStringList{"file=a.xml", "scott/tiger@orcl"});
    EXPECT_EQ(DatabaseSession, nullptr);
    ASSERT_GE(Console.Lines.size(), 2);
    EXPECT_EQ(Console.Lines[0], "Attempting command line login.");
    EXPECT_TRUE(Console.Lines[1].startsWith("Login failed: "));
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_TRUE(Ui.Messages()[0].contains("offline"));
    ExpectNoPassword("tiger");
}

TEST_F(LoginManagerTest, CommandLineLoginWithoutConnectStringIsReported)
{
    TLoginManager::SetSessionFactory(Connect);
    TLoginManager::CommandLineLogin(QStringList{"nonsense"});
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
}

TEST_F(LoginManagerTest, CommandLineLoginConnectsAndRemembersTheLogon)
{
    TLoginManager::SetSessionFactory(Connect);
    Preferences->PreviousLogons = {"hr@xe", "scott@orcl"};
    TLoginManager::CommandLineLogin(QStringList{"scott/tiger@orcl"});
    ASSERT_NE(DatabaseSession, nullptr);
    EXPECT_TRUE(DatabaseSession->GetConnected());
    EXPECT_EQ(Preferences->PreviousLogons, QStringList({"scott@orcl", "hr@xe"}));
    EXPECT_EQ(Preferences->LastUser, "scott");
    EXPECT_EQ(Preferences->LastDatabase, "orcl");
    EXPECT_TRUE(Ui.Messages().isEmpty());
    ExpectNoPassword("tiger");
    TLoginManager::CommandLineLogin(QStringList{"hr/tiger"});
    EXPECT_EQ(Preferences->PreviousLogons, QStringList({"hr@", "scott@orcl", "hr@xe"}));
}

TEST_F(LoginManagerTest, FormLoginGivesUpAfterThreeAttempts)
{
    int prompts = 0;
    TLoginManager::SetLogonPrompt([&](TLogonValues &v, int attempt) {
        EXPECT_EQ(attempt, ++prompts);
        v = {"scott", "wrong", "orcl"};
        return true;
    });
    TLoginManager::FormLogin();
    EXPECT_EQ(prompts, 3);
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 3);
    ExpectNoPassword("wrong");
}

TEST_F(LoginManagerTest, FormLoginPresetsTheLastLogonAndSucceedsOnALaterAttempt)
{
    Preferences->LastUser = "hr";
    Preferences->LastDatabase = "xe";
    int failures = 1;
    TLoginManager::SetSessionFactory([&](const TLogonValues &v) -> IDatabaseSessionPtr {
        if (failures-- > 0)
            throw std::runtime_error("ORA-01017: invalid username/password; logon denied");
        return Connect(v);
    });
    QStringList presets;
    TLoginManager::SetLogonPrompt([&](TLogonValues &v, int) {
        presets << v.User + "|" + v.Password + "|" + v.Database;
        v.Password = "pw";
        return true;
    });
    TLoginManager::FormLogin();
    EXPECT_EQ(presets, QStringList({"hr||xe", "hr||xe"}));
    ASSERT_NE(DatabaseSession, nullptr);
    EXPECT_EQ(DatabaseSession->GetUsername(), "hr");
    EXPECT_EQ(Ui.Messages(), QStringList({"ORA-01017: invalid username/password; logon denied"}));
}

TEST_F(LoginManagerTest, CancelledFormLoginWorksOffline)
{
    TLoginManager::SetLogonPrompt([](TLogonValues &, int) { return false; });
    TLoginManager::FormLogin();
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(Console.Lines, QStringList({"Login cancelled, working offline."}));
}
