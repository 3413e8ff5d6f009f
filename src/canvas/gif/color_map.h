#pragma once
// TGIFColorMap: a GIF colour table of up to 256 red, green, blue triples, with the lookups,
// imports and exports the codec needs and the reordering of a table by use.
#include "canvas/gif/gif_image_hooks.h"
#include "canvas/gif/gif_persistent.h"
#include "canvas/gif/gif_types.h"
#include "canvas/gif/stream.h"

#include <cstdint>
#include <vector>

class QImage;

namespace gif {

class TGIFColorMap : public TGIFPersistent
{
public:
    static constexpr int MaxColors = 256;

    TGIFColorMap() = default;

    void Assign(const TGIFPersistent *source) override;
    std::string ClassName() const override { return "TGIFColorMap"; }

    virtual void Warning(int severity, const std::string &message) = 0;
    virtual void BuildHistogram(TGIFHistogram &histogram) = 0;
    virtual void MapImages(const TGIFColorMapping &mapping) = 0;
    // Orders the entries by use, most used first, renumbering the pixels that use them and
    // dropping entries no pixel uses; answers whether the table now counts as optimised.
    virtual bool Optimize() = 0;
    virtual void Changed() = 0;

    void Clear();
    int Count() const { return FCount; }
    int Capacity() const { return FCapacity; }
    bool Optimized() const { return FOptimized; }
    void SetOptimized(bool value) { FOptimized = value; }
    // Packed triples, red, green, blue, Count of them.
    const std::uint8_t *Entries() const { return FEntries.data(); }

    static void Color2RGB(TColor color, std::uint8_t &red, std::uint8_t &green, std::uint8_t &blue);
    static TColor RGB2Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    int BitsPerPixel() const;
    TColor Colors(int index);
    int IndexOf(TColor color) const;
    int Add(TColor color);
    int AddUnique(TColor color);
    void Delete(int index);
    void SetCapacity(int size);

    void ImportPalette(const TGIFPalette &palette);
    // entries: colour table entries in blue, green, red, reserved order.
    void ImportColorTable(const void *entries, int count);
    // The colour table of an indexed image.
    void ImportDIBColors(const QImage &image);
    // A palette of the table's colours, every entry marked not to collapse; empty for an
    // empty table.
    TGIFPalette ExportPalette() const;

    // The triples, padded with black to the power of two the table's bits per pixel name.
    void SaveToStream(TStream &stream) const;
    void LoadFromStream(TStream &stream, int count);

protected:
    bool DoOptimize();

private:
    std::vector<std::uint8_t> FEntries;  // FCapacity triples
    int FCount = 0;
    int FCapacity = 0;
    bool FOptimized = false;
};

}  // namespace gif
