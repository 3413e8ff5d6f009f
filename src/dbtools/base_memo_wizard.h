#pragma once
// TfrmBaseMemoWizard: the dialog that writes a new note or edits a note's text.
#include <QDialog>

#include <memory>

class QPlainTextEdit;
class QPushButton;
class TDiagramNote;

class TfrmBaseMemoWizard : public QDialog {
    Q_OBJECT

public:
    explicit TfrmBaseMemoWizard(const QString &text, QWidget *parent = nullptr);

    // A new note holding the text the user entered, or null when cancelled.
    static std::unique_ptr<TDiagramNote> CreateNote();
    // Puts the text the user confirmed into the note; true then, false on Cancel.
    static bool EditNote(TDiagramNote *note);

    QString Text() const;

private:
    QPlainTextEdit *memText = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
