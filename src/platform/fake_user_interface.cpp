#include "platform/fake_user_interface.h"

QList<TUserInterfaceCall> TFakeUserInterface::CallsOf(TUserInterfaceCallKind kind) const
{
    QList<TUserInterfaceCall> result;
    for (const TUserInterfaceCall &call : Calls_) {
        if (call.Kind == kind)
            result << call;
    }
    return result;
}

QStringList TFakeUserInterface::Messages() const
{
    QStringList result;
    for (const TUserInterfaceCall &call : Calls_) {
        switch (call.Kind) {
        case TUserInterfaceCallKind::Information:
        case TUserInterfaceCallKind::Warning:
        case TUserInterfaceCallKind::Error:
        case TUserInterfaceCallKind::ConfirmOkCancel:
        case TUserInterfaceCallKind::AskYesNo:
            result << call.Text;
            break;
        default:
            break;
        }
    }
    return result;
}

void TFakeUserInterface::Clear()
{
    Calls_.clear();
    Answers_.clear();
}

TUserInterfaceAnswer TFakeUserInterface::NextAnswer()
{
    if (Answers_.empty())
        return {};
    TUserInterfaceAnswer answer = Answers_.front();
    Answers_.pop_front();
    return answer;
}

void TFakeUserInterface::Record(TUserInterfaceCallKind kind, const QString &caption, const QString &text,
                                const TFileDialogOptions &file)
{
    Calls_.append(TUserInterfaceCall{kind, caption, text, file});
}

void TFakeUserInterface::ShowInformation(const QString &text, const QString &caption)
{
    Record(TUserInterfaceCallKind::Information, caption, text);
}

void TFakeUserInterface::ShowWarning(const QString &text, const QString &caption)
{
    Record(TUserInterfaceCallKind::Warning, caption, text);
}

void TFakeUserInterface::ShowError(const QString &text, const QString &caption)
{
    Record(TUserInterfaceCallKind::Error, caption, text);
}

bool TFakeUserInterface::ConfirmOkCancel(const QString &text, const QString &caption)
{
    Record(TUserInterfaceCallKind::ConfirmOkCancel, caption, text);
    return NextAnswer().Accepted;
}

bool TFakeUserInterface::AskYesNo(const QString &text, const QString &caption)
{
    Record(TUserInterfaceCallKind::AskYesNo, caption, text);
    return NextAnswer().Accepted;
}

void TFakeUserInterface::BeginHourglass()
{
    Record(TUserInterfaceCallKind::BeginHourglass, {}, {});
    ++HourglassDepth_;
}

void TFakeUserInterface::EndHourglass()
{
    Record(TUserInterfaceCallKind::EndHourglass, {}, {});
    --HourglassDepth_;
}

QString TFakeUserInterface::OpenFileName(const TFileDialogOptions &options)
{
    Record(TUserInterfaceCallKind::OpenFile, options.Caption, options.Filter, options);
    const TUserInterfaceAnswer answer = NextAnswer();
    return answer.Accepted ? answer.Text : QString();
}

QString TFakeUserInterface::SaveFileName(const TFileDialogOptions &options, int *chosenFilter)
{
    Record(TUserInterfaceCallKind::SaveFile, options.Caption, options.Filter, options);
    const TUserInterfaceAnswer answer = NextAnswer();
    if (chosenFilter)
        *chosenFilter = answer.Filter;
    return answer.Accepted ? answer.Text : QString();
}

QString TFakeUserInterface::ChooseFolder(const QString &caption, const QString &initialDir)
{
    TFileDialogOptions options;
    options.Caption = caption;
    options.InitialDir = initialDir;
    Record(TUserInterfaceCallKind::ChooseFolder, caption, initialDir, options);
    const TUserInterfaceAnswer answer = NextAnswer();
    return answer.Accepted ? answer.Text : QString();
}

bool TFakeUserInterface::ChooseFont(TFont &font)
{
    Record(TUserInterfaceCallKind::ChooseFont, {}, font.Name);
    const TUserInterfaceAnswer answer = NextAnswer();
    if (!answer.Accepted)
        return false;
    if (answer.HasFont)
        font = answer.Font;
    return true;
}

bool TFakeUserInterface::ChooseColor(TColor &color)
{
    Record(TUserInterfaceCallKind::ChooseColor, {}, ColorToString(color));
    const TUserInterfaceAnswer answer = NextAnswer();
    if (!answer.Accepted)
        return false;
    if (answer.HasColor)
        color = answer.Color;
    return true;
}

bool TFakeUserInterface::InputText(const QString &caption, const QString &prompt, QString &value)
{
    Record(TUserInterfaceCallKind::InputText, caption, prompt);
    const TUserInterfaceAnswer answer = NextAnswer();
    if (!answer.Accepted)
        return false;
    if (!answer.Text.isNull())
        value = answer.Text;
    return true;
}

TScopedFakeUserInterface::TScopedFakeUserInterface() : Previous_(&UserInterface()) { SetUserInterface(this); }

TScopedFakeUserInterface::~TScopedFakeUserInterface() { SetUserInterface(Previous_); }
