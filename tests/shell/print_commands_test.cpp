// Print, Print Preview and Print setup from the main window, with the real
// canvas, a fake printer and answered print dialogs.
#include "fake_printer.h"
#include "modal_dialog.h"
#include "model_builders.h"
#include "shell_fixture.h"

#include "canvas/os_diagram.h"
#include "canvas/print/print_preview.h"
#include "canvas/print/printer_globals.h"
#include "model/preferences.h"

#include <QPrinter>
#include <QToolButton>

namespace {

class TAnsweredPrintDialogs : public IPrintDialogs {
public:
    bool Print(QWidget *, TPageRange &range) override
    {
        ++Prints;
        range = Range;
        return Accept;
    }
    bool PageSetup(QWidget *) override { return Accept; }
    bool Accept = true;
    TPageRange Range;
    int Prints = 0;
};

class PrintCommandsTest : public ShellFixture {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        SetPrinter(&printer);
        SetPrintDialogs(&dialogs);
    }
    void TearDown() override
    {
        ShellFixture::TearDown();
        SetPrinter(nullptr);
        SetPrintDialogs(nullptr);
        TPreferences::ApplyPrinterOrientation = nullptr;
    }
    TFakePrinter printer;
    TAnsweredPrintDialogs dialogs;
};

} // namespace

TEST_F(PrintCommandsTest, PrintAsksForPagesAndPrintsThem)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    AddTable(*CurrentModel, "HR", "DEPT", 600, 30, 100, 60);
    form.Diagram().Rebuild();
    ASSERT_TRUE(form.Action("actPrint")->isEnabled());

    dialogs.Accept = false;
    form.Action("actPrint")->trigger();
    EXPECT_TRUE(printer.Job.isEmpty());

    dialogs.Accept = true;
    dialogs.Range = {2, 2};
    form.Action("actPrint")->trigger();
    EXPECT_EQ(dialogs.Prints, 2);
    EXPECT_EQ(printer.Job, (QStringList{"begin", "text:Page 2 of 2@20,30 Arial 10", "end"}));
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

TEST_F(PrintCommandsTest, PreviewShowsThePagesOverTheWindowAndPrintsFromThere)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    form.Diagram().Rebuild();
    QString title;
    QRect geometry;
    WhenModal([&](QDialog &dialog) {
        title = dialog.windowTitle();
        geometry = dialog.geometry();
        Child<QToolButton>(dialog, "btnPrint")->click();
        Child<QToolButton>(dialog, "btnClose")->click();
    });
    form.Action("actPrintPreview")->trigger();
    EXPECT_EQ(title, "Print Preview");
    EXPECT_EQ(geometry, form.geometry());
    EXPECT_EQ(printer.Job, (QStringList{"begin", "text:Page 1 of 1@20,30 Arial 10", "end"}));
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

TEST_F(PrintCommandsTest, PrintSetupRedrawsThePageOnlyWhenConfirmed)
{
    struct TSetupDiagram : TTestDiagram {
        bool PrintSetup(QWidget *) override { return Answers.takeFirst(); }
        QList<bool> Answers{true, false};
    };
    auto owned = std::make_unique<TSetupDiagram>();
    TSetupDiagram *diagram = owned.get();
    Form = std::make_unique<Tfrmgui>(QStringList{"file="}, std::move(owned));
    QAction *setup = Find<QAction>("mniPrintSetup");
    ASSERT_TRUE(setup->isEnabled());
    const int rebuilds = diagram->Rebuilds;
    setup->trigger();
    EXPECT_EQ(diagram->Rebuilds, rebuilds + 1);
    Form->Action("actPrintSetup")->trigger();
    EXPECT_EQ(diagram->Rebuilds, rebuilds + 1);
    EXPECT_TRUE(diagram->Answers.isEmpty());
    EXPECT_TRUE(Ui.Messages().isEmpty());
}

TEST_F(PrintCommandsTest, TheStartedProgramDrawsPageEdgesAndTurnsThePrinter)
{
    StartWithCanvas({"file="});
    ASSERT_TRUE(CurrentDiagram);
    EXPECT_TRUE(bool(CurrentDiagram->DrawPageBreaks));
    for (int orientation : {poLandscape, poPortrait}) {
        Preferences->SetPrintOrientation(orientation);
        EXPECT_EQ(GlobalQPrinter().pageLayout().orientation(),
                  orientation == poPortrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    }
}
