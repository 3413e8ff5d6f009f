// The guided tour: the requests it queues for the character, recorded by a
// fake with a fixed screen and fixed random numbers.
#include "platform/agent_character.h"
#include "shell/agent_helper.h"
#include "test_data.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>

namespace {

class TRecordingAgent : public IAgentControl, public IAgentCharacter {
public:
    void LoadCharacter(const QString &id, const QString &fileName) override
    {
        Calls << QStringLiteral("Load %1 %2").arg(id, fileName);
        Loaded = id;
    }
    IAgentCharacter &Character(const QString &id) override
    {
        if (id != Loaded)
            throw std::runtime_error("not loaded");
        return *this;
    }
    void MoveTo(int x, int y, int speed) override { Calls << QStringLiteral("MoveTo %1,%2 %3").arg(x).arg(y).arg(speed); }
    void Show(bool fast) override { Calls << QStringLiteral("Show %1").arg(fast); }
    void Play(const QString &animation) override { Calls << "Play " + animation; }
    void Speak(const QString &text) override { Calls << "Speak " + text; }
    void GestureAt(int x, int y) override { Calls << QStringLiteral("GestureAt %1,%2").arg(x).arg(y); }
    qint16 Height() const override { return 128; }
    qint16 Width() const override { return 97; }
    void Hide(bool fast) override { Calls << QStringLiteral("Hide %1").arg(fast); }

    QStringList Calls;
    QString Loaded;
};

class GuidedTour : public ::testing::Test {
protected:
    void SetUp() override
    {
        TTourEnvironment &environment = TAgentHelper::Environment();
        environment.CreateControl = [this] {
            ++Created;
            return static_cast<IAgentControl *>(&Agent);
        };
        environment.ScreenSize = [] { return QSize(1024, 768); };
        environment.Random3 = [this] {
            const int value = Randoms.front();
            Randoms.pop_front();
            return value;
        };
        environment.CharacterInstalled = [this] { return Installed; };
    }
    void TearDown() override { TAgentHelper::ResetEnvironment(); }

    // A main window at a place on the screen, with a child panel so that
    // positions inside parents differ from positions on the screen.
    QWidget *Place(QWidget &window, QPoint at, QRect panel)
    {
        window.setGeometry(QRect(at, QSize(700, 500)));
        auto *inner = new QWidget(&window);
        inner->setGeometry(panel);
        window.show();
        return inner;
    }
    static QWidget *Child(QWidget *parent, QRect geometry)
    {
        auto *child = new QWidget(parent);
        child->setGeometry(geometry);
        return child;
    }

    TRecordingAgent Agent;
    std::deque<int> Randoms{1, 2, 0};
    bool Installed = true;
    int Created = 0;
};

} // namespace

TEST_F(GuidedTour, QueuesTheWholeTourInOrder)
{
    QWidget window;
    QWidget *panel = Place(window, QPoint(300, 200), QRect(0, 0, 700, 500));
    TTourTargets targets;
    targets.DiagramBox = Child(panel, QRect(160, 40, 500, 440));
    targets.NewPageButton = Child(panel, QRect(4, 2, 24, 24));
    targets.PlanView = Child(panel, QRect(0, 40, 150, 120));
    targets.Entities = Child(panel, QRect(560, 200, 130, 250));
    ASSERT_EQ(targets.DiagramBox->mapToGlobal(QPoint(0, 0)), QPoint(460, 240));
    TAgentHelper::RunTutorial(targets);
    EXPECT_EQ(Created, 1);
    EXPECT_TRUE(Randoms.empty());
    expectGolden("tour_requests.txt", Agent.Calls.join('\n').toUtf8() + '\n');
}

TEST_F(GuidedTour, PointsAtControlsAndKeepsTheCharacterOnTheScreen)
{
    struct Case {
        const char *Name;
        QPoint Window;
        QRect Control; // inside a panel at (50, 30) of the window
        QString Move;
        QString Gesture;
    };
    const Case cases[] = {
        // Left half: left of the control, a third of the height above it.
        {"left", QPoint(200, 300), QRect(10, 20, 40, 30), "MoveTo 163,308 1", "GestureAt 280,365"},
        // Left half at the screen's corner: raised to 0, never negative.
        {"corner", QPoint(2, 2), QRect(4, 2, 24, 24), "MoveTo 0,0 1", "GestureAt 68,46"},
        // One pixel left of the middle (511 < 512) still counts as the left half.
        {"middle-left", QPoint(400, 100), QRect(40, 40, 43, 10), "MoveTo 393,128 1", "GestureAt 511,175"},
        // The middle itself is the right half: right of the control.
        {"middle-right", QPoint(400, 100), QRect(40, 40, 44, 10), "MoveTo 534,128 1", "GestureAt 512,175"},
        // No control: mid-screen, pointing nowhere.
        {"none", QPoint(0, 0), QRect(), "MoveTo 464,320 1", ""},
        // Right edge: pulled back by the overhang.
        {"right", QPoint(800, 100), QRect(100, 50, 60, 20), "MoveTo 927,138 1", "GestureAt 980,190"},
        // Bottom edge: pulled up so the whole figure shows.
        {"bottom", QPoint(600, 600), QRect(100, 100, 60, 20), "MoveTo 810,640 1", "GestureAt 780,740"},
    };
    for (const Case &c : cases) {
        QWidget window;
        QWidget *panel = Place(window, c.Window, QRect(50, 30, 600, 440));
        QWidget *control = c.Control.isNull() ? nullptr : Child(panel, c.Control);
        Agent.LoadCharacter(TAgentHelper::CharacterId, TAgentHelper::CharacterFile);
        Agent.Calls.clear();
        Randoms = {2};
        TAgentHelper().PointAtControl(Agent, "Line", control);
        QStringList expected{c.Move, "Show 0", c.Gesture, "Speak Line", "Play LookDown"};
        expected.removeAll(QString());
        EXPECT_EQ(Agent.Calls, expected) << c.Name;
    }
}

