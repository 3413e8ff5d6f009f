#include "canvas/gif/color_quantizer.h"

#include "canvas/gif/palettes.h"

#include <algorithm>
#include <functional>

namespace gif {

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    // At least one leaf must be allowed, or merging could never stop.
    : FMaxColors(std::max(maxColors, 1)), FColorBits(std::clamp(colorBits, 1, 8))
{
}

TColorQuantizer::~TColorQuantizer()
{
    // Deep trees free depth first without recursing through unique_ptr destructors.
    std::vector<std::unique_ptr<TOctreeNode>> pending;
    if (FTree)
        pending.push_back(std::move(FTree));
    while (!pending.empty()) {
        std::unique_ptr<TOctreeNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &child : node->Children)
            if (child)
                pending.push_back(std::move(child));
    }
}

bool TColorQuantizer::ProcessImage(TDIBReader &reader)
{
    const QImage &bitmap = reader.Bitmap();
    for (int y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t *p = reader.ScanLine(y);
        for (int x = 0; x < bitmap.width(); ++x, p += 3)
            AddColor(p[2], p[1], p[0]);
    }
    return true;
}

void TColorQuantizer::AddColor(int red, int green, int blue)
{
    AddColor(FTree, red, green, blue, 0);
    while (FLeafCount > FMaxColors)
        ReduceTree();
}

void TColorQuantizer::AddColor(std::unique_ptr<TOctreeNode> &root, int red, int green, int blue, int level)
{
    std::unique_ptr<TOctreeNode> *slot = &root;
    for (;;) {
        if (!*slot) {
            *slot = std::make_unique<TOctreeNode>();
            TOctreeNode *node = slot->get();
            if (level == FColorBits) {
                node->IsLeaf = true;
                ++FLeafCount;
            } else {
                node->Next = FReducibleNodes[std::size_t(level)];
                FReducibleNodes[std::size_t(level)] = node;
            }
        }
        TOctreeNode *node = slot->get();
        if (node->IsLeaf) {
            ++node->PixelCount;
            node->RedSum += std::uint64_t(red);
            node->GreenSum += std::uint64_t(green);
            node->BlueSum += std::uint64_t(blue);
            return;
        }
        const int shift = 7 - level;
        const int index = (((red >> shift) & 1) << 2) | (((green >> shift) & 1) << 1) | ((blue >> shift) & 1);
        slot = &node->Children[std::size_t(index)];
        ++level;
    }
}

void TColorQuantizer::ReduceTree()
{
    int level = FColorBits - 1;
    while (level > 0 && FReducibleNodes[std::size_t(level)] == nullptr)
        --level;
    TOctreeNode *node = FReducibleNodes[std::size_t(level)];
    if (!node)
        return;
    FReducibleNodes[std::size_t(level)] = node->Next;

    int children = 0;
    for (auto &child : node->Children) {
        if (!child)
            continue;
        node->RedSum += child->RedSum;
        node->GreenSum += child->GreenSum;
        node->BlueSum += child->BlueSum;
        node->PixelCount += child->PixelCount;
        child.reset();
        ++children;
    }
    node->IsLeaf = true;
    FLeafCount -= children - 1;
}

TGIFPalette TColorQuantizer::GetColorTable() const
{
    TGIFPalette table;
    std::function<void(const TOctreeNode *)> walk = [&](const TOctreeNode *node) {
        if (node->IsLeaf) {
            TPaletteEntry e;
            if (node->PixelCount > 0) {
                e.peRed = std::uint8_t(node->RedSum / node->PixelCount);
                e.peGreen = std::uint8_t(node->GreenSum / node->PixelCount);
                e.peBlue = std::uint8_t(node->BlueSum / node->PixelCount);
            }
            table.push_back(e);
            return;
        }
        for (const auto &child : node->Children)
            if (child)
                walk(child.get());
    };
    if (FTree)
        walk(FTree.get());
    return table;
}

TGIFPalette CreateOptimizedPalette(TDIBReader &reader, int colors, int colorBits, bool withSystemColors)
{
    TGIFPalette palette;
    if (withSystemColors) {
        TColorQuantizer quantizer(236, colorBits);
        quantizer.ProcessImage(reader);
        const TGIFPalette system = DefaultSystemPalette();
        const TGIFPalette quantised = quantizer.GetColorTable();
        palette.assign(256, TPaletteEntry{});
        std::copy(system.begin(), system.begin() + 10, palette.begin());
        std::copy(quantised.begin(), quantised.begin() + std::min<std::ptrdiff_t>(236, std::ptrdiff_t(quantised.size())),
                  palette.begin() + 10);
        std::copy(system.begin() + 10, system.end(), palette.begin() + 246);
    } else {
        TColorQuantizer quantizer(colors, colorBits);
        quantizer.ProcessImage(reader);
        const TGIFPalette quantised = quantizer.GetColorTable();
        palette.assign(std::size_t(std::max(colors, 0)), TPaletteEntry{});
        std::copy(quantised.begin(), quantised.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(palette.size()), std::ptrdiff_t(quantised.size())),
                  palette.begin());
    }
    return palette;
}

TGIFPalette CreateOptimizedPaletteFromBitmap(const QImage &bitmap, int colors, int colorBits,
                                             bool withSystemColors)
{
    QImage copy = bitmap;
    TDIBReader reader(copy, pf24bit);
    return CreateOptimizedPalette(reader, colors, colorBits, withSystemColors);
}

}  // namespace gif
