#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_painter.h"
#include "canvas/gif/gif_sub_image.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTimer>

namespace gif {

void TGIFImage::DrawCachedBitmap(QPainter &painter, const QRect &rect)
{
    if (FBitmap.isNull())
        return;
    if (!HasDrawFlag(DrawOptions, drTile)) {
        painter.drawImage(rect, FBitmap);
        return;
    }
    for (int y = rect.top(); y < rect.top() + rect.height(); y += FBitmap.height())
        for (int x = rect.left(); x < rect.left() + rect.width(); x += FBitmap.width())
            painter.drawImage(QPoint(x, y), FBitmap);
}

void TGIFImage::Draw(QPainter &painter, const QRect &rect)
{
    if (FDrawing || Empty() || rect.isEmpty())
        return;
    FDrawing = true;
    const std::shared_ptr<bool> alive = FAlive;
    struct TGuard
    {
        const std::shared_ptr<bool> &Alive;
        bool &Flag;
        ~TGuard()
        {
            if (*Alive)
                Flag = false;
        }
    } guard{alive, FDrawing};

    if (FrameCount() == 1 || !HasDrawFlag(DrawOptions, drAnimate)) {
        Frame(0)->Draw(painter, rect, HasDrawFlag(DrawOptions, drTransparent), HasDrawFlag(DrawOptions, drTile));
        return;
    }
    auto *device = dynamic_cast<QImage *>(painter.device());
    const bool direct = HasDrawFlag(DrawOptions, drDirect) && device;
    if (!FBitmap.isNull() && !direct) {
        DrawCachedBitmap(painter, rect);
        return;
    }
    std::unique_lock lock(FPainterLock);
    QImage *target = direct ? device : &FBitmap;
    const QRect paintRect = direct ? rect : QRect(0, 0, Width(), Height());
    if (FDrawPainter && FDrawPainter->Target() == target && FDrawPainter->Rect() == paintRect
        && !FDrawPainter->Finished()) {
        if (!direct)
            DrawCachedBitmap(painter, rect);
        return;
    }
    StopDrawPainter();
    if (!direct) {
        FBitmap = QImage(Width(), Height(), QImage::Format_RGB32);
        if (FBitmap.isNull())
            return;
        // What lay under the picture shows through its transparent parts.
        if (device)
            FBitmap = device->copy(rect).scaled(Width(), Height()).convertToFormat(QImage::Format_RGB32);
        else
            FBitmap.fill(BackgroundDrawColor == clNoneColor
                             ? QColor(Qt::white)
                             : QColor(GetRValue(BackgroundDrawColor), GetGValue(BackgroundDrawColor),
                                      GetBValue(BackgroundDrawColor)));
    }
    // Drawing directly goes through the caller's painter: the target is being painted.
    auto owned = std::make_unique<TGIFPainter>(*this, target, paintRect, DrawOptions, direct ? &painter : nullptr);
    TGIFPainter *p = owned.get();
    FPainters.push_back(p);
    FDrawPainter = p;
    if (p->Threaded()) {
        FOwnedPainters.push_back(std::move(owned));
        p->Start();
        p->ReleaseCaller();
    } else {
        lock.unlock();
        // Plays to the end here; the image may be gone when it returns.
        p->Start();
        p->ReleaseCaller();
        if (!*alive)
            return;
        lock.lock();
    }
    if (!direct)
        DrawCachedBitmap(painter, rect);
}

void TGIFImage::ForgetPainter(TGIFPainter *painter)
{
    std::lock_guard lock(FPainterLock);
    std::erase(FPainters, painter);
    if (FDrawPainter == painter)
        FDrawPainter = nullptr;
    ReleasePainter(painter);
}

void TGIFImage::ReleasePainter(TGIFPainter *painter)
{
    for (auto it = FOwnedPainters.begin(); it != FOwnedPainters.end(); ++it) {
        if (it->get() != painter)
            continue;
        std::shared_ptr<TGIFPainter> done(std::move(*it));
        FOwnedPainters.erase(it);
        if (QCoreApplication::instance())
            QTimer::singleShot(0, QCoreApplication::instance(), [done] {});
        return;
    }
}

void TGIFImage::StopDrawPainterAsync()
{
    std::lock_guard lock(FPainterLock);
    if (FDrawPainter)
        FDrawPainter->Stop();
}

void TGIFImage::StopDrawPainter()
{
    {
        std::lock_guard lock(FPainterLock);
        if (FDrawPainter) {
            TGIFPainter *painter = FDrawPainter;
            painter->Stop();
            // One that is not threaded unwinds by itself; it no longer counts as drawing.
            if (FDrawPainter == painter)
                FDrawPainter = nullptr;
        }
    }
    FBitmap = QImage();
}

void TGIFImage::StopPainters()
{
    {
        std::lock_guard lock(FPainterLock);
        const std::vector<TGIFPainter *> painters = FPainters;
        for (auto it = painters.rbegin(); it != painters.rend(); ++it)
            (*it)->Stop();
        // Painters that are not threaded are still unwinding below us; they stay listed
        // until they finish, and no longer draw.
        FDrawPainter = nullptr;
    }
    FBitmap = QImage();
}

}  // namespace gif
