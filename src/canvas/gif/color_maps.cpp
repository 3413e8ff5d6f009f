#include "canvas/gif/gif_header.h"
#include "canvas/gif/global_color_map.h"
#include "canvas/gif/local_color_map.h"

namespace gif {

IGIFImage *TGIFGlobalColorMap::Image() const
{
    return FHeader ? FHeader->Image() : nullptr;
}

void TGIFGlobalColorMap::Warning(int severity, const std::string &message)
{
    if (IGIFImage *image = Image())
        image->Warning(this, severity, message);
}

void TGIFGlobalColorMap::BuildHistogram(TGIFHistogram &histogram)
{
    for (int i = 0; i < Count(); ++i)
        histogram[std::size_t(i)] = {0, std::uint32_t(i)};
    if (IGIFImage *image = Image())
        image->CountColorMapPixels(*this, histogram);
}

void TGIFGlobalColorMap::MapImages(const TGIFColorMapping &mapping)
{
    if (IGIFImage *image = Image())
        image->MapColorMapPixels(*this, mapping);
}

bool TGIFGlobalColorMap::Optimize()
{
    IGIFImage *image = Image();
    if (!image || image->FrameCount() == 0)
        return false;
    return DoOptimize();
}

void TGIFGlobalColorMap::Changed()
{
    if (IGIFImage *image = Image())
        image->Changed(this);
}

void TGIFLocalColorMap::Warning(int severity, const std::string &message)
{
    if (FFrame && FFrame->Image())
        FFrame->Image()->Warning(this, severity, message);
}

void TGIFLocalColorMap::BuildHistogram(TGIFHistogram &histogram)
{
    for (int i = 0; i < Count(); ++i)
        histogram[std::size_t(i)] = {0, std::uint32_t(i)};
    if (FFrame)
        FFrame->CountPixels(histogram);
}

void TGIFLocalColorMap::MapImages(const TGIFColorMapping &mapping)
{
    if (FFrame)
        FFrame->MapPixels(mapping);
}

bool TGIFLocalColorMap::Optimize()
{
    return DoOptimize();
}

void TGIFLocalColorMap::Changed()
{
    if (FFrame)
        FFrame->Changed();
}

}  // namespace gif
