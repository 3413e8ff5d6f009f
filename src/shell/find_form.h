#pragma once
// TfrmFind: finds objects by part of their name in the model explorer tree or
// among the tables of the current page, one at a time or all at once.
#include <QDialog>

#include <functional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmFind : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFind(QWidget *owner = nullptr);

    void edtFindChange();
    void rgrpWhereClick();
    void btnFindNextClick();
    void btnFindAllClick();
    void btnCancelClick() { hide(); }

    void FindNextInDiagram();
    void FindAllInDiagram();
    void FindNextInTree();
    void FindAllInTree();

    bool InModelTree() const;

    // Brings the model explorer page forward before a tree search.
    std::function<void()> ShowModelExplorer;

    QLineEdit *edtFind;
    QPushButton *btnFindNext;
    QPushButton *btnFindAll;
    QPushButton *btnCancel;
    QRadioButton *rbtnModelTree;
    QRadioButton *rbtnDiagram;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Restart();
    // "No match found" before a first match, "No more matches found" after one.
    void ReportNoMatch();
    static void RefreshDiagram();

    int LastDiagramHit_ = -1;
    int LastTreeHit_ = -1;
};
