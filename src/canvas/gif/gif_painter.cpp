#include "canvas/gif/gif_painter.h"

#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_sub_image.h"

#include <QCoreApplication>
#include <QPainter>
#include <QThread>

#include <climits>

namespace gif {

int GIFFrameDelayUnits(int delay, bool threaded)
{
    int units = delay != 0 ? delay : 10;
    units = std::max(units, 3);
    if (!threaded)
        units = std::min(units, 1000);
    return units;
}

TGIFFrameWait GIFComputeFrameWait(int delayUnits, int speed, std::int64_t elapsed, int previousWait, bool threaded)
{
    if (speed <= 0)
        return {threaded ? GIFWaitForever : 12000, previousWait};
    if (elapsed < 0)  // the clock went backwards
        return {12000, 0};
    const std::int64_t overshoot = (elapsed - previousWait) / 2;
    const std::int64_t scaled = std::int64_t(delayUnits) * GIFDelayUnitMs - overshoot;
    const std::int64_t product = scaled * 100;
    // Rounded as the platform's MulDiv rounds: halves away from zero.
    const std::int64_t wait = product >= 0 ? (product + speed / 2) / speed : -((-product + speed / 2) / speed);
    if (wait > INT_MAX || wait < INT_MIN)
        return {12000, 0};
    return {int(wait), int(wait)};
}

TGIFPainter::TGIFPainter(TGIFImage &image, QImage *target, const QRect &rect, TGIFDrawOptions options,
                         QPainter *caller)
    : FImage(&image), FTarget(target), FRect(rect), FCallerPainter(caller),
      FTargetTransform(caller ? caller->combinedTransform() : QTransform()), FDrawOptions(options),
      FAnimationSpeed(image.AnimationSpeed)
{
    if (image.FrameCount() <= 1)
        FDrawOptions &= TGIFDrawOptions(~(DrawFlag(drThreaded) | DrawFlag(drAnimate)));
    OnStartPaint = image.OnStartPaint;
    OnPaint = image.OnPaint;
    OnAfterPaint = image.OnAfterPaint;
    OnLoop = image.OnLoop;
    OnEndPaint = image.OnEndPaint;
    FBackgroundColor = BackgroundColor();

    bool restoresBackground = HasDrawFlag(FDrawOptions, drClearOnLoop);
    bool restoresPrevious = false;
    for (int i = 0; i < image.FrameCount(); ++i) {
        const int disposal = image.Frame(i)->Disposal();
        restoresBackground |= disposal == 2;
        restoresPrevious |= disposal == 3;
    }
    const bool canCopy = FTarget && !FTarget->isNull();
    if (restoresBackground && HasDrawFlag(FDrawOptions, drTransparent))
        FBackground = canCopy ? TargetArea() : QImage();
    if (restoresBackground || restoresPrevious) {
        FPreviousState = canCopy ? TargetArea() : QImage(FRect.size(), QImage::Format_RGB32);
        if (!canCopy)
            FPreviousState.fill(FBackgroundColor);
        FBuffer = QImage(FPreviousState.size(), FPreviousState.format());
    }
}

TGIFPainter::~TGIFPainter()
{
    if (FTimer)
        FTimer->stop();
}

QImage TGIFPainter::TargetArea() const
{
    const QRect area = FTargetTransform.mapRect(FRect);
    QImage copy = FTarget->copy(area);
    return area.size() == FRect.size() ? copy : copy.scaled(FRect.size());
}

QColor TGIFPainter::BackgroundColor() const
{
    if (FImage->BackgroundDrawColor == clNoneColor) {
        if (FImage->GlobalColorMap().Count() > 0) {
            const TColor c = FImage->BackgroundColor();
            return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
        }
        return QColor(Qt::white);
    }
    const TColor c = FImage->BackgroundDrawColor;
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

void TGIFPainter::DetachImage()
{
    FImage = nullptr;
    FTarget = nullptr;
    FTerminated = true;
    if (FTimer)
        FTimer->stop();
}

void TGIFPainter::Fire(const TGIFPainterEvent &event)
{
    if (event && !FTerminated)
        event(*this);
}

void TGIFPainter::Stop()
{
    FTerminated = true;
    if (FTimer && !FFinished) {
        // A waiting painter notices at once.
        FTimer->stop();
        if (Threaded())
            Finish();
    }
}

void TGIFPainter::Wake()
{
    if (!FTimer || FFinished || !(FTimer->isActive() || FWaitingForever))
        return;
    FTimer->stop();
    FWaitingForever = false;
    FPreviousWait = 0;
    FLastTime = FClock.elapsed();
    ShowFrame();
}

void TGIFPainter::Start()
{
    FClock.start();
    if (FTerminated || !FImage) {
        Finish();
        return;
    }
    ActiveImage = 0;
    Fire(OnStartPaint);
    FStarted = false;
    FLoopCount = 1;
    FLoopStart = 0;
    FLoopSeen = false;
    FDelay = Threaded() ? 0 : 1;
    FPreviousDisposal = 1;
    FLastTime = FClock.elapsed();
    FPreviousWait = 0;
    if (Threaded()) {
        FTimer = std::make_unique<QTimer>();
        FTimer->setSingleShot(true);
        // A coarse timer may fire 5 % early or late: a 600 ms frame would show for 570 to 630 ms.
        FTimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(FTimer.get(), &QTimer::timeout, [this] { ShowFrame(); });
        BeginPass();
        return;
    }
    // Not threaded: the whole animation plays here, one frame after another.
    while (!FFinished)
        ShowFrame();
}

bool TGIFPainter::PassAllowed() const
{
    return !((FLoopCount == 0 && !HasDrawFlag(FDrawOptions, drLoopForever)) || FTerminated || !FImage);
}

bool TGIFPainter::FrameAllowed() const
{
    return FImage && !FTerminated && ActiveImage >= 0 && ActiveImage < FImage->FrameCount()
           && !FImage->Frame(ActiveImage)->Empty();
}

void TGIFPainter::BeginPass()
{
    if (!PassAllowed()) {
        Finish();
        return;
    }
    ActiveImage = FLoopStart;
    if (FStarted)
        Fire(OnLoop);
    FPendingPass = false;
    NextFrame();
}

void TGIFPainter::NextFrame()
{
    if (!FrameAllowed()) {
        EndPass();
        return;
    }
    const int wait = ComputeWait();
    if (!Threaded()) {
        WaitBlocking(wait);
        FReady = true;
        return;
    }
    FReady = true;
    if (wait > 0) {
        FTimer->start(wait);
    } else if (!FStarted) {
        // The first frame is on the target before Draw returns, whatever the speed.
        ShowFrame();
    } else if (FAnimationSpeed == 0) {
        FWaitingForever = true;  // until woken or stopped
    } else {
        FTimer->start(0);
    }
}

int TGIFPainter::ComputeWait()
{
    if (FDelay < 1)
        return 0;
    FImage->Frame(ActiveImage)->Bitmap();
    const std::int64_t now = FClock.elapsed();
    const TGIFFrameWait wait =
        GIFComputeFrameWait(FDelay, FAnimationSpeed, now - FLastTime, FPreviousWait, Threaded());
    FPreviousWait = wait.PreviousWait;
    FLastTime = now;
    return wait.Wait;
}

void TGIFPainter::WaitBlocking(int wait)
{
    std::int64_t remaining = std::max(wait, 1);
    while (remaining > 0 && !FTerminated) {
        QElapsedTimer slice;
        slice.start();
        QThread::msleep(unsigned(std::min<std::int64_t>(remaining, 100)));
        remaining -= std::max<std::int64_t>(slice.elapsed(), 1);
        if (QCoreApplication::instance()) {
            QCoreApplication::processEvents();
            if (QCoreApplication::closingDown())
                FTerminated = true;
        }
    }
}

void TGIFPainter::ShowFrame()
{
    if (FFinished)
        return;
    if (!FReady) {
        // Not threaded: each call is one step of the pass loop.
        if (FPendingPass || ActiveImage < 0)
            BeginPass();
        else
            NextFrame();
        if (!FReady || FFinished)
            return;
    }
    FReady = false;
    if (!FrameAllowed()) {
        EndPass();
        return;
    }
    Fire(OnPaint);
    if (FTerminated) {
        EndPass();
        return;
    }
    TGIFSubImage &frame = *FImage->Frame(ActiveImage);
    FDisposal = 1;
    for (int i = 0; i < frame.Extensions().Count(); ++i) {
        TGIFExtension *extension = frame.Extensions().Extensions(i);
        if (auto *loop = dynamic_cast<TGIFAppExtNSLoop *>(extension)) {
            // Honoured once: a loop block met again on a later pass does not restart the count.
            if (!FLoopSeen) {
                FLoopSeen = true;
                FLoopCount = loop->Loops;
                FLoopStart = ActiveImage;
                if ((loop->Loops == 0 || HasDrawFlag(FDrawOptions, drLoopForever)) && Threaded())
                    FLoopCount = -1;
            }
        } else if (auto *control = dynamic_cast<TGIFGraphicControlExtension *>(extension)) {
            FDisposal = control->Disposal();
        }
    }
    if (FPreviousState.isNull())
        DrawPlain(frame);
    else
        DrawWithDisposal(frame);
    FPreviousDisposal = FDisposal;
    FDelay = GIFFrameDelayUnits(frame.Delay(), Threaded());
    if (FImage)
        FImage->Changed(nullptr);

    const int shown = ActiveImage;
    Fire(OnAfterPaint);
    if (FTerminated) {
        EndPass();
        return;
    }
    if (ActiveImage == shown)
        ++ActiveImage;
    if (!HasDrawFlag(FDrawOptions, drAnimate)) {
        EndPass();
        return;
    }
    if (Threaded())
        NextFrame();
}

void TGIFPainter::EndPass()
{
    if (FLoopCount > 0)
        --FLoopCount;
    const bool again = HasDrawFlag(FDrawOptions, drAnimate) && HasDrawFlag(FDrawOptions, drLoop)
                       && (FLoopCount != 0 || HasDrawFlag(FDrawOptions, drLoopForever)) && !FTerminated;
    if (!again) {
        Finish();
        return;
    }
    if (Threaded()) {
        BeginPass();
    } else {
        FPendingPass = true;
        FReady = false;
    }
}

void TGIFPainter::Finish()
{
    if (FFinished)
        return;
    FFinished = true;
    if (FTimer)
        FTimer->stop();
    ActiveImage = -1;
    Fire(OnEndPaint);
    if (FImage)
        FImage->ForgetPainter(this);
}

QRect TGIFPainter::FrameRect(const TGIFSubImage &frame) const
{
    const int screenWidth = std::max(FImage->Width(), 1);
    const int screenHeight = std::max(FImage->Height(), 1);
    const int left = MulDiv(frame.Left(), FRect.width(), screenWidth);
    const int top = MulDiv(frame.Top(), FRect.height(), screenHeight);
    const int right = MulDiv(frame.Left() + frame.Width(), FRect.width(), screenWidth);
    const int bottom = MulDiv(frame.Top() + frame.Height(), FRect.height(), screenHeight);
    return QRect(left, top, right - left, bottom - top);
}

void TGIFPainter::PaintTarget(const std::function<void(QPainter &)> &paint)
{
    // While the caller paints the target, a second painter on it would draw nothing.
    if (FCallerPainter && FCallerPainter->isActive()) {
        FCallerPainter->save();
        paint(*FCallerPainter);
        FCallerPainter->restore();
        return;
    }
    if (FTarget->paintingActive())
        return;
    QPainter painter(FTarget);
    painter.setWorldTransform(FTargetTransform);
    paint(painter);
}

void TGIFPainter::DrawPlain(TGIFSubImage &frame)
{
    if (!FTarget || FTarget->isNull()) {
        Stop();
        return;
    }
    PaintTarget([&](QPainter &painter) {
        frame.Draw(painter, FRect, HasDrawFlag(FDrawOptions, drTransparent), HasDrawFlag(FDrawOptions, drTile));
    });
    FStarted = true;
}

void TGIFPainter::RestoreBackground(TGIFSubImage &frame, QImage &into)
{
    QPainter painter(&into);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect area = FrameRect(frame);
    std::vector<QRect> areas{area};
    if (HasDrawFlag(FDrawOptions, drTile)) {
        areas.clear();
        const int stepX = std::max(FImage->Width(), 1);
        const int stepY = std::max(FImage->Height(), 1);
        for (int y = frame.Top(); y < FRect.height(); y += stepY)
            for (int x = frame.Left(); x < FRect.width(); x += stepX)
                areas.emplace_back(x, y, frame.Width(), frame.Height());
    }
    for (const QRect &r : areas) {
        if (HasDrawFlag(FDrawOptions, drTransparent) && !FBackground.isNull())
            painter.drawImage(r.topLeft(), FBackground, r);
        else
            painter.fillRect(r, FBackgroundColor);
    }
}

void TGIFPainter::DrawWithDisposal(TGIFSubImage &frame)
{
    if (!FTarget || FTarget->isNull()) {
        // The picture the painter drew on is gone.
        Stop();
        return;
    }
    const bool transparent = HasDrawFlag(FDrawOptions, drTransparent);
    const bool tile = HasDrawFlag(FDrawOptions, drTile);
    const QRect local(QPoint(0, 0), FRect.size());
    if (HasDrawFlag(FDrawOptions, drClearOnLoop) && ActiveImage == 0)
        RestoreBackground(frame, FPreviousState);
    auto copyToCanvas = [&](const QImage &picture) {
        PaintTarget([&](QPainter &canvas) {
            canvas.setCompositionMode(QPainter::CompositionMode_Source);
            canvas.drawImage(FRect.topLeft(), picture);
        });
    };
    switch (FDisposal) {
    case 0:
    case 1:
    case 2: {
        {
            QPainter painter(&FPreviousState);
            frame.Draw(painter, local, transparent, tile);
        }
        copyToCanvas(FPreviousState);
        if (FDisposal == 2)
            RestoreBackground(frame, FPreviousState);
        break;
    }
    case 3:
        if (FPreviousDisposal <= 1) {
            PaintTarget([&](QPainter &canvas) { frame.Draw(canvas, FRect, transparent, tile); });
        } else {
            FBuffer = FPreviousState.copy();
            {
                QPainter painter(&FBuffer);
                frame.Draw(painter, local, transparent, tile);
            }
            copyToCanvas(FBuffer);
        }
        break;
    default:
        break;
    }
    FStarted = true;
}

}  // namespace gif
