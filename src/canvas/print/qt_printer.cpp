#include "canvas/print/qt_printer.h"

#include "canvas/print/dib_format.h"
#include "platform/atomic_file.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryFile>

#include <cmath>
#include <stdexcept>

namespace {

QImage BandImage(std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    return DibToImage(TByteSpan(info.data(), info.size()), TByteSpan(bits.data(), bits.size()));
}

[[noreturn]] void Fail(const QString &reason)
{
    throw std::runtime_error(reason.toStdString());
}

} // namespace

TQtPrinter::TQtPrinter(QPrinter &printer) : Printer_(printer) {}

TQtPrinter::~TQtPrinter()
{
    if (Painter_.isActive())
        Abort();
}

bool TQtPrinter::Capability(TCapability capability, int &value)
{
    const int dpi = Printer_.resolution();
    const QPageLayout layout = Printer_.pageLayout();
    const QRect paint = layout.paintRectPixels(dpi);
    const QRect full = layout.fullRectPixels(dpi);
    switch (capability) {
    case capHorzRes: value = paint.width(); break;
    case capVertRes: value = paint.height(); break;
    case capPhysicalWidth: value = full.width(); break;
    case capPhysicalHeight: value = full.height(); break;
    case capPhysicalOffsetX: value = paint.left() - full.left(); break;
    case capPhysicalOffsetY: value = paint.top() - full.top(); break;
    case capLogPixelsX:
    case capLogPixelsY: value = dpi; break;
    }
    return true;
}

QSize TQtPrinter::ScreenSize()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        if (!screen->size().isEmpty())
            return screen->size();
    return {1024, 768};
}

void TQtPrinter::SaveState()
{
    if (Painter_.isActive())
        Painter_.save();
}

void TQtPrinter::RestoreState()
{
    if (Painter_.isActive())
        Painter_.restore();
}

void TQtPrinter::MoveOrigin(int dx, int dy)
{
    if (Painter_.isActive())
        Painter_.translate(dx, dy);
}

void TQtPrinter::ClipTo(const TRect &rect)
{
    if (Painter_.isActive())
        Painter_.setClipRect(rect.ToQRect(), Qt::IntersectClip);
}

int TQtPrinter::StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    if (!Painter_.isActive())
        return 0;
    const QImage band = BandImage(info, bits);
    if (band.isNull())
        return 0;
    Painter_.drawImage(QPoint(x, y), band);
    return band.height();
}

bool TQtPrinter::BlockTransfer(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    if (!Painter_.isActive())
        return false;
    const QPixmap band = QPixmap::fromImage(BandImage(info, bits));
    if (band.isNull())
        return false;
    Painter_.drawPixmap(QPoint(x, y), band);
    return true;
}

void TQtPrinter::SetTitle(const QString &title)
{
    Printer_.setDocName(title);
}

void TQtPrinter::BeginDoc()
{
    if (Painter_.isActive())
        Fail(QStringLiteral("The printer is already printing."));
    if (Printer_.outputFormat() == QPrinter::PdfFormat && !Printer_.outputFileName().isEmpty()) {
        FileName_ = Printer_.outputFileName();
        const QFileInfo target(FileName_);
        Spool_ = std::make_unique<QTemporaryFile>(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                                                  QStringLiteral(".XXXXXX"));
        if (!Spool_->open()) {
            const QString reason = Spool_->errorString();
            Spool_.reset();
            FileName_.clear();
            Fail(QStringLiteral("Cannot write \"%1\": %2").arg(target.absoluteFilePath(), reason));
        }
        Spool_->close();
        Printer_.setOutputFileName(Spool_->fileName());
    }
    if (!Painter_.begin(&Printer_)) {
        FinishJob();
        Fail(QStringLiteral("The printer cannot start the job."));
    }
}

void TQtPrinter::NewPage()
{
    if (Painter_.isActive())
        Printer_.newPage();
}

void TQtPrinter::EndDoc()
{
    if (!Painter_.isActive())
        return;
    Painter_.end();
    if (!Spool_) {
        FinishJob();
        return;
    }
    QFile spool(Spool_->fileName());
    const QString target = FileName_;
    QString reason;
    if (!spool.open(QIODevice::ReadOnly))
        reason = spool.errorString();
    else
        try {
            reason = TAtomicFile::Write(target, [&](QIODevice &out) {
            char buffer[1 << 16];
            qint64 n = 0;
            while ((n = spool.read(buffer, sizeof buffer)) > 0)
                if (out.write(buffer, n) != n)
                    throw std::runtime_error(out.errorString().toStdString());
            if (n < 0)
                throw std::runtime_error(spool.errorString().toStdString());
            });
        } catch (const std::exception &e) {
            reason = QString::fromUtf8(e.what());
        }
    spool.close();
    FinishJob();
    if (!reason.isEmpty())
        Fail(QStringLiteral("Cannot write \"%1\": %2").arg(target, reason));
}

void TQtPrinter::Abort()
{
    if (Painter_.isActive()) {
        Printer_.abort();
        Painter_.end();
    }
    FinishJob();
}

void TQtPrinter::FinishJob()
{
    if (Spool_) {
        Printer_.setOutputFileName(FileName_);
        Spool_.reset();
        FileName_.clear();
    }
}

void TQtPrinter::TextOut(int x, int y, const QString &text, const QString &fontName, int pointSize)
{
    if (!Painter_.isActive())
        return;
    QFont font(fontName);
    font.setPixelSize(std::max(1, int(std::lround(pointSize * Printer_.resolution() / 72.0))));
    Painter_.save();
    Painter_.setFont(font);
    Painter_.setPen(Qt::black);
    Painter_.drawText(QRect(x, y, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop, text);
    Painter_.restore();
}
