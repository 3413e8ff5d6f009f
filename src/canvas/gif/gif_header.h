#pragma once
// TGIFHeader: the start of a GIF file: signature and version, the logical screen
// descriptor, and the global colour table.
#include "canvas/gif/gif_item.h"
#include "canvas/gif/global_color_map.h"

#include <cstdint>
#include <memory>

namespace gif {

class TGIFHeader : public TGIFItem
{
public:
    explicit TGIFHeader(IGIFImage *image);

    std::string ClassName() const override { return "TGIFHeader"; }
    void Assign(const TGIFPersistent *source) override;
    int GetVersion() const override;
    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    void Clear();
    // Recomputes the packed fields from the image and the global colour table.
    void Prepare();

    TGIFGlobalColorMap &ColorMap() { return *FColorMap; }
    const TGIFGlobalColorMap &ColorMap() const { return *FColorMap; }
    TColor BackgroundColor() { return FColorMap->Colors(FBackgroundColorIndex); }
    int BitsPerPixel() const { return FColorMap->BitsPerPixel(); }
    int ColorResolution() const { return FColorMap->BitsPerPixel() - 1; }

    std::uint16_t Width() const { return FWidth; }
    void SetWidth(std::uint16_t value) { FWidth = value; }
    std::uint16_t Height() const { return FHeight; }
    void SetHeight(std::uint16_t value) { FHeight = value; }
    std::uint8_t PackedFields() const { return FPackedFields; }
    void SetPackedFields(std::uint8_t value) { FPackedFields = value; }
    std::uint8_t BackgroundColorIndex() const { return FBackgroundColorIndex; }
    void SetBackgroundColorIndex(std::uint8_t value) { FBackgroundColorIndex = value; }
    std::uint8_t AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(std::uint8_t value) { FAspectRatio = value; }

private:
    std::uint16_t FWidth = 0;
    std::uint16_t FHeight = 0;
    std::uint8_t FPackedFields = 0;
    std::uint8_t FBackgroundColorIndex = 0;
    std::uint8_t FAspectRatio = 0;
    std::unique_ptr<TGIFGlobalColorMap> FColorMap;
};

}  // namespace gif
