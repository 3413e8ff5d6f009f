#pragma once
// The tour character: a figure of our own that walks over the screen, strikes
// poses, points and speaks in a balloon. Callers queue requests; the character
// performs them one after another while the caller goes on.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <deque>
#include <map>
#include <memory>

class QTimer;
class TAgentCharacterWindow;
class TAgentBalloonWindow;

class IAgentCharacter {
public:
    virtual ~IAgentCharacter() = default;
    // Speed 0 jumps there; any other speed walks there.
    virtual void MoveTo(int x, int y, int speed) = 0;
    // Fast skips the showing animation.
    virtual void Show(bool fast) = 0;
    virtual void Play(const QString &animation) = 0;
    virtual void Speak(const QString &text) = 0;
    virtual void GestureAt(int x, int y) = 0;
    virtual qint16 Height() const = 0;
    virtual qint16 Width() const = 0;
    virtual void Hide(bool fast) = 0;
};

// The control that hosts characters, one per identifier.
class IAgentControl {
public:
    virtual ~IAgentControl() = default;
    // Loads a character from its file (a bare name is looked up in the character
    // folder). Raises with the reason when the file cannot be read.
    virtual void LoadCharacter(const QString &id, const QString &fileName) = 0;
    // The loaded character of that identifier; raises when none is loaded.
    virtual IAgentCharacter &Character(const QString &id) = 0;
};

// What a character file describes.
struct TAgentLook {
    QString Name;
    int Width = 96;
    int Height = 128;
    QString Robe = QStringLiteral("#2f4f8f");
    QString Hat = QStringLiteral("#3b2a6b");
    QString Skin = QStringLiteral("#f2d2b0");

    // Reads "key=value" lines after the first line "[marrowtide character]".
    // Raises with the file name and the reason on anything else.
    static TAgentLook FromFile(const QString &path);
};

// One queued request.
struct TAgentRequest {
    enum TKind { Move, Show, Play, Speak, Gesture, Hide };
    TKind Kind = Move;
    QPoint Point;
    int Speed = 0;
    QString Text;
};

// A character on the screen: its request queue and its two windows.
class TAgentCharacter : public QObject, public IAgentCharacter {
    Q_OBJECT
public:
    explicit TAgentCharacter(const TAgentLook &look, QObject *parent = nullptr);
    ~TAgentCharacter() override;

    void MoveTo(int x, int y, int speed) override;
    void Show(bool fast) override;
    void Play(const QString &animation) override;
    void Speak(const QString &text) override;
    void GestureAt(int x, int y) override;
    qint16 Height() const override;
    qint16 Width() const override;
    void Hide(bool fast) override;

    // Ends the performance at once: the queue is dropped, the timer stopped
    // and both windows closed.
    void Stop();
    // Performs the next request (or the rest of a walk) without waiting.
    void PerformNext();
    std::size_t Pending() const { return Queue_.size(); }
    bool Busy() const;
    QPoint Position() const { return Position_; }
    bool Visible() const { return Visible_; }
    QString Pose() const { return Pose_; }
    QString Saying() const { return Saying_; }
    QPoint GesturePoint() const { return GesturePoint_; }

signals:
    // The queue ran dry after a Hide, or the user closed the character.
    void Finished();

private:
    void Enqueue(TAgentRequest request);
    void Perform(const TAgentRequest &request);
    int Duration(const TAgentRequest &request) const;
    void Tick();
    void Place(QPoint position);
    void EnsureWindows();
    void CloseWindows();
    void UpdateWindows();

    TAgentLook Look_;
    std::deque<TAgentRequest> Queue_;
    QTimer *Timer_ = nullptr;
    QPointer<TAgentCharacterWindow> Window_;
    QPointer<TAgentBalloonWindow> Balloon_;
    QPoint Position_;
    QPoint WalkFrom_;
    QPoint WalkTo_;
    int WalkStep_ = 0;
    int WalkSteps_ = 0;
    bool Visible_ = false;
    bool Hidden_ = false;
    QString Pose_;
    QString Saying_;
    QPoint GesturePoint_;
};

// The control on the screen. It lives until its characters have finished and
// then frees itself, so nothing of a tour stays behind.
class TAgentControl : public QObject, public IAgentControl {
    Q_OBJECT
public:
    explicit TAgentControl(QObject *parent = nullptr);
    ~TAgentControl() override;

    void LoadCharacter(const QString &id, const QString &fileName) override;
    IAgentCharacter &Character(const QString &id) override;
    // Stops every character; the control frees itself afterwards.
    void StopAll();

    // Where character files are shipped: "characters" beside the program.
    static QString CharacterFolder();
    static QString CharacterPath(const QString &fileName);
    // Tests point the folder elsewhere; empty goes back to the shipped one.
    static void SetCharacterFolderOverride(const QString &folder);

private:
    void CharacterFinished();

    std::map<QString, std::unique_ptr<TAgentCharacter>> Characters_;
};
