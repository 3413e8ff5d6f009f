#include "canvas/gif/gif_item.h"

#include "canvas/gif/file_stream.h"

namespace gif {

void AddPixelsToHistogram(const std::uint8_t *pixels, std::size_t count, TGIFHistogram &histogram)
{
    for (std::size_t i = 0; i < count; ++i)
        ++histogram[pixels[i]].Count;
}

void MapPixelBuffer(std::uint8_t *pixels, std::size_t count, const TGIFColorMapping &mapping)
{
    for (std::size_t i = 0; i < count; ++i)
        pixels[i] = mapping[pixels[i]];
}

void TGIFItem::Warning(int severity, const std::string &message)
{
    if (FImage)
        FImage->Warning(this, severity, message);
}

void TGIFItem::SaveToFile(const QString &fileName)
{
    SaveStreamToFile(fileName, [this](TStream &stream) { SaveToStream(stream); });
}

void TGIFItem::LoadFromFile(const QString &fileName)
{
    TFileStream stream(fileName);
    LoadFromStream(stream);
}

}  // namespace gif
