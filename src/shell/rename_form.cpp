#include "shell/rename_form.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

std::function<int(TfrmRename &)> TfrmRename::ModalHook;

TfrmRename::TfrmRename(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmRename"));
    setWindowTitle(QStringLiteral("Rename Diagram"));
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Diagram Properties"), this);
    heading->setObjectName(QStringLiteral("lblHeading"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *form = new QFormLayout;
    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    auto *lblName = new QLabel(QStringLiteral("&Name:"), this);
    lblName->setBuddy(edtName);
    form->addRow(lblName, edtName);
    memComment = new QPlainTextEdit(this);
    memComment->setObjectName(QStringLiteral("memComment"));
    auto *lblComment = new QLabel(QStringLiteral("&Comment:"), this);
    lblComment->setBuddy(memComment);
    form->addRow(lblComment, memComment);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(380, 240);
}

int TfrmRename::Execute()
{
    edtName->setFocus();
    if (ModalHook)
        return ModalHook(*this);
    return exec();
}
