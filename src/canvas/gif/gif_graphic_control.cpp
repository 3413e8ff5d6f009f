#include "canvas/gif/gif_graphic_control.h"

#include "canvas/gif/gif_sub_image.h"

namespace gif {

namespace {
std::unique_ptr<TGIFExtension> Create(TGIFSubImage *frame)
{
    return std::make_unique<TGIFGraphicControlExtension>(frame);
}
}  // namespace

const TGIFExtensionClass &TGIFGraphicControlExtension::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFGraphicControlExtension", &Create, &FindExtensionSelf};
    return info;
}

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage *frame) : TGIFExtension(frame)
{
    if (frame && !frame->GraphicControlExtension())
        frame->SetGraphicControlExtension(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension()
{
    TGIFSubImage *frame = Frame();
    if (!frame)
        return;
    if (Transparent())
        frame->SetTransparentFlag(false);
    if (frame->GraphicControlExtension() == this)
        frame->SetGraphicControlExtension(nullptr);
}

void TGIFGraphicControlExtension::SetTransparent(bool value)
{
    FPackedFields = value ? (FPackedFields | 0x01) : (FPackedFields & ~0x01);
    if (Frame())
        Frame()->SetTransparentFlag(value);
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int value)
{
    const TGIFColorMap *map = Frame() ? Frame()->ActiveColorMap() : nullptr;
    const int count = map ? map->Count() : 0;
    if ((value >= count && count > 0) || value < 0 || value > 255) {
        Warning(1, "Invalid color index");
        value = 0;
    }
    FTransparentColorIndex = std::uint8_t(value);
}

void TGIFGraphicControlExtension::SetDisposal(int value)
{
    FPackedFields = std::uint8_t((FPackedFields & ~0x1C) | ((value & 7) << 2));
}

void TGIFGraphicControlExtension::SaveToStream(TStream &stream)
{
    TGIFExtension::SaveToStream(stream);
    const std::uint8_t block[6] = {FBlockSize,          FPackedFields,          std::uint8_t(FDelay),
                                   std::uint8_t(FDelay >> 8), FTransparentColorIndex, FTerminator};
    stream.Write(block, sizeof block);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream &stream)
{
    TGIFExtension::LoadFromStream(stream);
    std::uint8_t block[6] = {};
    const std::size_t got = stream.Read(block, sizeof block);
    FBlockSize = block[0];
    FPackedFields = block[1];
    FDelay = std::uint16_t(block[2] | (block[3] << 8));
    FTransparentColorIndex = block[4];
    FTerminator = block[5];
    if (got < sizeof block) {
        Warning(1, "Premature end of data");
        return;
    }
    if (Transparent() && Frame())
        Frame()->SetTransparentFlag(true);
}

}  // namespace gif
