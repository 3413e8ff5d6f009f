#pragma once
// Drives a modal dialog: the work runs once the dialog's own event loop has
// started, on whatever dialog is then modal.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
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
W *Child(QWidget &parent, const char *name)
{
    return parent.findChild<W *>(QString::fromLatin1(name));
}

// Appends a row of texts to a grid through its Add button; "<null>" and
// "<not null>" set a check box cell.
inline void AddGridRow(QDialog &dialog, const char *button, const char *grid, const QStringList &texts)
{
    Child<QPushButton>(dialog, button)->click();
    auto *table = Child<QTableWidget>(dialog, grid);
    const int row = table->rowCount() - 1;
    for (int column = 0; column < texts.size(); ++column) {
        if (texts[column] == QLatin1String("<null>") || texts[column] == QLatin1String("<not null>")) {
            table->item(row, column)->setCheckState(texts[column] == QLatin1String("<null>") ? Qt::Checked
                                                                                            : Qt::Unchecked);
            continue;
        }
        table->setItem(row, column, new QTableWidgetItem(texts[column]));
    }
}
