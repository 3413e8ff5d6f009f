#pragma once
// TGIFGlobalColorMap: the colour table of a GIF file's header, shared by every frame that
// has no table of its own.
#include "canvas/gif/color_map.h"

namespace gif {

class TGIFHeader;

class TGIFGlobalColorMap : public TGIFColorMap
{
public:
    explicit TGIFGlobalColorMap(TGIFHeader *header) : FHeader(header) {}

    std::string ClassName() const override { return "TGIFGlobalColorMap"; }
    TGIFHeader *Header() const { return FHeader; }

    void Warning(int severity, const std::string &message) override;
    void BuildHistogram(TGIFHistogram &histogram) override;
    void MapImages(const TGIFColorMapping &mapping) override;
    bool Optimize() override;
    void Changed() override;

private:
    IGIFImage *Image() const;
    TGIFHeader *FHeader;  // not owned
};

}  // namespace gif
