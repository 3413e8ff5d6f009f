#include "canvas/gif/gif_comment_extension.h"

namespace gif {

namespace {
std::unique_ptr<TGIFExtension> Create(TGIFSubImage *frame)
{
    return std::make_unique<TGIFCommentExtension>(frame);
}
}  // namespace

const TGIFExtensionClass &TGIFCommentExtension::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFCommentExtension", &Create, &FindExtensionSelf};
    return info;
}

void TGIFCommentExtension::SaveToStream(TStream &stream)
{
    TGIFExtension::SaveToStream(stream);
    WriteStrings(stream, Text);
}

void TGIFCommentExtension::LoadFromStream(TStream &stream)
{
    TGIFExtension::LoadFromStream(stream);
    ReadStrings(stream, Text);
}

}  // namespace gif
