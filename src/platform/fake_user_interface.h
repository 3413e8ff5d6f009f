#pragma once
// TFakeUserInterface: a user interface for tests that records every call in order and
// answers from a queue of prepared answers.
#include "platform/user_interface.h"
#include <QList>
#include <deque>

enum class TUserInterfaceCallKind {
    Information, Warning, Error, ConfirmOkCancel, AskYesNo, BeginHourglass, EndHourglass,
    OpenFile, SaveFile, ChooseFolder, ChooseFont, ChooseColor, InputText
};

struct TUserInterfaceCall {
    TUserInterfaceCallKind Kind;
    QString Caption;
    QString Text; // message, prompt, or the dialog's filter
    TFileDialogOptions File; // for file dialogs; InitialDir also for folders
};

// A prepared answer. Accepted is OK or Yes; the value fields serve the dialogs.
struct TUserInterfaceAnswer {
    bool Accepted = true;
    QString Text; // path, folder or text
    int Filter = 0; // the filter entry a save dialog leaves chosen
    TFont Font;
    TColor Color = clNone;
    bool HasFont = false;
    bool HasColor = false;

    static TUserInterfaceAnswer Ok() { return {}; }
    static TUserInterfaceAnswer Yes() { return {}; }
    static TUserInterfaceAnswer Cancel() { TUserInterfaceAnswer a; a.Accepted = false; return a; }
    static TUserInterfaceAnswer No() { return Cancel(); }
    static TUserInterfaceAnswer Path(const QString &path) { TUserInterfaceAnswer a; a.Text = path; return a; }
    static TUserInterfaceAnswer Input(const QString &text) { return Path(text); }
    static TUserInterfaceAnswer PathInFilter(const QString &path, int filter) { TUserInterfaceAnswer a = Path(path); a.Filter = filter; return a; }
    static TUserInterfaceAnswer WithFont(const TFont &font) { TUserInterfaceAnswer a; a.Font = font; a.HasFont = true; return a; }
    static TUserInterfaceAnswer WithColor(TColor color) { TUserInterfaceAnswer a; a.Color = color; a.HasColor = true; return a; }
};

class TFakeUserInterface : public IUserInterface {
public:
    // Answers are taken in order by the calls that ask something (questions and dialogs).
    // With the queue empty: OK / Yes, an empty path (cancelled), font and colour unchanged.
    void QueueAnswer(const TUserInterfaceAnswer &answer) { Answers_.push_back(answer); }
    std::size_t PendingAnswers() const { return Answers_.size(); }

    const QList<TUserInterfaceCall> &Calls() const { return Calls_; }
    QList<TUserInterfaceCall> CallsOf(TUserInterfaceCallKind kind) const;
    // The texts of the message boxes and questions, in order.
    QStringList Messages() const;
    int HourglassDepth() const { return HourglassDepth_; }
    void Clear();

    void ShowInformation(const QString &text, const QString &caption = {}) override;
    void ShowWarning(const QString &text, const QString &caption = {}) override;
    void ShowError(const QString &text, const QString &caption = {}) override;
    bool ConfirmOkCancel(const QString &text, const QString &caption = {}) override;
    bool AskYesNo(const QString &text, const QString &caption = {}) override;
    void BeginHourglass() override;
    void EndHourglass() override;
    QString OpenFileName(const TFileDialogOptions &options) override;
    QString SaveFileName(const TFileDialogOptions &options, int *chosenFilter = nullptr) override;
    QString ChooseFolder(const QString &caption, const QString &initialDir) override;
    bool ChooseFont(TFont &font) override;
    bool ChooseColor(TColor &color) override;
    bool InputText(const QString &caption, const QString &prompt, QString &value) override;

private:
    TUserInterfaceAnswer NextAnswer();
    void Record(TUserInterfaceCallKind kind, const QString &caption, const QString &text,
                const TFileDialogOptions &file = {});

    QList<TUserInterfaceCall> Calls_;
    std::deque<TUserInterfaceAnswer> Answers_;
    int HourglassDepth_ = 0;
};

// Installs a fake user interface for a scope and puts the previous one back after.
class TScopedFakeUserInterface : public TFakeUserInterface {
public:
    TScopedFakeUserInterface();
    ~TScopedFakeUserInterface() override;

private:
    IUserInterface *Previous_;
};
