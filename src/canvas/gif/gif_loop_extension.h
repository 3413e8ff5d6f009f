#pragma once
// TGIFAppExtNSLoop: the application extension that tells how often an animation repeats.
#include "canvas/gif/gif_app_extension.h"

namespace gif {

class TGIFAppExtNSLoop : public TGIFApplicationExtension
{
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage *frame);

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFAppExtNSLoop"; }

    std::uint16_t Loops = 0;       // 0: without end
    std::uint32_t BufferSize = 0;  // 0: none

protected:
    void SaveData(TStream &stream) override;
    void LoadData(TStream &stream) override;
};

}  // namespace gif
