#include "dbtools/base_memo_wizard.h"

#include "model/diagram_note.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmBaseMemoWizard::TfrmBaseMemoWizard(const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBaseMemoWizard"));
    setWindowTitle(QStringLiteral("Note"));
    resize(420, 300);
    auto *layout = new QVBoxLayout(this);
    memText = new QPlainTextEdit;
    memText->setObjectName(QStringLiteral("memText"));
    memText->setPlainText(text);
    memText->setTabChangesFocus(true);
    layout->addWidget(memText);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    btnOK = new QPushButton(QStringLiteral("OK"));
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("Cancel"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    memText->setFocus();
}

QString TfrmBaseMemoWizard::Text() const { return memText->toPlainText(); }

std::unique_ptr<TDiagramNote> TfrmBaseMemoWizard::CreateNote()
{
    TfrmBaseMemoWizard wizard(QString{});
    wizard.setWindowTitle(QStringLiteral("Create Note"));
    if (wizard.exec() != QDialog::Accepted)
        return nullptr;
    auto note = std::make_unique<TDiagramNote>();
    note->Text = wizard.Text();
    return note;
}

bool TfrmBaseMemoWizard::EditNote(TDiagramNote *note)
{
    if (!note)
        return false;
    TfrmBaseMemoWizard wizard(note->Text);
    wizard.setWindowTitle(QStringLiteral("Edit Note"));
    if (wizard.exec() != QDialog::Accepted)
        return false;
    note->Text = wizard.Text();
    return true;
}
