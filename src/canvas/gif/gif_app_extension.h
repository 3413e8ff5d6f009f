#pragma once
// TGIFApplicationExtension: an application's private block, named by an 8-byte identifier
// and a 3-byte authentication code; TGIFUnknownAppExtension keeps the data of applications
// this program does not know, so that they are written back as they were read.
#include "canvas/gif/gif_extension.h"
#include "canvas/gif/gif_extension_registry.h"

#include <memory>
#include <vector>

namespace gif {

class TGIFApplicationExtension : public TGIFExtension
{
public:
    explicit TGIFApplicationExtension(TGIFSubImage *frame) : TGIFExtension(frame) {}

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFApplicationExtension"; }
    std::uint8_t GetExtensionType() const override { return 0xFF; }

    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    TGIFApplicationIdent Ident{};

protected:
    // The data sub-blocks after the identifier; this class has none of its own.
    virtual void SaveData(TStream &stream);
    virtual void LoadData(TStream &stream);

    // The identifier block as read: 11 bytes normally; a shorter or longer one of an
    // unknown application is written back with its own length.
    std::uint8_t FBlockSize = 11;
    std::vector<std::uint8_t> FExtraIdent;
};

// One data sub-block: 1..255 bytes.
class TGIFBlock
{
public:
    explicit TGIFBlock(int size) : FData(std::size_t(size), 0) {}
    int Size() const { return int(FData.size()); }
    std::uint8_t *Data() { return FData.data(); }
    void SaveToStream(TStream &stream) const;
    void LoadFromStream(TStream &stream);

private:
    std::vector<std::uint8_t> FData;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension
{
public:
    explicit TGIFUnknownAppExtension(TGIFSubImage *frame) : TGIFApplicationExtension(frame) {}

    static const TGIFExtensionClass &ClassInfo();
    const TGIFExtensionClass &Class() const override { return ClassInfo(); }
    std::string ClassName() const override { return "TGIFUnknownAppExtension"; }

    std::vector<std::unique_ptr<TGIFBlock>> Blocks;

protected:
    void SaveData(TStream &stream) override;
    void LoadData(TStream &stream) override;
};

}  // namespace gif
