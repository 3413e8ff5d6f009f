#include "shell/agent_helper.h"

#include "model/helpers.h"
#include "platform/agent_character.h"
#include "platform/user_interface.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScreen>
#include <QToolBar>
#include <QWidget>

const QString TAgentHelper::CharacterId = QStringLiteral("Merlin");
const QString TAgentHelper::CharacterFile = QStringLiteral("merlin.character");

const QStringList TAgentHelper::Lines = {
    QStringLiteral("Welcome to marro-tyde."),
    QStringLiteral("I will now show you how to use this program."),
    QStringLiteral("Here are the menu and tool bar."),
    QStringLiteral("From the menu you can access all functionality."),
    QStringLiteral("From the tool bar you can quickly access, most used, functionality."),
    QStringLiteral("This window shows you a plan view of your entire model."),
    QStringLiteral("This is most useful when your diagram is larger than the screen size."),
    QStringLiteral("Here are the explorers."),
    QStringLiteral("Use these to find objects in the database, and in your model."),
    QStringLiteral("This is the canvas for your model."),
    QStringLiteral("All your diagram objects will be drawn here."),
    QStringLiteral("Goodbye."),
};

namespace {

TTourEnvironment RealEnvironment()
{
    TTourEnvironment environment;
    environment.CreateControl = [] { return static_cast<IAgentControl *>(new TAgentControl(qApp)); };
    environment.ScreenSize = [] {
        const QScreen *screen = QGuiApplication::primaryScreen();
        return screen ? screen->geometry().size() : QSize(800, 600);
    };
    environment.Random3 = [] { return static_cast<int>(QRandomGenerator::global()->bounded(3)); };
    environment.CharacterInstalled = [] {
        return QFileInfo(TAgentControl::CharacterPath(TAgentHelper::CharacterFile)).isFile();
    };
    return environment;
}

} // namespace

TTourEnvironment &TAgentHelper::Environment()
{
    static TTourEnvironment environment = RealEnvironment();
    return environment;
}

void TAgentHelper::ResetEnvironment() { Environment() = RealEnvironment(); }

QString TAgentHelper::NotInstalledMessage()
{
    return QStringLiteral("You need Merlin the Mircosoft Agent installed for this feature.\r\nSee ") +
           QLatin1String(THelpers::HomePage) + QStringLiteral("tour/ for installation instructions.");
}

void TAgentHelper::RunTutorial(const TTourTargets &targets)
{
    TAgentHelper helper;
    helper.Tour(targets);
}

TTourTargets TAgentHelper::FindTargets(QWidget *mainWindow)
{
    TTourTargets targets;
    if (!mainWindow)
        return targets;
    targets.DiagramBox = mainWindow->findChild<QWidget *>(QStringLiteral("sboxDiagram"));
    targets.PlanView = mainWindow->findChild<QWidget *>(QStringLiteral("pbox"));
    targets.Entities = mainWindow->findChild<QWidget *>(QStringLiteral("lvwTables"));
    // The first button of the tool bars: the one of New Page.
    auto *newPage = mainWindow->findChild<QAction *>(QStringLiteral("actNewPage"));
    for (auto *bar : mainWindow->findChildren<QToolBar *>()) {
        if (QWidget *button = newPage ? bar->widgetForAction(newPage) : nullptr) {
            targets.NewPageButton = button;
            break;
        }
    }
    return targets;
}

bool TAgentHelper::IsAgentInstalled() const { return Environment().CharacterInstalled(); }

void TAgentHelper::Tour(const TTourTargets &targets)
{
    if (!IsAgentInstalled()) {
        UserInterface().ShowInformation(NotInstalledMessage());
        return;
    }
    IAgentControl *agent = Environment().CreateControl();
    agent->LoadCharacter(CharacterId, CharacterFile);
    IAgentCharacter &character = agent->Character(CharacterId);

    const QPoint home = targets.DiagramBox ? targets.DiagramBox->mapToGlobal(QPoint(100, 40)) : QPoint(100, 40);
    character.MoveTo(home.x(), home.y(), 0);
    character.Show(false);
    character.Play(QStringLiteral("Greet"));
    character.Speak(Lines[0]);
    character.Play(QStringLiteral("Explain"));
    character.Speak(Lines[1]);

    PointAtControl(*agent, Lines[2], targets.NewPageButton);
    character.Speak(Lines[3]);
    character.Speak(Lines[4]);
    PointAtControl(*agent, Lines[5], targets.PlanView);
    character.Speak(Lines[6]);
    PointAtControl(*agent, Lines[7], targets.Entities);
    character.Speak(Lines[8]);

    character.MoveTo(home.x(), home.y(), 1);
    character.GestureAt(home.x() + 30, home.y() + 30);
    character.Speak(Lines[9]);
    character.Speak(Lines[10]);
    character.MoveTo(home.x(), home.y(), 1);
    character.Speak(Lines[11]);
    character.Hide(false);
}

void TAgentHelper::PointAtControl(IAgentControl &agent, const QString &line, QWidget *control)
{
    IAgentCharacter &character = agent.Character(CharacterId);
    const QSize screen = Environment().ScreenSize();
    const int width = character.Width();
    const int height = character.Height();
    QPoint position;
    QPoint gesture;
    if (control) {
        // The control's own origin on the screen: its position inside its
        // parent would count the parent's offset twice.
        const QPoint origin = control->mapToGlobal(QPoint(0, 0));
        gesture = origin + QPoint(control->width() / 2, control->height() / 2);
        if (screen.width() / 2 > gesture.x()) {
            position = origin + QPoint(-width, -(height / 3));
            position.setX(qMax(0, position.x()));
            position.setY(qMax(0, position.y()));
        } else {
            position = origin + QPoint(control->width(), -(height / 3));
            if (position.x() + width > screen.width())
                position.setX(screen.width() - width);
            if (position.y() + height > screen.height())
                position.setY(screen.height() - height);
        }
    } else {
        position = QPoint(screen.width() / 2 - width / 2, screen.height() / 2 - height / 2);
    }
    character.MoveTo(position.x(), position.y(), 1);
    character.Show(false);
    if (control)
        character.GestureAt(gesture.x(), gesture.y());
    character.Speak(line);
    switch (Environment().Random3()) {
    case 1:
        character.Play(QStringLiteral("Idle2_1"));
        break;
    case 2:
        character.Play(QStringLiteral("LookDown"));
        break;
    default:
        break;
    }
}
