#pragma once
// TAgentHelper: the guided tour, in which the tour character walks over the
// main window, points at its parts and explains them.
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class IAgentControl;
class IAgentCharacter;
class QWidget;

// The parts of the main window the tour visits; any may be missing.
struct TTourTargets {
    QWidget *DiagramBox = nullptr;
    QWidget *NewPageButton = nullptr;
    QWidget *PlanView = nullptr;
    QWidget *Entities = nullptr;
};

// What the tour takes from its surroundings; tests replace each part.
struct TTourEnvironment {
    // A new control for one tour. The real one frees itself when the tour is over.
    std::function<IAgentControl *()> CreateControl;
    std::function<QSize()> ScreenSize;
    // 0, 1 or 2.
    std::function<int()> Random3;
    std::function<bool()> CharacterInstalled;
};

class TAgentHelper {
public:
    static const QString CharacterId;
    static const QString CharacterFile;
    static const QStringList Lines;

    static void RunTutorial(const TTourTargets &targets);
    // The visited parts of a main window, found by their names.
    static TTourTargets FindTargets(QWidget *mainWindow);

    bool IsAgentInstalled() const;
    void Tour(const TTourTargets &targets);
    void PointAtControl(IAgentControl &agent, const QString &line, QWidget *control);

    static TTourEnvironment &Environment();
    // Back to the real control, screen and random numbers.
    static void ResetEnvironment();
    static QString NotInstalledMessage();
};
