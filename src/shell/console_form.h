#pragma once
// TfrmConsole: the log window of logon progress, loaded files and dictionary queries.
#include "dbtools/console_helper.h"

#include <QWidget>

#include <functional>

class QPlainTextEdit;
class QPushButton;

class TfrmConsole : public QWidget, public IConsoleSink {
    Q_OBJECT
public:
    explicit TfrmConsole(QWidget *owner = nullptr);
    ~TfrmConsole() override;

    // The text, then an empty line that separates it from the next entry.
    void AddLine(const QString &text) override;
    QStringList Lines() const;
    // All lines, one per line, each ended by CR LF; an empty console writes an empty file.
    void SaveToFile(const QString &fileName) const;

    void btnClearClick();
    void btnSaveClick();
    void Button1Click();

    // Called with false when the user closes the window, so the menu check follows.
    std::function<void(bool)> OnVisibilityChosen;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPlainTextEdit *memConsole;
};

// The one console; null before the main window makes it.
extern TfrmConsole *ConsoleForm;
