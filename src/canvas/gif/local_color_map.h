#pragma once
// TGIFLocalColorMap: the colour table of one frame.
#include "canvas/gif/color_map.h"

namespace gif {

class TGIFLocalColorMap : public TGIFColorMap
{
public:
    explicit TGIFLocalColorMap(IGIFFrame *frame) : FFrame(frame) {}

    std::string ClassName() const override { return "TGIFLocalColorMap"; }
    IGIFFrame *Frame() const { return FFrame; }

    void Warning(int severity, const std::string &message) override;
    void BuildHistogram(TGIFHistogram &histogram) override;
    void MapImages(const TGIFColorMapping &mapping) override;
    bool Optimize() override;
    void Changed() override;

private:
    IGIFFrame *FFrame;  // not owned
};

}  // namespace gif
