#pragma once
// TQtUserInterface: the user interface on Qt's message boxes, common dialogs and override cursor.
#include "platform/user_interface.h"

class QWidget;

class TQtUserInterface : public IUserInterface {
public:
    // The caption of information boxes (the application title).
    void SetTitle(const QString &title) { Title_ = title; }

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

    // "XML files (*.xml)|*.xml|All files (*.*)|*.*" -> "XML files (*.xml);;All files (*.*)".
    static QString QtFileFilter(const QString &filter);
    // Centres a dialog about to be shown over its visible owner window, or on
    // the screen when it has none; call it when the dialog has its size. Left
    // to itself, a window manager puts a dialog whose owner is the splash, or
    // nothing, in a corner of the screen.
    static void PlaceDialog(QWidget &dialog);

private:
    static QWidget *DialogParent();
    QString Title_;
};
