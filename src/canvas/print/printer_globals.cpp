#include "canvas/print/printer_globals.h"

#include "canvas/print/qt_printer.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <memory>

namespace {

class TQtPrintDialogs : public IPrintDialogs {
public:
    bool Print(QWidget *parent, TPageRange &range) override
    {
        QPrinter &printer = GlobalQPrinter();
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        range = {};
        if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
            range = {printer.fromPage(), printer.toPage() > 0 ? printer.toPage() : printer.fromPage()};
        return true;
    }
    bool PageSetup(QWidget *parent) override
    {
        QPageSetupDialog dialog(&GlobalQPrinter(), parent);
        return dialog.exec() == QDialog::Accepted;
    }
};

std::unique_ptr<QPrinter> GlobalPrinter_;
std::unique_ptr<TQtPrinter> QtPrinter_;
IPrinter *Installed_ = nullptr;
IPrintDialogs *InstalledDialogs_ = nullptr;

} // namespace

QPrinter &GlobalQPrinter()
{
    if (!GlobalPrinter_) {
        GlobalPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        GlobalPrinter_->setResolution(300);
    }
    return *GlobalPrinter_;
}

IPrinter &Printer()
{
    if (Installed_)
        return *Installed_;
    if (!QtPrinter_)
        QtPrinter_ = std::make_unique<TQtPrinter>(GlobalQPrinter());
    return *QtPrinter_;
}

void SetPrinter(IPrinter *printer)
{
    Installed_ = printer;
}

IPrintDialogs &PrintDialogs()
{
    static TQtPrintDialogs dialogs;
    return InstalledDialogs_ ? *InstalledDialogs_ : dialogs;
}

void SetPrintDialogs(IPrintDialogs *dialogs)
{
    InstalledDialogs_ = dialogs;
}

void SetPrinterOrientation(int orientation)
{
    GlobalQPrinter().setPageOrientation(orientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape);
}
