#include "canvas/gif/gif_text_extension.h"

namespace gif {

namespace {
std::unique_ptr<TGIFExtension> Create(TGIFSubImage *frame)
{
    return std::make_unique<TGIFTextExtension>(frame);
}
}  // namespace

const TGIFExtensionClass &TGIFTextExtension::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFTextExtension", &Create, &FindExtensionSelf};
    return info;
}

void TGIFTextExtension::SaveToStream(TStream &stream)
{
    TGIFExtension::SaveToStream(stream);
    stream.Write(Block, sizeof Block);
    WriteStrings(stream, Text);
}

void TGIFTextExtension::LoadFromStream(TStream &stream)
{
    TGIFExtension::LoadFromStream(stream);
    ReadCheck(stream, Block, sizeof Block);
    ReadStrings(stream, Text);
}

}  // namespace gif
