// Logging on to the sample database; the password never reaches the console,
// a message or the preferences file.
#include "dbtools/logon_dialog.h"
#include "modal_dialog.h"
#include "model/preferences.h"
#include "platform/fake_user_interface.h"
#include "sample_database.h"

#include <QCryptographicHash>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

const char Password[] = "Pa55@w0rd";
const char InvalidLogon[] = "ORA-01017: invalid username/password; logon denied";
const char NoConnectString[] = "The command line holds no connect string of the form user/password@database.";

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

// The connect string is the first parameter but "file=", "OCIDLL=" and
// "ORACLEHOME=" ones, split at its last "@". Failures leave the session there
// was; a logon replaces it and is remembered.
TEST_F(LoginManagerTest, CommandLineLogonToTheSampleDatabase)
{
    const std::pair<QStringList, QString> failures[] = {
        {{"file=x.xml", "hr/Wrong-1@" + Database}, InvalidLogon},
        {{"nonsense"}, NoConnectString},
        {{"FILE=a.xml", "OCIDLL=x", "/Wrong-1@orcl"}, NoConnectString},
        {{"hr/Wrong-1@orcl"}, "The Oracle client library \"libclntsh.so\" could not be loaded"},
        {{"hr/Wrong-1"}, "The Oracle client library \"libclntsh.so\" could not be loaded"},
    };
    for (int round = 0; round < 2; ++round) {
        for (const auto &[parameters, message] : failures) {
            Ui.Clear();
            TLoginManager::CommandLineLogin(parameters);
            ASSERT_EQ(Ui.Messages().size(), 1);
            EXPECT_TRUE(Ui.Messages()[0].startsWith(message)) << Ui.Messages()[0].toStdString();
            EXPECT_EQ(DatabaseSession && DatabaseSession->GetConnected(), round == 1);
        }
        EXPECT_EQ(Console.Lines.mid(0, 3), QStringList({"Attempting command line login.",
                                                        QString("Login failed: ") + InvalidLogon, "Working offline."}));
        Preferences->PreviousLogons = {"co@x", "hr@" + Database};
        TLoginManager::CommandLineLogin({"OCIDLL=/nonexistent/libclntsh.so", "oraclehome=/opt/o", "file=a.xml",
                                         "hr/" + QString(Password) + "@" + Database, "co/co@" + Database});
        ASSERT_TRUE(DatabaseSession && DatabaseSession->GetConnected());
        EXPECT_EQ(DatabaseSession->GetUsername() + "@" + DatabaseSession->GetDatabase(), "hr@" + Database);
        EXPECT_EQ(Console.Lines.last(), "Logged on as hr@" + Database + ".");
        EXPECT_EQ(Preferences->PreviousLogons, QStringList({"hr@" + Database, "co@x"}));
        EXPECT_EQ(Preferences->LastUser + "@" + Preferences->LastDatabase, "hr@" + Database);
    }
}

// The dialog comes with the last logon but no password, three times at most.
TEST_F(LoginManagerTest, FormLogonTriesThreeTimesAtMost)
{
    const std::pair<QStringList, QString> cases[] = {
        {{"Wrong-1", "Wrong-1", "Wrong-1", Password}, "Login failed three times, working offline."},
        {{"Wrong-1", Password}, "Logged on as hr@" + Database + "."},
        {{"Wrong-1", ""}, "Login cancelled, working offline."},
    };
    for (const auto &[passwords, last] : cases) {
        DatabaseSession.reset();
        Presets.clear();
        Ui.Clear();
        Preferences->LastUser = "co";
        Preferences->LastDatabase = "xe";
        Answer(passwords);
        TLoginManager::FormLogin();
        EXPECT_EQ(Console.Lines.last(), last);
        EXPECT_EQ(Presets, QStringList({"co/@xe", "hr/@" + Database, "hr/@" + Database}).mid(0, Presets.size()));
        EXPECT_EQ(Presets.size(), std::min<qsizetype>(passwords.size(), 3));
        EXPECT_EQ(Ui.Messages(), QStringList(Presets.size() - (last.startsWith("Login f") ? 0 : 1), InvalidLogon));
        EXPECT_EQ(DatabaseSession != nullptr, last.startsWith("Logged"));
    }
}

// The first logon comes while only the splash is up: the dialog asks for the
// middle of the screen instead of leaving its place to the window manager.
TEST(LogonDialog, StandsInTheMiddleOfTheScreenWithoutAnOwner)
{
    WhenModal([](QDialog &dialog) {
        EXPECT_TRUE(dialog.testAttribute(Qt::WA_Moved));
        const QPoint offset = dialog.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2);
        dialog.reject();
    });
    TLogonValues values;
    EXPECT_FALSE(TfrmLogon::Ask(values, 1));
}
