#include "canvas/gif/gif_app_extension.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"

#include <cstring>

namespace gif {

namespace {

std::unique_ptr<TGIFExtension> CreateApplication(TGIFSubImage *frame)
{
    return std::make_unique<TGIFApplicationExtension>(frame);
}

std::unique_ptr<TGIFExtension> CreateUnknown(TGIFSubImage *frame)
{
    return std::make_unique<TGIFUnknownAppExtension>(frame);
}

// Whether count bytes follow the stream's position.
bool Readable(TStream &stream, std::int64_t count)
{
    return stream.Remaining() >= count;
}

const TGIFExtensionClass *FindApplication(const TGIFExtensionClass &self, TStream &stream)
{
    const std::int64_t start = stream.Position();
    const int size = ReadByte(stream);
    if (size < 0)
        return nullptr;
    if (size == 10)
        return Readable(stream, 10) ? &TGIFUnknownAppExtension::ClassInfo() : nullptr;
    if (size == 11 && Readable(stream, 11)) {
        TGIFApplicationIdent ident{};
        ReadCheck(stream, ident.data(), ident.size());
        const TGIFExtensionClass *found = AppExtensionRegistry().Find(ident);
        return found ? found : &TGIFUnknownAppExtension::ClassInfo();
    }
    // A longer identifier block is kept whole by the class that keeps what it does not know.
    if (size > 11 && Readable(stream, size))
        return &TGIFUnknownAppExtension::ClassInfo();
    stream.SetPosition(start);
    return &self;
}

}  // namespace

const TGIFExtensionClass &TGIFApplicationExtension::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFApplicationExtension", &CreateApplication, &FindApplication};
    return info;
}

const TGIFExtensionClass &TGIFUnknownAppExtension::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFUnknownAppExtension", &CreateUnknown, &FindApplication};
    return info;
}

void TGIFApplicationExtension::SaveToStream(TStream &stream)
{
    TGIFExtension::SaveToStream(stream);
    WriteByte(stream, FBlockSize);
    stream.Write(Ident.data(), std::min<std::size_t>(FBlockSize, Ident.size()));
    if (!FExtraIdent.empty())
        stream.Write(FExtraIdent.data(), FExtraIdent.size());
    SaveData(stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream &stream)
{
    TGIFExtension::LoadFromStream(stream);
    const int size = ReadByte(stream);
    if (size < 0)
        RaiseGIFError("Premature end of data");
    if (size < 10)
        RaiseGIFError("Unsupported Application Extension block size");
    FBlockSize = std::uint8_t(size);
    Ident.fill(0);
    ReadCheck(stream, Ident.data(), std::min<std::size_t>(std::size_t(size), Ident.size()));
    FExtraIdent.assign(std::size_t(std::max(size - 11, 0)), 0);
    if (!FExtraIdent.empty())
        ReadCheck(stream, FExtraIdent.data(), FExtraIdent.size());
    LoadData(stream);
}

void TGIFApplicationExtension::SaveData(TStream &) {}
void TGIFApplicationExtension::LoadData(TStream &) {}

void TGIFBlock::SaveToStream(TStream &stream) const
{
    WriteByte(stream, std::uint8_t(FData.size()));
    stream.Write(FData.data(), FData.size());
}

void TGIFBlock::LoadFromStream(TStream &stream)
{
    ReadCheck(stream, FData.data(), FData.size());
}

void TGIFUnknownAppExtension::SaveData(TStream &stream)
{
    for (const auto &block : Blocks)
        block->SaveToStream(stream);
    WriteByte(stream, 0);
}

void TGIFUnknownAppExtension::LoadData(TStream &stream)
{
    Blocks.clear();
    for (;;) {
        const int size = ReadByte(stream);
        if (size <= 0)
            break;
        auto block = std::make_unique<TGIFBlock>(size);
        block->LoadFromStream(stream);
        Blocks.push_back(std::move(block));
    }
}

}  // namespace gif
