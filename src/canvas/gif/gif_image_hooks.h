#pragma once
// IGIFImage and IGIFFrame: what the blocks and colour tables of a GIF picture need from the
// image and the frame that hold them. The image object and its frames implement these;
// tests install fakes.
#include <array>
#include <cstdint>
#include <string>

namespace gif {

class TGIFColorMap;
class TGIFPersistent;

// Pixel counts per colour index, and the index each count belongs to before sorting.
struct THistogramEntry
{
    std::uint32_t Count = 0;
    std::uint32_t Index = 0;
};
using TGIFHistogram = std::array<THistogramEntry, 256>;
// New colour index by old colour index.
using TGIFColorMapping = std::array<std::uint8_t, 256>;

class IGIFImage
{
public:
    virtual ~IGIFImage() = default;

    virtual void Warning(const TGIFPersistent *sender, int severity, const std::string &message) = 0;
    virtual void Changed(const TGIFPersistent *sender) = 0;
    // Oldest format able to store the image: 0 unknown (no frames), 1 GIF87a, 2 GIF89a.
    virtual int Version() const = 0;
    virtual int ColorResolution() const = 0;
    virtual int BitsPerPixel() const = 0;
    virtual int FrameCount() const = 0;
    // Adds the pixels of every frame whose active colour table is map to the counts.
    virtual void CountColorMapPixels(const TGIFColorMap &map, TGIFHistogram &histogram) = 0;
    // Renumbers the pixels (and transparent indices) of every frame whose active colour
    // table is map.
    virtual void MapColorMapPixels(const TGIFColorMap &map, const TGIFColorMapping &mapping) = 0;
};

class IGIFFrame
{
public:
    virtual ~IGIFFrame() = default;

    virtual IGIFImage *Image() const = 0;
    virtual void Changed() = 0;
    virtual void CountPixels(TGIFHistogram &histogram) = 0;
    // Renumbers the frame's pixels, and its transparent index when it has one.
    virtual void MapPixels(const TGIFColorMapping &mapping) = 0;
};

// Helpers for implementers: count and renumber a plain index buffer.
void AddPixelsToHistogram(const std::uint8_t *pixels, std::size_t count, TGIFHistogram &histogram);
void MapPixelBuffer(std::uint8_t *pixels, std::size_t count, const TGIFColorMapping &mapping);

}  // namespace gif
