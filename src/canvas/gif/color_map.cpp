#include "canvas/gif/color_map.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/palettes.h"

#include <QImage>
#include <algorithm>
#include <cstring>

namespace gif {

void TGIFColorMap::Assign(const TGIFPersistent *source)
{
    const auto *map = dynamic_cast<const TGIFColorMap *>(source);
    if (!map) {
        TGIFPersistent::Assign(source);
        return;
    }
    if (map == this)
        return;
    Clear();
    FCapacity = map->FCapacity;
    FCount = map->FCount;
    FOptimized = map->FOptimized;
    FEntries.assign(std::size_t(FCapacity) * 3, 0);
    // An empty map has no storage at all: memcpy must not see its null pointer.
    if (FCount > 0)
        std::memcpy(FEntries.data(), map->FEntries.data(), std::size_t(FCount) * 3);
    Changed();
}

void TGIFColorMap::Clear()
{
    FEntries.clear();
    FEntries.shrink_to_fit();
    FCount = 0;
    FCapacity = 0;
    FOptimized = false;
}

void TGIFColorMap::Color2RGB(TColor color, std::uint8_t &red, std::uint8_t &green, std::uint8_t &blue)
{
    red = GetRValue(color);
    green = GetGValue(color);
    blue = GetBValue(color);
}

TColor TGIFColorMap::RGB2Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return RGBColor(red, green, blue);
}

int TGIFColorMap::BitsPerPixel() const
{
    return ColorsToBits(FCount);
}

TColor TGIFColorMap::Colors(int index)
{
    if (index < 0 || index >= FCount) {
        Warning(1, "Invalid color index");
        if (FCount == 0)
            RaiseGIFError("Color table is empty");
        index = 0;
    }
    const std::uint8_t *e = FEntries.data() + std::size_t(index) * 3;
    return RGB2Color(e[0], e[1], e[2]);
}

int TGIFColorMap::IndexOf(TColor color) const
{
    std::uint8_t r, g, b;
    Color2RGB(color, r, g, b);
    auto matches = [&](int i) {
        const std::uint8_t *e = FEntries.data() + std::size_t(i) * 3;
        return e[0] == r && e[1] == g && e[2] == b;
    };
    // An optimised table has its most used colours first.
    if (FOptimized) {
        for (int i = 0; i < FCount; ++i)
            if (matches(i))
                return i;
    } else {
        for (int i = FCount - 1; i >= 0; --i)
            if (matches(i))
                return i;
    }
    return -1;
}

int TGIFColorMap::Add(TColor color)
{
    if (FCount >= MaxColors)
        RaiseGIFError("Color table overflow");
    if (FCount >= FCapacity)
        SetCapacity(FCount + 1);
    std::uint8_t *e = FEntries.data() + std::size_t(FCount) * 3;
    Color2RGB(color, e[0], e[1], e[2]);
    ++FCount;
    FOptimized = false;
    Changed();
    return FCount - 1;
}

int TGIFColorMap::AddUnique(TColor color)
{
    const int index = IndexOf(color);
    return index >= 0 ? index : Add(color);
}

void TGIFColorMap::Delete(int index)
{
    if (index < 0 || index >= FCount)
        RaiseGIFError("Invalid color index");
    std::uint8_t *e = FEntries.data();
    std::memmove(e + std::size_t(index) * 3, e + std::size_t(index + 1) * 3,
                 std::size_t(FCount - index - 1) * 3);
    --FCount;
    FOptimized = false;
    Changed();
}

void TGIFColorMap::SetCapacity(int size)
{
    if (size < FCapacity)
        return;
    int capacity = size <= 16 ? 16 : (size + 31) & ~31;
    capacity = std::min(capacity, MaxColors);
    FCapacity = capacity;
    FEntries.resize(std::size_t(capacity) * 3, 0);
}

void TGIFColorMap::ImportPalette(const TGIFPalette &palette)
{
    Clear();
    const int count = std::min<int>(int(palette.size()), MaxColors);
    if (count == 0)
        return;
    SetCapacity(count);
    for (int i = 0; i < count; ++i) {
        std::uint8_t *e = FEntries.data() + std::size_t(i) * 3;
        e[0] = palette[std::size_t(i)].peRed;
        e[1] = palette[std::size_t(i)].peGreen;
        e[2] = palette[std::size_t(i)].peBlue;
    }
    FCount = count;
    Changed();
}

void TGIFColorMap::ImportColorTable(const void *entries, int count)
{
    Clear();
    count = std::clamp(count, 0, MaxColors);
    if (count == 0 || entries == nullptr)
        return;
    SetCapacity(count);
    const auto *src = static_cast<const std::uint8_t *>(entries);
    for (int i = 0; i < count; ++i) {
        std::uint8_t *e = FEntries.data() + std::size_t(i) * 3;
        e[0] = src[i * 4 + 2];
        e[1] = src[i * 4 + 1];
        e[2] = src[i * 4 + 0];
    }
    FCount = count;
    Changed();
}

void TGIFColorMap::ImportDIBColors(const QImage &image)
{
    const QList<QRgb> table = image.colorTable();
    const int count = std::min<int>(int(table.size()), MaxColors);
    std::vector<std::uint8_t> entries(std::size_t(count) * 4);
    for (int i = 0; i < count; ++i) {
        const QRgb c = table[i];
        entries[std::size_t(i) * 4 + 0] = std::uint8_t(qBlue(c));
        entries[std::size_t(i) * 4 + 1] = std::uint8_t(qGreen(c));
        entries[std::size_t(i) * 4 + 2] = std::uint8_t(qRed(c));
    }
    ImportColorTable(entries.data(), count);
    Changed();
}

TGIFPalette TGIFColorMap::ExportPalette() const
{
    TGIFPalette palette;
    palette.reserve(std::size_t(FCount));
    for (int i = 0; i < FCount; ++i) {
        const std::uint8_t *e = FEntries.data() + std::size_t(i) * 3;
        palette.push_back({e[0], e[1], e[2], PC_NOCOLLAPSE});
    }
    return palette;
}

void TGIFColorMap::SaveToStream(TStream &stream) const
{
    if (FCount == 0)
        return;
    stream.Write(FEntries.data(), std::size_t(FCount) * 3);
    const int padded = 1 << BitsPerPixel();
    const std::vector<std::uint8_t> black(std::size_t(padded - FCount) * 3, 0);
    if (!black.empty())
        stream.Write(black.data(), black.size());
}

void TGIFColorMap::LoadFromStream(TStream &stream, int count)
{
    Clear();
    // Only a table the object can hold is read; more would write past its entries.
    if (count > MaxColors)
        RaiseGIFError("Color table overflow");
    count = std::max(count, 0);
    SetCapacity(count);
    ReadCheck(stream, FEntries.data(), std::size_t(count) * 3);
    FCount = count;
}

bool TGIFColorMap::DoOptimize()
{
    if (FCount <= 1)
        return false;
    FOptimized = true;

    TGIFHistogram histogram;
    for (int i = 0; i < MaxColors; ++i)
        histogram[std::size_t(i)] = {0, std::uint32_t(i)};
    BuildHistogram(histogram);
    std::stable_sort(histogram.begin(), histogram.begin() + FCount,
                     [](const THistogramEntry &a, const THistogramEntry &b) { return a.Count > b.Count; });

    bool unchanged = true;
    for (int i = 0; i < FCount && unchanged; ++i)
        unchanged = histogram[std::size_t(i)].Index == std::uint32_t(i);
    if (unchanged)
        return true;

    TGIFColorMapping mapping;
    for (int i = 0; i < MaxColors; ++i)
        mapping[std::size_t(i)] = std::uint8_t(i);
    for (int i = 0; i < FCount; ++i)
        mapping[histogram[std::size_t(i)].Index] = std::uint8_t(i);
    MapImages(mapping);

    const std::vector<std::uint8_t> old = FEntries;
    for (int i = 0; i < FCount; ++i)
        std::memcpy(FEntries.data() + std::size_t(i) * 3,
                    old.data() + std::size_t(histogram[std::size_t(i)].Index) * 3, 3);

    int used = FCount;
    for (int i = 0; i < FCount; ++i) {
        if (histogram[std::size_t(i)].Count == 0) {
            used = i;
            break;
        }
    }
    FCount = used;
    Changed();
    return true;
}

}  // namespace gif
