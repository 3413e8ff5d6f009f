#pragma once
// The tour character's two windows: the figure itself and its speech balloon,
// both frameless, translucent and above other windows. A click on either
// closes the tour.
#include "platform/agent_character.h"

#include <QWidget>

class QPainter;

class TAgentCharacterWindow : public QWidget {
    Q_OBJECT
public:
    explicit TAgentCharacterWindow(const TAgentLook &look);

    // The pose to paint: "Greet", "Explain", "Idle2_1", "LookDown", "Gesture" or "".
    void SetPose(const QString &pose, QPoint gestureAt = {});
    void Paint(QPainter &painter) const;

signals:
    void CloseRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    TAgentLook Look_;
    QString Pose_;
    QPoint GestureAt_;
};

class TAgentBalloonWindow : public QWidget {
    Q_OBJECT
public:
    TAgentBalloonWindow();

    // Shows the text in a balloon beside the character's rectangle (screen
    // coordinates), above it when there is room, kept on the screen.
    void Say(const QString &text, const QRect &character);
    void Paint(QPainter &painter) const;

signals:
    void CloseRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QString Text_;
    bool Below_ = false;
};

// The flags every tour window carries.
Qt::WindowFlags AgentWindowFlags();
