#pragma once
// TGIFList: an ordered list of GIF blocks that owns them (the frames of an image, the
// extensions of a frame).
#include "canvas/gif/gif_item.h"

#include <memory>
#include <vector>

namespace gif {

class TGIFList : public TGIFPersistent
{
public:
    explicit TGIFList(IGIFImage *image) : FImage(image) {}
    ~TGIFList() override { Clear(); }

    IGIFImage *Image() const { return FImage; }
    TGIFItem *Items(int index) const { return FItems.at(std::size_t(index)).get(); }
    int Count() const { return int(FItems.size()); }
    // Takes the item over; answers its index.
    int Add(std::unique_ptr<TGIFItem> item);
    void Delete(int index);
    void Clear();
    int IndexOf(const TGIFItem *item) const;

    virtual void Warning(int severity, const std::string &message);
    virtual void SaveToStream(TStream &stream);
    virtual void LoadFromStream(TStream &stream) = 0;

private:
    std::vector<std::unique_ptr<TGIFItem>> FItems;
    IGIFImage *FImage;  // not owned
};

}  // namespace gif
