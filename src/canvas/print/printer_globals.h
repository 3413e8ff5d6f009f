#pragma once
// The program's one printer (a QPrinter behind the engine's printer
// interface) and the print and page set-up dialogs; tests install stand-ins.
#include "canvas/print/print_device.h"

class QPrinter;
class QWidget;

// Pages the user chose in the print dialog; From 0 means all.
struct TPageRange {
    int From = 0;
    int To = 0;
    bool All() const { return From <= 0; }
    bool Contains(int page) const { return All() || (page >= From && page <= To); }
};

class IPrintDialogs {
public:
    virtual ~IPrintDialogs() = default;
    // The print dialog with the page-range option; true and the range on OK.
    virtual bool Print(QWidget *parent, TPageRange &range) = 0;
    // The printer set-up dialog; true on OK.
    virtual bool PageSetup(QWidget *parent) = 0;
};

// The QPrinter of the program, created on first use (300 dpi).
QPrinter &GlobalQPrinter();
// The printer in use: the QPrinter's unless another was installed.
IPrinter &Printer();
// Installs a printer (not owned); nullptr goes back to the QPrinter.
void SetPrinter(IPrinter *printer);

IPrintDialogs &PrintDialogs();
// Installs dialogs (not owned); nullptr goes back to Qt's.
void SetPrintDialogs(IPrintDialogs *dialogs);

// 0 portrait, anything else landscape, on the program's printer.
void SetPrinterOrientation(int orientation);
