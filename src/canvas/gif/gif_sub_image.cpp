#include "canvas/gif/gif_sub_image.h"

#include "canvas/gif/color_reduction.h"
#include "canvas/gif/dib.h"
#include "canvas/gif/encode_frame.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/gif/palettes.h"

#include <QPainter>

#include <algorithm>
#include <cstring>

namespace gif {

namespace {

constexpr std::uint8_t LocalTableFlag = 0x80;
constexpr std::uint8_t InterlaceFlag = 0x40;
constexpr std::uint8_t SortFlag = 0x20;
// What a frame without a table of its own keeps of its packed fields.
constexpr std::uint8_t KeptWithoutTable = 0x58;

// The progress of one operation: starting at once, ending on every way out, with 0 when an
// exception ends it.
class TProgressScope
{
public:
    TProgressScope(TGIFImage *image, const char *message) : FImage(image), FMessage(message)
    {
        if (FImage)
            FImage->Progress(TProgressStage::psStarting, 0, FMessage);
    }
    ~TProgressScope()
    {
        if (FImage)
            FImage->Progress(TProgressStage::psEnding, std::uncaught_exceptions() > FExceptions ? 0 : 100, FMessage);
    }
    void Running(int percent)
    {
        if (FImage)
            FImage->Progress(TProgressStage::psRunning, percent, FMessage);
    }

private:
    TGIFImage *FImage;
    const char *FMessage;
    int FExceptions = std::uncaught_exceptions();
};

// Recently seen colours of a true-colour picture and their indices, so runs of the same few
// colours skip the table search.
class TColorCache
{
public:
    int Find(TColor color) const
    {
        int i = FLast;
        do {
            if (FEntries[i].Index >= 0 && FEntries[i].Color == color)
                return FEntries[i].Index;
            i = (i + 7) & 7;
        } while (i != FLast);
        return -1;
    }
    void Store(TColor color, int index)
    {
        FLast = (FLast + 1) & 7;
        FEntries[FLast] = {color, index};
    }

private:
    struct TEntry
    {
        TColor Color = 0;
        int Index = -1;
    };
    TEntry FEntries[8];
    int FLast = 0;
};

}  // namespace

TGIFSubImage::TGIFSubImage(TGIFImage *image)
    : TGIFItem(image), FGIFImage(image), FColorMap(std::make_unique<TGIFLocalColorMap>(this)),
      FExtensions(std::make_unique<TGIFExtensionList>(this))
{
}

TGIFSubImage::~TGIFSubImage()
{
    // Extensions talk to their frame while they go, so they go first.
    FExtensions->Clear();
}

void TGIFSubImage::Clear()
{
    FExtensions->Clear();
    FColorMap->Clear();
    FData.clear();
    FData.shrink_to_fit();
    SetBounds(FLeft, FTop, 0, 0);
    FTransparent = false;
    FGraphicControlExtension = nullptr;
    FreeBitmap();
}

bool TGIFSubImage::Empty() const
{
    return FData.empty() || FWidth == 0 || FHeight == 0;
}

void TGIFSubImage::Changed()
{
    if (FGIFImage)
        FGIFImage->Changed(this);
}

void TGIFSubImage::CountPixels(TGIFHistogram &histogram)
{
    AddPixelsToHistogram(FData.data(), FData.size(), histogram);
    // The transparent entry stays even when no pixel uses it: renumbered onto a colour
    // that is shown, it would punch holes into the frame.
    if (TransparentIndex() >= 0)
        ++histogram[std::size_t(TransparentIndex())].Count;
}

void TGIFSubImage::MapPixels(const TGIFColorMapping &mapping)
{
    MapPixelBuffer(FData.data(), FData.size(), mapping);
    if (FTransparent && FGraphicControlExtension)
        FGraphicControlExtension->SetTransparentColorIndex(mapping[FGraphicControlExtension->TransparentColorIndex()]);
    FreeBitmap();
}

TGIFColorMap *TGIFSubImage::ActiveColorMap() const
{
    if (FColorMap->Count() > 0 || !FGIFImage)
        return FColorMap.get();
    if (FGIFImage->GlobalColorMap().Count() > 0)
        return &FGIFImage->GlobalColorMap();
    return FColorMap.get();
}

void TGIFSubImage::SetTransparentFlag(bool value)
{
    if (FTransparent != value)
        FreeBitmap();
    FTransparent = value;
}

int TGIFSubImage::TransparentIndex() const
{
    return FTransparent && FGraphicControlExtension ? FGraphicControlExtension->TransparentColorIndex() : -1;
}

int TGIFSubImage::Delay() const
{
    return FGraphicControlExtension ? FGraphicControlExtension->Delay() : 0;
}

int TGIFSubImage::Disposal() const
{
    return FGraphicControlExtension ? FGraphicControlExtension->Disposal() : 0;
}

int TGIFSubImage::GetVersion() const
{
    return (FColorMap->Optimized() || FExtensions->Count() > 0) ? gv89a : gv87a;
}

void TGIFSubImage::SetBounds(int left, int top, int width, int height)
{
    const bool sizeChanged = width != FWidth || height != FHeight;
    FLeft = std::clamp(left, 0, 0xFFFF);
    FTop = std::clamp(top, 0, 0xFFFF);
    FWidth = std::clamp(width, 0, 0xFFFF);
    FHeight = std::clamp(height, 0, 0xFFFF);
    if (sizeChanged) {
        FreeBitmap();
        NewImage();
    }
    if (!FGIFImage)
        return;
    bool warned = false;
    int screenWidth = FGIFImage->Width();
    int screenHeight = FGIFImage->Height();
    if (FLeft + FWidth > screenWidth) {
        if (screenWidth > 0) {
            Warning(1, "Image width too small for contained frames");
            warned = true;
        }
        screenWidth = FLeft + FWidth;
    }
    if (FTop + FHeight > screenHeight) {
        if (screenHeight > 0) {
            Warning(1, "Image height too small for contained frames");
            warned = true;
        }
        screenHeight = FTop + FHeight;
    }
    FGIFImage->SetScreenSize(screenWidth, screenHeight);
    if (warned)
        Warning(1, "Image exceeds Logical Screen size");
}

void TGIFSubImage::NewImage()
{
    FData.assign(std::size_t(FWidth) * std::size_t(FHeight), 0);
}

void TGIFSubImage::SetData(std::vector<std::uint8_t> data)
{
    FData = std::move(data);
    FData.resize(std::size_t(FWidth) * std::size_t(FHeight), 0);
    FreeBitmap();
}

std::uint8_t TGIFSubImage::Pixels(int x, int y)
{
    if (x < 0 || x >= FWidth)
        RaiseGIFError("Invalid pixel coordinates");
    return ScanLine(y)[x];
}

std::uint8_t *TGIFSubImage::ScanLine(int y)
{
    if (y < 0 || y >= FHeight)
        RaiseGIFError("Invalid pixel coordinates");
    if (FData.empty())
        NewImage();
    if (FData.empty())
        RaiseGIFError("Image is empty");
    return FData.data() + std::size_t(y) * std::size_t(FWidth);
}

// ---------------------------------------------------------------------------------------
// Copying

void TGIFSubImage::Assign(const TGIFPersistent *source)
{
    if (source == this)
        return;
    if (!source) {
        Clear();
        return;
    }
    if (const auto *frame = dynamic_cast<const TGIFSubImage *>(source)) {
        AssignFrame(*frame);
        return;
    }
    TGIFItem::Assign(source);
}

void TGIFSubImage::AssignFrame(const TGIFSubImage &source)
{
    Clear();
    if (!source.Empty()) {
        FLeft = source.FLeft;
        FTop = source.FTop;
        FWidth = source.FWidth;
        FHeight = source.FHeight;
        FPackedFields = source.FPackedFields;
        FTransparent = source.FTransparent;
        FData = source.FData;
        FColorMap->Assign(source.FColorMap.get());
    }
    // Extensions go with the frame even when it has no pixels: a comment or loop block at
    // the end of a file lives on such a frame.
    if (source.FExtensions->Count() > 0) {
        TMemoryStream stream;
        source.FExtensions->SaveToStream(stream);
        stream.SetPosition(0);
        FExtensions->LoadFromStream(stream);
    }
}

void TGIFSubImage::AssignBitmap(const QImage &bitmap)
{
    Clear();
    if (!bitmap.isNull() && bitmap.width() > 0 && bitmap.height() > 0)
        ConvertBitmap(bitmap);
}

void TGIFSubImage::ConvertBitmap(const QImage &bitmap)
{
    SetBounds(0, 0, bitmap.width(), FHeight);
    SetBounds(0, 0, FWidth, bitmap.height());

    TPixelFormat format = GetPixelFormat(bitmap);
    QImage source;
    if (format == pf1bit || format == pf8bit) {
        source = bitmap;
    } else {
        const int reduction = FGIFImage ? FGIFImage->ColorReduction : rmWebPalette;
        const int dither = FGIFImage ? FGIFImage->DitherMode : 0;
        const int bits = FGIFImage ? FGIFImage->ReductionBits : 8;
        source = ReduceBitmapColors(bitmap, reduction, dither, bits);
        if (source.isNull())
            RaiseGIFError("Invalid reduction method");
        format = GetPixelFormat(source);
    }
    FBitmap = source;
    FHasBitmap = true;

    NewImage();
    TProgressScope progress(FGIFImage, "Converting...");
    if (format != pf1bit && format != pf8bit && format != pf24bit)
        format = pf24bit;
    if (format == pf1bit && source.format() != QImage::Format_Mono)
        source = source.convertToFormat(QImage::Format_Mono);
    if (format == pf24bit && source.format() != QImage::Format_BGR888)
        source = source.convertToFormat(QImage::Format_BGR888);

    if (format == pf8bit)
        FColorMap->ImportDIBColors(source);
    else if (format == pf1bit)
        FColorMap->ImportPalette(ColorTableToPalette(source.colorTable()));
    TColorCache cache;
    for (int y = 0; y < FHeight; ++y) {
        if (y % 32 == 0)
            progress.Running(int(std::int64_t(y) * 100 / FHeight));
        const std::uint8_t *src = source.constScanLine(y);
        std::uint8_t *dst = FData.data() + std::size_t(y) * std::size_t(FWidth);
        switch (format) {
        case pf8bit:
            std::memcpy(dst, src, std::size_t(FWidth));
            break;
        case pf1bit:
            for (int x = 0; x < FWidth; ++x)
                dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        default:
            for (int x = 0; x < FWidth; ++x) {
                const std::uint8_t *p = src + 3 * x;
                const TColor color = RGBColor(p[2], p[1], p[0]);
                int index = cache.Find(color);
                if (index < 0) {
                    index = FColorMap->AddUnique(color);
                    cache.Store(color, index);
                }
                dst[x] = std::uint8_t(index);
            }
            break;
        }
    }
}

void TGIFSubImage::ApplyMask(const QImage &mask)
{
    FColorMap->Optimize();
    const int count = FColorMap->Count();
    if (count < 1 || count > 255)
        return;
    const int index = FColorMap->Add(RGBColor(0, 0, 0));
    bool any = false;
    for (int y = 0; y < FHeight && y < mask.height(); ++y) {
        std::uint8_t *row = FData.data() + std::size_t(y) * std::size_t(FWidth);
        for (int x = 0; x < FWidth && x < mask.width(); ++x)
            if (qAlpha(mask.pixel(x, y)) == 0) {
                row[x] = std::uint8_t(index);
                any = true;
            }
    }
    if (!any)
        return;
    auto *control = new TGIFGraphicControlExtension(this);
    FExtensions->Add(std::unique_ptr<TGIFExtension>(control));
    control->SetTransparentColorIndex(index);
    control->SetTransparent(true);
    FreeBitmap();
}

// ---------------------------------------------------------------------------------------
// Reading and writing

void TGIFSubImage::SaveToStream(TStream &stream)
{
    FExtensions->SaveToStream(stream);
    if (Empty())
        return;
    if (FColorMap->Count() > 0) {
        FPackedFields = LocalTableFlag;
        if (FColorMap->Optimized())
            FPackedFields |= SortFlag;
        FPackedFields |= std::uint8_t((FColorMap->BitsPerPixel() - 1) & 7);
    } else {
        FPackedFields &= KeptWithoutTable;
    }
    const std::uint8_t descriptor[10] = {bsImageSeparator,
                                         std::uint8_t(FLeft), std::uint8_t(FLeft >> 8),
                                         std::uint8_t(FTop), std::uint8_t(FTop >> 8),
                                         std::uint8_t(FWidth), std::uint8_t(FWidth >> 8),
                                         std::uint8_t(FHeight), std::uint8_t(FHeight >> 8),
                                         FPackedFields};
    stream.Write(descriptor, sizeof descriptor);
    FColorMap->SaveToStream(stream);
    const int bits = FGIFImage ? FGIFImage->BitsPerPixel() : BitsPerPixel();
    const int compression = FGIFImage ? FGIFImage->Compression : gcLZW;
    EncodeFrame(stream, *FColorMap, bits, compression, FData.data(), FWidth, FHeight,
                (FPackedFields & InterlaceFlag) != 0);
}

void TGIFSubImage::LoadFromStream(TStream &stream)
{
    Clear();
    FExtensions->LoadFromStream(stream);
    const int b = ReadByte(stream);
    if (b < 0)
        return;
    stream.Seek(-1, TSeekOrigin::soCurrent);
    if (b == bsTrailer || b == 0)
        return;

    std::uint8_t descriptor[10];
    ReadCheck(stream, descriptor, sizeof descriptor);
    FLeft = descriptor[1] | (descriptor[2] << 8);
    FTop = descriptor[3] | (descriptor[4] << 8);
    FWidth = descriptor[5] | (descriptor[6] << 8);
    FHeight = descriptor[7] | (descriptor[8] << 8);
    FPackedFields = descriptor[9];
    if (FWidth == 0 || FHeight == 0) {
        FWidth = FGIFImage ? FGIFImage->Width() : 0;
        FHeight = FGIFImage ? FGIFImage->Height() : 0;
        Warning(1, "Image exceeds Logical Screen size");
    }
    if (FPackedFields & LocalTableFlag) {
        const int colors = 2 << (FPackedFields & 7);
        if (colors < 2 || colors > 256)
            RaiseGIFError("Invalid number of colors specified in Image Descriptor");
        FColorMap->LoadFromStream(stream, colors);
    }
    const int transparent = TransparentIndex();
    // The decoder checks the frame's size against its limit before it allocates anything.
    DecodeFrame(stream, FWidth, FHeight, Interlaced(), std::uint8_t(std::max(transparent, 0)), FData,
                [this](int severity, const std::string &message) { Warning(severity, message); }, GIFMaxDecodePixels);
    if (GIFRenderOnLoad)
        Bitmap();
}

// ---------------------------------------------------------------------------------------
// Palette, rendering and drawing

TGIFPalette TGIFSubImage::GetPalette()
{
    if (FHasBitmap && !FBitmap.colorTable().isEmpty())
        return ColorTableToPalette(FBitmap.colorTable());
    if (FPalette.empty()) {
        if (FGIFImage && FGIFImage->DitheringOn())
            FPalette = CreateWebSafePalette();
        else if (FColorMap->Count() == 0)
            return FGIFImage ? FGIFImage->GetPalette() : TGIFPalette{};
        else
            FPalette = FColorMap->ExportPalette();
    }
    return FPalette;
}

void TGIFSubImage::SetPalette(const TGIFPalette &palette)
{
    if (palette == FPalette)
        return;
    FPalette = palette;
    if (FHasBitmap && ColorTableToPalette(FBitmap.colorTable()) != palette) {
        FreeBitmap();
        if (FGIFImage)
            FGIFImage->SetPaletteModified(true);
        Changed();
    }
}

void TGIFSubImage::FreeBitmap()
{
    FBitmap = QImage();
    FHasBitmap = false;
}

const QImage &TGIFSubImage::Bitmap()
{
    if (!FHasBitmap && !Empty())
        Render();
    return FBitmap;
}

void TGIFSubImage::Render()
{
    TProgressScope progress(FGIFImage, "Rendering...");
    TGIFPalette palette = GetPalette();
    QList<QRgb> table = PaletteToColorTable(palette);
    // Indices beyond the table (damaged files) show as black rather than as nothing.
    while (table.size() < 256)
        table.append(qRgb(0, 0, 0));
    QImage indexed(FWidth, FHeight, QImage::Format_Indexed8);
    if (indexed.isNull())
        RaiseGIFError("Image is too large to render");
    indexed.setColorTable(table);
    for (int y = 0; y < FHeight; ++y)
        std::memcpy(indexed.scanLine(y), FData.data() + std::size_t(y) * std::size_t(FWidth), std::size_t(FWidth));
    if (FGIFImage && FGIFImage->DitheringOn()) {
        // Through the colours, error-diffused onto the web cube.
        QImage colours = indexed.convertToFormat(QImage::Format_RGB32);
        indexed = ReduceBitmapColors(colours, rmWebPalette, 1, 8);
    } else {
        // The table the pixels are shown in is the frame's palette as it was.
        indexed.setColorTable(table);
    }
    FBitmap = indexed;
    FHasBitmap = true;
    if (FGIFImage && FGIFImage->PaletteModified())
        FGIFImage->Changed(this);
}

QImage TGIFSubImage::MaskedBitmap()
{
    // Exactly the pixels of the transparent index are left out, whatever colour they show.
    QImage masked = Bitmap().convertToFormat(QImage::Format_ARGB32);
    const int index = TransparentIndex();
    for (int y = 0; y < FHeight; ++y) {
        const std::uint8_t *src = FData.data() + std::size_t(y) * std::size_t(FWidth);
        auto *dst = reinterpret_cast<QRgb *>(masked.scanLine(y));
        for (int x = 0; x < FWidth; ++x)
            if (src[x] == index)
                dst[x] = 0;
    }
    return masked;
}

void TGIFSubImage::Draw(QPainter &painter, const QRect &rect, bool transparent, bool tile)
{
    if (Empty())
        return;
    const QImage picture = (transparent && FTransparent) ? MaskedBitmap() : Bitmap();
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(transparent && FTransparent ? QPainter::CompositionMode_SourceOver
                                                           : QPainter::CompositionMode_Source);
    const int screenWidth = FGIFImage && FGIFImage->Width() > 0 ? FGIFImage->Width() : FLeft + FWidth;
    const int screenHeight = FGIFImage && FGIFImage->Height() > 0 ? FGIFImage->Height() : FTop + FHeight;
    if (!tile) {
        const int left = rect.left() + MulDiv(FLeft, rect.width(), screenWidth);
        const int top = rect.top() + MulDiv(FTop, rect.height(), screenHeight);
        const int right = rect.left() + MulDiv(FLeft + FWidth, rect.width(), screenWidth);
        const int bottom = rect.top() + MulDiv(FTop + FHeight, rect.height(), screenHeight);
        painter.drawImage(QRect(left, top, right - left, bottom - top), picture);
    } else {
        const int right = rect.left() + rect.width();
        const int bottom = rect.top() + rect.height();
        for (int y = rect.top() + FTop; y < bottom; y += screenHeight)
            for (int x = rect.left() + FLeft; x < right; x += screenWidth)
                painter.drawImage(QPoint(x, y), picture);
    }
    painter.setCompositionMode(mode);
}

}  // namespace gif
