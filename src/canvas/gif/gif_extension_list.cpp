#include "canvas/gif/gif_extension_list.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_sub_image.h"

namespace gif {

TGIFExtensionList::TGIFExtensionList(TGIFSubImage *frame)
    : TGIFList(frame ? frame->Image() : nullptr), FFrame(frame)
{
}

void TGIFExtensionList::LoadFromStream(TStream &stream)
{
    int b = ReadByte(stream);
    if (b < 0)
        return;
    while (b != bsImageSeparator && b != bsTrailer) {
        if (b != bsExtensionIntroducer)
            Warning(1, "Invalid extension introducer");
        const TGIFExtensionClass *cls = TGIFExtension::FindExtensionClass(stream);
        if (!cls)
            RaiseGIFError("Unknown extension type");
        stream.Seek(-1, TSeekOrigin::soCurrent);
        std::unique_ptr<TGIFExtension> extension = cls->Create(FFrame);
        extension->LoadFromStream(stream);
        Add(std::move(extension));
        b = ReadByte(stream);
        if (b < 0)
            return;
    }
    stream.Seek(-1, TSeekOrigin::soCurrent);
}

}  // namespace gif
