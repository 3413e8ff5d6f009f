// Logging on to the sample database: connect strings, the command-line logon
// and the logon dialog's three attempts; the password never reaches the
// console, a message or the preferences file.
#include "model/preferences.h"
#include "platform/fake_user_interface.h"
#include "sample_database.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace {

const char Password[] = "Pa55-w0rd";
const char InvalidLogon[] = "ORA-01017: invalid username/password; logon denied";

class LoginManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        Preferences->FileName = Temp.filePath("preferences.config");
        Database = SampleCopy(Temp, "update MARROWTIDE_LOGONS set PASSWORD_SHA256 = '" +
                                        QCryptographicHash::hash(Password, QCryptographicHash::Sha256).toHex() +
                                        "' where USERNAME = 'HR'");
    }
    void TearDown() override
    {
        Preferences->SavePreferences();
        QFile saved(Preferences->FileName);
        EXPECT_TRUE(saved.open(QIODevice::ReadOnly));
        EXPECT_FALSE(saved.readAll().contains(Password));
        for (const QString &text : Console.Lines + Ui.Messages())
            EXPECT_FALSE(text.contains(Password) || text.contains("Wrong-1")) << text.toStdString();
        TLoginManager::SetLogonPrompt(nullptr);
        FinalizeModelGlobals();
    }
    // The logon dialog answers each attempt with the next password; an empty one cancels.
    void Answer(const QStringList &passwords)
    {
        TLoginManager::SetLogonPrompt([this, passwords](TLogonValues &v, int attempt) {
            Presets << v.User + "/" + v.Password + "@" + v.Database;
            v = {"hr", passwords.value(attempt - 1), Database};
            return !v.Password.isEmpty();
        });
    }

    QTemporaryDir Temp;
    QString Database;
    TRecordingConsole Console;
    TScopedFakeUserInterface Ui;
    QStringList Presets;
};

} // namespace

TEST(LoginManagerConnectString, SkipsFileAndClientParametersAndSplitsAtTheLastAt)
{
    EXPECT_EQ(TLoginManager::ConnectString({"OCIDLL=/x/libclntsh.so", "oraclehome=/opt/o", "file=a.xml",
                                            "scott/tiger@orcl", "other"}),
              "scott/tiger@orcl");
    EXPECT_EQ(TLoginManager::ConnectString({"FILE=a.xml", "OCIDLL=x"}), "");
    const std::pair<QString, QString> cases[] = {
        {"scott/tiger@orcl", "scott|tiger|orcl"},   {"scott/ti@ger@orcl", "scott|ti@ger|orcl"},
        {"scott/tiger", "scott|tiger|"},            {"scott/tiger@/data/dict.db", "scott|tiger|/data/dict.db"},
        {"scott", "-"},                             {"/tiger@orcl", "-"},
    };
    for (const auto &[text, expected] : cases) {
        TLogonValues v;
        const bool ok = TLoginManager::ParseConnectString(text, v);
        EXPECT_EQ(ok ? v.User + "|" + v.Password + "|" + v.Database : "-", expected);
    }
}

// Failures leave the session there was; a logon replaces it and is remembered.
TEST_F(LoginManagerTest, CommandLineLogonToTheSampleDatabase)
{
    struct Case {
        QStringList Parameters;
        QString Message;
    };
    const Case failures[] = {
        {{"file=x.xml", "hr/Wrong-1@" + Database}, InvalidLogon},
        {{"nonsense"}, "The command line holds no connect string of the form user/password@database."},
        {{"hr/Wrong-1@orcl"}, "The Oracle client library \"libclntsh.so\" could not be loaded"},
    };
    for (int round = 0; round < 2; ++round) {
        for (const Case &c : failures) {
            Ui.Clear();
            TLoginManager::CommandLineLogin(c.Parameters);
            ASSERT_EQ(Ui.Messages().size(), 1);
            EXPECT_TRUE(Ui.Messages()[0].startsWith(c.Message)) << Ui.Messages()[0].toStdString();
            EXPECT_EQ(DatabaseSession && DatabaseSession->GetConnected(), round == 1);
        }
        EXPECT_EQ(Console.Lines.mid(0, 3), QStringList({"Attempting command line login.",
                                                        QString("Login failed: ") + InvalidLogon, "Working offline."}));
        Preferences->PreviousLogons = {"co@x", "hr@" + Database};
        TLoginManager::CommandLineLogin({"OCIDLL=/nonexistent/libclntsh.so", "file=a.xml",
                                         "hr/" + QString(Password) + "@" + Database});
        ASSERT_TRUE(DatabaseSession && DatabaseSession->GetConnected());
        EXPECT_EQ(DatabaseSession->GetUsername() + "@" + DatabaseSession->GetDatabase(), "hr@" + Database);
        EXPECT_EQ(Console.Lines.last(), "Logged on as hr@" + Database + ".");
        EXPECT_EQ(Preferences->PreviousLogons, QStringList({"hr@" + Database, "co@x"}));
        EXPECT_EQ(Preferences->LastUser + "@" + Preferences->LastDatabase, "hr@" + Database);
    }
}

TEST_F(LoginManagerTest, FormLogonGivesUpAfterThreeAttempts)
{
    Answer({"Wrong-1", "Wrong-1", "Wrong-1", Password});
    TLoginManager::FormLogin();
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(Ui.Messages(), QStringList({InvalidLogon, InvalidLogon, InvalidLogon}));
    EXPECT_EQ(Console.Lines.last(), "Login failed three times, working offline.");
}

TEST_F(LoginManagerTest, FormLogonPresetsTheLastLogonAndSucceedsOnALaterAttempt)
{
    Preferences->LastUser = "co";
    Preferences->LastDatabase = "xe";
    Answer({"Wrong-1", Password});
    TLoginManager::FormLogin();
    EXPECT_EQ(Presets, QStringList({"co/@xe", "hr/@" + Database}));
    ASSERT_NE(DatabaseSession, nullptr);
    EXPECT_TRUE(DatabaseSession->GetConnected());
    EXPECT_EQ(Ui.Messages(), QStringList({InvalidLogon}));
}

TEST_F(LoginManagerTest, CancelledFormLogonWorksOffline)
{
    Answer({});
    TLoginManager::FormLogin();
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(Console.Lines, QStringList({"Login cancelled, working offline."}));
}
