// The tour character: its file, its request queue performed in order, and a
// tour that ends or is closed leaving no window, timer or control behind.
#include "platform/agent_character.h"
#include "platform/agent_window.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QWidget *TopLevel(const QString &name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && !widget->isHidden())
            return widget;
    return nullptr;
}

int AgentWindowCount()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<TAgentCharacterWindow *>(widget) || qobject_cast<TAgentBalloonWindow *>(widget))
            ++count;
    }
    return count;
}

class AgentCharacter : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        TAgentControl::SetCharacterFolderOverride(Temp.path());
        Write("guide.character", "[marrowtide character]\nname=Guide\nwidth=90\nheight=120\n");
    }
    void TearDown() override
    {
        TAgentControl::SetCharacterFolderOverride({});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Write(const QString &name, const QByteArray &text)
    {
        QFile file(Temp.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // A control with the character loaded and a short performance queued.
    TAgentCharacter &Queue(TAgentControl &control)
    {
        control.LoadCharacter("Guide", "guide.character");
        auto &character = static_cast<TAgentCharacter &>(control.Character("Guide"));
        character.MoveTo(30, 40, 0);
        character.Show(false);
        character.Play("Greet");
        character.Speak("Welcome.");
        character.MoveTo(300, 40, 1);
        character.GestureAt(500, 60);
        character.Speak("Here.");
        character.Hide(false);
        return character;
    }

    QTemporaryDir Temp;
};

} // namespace

TEST_F(AgentCharacter, CharacterFilesAreCheckedLineByLine)
{
    struct Case {
        const char *Text;
        const char *Error; // empty: loads
    };
    const Case cases[] = {
        {"[marrowtide character]\nwidth=16\nheight=1000\nrobe=red\n", ""},
        {"[marrowtide character]\n# comment\n\nfuture=1\n", ""},
        {"", "not a character file"},
        {"[other]\nwidth=20\n", "not a character file"},
        {"[marrowtide character]\nwidth=15\n", "width must be a number from 16 to 1000"},
        {"[marrowtide character]\nheight=1001\n", "height must be a number from 16 to 1000"},
        {"[marrowtide character]\nheight=big\n", "height must be"},
        {"[marrowtide character]\nhat=notacolour\n", "notacolour is not a colour"},
        {"[marrowtide character]\nwidth 20\n", "line 2 is not"},
    };
    for (const Case &c : cases) {
        Write("case.character", c.Text);
        const QString path = Temp.filePath("case.character");
        if (!*c.Error) {
            EXPECT_NO_THROW(TAgentLook::FromFile(path)) << c.Text;
            continue;
        }
        try {
            TAgentLook::FromFile(path);
            ADD_FAILURE() << "loaded: " << c.Text;
        } catch (const std::runtime_error &e) {
            EXPECT_NE(std::string(e.what()).find(c.Error), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(path.toStdString()), std::string::npos) << e.what();
        }
    }
    const TAgentLook look = TAgentLook::FromFile(Temp.filePath("guide.character"));
    EXPECT_EQ(look.Width, 90);
    EXPECT_EQ(look.Height, 120);
}

TEST_F(AgentCharacter, AMissingFileOrCharacterRaisesAndLeavesNoControl)
{
    QPointer<TAgentControl> control = new TAgentControl(qApp);
    EXPECT_THROW(control->LoadCharacter("Guide", "missing.character"), std::runtime_error);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(control.isNull());

    TAgentControl kept;
    kept.LoadCharacter("Guide", "guide.character");
    EXPECT_THROW(kept.Character("Other"), std::runtime_error);
    EXPECT_EQ(kept.Character("Guide").Width(), 90);
    EXPECT_EQ(kept.Character("Guide").Height(), 120);
}

TEST_F(AgentCharacter, RequestsArePerformedOneAfterAnother)
{
    QPointer<TAgentControl> control = new TAgentControl(qApp);
    TAgentCharacter &character = Queue(*control);
    int finished = 0;
    QObject::connect(&character, &TAgentCharacter::Finished, [&] { ++finished; });
    const auto state = [&] {
        const QWidget *window = TopLevel("AgentCharacterWindow");
        return QStringLiteral("%1,%2 %3 %4 '%5' window %6")
            .arg(character.Position().x()).arg(character.Position().y())
            .arg(character.Visible() ? "shown" : "hidden", character.Pose(), character.Saying())
            .arg(window ? QStringLiteral("%1,%2").arg(window->x()).arg(window->y()) : QStringLiteral("none"));
    };
    // One line per step: the walk takes two (its start and its end).
    const QStringList expected = {
        "30,40 hidden  '' window none",        "30,40 shown  '' window 30,40",
        "30,40 shown Greet '' window 30,40",   "30,40 shown Greet 'Welcome.' window 30,40",
        "30,40 shown  '' window 30,40",        "300,40 shown  '' window 300,40",
        "300,40 shown Gesture '' window 300,40", "300,40 shown Gesture 'Here.' window 300,40",
        "300,40 hidden  '' window none",
    };
    EXPECT_EQ(character.Pending(), 8u);
    for (const QString &line : expected) {
        character.PerformNext();
        EXPECT_EQ(state(), line);
        EXPECT_EQ(finished, 0);
    }
    QWidget *window = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        window = qobject_cast<TAgentCharacterWindow *>(w) ? w : window;
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(window->testAttribute(Qt::WA_TranslucentBackground));
    character.PerformNext();
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(character.Busy());
    EXPECT_EQ(AgentWindowCount(), 0);
    EXPECT_TRUE(control.isNull());
}

TEST_F(AgentCharacter, ClosingAtAnyStepLeavesNothingBehind)
{
    for (int steps = 0; steps <= 9; ++steps) {
        QPointer<TAgentControl> control = new TAgentControl(qApp);
        TAgentCharacter &character = Queue(*control);
        for (int i = 0; i < steps; ++i)
            character.PerformNext();
        // Odd steps close by a click on the figure, even ones from the program.
        auto *window = qobject_cast<TAgentCharacterWindow *>(
            steps % 2 ? TopLevel("AgentCharacterWindow") : nullptr);
        if (window) {
            emit window->CloseRequested();
            QCoreApplication::processEvents();
        } else {
            control->StopAll();
        }
        EXPECT_EQ(AgentWindowCount(), 0) << steps;
        EXPECT_TRUE(control.isNull()) << steps;
    }
}


// The balloon stays on the screen wherever the character stands, above it, or
// below when there is no room above.
TEST(AgentBalloon, StaysOnTheScreenBesideTheCharacter)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    TAgentBalloonWindow balloon;
    for (const QPoint at : {QPoint(screen.right() - 40, 300), QPoint(screen.left() - 60, 300), QPoint(300, screen.top()),
                            QPoint(300, screen.bottom() - 40)}) {
        const QRect character(at, QSize(90, 120));
        balloon.Say("A few words, wrapped over more than one line of the balloon.", character);
        const QRect placed = balloon.geometry();
        EXPECT_TRUE(screen.contains(placed)) << at.x() << "," << at.y();
        EXPECT_TRUE(placed.bottom() < character.top() || placed.top() > character.bottom()) << at.x() << "," << at.y();
    }
}
