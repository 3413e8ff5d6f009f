#pragma once
// TfrmLogon: the small logon dialog of user, password and database.
#include "dbtools/login_manager.h"

#include <QDialog>

class QLineEdit;
class QComboBox;
class QLabel;

class TfrmLogon : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLogon(QWidget *parent = nullptr);

    // Preset with the values (the databases offered from the remembered logons).
    void SetValues(const TLogonValues &values, const QStringList &previousLogons, int attempt);
    TLogonValues Values() const;

    // Shows the dialog modally; true and the values on OK.
    static bool Ask(TLogonValues &values, int attempt);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *edtUsername;
    QLineEdit *edtPassword;
    QComboBox *cboDatabase;
    QLabel *lblAttempt;
};
