#pragma once
// TGIFExtensionList: the extensions in front of one frame, owned, in file order.
#include "canvas/gif/gif_extension.h"
#include "canvas/gif/gif_list.h"

namespace gif {

class TGIFExtensionList : public TGIFList
{
public:
    explicit TGIFExtensionList(TGIFSubImage *frame);

    std::string ClassName() const override { return "TGIFExtensionList"; }
    TGIFExtension *Extensions(int index) const { return static_cast<TGIFExtension *>(Items(index)); }
    int Add(std::unique_ptr<TGIFExtension> extension) { return TGIFList::Add(std::move(extension)); }

    // Reads the run of extensions up to the next image separator or trailer and leaves the
    // stream on that byte.
    void LoadFromStream(TStream &stream) override;

private:
    TGIFSubImage *FFrame;  // not owned
};

}  // namespace gif
