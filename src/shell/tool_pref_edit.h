#pragma once
// TfrmToolPrefEdit: edits one external tool: caption, program, working folder
// and parameters with the connection macros.
#include <QDialog>
#include <QString>

#include <functional>

class QLineEdit;
class QMenu;
class QToolButton;

class TfrmToolPrefEdit : public QDialog {
    Q_OBJECT
public:
    explicit TfrmToolPrefEdit(QWidget *owner = nullptr);

    void SetToolCaption(const QString &value);
    void SetProgram(const QString &value);
    void SetWorkingDir(const QString &value);
    void SetParameters(const QString &value);
    QString ToolCaption() const { return ToolCaption_; }
    QString Program() const { return Program_; }
    QString WorkingDir() const { return WorkingDir_; }
    QString Parameters() const { return Parameters_; }

    void btnOKClick();
    void btnBrowseProgramClick();
    void btnBrowseWorkingDirClick();
    // Appends the macro to the end of the parameters and puts the focus there.
    void AddMacro(const QString &macro);
    QMenu *MacrosMenu() const { return pmnuMacros; }

    // Shows the dialog modally; tests answer it instead.
    int ShowModal();
    static std::function<int(TfrmToolPrefEdit &)> &ShowModalHook();

    static const QString ProgramFilter;

private:
    void btnMacrosClick();

    QLineEdit *edtToolCaption = nullptr;
    QLineEdit *edtProgram = nullptr;
    QLineEdit *edtWorkingDir = nullptr;
    QLineEdit *edtParameters = nullptr;
    QToolButton *btnMacros = nullptr;
    QMenu *pmnuMacros = nullptr;
    QString ToolCaption_;
    QString Program_;
    QString WorkingDir_;
    QString Parameters_;
};
