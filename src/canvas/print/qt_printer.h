#pragma once
// TQtPrinter: a QPrinter as the printing engine's printer. A job to a PDF file
// is written to a temporary file beside it and put in place only when the job
// ends, so an aborted or failed job leaves the user's old file whole. While a
// job runs, its painter works on a thread of its own, taking the bands and
// texts in the order they were given, so that the next page is rendered while
// the printer's driver (a PDF's image coding) takes the last one.
#include "canvas/print/print_device.h"

#include <QPainter>
#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QTemporaryFile;

class TQtPrinter : public IPrinter {
public:
    explicit TQtPrinter(QPrinter &printer);
    ~TQtPrinter() override;

    QPrinter &Target() { return Printer_; }
    // Drawing on the page outside the engine (tests, footers): valid while a
    // job runs, once everything given before is drawn.
    QPainter *Painter();

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

    bool Printing() override { return Active_; }
    void SetTitle(const QString &title) override;
    void BeginDoc() override;
    void NewPage() override;
    void EndDoc() override;
    void Abort() override;
    void TextOut(int x, int y, const QString &text, const QString &fontName, int pointSize) override;

private:
    class TJobThread;
    void FinishJob();
    bool Measure(TCapability capability, int &value) const;
    // Runs the command on the job's thread in turn (at once without a job).
    void Post(std::function<void()> command);
    // The same, waiting until it is done; its exception comes back here.
    void Call(const std::function<void()> &command);
    void StopThread();

    QPrinter &Printer_;
    QPainter Painter_;
    bool Active_ = false;
    std::unique_ptr<TJobThread> Thread_;
    // The page's measures as the job began: they hold for the whole job.
    int Capabilities_[8] = {};
    QString FileName_; // the user's PDF file while a job writes beside it
    std::unique_ptr<QTemporaryFile> Spool_;
};
