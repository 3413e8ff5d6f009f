#pragma once
// TPictureExport: renders the whole current page off the screen into a bitmap
// or an enhanced metafile and saves it as a BMP, GIF, JPEG or WMF picture, chosen by
// the file name's extension.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <stdexcept>

#include "canvas/gif/gif_types.h"

class TOSDiagram;
class TCanvas;
class TPageIndex;
struct TRect;

// A picture that cannot be made or saved (unknown file type, a page too large
// for one bitmap, a file that cannot be written).
class EPictureError : public std::runtime_error {
public:
    explicit EPictureError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

class TPictureExport {
public:
    TPictureExport() = delete;

    // One bitmap holds at most this many pixels on a side (the painter's limit)
    // and this many bytes in all.
    static constexpr int MaxBitmapSide = 32767;
    static constexpr qint64 MaxBitmapBytes = qint64(1) << 30;
    // A GIF picture's sides are 16-bit numbers.
    static constexpr int MaxGifSide = 65535;

    // Hears the starting, running and ending stages of GIF work ("Converting...",
    // "Saving..."); the shell installs one that shows them.
    static gif::TGIFProgressHandler &GifProgress();

    // The extension of a file name as written, from its last "." (".bmp"), or
    // empty; folders in the path do not count.
    static QString FileExtension(const QString &fileName);
    // Whether SaveAsImage takes the name's extension.
    static bool IsPictureName(const QString &fileName);

    // Chooses the format by the extension, letter case aside: ".bmp", ".wmf",
    // ".gif", ".jpg" or ".jpeg". Anything else raises "Unexpected file type: "
    // with the extension as written, and nothing is written.
    static void SaveAsImage(TOSDiagram &diagram, const QString &fileName);
    static void SaveAsBitmap(TOSDiagram &diagram, const QString &fileName);
    static void SaveAsJpeg(TOSDiagram &diagram, const QString &fileName);
    static void SaveAsMetafile(TOSDiagram &diagram, const QString &fileName);
    static void SaveAsGif(TOSDiagram &diagram, const QString &fileName);

    // The page from (0, 0) to the extent of the current model.
    static QImage GetDiagramBitmap(TOSDiagram &diagram);
    // The page from (0, 0) in a new bitmap of the given size. Raises
    // EPictureError when the size cannot be held in one bitmap.
    static QImage RenderBitmap(TOSDiagram &diagram, int width, int height);
    // The page from (0, 0) to the extent of the current model as an enhanced
    // metafile (the bytes of an .emf file).
    static QByteArray GetDiagramMetafile(TOSDiagram &diagram);
    // The page from (0, 0) as an enhanced metafile of the given size.
    static QByteArray RenderMetafile(TOSDiagram &diagram, int width, int height);
    // Paints the page onto any canvas: the background over width x height, the
    // links, then the boxes of tables, object tables, types and notes.
    static void PaintPage(TOSDiagram &diagram, TCanvas &canvas, int width, int height);
    // The same for an area of the page, drawn at its surface coordinates (a
    // translated canvas shows it from its corner); boxes and links that cannot
    // reach the area are skipped. With an index of the page only what it finds
    // near the area is looked at, so that the many areas of a large page
    // each cost what they show.
    static void PaintArea(TOSDiagram &diagram, TCanvas &canvas, const TRect &area,
                          const TPageIndex *index = nullptr);

    // How far a box's or link's drawing may reach past its bounds (shadows,
    // self-referencing loops, link ends and captions).
    static constexpr int AreaMargin = 64;
    // Whether anything drawn for these bounds can touch the area.
    static bool Meets(const TRect &bounds, const TRect &area);
    // The right and bottom edge of the farthest box plus the margin; 10 x 10
    // for an empty page.
    static QSize DiagramExtent();
};
