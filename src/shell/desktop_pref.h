#pragma once
// TfrmDesktopPref: the "Desktop" preference page: saving on exit, double
// buffering, the configuration folder and the optimizer goal.
#include "shell/preference_page.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

class TfrmDesktopPref : public TfrmBasePreferencePage {
    Q_OBJECT
public:
    explicit TfrmDesktopPref(QWidget *owner = nullptr);

    void btnBrowserConfigDirClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void DoLoadPreferences() override;
    void DoSavePreferences() override;

private:
    QCheckBox *chkSaveSettings = nullptr;
    QCheckBox *chkdblbuffer = nullptr;
    QLineEdit *edtConfigDir = nullptr;
    QPushButton *btnBrowserConfigDir = nullptr;
    QCheckBox *chkOptimizerGoal = nullptr;
};
