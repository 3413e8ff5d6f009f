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
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

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

// The thread a job's painter works on, with the commands waiting for it. A
// few bands at most wait, so memory stays near a page's worth.
class TQtPrinter::TJobThread {
public:
    TJobThread() : Thread_([this] { Serve(); }) {}
    ~TJobThread()
    {
        {
            std::lock_guard lock(Mutex_);
            Quit_ = true;
        }
        Changed_.notify_all();
        Thread_.join();
    }
    void Post(std::function<void()> command)
    {
        std::unique_lock lock(Mutex_);
        Changed_.wait(lock, [&] { return Queue_.size() < MostWaiting; });
        Queue_.push_back(std::move(command));
        Changed_.notify_all();
    }
    void Call(const std::function<void()> &command)
    {
        std::exception_ptr failure;
        bool done = false;
        Post([&] {
            try {
                command();
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard lock(Mutex_);
            done = true;
            Changed_.notify_all();
        });
        std::unique_lock lock(Mutex_);
        Changed_.wait(lock, [&] { return done; });
        if (!failure)
            std::swap(failure, Failure_);
        lock.unlock();
        if (failure)
            std::rethrow_exception(failure);
    }

private:
    static constexpr std::size_t MostWaiting = 8;

    void Serve()
    {
        std::unique_lock lock(Mutex_);
        for (;;) {
            Changed_.wait(lock, [&] { return Quit_ || !Queue_.empty(); });
            if (Queue_.empty())
                return;
            std::function<void()> command = std::move(Queue_.front());
            Queue_.pop_front();
            Changed_.notify_all();
            lock.unlock();
            try {
                command();
            } catch (...) {
                // Kept for the next command that waits for its result.
                std::lock_guard failed(Mutex_);
                if (!Failure_)
                    Failure_ = std::current_exception();
            }
            lock.lock();
        }
    }

    std::mutex Mutex_;
    std::condition_variable Changed_;
    std::deque<std::function<void()>> Queue_;
    std::exception_ptr Failure_;
    bool Quit_ = false;
    std::thread Thread_;
};

TQtPrinter::TQtPrinter(QPrinter &printer) : Printer_(printer) {}

TQtPrinter::~TQtPrinter()
{
    if (Active_) {
        try {
            Abort();
        } catch (...) {
        }
    }
}

void TQtPrinter::Post(std::function<void()> command)
{
    if (Thread_)
        Thread_->Post(std::move(command));
    else
        command();
}

void TQtPrinter::Call(const std::function<void()> &command)
{
    if (Thread_)
        Thread_->Call(command);
    else
        command();
}

void TQtPrinter::StopThread()
{
    Thread_.reset();
}

QPainter *TQtPrinter::Painter()
{
    if (!Active_)
        return nullptr;
    Call([] {});
    return &Painter_;
}

bool TQtPrinter::Capability(TCapability capability, int &value)
{
    if (Active_) {
        value = Capabilities_[capability];
        return true;
    }
    return Measure(capability, value);
}

bool TQtPrinter::Measure(TCapability capability, int &value) const
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
    if (Active_)
        Post([this] { Painter_.save(); });
}

void TQtPrinter::RestoreState()
{
    if (Active_)
        Post([this] { Painter_.restore(); });
}

void TQtPrinter::MoveOrigin(int dx, int dy)
{
    if (Active_)
        Post([this, dx, dy] { Painter_.translate(dx, dy); });
}

void TQtPrinter::ClipTo(const TRect &rect)
{
    if (Active_)
        Post([this, rect] { Painter_.setClipRect(rect.ToQRect(), Qt::IntersectClip); });
}

int TQtPrinter::StretchDib(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    if (!Active_)
        return 0;
    // Made here from the engine's band, which is reused for the next one.
    const QImage band = BandImage(info, bits);
    if (band.isNull())
        return 0;
    Post([this, x, y, band] { Painter_.drawImage(QPoint(x, y), band); });
    return band.height();
}

bool TQtPrinter::BlockTransfer(int x, int y, std::span<const std::uint8_t> info, std::span<const std::uint8_t> bits)
{
    if (!Active_)
        return false;
    const QPixmap band = QPixmap::fromImage(BandImage(info, bits));
    if (band.isNull())
        return false;
    Call([&] { Painter_.drawPixmap(QPoint(x, y), band); });
    return true;
}

void TQtPrinter::SetTitle(const QString &title)
{
    Call([&] { Printer_.setDocName(title); });
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
    Thread_ = std::make_unique<TJobThread>();
    bool began = false;
    Call([&] {
        began = Painter_.begin(&Printer_);
        for (int c = capHorzRes; c <= capLogPixelsY; ++c)
            Measure(TCapability(c), Capabilities_[c]);
    });
    if (!began) {
        StopThread();
        FinishJob();
        Fail(QStringLiteral("The printer cannot start the job."));
    }
    Active_ = true;
}

void TQtPrinter::NewPage()
{
    if (Active_)
        Post([this] { Printer_.newPage(); });
}

void TQtPrinter::EndDoc()
{
    if (!Active_)
        return;
    Active_ = false;
    std::exception_ptr failure;
    try {
        Call([this] { Painter_.end(); });
    } catch (...) {
        failure = std::current_exception();
    }
    StopThread();
    if (failure) {
        FinishJob();
        std::rethrow_exception(failure);
    }
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
    if (Active_) {
        Active_ = false;
        try {
            Call([this] {
                Printer_.abort();
                Painter_.end();
            });
        } catch (...) {
            // The job is dropped whatever its last drawing did.
        }
        StopThread();
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
    if (!Active_)
        return;
    Post([this, x, y, text, fontName, pointSize] {
        QFont font(fontName);
        font.setPixelSize(std::max(1, int(std::lround(pointSize * Printer_.resolution() / 72.0))));
        Painter_.save();
        Painter_.setFont(font);
        Painter_.setPen(Qt::black);
        Painter_.drawText(QRect(x, y, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop, text);
        Painter_.restore();
    });
}
