#pragma once
// The banded engine: fits a packed DIB to the printable page, cuts the visible
// part into bands no larger than the screen, resamples each band to device
// pixels and sends it with one transfer per band. Failures are negative
// results, never exceptions.
#include "canvas/print/dib_format.h"
#include "canvas/print/print_device.h"

#include <functional>

enum TDibPrintResult : int {
    dpPrinted = 1,
    dpNothingToDraw = 0,
    dpBadParameter = -1,
    dpMemoryAllocFailed = -2,
    dpMemoryReadFailed = -3,
    dpUserAbortOrOtherError = -5,
};

// Called with the band being printed and the number of bands; 0 stops the job.
using TDibPrintProgress = std::function<int(int done, int total, void *data)>;

struct TPrinterPageGeometry {
    int OffsetX = 0, OffsetY = 0;
    int RightMargin = 0, BottomMargin = 0;
    int PhysicalWidth = 0, PhysicalHeight = 0;
    int PrintableWidth = 0, PrintableHeight = 0;
    // The largest of the four margins, used on every side.
    int UniformMargin = 0;
    int UniformWidth = 0, UniformHeight = 0;
    // Where the uniform area starts, from the device's printable origin.
    int ShiftX = 0, ShiftY = 0;
    int DpiX = 0, DpiY = 0;
};

bool GetPrinterPageGeometry(IPrintDevice &device, TPrinterPageGeometry &geometry);

int PrintDibToDevice(IPrintDevice &device, TByteSpan info, TByteSpan bits, bool centre, bool uniformMargins,
                     const TDibPrintProgress &progress, void *data);

int PrintDibBands(IPrintDevice &device, int destX, int destY, int destWidth, int destHeight, int srcX, int srcY,
                  int srcWidth, int srcHeight, TByteSpan info, TByteSpan bits, const TRect &clip,
                  const TDibPrintProgress &progress, void *data);

// The band height for a band width: the screen's height, or on devices
// without 64-KB bitmaps as many rows as fit in 65503 bytes, at least one.
int DibBandHeight(IPrintDevice &device, int bandWidth, int bitCount);
