#pragma once
// TfrmToolPref: the "Tools" preference page: the external tools of the Tools
// menu, edited on a working copy until OK or Apply.
#include "model/preferences.h"
#include "shell/preference_page.h"

class QPushButton;
class QTreeWidget;
class TfrmToolPrefEdit;

class TfrmToolPref : public TfrmBasePreferencePage {
    Q_OBJECT
public:
    explicit TfrmToolPref(QWidget *owner = nullptr);

    void btnAddClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnRunClick();
    const TToolPreferences &WorkingTools() const { return Tools_; }

protected:
    void DoLoadPreferences() override;
    void DoSavePreferences() override;

private:
    void RefillList();
    // Stores the dialog's four values in the tool and shows the change.
    void TakeEdit(const TfrmToolPrefEdit &dialog, TToolPreference &tool);
    void lvwToolPreferencesChange();
    // The tool of the selected item: the last one with its caption.
    TToolPreference *SelectedTool() const;

    QTreeWidget *lvwToolPreferences = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnEdit = nullptr;
    QPushButton *btnRun = nullptr;
    TToolPreferences Tools_;
};
