#include "platform/agent_window.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTextOption>

#include <cmath>

namespace {

constexpr int BalloonWidth = 240;
constexpr int BalloonPadding = 10;
constexpr int BalloonTail = 14;

QFont BalloonFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    return font;
}

QRect ScreenArea(const QRect &near)
{
    QScreen *screen = QGuiApplication::screenAt(near.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

} // namespace

template <class TWindow>
void UpdateShapeMask(TWindow *window)
{
    // Without a compositor a translucent window shows black where nothing is
    // painted: the window takes the shape of what it paints.
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        window->Paint(painter);
    }
    window->setMask(QBitmap::fromImage(image.createAlphaMask()));
}

Qt::WindowFlags AgentWindowFlags()
{
    return Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;
}

TAgentCharacterWindow::TAgentCharacterWindow(const TAgentLook &look) : QWidget(nullptr, AgentWindowFlags()), Look_(look)
{
    setObjectName(QStringLiteral("AgentCharacterWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(look.Width, look.Height);
    setToolTip(tr("Click to end the tour"));
    UpdateShapeMask(this);
}

void TAgentCharacterWindow::SetPose(const QString &pose, QPoint gestureAt)
{
    Pose_ = pose;
    GestureAt_ = gestureAt;
    UpdateShapeMask(this);
    update();
}

void TAgentCharacterWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // A pointing arm follows the place it points at.
    if (Pose_ == QLatin1String("Gesture"))
        SetPose(Pose_, GestureAt_);
}

void TAgentCharacterWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Paint(p);
}

void TAgentCharacterWindow::Paint(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    const double h = height();
    const QColor robe(Look_.Robe);
    const QColor hat(Look_.Hat);
    const QColor skin(Look_.Skin);

    // Robe: a wide triangle from the shoulders to the floor.
    QPainterPath body;
    body.moveTo(w * 0.5, h * 0.38);
    body.lineTo(w * 0.88, h * 0.98);
    body.lineTo(w * 0.12, h * 0.98);
    body.closeSubpath();
    p.setPen(QPen(robe.darker(140), 2));
    p.setBrush(robe);
    p.drawPath(body);

    // Arms: where they point depends on the pose.
    const QPointF shoulder(w * 0.5, h * 0.48);
    auto arm = [&](double dx, double dy) {
        p.setPen(QPen(robe.darker(120), w * 0.08, Qt::SolidLine, Qt::RoundCap));
        const QPointF hand = shoulder + QPointF(dx, dy);
        p.drawLine(shoulder, hand);
        p.setPen(Qt::NoPen);
        p.setBrush(skin);
        p.drawEllipse(hand, w * 0.05, w * 0.05);
    };
    if (Pose_ == QLatin1String("Greet")) {
        arm(w * 0.34, -h * 0.26);
        arm(-w * 0.26, h * 0.18);
    } else if (Pose_ == QLatin1String("Explain")) {
        arm(w * 0.36, -h * 0.02);
        arm(-w * 0.36, -h * 0.02);
    } else if (Pose_ == QLatin1String("Gesture")) {
        const QPointF local = mapFromGlobal(GestureAt_) - shoulder;
        const double length = std::hypot(local.x(), local.y());
        const double reach = w * 0.42;
        if (length > 0.5)
            arm(local.x() / length * reach, local.y() / length * reach);
        arm(0, h * 0.22);
    } else {
        arm(w * 0.24, h * 0.2);
        arm(-w * 0.24, h * 0.2);
    }

    // Head and beard.
    const QPointF head(w * 0.5, h * 0.3);
    p.setPen(QPen(skin.darker(130), 1.5));
    p.setBrush(skin);
    p.drawEllipse(head, w * 0.16, w * 0.16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    QPainterPath beard;
    beard.moveTo(head + QPointF(-w * 0.13, w * 0.06));
    beard.lineTo(head + QPointF(w * 0.13, w * 0.06));
    beard.lineTo(head + QPointF(0, w * 0.4));
    beard.closeSubpath();
    p.drawPath(beard);

    // Eyes: closed when idling, lowered when looking down.
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap));
    const double eyeY = head.y() - w * 0.03 + (Pose_ == QLatin1String("LookDown") ? w * 0.04 : 0);
    for (double side : {-1.0, 1.0}) {
        const QPointF eye(head.x() + side * w * 0.06, eyeY);
        if (Pose_ == QLatin1String("Idle2_1"))
            p.drawLine(eye - QPointF(w * 0.025, 0), eye + QPointF(w * 0.025, 0));
        else
            p.drawPoint(eye);
    }

    // Hat: a tall cone with a brim.
    QPainterPath cone;
    cone.moveTo(w * 0.5, 1);
    cone.lineTo(w * 0.7, h * 0.22);
    cone.lineTo(w * 0.3, h * 0.22);
    cone.closeSubpath();
    p.setPen(QPen(hat.darker(140), 1.5));
    p.setBrush(hat);
    p.drawPath(cone);
    p.drawEllipse(QPointF(w * 0.5, h * 0.22), w * 0.28, h * 0.025);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xd7, 0x40));
    p.drawEllipse(QPointF(w * 0.5, h * 0.13), w * 0.03, w * 0.03);
}

void TAgentCharacterWindow::mousePressEvent(QMouseEvent *) { emit CloseRequested(); }

TAgentBalloonWindow::TAgentBalloonWindow() : QWidget(nullptr, AgentWindowFlags())
{
    setObjectName(QStringLiteral("AgentBalloonWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TAgentBalloonWindow::Say(const QString &text, const QRect &character)
{
    Text_ = text;
    const QFontMetrics metrics(BalloonFont());
    const QRect textRect = metrics.boundingRect(QRect(0, 0, BalloonWidth - 2 * BalloonPadding, 1000),
                                                Qt::TextWordWrap, text);
    const int height = textRect.height() + 2 * BalloonPadding + BalloonTail;
    setFixedSize(BalloonWidth, height);

    const QRect screen = ScreenArea(character);
    Below_ = character.top() - height < screen.top();
    int x = character.center().x() - BalloonWidth / 2;
    int y = Below_ ? character.bottom() + 1 : character.top() - height;
    x = qBound(screen.left(), x, qMax(screen.left(), screen.right() + 1 - BalloonWidth));
    y = qBound(screen.top(), y, qMax(screen.top(), screen.bottom() + 1 - height));
    move(x, y);
    UpdateShapeMask(this);
    update();
}

void TAgentBalloonWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Paint(p);
}

void TAgentBalloonWindow::Paint(QPainter &p) const
{
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = Below_ ? QRectF(1, BalloonTail, width() - 2, height() - BalloonTail - 1)
                              : QRectF(1, 1, width() - 2, height() - BalloonTail - 1);
    QPainterPath path;
    path.addRoundedRect(box, 10, 10);
    const double mid = width() / 2.0;
    QPainterPath tail;
    if (Below_) {
        tail.moveTo(mid - 8, box.top() + 1);
        tail.lineTo(mid, 1);
        tail.lineTo(mid + 8, box.top() + 1);
    } else {
        tail.moveTo(mid - 8, box.bottom() - 1);
        tail.lineTo(mid, height() - 1);
        tail.lineTo(mid + 8, box.bottom() - 1);
    }
    tail.closeSubpath();
    path = path.united(tail);
    p.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.5));
    p.setBrush(QColor(0xff, 0xff, 0xe1));
    p.drawPath(path);
    p.setPen(Qt::black);
    p.setFont(BalloonFont());
    p.drawText(box.adjusted(BalloonPadding, BalloonPadding, -BalloonPadding, -BalloonPadding),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, Text_);
}

void TAgentBalloonWindow::mousePressEvent(QMouseEvent *) { emit CloseRequested(); }
