// The animation painter: frame delays and waits worked out from the rules, the loop block,
// a jump made by an event handler, single frames drawn without a painter, speed 0, and
// drawing directly on the caller's picture.
#include "gif_file_builder.h"

#include "canvas/gif/gif_painter.h"

#include <QCoreApplication>
#include <QPainter>
#include <gtest/gtest.h>

using namespace giffile;

TEST(GIFPainter, DelaysAndWaits)
{
    const struct {
        int Delay, Speed;
        std::int64_t Elapsed;  // since the previous frame, whose wait was PreviousWait
        int PreviousWait;
        bool Threaded;
        int Wait, NextPrevious;
    } cases[] = {
        {1, 100, 0, 0, true, 36, 36},        // at least 3 units of 12 ms
        {0, 100, 0, 0, true, 120, 120},      // no delay of its own: 10 units
        {50, 200, 0, 0, true, 300, 300},
        {2000, 100, 0, 0, false, 12000, 12000},  // at most 1000 units unless threaded
        {2000, 100, 0, 0, true, 24000, 24000},
        {10, 100, 100, 40, true, 90, 90},    // half the 60 ms overstayed is taken off
        {3, 200, 2, 0, true, 18, 18},        // 17.5 rounded away from zero
        {3, 200, 202, 0, true, -33, -33},
        {3, 0, 0, 7, true, gif::GIFWaitForever, 7},
        {3, 0, 0, 7, false, 12000, 7},
        {3, -1, 0, 7, true, gif::GIFWaitForever, 7},
        {3, 100, -5, 7, true, 12000, 0},     // the clock went back
    };
    for (const auto &c : cases) {
        const gif::TGIFFrameWait wait = gif::GIFComputeFrameWait(gif::GIFFrameDelayUnits(c.Delay, c.Threaded), c.Speed,
                                                                 c.Elapsed, c.PreviousWait, c.Threaded);
        EXPECT_EQ(wait.Wait, c.Wait) << c.Delay << " at " << c.Speed;
        EXPECT_EQ(wait.PreviousWait, c.NextPrevious) << c.Delay << " at " << c.Speed;
    }
}

namespace {

// Plays four frames on the timer without waiting and answers the frames shown in order.
std::vector<int> Play(gif::TGIFImage &image, gif::TGIFDrawOptions extra, const gif::TGIFPainterEvent &afterPaint = {})
{
    QImage target(4, 4, QImage::Format_RGB32);
    image.AnimationSpeed = -1;
    gif::TGIFPainter painter(image, &target, target.rect(),
                             gif::DrawFlag(gif::drThreaded) | gif::DrawFlag(gif::drAnimate) | extra);
    std::vector<int> shown;
    painter.OnAfterPaint = [&](gif::TGIFPainter &p) {
        shown.push_back(p.ActiveImage);
        if (afterPaint)
            afterPaint(p);
        if (shown.size() == 40)
            p.Stop();
    };
    painter.Start();
    EXPECT_EQ(painter.FrameTimerType(), Qt::PreciseTimer) << "a coarse timer is 5 % off either way";
    for (int i = 0; i < 10000 && !painter.Finished(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(painter.Finished());
    return shown;
}

void FourFrames(gif::TGIFImage &image, int loopFrame, int loops)
{
    for (int i = 0; i < 4; ++i) {
        gif::TGIFSubImage &frame = AddFrame(image, {QRect(0, 0, 4, 4), {gif::RGBColor(i * 60, 0, 0)}, [](int, int) { return 0; }, 5});
        if (i == loopFrame)
            AddLoop(frame, loops);
    }
}

}  // namespace

TEST(GIFPainter, LoopBlockSetsThePassesAndWhereTheyStart)
{
    const gif::TGIFDrawOptions loop = gif::DrawFlag(gif::drLoop);
    gif::TGIFImage once, twice, endless;
    FourFrames(once, -1, 0);
    EXPECT_EQ(Play(once, loop), (std::vector<int>{0, 1, 2, 3}));
    // An after-paint handler that sets the frame makes the painter go on from it.
    EXPECT_EQ(Play(once, loop, [](gif::TGIFPainter &p) { if (p.ActiveImage == 0) p.ActiveImage = 2; }),
              (std::vector<int>{0, 2, 3}));
    // A loop block on the third frame: later passes start there.
    FourFrames(twice, 2, 2);
    EXPECT_EQ(Play(twice, loop), (std::vector<int>{0, 1, 2, 3, 2, 3}));
    EXPECT_EQ(Play(twice, 0), (std::vector<int>{0, 1, 2, 3})) << "without drLoop one pass";
    // Loops 0: without end, until stopped.
    FourFrames(endless, 0, 0);
    EXPECT_EQ(Play(endless, loop).size(), 40u);
}

TEST(GIFPainter, SingleFrameIsDrawnWithoutAPainter)
{
    gif::TGIFImage image;
    AddFrame(image, {QRect(0, 0, 2, 1), {gif::RGBColor(0, 0, 255)}, [](int, int) { return 0; }, 5});
    QImage target(4, 2, QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    image.Draw(painter, target.rect());
    painter.end();
    EXPECT_EQ(image.DrawPainter(), nullptr);
    EXPECT_TRUE(image.Painters().empty());
    EXPECT_EQ(target.pixel(3, 1), qRgb(0, 0, 255)) << "stretched over the rectangle";
}

TEST(GIFPainter, AtSpeedZeroTheFirstFrameShowsAndThePainterWaitsToBeWoken)
{
    gif::TGIFImage image;
    FourFrames(image, -1, 0);
    image.AnimationSpeed = 0;
    QImage target(4, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    gif::TGIFPainter painter(image, &target, target.rect(), gif::DrawFlag(gif::drThreaded) | gif::DrawFlag(gif::drAnimate));
    painter.Start();
    for (int i = 0; i < 100; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(target.pixel(1, 1), qRgb(0, 0, 0)) << "frame 0";
    EXPECT_EQ(painter.ActiveImage, 1);
    painter.Wake();
    EXPECT_EQ(target.pixel(1, 1), qRgb(60, 0, 0)) << "frame 1";
    painter.Stop();
}

TEST(GIFPainter, DirectAnimationGoesOnWhereTheCallerPutItAndLeavesItsPainterAsItWas)
{
    // Two corners of a 4 x 4 screen, each restored to the background after it is shown:
    // the rest of the screen keeps what lay under it.
    gif::TGIFImage image;
    AddFrame(image, {QRect(0, 0, 2, 2), {gif::RGBColor(255, 0, 0)}, [](int, int) { return 0; }, 5, 2});
    AddFrame(image, {QRect(2, 2, 2, 2), {gif::RGBColor(0, 0, 255)}, [](int, int) { return 0; }, 5, 2});
    image.AnimationSpeed = 100000;
    image.DrawOptions = gif::DrawFlag(gif::drAnimate) | gif::DrawFlag(gif::drDirect) | gif::DrawFlag(gif::drThreaded);
    QImage target(8, 4, QImage::Format_RGB32), other(8, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    other.fill(Qt::white);
    QPainter painter(&target);
    painter.fillRect(0, 0, 4, 4, Qt::green);
    painter.translate(4, 0);
    image.Draw(painter, QRect(0, 0, 4, 4));
    EXPECT_EQ(target.pixel(5, 1), qRgb(255, 0, 0)) << "the first frame, drawn through the caller's painter";
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);
    // The caller's painter moves on; later frames still reach the picture they belong to.
    painter.end();
    painter.begin(&other);
    for (int i = 0; i < 10000 && !image.Painters().empty(); ++i)
        QCoreApplication::processEvents();
    painter.end();
    EXPECT_EQ(std::tuple(target.pixel(7, 3), target.pixel(7, 0), target.pixel(1, 1)),
              std::tuple(qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 255, 0)));
    EXPECT_EQ(other.pixel(7, 3), qRgb(255, 255, 255));
}
