#pragma once
// TQtPrinter: a QPrinter as the printing engine's printer. A job to a PDF file
// is written to a temporary file beside it and put in place only when the job
// ends, so an aborted or failed job leaves the user's old file whole.
#include "canvas/print/print_device.h"

#include <QPainter>
#include <QString>

#include <memory>

class QPrinter;
class QTemporaryFile;

class TQtPrinter : public IPrinter {
public:
    explicit TQtPrinter(QPrinter &printer);
    ~TQtPrinter() override;

    QPrinter &Target() { return Printer_; }
    // Drawing on the page outside the engine (tests, footers): valid while a job runs.
    QPainter *Painter() { return Painter_.isActive() ? &Painter_ : nullptr; }

    bool Capability(TCapability capability, int &value) override;
    bool Supports64KBitmaps() override { return true; }
    QSize ScreenSize() override;
    void SaveState() override;
    void RestoreState() override;
    void MoveOrigin(int dx, int dy) override;
    void ClipTo(const TRect &rect) override;
    int StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override;
    bool BlockTransfer(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits) override;
    void Flush() override {}

    bool Printing() override { return Painter_.isActive(); }
    void SetTitle(const QString &title) override;
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    void TextOut(int x, int y, const QString &text, const QString &fontName, int pointSize) override;

private:
    void FinishJob();

    QPrinter &Printer_;
    QPainter Painter_;
    QString FileName_; // the user's PDF file while a job writes beside it
    std::unique_ptr<QTemporaryFile> Spool_;
};
