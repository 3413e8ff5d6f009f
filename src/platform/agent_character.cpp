#include "platform/agent_character.h"

#include "platform/agent_window.h"
#include "platform/config_settings.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

constexpr int WalkTickMs = 25;
constexpr int WalkStride = 12; // pixels per tick
constexpr int MaxWalkSteps = 40;

QString &CharacterFolderOverride()
{
    static QString folder;
    return folder;
}

[[noreturn]] void RaiseLookError(const QString &path, const QString &reason)
{
    throw std::runtime_error(
        QStringLiteral("Cannot load character file \"%1\": %2").arg(path, reason).toStdString());
}

} // namespace

TAgentLook TAgentLook::FromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        RaiseLookError(path, file.errorString());
    QTextStream in(&file);
    if (in.readLine().trimmed() != QLatin1String("[marrowtide character]"))
        RaiseLookError(path, QStringLiteral("not a character file"));
    TAgentLook look;
    look.Name = QFileInfo(path).completeBaseName();
    int lineNumber = 1;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            RaiseLookError(path, QStringLiteral("line %1 is not \"key=value\"").arg(lineNumber));
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("name")) {
            look.Name = value;
        } else if (key == QLatin1String("width") || key == QLatin1String("height")) {
            bool ok = false;
            const int size = value.toInt(&ok);
            // The size reaches callers as a 16-bit number, and a figure must stay visible.
            if (!ok || size < 16 || size > 1000)
                RaiseLookError(path, QStringLiteral("%1 must be a number from 16 to 1000").arg(key));
            (key == QLatin1String("width") ? look.Width : look.Height) = size;
        } else if (key == QLatin1String("robe") || key == QLatin1String("hat") || key == QLatin1String("skin")) {
            if (!QColor::isValidColorName(value))
                RaiseLookError(path, QStringLiteral("%1 is not a colour").arg(value));
            (key == QLatin1String("robe") ? look.Robe : key == QLatin1String("hat") ? look.Hat : look.Skin) = value;
        }
        // Unknown keys belong to newer files: ignored.
    }
    return look;
}

TAgentCharacter::TAgentCharacter(const TAgentLook &look, QObject *parent) : QObject(parent), Look_(look)
{
    Timer_ = new QTimer(this);
    Timer_->setSingleShot(true);
    connect(Timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TAgentCharacter::~TAgentCharacter()
{
    delete Window_.data();
    delete Balloon_.data();
}

void TAgentCharacter::MoveTo(int x, int y, int speed) { Enqueue({TAgentRequest::Move, QPoint(x, y), speed, {}}); }
void TAgentCharacter::Show(bool fast) { Enqueue({TAgentRequest::Show, {}, fast ? 0 : 1, {}}); }
void TAgentCharacter::Play(const QString &animation) { Enqueue({TAgentRequest::Play, {}, 0, animation}); }
void TAgentCharacter::Speak(const QString &text) { Enqueue({TAgentRequest::Speak, {}, 0, text}); }
void TAgentCharacter::GestureAt(int x, int y) { Enqueue({TAgentRequest::Gesture, QPoint(x, y), 0, {}}); }
void TAgentCharacter::Hide(bool fast) { Enqueue({TAgentRequest::Hide, {}, fast ? 0 : 1, {}}); }
qint16 TAgentCharacter::Height() const { return static_cast<qint16>(Look_.Height); }
qint16 TAgentCharacter::Width() const { return static_cast<qint16>(Look_.Width); }

bool TAgentCharacter::Busy() const { return Timer_->isActive() || !Queue_.empty() || WalkStep_ < WalkSteps_; }

void TAgentCharacter::Enqueue(TAgentRequest request)
{
    Queue_.push_back(std::move(request));
    if (!Timer_->isActive())
        Timer_->start(0);
}

void TAgentCharacter::Stop()
{
    const bool wasActive = Busy() || Visible_;
    Queue_.clear();
    Timer_->stop();
    WalkStep_ = WalkSteps_ = 0;
    Visible_ = false;
    CloseWindows();
    if (wasActive)
        emit Finished();
}

void TAgentCharacter::PerformNext()
{
    Timer_->stop();
    if (WalkStep_ < WalkSteps_) {
        WalkStep_ = WalkSteps_;
        Place(WalkTo_);
        return;
    }
    Tick();
}

void TAgentCharacter::Tick()
{
    if (WalkStep_ < WalkSteps_) {
        ++WalkStep_;
        const double t = static_cast<double>(WalkStep_) / WalkSteps_;
        Place(WalkFrom_ + (WalkTo_ - WalkFrom_) * t);
        Timer_->start(WalkTickMs);
        return;
    }
    if (Queue_.empty()) {
        if (Hidden_) {
            Hidden_ = false;
            CloseWindows();
            emit Finished();
        }
        return;
    }
    const TAgentRequest request = Queue_.front();
    Queue_.pop_front();
    Perform(request);
    Timer_->start(Duration(request));
}

int TAgentCharacter::Duration(const TAgentRequest &request) const
{
    switch (request.Kind) {
    case TAgentRequest::Move:
        return request.Speed == 0 ? 0 : WalkTickMs;
    case TAgentRequest::Show:
        return request.Speed == 0 ? 0 : 300;
    case TAgentRequest::Play:
    case TAgentRequest::Gesture:
        return 900;
    case TAgentRequest::Speak:
        // Long enough to read: a base plus a little per character.
        return std::min(1000 + 55 * static_cast<int>(request.Text.size()), 9000);
    case TAgentRequest::Hide:
        return request.Speed == 0 ? 0 : 200;
    }
    return 0;
}

void TAgentCharacter::Perform(const TAgentRequest &request)
{
    if (request.Kind != TAgentRequest::Speak) {
        Saying_.clear();
        if (Balloon_)
            Balloon_->hide();
    }
    switch (request.Kind) {
    case TAgentRequest::Move:
        Pose_.clear();
        if (request.Speed == 0) {
            Place(request.Point);
        } else {
            WalkFrom_ = Position_;
            WalkTo_ = request.Point;
            const QPoint delta = WalkTo_ - WalkFrom_;
            const int distance = static_cast<int>(std::hypot(delta.x(), delta.y()));
            WalkStep_ = 0;
            WalkSteps_ = std::clamp(distance / WalkStride, 1, MaxWalkSteps);
        }
        break;
    case TAgentRequest::Show:
        Visible_ = true;
        Hidden_ = false;
        EnsureWindows();
        Window_->move(Position_);
        Window_->show();
        break;
    case TAgentRequest::Play:
        Pose_ = request.Text;
        break;
    case TAgentRequest::Gesture:
        Pose_ = QStringLiteral("Gesture");
        GesturePoint_ = request.Point;
        break;
    case TAgentRequest::Speak:
        Saying_ = request.Text;
        if (Visible_) {
            EnsureWindows();
            Balloon_->Say(Saying_, QRect(Position_, QSize(Look_.Width, Look_.Height)));
            Balloon_->show();
        }
        break;
    case TAgentRequest::Hide:
        Visible_ = false;
        Hidden_ = true;
        Pose_.clear();
        if (Window_)
            Window_->hide();
        break;
    }
    UpdateWindows();
}

void TAgentCharacter::Place(QPoint position)
{
    Position_ = position;
    if (Window_)
        Window_->move(position);
}

void TAgentCharacter::EnsureWindows()
{
    if (!Window_) {
        Window_ = new TAgentCharacterWindow(Look_);
        // Queued: the window asking must not be deleted inside its own handler.
        connect(Window_, &TAgentCharacterWindow::CloseRequested, this, &TAgentCharacter::Stop, Qt::QueuedConnection);
    }
    if (!Balloon_) {
        Balloon_ = new TAgentBalloonWindow;
        connect(Balloon_, &TAgentBalloonWindow::CloseRequested, this, &TAgentCharacter::Stop, Qt::QueuedConnection);
    }
}

void TAgentCharacter::UpdateWindows()
{
    if (Window_)
        Window_->SetPose(Pose_, GesturePoint_);
}

void TAgentCharacter::CloseWindows()
{
    for (QWidget *window : {static_cast<QWidget *>(Window_.data()), static_cast<QWidget *>(Balloon_.data())}) {
        if (!window)
            continue;
        window->hide();
        window->deleteLater();
    }
    Window_.clear();
    Balloon_.clear();
}

TAgentControl::TAgentControl(QObject *parent) : QObject(parent) { setObjectName(QStringLiteral("AgentControl")); }

TAgentControl::~TAgentControl() = default;

QString TAgentControl::CharacterFolder()
{
    if (!CharacterFolderOverride().isEmpty())
        return CharacterFolderOverride();
    return TConfigSettings::ProgramFolder() + QStringLiteral("/characters");
}

QString TAgentControl::CharacterPath(const QString &fileName)
{
    if (QFileInfo(fileName).isAbsolute())
        return fileName;
    return CharacterFolder() + QLatin1Char('/') + fileName;
}

void TAgentControl::SetCharacterFolderOverride(const QString &folder) { CharacterFolderOverride() = folder; }

void TAgentControl::LoadCharacter(const QString &id, const QString &fileName)
{
    TAgentLook look;
    try {
        look = TAgentLook::FromFile(CharacterPath(fileName));
    } catch (...) {
        // A control that never got a character has nothing to finish: it goes now.
        if (Characters_.empty())
            deleteLater();
        throw;
    }
    auto character = std::make_unique<TAgentCharacter>(look);
    connect(character.get(), &TAgentCharacter::Finished, this, &TAgentControl::CharacterFinished);
    if (auto old = Characters_.find(id); old != Characters_.end()) {
        // A character loaded again replaces the old one, which must not end this control.
        old->second->disconnect(this);
        old->second->Stop();
    }
    Characters_[id] = std::move(character);
}

IAgentCharacter &TAgentControl::Character(const QString &id)
{
    const auto found = Characters_.find(id);
    if (found == Characters_.end())
        throw std::runtime_error(QStringLiteral("Character \"%1\" is not loaded.").arg(id).toStdString());
    return *found->second;
}

void TAgentControl::StopAll()
{
    for (auto &entry : Characters_)
        entry.second->Stop();
    CharacterFinished();
}

void TAgentControl::CharacterFinished()
{
    const bool done = std::all_of(Characters_.begin(), Characters_.end(), [](const auto &entry) {
        return !entry.second->Busy() && !entry.second->Visible();
    });
    // Later: the character that finished is still on the stack.
    if (done)
        deleteLater();
}
