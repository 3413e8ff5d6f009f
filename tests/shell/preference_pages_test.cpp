// The four preference pages: what each loads and stores, through the file and back.
#include "preferences_fixture.h"

#include "canvas/diagram_panel.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "model_builders.h"
#include "shell/graphic_style_pref.h"
#include "shell/tool_pref.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QEvent>
#include <QDir>
#include <QMenu>
#include <QRadioButton>

namespace {

TColourShape *Shape(QWidget *page, const char *name) { return page->findChild<TColourShape *>(QLatin1String(name)); }
void ClickIn(QWidget *page, const char *name) { page->findChild<QAbstractButton *>(QLatin1String(name))->click(); }
QCheckBox *CheckIn(QWidget *page, const char *name) { return page->findChild<QCheckBox *>(QLatin1String(name)); }
QLineEdit *EditIn(QWidget *page, const char *name) { return page->findChild<QLineEdit *>(QLatin1String(name)); }

QStringList ListTexts(QWidget *page)
{
    auto *list = page->findChild<QTreeWidget *>(QStringLiteral("lvwToolPreferences"));
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

void SelectRow(QWidget *page, int row)
{
    auto *list = page->findChild<QTreeWidget *>(QStringLiteral("lvwToolPreferences"));
    list->clearSelection();
    if (row >= 0)
        list->topLevelItem(row)->setSelected(true);
}

} // namespace

class PreferencePages : public PreferencesFixture {
protected:
    // Every page edited through its controls and dialogs, then OK.
    void EditEverythingAndPressOk()
    {
        Open();
        Find<QCheckBox>("chkSaveSettings")->click();
        Find<QCheckBox>("chkdblbuffer")->click();
        Find<QCheckBox>("chkOptimizerGoal")->click();

        QWidget *graphics = Choose("Graphics Style");
        graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(1);
        Ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Courier New", 11, clNavy)));
        ClickIn(graphics, "btnDiagramFont");
        Ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Arial", 9, clBtnText)));
        ClickIn(graphics, "btnHeaderFont");
        Ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Times New Roman", 7, 0x00ABCDEF)));
        ClickIn(graphics, "btnLinkFont");
        const QList<QPair<const char *, TColor>> colours = {
            {"btnHeaderColour", 0x00102030}, {"btnDetailColour", clCream},  {"btnBackgroundColour", clBtnFace},
            {"btnCascadeDelColour", clPurple}, {"btnSetNullDelColour", 0x7F}, {"btnNoActionDelColour", clTeal}};
        for (const auto &colour : colours) {
            Ui.QueueAnswer(TUserInterfaceAnswer::WithColor(colour.second));
            ClickIn(graphics, colour.first);
        }
        for (const char *check : {"chkShowLinkDesc", "chkShowOwner", "chkShowTableName", "chkLinkName", "chkShowCols",
                                  "chkLowGraphics", "chk2tone"})
            CheckIn(graphics, check)->click();

        QWidget *tools = Choose("Tools");
        AnswerToolDialogs({{"&Dump", "/usr/bin/exp", "/tmp", "$USERNAME/$PASSWORD@$DATABASE"},
                           {"Plus <SQL>", "sqlplus", "", "-L"}});
        ClickIn(tools, "btnAdd");
        ClickIn(tools, "btnAdd");

        QWidget *printing = Choose("Printing");
        printing->findChild<QRadioButton *>("rbOrientation1")->click();
        CheckIn(printing, "chkShowPageNums")->click();
        Click("btnOK");
    }
};

TEST_F(PreferencePages, EveryEditSurvivesARestart)
{
    EditEverythingAndPressOk();
    ASSERT_EQ(Dialog->result(), QDialog::Accepted);
    const QByteArray written = FileBytes();
    expectGolden("preferences_dialog_edited.config", written);

    // Start again: a fresh object reads the file and writes the same bytes.
    TPreferences restarted;
    restarted.FileName = FileName();
    restarted.LoadPreferences();
    restarted.FileName = Temp.filePath("again.config");
    restarted.SavePreferences();
    EXPECT_EQ(FileBytes(restarted.FileName), written);
    EXPECT_EQ(restarted.DefaultStyle.HeaderFontColour, clBtnText);
    ASSERT_EQ(restarted.Tools.Count(), 2);
    EXPECT_EQ(restarted.Tools.Items[0]->Parameters, "$USERNAME/$PASSWORD@$DATABASE");

    // The current diagram kept its own style.
    EXPECT_EQ(CurrentModel->Style.FontName, "Tahoma");
    EXPECT_EQ(CurrentModel->Style.HeaderBandColour, 0x808080);
}

TEST_F(PreferencePages, OpeningEveryPageAndPressingOkChangesNothing)
{
    // Values a careless load and store would lose: system colours, page numbers
    // kept while the pages are off, landscape, a tool with an ampersand.
    Preferences->DefaultStyle.HeaderBandColour = clBtnFace;
    Preferences->DefaultStyle.FontColour = clWindowText;
    Preferences->DefaultStyle.LinkFontSize = 13;
    Preferences->DrawPrinterPages = false;
    Preferences->DrawPrinterPageNumber = true;
    Preferences->PrintOrientation = poLandscape;
    Preferences->OptimizerChoose = true;
    Preferences->SaveOnExit = false;
    TToolPreference *tool = Preferences->Tools.Add();
    tool->Caption = "R&un";
    tool->ProgramName = "/bin/true";
    Preferences->SavePreferences();
    const QByteArray before = FileBytes();

    Open();
    QWidget *graphics = Choose("Graphics Style");
    graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(1);
    Choose("Tools");
    Choose("Printing");
    EXPECT_FALSE(ApplyEnabled());
    Click("btnOK");
    EXPECT_EQ(FileBytes().toStdString(), before.toStdString());
}

TEST_F(PreferencePages, CurrentDiagramTabEditsThePageStyleAndSwitchingDropsEdits)
{
    Preferences->DefaultStyle.DetailBandColour = clYellow;
    CurrentModel->Style.LinkFontColour = clMaroon;
    Open();
    QWidget *graphics = Choose("Graphics Style");
    auto *tab = graphics->findChild<QTabBar *>("tabDefault");
    EXPECT_EQ(tab->currentIndex(), 0);
    EXPECT_EQ(Shape(graphics, "shpDetailColour")->Brush(), clWhite);
    EXPECT_EQ(EditIn(graphics, "edtLinkFont")->palette().color(QPalette::Text), ColorToQColor(clMaroon));
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    ClickIn(graphics, "btnLinkFont");
    // Of the switches only the two-tone header reports a change; all are stored.
    CheckIn(graphics, "chkShowOwner")->click();
    EXPECT_FALSE(ApplyEnabled());
    CheckIn(graphics, "chk2tone")->click();
    EXPECT_TRUE(ApplyEnabled());

    Ui.QueueAnswer(TUserInterfaceAnswer::WithColor(clLime));
    ClickIn(graphics, "btnDetailColour");
    EXPECT_EQ(Shape(graphics, "shpDetailColour")->Brush(), clLime);
    Click("btnApply");
    EXPECT_EQ(CurrentModel->Style.DetailBandColour, clLime);
    EXPECT_EQ(CurrentModel->Style.LinkFontColour, clMaroon);
    EXPECT_TRUE(CurrentModel->Style.ShowOwnerInTitle);
    EXPECT_TRUE(CurrentModel->Style.TwoToneHeader);
    EXPECT_EQ(Preferences->DefaultStyle.DetailBandColour, clYellow);

    Ui.QueueAnswer(TUserInterfaceAnswer::WithColor(clRed));
    ClickIn(graphics, "btnDetailColour");
    tab->setCurrentIndex(1);
    EXPECT_EQ(Shape(graphics, "shpDetailColour")->Brush(), clYellow);
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    ClickIn(graphics, "btnDetailColour");
    EXPECT_EQ(Shape(graphics, "shpDetailColour")->Brush(), clYellow);
    Click("btnOK");
    // The red edit was made on the other tab and dropped; OK stored the Default tab.
    EXPECT_EQ(CurrentModel->Style.DetailBandColour, clLime);
    EXPECT_EQ(Preferences->DefaultStyle.DetailBandColour, clYellow);
}

// Header text is drawn on the header band: its sample shows it there, whichever of
// the two changes and whichever style the page shows.
TEST_F(PreferencePages, TheHeaderFontSampleStandsOnTheHeaderColour)
{
    Preferences->DefaultStyle.HeaderBandColour = 0x00563412;
    Open();
    QWidget *graphics = Choose("Graphics Style");
    const auto ground = [&](const char *edit) { return EditIn(graphics, edit)->palette().color(QPalette::Base); };
    EXPECT_EQ(ground("edtHeaderFontName"), QColor(0x80, 0x80, 0x80));
    graphics->findChild<QTabBar *>("tabDefault")->setCurrentIndex(1);
    EXPECT_EQ(ground("edtHeaderFontName"), QColor(0x12, 0x34, 0x56));
    Ui.QueueAnswer(TUserInterfaceAnswer::WithColor(0x00102030));
    ClickIn(graphics, "btnHeaderColour");
    EXPECT_EQ(ground("edtHeaderFontName"), QColor(0x30, 0x20, 0x10));
    Ui.QueueAnswer(TUserInterfaceAnswer::WithFont(TFont("Arial", 9, clWhite)));
    ClickIn(graphics, "btnHeaderFont");
    EXPECT_EQ(ground("edtHeaderFontName"), QColor(0x30, 0x20, 0x10));
    EXPECT_EQ(EditIn(graphics, "edtHeaderFontName")->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_NE(ground("edtDiagramFont"), QColor(0x30, 0x20, 0x10)) << "the detail text is not on the header";
}

TEST_F(PreferencePages, ConfigFolderChangeWritesIntoTheNewFolderAndKeepsTheOldFile)
{
    Preferences->SavePreferences();
    const QString moved = Temp.filePath("moved");
    ASSERT_TRUE(QDir().mkpath(moved));
    Open();
    Ui.QueueAnswer(TUserInterfaceAnswer::Path(moved));
    Click("btnBrowserConfigDir");
    EXPECT_EQ(Find<QLineEdit>("edtConfigDir")->text(), moved);
    EXPECT_TRUE(ApplyEnabled());
    Click("btnApply");
    EXPECT_EQ(Preferences->FileName, moved + "/marrowtide_preferences.config");
    EXPECT_TRUE(QFile::exists(moved + "/marrowtide_preferences.config"));
    EXPECT_TRUE(QFile::exists(FileName()));

    // A folder that does not exist is stored as the program's folder, and shown so.
    Find<QLineEdit>("edtConfigDir")->setText(Temp.filePath("missing"));
    Click("btnOK");
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), Temp.path());
    EXPECT_EQ(Find<QLineEdit>("edtConfigDir")->text(), Temp.path());
    EXPECT_EQ(Preferences->FileName, FileName());

    // A folder no file can be created in is refused; the old one stays, and
    // the dialog stays open with the user's text.
    Find<QLineEdit>("edtConfigDir")->setText("/proc");
    Click("btnOK");
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::Error).size(), 1);
    EXPECT_TRUE(Ui.Messages().last().startsWith("The preferences cannot be written into the folder \"/proc\": "));
    EXPECT_TRUE(Ui.Messages().last().endsWith("\nThe configuration folder stays \"" + Temp.path() + "\"."));
    EXPECT_EQ(TConfigSettings::ReadConfigDir(), Temp.path());
    EXPECT_EQ(Preferences->FileName, FileName());
    EXPECT_EQ(Find<QLineEdit>("edtConfigDir")->text(), "/proc");
}

TEST_F(PreferencePages, PrintingLoadsPageNumbersOnlyWhilePagesAreDrawn)
{
    struct Case {
        bool Pages, Numbers, Enabled, Checked;
    };
    for (const Case c : {Case{true, true, true, true}, Case{true, false, true, false}, Case{false, true, false, false},
                         Case{false, false, false, false}}) {
        Preferences->DrawPrinterPages = c.Pages;
        Preferences->DrawPrinterPageNumber = c.Numbers;
        Open();
        QWidget *printing = Choose("Printing");
        EXPECT_EQ(CheckIn(printing, "chkShowPrinterPages")->isChecked(), c.Pages);
        EXPECT_EQ(CheckIn(printing, "chkShowPageNums")->isEnabled(), c.Enabled) << c.Pages << c.Numbers;
        EXPECT_EQ(CheckIn(printing, "chkShowPageNums")->isChecked(), c.Checked) << c.Pages << c.Numbers;
        EXPECT_FALSE(ApplyEnabled());
        Dialog.reset();
    }
}

TEST_F(PreferencePages, TurningPrinterPagesOffTurnsTheirNumbersOff)
{
    // Numbers stored while the pages are off: turning the pages on shows them
    // unchecked, and what is shown is what OK stores.
    Preferences->DrawPrinterPages = false;
    Preferences->DrawPrinterPageNumber = true;
    Open();
    QWidget *printing = Choose("Printing");
    QCheckBox *pages = CheckIn(printing, "chkShowPrinterPages");
    QCheckBox *numbers = CheckIn(printing, "chkShowPageNums");
    pages->click();
    EXPECT_TRUE(ApplyEnabled());
    EXPECT_TRUE(numbers->isEnabled());
    EXPECT_FALSE(numbers->isChecked());
    Click("btnApply");
    EXPECT_FALSE(Preferences->DrawPrinterPageNumber);
    numbers->click();
    pages->click();
    EXPECT_FALSE(numbers->isEnabled());
    EXPECT_FALSE(numbers->isChecked());
    pages->click();
    EXPECT_TRUE(numbers->isEnabled());
    EXPECT_FALSE(numbers->isChecked());
    printing->findChild<QRadioButton *>("rbOrientation1")->click();
    Click("btnOK");
    EXPECT_TRUE(Preferences->DrawPrinterPages);
    EXPECT_FALSE(Preferences->DrawPrinterPageNumber);
    EXPECT_EQ(Preferences->PrintOrientation, poLandscape);
}

TEST_F(PreferencePages, ToolEditorRefusesABlankCaptionAndAppendsMacros)
{
    TfrmToolPrefEdit dialog;
    auto *caption = dialog.findChild<QLineEdit *>("edtToolCaption");
    auto *parameters = dialog.findChild<QLineEdit *>("edtParameters");
    EXPECT_EQ(dialog.windowTitle(), "Edit Tool");
    dialog.btnOKClick();
    EXPECT_EQ(Ui.Messages(), QStringList{"Tool Caption cannot be blank"});
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    parameters->setText("-u ");
    parameters->setCursorPosition(0);
    const QList<QAction *> items = dialog.MacrosMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "Current username ($USERNAME)");
    items[1]->trigger();
    items[1]->trigger();
    items[2]->trigger();
    EXPECT_EQ(dialog.Parameters(), "-u $PASSWORD$PASSWORD$DATABASE");

    Ui.QueueAnswer(TUserInterfaceAnswer::Path("/opt/oracle/bin/exp"));
    dialog.btnBrowseProgramClick();
    EXPECT_EQ(dialog.Program(), "/opt/oracle/bin/exp");
    EXPECT_EQ(dialog.WorkingDir(), "/opt/oracle/bin");
    ASSERT_EQ(Ui.CallsOf(TUserInterfaceCallKind::OpenFile).size(), 1);
    EXPECT_EQ(Ui.CallsOf(TUserInterfaceCallKind::OpenFile)[0].File.Filter, TfrmToolPrefEdit::ProgramFilter);

    caption->setText(" ");
    dialog.btnOKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PreferencePages, ToolsPageAddsEditsDeletesAndRunsTheLastOfACaption)
{
    QMenu menu;
    Preferences->BuildToolsMenu(&menu);
    Open();
    QWidget *tools = Choose("Tools");
    AnswerToolDialogs({{"", "nothing", "", ""},
                       {"Twin", "first", "", ""},
                       {"Twin", "second", "/w", "a b"},
                       {"Twin", "edited", "/e", "$DATABASE"}});
    ClickIn(tools, "btnAdd");
    EXPECT_EQ(Ui.Messages(), QStringList{"Tool Caption cannot be blank"});
    EXPECT_TRUE(ListTexts(tools).isEmpty());
    EXPECT_FALSE(ApplyEnabled());
    ClickIn(tools, "btnAdd");
    ClickIn(tools, "btnAdd");
    EXPECT_EQ(ListTexts(tools), (QStringList{"Twin", "Twin"}));
    EXPECT_TRUE(ApplyEnabled());
    for (const char *name : {"btnDelete", "btnEdit", "btnRun"})
        EXPECT_FALSE(tools->findChild<QAbstractButton *>(name)->isEnabled()) << name;

    SelectRow(tools, 0);
    for (const char *name : {"btnDelete", "btnEdit", "btnRun"})
        EXPECT_TRUE(tools->findChild<QAbstractButton *>(name)->isEnabled()) << name;
    ClickIn(tools, "btnEdit");
    EXPECT_EQ(PresetSeen.last(), (QStringList{"Twin", "second", "/w", "a b"}));
    auto *page = static_cast<TfrmToolPref *>(tools);
    EXPECT_EQ(page->WorkingTools().Items[0]->ProgramName, "first");
    EXPECT_EQ(page->WorkingTools().Items[1]->ProgramName, "edited");

    {
        TScopedRecordingShell shell;
        SelectRow(tools, 0);
        ClickIn(tools, "btnRun");
        ASSERT_EQ(shell.StartedPrograms.size(), 1);
        EXPECT_EQ(shell.StartedPrograms[0].Program, "edited");
        EXPECT_EQ(shell.StartedPrograms[0].Arguments, QStringList{"$DATABASE"});
    }

    Click("btnApply");
    Ui.QueueAnswer(TUserInterfaceAnswer::Cancel());
    SelectRow(tools, 0);
    ClickIn(tools, "btnDelete");
    EXPECT_EQ(page->WorkingTools().Count(), 2);
    EXPECT_FALSE(ApplyEnabled());
    SelectRow(tools, 0);
    ClickIn(tools, "btnDelete");
    EXPECT_EQ(Ui.Messages().last(), "Delete tool 'Twin'?");
    EXPECT_TRUE(ApplyEnabled());
    ASSERT_EQ(page->WorkingTools().Count(), 1);
    EXPECT_EQ(page->WorkingTools().Items[0]->ProgramName, "first");
    EXPECT_EQ(Preferences->Tools.Count(), 2);

    Click("btnOK");
    ASSERT_EQ(Preferences->Tools.Count(), 1);
    EXPECT_EQ(Preferences->Tools.Items[0]->ProgramName, "first");
    QStringList menuTexts;
    for (QAction *action : menu.actions())
        menuTexts << action->text();
    EXPECT_EQ(menuTexts, QStringList{"Twin"});
}

TEST_F(PreferencePages, ApplyRepaintsTheCurrentPageAtOnce)
{
    TDiagramSurface surface;
    surface.resize(200, 150);
    TOSDiagram diagram;
    diagram.AttachSurface(&surface);
    CurrentDiagram = &diagram;
    TDiagramTable *table = AddTable(*CurrentModel, "HR", "JOBS", 20, 30, 120, 60);
    AddColumn(*table, "JOB_ID");
    diagram.Rebuild();
    QWidget *box = TOSGraphic::BoxOf(table);
    ASSERT_NE(box, nullptr);
    struct TPaintCounter : QObject {
        int Paints = 0;
        bool eventFilter(QObject *, QEvent *event) override { Paints += event->type() == QEvent::Paint; return false; }
    } counter;
    box->installEventFilter(&counter);
    // Paints that come on their own (showing, exposing) are over before the count starts.
    const auto settle = [] {
        for (int i = 0; i < 30; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    surface.show();
    Open();
    QWidget *graphics = Choose("Graphics Style");
    Ui.QueueAnswer(TUserInterfaceAnswer::WithColor(clLime));
    ClickIn(graphics, "btnHeaderColour");
    settle();
    ASSERT_GT(counter.Paints, 0);
    counter.Paints = 0;
    settle();
    ASSERT_EQ(counter.Paints, 0);
    Click("btnApply");
    settle();
    EXPECT_GT(counter.Paints, 0);
    EXPECT_EQ(QRgbToColor(box->grab().toImage().pixel(box->width() / 2, 12)) & 0xFFFFFF, clLime);
    diagram.DestroyGraphics();
    CurrentDiagram = nullptr;
}

