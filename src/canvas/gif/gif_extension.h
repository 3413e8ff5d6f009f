#pragma once
// TGIFExtension: the base of the extension blocks that precede a frame (graphic control,
// plain text, comment, application), and TGIFExtensionClass, which stands for a class when
// a block's label picks the class that reads it.
#include "canvas/gif/gif_item.h"

#include <cstdint>
#include <memory>

namespace gif {

class TGIFSubImage;
class TGIFExtension;

inline constexpr std::uint8_t bsExtensionIntroducer = 0x21;
inline constexpr std::uint8_t bsImageSeparator = 0x2C;
inline constexpr std::uint8_t bsTrailer = 0x3B;

struct TGIFExtensionClass
{
    const char *Name;
    std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage *frame);
    // With the stream just after the block's size byte's predecessor (the label), answers
    // the class that should read the block: the class itself, another one, or null for none.
    const TGIFExtensionClass *(*FindExtension)(const TGIFExtensionClass &self, TStream &stream);
};

// The answer of classes that read every block of their label themselves.
const TGIFExtensionClass *FindExtensionSelf(const TGIFExtensionClass &self, TStream &stream);

class TGIFExtension : public TGIFItem
{
public:
    explicit TGIFExtension(TGIFSubImage *frame);

    TGIFSubImage *Frame() const { return FFrame; }
    int GetVersion() const override { return gv89a; }
    virtual std::uint8_t GetExtensionType() const = 0;
    virtual const TGIFExtensionClass &Class() const = 0;

    // Introducer and label; the derived classes write and read their blocks after them.
    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    // The class that reads the extension block at the stream's position (just after its
    // introducer), or null; the stream is left where it was.
    static const TGIFExtensionClass *FindExtensionClass(TStream &stream);

private:
    TGIFSubImage *FFrame;  // not owned
};

}  // namespace gif
