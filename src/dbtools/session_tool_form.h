#pragma once
// TfrmSessionTool: what the schema extractor and the export/import window
// share: a tool window listed in the Window menu while open, an owner chooser
// filled from the session, a status line and the output file written whole.
#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class TOracleSession;

class TfrmSessionTool : public QWidget {
    Q_OBJECT

public:
    // The connected session the tools work on; raises when there is none.
    static TOracleSession &RequireSession();
    // Where a tool's output file goes: the program's folder when it can be
    // written, else the per-user data folder.
    static QString OutputFileName(const QString &name);

protected:
    explicit TfrmSessionTool(const QString &objectName);
    // Shows the window and lists it in the Window menu under Caption ~ N.
    void ShowRegistered(const QString &caption);
    // Fills cboOwner with the session's owners and selects the session's user.
    void FillOwners();
    // Writes the text to the file in one piece; the status line says where,
    // or a message box says why not (the old file stays).
    bool WriteOutput(const QString &fileName, const QString &text);
    void closeEvent(QCloseEvent *event) override;
    // A line of a choice list with its check box. Space, Enter and a double
    // click turn the check as well as a click on the box.
    static void AddCheckItem(QListWidget *list, const QString &text, bool checked);
    static void MakeChoiceList(QListWidget *list);

    QComboBox *cboOwner = nullptr;
    QLabel *lblStatus = nullptr;
    QPlainTextEdit *memOutput = nullptr;

private:
    bool Registered_ = false;
};
