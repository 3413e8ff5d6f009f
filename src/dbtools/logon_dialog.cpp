#include "dbtools/logon_dialog.h"

#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/qt_user_interface.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TfrmLogon::TfrmLogon(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogon"));
    setWindowTitle(QStringLiteral("Log On"));
    auto *form = new QFormLayout;
    edtUsername = new QLineEdit(this);
    edtUsername->setObjectName(QStringLiteral("edtUsername"));
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName(QStringLiteral("edtPassword"));
    edtPassword->setEchoMode(QLineEdit::Password);
    cboDatabase = new QComboBox(this);
    cboDatabase->setObjectName(QStringLiteral("cboDatabase"));
    cboDatabase->setEditable(true);
    form->addRow(QStringLiteral("&User:"), edtUsername);
    form->addRow(QStringLiteral("&Password:"), edtPassword);
    form->addRow(QStringLiteral("&Database:"), cboDatabase);
    lblAttempt = new QLabel(this);
    lblAttempt->setObjectName(QStringLiteral("lblAttempt"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("btnsLogon"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblAttempt);
    layout->addWidget(buttons);
}

void TfrmLogon::SetValues(const TLogonValues &values, const QStringList &previousLogons, int attempt)
{
    edtUsername->setText(values.User);
    edtPassword->clear();
    cboDatabase->clear();
    for (const QString &logon : previousLogons) {
        const int at = logon.lastIndexOf(QLatin1Char('@'));
        const QString database = at >= 0 ? logon.mid(at + 1) : QString();
        if (!database.isEmpty() && cboDatabase->findText(database) < 0)
            cboDatabase->addItem(database);
    }
    cboDatabase->setEditText(values.Database);
    lblAttempt->setText(attempt > 1 ? QStringLiteral("Attempt %1 of %2").arg(attempt).arg(TLoginManager::MaxAttempts)
                                    : QString());
    (values.User.isEmpty() ? edtUsername : edtPassword)->setFocus();
}

void TfrmLogon::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The first logon comes while only the splash is up.
    TQtUserInterface::PlaceDialog(*this);
}

TLogonValues TfrmLogon::Values() const
{
    return {edtUsername->text().trimmed(), edtPassword->text(), cboDatabase->currentText().trimmed()};
}

bool TfrmLogon::Ask(TLogonValues &values, int attempt)
{
    TfrmLogon dialog(QApplication::activeWindow());
    dialog.SetValues(values, Preferences ? Preferences->PreviousLogons : QStringList(), attempt);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    values = dialog.Values();
    return true;
}
