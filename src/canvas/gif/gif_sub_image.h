#pragma once
// TGIFSubImage: one frame of a GIF picture: its image descriptor, its own colour table, its
// pixels as one colour index per byte, the extensions that precede it, and the bitmap
// rendered from them.
#include "canvas/gif/gif_extension_list.h"
#include "canvas/gif/gif_item.h"
#include "canvas/gif/local_color_map.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace gif {

class TGIFImage;
class TGIFColorMap;
class TGIFGraphicControlExtension;

class TGIFSubImage : public TGIFItem, public IGIFFrame
{
public:
    explicit TGIFSubImage(TGIFImage *image);
    ~TGIFSubImage() override;

    std::string ClassName() const override { return "TGIFSubImage"; }
    // Another frame, a QImage (through TGIFBitmapSource) or nothing (clears).
    void Assign(const TGIFPersistent *source) override;
    void AssignBitmap(const QImage &bitmap);
    // Pixels that are fully transparent in mask take a new black entry as the frame's
    // transparent colour; a full or empty table leaves the frame opaque.
    void ApplyMask(const QImage &mask);
    int GetVersion() const override;
    void SaveToStream(TStream &stream) override;
    void LoadFromStream(TStream &stream) override;

    // IGIFFrame
    IGIFImage *Image() const override { return TGIFItem::Image(); }
    void Changed() override;
    void CountPixels(TGIFHistogram &histogram) override;
    void MapPixels(const TGIFColorMapping &mapping) override;

    TGIFImage *GIFImage() const { return FGIFImage; }
    void Clear();
    bool Empty() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    void SetBounds(int left, int top, int width, int height);
    QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }

    bool Interlaced() const { return (FPackedFields & 0x40) != 0; }
    std::uint8_t PackedFields() const { return FPackedFields; }
    void SetPackedFields(std::uint8_t value) { FPackedFields = value; }

    TGIFLocalColorMap &ColorMap() { return *FColorMap; }
    const TGIFLocalColorMap &ColorMap() const { return *FColorMap; }
    // The local table, or the image's global one when the local one is empty.
    TGIFColorMap *ActiveColorMap() const;
    int BitsPerPixel() const { return FColorMap->BitsPerPixel(); }

    TGIFExtensionList &Extensions() { return *FExtensions; }
    const TGIFExtensionList &Extensions() const { return *FExtensions; }
    TGIFGraphicControlExtension *GraphicControlExtension() const { return FGraphicControlExtension; }
    void SetGraphicControlExtension(TGIFGraphicControlExtension *extension) { FGraphicControlExtension = extension; }
    bool Transparent() const { return FTransparent; }
    void SetTransparentFlag(bool value);
    // The transparent index of a transparent frame, else -1.
    int TransparentIndex() const;
    // The frame's delay in the format's units (0 without a graphic control extension).
    int Delay() const;
    // The disposal method (0 without a graphic control extension).
    int Disposal() const;

    std::uint8_t Pixels(int x, int y);
    std::uint8_t *ScanLine(int y);
    std::uint8_t *Data() { return FData.empty() ? nullptr : FData.data(); }
    const std::uint8_t *Data() const { return FData.empty() ? nullptr : FData.data(); }
    std::size_t DataSize() const { return FData.size(); }
    void NewImage();
    // Takes over pixels of exactly Width x Height indices (decoding, cropping).
    void SetData(std::vector<std::uint8_t> data);

    // The rendered pixels: an 8-bit image whose colour table is the frame's palette.
    const QImage &Bitmap();
    void FreeBitmap();
    TGIFPalette GetPalette();
    void SetPalette(const TGIFPalette &palette);
    void Draw(QPainter &painter, const QRect &rect, bool transparent, bool tile);

    // Cuts a transparent frame down to the pixels that show; clears it when none does.
    void Crop();
    // Makes the pixels that repeat the previous frame transparent.
    void Merge(TGIFSubImage &previous);

private:
    void ConvertBitmap(const QImage &bitmap);
    void AssignFrame(const TGIFSubImage &source);
    void Render();
    QImage MaskedBitmap();

    TGIFImage *FGIFImage;  // not owned
    QImage FBitmap;
    bool FHasBitmap = false;
    TGIFPalette FPalette;
    std::vector<std::uint8_t> FData;
    std::unique_ptr<TGIFLocalColorMap> FColorMap;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    std::uint8_t FPackedFields = 0;
    std::unique_ptr<TGIFExtensionList> FExtensions;
    bool FTransparent = false;
    TGIFGraphicControlExtension *FGraphicControlExtension = nullptr;  // held in FExtensions
};

}  // namespace gif
