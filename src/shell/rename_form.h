#pragma once
// TfrmRename: the diagram properties dialog, a page's name and comment.
#include <QDialog>

#include <functional>

class QLineEdit;
class QPlainTextEdit;

class TfrmRename : public QDialog {
    Q_OBJECT
public:
    explicit TfrmRename(QWidget *owner = nullptr);

    // Shows the dialog modally and returns its result. Tests answer it
    // through ModalHook instead of a person.
    int Execute();
    static std::function<int(TfrmRename &)> ModalHook;

    QLineEdit *edtName;
    QPlainTextEdit *memComment;
};
