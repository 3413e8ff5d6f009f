// Tools > Preferences and Help > Understanding Marrowtide on the main window.
#include "shell_fixture.h"

#include "platform/agent_character.h"
#include "shell/agent_helper.h"
#include "shell/preferences_form.h"

#include <QApplication>
#include <QCheckBox>

TEST_F(ShellFixture, PreferencesOpenModallyAndOkStoresTheFile)
{
    Start({"file=none"});
    QString title;
    TfrmPreferences::ModalHook = [&](TfrmPreferences &dialog) {
        dialog.show();
        title = dialog.windowTitle();
        EXPECT_EQ(dialog.parent(), Form.get());
        dialog.findChild<QCheckBox *>("chkdblbuffer")->click();
        dialog.btnOKClick();
        return dialog.result();
    };
    Form->Action("actPreferences")->trigger();
    TfrmPreferences::ModalHook = nullptr;
    EXPECT_EQ(title, "Edit Preferences");
    EXPECT_TRUE(Preferences->DoubleBufferPanel);
    EXPECT_TRUE(QFile::exists(Preferences->FileName));
    EXPECT_EQ(Form->findChildren<TfrmPreferences *>().size(), 0);
}

TEST_F(ShellFixture, TheTourVisitsTheMainWindowsParts)
{
    Start({"file=none"});
    const TTourTargets targets = TAgentHelper::FindTargets(Form.get());
    EXPECT_EQ(targets.DiagramBox->objectName(), "sboxDiagram");
    EXPECT_EQ(targets.PlanView->objectName(), "pbox");
    EXPECT_EQ(targets.Entities->objectName(), "lvwTables");
    ASSERT_NE(targets.NewPageButton, nullptr);
    EXPECT_TRUE(targets.NewPageButton->inherits("QToolButton"));

    // Without the character the menu item explains and shows nothing.
    TAgentControl::SetCharacterFolderOverride(Temp.filePath("nowhere"));
    Form->Action("actTutorial1")->trigger();
    TAgentControl::SetCharacterFolderOverride({});
    ASSERT_FALSE(Ui.Messages().isEmpty());
    EXPECT_EQ(Ui.Messages().last(), TAgentHelper::NotInstalledMessage());
    EXPECT_TRUE(Ui.Messages().last().startsWith("You need Merlin the Mircosoft Agent installed for this feature.\r\nSee "));
    EXPECT_EQ(qApp->findChildren<TAgentControl *>().size(), 0);
}

// Whatever writes the file writes the window as it is: OK in the dialog on a
// first start keeps the status bar and the panels the user sees.
TEST_F(ShellFixture, PreferencesOkStoresTheWindowsLayoutAsItIs)
{
    Start({"file="});
    Find<QSplitter>("splLeft")->setSizes({290, 500});
    Find<QTabWidget>("pgcNavigator")->setCurrentIndex(2);
    TfrmPreferences::ModalHook = [](TfrmPreferences &dialog) {
        dialog.btnOKClick();
        return dialog.result();
    };
    Form->Action("actPreferences")->trigger();
    TfrmPreferences::ModalHook = nullptr;
    TPreferences stored;
    stored.FileName = PreferencesFile();
    stored.LoadPreferences();
    EXPECT_TRUE(stored.ShowStatusBar);
    EXPECT_EQ(stored.LeftPanelWidth, 290);
    EXPECT_GT(stored.PlanPanelHeight, 0);
    EXPECT_EQ(stored.PlanPanelHeight, Find<QWidget>("pnlPlan")->height());
    EXPECT_EQ(stored.ExplorersTabIndex, 2);
}
