// The preferences dialog: its page tree, lazily created pages, OK, Apply,
// Cancel and Restore Defaults.
#include "preferences_fixture.h"

#include "shell/desktop_pref.h"
#include "shell/graphic_style_pref.h"
#include "shell/preference_page.h"

#include <QDir>

namespace {

class TfrmTestPref : public TfrmBasePreferencePage {
public:
    using TfrmBasePreferencePage::TfrmBasePreferencePage;
    void DoLoadPreferences() override {}
    void DoSavePreferences() override {}
};

QStringList TreeTexts(QTreeWidget *tree)
{
    QStringList texts;
    QTreeWidgetItem *root = tree->topLevelItem(0);
    texts << root->text(0);
    for (int i = 0; i < root->childCount(); ++i)
        texts << root->child(i)->text(0);
    return texts;
}

TColourShape *Shape(QWidget *page, const char *name) { return page->findChild<TColourShape *>(QLatin1String(name)); }

} // namespace

using PreferencesForm = PreferencesFixture;

TEST_F(PreferencesForm, OpensOnDesktopCreatesPagesOnceAndNeverShowsTheRoot)
{
    TfrmPreferences &dialog = Open();
    EXPECT_EQ(dialog.windowTitle(), "Edit Preferences");
    EXPECT_EQ(dialog.size(), QSize(463, 383));
    auto *tree = Find<QTreeWidget>("tvwPages");
    EXPECT_EQ(TreeTexts(tree).mid(0, 5), (QStringList{"Application", "Desktop", "Graphics Style", "Tools", "Printing"}));
    EXPECT_EQ(Find<QLabel>("lblPage")->text(), "Desktop");
    QWidget *desktop = dialog.CurrentPage();
    EXPECT_NE(qobject_cast<TfrmDesktopPref *>(desktop), nullptr);
    EXPECT_EQ(dialog.CreatedPages().size(), 1);
    EXPECT_FALSE(ApplyEnabled());

    Find<QCheckBox>("chkSaveSettings")->click();
    EXPECT_TRUE(ApplyEnabled());
    QWidget *tools = Choose("Tools");
    QWidget *graphics = Choose("Graphics Style");
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(tree->currentItem()->text(0), "Graphics Style");
    EXPECT_EQ(dialog.CurrentPage(), graphics);
    EXPECT_EQ(Find<QLabel>("lblPage")->text(), "Graphics Style");
    // Switching back shows the same page with the unsaved edit.
    EXPECT_EQ(Choose("Desktop"), desktop);
    EXPECT_EQ(Choose("Tools"), tools);
    EXPECT_FALSE(Find<QCheckBox>("chkSaveSettings")->isChecked());
    EXPECT_EQ(dialog.CreatedPages(), (QList<QWidget *>{desktop, tools, graphics}));
    EXPECT_EQ(dialog.GetPage(""), nullptr);
    EXPECT_EQ(dialog.GetPage("TfrmNoSuchPage"), nullptr);
}

TEST_F(PreferencesForm, RegisteringAClassTwiceKeepsOneNode)
{
    const int before = TfrmPreferences::PreferencePages().size();
    const auto make = [](QWidget *owner) { return new TfrmTestPref(owner); };
    TfrmPreferences::RegisterPreferencePage("Extra", "TfrmTestPref", make);
    TfrmPreferences::RegisterPreferencePage("Extra again", "TfrmTestPref", make);
    TfrmPreferences::RegisterPreferencePage<TfrmDesktopPref>("Desktop twice");
    ASSERT_EQ(TfrmPreferences::PreferencePages().size(), before + 1);
    EXPECT_EQ(TfrmPreferences::PreferencePages().last().Caption, "Extra");
    Open();
    const QStringList tree = TreeTexts(Find<QTreeWidget>("tvwPages"));
    EXPECT_EQ(tree.count("Extra"), 1);
    EXPECT_EQ(tree.count("Extra again") + tree.count("Desktop twice"), 0);
    // A page made elsewhere than this program's units is created and shown too.
    ASSERT_NE(Choose("Extra"), nullptr);
    EXPECT_NE(dynamic_cast<TfrmTestPref *>(Dialog->CurrentPage()), nullptr);
    EXPECT_EQ(Dialog->CreatedPages().size(), 2);
}

TEST_F(PreferencesForm, OkWritesTheFileEvenWithoutChanges)
{
    Open();
    Click("btnOK");
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    expectGolden("preferences_default.config", FileBytes());
}

TEST_F(PreferencesForm, ApplyStoresAndCancelKeepsWhatApplyStored)
{
    Open();
    Find<QCheckBox>("chkSaveSettings")->click();
    Click("btnCancel");
    EXPECT_TRUE(Preferences->SaveOnExit);
    EXPECT_FALSE(QFile::exists(FileName()));
    Open();
    Find<QCheckBox>("chkdblbuffer")->click();
    Click("btnApply");
    EXPECT_FALSE(ApplyEnabled());
    EXPECT_TRUE(Preferences->DoubleBufferPanel);
    EXPECT_TRUE(FileBytes().contains("<property name=\"double_buffer_panel\">Y</property>"));
    Find<QCheckBox>("chkOptimizerGoal")->click();
    Click("btnCancel");
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(Preferences->OptimizerChoose);
    EXPECT_TRUE(FileBytes().contains("<property name=\"optimizer_choose\">N</property>"));
}

TEST_F(PreferencesForm, RestoreDefaultsShowsThemAndCancelKeepsTheUsersStyle)
{
    Preferences->DefaultStyle.HeaderBandColour = 0x123456;
    Preferences->SaveOnExit = false;
    Open();
    QWidget *graphics = Choose("Graphics Style");
    graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(1);
    EXPECT_EQ(Shape(graphics, "shpHeaderColour")->Brush(), 0x123456);

    Click("btnReset");
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_EQ(Shape(graphics, "shpHeaderColour")->Brush(), 0x808080);
    Choose("Desktop");
    EXPECT_TRUE(Find<QCheckBox>("chkSaveSettings")->isChecked());
    // Switching tabs while the defaults wait keeps showing the defaults.
    graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(0);
    graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(1);
    EXPECT_EQ(Shape(graphics, "shpHeaderColour")->Brush(), 0x808080);

    Click("btnCancel");
    EXPECT_EQ(Preferences->DefaultStyle.HeaderBandColour, 0x123456);
    EXPECT_FALSE(Preferences->SaveOnExit);
    EXPECT_FALSE(QFile::exists(FileName()));
}

TEST_F(PreferencesForm, RestoreDefaultsTakesEffectWithOkOnPagesNeverOpened)
{
    Preferences->DefaultStyle.HeaderBandColour = 0x123456;
    Preferences->DefaultStyle.FontSize = 11;
    Preferences->SaveOnExit = false;
    Preferences->DrawPrinterPages = false;
    Open();
    Click("btnReset");
    Click("btnOK");
    EXPECT_EQ(Preferences->DefaultStyle.HeaderBandColour, 0x808080);
    EXPECT_EQ(Preferences->DefaultStyle.FontSize, 8);
    EXPECT_TRUE(Preferences->SaveOnExit);
    // The reset restores the style and saving on exit, nothing else.
    EXPECT_FALSE(Preferences->DrawPrinterPages);
}

TEST_F(PreferencesForm, AFileThatCannotBeWrittenKeepsTheDialogAndTheOldFile)
{
    ASSERT_TRUE(QDir(Temp.path()).mkpath("marrowtide_preferences.config"));
    Open();
    Find<QCheckBox>("chkdblbuffer")->click();
    Click("btnOK");
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(Ui.HourglassDepth(), 0);
    EXPECT_TRUE(QFileInfo(FileName()).isDir());
}
