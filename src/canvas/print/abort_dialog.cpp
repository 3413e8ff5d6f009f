#include "canvas/print/abort_dialog.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

TAbortDialog::TAbortDialog(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AbortDialog"));
    setWindowTitle(QStringLiteral("Printing"));
    // A dialog of its owner stays above the owner only: a message box opened
    // while it is up comes above it, and other programs are not covered.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(174, 98);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(48, 32, 75, 25);
    btnCancel->setDefault(true);
    connect(btnCancel, &QPushButton::clicked, this, [this] { Cancelled = -1; });
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void TAbortDialog::closeEvent(QCloseEvent *event)
{
    // Only the job closes the window; the user cancels with the button.
    event->ignore();
}

void TAbortDialog::reject()
{
    // Escape is not Cancel: the job goes on until the button is pressed.
}

TAbortDialog *CreateAbortDialog(QWidget *owner)
{
    try {
        auto *dialog = new TAbortDialog(owner);
        dialog->show();
        QCoreApplication::processEvents();
        return dialog;
    } catch (...) {
        return nullptr;
    }
}

void SetAbortDialogCaption(TAbortDialog *dialog, const QString &text)
{
    if (!dialog)
        return;
    try {
        dialog->setWindowTitle(text);
        QCoreApplication::processEvents();
    } catch (...) {
    }
}

bool AbortDialogAborted(TAbortDialog *dialog)
{
    if (!dialog)
        return false;
    try {
        // The dialog is application-modal: the events waiting are its own or
        // harmless repaints.
        QCoreApplication::processEvents();
        return dialog->Cancelled != 0;
    } catch (...) {
        return false;
    }
}

void FreeAbortDialog(TAbortDialog *dialog)
{
    delete dialog;
}
