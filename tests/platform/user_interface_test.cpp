// The user-interface hook: the global accessor, the hourglass guard and Qt file filters.
#include "platform/fake_user_interface.h"
#include "platform/qt_user_interface.h"
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QDialog>
#include <QWidget>
#include <gtest/gtest.h>

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

// A box asks for its own place, in the middle of the screen while nothing (or
// only the splash) is up and over its owner once that shows: a window manager
// left to place it puts it in a corner.
TEST(QtUserInterface, MessageBoxesAreCentredOnTheScreenOrOverTheirOwner)
{
    TQtUserInterface ui;
    QRect seen;
    bool placed = false;
    const auto measureAndClose = [&] {
        QTimer::singleShot(0, [&] {
            QWidget *box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            seen = box->frameGeometry();
            placed = box->testAttribute(Qt::WA_Moved);
            box->close();
        });
    };
    measureAndClose();
    ui.ShowError("Nothing is up yet.");
    EXPECT_TRUE(placed);
    EXPECT_LE((seen.center() - QGuiApplication::primaryScreen()->availableGeometry().center()).manhattanLength(), 2);

    QWidget owner;
    owner.setGeometry(130, 170, 420, 380);
    owner.show();
    QApplication::setActiveWindow(&owner);
    measureAndClose();
    ui.ShowInformation("Over the owner.");
    EXPECT_TRUE(placed);
    EXPECT_LE((seen.center() - owner.frameGeometry().center()).manhattanLength(), 2);

    // An owner not shown yet (a main window still being built) does not count.
    QWidget hidden;
    hidden.setGeometry(0, 0, 300, 200);
    QDialog dialog(&hidden);
    dialog.resize(100, 60);
    TQtUserInterface::PlaceDialog(dialog);
    EXPECT_LE((dialog.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center())
                  .manhattanLength(), 2);
}
