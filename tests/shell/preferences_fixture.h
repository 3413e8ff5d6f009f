#pragma once
// The preferences dialog under test: settings and configuration folder in a
// temporary folder, a current page with its own style, the fake user interface.
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"
#include "platform/config_settings.h"
#include "platform/fake_user_interface.h"
#include "platform/shell.h"
#include "shell/preferences_form.h"
#include "shell/tool_pref_edit.h"
#include "test_data.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

class PreferencesFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Temp.isValid());
        TConfigSettings::SetSettingsFileOverride(Temp.filePath(QStringLiteral("settings.ini")));
        TConfigSettings::SetProgramFolderOverride(Temp.path());
        InitializeModelGlobals();
        Preferences->SetDefaults();
        Preferences->FileName = FileName();
        CurrentModel->Style.Assign(Preferences->DefaultStyle);
    }

    void TearDown() override
    {
        Dialog.reset();
        TfrmToolPrefEdit::ShowModalHook() = nullptr;
        FinalizeModelGlobals();
        TConfigSettings::SetSettingsFileOverride({});
        TConfigSettings::SetProgramFolderOverride({});
    }

    QString FileName() const { return Temp.filePath(QStringLiteral("marrowtide_preferences.config")); }
    QByteArray FileBytes(const QString &path = {}) const
    {
        QFile file(path.isEmpty() ? FileName() : path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    TfrmPreferences &Open()
    {
        Dialog = std::make_unique<TfrmPreferences>();
        Dialog->show();
        return *Dialog;
    }

    // Chooses a page by the caption of its tree node, as a click would.
    QWidget *Choose(const QString &caption)
    {
        auto *tree = Find<QTreeWidget>("tvwPages");
        const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << caption.toStdString();
        if (found.isEmpty())
            return nullptr;
        tree->setCurrentItem(found.first());
        return Dialog->CurrentPage();
    }

    template <typename T> T *Find(const char *name) const { return Dialog->findChild<T *>(QLatin1String(name)); }
    void Click(const char *name) { Find<QAbstractButton>(name)->click(); }
    bool ApplyEnabled() const { return Find<QAbstractButton>("btnApply")->isEnabled(); }

    // Answers the next tool dialogs with these values (OK) in turn; an empty
    // caption is refused by the dialog and counted.
    struct TToolAnswer {
        QString Caption, Program, WorkingDir, Parameters;
        bool Ok = true;
    };
    void AnswerToolDialogs(QList<TToolAnswer> answers)
    {
        ToolAnswers = std::move(answers);
        TfrmToolPrefEdit::ShowModalHook() = [this](TfrmToolPrefEdit &dialog) {
            PresetSeen << QStringList{dialog.ToolCaption(), dialog.Program(), dialog.WorkingDir(), dialog.Parameters()};
            const TToolAnswer answer = ToolAnswers.takeFirst();
            dialog.findChild<QLineEdit *>(QStringLiteral("edtToolCaption"))->setText(answer.Caption);
            dialog.findChild<QLineEdit *>(QStringLiteral("edtProgram"))->setText(answer.Program);
            dialog.findChild<QLineEdit *>(QStringLiteral("edtWorkingDir"))->setText(answer.WorkingDir);
            dialog.findChild<QLineEdit *>(QStringLiteral("edtParameters"))->setText(answer.Parameters);
            if (!answer.Ok)
                return int(QDialog::Rejected);
            dialog.btnOKClick();
            return dialog.result();
        };
    }

    QTemporaryDir Temp;
    TScopedFakeUserInterface Ui;
    std::unique_ptr<TfrmPreferences> Dialog;
    QList<TToolAnswer> ToolAnswers;
    QList<QStringList> PresetSeen;
};
