#pragma once
// TGIFItem: the base of every block of a GIF file (header, frame, extension, trailer): it
// knows the image that holds it and reads and writes itself on a stream.
#include "canvas/gif/gif_image_hooks.h"
#include "canvas/gif/gif_persistent.h"
#include "canvas/gif/gif_types.h"
#include "canvas/gif/stream.h"

#include <QString>

namespace gif {

class TGIFItem : public TGIFPersistent
{
public:
    explicit TGIFItem(IGIFImage *image) : FImage(image) {}

    IGIFImage *Image() const { return FImage; }

    // The oldest format able to store the item.
    virtual int GetVersion() const { return gv87a; }
    virtual void Warning(int severity, const std::string &message);
    virtual void SaveToStream(TStream &stream) = 0;
    virtual void LoadFromStream(TStream &stream) = 0;
    // A saved file replaces the old one only when it was written whole.
    virtual void SaveToFile(const QString &fileName);
    virtual void LoadFromFile(const QString &fileName);

private:
    IGIFImage *FImage;  // not owned
};

}  // namespace gif
