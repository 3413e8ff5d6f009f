#pragma once
// TfrmCompareModelsWizard: picks an original and a target among the open
// pages (or a diagram file as the target) and shows the script that turns
// the original into the target in a new SQL editor window.
#include <QDialog>

#include <memory>

class QComboBox;
class QLineEdit;
class QPushButton;
class TDiagramObjectModel;

class TfrmCompareModelsWizard : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCompareModelsWizard(QWidget *parent = nullptr);
    ~TfrmCompareModelsWizard() override;

    // The delta script of Target against Original, or the one line saying
    // there is nothing to change.
    static QString BuildComparison(const TDiagramObjectModel &original, const TDiagramObjectModel &target);

    // The script of the last comparison; empty before one ran.
    QString Script() const { return Script_; }

    static const char *const NoDifferences;

private:
    void cboTargetChange();
    void btnBrowseClick();
    void btnOKClick();
    bool TargetIsFile() const;

    QComboBox *cboOriginal = nullptr;
    QComboBox *cboTarget = nullptr;
    QLineEdit *edtTargetFile = nullptr;
    QPushButton *btnBrowse = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
    QString Script_;
};
