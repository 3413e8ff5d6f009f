// Making a multi-frame picture smaller without changing what it shows or how long each
// picture stays: colour tables by use, transparency and disposal that do nothing, pixels
// that repeat the previous frame, frames cropped to what they change, empty blocks.
#include "canvas/gif/color_reduction.h"
#include "canvas/gif/gif_app_extension.h"
#include "canvas/gif/gif_comment_extension.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_sub_image.h"
#include "canvas/gif/gif_text_extension.h"

namespace gif {

namespace {

// The red, green, blue of an entry, or -1 for an index the table does not hold.
int EntryRGB(const TGIFColorMap *map, int index)
{
    if (!map || index < 0 || index >= map->Count())
        return -1;
    const std::uint8_t *e = map->Entries() + 3 * index;
    return (e[0] << 16) | (e[1] << 8) | e[2];
}

bool Contains(const std::uint8_t *data, std::size_t size, int value)
{
    for (std::size_t i = 0; i < size; ++i)
        if (data[i] == value)
            return true;
    return false;
}

// Whether index of the global table may serve as a transparent index: no frame on the
// global table shows it as a colour.
bool FreeGlobalIndex(TGIFImage &image, int index)
{
    for (int i = 0; i < image.FrameCount(); ++i) {
        TGIFSubImage *f = image.Frame(i);
        if (f->ActiveColorMap() != &image.GlobalColorMap() || f->TransparentIndex() == index)
            continue;
        if (Contains(f->Data(), f->DataSize(), index))
            return false;
    }
    return true;
}

}  // namespace

void TGIFSubImage::Crop()
{
    if (Empty() || !FTransparent)
        return;
    const int t = TransparentIndex();
    auto shows = [&](int x, int y) { return FData[std::size_t(y) * std::size_t(FWidth) + std::size_t(x)] != t; };
    int x0 = 0, x1 = FWidth - 1, y0 = 0, y1 = FHeight - 1;
    auto columnShows = [&](int x) {
        for (int y = 0; y < FHeight; ++y)
            if (shows(x, y))
                return true;
        return false;
    };
    while (x0 < FWidth && !columnShows(x0))
        ++x0;
    if (x0 == FWidth) {
        Clear();
        return;
    }
    while (!columnShows(x1))
        --x1;
    auto rowShows = [&](int y) {
        for (int x = x0; x <= x1; ++x)
            if (shows(x, y))
                return true;
        return false;
    };
    while (!rowShows(y0))
        ++y0;
    while (!rowShows(y1))
        --y1;
    const int width = x1 - x0 + 1;
    const int height = y1 - y0 + 1;
    if (width == FWidth && height == FHeight)
        return;
    std::vector<std::uint8_t> cropped(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y)
        std::copy_n(FData.data() + std::size_t(y0 + y) * std::size_t(FWidth) + std::size_t(x0), width,
                    cropped.data() + std::size_t(y) * std::size_t(width));
    FLeft += x0;
    FTop += y0;
    FWidth = width;
    FHeight = height;
    SetData(std::move(cropped));
}

void TGIFSubImage::Merge(TGIFSubImage &previous)
{
    if (Empty() || previous.Empty() || previous.Disposal() == 2 || previous.Disposal() == 3)
        return;
    // Readers restore the background of such a frame by its transparency (to transparent
    // or to the background colour): making it transparent would change what they restore.
    if (Disposal() == 2)
        return;
    const QRect overlap = BoundsRect().intersected(previous.BoundsRect());
    if (overlap.isEmpty())
        return;
    TGIFColorMap *map = ActiveColorMap();
    TGIFColorMap *previousMap = previous.ActiveColorMap();
    const bool sameMap = map == previousMap;
    const int previousTransparent = previous.TransparentIndex();
    int index = TransparentIndex();
    bool changed = false;

    auto findIndex = [&]() -> bool {
        if (map->Count() < 1 || map->Count() > 255)
            return false;
        if (map == &FGIFImage->GlobalColorMap()) {
            for (int i = 0; i < FGIFImage->FrameCount(); ++i) {
                TGIFSubImage *f = FGIFImage->Frame(i);
                const int t = f->TransparentIndex();
                if (f != this && t >= 0 && f->ActiveColorMap() == map && FreeGlobalIndex(*FGIFImage, t)) {
                    index = t;
                    return true;
                }
            }
        }
        // A new entry no pixel shows: reusing one that some frame shows as a colour would
        // punch holes into that frame.
        index = map->Add(RGBColor(0, 0, 0));
        return true;
    };

    for (int y = overlap.top(); y <= overlap.bottom(); ++y) {
        std::uint8_t *row = FData.data() + std::size_t(y - FTop) * std::size_t(FWidth);
        const std::uint8_t *previousRow =
            previous.FData.data() + std::size_t(y - previous.FTop) * std::size_t(previous.FWidth);
        for (int x = overlap.left(); x <= overlap.right(); ++x) {
            const int pixel = row[x - FLeft];
            const int previousPixel = previousRow[x - previous.FLeft];
            if (pixel == index || previousPixel == previousTransparent)
                continue;
            const bool same = sameMap ? pixel == previousPixel
                                      : EntryRGB(map, pixel) >= 0 && EntryRGB(map, pixel) == EntryRGB(previousMap, previousPixel);
            if (!same)
                continue;
            if (index < 0 && !findIndex())
                return;
            row[x - FLeft] = std::uint8_t(index);
            changed = true;
        }
    }
    if (!FTransparent && changed) {
        TGIFGraphicControlExtension *control = FGraphicControlExtension;
        if (!control) {
            control = new TGIFGraphicControlExtension(this);
            FExtensions->Add(std::unique_ptr<TGIFExtension>(control));
        }
        control->SetTransparentColorIndex(index);
        control->SetTransparent(true);
    }
    FreeBitmap();
}

void TGIFImage::OptimizeImage(unsigned options, int reductionMethod, int ditherMode, int reductionBits)
{
    (void)ditherMode;
    (void)reductionBits;
    if (Empty())
        return;
    auto has = [options](TOptimizeOption option) { return (options & (1u << option)) != 0; };
    // Refused before anything changes. The caller's own palette is refused only without the
    // clean-up; a number that names no method always is.
    const bool unknownMethod = reductionMethod < rmNone || reductionMethod > rmPalette;
    if (has(ooReduceColors) && (unknownMethod || (reductionMethod == rmPalette && !has(ooCleanup))))
        RaiseGIFError("Invalid reduction method");

    StopPainters();
    std::lock_guard lock(FPainterLock);
    const int frames = FrameCount();
    const int totalSteps = 6 * frames;
    int steps = 0;
    auto step = [&] { Progress(TProgressStage::psRunning, MulDiv(++steps, 100, totalSteps), "Optimizing..."); };
    Progress(TProgressStage::psStarting, 0, "Optimizing...");
    try {
        if (has(ooColorMap)) {
            if (GlobalColorMap().Count() > 0)
                GlobalColorMap().Optimize();
            for (int i = 0; i < FrameCount(); ++i, step())
                if (Frame(i)->ColorMap().Count() > 0)
                    Frame(i)->ColorMap().Optimize();
        }
        if (has(ooCleanup)) {
            for (int i = 0; i < FrameCount(); ++i, step()) {
                TGIFSubImage *f = Frame(i);
                if (f->Transparent() && f->GraphicControlExtension()
                    && !Contains(f->Data(), f->DataSize(), f->TransparentIndex()))
                    f->GraphicControlExtension()->SetTransparent(false);
            }
            for (int i = 0; i + 1 < FrameCount(); ++i, step()) {
                TGIFSubImage *f = Frame(i);
                TGIFSubImage *next = Frame(i + 1);
                const int disposal = f->Disposal();
                // A next frame that restores what was before it still needs this frame's
                // disposal: what it restores to depends on it.
                if ((disposal == 2 || disposal == 3) && !next->Transparent() && next->Disposal() != 3
                    && next->BoundsRect().intersected(f->BoundsRect()) == f->BoundsRect())
                    f->GraphicControlExtension()->SetDisposal(0);
            }
        }
        if (has(ooMerge))
            for (int i = FrameCount() - 1; i > 0; --i, step())
                Frame(i)->Merge(*Frame(i - 1));
        if (has(ooCrop)) {
            for (int i = FrameCount() - 1; i >= 0; --i, step()) {
                TGIFSubImage *f = Frame(i);
                // A frame that restores its area when it goes keeps that area.
                if (f->Empty() || !f->Transparent() || f->Disposal() >= 2)
                    continue;
                const int delay = f->Delay();
                if (i == 0 && FrameCount() > 1) {
                    bool shows = false;
                    for (std::size_t p = 0; p < f->DataSize() && !shows; ++p)
                        shows = f->Data()[p] != f->TransparentIndex();
                    if (!shows) {
                        // The first frame of an animation carries the loop and the first
                        // delay: it stays, as one transparent pixel. A picture of one frame
                        // that shows nothing loses it.
                        const int t = f->TransparentIndex();
                        f->SetBounds(f->Left(), f->Top(), 1, 1);
                        f->ScanLine(0)[0] = std::uint8_t(t);
                        continue;
                    }
                }
                f->Crop();
                if (!f->Empty())
                    continue;
                Images().Delete(i);
                if (i > 0 && delay > 0) {
                    TGIFSubImage *before = Frame(i - 1);
                    TGIFGraphicControlExtension *control = before->GraphicControlExtension();
                    if (!control) {
                        control = new TGIFGraphicControlExtension(before);
                        before->Extensions().Add(std::unique_ptr<TGIFExtension>(control));
                    }
                    control->SetDelay(std::uint16_t(std::min(control->Delay() + delay, 0xFFFF)));
                }
            }
        }
        if (has(ooCleanup)) {
            const bool single = FrameCount() == 1;
            for (int i = FrameCount() - 1; i >= 0; --i, step()) {
                TGIFSubImage *f = Frame(i);
                TGIFExtensionList &list = f->Extensions();
                for (int e = list.Count() - 1; e >= 0; --e) {
                    TGIFExtension *extension = list.Extensions(e);
                    const bool loop = dynamic_cast<TGIFAppExtNSLoop *>(extension) != nullptr;
                    const bool drop = dynamic_cast<TGIFCommentExtension *>(extension)
                                      || dynamic_cast<TGIFTextExtension *>(extension)
                                      || dynamic_cast<TGIFUnknownAppExtension *>(extension)
                                      || (loop && (i > 0 || single));
                    if (drop)
                        list.Delete(e);
                }
                if (TGIFGraphicControlExtension *control = f->GraphicControlExtension()) {
                    const bool idle = (control->Delay() == 0 || single) && !control->Transparent()
                                      && !control->UserInput() && (control->Disposal() < 2 || single);
                    if (idle)
                        list.Delete(list.IndexOf(control));
                }
                if (f->Empty() && list.Count() == 0)
                    Images().Delete(i);
            }
        }
    } catch (...) {
        Progress(TProgressStage::psEnding, 0, "Optimizing...");
        throw;
    }
    FreeBitmap();
    Progress(TProgressStage::psEnding, 100, "Optimizing...");
}

}  // namespace gif
