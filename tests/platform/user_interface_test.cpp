// The user-interface hook: the global accessor, the hourglass guard and Qt file filters.
#include "platform/fake_user_interface.h"
#include "platform/qt_user_interface.h"
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QDialog>
#include <QFileDialog>
#include <QTemporaryDir>
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

// A name typed without an extension takes the chosen entry's; a typed one stays.
TEST(QtUserInterface, ASavedNameTakesTheExtensionOfTheChosenFilter)
{
    TFileDialogOptions options;
    options.Filter = "GIF Files (*.gif)|*.gif|JPEG files (*.jpg)|*.jpg;*.jpeg|All files (*.*)|*.*";
    options.DefaultExt = "gif";
    const struct {
        const char *Typed;
        int Filter;
        const char *Saved;
    } cases[] = {{"/d/pic", 1, "/d/pic.jpg"},     {"/d/pic", 0, "/d/pic.gif"},     {"/d/pic", 2, "/d/pic.gif"},
                 {"/d/pic", 3, "/d/pic.gif"},     {"/d/pic.BMP", 1, "/d/pic.BMP"}, {"/d/pic.x", 0, "/d/pic.x"},
                 {"/d.e/pic", 1, "/d.e/pic.jpg"}, {"", 1, ""}};
    for (const auto &c : cases)
        EXPECT_EQ(SavedFileName(c.Typed, options, c.Filter), c.Saved) << c.Typed << " in " << c.Filter;

    // The dialog itself tells the entry and names the file by it.
    QTemporaryDir dir;
    options.InitialDir = dir.path();
    options.FileName = "pic";
    TQtUserInterface ui;
    for (int filter : {1, 0}) {
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectNameFilter(dialog->nameFilters().value(filter));
            static_cast<QDialog *>(dialog)->accept();
        });
        int chosen = -1;
        EXPECT_EQ(ui.SaveFileName(options, &chosen), dir.filePath(filter ? "pic.jpg" : "pic.gif"));
        EXPECT_EQ(chosen, filter);
    }
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
