#include "canvas/gif/gif_extension.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_extension_registry.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_sub_image.h"

namespace gif {

const TGIFExtensionClass *FindExtensionSelf(const TGIFExtensionClass &self, TStream &)
{
    return &self;
}

TGIFExtension::TGIFExtension(TGIFSubImage *frame)
    : TGIFItem(frame ? frame->Image() : nullptr), FFrame(frame)
{
}

void TGIFExtension::SaveToStream(TStream &stream)
{
    WriteByte(stream, bsExtensionIntroducer);
    WriteByte(stream, GetExtensionType());
}

void TGIFExtension::LoadFromStream(TStream &stream)
{
    std::uint8_t start[2];
    ReadCheck(stream, start, sizeof start);
    if (start[0] != bsExtensionIntroducer)
        RaiseGIFError("Invalid extension introducer");
    if (start[1] != GetExtensionType())
        RaiseGIFError("Internal error: Extension Instance does not match Extension Label");
}

const TGIFExtensionClass *TGIFExtension::FindExtensionClass(TStream &stream)
{
    const std::int64_t start = stream.Position();
    const int label = ReadByte(stream);
    const TGIFExtensionClass *found = label < 0 ? nullptr : ExtensionRegistry().Find(std::uint8_t(label));
    // Every class is asked from the same place, so a class that reads ahead to decide
    // cannot make the next one decide on the wrong bytes. The rounds are bounded in case
    // two registered classes keep naming each other.
    for (int round = 0; found && round < 8; ++round) {
        stream.SetPosition(start + 1);
        const TGIFExtensionClass *answer = found->FindExtension(*found, stream);
        if (answer == found)
            break;
        found = answer;
    }
    stream.SetPosition(start);
    return found;
}

}  // namespace gif
