#include "canvas/gif/gif_header.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"

#include <cctype>

namespace gif {

namespace {
constexpr std::uint8_t GlobalTableFlag = 0x80;
constexpr std::uint8_t SortFlag = 0x08;

bool IsGIFSignature(const std::uint8_t *s)
{
    return std::toupper(s[0]) == 'G' && std::toupper(s[1]) == 'I' && std::toupper(s[2]) == 'F';
}
}  // namespace

TGIFHeader::TGIFHeader(IGIFImage *image)
    : TGIFItem(image), FColorMap(std::make_unique<TGIFGlobalColorMap>(this))
{
    Clear();
}

void TGIFHeader::Clear()
{
    FColorMap->Clear();
    FWidth = 0;
    FHeight = 0;
    FPackedFields = 0;
    FBackgroundColorIndex = 0;
    FAspectRatio = 0;
}

void TGIFHeader::Assign(const TGIFPersistent *source)
{
    if (const auto *header = dynamic_cast<const TGIFHeader *>(source)) {
        if (header == this)
            return;
        FColorMap->Assign(header->FColorMap.get());
        FWidth = header->FWidth;
        FHeight = header->FHeight;
        FPackedFields = header->FPackedFields;
        FBackgroundColorIndex = header->FBackgroundColorIndex;
        FAspectRatio = header->FAspectRatio;
    } else if (const auto *map = dynamic_cast<const TGIFColorMap *>(source)) {
        Clear();
        FColorMap->Assign(map);
    } else {
        TGIFItem::Assign(source);
    }
}

int TGIFHeader::GetVersion() const
{
    return (FColorMap->Optimized() || FAspectRatio != 0) ? gv89a : gv87a;
}

void TGIFHeader::Prepare()
{
    std::uint8_t packed = 0;
    IGIFImage *image = Image();
    if (FColorMap->Count() > 0) {
        packed |= GlobalTableFlag;
        if (FColorMap->Optimized())
            packed |= SortFlag;
        // The size field names the table that is written, whatever the frames need.
        packed |= std::uint8_t((FColorMap->BitsPerPixel() - 1) & 7);
    } else if (image) {
        // Without a table readers ignore the field; it keeps the image's depth, as files
        // written before carry it.
        packed |= std::uint8_t((image->BitsPerPixel() - 1) & 7);
    }
    if (image)
        packed |= std::uint8_t((image->ColorResolution() & 7) << 4);
    FPackedFields = packed;
}

void TGIFHeader::SaveToStream(TStream &stream)
{
    const int version = Image() ? Image()->Version() : gvUnknown;
    if (version != gv87a && version != gv89a)
        RaiseGIFError("Unsupported GIF version");
    Prepare();

    const char *signature = version == gv87a ? "GIF87a" : "GIF89a";
    stream.Write(signature, 6);
    const std::uint8_t descriptor[7] = {std::uint8_t(FWidth), std::uint8_t(FWidth >> 8),
                                        std::uint8_t(FHeight), std::uint8_t(FHeight >> 8),
                                        FPackedFields, FBackgroundColorIndex, FAspectRatio};
    stream.Write(descriptor, sizeof descriptor);
    if (FPackedFields & GlobalTableFlag)
        FColorMap->SaveToStream(stream);
}

void TGIFHeader::LoadFromStream(TStream &stream)
{
    const std::int64_t start = stream.Position();
    std::uint8_t signature[6];
    ReadCheck(stream, signature, sizeof signature);
    if (!IsGIFSignature(signature)) {
        // Some containers put a 4-byte length in front of the picture.
        stream.Seek(start + 4, TSeekOrigin::soBeginning);
        ReadCheck(stream, signature, sizeof signature);
        if (!IsGIFSignature(signature))
            RaiseGIFError("Invalid GIF signature");
    }
    std::uint8_t descriptor[7];
    ReadCheck(stream, descriptor, sizeof descriptor);
    FWidth = std::uint16_t(descriptor[0] | (descriptor[1] << 8));
    FHeight = std::uint16_t(descriptor[2] | (descriptor[3] << 8));
    FPackedFields = descriptor[4];
    FBackgroundColorIndex = descriptor[5];
    FAspectRatio = descriptor[6];
    if (FPackedFields & GlobalTableFlag)
        FColorMap->LoadFromStream(stream, 2 << (FPackedFields & 7));
    else
        FColorMap->Clear();
}

}  // namespace gif
