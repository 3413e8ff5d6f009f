#pragma once
// TGIFGraphicControlExtension: a frame's delay, disposal method and transparent colour.
#include "canvas/gif/gif_extension.h"

namespace gif {

class TGIFGraphicControlExtension : public TGIFExtension
{
public:
    explicit TGIFGraphicControlExtension(TGIFSubImage *frame);
    ~TGIFGraphicControlExtension() override;

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFGraphicControlExtension"; }
    std::uint8_t GetExtensionType() const override { return 0xF9; }

    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    bool Transparent() const { return (FPackedFields & 0x01) != 0; }
    void SetTransparent(bool value);
    std::uint8_t TransparentColorIndex() const { return FTransparentColorIndex; }
    void SetTransparentColorIndex(int value);
    std::uint16_t Delay() const { return FDelay; }
    void SetDelay(std::uint16_t value) { FDelay = value; }
    bool UserInput() const { return (FPackedFields & 0x02) != 0; }
    int Disposal() const { return (FPackedFields >> 2) & 7; }
    void SetDisposal(int value);

private:
    std::uint8_t FBlockSize = 4;
    std::uint8_t FPackedFields = 0;
    std::uint16_t FDelay = 0;
    std::uint8_t FTransparentColorIndex = 0;
    std::uint8_t FTerminator = 0;
};

}  // namespace gif
