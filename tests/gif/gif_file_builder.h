#pragma once
// GIF files put together byte by byte for the image-object tests (a 2 x 1 picture on a
// two-colour global table whose one frame shows the indices 1, 0, with whatever blocks a
// test puts around the frame), and frames put together in memory.
#include "gif_test_util.h"

#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_sub_image.h"

#include <QRect>

#include <functional>
#include <string>
#include <vector>

namespace giffile {

using giftest::Bytes;
using giftest::ErrorOf;
using giftest::Unblock;

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

inline Bytes Text(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}

// "GIF89a", 2 x 1, global table of 2 colours (black, white), colour resolution 0.
inline Bytes Header(const char *version = "89a")
{
    return Cat({Text(std::string("GIF") + version), {2, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF}});
}

// The frame: descriptor at (0, 0) of 2 x 1 without a table, then the codes clear, 1, 0, end
// at 3 bits each (code size 2).
inline Bytes Frame()
{
    return {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0x00, 2, 2, 0x0C, 0x0A, 0};
}

inline Bytes File(const Bytes &before, const Bytes &after = {})
{
    return Cat({Header(), before, Frame(), after, {0x3B}});
}

struct Loaded
{
    std::unique_ptr<gif::TGIFImage> Image = std::make_unique<gif::TGIFImage>();
    std::vector<std::string> Warnings;
    std::string Error;  // of a GIFException, else empty
};

inline Loaded Load(const Bytes &bytes)
{
    Loaded result;
    result.Image->OnWarning = [&w = result.Warnings](int, const std::string &m) { w.push_back(m); };
    gif::TMemoryStream stream(bytes);
    try {
        result.Image->LoadFromStream(stream);
    } catch (const gif::GIFException &e) {
        result.Error = e.what();
    }
    return result;
}

inline Bytes Save(gif::TGIFImage &image)
{
    gif::TMemoryStream stream;
    image.SaveToStream(stream);
    return stream.TakeBytes();
}

// Frames put together for the optimisation and painter tests: a rectangle, a local table,
// the pixels, and a graphic control block with delay, disposal and transparency.

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

}  // namespace giffile
