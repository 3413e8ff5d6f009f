#pragma once
// TfrmPrinterPrefs: the "Printing" preference page: default orientation and
// the printer pages drawn on the diagram.
#include "shell/preference_page.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;

class TfrmPrinterPrefs : public TfrmBasePreferencePage {
    Q_OBJECT
public:
    explicit TfrmPrinterPrefs(QWidget *owner = nullptr);

    void chkShowPrinterPagesClick();

protected:
    void DoLoadPreferences() override;
    void DoSavePreferences() override;

private:
    QGroupBox *rgrpOrientation = nullptr;
    QButtonGroup *Orientation_ = nullptr;
    QCheckBox *chkShowPrinterPages = nullptr;
    QCheckBox *chkShowPageNums = nullptr;
    // The page numbers switch as the user left it; a disabled box does not
    // show it, and must not change it either.
    bool PageNumbers_ = false;
};
