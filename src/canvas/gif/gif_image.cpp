#include "canvas/gif/gif_image.h"

#include "canvas/gif/color_reduction.h"
#include "canvas/gif/file_stream.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_painter.h"
#include "canvas/gif/lzw_decoder.h"
#include "canvas/gif/gif_sub_image.h"
#include "canvas/gif/palettes.h"
#include "platform/picture_formats.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include <tuple>

namespace gif {

namespace {

[[maybe_unused]] const bool Registered =
    TPictureFormats::Register({QStringLiteral("GIF"), QStringLiteral("GIF Image"), QStringLiteral("TGIFImage"),
                               QStringLiteral("GIF Files"), 1});

}  // namespace

std::uint64_t GIFMaxDecodePixels = DefaultMaxDecodePixels;
bool GIFRenderOnLoad = false;
bool GIFOptimizeOnSave = false;

TGIFImageDefaults &GIFImageDefaults()
{
    static TGIFImageDefaults defaults;
    return defaults;
}

bool GIFPaletteDevice()
{
    // Measured once: the display does not change its depth under a running program.
    static const bool paletteDevice = [] {
        const QScreen *screen = qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                                    ? QGuiApplication::primaryScreen()
                                    : nullptr;
        return screen && screen->depth() < 9;
    }();
    return paletteDevice;
}

TGIFImage::TGIFImage()
    : FImages(std::make_unique<TGIFImageList>(this)), FHeader(std::make_unique<TGIFHeader>(this))
{
    const TGIFImageDefaults &defaults = GIFImageDefaults();
    DrawOptions = defaults.DrawOptions;
    ColorReduction = defaults.ColorReduction;
    ReductionBits = defaults.ReductionBits;
    DitherMode = defaults.DitherMode;
    Compression = defaults.Compression;
    ThreadPriority = defaults.ThreadPriority;
    AnimationSpeed = defaults.AnimationSpeed;
    Clear();
}

TGIFImage::~TGIFImage()
{
    *FAlive = false;
    StopPainters();
    {
        // Painters still winding down no longer touch this image, and are freed from the
        // event loop: the image may go inside one of their own event handlers.
        std::lock_guard lock(FPainterLock);
        for (auto it = FPainters.rbegin(); it != FPainters.rend(); ++it)
            (*it)->DetachImage();
        FPainters.clear();
        FDrawPainter = nullptr;
        while (!FOwnedPainters.empty())
            ReleasePainter(FOwnedPainters.back().get());
    }
    OnWarning = nullptr;
    OnProgress = nullptr;
    OnChange = nullptr;
    Clear();
}

// ---------------------------------------------------------------------------------------
// What the blocks ask of their image

void TGIFImage::Warning(const TGIFPersistent *, int severity, const std::string &message)
{
    if (OnWarning)
        OnWarning(severity, message);
}

void TGIFImage::Changed(const TGIFPersistent *)
{
    if (OnChange)
        OnChange();
}

void TGIFImage::Progress(TProgressStage stage, int percent, const std::string &message)
{
    if (OnProgress)
        OnProgress(stage, percent, message);
}

int TGIFImage::Version() const
{
    int version = gvUnknown;
    for (int i = 0; i < FImages->Count(); ++i) {
        version = std::max(version, Frame(i)->GetVersion());
        if (version >= gv89a)
            break;
    }
    return version;
}

int TGIFImage::ColorResolution() const
{
    int result = FHeader->ColorResolution();
    for (int i = 0; i < FImages->Count(); ++i)
        result = std::max(result, Frame(i)->BitsPerPixel() - 1);
    return result;
}

int TGIFImage::BitsPerPixel() const
{
    int result = FHeader->BitsPerPixel();
    for (int i = 0; i < FImages->Count(); ++i)
        result = std::max(result, Frame(i)->BitsPerPixel());
    return result;
}

void TGIFImage::CountColorMapPixels(const TGIFColorMap &map, TGIFHistogram &histogram)
{
    // The background colour is in use even where no pixel shows it: readers paint it.
    if (&map == &FHeader->ColorMap() && FHeader->BackgroundColorIndex() < map.Count())
        ++histogram[FHeader->BackgroundColorIndex()].Count;
    for (int i = 0; i < FImages->Count(); ++i)
        if (Frame(i)->ActiveColorMap() == &map)
            Frame(i)->CountPixels(histogram);
}

void TGIFImage::MapColorMapPixels(const TGIFColorMap &map, const TGIFColorMapping &mapping)
{
    if (&map == &FHeader->ColorMap() && FHeader->BackgroundColorIndex() < map.Count())
        FHeader->SetBackgroundColorIndex(mapping[FHeader->BackgroundColorIndex()]);
    for (int i = 0; i < FImages->Count(); ++i)
        if (Frame(i)->ActiveColorMap() == &map)
            Frame(i)->MapPixels(mapping);
}

// ---------------------------------------------------------------------------------------
// Frames and size

void TGIFImage::Clear()
{
    StopPainters();
    FreeBitmap();
    FImages->Clear();
    FHeader->ColorMap().Clear();
    FHeader->SetWidth(0);
    FHeader->SetHeight(0);
    FHeader->Prepare();
    FGlobalPalette.clear();
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame)
{
    const int index = FImages->Add(std::move(frame));
    FreeBitmap();
    Changed(this);
    return index;
}

int TGIFImage::Add(const QImage &bitmap)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->AssignBitmap(bitmap);
    return Add(std::move(frame));
}

void TGIFImage::SetScreenSize(int width, int height)
{
    FHeader->SetWidth(std::uint16_t(std::clamp(width, 0, 0xFFFF)));
    FHeader->SetHeight(std::uint16_t(std::clamp(height, 0, 0xFFFF)));
}

void TGIFImage::SetWidth(int value)
{
    for (int i = 0; i < FImages->Count(); ++i)
        if (Frame(i)->Left() + Frame(i)->Width() > value)
            RaiseGIFError("Image width too small for contained frames");
    if (value == Width())
        return;
    FHeader->SetWidth(std::uint16_t(std::clamp(value, 0, 0xFFFF)));
    FreeBitmap();
    Changed(this);
}

void TGIFImage::SetHeight(int value)
{
    for (int i = 0; i < FImages->Count(); ++i)
        if (Frame(i)->Top() + Frame(i)->Height() > value)
            RaiseGIFError("Image height too small for contained frames");
    if (value == Height())
        return;
    FHeader->SetHeight(std::uint16_t(std::clamp(value, 0, 0xFFFF)));
    FreeBitmap();
    Changed(this);
}

// ---------------------------------------------------------------------------------------
// Copying

void TGIFImage::Replace(const std::function<void()> &fill)
{
    StopPainters();
    FreeBitmap();
    // The old content stays whole until the new one is complete; a source that is part of
    // this image stays readable meanwhile.
    std::unique_ptr<TGIFImageList> images = std::exchange(FImages, std::make_unique<TGIFImageList>(this));
    std::unique_ptr<TGIFHeader> header = std::exchange(FHeader, std::make_unique<TGIFHeader>(this));
    const TGIFPalette palette = std::exchange(FGlobalPalette, TGIFPalette());
    const auto settings = std::tuple(ThreadPriority, BackgroundDrawColor, DrawOptions, ColorReduction, DitherMode);
    const auto handlers = std::pair(OnProgress, OnWarning);
    try {
        Clear();
        fill();
    } catch (...) {
        StopPainters();
        FImages = std::move(images);
        FHeader = std::move(header);
        FGlobalPalette = palette;
        std::tie(ThreadPriority, BackgroundDrawColor, DrawOptions, ColorReduction, DitherMode) = settings;
        std::tie(OnProgress, OnWarning) = handlers;
        Changed(this);
        throw;
    }
}

void TGIFImage::Assign(const TGIFPersistent *source)
{
    if (source == this)
        return;
    if (!source) {
        Clear();
        return;
    }
    if (const auto *frame = dynamic_cast<const TGIFSubImage *>(source)) {
        Replace([&] {
            auto copy = std::make_unique<TGIFSubImage>(this);
            copy->Assign(frame);
            Add(std::move(copy));
        });
        return;
    }
    const auto *other = dynamic_cast<const TGIFImage *>(source);
    if (!other) {
        TGIFPersistent::Assign(source);
        return;
    }
    Replace([&] {
        // The source's handlers hear about the copy while it is made, and only then.
        OnProgress = other->OnProgress;
        OnWarning = other->OnWarning;
        struct TDropHandlers
        {
            TGIFImage &Image;
            ~TDropHandlers()
            {
                Image.OnProgress = nullptr;
                Image.OnWarning = nullptr;
            }
        } drop{*this};
        Progress(TProgressStage::psStarting, 0, "Copying...");
        try {
            FHeader->Assign(other->FHeader.get());
            ThreadPriority = other->ThreadPriority;
            BackgroundDrawColor = other->BackgroundDrawColor;
            DrawOptions = other->DrawOptions;
            ColorReduction = other->ColorReduction;
            DitherMode = other->DitherMode;
            const int count = other->FImages->Count();
            for (int i = 0; i < count; ++i) {
                auto copy = std::make_unique<TGIFSubImage>(this);
                copy->Assign(other->Frame(i));
                Add(std::move(copy));
                Progress(TProgressStage::psRunning, MulDiv(i + 1, 100, count), "Copying...");
            }
        } catch (...) {
            Progress(TProgressStage::psEnding, 0, "Copying...");
            throw;
        }
        Progress(TProgressStage::psEnding, 100, "Copying...");
    });
}

void TGIFImage::AssignBitmap(const QImage &bitmap)
{
    Replace([&] {
        if (bitmap.isNull())
            return;
        auto frame = std::make_unique<TGIFSubImage>(this);
        TGIFSubImage *f = frame.get();
        Add(std::move(frame));
        f->AssignBitmap(bitmap);
        FreeBitmap();
    });
}

void TGIFImage::AssignIcon(const QImage &picture)
{
    Replace([&] {
        if (picture.isNull())
            return;
        auto frame = std::make_unique<TGIFSubImage>(this);
        TGIFSubImage *f = frame.get();
        Add(std::move(frame));
        // The picture is flattened first; its own transparency becomes the frame's mask.
        f->AssignBitmap(picture.convertToFormat(QImage::Format_RGB888));
        f->ApplyMask(picture.convertToFormat(QImage::Format_ARGB32));
        FreeBitmap();
    });
}

// ---------------------------------------------------------------------------------------
// Reading and writing

void TGIFImage::LoadFromStream(TStream &stream)
{
    Progress(TProgressStage::psStarting, 0, "Loading...");
    Clear();
    const std::int64_t start = stream.Position();
    try {
        FHeader->LoadFromStream(stream);
        FImages->LoadFromStream(stream);
        TGIFTrailer trailer(this);
        trailer.LoadFromStream(stream);
    } catch (...) {
        stream.SetPosition(start);
        Progress(TProgressStage::psEnding, 0, "Loading...");
        throw;
    }
    FreeBitmap();
    Progress(TProgressStage::psEnding, 100, "Loading...");
}

void TGIFImage::SaveToStream(TStream &stream)
{
    Progress(TProgressStage::psStarting, 0, "Saving...");
    try {
        FHeader->SaveToStream(stream);
        FImages->SaveToStream(stream);
        TGIFTrailer trailer(this);
        trailer.SaveToStream(stream);
    } catch (...) {
        Progress(TProgressStage::psEnding, 0, "Saving...");
        throw;
    }
    Progress(TProgressStage::psEnding, 100, "Saving...");
}

void TGIFImage::WriteData(TStream &stream)
{
    if (GIFOptimizeOnSave)
        OptimizeImage((1u << ooCrop) | (1u << ooMerge) | (1u << ooCleanup) | (1u << ooColorMap) | (1u << ooReduceColors),
                      rmNone, 0, 8);
    SaveToStream(stream);
}

void TGIFImage::LoadFromFile(const QString &fileName)
{
    TFileStream stream(fileName);
    LoadFromStream(stream);
}

void TGIFImage::SaveToFile(const QString &fileName)
{
    // Nothing is written for a picture the format cannot hold.
    if (Version() == gvUnknown)
        RaiseGIFError("Unsupported GIF version");
    SaveStreamToFile(fileName, [this](TStream &stream) { SaveToStream(stream); });
}

// ---------------------------------------------------------------------------------------
// Palette and the cached picture

bool TGIFImage::DitheringOn() const
{
    return HasDrawFlag(DrawOptions, drDither) && (!HasDrawFlag(DrawOptions, drAutoDither) || GIFPaletteDevice());
}

TGIFPalette TGIFImage::GetPalette()
{
    if (FPaletteGuard)
        RaiseGIFError("No global or local color table defined");
    FPaletteGuard = true;
    struct TGuard
    {
        bool &Flag;
        ~TGuard() { Flag = false; }
    } guard{FPaletteGuard};
    if (!FBitmap.isNull() && !FBitmap.colorTable().isEmpty())
        return ColorTableToPalette(FBitmap.colorTable());
    if (!FGlobalPalette.empty())
        return FGlobalPalette;
    if (DitheringOn()) {
        FGlobalPalette = CreateWebSafePalette();
        return FGlobalPalette;
    }
    if (FHeader->ColorMap().Count() > 0) {
        FGlobalPalette = FHeader->ColorMap().ExportPalette();
        return FGlobalPalette;
    }
    if (FImages->Count() > 0)
        return Frame(0)->GetPalette();
    return {};
}

void TGIFImage::SetPalette(const TGIFPalette &palette)
{
    if (palette == FGlobalPalette)
        return;
    FGlobalPalette = palette;
    if (!FBitmap.isNull() && ColorTableToPalette(FBitmap.colorTable()) != palette) {
        FreeBitmap();
        FPaletteModified = true;
        Changed(this);
    }
}

void TGIFImage::FreeBitmap()
{
    StopDrawPainterAsync();
    FBitmap = QImage();
}

QImage TGIFImage::Bitmap()
{
    if (Empty())
        return {};
    if (FBitmap.isNull()) {
        TGIFSubImage *first = Frame(0);
        if (first->Width() == Width() && first->Height() == Height() && first->Left() == 0 && first->Top() == 0) {
            FBitmap = first->Bitmap().copy();
        } else {
            QImage screen(Width(), Height(), QImage::Format_RGB32);
            if (screen.isNull())
                return {};
            screen.fill(Qt::white);
            QPainter painter(&screen);
            first->Draw(painter, screen.rect(), false, false);
            painter.end();
            FBitmap = screen;
        }
    }
    return FBitmap;
}

}  // namespace gif
