#pragma once
// TGIFImageList: the frames of a GIF picture in file order; TGIFTrailer: the byte that ends
// the file.
#include "canvas/gif/gif_list.h"

namespace gif {

class TGIFImage;
class TGIFSubImage;

class TGIFImageList : public TGIFList
{
public:
    explicit TGIFImageList(TGIFImage *image);

    std::string ClassName() const override { return "TGIFImageList"; }
    TGIFSubImage *Frames(int index) const;

    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

private:
    TGIFImage *FGIFImage;  // not owned
};

class TGIFTrailer : public TGIFItem
{
public:
    explicit TGIFTrailer(IGIFImage *image) : TGIFItem(image) {}
    std::string ClassName() const override { return "TGIFTrailer"; }
    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;
};

}  // namespace gif
