#include "shell/tool_pref_edit.h"

#include "platform/user_interface.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

const QString TfrmToolPrefEdit::ProgramFilter =
    QStringLiteral("Executable Files (*.exe)|*.EXE|Command Files (*.cmd)|*.CMD|All files (*.*)|*.*");

namespace {

QToolButton *MakeBrowseButton(QWidget *parent, const char *name, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(QStringLiteral("..."));
    button->setToolTip(hint);
    return button;
}

} // namespace

TfrmToolPrefEdit::TfrmToolPrefEdit(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("frmToolPrefEdit"));
    setWindowTitle(QStringLiteral("Edit Tool"));
    auto *outer = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Tool Properties"), this);
    group->setObjectName(QStringLiteral("grpToolProperties"));
    auto *grid = new QGridLayout(group);
    const auto row = [&](int index, const char *name, const QString &caption, QToolButton *button) {
        auto *edit = new QLineEdit(group);
        edit->setObjectName(QLatin1String(name));
        edit->setMinimumWidth(260);
        auto *label = new QLabel(caption, group);
        label->setBuddy(edit);
        grid->addWidget(label, index, 0);
        grid->addWidget(edit, index, 1);
        if (button)
            grid->addWidget(button, index, 2);
        return edit;
    };
    auto *btnProgram = MakeBrowseButton(group, "btnBrowseProgram", QStringLiteral("Browse Program"));
    auto *btnWorkingDir = MakeBrowseButton(group, "btnBrowseWorkingDir", QStringLiteral("Browse Working Directory"));
    btnMacros = MakeBrowseButton(group, "btnMacros", QStringLiteral("Browse Macros"));
    edtToolCaption = row(0, "edtToolCaption", QStringLiteral("&Tool Caption:"), nullptr);
    edtProgram = row(1, "edtProgram", QStringLiteral("&Program:"), btnProgram);
    edtWorkingDir = row(2, "edtWorkingDir", QStringLiteral("&Working Dir:"), btnWorkingDir);
    edtParameters = row(3, "edtParameters", QStringLiteral("P&arameters:"), btnMacros);
    outer->addWidget(group);

    pmnuMacros = new QMenu(this);
    pmnuMacros->setObjectName(QStringLiteral("pmnuMacros"));
    const QList<QPair<QString, QString>> macros = {
        {QStringLiteral("Current username ($USERNAME)"), QStringLiteral("$USERNAME")},
        {QStringLiteral("Current password ($PASSWORD)"), QStringLiteral("$PASSWORD")},
        {QStringLiteral("Current database ($DATABASE)"), QStringLiteral("$DATABASE")},
    };
    for (const auto &macro : macros) {
        QAction *item = pmnuMacros->addAction(macro.first);
        const QString text = macro.second;
        connect(item, &QAction::triggered, this, [this, text] { AddMacro(text); });
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto *btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    outer->addLayout(buttons);

    connect(edtToolCaption, &QLineEdit::textChanged, this, [this](const QString &text) { ToolCaption_ = text; });
    connect(edtProgram, &QLineEdit::textChanged, this, [this](const QString &text) { Program_ = text; });
    connect(edtWorkingDir, &QLineEdit::textChanged, this, [this](const QString &text) { WorkingDir_ = text; });
    connect(edtParameters, &QLineEdit::textChanged, this, [this](const QString &text) { Parameters_ = text; });
    connect(btnOK, &QPushButton::clicked, this, [this] { btnOKClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnProgram, &QToolButton::clicked, this, [this] { ShowExceptions([this] { btnBrowseProgramClick(); }); });
    connect(btnWorkingDir, &QToolButton::clicked, this,
            [this] { ShowExceptions([this] { btnBrowseWorkingDirClick(); }); });
    connect(btnMacros, &QToolButton::clicked, this, [this] { btnMacrosClick(); });
}

void TfrmToolPrefEdit::SetToolCaption(const QString &value)
{
    ToolCaption_ = value;
    edtToolCaption->setText(value);
}

void TfrmToolPrefEdit::SetProgram(const QString &value)
{
    Program_ = value;
    edtProgram->setText(value);
}

void TfrmToolPrefEdit::SetWorkingDir(const QString &value)
{
    WorkingDir_ = value;
    edtWorkingDir->setText(value);
}

void TfrmToolPrefEdit::SetParameters(const QString &value)
{
    Parameters_ = value;
    edtParameters->setText(value);
}

void TfrmToolPrefEdit::btnOKClick()
{
    if (ToolCaption_.isEmpty()) {
        UserInterface().ShowInformation(QStringLiteral("Tool Caption cannot be blank"));
        return;
    }
    accept();
}

void TfrmToolPrefEdit::btnBrowseProgramClick()
{
    TFileDialogOptions options;
    options.Filter = ProgramFilter;
    options.FileName = edtProgram->text();
    const QString chosen = UserInterface().OpenFileName(options);
    if (chosen.isEmpty())
        return;
    edtProgram->setText(chosen);
    edtWorkingDir->setText(QFileInfo(chosen).path());
}

void TfrmToolPrefEdit::btnBrowseWorkingDirClick()
{
    const QString folder = UserInterface().ChooseFolder(QStringLiteral("Working Dir:"), edtWorkingDir->text());
    if (!folder.isEmpty())
        edtWorkingDir->setText(folder);
}

void TfrmToolPrefEdit::AddMacro(const QString &macro)
{
    edtParameters->setText(edtParameters->text() + macro);
    edtParameters->setFocus();
}

void TfrmToolPrefEdit::btnMacrosClick()
{
    pmnuMacros->popup(btnMacros->mapToGlobal(QPoint(0, btnMacros->height())));
}

std::function<int(TfrmToolPrefEdit &)> &TfrmToolPrefEdit::ShowModalHook()
{
    static std::function<int(TfrmToolPrefEdit &)> hook;
    return hook;
}

int TfrmToolPrefEdit::ShowModal()
{
    if (ShowModalHook())
        return ShowModalHook()(*this);
    return exec();
}
