// The console window and its helper: line pairs, saving with CR LF, copying,
// clearing, and lines written while no console exists.
#include "shell_fixture.h"
#include "dbtools/console_helper.h"
#include "platform/fake_user_interface.h"
#include "shell/console_form.h"

namespace {

class ThrowingSink : public IConsoleSink {
public:
    void AddLine(const QString &) override { throw std::runtime_error("memo is full"); }
};

} // namespace

TEST(ConsoleForm, EachEntryIsFollowedByAnEmptyLineAndCopyJoinsWithCrLfUntilCleared)
{
    TfrmConsole console;
    console.AddLine("Attempting command line login.");
    console.AddLine("select owner\r\nfrom sys.all_users");
    EXPECT_EQ(console.Lines(), QStringList({"Attempting command line login.", "", "select owner",
                                            "from sys.all_users", ""}));
    console.Button1Click();
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Attempting command line login.\r\n\r\nselect owner\r\nfrom sys.all_users\r\n");
    console.btnClearClick();
    EXPECT_TRUE(console.Lines().isEmpty());
}

// Lines before the console and after it are dropped; a failing console is
// reported, never raised.
TEST(ConsoleForm, HelperWritesThroughTheOneConsoleAndReportsAFailingOne)
{
    TScopedFakeUserInterface ui;
    TConsoleHelper::WriteLine("too early");
    {
        TfrmConsole console;
        TConsoleHelper::WriteMessage("Logged off, working offline.");
        EXPECT_EQ(console.Lines(), QStringList({"Logged off, working offline.", ""}));
    }
    EXPECT_EQ(TConsoleHelper::Sink(), nullptr);
    TConsoleHelper::WriteLine("after the console went");
    EXPECT_TRUE(ui.Messages().isEmpty());
    ThrowingSink sink;
    TConsoleHelper::SetSink(&sink);
    EXPECT_NO_THROW(TConsoleHelper::WriteLine("x"));
    TConsoleHelper::SetSink(nullptr);
    EXPECT_EQ(ui.Messages(), QStringList({"Error writing to console: memo is full"}));
}

TEST(ConsoleForm, SaveWritesEveryLineWithCrLfAndEmptyConsoleWritesEmptyFile)
{
    QTemporaryDir dir;
    TScopedFakeUserInterface ui;
    TfrmConsole console;
    const QString empty = dir.filePath("empty.txt"), full = dir.filePath("full.txt");
    ui.QueueAnswer(TUserInterfaceAnswer::Path(empty));
    console.btnSaveClick();
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(ReadFile(empty), QByteArray());
    const auto dialogs = ui.CallsOf(TUserInterfaceCallKind::SaveFile);
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].File.Filter + dialogs[0].File.DefaultExt, "Text files (*.txt)|*.txt|All files (*.*)|*.*txt");

    console.AddLine("one");
    console.AddLine("two");
    WriteFile(full, "an older and much longer file that is replaced");
    ui.QueueAnswer(TUserInterfaceAnswer::Path(full));
    console.btnSaveClick();
    EXPECT_EQ(ReadFile(full), QByteArray("one\r\n\r\ntwo\r\n\r\n"));
    ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    console.btnSaveClick(); // nothing written, nothing raised
}
