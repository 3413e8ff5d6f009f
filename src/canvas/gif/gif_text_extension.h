#pragma once
// TGIFTextExtension: a plain-text block: a character grid and its lines.
#include "canvas/gif/gif_extension.h"
#include "canvas/gif/gif_io.h"

namespace gif {

class TGIFTextExtension : public TGIFExtension
{
public:
    explicit TGIFTextExtension(TGIFSubImage *frame) : TGIFExtension(frame) {}

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFTextExtension"; }
    std::uint8_t GetExtensionType() const override { return 0x01; }

    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    TGIFStrings Text;
    // Block size (12), grid left, top, width, height (16-bit), cell width, cell height,
    // foreground and background colour index, as they stand in the file.
    std::uint8_t Block[13] = {12};
};

}  // namespace gif
