#include "shell/tool_pref.h"

#include "platform/user_interface.h"
#include "shell/tool_pref_edit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmToolPref::TfrmToolPref(QWidget *owner) : TfrmBasePreferencePage(owner)
{
    setObjectName(QStringLiteral("frmToolPref"));
    auto *layout = new QHBoxLayout(this);
    lvwToolPreferences = new QTreeWidget(this);
    lvwToolPreferences->setObjectName(QStringLiteral("lvwToolPreferences"));
    lvwToolPreferences->setHeaderLabels({QStringLiteral("Caption")});
    lvwToolPreferences->setColumnWidth(0, 200);
    lvwToolPreferences->setRootIsDecorated(false);
    lvwToolPreferences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(lvwToolPreferences, 1);

    auto *buttons = new QVBoxLayout;
    const auto button = [&](const char *name, const QString &caption, bool enabled) {
        auto *result = new QPushButton(caption, this);
        result->setObjectName(QLatin1String(name));
        result->setEnabled(enabled);
        buttons->addWidget(result);
        return result;
    };
    btnAdd = button("btnAdd", QStringLiteral("&Add"), true);
    btnDelete = button("btnDelete", QStringLiteral("&Delete"), false);
    btnEdit = button("btnEdit", QStringLiteral("&Edit"), false);
    btnRun = button("btnRun", QStringLiteral("&Run"), false);
    buttons->addStretch();
    layout->addLayout(buttons);

    connect(btnAdd, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnAddClick(); }); });
    connect(btnDelete, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnDeleteClick(); }); });
    connect(btnEdit, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnEditClick(); }); });
    connect(btnRun, &QPushButton::clicked, this, [this] { ShowExceptions([this] { btnRunClick(); }); });
    connect(lvwToolPreferences, &QTreeWidget::itemDoubleClicked, this,
            [this] { ShowExceptions([this] { btnEditClick(); }); });
    connect(lvwToolPreferences, &QTreeWidget::itemSelectionChanged, this, [this] { lvwToolPreferencesChange(); });
}

void TfrmToolPref::DoLoadPreferences()
{
    Tools_.Assign(EditedPreferences()->Tools);
    RefillList();
}

void TfrmToolPref::DoSavePreferences()
{
    TPreferences &preferences = *EditedPreferences();
    preferences.Tools.Assign(Tools_);
    preferences.RefreshToolsMenu();
}

void TfrmToolPref::RefillList()
{
    lvwToolPreferences->clear();
    for (const auto &tool : Tools_.Items)
        new QTreeWidgetItem(lvwToolPreferences, {tool->Caption});
    lvwToolPreferencesChange();
}

void TfrmToolPref::lvwToolPreferencesChange()
{
    const bool selected = !lvwToolPreferences->selectedItems().isEmpty();
    btnDelete->setEnabled(selected);
    btnEdit->setEnabled(selected);
    btnRun->setEnabled(selected);
}

TToolPreference *TfrmToolPref::SelectedTool() const
{
    const QList<QTreeWidgetItem *> selected = lvwToolPreferences->selectedItems();
    return selected.isEmpty() ? nullptr : Tools_.FindByCaption(selected.first()->text(0));
}

void TfrmToolPref::btnAddClick()
{
    TfrmToolPrefEdit dialog(this);
    if (dialog.ShowModal() != QDialog::Accepted)
        return;
    TakeEdit(dialog, *Tools_.Add());
}

void TfrmToolPref::btnEditClick()
{
    TToolPreference *tool = SelectedTool();
    if (!tool)
        return;
    TfrmToolPrefEdit dialog(this);
    dialog.SetToolCaption(tool->Caption);
    dialog.SetProgram(tool->ProgramName);
    dialog.SetWorkingDir(tool->WorkingDir);
    dialog.SetParameters(tool->Parameters);
    if (dialog.ShowModal() == QDialog::Accepted)
        TakeEdit(dialog, *tool);
}

void TfrmToolPref::TakeEdit(const TfrmToolPrefEdit &dialog, TToolPreference &tool)
{
    tool.Caption = dialog.ToolCaption();
    tool.ProgramName = dialog.Program();
    tool.WorkingDir = dialog.WorkingDir();
    tool.Parameters = dialog.Parameters();
    RefillList();
    Changed();
}

void TfrmToolPref::btnDeleteClick()
{
    TToolPreference *tool = SelectedTool();
    if (!tool)
        return;
    if (!UserInterface().ConfirmOkCancel(QStringLiteral("Delete tool '") + tool->Caption + QStringLiteral("'?")))
        return;
    auto &items = Tools_.Items;
    items.erase(std::find_if(items.begin(), items.end(), [tool](const auto &item) { return item.get() == tool; }));
    Changed();
    RefillList();
}

void TfrmToolPref::btnRunClick()
{
    if (TToolPreference *tool = SelectedTool())
        EditedPreferences()->RunExternalTool(*tool);
}
