#pragma once
// TAbortDialog: the small "Printing" window that shows a job's progress and
// lets the user cancel it. While it is up, it alone takes the user's input, so
// nothing can change the page being printed. It belongs to the window the job
// was started from and stays above that window only.
#include <QDialog>

class QPushButton;

class TAbortDialog : public QDialog {
    Q_OBJECT
public:
    explicit TAbortDialog(QWidget *owner);

    QPushButton *btnCancel = nullptr;
    // 0 until Cancel is clicked, -1 afterwards.
    int Cancelled = 0;

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
};

// Each returns quietly (null, false) when something fails inside.
TAbortDialog *CreateAbortDialog(QWidget *owner);
void SetAbortDialogCaption(TAbortDialog *dialog, const QString &text);
// Lets the dialog handle what is waiting for it; true once Cancel was clicked.
bool AbortDialogAborted(TAbortDialog *dialog);
void FreeAbortDialog(TAbortDialog *dialog);
