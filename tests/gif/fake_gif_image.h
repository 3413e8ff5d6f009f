#pragma once
// A GIF image and frame standing in for the image object in colour-table and header tests:
// frames are plain index buffers, and every warning and change is recorded.
#include "canvas/gif/color_map.h"
#include "canvas/gif/gif_image_hooks.h"
#include "canvas/gif/local_color_map.h"

#include <string>
#include <vector>

struct FakeGIFImage : gif::IGIFImage
{
    std::vector<std::string> Warnings;
    int FakeVersion = gif::gv87a;
    int FakeColorResolution = 7;
    int FakeBitsPerPixel = 8;
    std::vector<std::uint8_t> GlobalPixels;  // pixels of the frames using the global table
    int Frames = 1;

    void Warning(const gif::TGIFPersistent *, int, const std::string &message) override
    {
        Warnings.push_back(message);
    }
    void Changed(const gif::TGIFPersistent *) override {}
    int Version() const override { return FakeVersion; }
    int ColorResolution() const override { return FakeColorResolution; }
    int BitsPerPixel() const override { return FakeBitsPerPixel; }
    int FrameCount() const override { return Frames; }
    void CountColorMapPixels(const gif::TGIFColorMap &, gif::TGIFHistogram &h) override
    {
        gif::AddPixelsToHistogram(GlobalPixels.data(), GlobalPixels.size(), h);
    }
    void MapColorMapPixels(const gif::TGIFColorMap &, const gif::TGIFColorMapping &m) override
    {
        gif::MapPixelBuffer(GlobalPixels.data(), GlobalPixels.size(), m);
    }
};

struct FakeGIFFrame : gif::IGIFFrame
{
    FakeGIFImage *Owner = nullptr;
    std::vector<std::uint8_t> Pixels;
    int ChangeCount = 0;

    gif::IGIFImage *Image() const override { return Owner; }
    void Changed() override { ++ChangeCount; }
    void CountPixels(gif::TGIFHistogram &h) override { gif::AddPixelsToHistogram(Pixels.data(), Pixels.size(), h); }
    void MapPixels(const gif::TGIFColorMapping &m) override { gif::MapPixelBuffer(Pixels.data(), Pixels.size(), m); }
};
