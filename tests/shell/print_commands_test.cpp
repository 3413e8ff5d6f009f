// Print, Print Preview and Print setup from the main window, with the real
// canvas, a fake printer and answered print dialogs.
#include "fake_printer.h"
#include "modal_dialog.h"
#include "model_builders.h"
#include "shell_fixture.h"

#include "canvas/os_diagram.h"
#include "canvas/print/page_preview_frame.h"
#include "canvas/print/print_preview.h"
#include "canvas/print/printer_globals.h"
#include "canvas/print_diagram.h"
#include "model/preferences.h"

#include <QPrinter>
#include <QToolButton>

namespace {

class PrintCommandsTest : public ShellFixture, public IPrintDialogs {
protected:
    void SetUp() override
    {
        ShellFixture::SetUp();
        SetPrinter(&printer);
        SetPrintDialogs(this);
    }
    void TearDown() override
    {
        ShellFixture::TearDown();
        SetPrinter(nullptr);
        SetPrintDialogs(nullptr);
        TPreferences::ApplyPrinterOrientation = nullptr;
    }
    bool Print(QWidget *, TPageRange &chosen) override { return chosen = range, ++prints, accept; }
    bool PageSetup(QWidget *) override { return accept; }

    TFakePrinter printer;
    bool accept = true;
    TPageRange range;
    int prints = 0;
};

} // namespace

TEST_F(PrintCommandsTest, PrintAsksForPagesAndThePreviewShowsThemOverTheWindowAndPrints)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    AddTable(*CurrentModel, "HR", "EMP", 20, 30, 100, 60);
    AddTable(*CurrentModel, "HR", "DEPT", 600, 30, 100, 60);
    form.Diagram().Rebuild();
    accept = false;
    form.Action("actPrint")->trigger();
    EXPECT_TRUE(printer.Job.isEmpty());
    accept = true;
    range = {2, 2};
    form.Action("actPrint")->trigger();
    EXPECT_EQ(prints, 2);
    EXPECT_EQ(printer.Job.mid(1).join(' '), "begin text:Page 2 of 2@20,30 Arial 10 end");

    printer.Job.clear();
    range = {};
    QString title;
    QRect geometry;
    bool pageAsPrinted = false;
    WhenModal([&](QDialog &dialog) {
        title = dialog.windowTitle();
        geometry = dialog.geometry();
        auto &preview = static_cast<TfrmPrintPreview &>(dialog);
        const QImage *shown = preview.framePreview[0]->imgPreview1->Picture();
        pageAsPrinted = shown && *shown == TPrintDiagram::RenderPage(*CurrentDiagram, preview.Pages()[0].ToRect());
        Child<QToolButton>(dialog, "btnPrint")->click();
        Child<QToolButton>(dialog, "btnClose")->click();
    });
    form.Action("actPrintPreview")->trigger();
    EXPECT_EQ(title, "Print Preview");
    EXPECT_EQ(geometry, form.geometry());
    EXPECT_TRUE(pageAsPrinted);
    EXPECT_EQ(printer.Job.mid(1).join(' '), "begin text:Page 1 of 2@20,30 Arial 10 page text:Page 2 of 2@20,30 Arial 10 end");
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
    const int rebuilds = diagram->Rebuilds;
    Find<QAction>("mniPrintSetup")->trigger();
    EXPECT_EQ(diagram->Rebuilds, rebuilds + 1);
    Form->Action("actPrintSetup")->trigger();
    EXPECT_EQ(diagram->Rebuilds, rebuilds + 1);
    EXPECT_TRUE(diagram->Answers.isEmpty());
}

TEST_F(PrintCommandsTest, TheStartedProgramDrawsPageEdgesAndTurnsThePrinter)
{
    StartWithCanvas({"file="});
    ASSERT_TRUE(CurrentDiagram);
    EXPECT_TRUE(bool(CurrentDiagram->DrawPageBreaks));
    Preferences->SetPrintOrientation(poLandscape);
    EXPECT_EQ(GlobalQPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    Preferences->SetPrintOrientation(poPortrait);
}
