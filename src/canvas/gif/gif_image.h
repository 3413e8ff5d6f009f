#pragma once
// TGIFImage: a GIF picture in memory: the logical screen header with the global colour
// table, and the frames with their extensions. It loads and saves GIF87a and GIF89a files,
// turns any bitmap into a frame, draws itself (animated through painters) and takes part in
// the clipboard.
#include "canvas/gif/gif_header.h"
#include "canvas/gif/gif_image_list.h"
#include "canvas/gif/gif_persistent.h"
#include "canvas/gif/gif_types.h"

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class QClipboard;
class QMimeData;
class QPainter;
class QString;

namespace gif {

class TGIFPainter;
class TGIFSubImage;

// Drawing option flags (bit numbers).
enum TGIFDrawOption : int {
    drThreaded = 0, drTransparent, drAnimate, drLoop, drLoopForever, drCheckCanvas, drDirect,
    drClearOnLoop, drTile, drDither, drAutoDither
};
using TGIFDrawOptions = std::uint16_t;
inline constexpr TGIFDrawOptions DrawFlag(TGIFDrawOption option) { return TGIFDrawOptions(1u << option); }
inline constexpr bool HasDrawFlag(TGIFDrawOptions options, TGIFDrawOption option)
{
    return (options & DrawFlag(option)) != 0;
}

// clNone: no colour, nothing painted.
inline constexpr TColor clNoneColor = 0x1FFFFFFF;

// The settings every new image starts with.
struct TGIFImageDefaults
{
    TGIFDrawOptions DrawOptions = 0x060F;
    int ColorReduction = 6;
    int ReductionBits = 8;
    int DitherMode = 0;
    int Compression = 0;
    int ThreadPriority = 3;
    int AnimationSpeed = 100;
};
TGIFImageDefaults &GIFImageDefaults();
// The largest frame a file may ask to be decoded, in pixels.
extern std::uint64_t GIFMaxDecodePixels;
// Render each frame's bitmap as soon as it is loaded.
extern bool GIFRenderOnLoad;
// Optimise before the image is written into a component stream.
extern bool GIFOptimizeOnSave;
// Whether the display shows colours through a palette (8 bits or less).
bool GIFPaletteDevice();

// The MIME type under which the whole GIF file goes to the clipboard.
inline constexpr const char *GIFMimeType = "image/gif";

// Painter events; the painter is the sender.
using TGIFPainterEvent = std::function<void(TGIFPainter &painter)>;

class TGIFImage : public TGIFPersistent, public IGIFImage
{
public:
    TGIFImage();
    ~TGIFImage() override;
    TGIFImage(const TGIFImage &) = delete;
    TGIFImage &operator=(const TGIFImage &) = delete;

    std::string ClassName() const override { return "TGIFImage"; }

    // IGIFImage
    void Warning(const TGIFPersistent *sender, int severity, const std::string &message) override;
    void Changed(const TGIFPersistent *sender) override;
    int Version() const override;
    int ColorResolution() const override;
    int BitsPerPixel() const override;
    int FrameCount() const override { return FImages->Count(); }
    void CountColorMapPixels(const TGIFColorMap &map, TGIFHistogram &histogram) override;
    void MapColorMapPixels(const TGIFColorMap &map, const TGIFColorMapping &mapping) override;

    // Another TGIFImage or a frame's source; nothing clears. Every assignment that fails
    // leaves the image as it was before.
    void Assign(const TGIFPersistent *source) override;
    // The image becomes one frame holding the bitmap.
    void AssignBitmap(const QImage &bitmap);
    // An icon-like picture: its fully transparent pixels become the frame's transparent colour.
    void AssignIcon(const QImage &picture);
    // A QImage of the logical screen showing the first frame; null for an empty image.
    QImage AssignTo() { return Bitmap(); }
    bool Equals(const TGIFImage &other) const { return &other == this; }

    void Clear();
    int Add(std::unique_ptr<TGIFSubImage> frame);
    int Add(const QImage &bitmap);
    TGIFImageList &Images() { return *FImages; }
    TGIFSubImage *Frame(int index) const { return FImages->Frames(index); }
    TGIFHeader &Header() { return *FHeader; }
    const TGIFHeader &Header() const { return *FHeader; }
    TGIFGlobalColorMap &GlobalColorMap() { return FHeader->ColorMap(); }
    TColor BackgroundColor() { return FHeader->BackgroundColor(); }

    bool Empty() const { return FImages->Count() == 0; }
    int Width() const { return FHeader->Width(); }
    int Height() const { return FHeader->Height(); }
    void SetWidth(int value);
    void SetHeight(int value);
    // Grows the logical screen for a frame; no checks.
    void SetScreenSize(int width, int height);

    void LoadFromStream(TStream &stream);
    void SaveToStream(TStream &stream);
    // The image inside a stream of other data; optimised first when GIFOptimizeOnSave is set.
    void WriteData(TStream &stream);
    void LoadFromFile(const QString &fileName);
    // Through the program's atomic writer: a failure keeps the old file.
    void SaveToFile(const QString &fileName);

    TGIFPalette GetPalette();
    void SetPalette(const TGIFPalette &palette);
    bool PaletteModified() const { return FPaletteModified; }
    void SetPaletteModified(bool value) { FPaletteModified = value; }
    // Dithering is on when the options ask for it and, with auto-dithering, the display
    // needs it.
    bool DitheringOn() const;

    // The first frame on the logical screen, cached; null for an empty image.
    QImage Bitmap();
    void FreeBitmap();

    // Draws the image (animated with more than one frame and drAnimate) into rect.
    void Draw(QPainter &painter, const QRect &rect);
    // Stops every painter of this image and waits until they are done.
    void StopPainters();
    void StopDrawPainter();
    // Asks the painter drawing the cached bitmap to stop, without waiting.
    void StopDrawPainterAsync();
    TGIFPainter *DrawPainter() const { return FDrawPainter; }
    // The painter list is locked while painters are looked at or changed.
    std::recursive_mutex &PainterLock() { return FPainterLock; }
    std::vector<TGIFPainter *> &Painters() { return FPainters; }

    // The whole GIF file under GIFMimeType and the first frame as an image beside it, put
    // into data; nothing for an empty image.
    void SaveToClipboardFormat(QMimeData &data);
    // The same placed on the clipboard (the application's when none is given).
    void SaveToClipboardFormat(QClipboard *clipboard = nullptr);
    // A GIF file, else an image; anything else raises "Unsupported clipboard format".
    void LoadFromClipboardFormat(const QMimeData &data);
    // From what the clipboard (the application's when none is given) holds.
    void LoadFromClipboardFormat(QClipboard *clipboard = nullptr);

    // Optimisation option bits.
    enum TOptimizeOption : int { ooCrop = 0, ooMerge, ooCleanup, ooColorMap, ooReduceColors };
    void OptimizeImage(unsigned options, int reductionMethod, int ditherMode, int reductionBits);

    void Progress(TProgressStage stage, int percent, const std::string &message);

    TGIFDrawOptions DrawOptions = 0;
    int ColorReduction = 0;
    int ReductionBits = 0;
    int DitherMode = 0;
    int Compression = 0;
    int ThreadPriority = 0;
    int AnimationSpeed = 0;
    TColor BackgroundDrawColor = clNoneColor;
    TGIFWarningHandler OnWarning;
    TGIFProgressHandler OnProgress;
    // The picture changed (a new animation frame included): a view repaints.
    std::function<void()> OnChange;
    TGIFPainterEvent OnStartPaint, OnPaint, OnAfterPaint, OnLoop, OnEndPaint;

private:
    friend class TGIFPainter;
    void ForgetPainter(TGIFPainter *painter);
    // A painter is freed from the event loop, never inside one of its own steps.
    void ReleasePainter(TGIFPainter *painter);
    void DrawCachedBitmap(QPainter &painter, const QRect &rect);
    // Runs fill on an emptied image; when it fails, the image is put back as it was.
    void Replace(const std::function<void()> &fill);

    std::unique_ptr<TGIFImageList> FImages;
    std::unique_ptr<TGIFHeader> FHeader;
    TGIFPalette FGlobalPalette;
    bool FDrawing = false;
    bool FPaletteGuard = false;
    bool FPaletteModified = false;
    QImage FBitmap;
    std::recursive_mutex FPainterLock;
    std::vector<TGIFPainter *> FPainters;
    TGIFPainter *FDrawPainter = nullptr;
    std::vector<std::unique_ptr<TGIFPainter>> FOwnedPainters;
    // Cleared when the image goes, so a Draw still unwinding below an event loop knows.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace gif
