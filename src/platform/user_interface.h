#pragma once
// IUserInterface: every message box, question, common dialog and the hourglass cursor go
// through this one interface, so tests can answer them without a person.
#include "platform/color.h"
#include "platform/font.h"
#include <QString>

#include <exception>

// An open or save dialog. Filter is in the "Description (*.ext)|*.ext|..." form.
struct TFileDialogOptions {
    QString Caption;
    QString Filter;
    QString DefaultExt; // without the dot, added when the user types a name without one
    QString InitialDir;
    QString FileName; // preset name
    friend bool operator==(const TFileDialogOptions &, const TFileDialogOptions &) = default;
};

// The extension, without the dot, of the first pattern of a filter's entry counted
// from 0 ("jpg" of "JPEG files (*.jpg)|*.jpg"); empty for an entry that takes any
// extension ("*.*") and for one past the list.
QString FileFilterExtension(const QString &filter, int index);
// A name a save dialog answers: one typed without an extension gets that of the
// chosen filter entry, or the default one when that entry takes any extension.
// A typed extension stays, whichever entry was chosen.
QString SavedFileName(const QString &fileName, const TFileDialogOptions &options, int chosenFilter);

class IUserInterface {
public:
    virtual ~IUserInterface() = default;

    // Message boxes with one OK button. An empty caption takes the kind's default.
    virtual void ShowInformation(const QString &text, const QString &caption = {}) = 0;
    virtual void ShowWarning(const QString &text, const QString &caption = {}) = 0;
    virtual void ShowError(const QString &text, const QString &caption = {}) = 0;
    // Question box with OK and Cancel; true for OK.
    virtual bool ConfirmOkCancel(const QString &text, const QString &caption = {}) = 0;
    // Question box with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString &text, const QString &caption = {}) = 0;

    // The hourglass cursor; calls nest. Use THourglass rather than these.
    virtual void BeginHourglass() = 0;
    virtual void EndHourglass() = 0;

    // The chosen path, or empty when the user cancels. A save dialog also tells
    // which entry of the filter the user left chosen, counted from 0.
    virtual QString OpenFileName(const TFileDialogOptions &options) = 0;
    virtual QString SaveFileName(const TFileDialogOptions &options, int *chosenFilter = nullptr) = 0;
    virtual QString ChooseFolder(const QString &caption, const QString &initialDir) = 0;
    // Preset with font (and colour) or color; true and the choice on OK, unchanged on Cancel.
    virtual bool ChooseFont(TFont &font) = 0;
    virtual bool ChooseColor(TColor &color) = 0;
    // One line of text; true and the text on OK.
    virtual bool InputText(const QString &caption, const QString &prompt, QString &value) = 0;
};

// The interface in use; the Qt one unless another was installed.
IUserInterface &UserInterface();
// Installs an interface (not owned); nullptr goes back to the Qt one.
void SetUserInterface(IUserInterface *userInterface);

// Shows the hourglass cursor for its lifetime.
class THourglass {
public:
    THourglass();
    ~THourglass();
    THourglass(const THourglass &) = delete;
    THourglass &operator=(const THourglass &) = delete;

private:
    IUserInterface *Interface_;
};

// Says where a file the program has just written was saved, when no program
// opened it for the user: "The <what> was saved as ...".
void ShowWhereSaved(const QString &what, const QString &fileName);

// Runs an event handler's work; an exception never leaves the handler but is
// shown in a message box, as the message loop would show it.
template <class F>
void ShowExceptions(F &&work)
{
    try {
        work();
    } catch (const std::exception &e) {
        UserInterface().ShowError(QString::fromUtf8(e.what()));
    }
}
