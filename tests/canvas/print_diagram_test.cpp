// Diagram printing: page size and tiling of the current page, page edges on
// the surface, the print job through a fake printer (footers, page ranges,
// cancelling, the engine's failures as messages) and through a real PDF file
// read back with the poppler tools.
#include "canvas_fixture.h"
#include "fake_printer.h"
#include "test_data.h"

#include "canvas/print/abort_dialog.h"
#include "canvas/print/qt_printer.h"
#include "canvas/print_diagram.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QPushButton>

namespace {

class PrintDiagramTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        // Pages of 475 x 650 diagram pixels: 950 x 1300 printer pixels at 192 dpi.
        SetPrinter(&printer);
    }
    void TearDown() override
    {
        SetPrinter(nullptr);
        TPreferences::ApplyPrinterOrientation = nullptr;
        CanvasTest::TearDown();
    }
    // A page three printer pages wide: the table reaches x 1100 (extent 1130).
    void ThreePages()
    {
        AddTable(*model, "S", "EMP", 100, 100, 200, 120);
        AddTable(*model, "S", "FAR", 1000, 200, 100, 60);
        diagram->Rebuild();
    }
    void Print(const TPageRange &range = {}) { TPrintDiagram::PrintDiagram(diagram.get(), range); }
    static TAbortDialog *OpenAbortDialog()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<TAbortDialog *>(w))
                return dialog;
        return nullptr;
    }
    static void ClickCancel()
    {
        if (TAbortDialog *dialog = OpenAbortDialog())
            dialog->btnCancel->click();
    }
    // Pixels of a sheet darker than a light grey inside a rectangle (the
    // faint seams a PDF viewer may show between bands do not count).
    static int Inked(const QImage &sheet, const QRect &area)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += qGray(sheet.pixel(x, y)) < 200;
        return n;
    }

    TFakePrinter printer;
};

} // namespace

TEST_F(PrintDiagramTest, PageSizeIsThePrintableAreaAtScreenResolution)
{
    struct {
        int HorzRes, VertRes, Dpi;
        int Width, Height;
        const char *Error;
    } cases[] = {
        {950, 1300, 192, 475, 650, ""},
        {2480, 3508, 300, 793, 1122, ""}, // 793.6 and 1122.56 truncated
        {96, 97, 96, 96, 97, ""},
        {100, 100, 0, 0, 0, "The printer reports no resolution."},
        {100, 100, -1, 0, 0, "The printer reports no resolution."},
    };
    for (const auto &c : cases) {
        printer.HorzRes = c.HorzRes, printer.VertRes = c.VertRes, printer.Dpi = c.Dpi;
        int width = 0, height = 0;
        EXPECT_EQ(ErrorOf([&] { DiagramPrinter->GetPageSize(width, height); }), QString(c.Error)) << c.Dpi;
        if (!*c.Error) {
            EXPECT_EQ(width, c.Width);
            EXPECT_EQ(height, c.Height);
        }
    }
    printer.Dpi = 192;
    printer.FailingCapability = IPrintDevice::capVertRes;
    int width = 0, height = 0;
    EXPECT_EQ(ErrorOf([&] { DiagramPrinter->GetPageSize(width, height); }),
              "The printer does not report its page size.");
}

TEST_F(PrintDiagramTest, PagesCoverTheExtentOfTheCurrentPage)
{
    DiagramPrinter->CalcPages(); // an empty page: extent 10 x 10
    EXPECT_EQ(DiagramPrinter->Pages, (std::vector<TRectObject>{{0, 0, 475, 650}}));
    AddTable(*model, "S", "T", 0, 0, 445, 100); // extent exactly one page wide
    DiagramPrinter->CalcPages();
    ASSERT_EQ(DiagramPrinter->Pages.size(), 2u);
    EXPECT_EQ(DiagramPrinter->Pages[1], (TRectObject{475, 0, 950, 650}));
    int right = 0, bottom = 0;
    DiagramPrinter->GetPagesExtent(right, bottom);
    EXPECT_EQ(right, 950);
    EXPECT_EQ(bottom, 650);
    printer.HorzRes = 1; // half a diagram pixel
    EXPECT_EQ(ErrorOf([] { DiagramPrinter->CalcPages(); }),
              "The printer page is smaller than one pixel of the diagram (0 x 650).");
}

TEST_F(PrintDiagramTest, PageEdgesAreSilverWithOptionalNumbersAndLeaveTheCanvasAsItWas)
{
    ThreePages();
    for (bool numbers : {false, true}) {
        Preferences->DrawPrinterPageNumber = numbers;
        TFont font("Courier New", 12, clBlue, fsBold);
        const TPaint paint = Paint(1500, 700, [&](TCanvas &c) {
            c.Pen = TPen{clRed, 3, psDot, pmXor};
            c.Brush.Style = bsSolid;
            c.Font = font;
            TPrintDiagram::DrawPageBreaks(c);
            EXPECT_EQ(c.Pen, (TPen{clRed, 3, psDot, pmXor}));
            EXPECT_EQ(c.Brush.Style, bsSolid);
            EXPECT_EQ(c.Font.Size, 12);
            EXPECT_EQ(c.Font.Color, clBlue);
            EXPECT_EQ(c.Font.Style, TFontStyles{}); // the style stays plain
        });
        // Bottom edges on y 650, right edges on x 475, 950 and 1425; the corner
        // pixel itself is left out as a line's end.
        ExpectPixels(paint.Image, {{0, 650, 0xC0C0C0}, {474, 650, 0xC0C0C0}, {475, 649, 0xC0C0C0},
                                   {475, 1, 0xC0C0C0}, {475, 0, 0xFFFFFF}, {950, 300, 0xC0C0C0},
                                   {1424, 650, 0xC0C0C0}, {1425, 10, 0xC0C0C0}, {200, 649, 0xFFFFFF}});
        if (numbers)
            EXPECT_EQ(paint.Placed(), (QStringList{"Page 1@3,3", "Page 2@478,3", "Page 3@953,3"}));
        else
            EXPECT_TRUE(paint.Texts.empty());
        for (const auto &text : paint.Texts)
            EXPECT_EQ(text.Size, 8);
    }
}

TEST_F(PrintDiagramTest, StartUpHooksDrawEdgesOnTheSurfaceAndTurnThePrinter)
{
    printer.HorzRes = 300, printer.VertRes = 200; // pages of 150 x 100
    TPrintDiagram::InstallHooks(*diagram);
    Preferences->DrawPrinterPages = true;
    QImage shown = GrabSurface();
    // An empty page is one printer page: its right and bottom edges.
    ExpectPixels(shown, {{150, 50, 0xC0C0C0}, {75, 100, 0xC0C0C0}, {300, 100, 0xFFFFFF}});
    Preferences->DrawPrinterPages = false;
    shown = GrabSurface();
    EXPECT_NE(At(shown, 150, 50), TColor(0xC0C0C0));

    // The orientation of the preferences reaches the program's printer, and
    // with it the size of a page.
    SetPrinter(nullptr);
    int portraitWidth = 0, portraitHeight = 0, width = 0, height = 0;
    Preferences->SetPrintOrientation(poPortrait);
    EXPECT_EQ(GlobalQPrinter().pageLayout().orientation(), QPageLayout::Portrait);
    DiagramPrinter->GetPageSize(portraitWidth, portraitHeight);
    Preferences->SetPrintOrientation(poLandscape);
    EXPECT_EQ(GlobalQPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    DiagramPrinter->GetPageSize(width, height);
    EXPECT_LT(portraitWidth, portraitHeight);
    EXPECT_GT(width, height);
    Preferences->SetPrintOrientation(poPortrait);
}

TEST_F(PrintDiagramTest, EveryPageIsPrintedWithItsFooterAndNoEmptyPageAfterTheLast)
{
    ThreePages();
    Print();
    EXPECT_EQ(printer.Title, "Marrowtide database diagram");
    EXPECT_EQ(printer.Job, (QStringList{"begin", "text:Page 1 of 3@20,30 Arial 10", "page",
                                        "text:Page 2 of 3@20,30 Arial 10", "page",
                                        "text:Page 3 of 3@20,30 Arial 10", "end"}));
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(OpenAbortDialog(), nullptr);
    EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
    ASSERT_EQ(printer.Sheets.size(), 3u);
    // 475 x 650 fitted into 860 x 1260 at (70, 70): 860 x 1176 from y 112,
    // 1.8105 device pixels per diagram pixel. EMP (100..300, 100..220) is on
    // page 1; FAR (1000..1100) on page 3 from x 50; page 2 shows no box.
    const auto device = [](int x, int y) { return QPoint(70 + int(x * 860 / 475.0), 112 + int(y * 860 / 475.0)); };
    const QRect emp(device(100, 100), device(300, 220));
    EXPECT_GT(Inked(printer.Sheets[0], emp), emp.width() * emp.height() / 10);
    EXPECT_EQ(Inked(printer.Sheets[1], QRect(device(10, 10), device(460, 640))), 0);
    EXPECT_GT(Inked(printer.Sheets[2], QRect(device(50, 200), device(150, 260))), 0);
    EXPECT_EQ(Inked(printer.Sheets[2], QRect(device(200, 10), device(460, 640))), 0);
}

TEST_F(PrintDiagramTest, APageRangePrintsOnlyItsPagesCountingThemAll)
{
    ThreePages();
    struct {
        TPageRange Range;
        QStringList Job;
        QStringList Messages;
    } cases[] = {
        {{2, 2}, {"begin", "text:Page 2 of 3@20,30 Arial 10", "end"}, {}},
        {{2, 9}, {"begin", "text:Page 2 of 3@20,30 Arial 10", "page", "text:Page 3 of 3@20,30 Arial 10", "end"}, {}},
        {{4, 9}, {}, {"The diagram has 3 page(s); none of them is in the chosen range."}},
    };
    for (const auto &c : cases) {
        printer.Job.clear();
        ui.Clear();
        Print(c.Range);
        EXPECT_EQ(printer.Job, c.Job) << c.Range.From;
        EXPECT_EQ(ui.Messages(), c.Messages) << c.Range.From;
    }
}

TEST_F(PrintDiagramTest, JobsThatCannotStartOrAreStoppedEndWithTheirMessage)
{
    ThreePages();
    struct {
        const char *Name;
        std::function<void()> Arrange;
        QStringList Job;
        QString Message;
    } cases[] = {
        {"already printing", [&] { printer.Active = true; }, {}, "Already printing... Please try again later!"},
        {"cancel between pages", [&] { printer.OnNewPage = ClickCancel; },
         {"begin", "text:Page 1 of 3@20,30 Arial 10", "page", "abort"}, "Printing Aborted!"},
        {"cancel during a band", [&] { printer.OnTransfer = [](int) { ClickCancel(); }; }, {"begin", "abort"},
         "USER_ABORT_OR_OTHER_ERROR!"},
        {"no transfer draws", [&] { printer.StretchRows = [](int, int) { return 0; }; printer.BlockWorks = false; },
         {"begin", "abort"}, "USER_ABORT_OR_OTHER_ERROR!"},
        {"the sheet cannot be measured", [&] { printer.FailingCapability = IPrintDevice::capPhysicalHeight; },
         {"begin", "abort"}, "BAD_PARAMETER"},
        {"pages too small for a bitmap", [&] { printer.HorzRes = printer.VertRes = 2; }, {"begin", "abort"},
         "Bitmap load error"},
    };
    for (const auto &c : cases) {
        printer = TFakePrinter();
        ui.Clear();
        c.Arrange();
        Print();
        EXPECT_EQ(printer.Job, c.Job) << c.Name;
        EXPECT_EQ(ui.Messages(), QStringList{c.Message}) << c.Name;
        EXPECT_EQ(OpenAbortDialog(), nullptr) << c.Name;
        EXPECT_EQ(TDibBlock::LiveBlocks(), 0u) << c.Name;
    }
    ui.Clear();
    printer.Active = false;
    TPrintDiagram::PrintDiagram(nullptr);
    EXPECT_EQ(ui.Messages(), QStringList{"No diagram to print"});
}

TEST_F(PrintDiagramTest, ProgressShowsThePercentageAndAsksForCancel)
{
    TAbortDialog *dialog = CreateAbortDialog(nullptr);
    EXPECT_EQ(DiagramPrinter->PrintProgress(3, 8, dialog), 1);
    EXPECT_EQ(dialog->windowTitle(), "Printing - 37%");
    EXPECT_EQ(DiagramPrinter->PrintProgress(8, 8, dialog), 1);
    EXPECT_EQ(dialog->windowTitle(), "Printing - 100%");
    dialog->btnCancel->click();
    EXPECT_EQ(DiagramPrinter->PrintProgress(1, 8, dialog), 0);
    FreeAbortDialog(dialog);
}

namespace {

QString Tool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST_F(PrintDiagramTest, APdfJobReadsBackWithItsPagesTitleFootersAndDiagram)
{
    QTemporaryDir dir;
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(150);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(10, 12, 10, 12), QPageLayout::Millimeter);
    const QString file = dir.filePath("diagram.pdf");
    pdf.setOutputFileName(file);
    TQtPrinter qtPrinter(pdf);
    SetPrinter(&qtPrinter);
    AddTable(*model, "S", "EMP", 100, 100, 200, 120);
    AddTable(*model, "S", "FAR", 1000, 200, 100, 60);
    diagram->Rebuild();
    Print();
    ASSERT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join("; ").toStdString();
    EXPECT_FALSE(qtPrinter.Printing());
    EXPECT_EQ(pdf.outputFileName(), file);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"diagram.pdf"});

    QStringList info;
    for (const QString &line : Tool("pdfinfo", {file}).split('\n'))
        if (line.startsWith("Title:") || line.startsWith("Pages:"))
            info << line.simplified();
    const QString text = Tool("pdftotext", {"-layout", file, "-"});
    expectGolden("print/pdf_job.txt", (info.join('\n') + "\n--\n" + text).toUtf8());

    // Two pages side by side: the first shows EMP in its upper left quarter
    // and nothing on its right half; the second shows FAR near its middle
    // and nothing on its left third.
    Tool("pdftoppm", {"-r", "40", "-png", file, dir.filePath("page")});
    const QImage first(dir.filePath("page-1.png"));
    const QImage second(dir.filePath("page-2.png"));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    const auto part = [](const QImage &page, double left, double top, double right, double bottom) {
        return QRect(QPoint(int(page.width() * left), int(page.height() * top)),
                     QPoint(int(page.width() * right), int(page.height() * bottom)));
    };
    EXPECT_GT(Inked(first, part(first, 0.15, 0.12, 0.45, 0.26)), 100);
    EXPECT_EQ(Inked(first, part(first, 0.5, 0.1, 0.99, 0.99)), 0);
    EXPECT_GT(Inked(second, part(second, 0.38, 0.2, 0.56, 0.3)), 50);
    EXPECT_EQ(Inked(second, part(second, 0.0, 0.1, 0.35, 0.99)), 0);
}

TEST_F(PrintDiagramTest, AnAbortedOrUnwritablePdfJobLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("diagram.pdf");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the user's old file");
    }
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setResolution(72);
    pdf.setOutputFileName(file);
    TQtPrinter qtPrinter(pdf);
    SetPrinter(&qtPrinter);
    AddTable(*model, "S", "EMP", 100, 100, 200, 120);
    diagram->Rebuild();
    // Cancel is pressed as soon as the abort window pumps its first events.
    QTimer::singleShot(0, [] { ClickCancel(); });
    Print();
    EXPECT_EQ(ui.Messages(), QStringList{"Printing Aborted!"});
    EXPECT_FALSE(qtPrinter.Printing());
    QFile check(file);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), "the user's old file");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"diagram.pdf"});

    pdf.setOutputFileName(dir.filePath("missing/diagram.pdf"));
    ui.Clear();
    EXPECT_TRUE(ErrorOf([&] { Print(); }).startsWith("Cannot write \"" + dir.filePath("missing/diagram.pdf")));
    EXPECT_FALSE(qtPrinter.Printing());
    EXPECT_EQ(OpenAbortDialog(), nullptr);
}
