// The user-interface hook: the global accessor, the hourglass guard and Qt file filters.
#include "platform/fake_user_interface.h"
#include "platform/qt_user_interface.h"
#include <QApplication>
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
