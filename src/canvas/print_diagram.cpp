#include "canvas/print_diagram.h"

#include "canvas/os_diagram.h"
#include "canvas/page_index.h"
#include "canvas/picture_export.h"
#include "canvas/print/abort_dialog.h"
#include "canvas/print/dib_print.h"
#include "canvas/print/print_preview.h"
#include "model/model_globals.h"
#include "model/diagram_object_model.h"
#include "model/preferences.h"
#include "platform/canvas.h"
#include "platform/user_interface.h"

#include <QApplication>
#include <QPainter>

#include <memory>
#include <optional>

namespace {

TPrintDiagram Instance;

// The abort window of one job, closed whichever way the job ends.
struct TAbortDialogGuard {
    TAbortDialog *Dialog = nullptr;
    ~TAbortDialogGuard() { Close(); }
    void Close()
    {
        FreeAbortDialog(Dialog);
        Dialog = nullptr;
    }
};

QString ResultMessage(int result)
{
    switch (result) {
    case dpBadParameter: return QStringLiteral("BAD_PARAMETER");
    case dpMemoryAllocFailed: return QStringLiteral("MEMORY_ALLOC_FAILED");
    case dpMemoryReadFailed: return QStringLiteral("MEMORY_READ_FAILED");
    case dpUserAbortOrOtherError: return QStringLiteral("USER_ABORT_OR_OTHER_ERROR!");
    default: return {};
    }
}

int Capability(IPrinter &printer, IPrintDevice::TCapability capability)
{
    int value = 0;
    if (!printer.Capability(capability, value))
        throw EPrintError(QStringLiteral("The printer does not report its page size."));
    return value;
}

} // namespace

TPrintDiagram *const DiagramPrinter = &Instance;
const QString TPrintDiagram::JobTitle = QStringLiteral("Marrowtide database diagram");

void TPrintDiagram::ShowPreview(QWidget *form)
{
    DiagramPrinter->Preview(form);
}

void TPrintDiagram::PrintDiagram(TOSDiagram *diagram, const TPageRange &range)
{
    DiagramPrinter->Print(diagram, range);
}

void TPrintDiagram::DrawPageBreaks(TCanvas &canvas)
{
    DiagramPrinter->PaintPageEdges(canvas);
}

void TPrintDiagram::GetPageSize(int &width, int &height)
{
    IPrinter &printer = Printer();
    const int dpiX = Capability(printer, IPrintDevice::capLogPixelsX);
    const int dpiY = Capability(printer, IPrintDevice::capLogPixelsY);
    if (dpiX <= 0 || dpiY <= 0)
        throw EPrintError(QStringLiteral("The printer reports no resolution."));
    const double screenDpi = LogicalDpi;
    width = int(Capability(printer, IPrintDevice::capHorzRes) / (dpiX / screenDpi));
    height = int(Capability(printer, IPrintDevice::capVertRes) / (dpiY / screenDpi));
}

void TPrintDiagram::CalcPages()
{
    Pages.clear();
    int width = 0, height = 0;
    GetPageSize(width, height);
    int x = 10, y = 10;
    if (CurrentModel)
        CurrentModel->GetDiagramExtent(x, y);
    Pages = TilePages(width, height, x, y);
}

void TPrintDiagram::GetPagesExtent(int &right, int &bottom) const
{
    PagesExtent(Pages, right, bottom);
}

void TPrintDiagram::PaintPageEdges(TCanvas &canvas)
{
    const TPen pen = canvas.Pen;
    const TBrushStyle brushStyle = canvas.Brush.Style;
    const int fontSize = canvas.Font.Size;
    const TColor fontColour = canvas.Font.Color;
    const auto restore = [&] {
        canvas.Pen = pen;
        canvas.Brush.Style = brushStyle;
        canvas.Font.Size = fontSize;
        canvas.Font.Color = fontColour;
        canvas.Font.Style = {};
    };
    canvas.Pen = TPen{TColor(0xC0C0C0), 1, psSolid, pmCopy};
    canvas.Brush.Style = bsClear;
    canvas.Font.Size = 8;
    canvas.Font.Color = TColor(0xC0C0C0);
    canvas.Font.Style = {};
    try {
        CalcPages();
        const bool numbers = Preferences && Preferences->DrawPrinterPageNumber;
        int number = 0;
        for (const TRectObject &page : Pages) {
            ++number;
            canvas.MoveTo(page.Left, page.Bottom);
            canvas.LineTo(page.Right, page.Bottom);
            canvas.LineTo(page.Right, page.Top);
            if (numbers)
                canvas.TextOut(page.Left + 3, page.Top + 3, QStringLiteral("Page %1").arg(number));
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

QImage TPrintDiagram::RenderPage(TOSDiagram &diagram, const TRect &page, const TPageIndex *index)
{
    QImage bitmap(page.Width(), page.Height(), QImage::Format_RGB32);
    if (bitmap.isNull())
        throw EPrintError(QStringLiteral("Not enough memory for a page of %1 x %2 pixels.")
                              .arg(page.Width())
                              .arg(page.Height()));
    QPainter painter(&bitmap);
    painter.translate(-page.Left, -page.Top);
    {
        TCanvas canvas(&painter);
        TPictureExport::PaintArea(diagram, canvas, page, index);
    }
    return bitmap;
}

void TPrintDiagram::Preview(QWidget *form)
{
    TfrmPrintPreview preview(form);
    CalcPages();
    preview.Pages = [this]() -> const std::vector<TRectObject> & { return Pages; };
    // The preview is modal: the page stays as it is while it is open, and one
    // index of it serves every page shown.
    std::optional<TPageIndex> index;
    preview.RenderPage = [&index](const TRect &page) {
        if (!CurrentDiagram)
            return QImage();
        if (!index)
            index.emplace();
        return RenderPage(*CurrentDiagram, page, &*index);
    };
    preview.PageRatio = [] {
        int width = 0, height = 0;
        Printer().Capability(IPrintDevice::capHorzRes, width);
        Printer().Capability(IPrintDevice::capVertRes, height);
        return width > 0 ? double(height) / width : 1.0;
    };
    preview.PrintRequested = [] {
        if (CurrentDiagram)
            CurrentDiagram->Print();
    };
    preview.SetupRequested = [this, &preview] {
        if (!PrintDialogs().PageSetup(&preview))
            return false;
        CalcPages();
        return true;
    };
    if (form)
        preview.setGeometry(form->geometry());
    preview.exec();
}

int TPrintDiagram::PrintProgress(int done, int total, void *data)
{
    auto *dialog = static_cast<TAbortDialog *>(data);
    const int percent = total > 0 ? int(qint64(done) * 100 / total) : 0;
    SetAbortDialogCaption(dialog, QStringLiteral("Printing - %1%").arg(percent));
    return AbortDialogAborted(dialog) ? 0 : 1;
}

void TPrintDiagram::Print(TOSDiagram *diagram, const TPageRange &range)
{
    IPrinter &printer = Printer();
    if (printer.Printing()) {
        UserInterface().ShowInformation(QStringLiteral("Already printing... Please try again later!"));
        return;
    }
    if (!diagram) {
        UserInterface().ShowInformation(QStringLiteral("No diagram to print"));
        return;
    }
    CalcPages();
    const int count = int(Pages.size());
    // The pages the dialog chose that exist; the footers still count them all.
    std::vector<int> chosen;
    for (int i = 1; i <= count; ++i)
        if (range.Contains(i))
            chosen.push_back(i);
    if (chosen.empty()) {
        UserInterface().ShowInformation(
            QStringLiteral("The diagram has %1 page(s); none of them is in the chosen range.").arg(count));
        return;
    }

    // The window the job comes from: the preview when it is open, else the
    // diagram's own window.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = diagram->Surface ? diagram->Surface->window() : QApplication::activeWindow();
    TAbortDialogGuard abort{CreateAbortDialog(owner)};
    // The dialog is modal: the page stays as it is while the job runs.
    const TPageIndex index;
    printer.SetTitle(JobTitle);
    printer.BeginDoc();
    const auto stop = [&](const QString &message) {
        abort.Close();
        printer.Abort();
        if (!message.isEmpty())
            UserInterface().ShowInformation(message);
    };
    try {
        for (std::size_t k = 0; k < chosen.size(); ++k) {
            const int i = chosen[k];
            TDibBlock info, bits;
            int width = 0, height = 0;
            {
                const QImage page = RenderPage(*diagram, Pages[std::size_t(i - 1)].ToRect(), &index);
                if (!BitmapToPackedDib(page, info, bits, width, height)) {
                    stop(QStringLiteral("Bitmap load error"));
                    return;
                }
            }
            SetAbortDialogCaption(abort.Dialog, QStringLiteral("Printing Page %1 - 0%").arg(i));
            if (AbortDialogAborted(abort.Dialog)) {
                stop(QStringLiteral("Printing Aborted!"));
                return;
            }
            printer.SaveState();
            const int result = PrintDibToDevice(
                printer, TByteSpan(info.Data(), info.Size()), TByteSpan(bits.Data(), bits.Size()), true, true,
                [this](int done, int total, void *data) { return PrintProgress(done, total, data); }, abort.Dialog);
            if (result < 0) {
                printer.RestoreState();
                stop(ResultMessage(result));
                return;
            }
            printer.TextOut(0, 0, QStringLiteral("Page %1 of %2").arg(i).arg(count), QStringLiteral("Arial"), 10);
            printer.RestoreState();
            FreeDibMemory(info);
            FreeDibMemory(bits);
            if (k + 1 < chosen.size())
                printer.NewPage();
        }
    } catch (...) {
        // Whatever went wrong, the job does not stay open half printed.
        stop({});
        throw;
    }
    abort.Close();
    printer.EndDoc();
}

void TPrintDiagram::InstallHooks(TOSDiagram &diagram)
{
    diagram.DrawPageBreaks = [](TCanvas &canvas) { TPrintDiagram::DrawPageBreaks(canvas); };
    TPreferences::ApplyPrinterOrientation = SetPrinterOrientation;
    if (Preferences)
        SetPrinterOrientation(Preferences->PrintOrientation);
}
