#include "canvas/gif/gif_image_list.h"

#include "canvas/gif/gif_extension.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_sub_image.h"

namespace gif {

namespace {
// The next byte that is not 0, or -1 at the end of the stream.
int ReadNonZero(TStream &stream)
{
    int b;
    do
        b = ReadByte(stream);
    while (b == 0);
    return b;
}
}  // namespace

TGIFImageList::TGIFImageList(TGIFImage *image) : TGIFList(image), FGIFImage(image) {}

TGIFSubImage *TGIFImageList::Frames(int index) const
{
    return static_cast<TGIFSubImage *>(Items(index));
}

void TGIFImageList::SaveToStream(TStream &stream)
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        Items(i)->SaveToStream(stream);
        if (FGIFImage)
            FGIFImage->Progress(TProgressStage::psRunning, MulDiv(i + 1, 100, count), "Saving...");
    }
}

void TGIFImageList::LoadFromStream(TStream &stream)
{
    int b = ReadNonZero(stream);
    while (b >= 0 && b != bsTrailer) {
        stream.Seek(-1, TSeekOrigin::soCurrent);
        if (b != bsExtensionIntroducer && b != bsImageSeparator) {
            Warning(1, "Unknown GIF block type");
            return;
        }
        const std::int64_t start = stream.Position();
        auto frame = std::make_unique<TGIFSubImage>(FGIFImage);
        frame->LoadFromStream(stream);
        Add(std::move(frame));
        if (FGIFImage) {
            const std::int64_t size = std::max<std::int64_t>(stream.Size(), 1);
            FGIFImage->Progress(TProgressStage::psRunning, int(stream.Position() * 100 / size), "Loading...");
        }
        // A frame that read nothing (an extension run that ends the stream) ends the list.
        if (stream.Position() == start)
            return;
        b = ReadNonZero(stream);
    }
    if (b == bsTrailer)
        stream.Seek(-1, TSeekOrigin::soCurrent);
}

void TGIFTrailer::SaveToStream(TStream &stream)
{
    WriteByte(stream, bsTrailer);
}

void TGIFTrailer::LoadFromStream(TStream &stream)
{
    const int b = ReadByte(stream);
    if (b >= 0 && b != bsTrailer)
        Warning(1, "Invalid Image trailer");
}

}  // namespace gif
