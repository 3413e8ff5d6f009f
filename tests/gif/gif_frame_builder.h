#pragma once
// Frames put together for the optimisation and painter tests: a rectangle, a local table,
// the pixels, and a graphic control block with delay, disposal and transparency.
#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_sub_image.h"

#include <QRect>

#include <functional>
#include <vector>

namespace gifframe {

struct Spec
{
    QRect Bounds;
    std::vector<gif::TColor> Colours;  // the local table; empty: the global one
    std::function<int(int x, int y)> Pixel;
    int Delay = -1;        // -1: no graphic control block
    int Disposal = 0;
    int Transparent = -1;  // index, or -1
};

inline gif::TGIFSubImage &AddFrame(gif::TGIFImage &image, const Spec &spec)
{
    auto owned = std::make_unique<gif::TGIFSubImage>(&image);
    gif::TGIFSubImage &frame = *owned;
    image.Add(std::move(owned));
    frame.SetBounds(spec.Bounds.left(), spec.Bounds.top(), spec.Bounds.width(), spec.Bounds.height());
    for (gif::TColor c : spec.Colours)
        frame.ColorMap().Add(c);
    for (int y = 0; y < frame.Height(); ++y)
        for (int x = 0; x < frame.Width(); ++x)
            frame.ScanLine(y)[x] = std::uint8_t(spec.Pixel(x, y));
    if (spec.Delay >= 0 || spec.Transparent >= 0 || spec.Disposal != 0) {
        auto *control = new gif::TGIFGraphicControlExtension(&frame);
        frame.Extensions().Add(std::unique_ptr<gif::TGIFExtension>(control));
        control->SetDelay(std::uint16_t(std::max(spec.Delay, 0)));
        control->SetDisposal(spec.Disposal);
        if (spec.Transparent >= 0) {
            control->SetTransparentColorIndex(spec.Transparent);
            control->SetTransparent(true);
        }
    }
    return frame;
}

inline gif::TGIFAppExtNSLoop &AddLoop(gif::TGIFSubImage &frame, int loops)
{
    auto *loop = new gif::TGIFAppExtNSLoop(&frame);
    loop->Loops = std::uint16_t(loops);
    frame.Extensions().Add(std::unique_ptr<gif::TGIFExtension>(loop));
    return *loop;
}

}  // namespace gifframe
