#pragma once
// Drives a modal dialog: the work runs once the dialog's own event loop has
// started, on whatever dialog is then modal.
#include <QApplication>
#include <QDialog>
#include <QTableWidget>
#include <QTimer>

#include <functional>

inline void WhenModal(std::function<void(QDialog &)> work)
{
    auto attempt = std::make_shared<std::function<void()>>();
    *attempt = [work, attempt] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            work(*dialog);
            // A test that forgot to close the dialog must not hang.
            if (dialog->isVisible())
                dialog->reject();
            *attempt = nullptr;
            return;
        }
        QTimer::singleShot(0, *attempt);
    };
    QTimer::singleShot(0, *attempt);
}

template <class W>
W *Find(QWidget &parent, const char *name)
{
    return parent.findChild<W *>(QString::fromLatin1(name));
}

// Appends a row of texts to a grid through its Add button.
void AddGridRow(QDialog &dialog, const char *button, const char *grid, const QStringList &texts);
