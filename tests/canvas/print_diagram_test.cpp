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
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

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
    // A page three printer pages wide: EMP on page 1, FAR (1000..1100) on page 3.
    void ThreePages()
    {
        AddTable(*model, "S", "EMP", 100, 100, 200, 120);
        AddTable(*model, "S", "FAR", 1000, 200, 100, 60);
        diagram->Rebuild();
    }
    void Print(const TPageRange &range = {}) { TPrintDiagram::PrintDiagram(diagram.get(), range); }
    static TAbortDialog *OpenAbortDialog() { return qobject_cast<TAbortDialog *>(QApplication::activeModalWidget()); }
    static void ClickCancel()
    {
        if (TAbortDialog *dialog = OpenAbortDialog())
            dialog->btnCancel->click();
    }
    // Pixels darker than a light grey inside the part of a sheet given in
    // fractions of its size (the faint seams between bands do not count).
    static int Inked(const QImage &sheet, double left, double top, double right, double bottom)
    {
        int n = 0;
        for (int y = int(sheet.height() * top); y < int(sheet.height() * bottom); ++y)
            for (int x = int(sheet.width() * left); x < int(sheet.width() * right); ++x)
                n += qGray(sheet.pixel(x, y)) < 200;
        return n;
    }
    TFakePrinter printer;
};

} // namespace

TEST_F(PrintDiagramTest, PageSizeIsThePrintableAreaAtScreenResolution)
{
    for (const QStringList &c : readCases("print/page_size.txt")) {
        const QList<int> v = caseInts(c[1]), page = caseInts(c[2]);
        std::tie(printer.HorzRes, printer.VertRes, printer.Dpi) = std::tuple(v[0], v[1], v[2]);
        const QString error = ErrorOf([] { DiagramPrinter->CalcPages(); });
        EXPECT_EQ(error, c[2].front().isDigit() ? QString() : c[2]) << c[0].toStdString();
        if (error.isEmpty()) { // an empty page (extent 10 x 10) is one printer page
            EXPECT_EQ(DiagramPrinter->Pages, (std::vector<TRectObject>{{0, 0, page[0], page[1]}})) << c[0].toStdString();
        }
    }
    printer = TFakePrinter();
    printer.FailingCapability = IPrintDevice::capVertRes;
    EXPECT_EQ(ErrorOf([] { DiagramPrinter->CalcPages(); }), "The printer does not report its page size.");
    printer.FailingCapability = -1;
    AddTable(*model, "S", "T", 0, 0, 445, 100); // the extent exactly one page wide: an empty second column
    DiagramPrinter->CalcPages();
    EXPECT_EQ(DiagramPrinter->Pages, (std::vector<TRectObject>{{0, 0, 475, 650}, {475, 0, 950, 650}}));
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
            // All is as it was, but the font style stays plain.
            EXPECT_TRUE(c.Pen == (TPen{clRed, 3, psDot, pmXor}) && c.Brush.Style == bsSolid && c.Font.Size == 12 &&
                        c.Font.Color == clBlue && c.Font.Style == TFontStyles{});
        });
        // Bottom edges on y 650, right edges on x 475, 950 and 1425; the corner
        // pixel itself is left out as a line's end.
        ExpectPixels(paint.Image, {{0, 650, 0xC0C0C0}, {474, 650, 0xC0C0C0}, {475, 649, 0xC0C0C0},
                                   {475, 1, 0xC0C0C0}, {475, 0, 0xFFFFFF}, {950, 300, 0xC0C0C0},
                                   {1424, 650, 0xC0C0C0}, {1425, 10, 0xC0C0C0}, {200, 649, 0xFFFFFF}});
        EXPECT_EQ(paint.Placed().join(' '), numbers ? "Page 1@3,3 Page 2@478,3 Page 3@953,3" : "");
        for (const auto &text : paint.Texts)
            EXPECT_EQ(text.Size, 8);
    }
}

TEST_F(PrintDiagramTest, APageIsItsOwnRectangleOfTheDiagram)
{
    AddTable(*model, "S", "LOW", 500, 700, 100, 60); // on the second page of the second row
    diagram->Rebuild();
    const QImage page = TPrintDiagram::RenderPage(*diagram, TRect{475, 650, 950, 1300});
    EXPECT_EQ(page.size(), QSize(475, 650));
    EXPECT_GT(Inked(page, 0.06, 0.08, 0.25, 0.16), 500);
    EXPECT_EQ(Inked(page, 0.3, 0.0, 1.0, 1.0) + Inked(page, 0.0, 0.2, 1.0, 1.0), 0);
}

TEST_F(PrintDiagramTest, HooksDrawEdgesOnTheSurfaceAndTheOrientationTurnsThePage)
{
    printer.HorzRes = 300, printer.VertRes = 200; // pages of 150 x 100
    TPrintDiagram::InstallHooks(*diagram);
    Preferences->DrawPrinterPages = true;
    ExpectPixels(GrabSurface(), {{150, 50, 0xC0C0C0}, {75, 100, 0xC0C0C0}, {300, 100, 0xFFFFFF}});
    Preferences->DrawPrinterPages = false;
    EXPECT_NE(At(GrabSurface(), 150, 50), TColor(0xC0C0C0));

    SetPrinter(nullptr);
    int width[2] = {}, height[2] = {};
    for (int orientation : {poPortrait, poLandscape}) {
        Preferences->SetPrintOrientation(orientation);
        DiagramPrinter->GetPageSize(width[orientation], height[orientation]);
    }
    EXPECT_LT(width[poPortrait], height[poPortrait]);
    EXPECT_GT(width[poLandscape], height[poLandscape]);
    Preferences->SetPrintOrientation(poPortrait);
}

TEST_F(PrintDiagramTest, JobsPrintTheirPagesWithFootersOrEndWithTheirMessage)
{
    ThreePages();
    for (const QStringList &c : readCases("print/jobs.txt")) {
        SCOPED_TRACE(c[0].toStdString());
        printer = TFakePrinter();
        ui.Clear();
        const QString arrange = c[1].section(' ', 0, -2), value = c[1].section(' ', -1);
        if (c[1] == "printing")
            printer.Active = true;
        else if (c[1] == "cancel on new page")
            printer.OnNewPage = ClickCancel;
        else if (c[1] == "cancel in a band")
            printer.OnTransfer = [](int) { ClickCancel(); };
        else if (arrange == "capability")
            printer.FailingCapability = value.toInt();
        else if (arrange == "printable")
            printer.HorzRes = printer.VertRes = value.toInt();
        const QList<int> range = caseInts(c[2]);
        Print({range[0], range[1]});
        EXPECT_EQ(printer.Job.join(' '), c[3]);
        EXPECT_EQ(ui.Messages().join(""), c[4]);
        EXPECT_EQ(OpenAbortDialog(), nullptr);
        EXPECT_EQ(TDibBlock::LiveBlocks(), 0u);
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

// A PDF printer writing to the file; resolution in dpi.
std::unique_ptr<QPrinter> PdfPrinter(const QString &file, int resolution)
{
    auto pdf = std::make_unique<QPrinter>(QPrinter::HighResolution);
    pdf->setOutputFormat(QPrinter::PdfFormat);
    pdf->setResolution(resolution);
    pdf->setPageSize(QPageSize(QPageSize::A4));
    pdf->setPageMargins(QMarginsF(10, 12, 10, 12), QPageLayout::Millimeter);
    pdf->setOutputFileName(file);
    return pdf;
}

} // namespace

TEST_F(PrintDiagramTest, APdfJobReadsBackWithItsPagesTitleFootersAndDiagram)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("diagram.pdf");
    const auto pdf = PdfPrinter(file, 150);
    TQtPrinter qtPrinter(*pdf);
    SetPrinter(&qtPrinter);
    const auto sheet = [&] {
        QList<int> values;
        for (int capability = IPrintDevice::capHorzRes; capability <= IPrintDevice::capLogPixelsY; ++capability) {
            int value = -1;
            qtPrinter.Capability(IPrintDevice::TCapability(capability), value);
            values << value;
        }
        return values;
    };
    // A4 at 150 dpi with margins of 10 and 12 mm, the same while a job runs.
    EXPECT_EQ(sheet(), QList<int>({1124, 1612, 1240, 1754, 58, 71, 150, 150}));
    qtPrinter.BeginDoc();
    EXPECT_EQ(sheet(), QList<int>({1124, 1612, 1240, 1754, 58, 71, 150, 150}));
    qtPrinter.Abort();
    AddTable(*model, "S", "EMP", 100, 100, 200, 120);
    AddTable(*model, "S", "FAR", 1000, 200, 100, 60);
    diagram->Rebuild();
    Print();
    ASSERT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join("; ").toStdString();
    EXPECT_FALSE(qtPrinter.Printing());
    EXPECT_EQ(pdf->outputFileName(), file);
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
    const QImage first(dir.filePath("page-1.png")), second(dir.filePath("page-2.png"));
    ASSERT_FALSE(first.isNull() || second.isNull());
    EXPECT_GT(Inked(first, 0.15, 0.12, 0.45, 0.26), 100);
    EXPECT_EQ(Inked(first, 0.5, 0.1, 0.99, 0.99), 0);
    EXPECT_GT(Inked(second, 0.38, 0.2, 0.56, 0.3), 50);
    EXPECT_EQ(Inked(second, 0.0, 0.1, 0.35, 0.99), 0);
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
    const auto pdf = PdfPrinter(file, 72);
    TQtPrinter qtPrinter(*pdf);
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

    pdf->setOutputFileName(dir.filePath("missing/diagram.pdf"));
    ui.Clear();
    EXPECT_TRUE(ErrorOf([&] { Print(); }).startsWith("Cannot write \"" + dir.filePath("missing/diagram.pdf")));
    EXPECT_FALSE(qtPrinter.Printing());
    EXPECT_EQ(OpenAbortDialog(), nullptr);
}
