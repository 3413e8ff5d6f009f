// The user-interface hook: the recording fake, the global accessor and the hourglass guard.
#include "platform/fake_user_interface.h"
#include "platform/qt_user_interface.h"
#include <QApplication>
#include <gtest/gtest.h>

using Kind = TUserInterfaceCallKind;

TEST(FakeUserInterface, RecordsEveryCallInOrder)
{
    TFakeUserInterface ui;
    ui.ShowInformation("Saved.");
    ui.ShowWarning("Careful", "Title");
    ui.ShowError("Broken");
    ui.ConfirmOkCancel("Close page 'A'?");
    ui.AskYesNo("Replace?");
    TFileDialogOptions options{"Save", "XML files (*.xml)|*.xml", "xml", "/tmp", "model"};
    ui.SaveFileName(options);

    ASSERT_EQ(ui.Calls().size(), 6);
    const Kind kinds[] = {Kind::Information, Kind::Warning, Kind::Error, Kind::ConfirmOkCancel, Kind::AskYesNo,
                          Kind::SaveFile};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(ui.Calls()[i].Kind, kinds[i]) << i;
    EXPECT_EQ(ui.Calls()[1].Caption, "Title");
    EXPECT_EQ(ui.Calls()[5].Text, "XML files (*.xml)|*.xml");
    EXPECT_EQ(ui.Calls()[5].File, options);
    EXPECT_EQ(ui.Messages(), QStringList({"Saved.", "Careful", "Broken", "Close page 'A'?", "Replace?"}));
    EXPECT_EQ(ui.CallsOf(Kind::Error).size(), 1);
}

TEST(FakeUserInterface, AnswersComeFromTheQueueThenDefaults)
{
    TFakeUserInterface ui;
    ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    ui.QueueAnswer(TUserInterfaceAnswer::No());
    ui.QueueAnswer(TUserInterfaceAnswer::Path("/data/a.xml"));
    EXPECT_FALSE(ui.ConfirmOkCancel("first"));
    EXPECT_FALSE(ui.AskYesNo("second"));
    EXPECT_EQ(ui.OpenFileName({}), "/data/a.xml");
    EXPECT_EQ(ui.PendingAnswers(), 0u);
    // An empty queue says OK and Yes, and cancels every dialog that returns a path.
    EXPECT_TRUE(ui.ConfirmOkCancel("third"));
    EXPECT_TRUE(ui.AskYesNo("fourth"));
    EXPECT_EQ(ui.OpenFileName({}), QString());
    EXPECT_EQ(ui.SaveFileName({}), QString());
    EXPECT_EQ(ui.ChooseFolder("Folder", "/tmp"), QString());
}

TEST(FakeUserInterface, FontAndColourDialogsKeepTheValueUnlessAnswered)
{
    TFakeUserInterface ui;
    TFont font("Tahoma", 8);
    TColor colour = clRed;
    EXPECT_TRUE(ui.ChooseFont(font)); // default: OK, unchanged
    EXPECT_EQ(font, TFont("Tahoma", 8));
    ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Arial", 12, clBlue, fsBold)));
    ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    EXPECT_TRUE(ui.ChooseFont(font));
    EXPECT_FALSE(ui.ChooseColor(colour));
    EXPECT_EQ(font, TFont("Arial", 12, clBlue, fsBold));
    EXPECT_EQ(colour, clRed);
    EXPECT_EQ(ui.CallsOf(Kind::ChooseColor).first().Text, "clRed");
}

TEST(UserInterfaceHook, HourglassGoesThroughTheInstalledInterfaceAndNests)
{
    TScopedFakeUserInterface ui;
    {
        THourglass outer;
        EXPECT_EQ(ui.HourglassDepth(), 1);
        {
            THourglass inner;
            EXPECT_EQ(ui.HourglassDepth(), 2);
        }
        EXPECT_EQ(ui.HourglassDepth(), 1);
    }
    EXPECT_EQ(ui.HourglassDepth(), 0);
    EXPECT_EQ(ui.Calls().size(), 4);
    EXPECT_EQ(ui.Calls().last().Kind, Kind::EndHourglass);
}

TEST(UserInterfaceHook, HourglassEndsEvenWhenAnExceptionLeaves)
{
    TScopedFakeUserInterface ui;
    try {
        THourglass hourglass;
        throw std::runtime_error("failed");
    } catch (const std::runtime_error &) {
    }
    EXPECT_EQ(ui.HourglassDepth(), 0);
}

TEST(UserInterfaceHook, InstalledInterfaceIsUsedUntilRemoved)
{
    IUserInterface *qt = &UserInterface();
    EXPECT_NE(dynamic_cast<TQtUserInterface *>(qt), nullptr);
    {
        TScopedFakeUserInterface outer;
        EXPECT_EQ(&UserInterface(), &outer);
        {
            TScopedFakeUserInterface inner;
            UserInterface().ShowError("to inner");
            EXPECT_EQ(inner.Messages(), QStringList({"to inner"}));
        }
        EXPECT_EQ(&UserInterface(), &outer);
        EXPECT_TRUE(outer.Calls().isEmpty());
    }
    EXPECT_EQ(&UserInterface(), qt);
    TFakeUserInterface plain;
    SetUserInterface(&plain);
    EXPECT_EQ(&UserInterface(), &plain);
    SetUserInterface(nullptr);
    EXPECT_EQ(&UserInterface(), qt);
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

TEST(QtUserInterface, HourglassIsTheApplicationsOverrideCursor)
{
    TQtUserInterface ui;
    SetUserInterface(&ui);
    {
        THourglass hourglass;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    SetUserInterface(nullptr);
}
