#pragma once
// TGIFPainter: plays a multi-frame GIF picture onto a target image: frame delays scaled by
// the animation speed, disposal methods, the loop extension and five events. Everything it
// does runs on the thread that made it (the GUI thread): a painter with drThreaded steps
// through the frames on that thread's timer, one without runs to completion inside Draw,
// handling events while it waits. Stop is always cooperative.
#include "canvas/gif/gif_image.h"

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QTimer>

#include <QTransform>

#include <cstdint>
#include <functional>
#include <memory>

namespace gif {

// One delay unit of a graphic control extension, in milliseconds.
inline constexpr int GIFDelayUnitMs = 12;
// A wait without limit (until the painter is stopped or woken).
inline constexpr int GIFWaitForever = -1;

// The delay units a frame is shown: 10 without a delay of its own, at least 3, and for a
// painter that is not threaded at most 1000.
int GIFFrameDelayUnits(int delay, bool threaded);

struct TGIFFrameWait
{
    int Wait = 0;          // ms; GIFWaitForever for no limit
    int PreviousWait = 0;  // what the next frame's overshoot is measured against
};
// The wait before a frame of delayUnits: the time the previous frame overstayed (elapsed
// beyond its wait) is halved and taken off, and the rest scaled by speed percent.
TGIFFrameWait GIFComputeFrameWait(int delayUnits, int speed, std::int64_t elapsed, int previousWait, bool threaded);

class TGIFPainter
{
public:
    // target: where frames are composed; rect: the part of it the image fills; caller: the
    // painter the caller paints the target with, if it does.
    TGIFPainter(TGIFImage &image, QImage *target, const QRect &rect, TGIFDrawOptions options,
                QPainter *caller = nullptr);
    ~TGIFPainter();
    TGIFPainter(const TGIFPainter &) = delete;
    TGIFPainter &operator=(const TGIFPainter &) = delete;

    // Threaded: starts stepping on the timer; otherwise plays to the end before it returns.
    void Start();
    // Asks the painter to stop; it does at its next step, and at once when it is waiting.
    void Stop();
    // Ends a wait early (a threaded painter at speed 0 waits for this).
    void Wake();

    TGIFImage *Image() const { return FImage; }
    bool Threaded() const { return HasDrawFlag(FDrawOptions, drThreaded); }
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    bool Started() const { return FStarted; }
    TGIFDrawOptions DrawOptions() const { return FDrawOptions; }
    int AnimationSpeed() const { return FAnimationSpeed; }
    const QRect &Rect() const { return FRect; }
    QImage *Target() const { return FTarget; }
    // The frame being shown; an after-paint handler may set it to jump.
    int ActiveImage = -1;
    // Loop count left (-1 without end) and the frame each pass starts at.
    int LoopCount() const { return FLoopCount; }
    int LoopStart() const { return FLoopStart; }
    // How a threaded painter times its frame delays; coarse until it has started.
    Qt::TimerType FrameTimerType() const { return FTimer ? FTimer->timerType() : Qt::CoarseTimer; }

    TGIFPainterEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

private:
    friend class TGIFImage;
    void DetachImage();
    // The caller's painter is gone once its Draw returns.
    void ReleaseCaller() { FCallerPainter = nullptr; }

    bool PassAllowed() const;
    bool FrameAllowed() const;
    void BeginPass();
    void NextFrame();
    void ShowFrame();
    void EndPass();
    void Finish();
    int ComputeWait();
    void WaitBlocking(int wait);
    void Fire(const TGIFPainterEvent &event);
    // Paints on the target: through the caller's painter while the caller paints it.
    void PaintTarget(const std::function<void(QPainter &)> &paint);
    void DrawPlain(TGIFSubImage &frame);
    void DrawWithDisposal(TGIFSubImage &frame);
    void RestoreBackground(TGIFSubImage &frame, QImage &into);
    QRect FrameRect(const TGIFSubImage &frame) const;
    QColor BackgroundColor() const;
    // What the target shows under the rectangle, at the rectangle's size.
    QImage TargetArea() const;

    TGIFImage *FImage;  // not owned; null once the image is gone
    QImage *FTarget;    // not owned
    QRect FRect;
    // The caller's painter on the target while its Draw runs; its transform goes on after.
    QPainter *FCallerPainter = nullptr;
    QTransform FTargetTransform;
    TGIFDrawOptions FDrawOptions;
    int FAnimationSpeed;
    int FDisposal = 1;
    int FPreviousDisposal = 1;
    QImage FBackground;     // what lay under the image, for restoring with drTransparent
    QImage FPreviousState;  // the composed picture the next frame is drawn onto
    QImage FBuffer;
    QColor FBackgroundColor;
    bool FStarted = false;
    bool FTerminated = false;
    bool FFinished = false;
    bool FLoopSeen = false;
    bool FActiveChanged = false;
    int FLoopCount = 1;
    int FLoopStart = 0;
    int FDelay = 0;
    std::int64_t FLastTime = 0;
    int FPreviousWait = 0;
    QElapsedTimer FClock;
    std::unique_ptr<QTimer> FTimer;
    bool FWaitingForever = false;
    bool FReady = false;        // the wait before the current frame is over
    bool FPendingPass = false;  // a painter that is not threaded starts its next pass
};

}  // namespace gif
