#pragma once
// IPrintDevice: the little of a printer's device context the banded engine
// needs; IPrinter adds the print job around it. The engine and diagram
// printing talk only to these, so a fake device can stand in for a printer.
#include "platform/rect.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <span>

class IPrintDevice {
public:
    virtual ~IPrintDevice() = default;

    enum TCapability {
        capHorzRes,         // printable width, device pixels
        capVertRes,         // printable height
        capPhysicalWidth,   // the whole sheet; 0 when the device does not say
        capPhysicalHeight,
        capPhysicalOffsetX, // unprintable left margin
        capPhysicalOffsetY, // unprintable top margin
        capLogPixelsX,      // resolution, pixels per inch
        capLogPixelsY,
    };
    // False when the device cannot answer.
    virtual bool Capability(TCapability capability, int &value) = 0;
    // Devices that lack it take no bitmap above 64 KB in one transfer.
    virtual bool Supports64KBitmaps() = 0;
    // The bands are at most as large as the screen.
    virtual QSize ScreenSize() = 0;

    virtual void SaveState() = 0;
    virtual void RestoreState() = 0;
    // Moves the drawing origin: logical (0, 0) lands on device (dx, dy) from
    // where it was.
    virtual void MoveOrigin(int dx, int dy) = 0;
    // Drawing stays inside this logical rectangle until the state is restored.
    virtual void ClipTo(const TRect &rect) = 0;

    // A band as a packed DIB, drawn one device pixel per band pixel with its
    // top-left corner at (x, y). The stretched transfer returns the rows it
    // drew; the block transfer (through a bitmap compatible with the device)
    // returns whether it drew.
    virtual int StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) = 0;
    virtual bool BlockTransfer(int x, int y, std::span<const std::uint8_t> info,
                               std::span<const std::uint8_t> bits) = 0;
    // Pushes pending drawing out.
    virtual void Flush() = 0;
};

// A printer: its device plus the job.
class IPrinter : public IPrintDevice {
public:
    virtual bool Printing() = 0;
    virtual void SetTitle(const QString &title) = 0;
    // Raises the printer's reason when the job cannot start.
    virtual void BeginDoc() = 0;
    virtual void NewPage() = 0;
    // Raises the reason when the output cannot be completed.
    virtual void EndDoc() = 0;
    // Drops the job; nothing of it comes out.
    virtual void Abort() = 0;
    // Text with its top-left corner at (x, y) in the named font, its size in
    // points at the printer's own resolution.
    virtual void TextOut(int x, int y, const QString &text, const QString &fontName, int pointSize) = 0;
};
