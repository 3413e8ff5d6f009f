// The about box and splash: version text, home-page label, borderless, and
// closing on Escape or a click on its pictures and texts.
#include "shell_fixture.h"

#include "model/helpers.h"
#include "platform/shell.h"
#include "shell/about_form.h"

#include <QGuiApplication>
#include <QScreen>

TEST(AboutForm, ShowsTheVersionAndClosesOnEscapeOrAClickOnItsPictureAndTexts)
{
    const auto click = [](QWidget *widget) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &release);
    };
    for (const char *target : {"imgAbout", "lblVersion", "lblCopyrightNotice", "Image1", "Escape"}) {
        SCOPED_TRACE(target);
        Tfrmabout about;
        about.show();
        EXPECT_TRUE(about.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(about.size(), QSize(372, 234));
        EXPECT_EQ(about.findChild<QLabel *>("lblVersion")->text(), "v1.1.6");
        EXPECT_TRUE(about.findChild<QLabel *>("lblHomePage")->isVisible());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        if (QLatin1String(target) == QLatin1String("Escape"))
            QApplication::sendEvent(&about, &escape);
        else
            click(about.findChild<QWidget *>(target));
        EXPECT_FALSE(about.isVisible());
    }
    // The box stands in the middle of the screen, or of its owner.
    {
        Tfrmabout splash;
        splash.show();
        EXPECT_EQ(splash.frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
        QWidget owner;
        owner.setGeometry(130, 170, 420, 380);
        owner.show();
        Tfrmabout about(&owner);
        about.show();
        EXPECT_EQ(about.frameGeometry().center(), owner.frameGeometry().center());
    }
    // The splash hides the home page, which otherwise opens on a click.
    TScopedRecordingShell shell;
    Tfrmabout about;
    about.SetHomePageVisible(false);
    about.show();
    auto *homePage = about.findChild<QLabel *>("lblHomePage");
    EXPECT_FALSE(homePage->isVisible());
    about.SetHomePageVisible(true);
    click(homePage);
    EXPECT_TRUE(about.isVisible());
    EXPECT_EQ(shell.OpenedDocuments, QStringList({QString::fromLatin1(THelpers::HomePage)}));
}
