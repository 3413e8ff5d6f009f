#pragma once
// TColorQuantizer: an octree over every colour of a picture, merged until no more leaves
// remain than the palette may hold; each leaf's average colour becomes a palette entry.
#include "canvas/gif/dib.h"
#include "canvas/gif/gif_types.h"

#include <array>
#include <cstdint>
#include <memory>

namespace gif {

struct TOctreeNode
{
    bool IsLeaf = false;
    std::uint64_t PixelCount = 0;
    std::uint64_t RedSum = 0;
    std::uint64_t GreenSum = 0;
    std::uint64_t BlueSum = 0;
    TOctreeNode *Next = nullptr;  // next reducible node of the same level, not owned
    std::array<std::unique_ptr<TOctreeNode>, 8> Children;
};

class TColorQuantizer
{
public:
    TColorQuantizer(int maxColors, int colorBits);
    ~TColorQuantizer();

    // Adds every pixel of the reader's 24-bit rows.
    bool ProcessImage(TDIBReader &reader);
    void AddColor(int red, int green, int blue);
    int LeafCount() const { return FLeafCount; }
    // One entry per leaf, depth first, children in index order.
    TGIFPalette GetColorTable() const;

private:
    void AddColor(std::unique_ptr<TOctreeNode> &node, int red, int green, int blue, int level);
    void ReduceTree();

    std::unique_ptr<TOctreeNode> FTree;
    int FLeafCount = 0;
    std::array<TOctreeNode *, 9> FReducibleNodes{};
    int FMaxColors;
    int FColorBits;
};

// A palette fitted to the reader's 24-bit picture: colours entries from the quantiser, or,
// with system colours, 256 entries whose first and last ten are the platform's static
// colours around 236 quantised ones. Entries the picture leaves unfilled are black.
TGIFPalette CreateOptimizedPalette(TDIBReader &reader, int colors, int colorBits, bool withSystemColors);
TGIFPalette CreateOptimizedPaletteFromBitmap(const QImage &bitmap, int colors, int colorBits,
                                             bool withSystemColors);

}  // namespace gif
