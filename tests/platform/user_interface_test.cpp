// The user-interface hook: the recording fake, the global accessor and the hourglass guard.
#include "platform/fake_user_interface.h"
#include "platform/qt_user_interface.h"
#include <QApplication>
#include <gtest/gtest.h>

using Kind = TUserInterfaceCallKind;

TEST(FakeUserInterface, RecordsCallsAndAnswersFromTheQueueThenWithDefaults)
{
    TFakeUserInterface ui;
    ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    ui.QueueAnswer(TUserInterfaceAnswer::Path("/data/a.xml"));
    ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Arial", 12, clBlue, fsBold)));
    ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    ui.ShowWarning("Careful", "Title");
    EXPECT_FALSE(ui.ConfirmOkCancel("Close page 'A'?"));
    const TFileDialogOptions options{"Open", "XML files (*.xml)|*.xml", "xml", "/tmp", "model"};
    EXPECT_EQ(ui.OpenFileName(options), "/data/a.xml");
    TFont font("Tahoma", 8);
    TColor colour = clRed;
    EXPECT_TRUE(ui.ChooseFont(font));
    EXPECT_EQ(font, TFont("Arial", 12, clBlue, fsBold));
    EXPECT_FALSE(ui.ChooseColor(colour)); // cancelled: unchanged
    EXPECT_EQ(colour, clRed);
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    // An empty queue says OK and Yes, keeps font and colour, and cancels every path dialog.
    EXPECT_TRUE(ui.AskYesNo("Replace?"));
    EXPECT_TRUE(ui.ChooseFont(font));
    EXPECT_EQ(font, TFont("Arial", 12, clBlue, fsBold));
    EXPECT_EQ(ui.SaveFileName({}), QString());
    EXPECT_EQ(ui.ChooseFolder("Folder", "/tmp"), QString());

    EXPECT_EQ(ui.Messages(), QStringList({"Careful", "Close page 'A'?", "Replace?"}));
    EXPECT_EQ(ui.Calls()[0].Caption, "Title");
    ASSERT_EQ(ui.CallsOf(Kind::OpenFile).size(), 1);
    EXPECT_EQ(ui.CallsOf(Kind::OpenFile).first().File, options);
    EXPECT_EQ(ui.CallsOf(Kind::ChooseColor).first().Text, "clRed");
}

TEST(UserInterfaceHook, HourglassNestsOnTheInstalledInterfaceAndEndsOnExceptions)
{
    IUserInterface *qt = &UserInterface();
    EXPECT_NE(dynamic_cast<TQtUserInterface *>(qt), nullptr);
    {
        TScopedFakeUserInterface outer;
        {
            TScopedFakeUserInterface inner;
            THourglass first;
            THourglass second;
            EXPECT_EQ(inner.HourglassDepth(), 2);
        }
        EXPECT_EQ(&UserInterface(), &outer);
        try {
            THourglass hourglass;
            throw std::runtime_error("failed");
        } catch (const std::runtime_error &) {
        }
        EXPECT_EQ(outer.HourglassDepth(), 0);
        EXPECT_EQ(outer.Calls().size(), 2);
    }
    EXPECT_EQ(&UserInterface(), qt);

    // The real one shows the application's wait cursor.
    {
        THourglass hourglass;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtUserInterface, FileFiltersAreTranslatedToQtForm)
{
    EXPECT_EQ(TQtUserInterface::QtFileFilter("XML files (*.xml)|*.xml|All files (*.*)|*.*"),
              "XML files (*.xml);;All files (*.*)");
    EXPECT_EQ(TQtUserInterface::QtFileFilter("Executable Files (*.exe)|*.EXE|Command Files (*.cmd)|*.CMD"),
              "Executable Files (*.EXE *.exe);;Command Files (*.CMD *.cmd)");
    EXPECT_EQ(TQtUserInterface::QtFileFilter("Pictures|*.gif;*.jpg"), "Pictures (*.gif *.jpg)");
    EXPECT_EQ(TQtUserInterface::QtFileFilter(""), "");
}
