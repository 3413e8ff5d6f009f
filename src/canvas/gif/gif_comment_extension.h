#pragma once
// TGIFCommentExtension: lines of comment text carried in a GIF file.
#include "canvas/gif/gif_extension.h"
#include "canvas/gif/gif_io.h"

namespace gif {

class TGIFCommentExtension : public TGIFExtension
{
public:
    explicit TGIFCommentExtension(TGIFSubImage *frame) : TGIFExtension(frame) {}

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFCommentExtension"; }
    std::uint8_t GetExtensionType() const override { return 0xFE; }

    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    TGIFStrings Text;
};

}  // namespace gif
