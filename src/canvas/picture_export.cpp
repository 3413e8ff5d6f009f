#include "canvas/picture_export.h"

#include "canvas/bmp_writer.h"
#include "canvas/gif/file_stream.h"
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif_page_writer.h"
#include "canvas/jpeg_writer.h"
#include "canvas/os_diagram.h"
#include "canvas/os_graphic.h"
#include "canvas/page_bands.h"
#include "canvas/page_index.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "platform/canvas.h"
#include "platform/metafile_canvas_device.h"
#include "platform/user_interface.h"

#include <QFileInfo>
#include "platform/atomic_file.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace {

EPictureError FileError(const QString &fileName, const QString &reason)
{
    return EPictureError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
}

// Writes a file in one piece: a failure anywhere leaves the old file as it was.
void SaveAtomically(const QString &fileName, const std::function<void(QIODevice &)> &write)
{
    const QString reason = TAtomicFile::Write(fileName, [&](QIODevice &file) {
        try {
            write(file);
        } catch (const EPictureError &) {
            throw;
        } catch (const EJpegError &) {
            throw;
        } catch (const gif::GIFException &) {
            throw;
        } catch (const std::runtime_error &error) {
            // The device refused the data: a file-system failure like any other.
            throw FileError(fileName, QString::fromUtf8(error.what()));
        }
    });
    if (!reason.isEmpty())
        throw FileError(fileName, reason);
}

template <class TList>
void DrawBoxes(const TList &list, TCanvas &canvas, const TRect &area)
{
    for (auto *object : list)
        if (TOSGraphic *box = TOSGraphic::BoxOf(object))
            if (TPictureExport::Meets(box->BoundsRect(), area))
                box->DrawTo(canvas, 0, 0, 1.0, 1.0);
}

QString SizeText(int width, int height)
{
    return QStringLiteral("%1 x %2").arg(width).arg(height);
}

} // namespace

QString TPictureExport::FileExtension(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool TPictureExport::IsPictureName(const QString &fileName)
{
    const QString lower = FileExtension(fileName).toLower();
    for (const char *known : {".bmp", ".wmf", ".gif", ".jpg", ".jpeg"})
        if (lower == QLatin1String(known))
            return true;
    return false;
}

void TPictureExport::SaveAsImage(TOSDiagram &diagram, const QString &fileName)
{
    const QString extension = FileExtension(fileName);
    const QString lower = extension.toLower();
    if (lower == QLatin1String(".bmp"))
        diagram.SaveAsBitmap(fileName);
    else if (lower == QLatin1String(".wmf"))
        diagram.SaveAsMetafile(fileName);
    else if (lower == QLatin1String(".gif"))
        diagram.SaveAsGif(fileName);
    else if (lower == QLatin1String(".jpg") || lower == QLatin1String(".jpeg"))
        diagram.SaveAsJpeg(fileName);
    else
        throw EPictureError(QStringLiteral("Unexpected file type: ") + extension);
}

void TPictureExport::SaveAsBitmap(TOSDiagram &diagram, const QString &fileName)
{
    THourglass hourglass;
    const QSize extent = DiagramExtent();
    if (TBmpWriter::FileBytes(extent.width(), extent.height()) > TBmpWriter::MaxFileBytes)
        throw EPictureError(QStringLiteral("The page is too large for a BMP picture: %1 pixels; a BMP file holds at "
                                           "most 4 GB.")
                                .arg(SizeText(extent.width(), extent.height())));
    TPageBands bands(diagram, extent.width(), extent.height());
    SaveAtomically(fileName, [&](QIODevice &file) { TBmpWriter::Write(bands, file); });
}

void TPictureExport::SaveAsJpeg(TOSDiagram &diagram, const QString &fileName)
{
    THourglass hourglass;
    const QSize extent = DiagramExtent();
    if (extent.width() > TJpegWriter::MaxSide || extent.height() > TJpegWriter::MaxSide)
        throw EPictureError(QStringLiteral("The page is too large for a JPEG picture: %1 pixels; a JPEG picture has "
                                           "at most %2 pixels on a side.")
                                .arg(SizeText(extent.width(), extent.height()))
                                .arg(TJpegWriter::MaxSide));
    TPageBands bands(diagram, extent.width(), extent.height());
    int bandTop = 0, bandRows = 0;
    const auto row = [&](int y) {
        if (y >= bandTop + bandRows) {
            bandTop = y;
            bandRows = std::min(bands.BandRows(), extent.height() - y);
            bands.Render(bandTop, bandRows);
        }
        return bands.Row(y - bandTop);
    };
    // The settings of a new JPEG picture: quality 90, colour, baseline.
    const TJpegWriter writer;
    SaveAtomically(fileName, [&](QIODevice &file) { writer.Write(extent.width(), extent.height(), row, file); });
}

void TPictureExport::SaveAsMetafile(TOSDiagram &diagram, const QString &fileName)
{
    THourglass hourglass;
    // An enhanced metafile, whatever the name says: records of the enhanced format.
    const QByteArray metafile = GetDiagramMetafile(diagram);
    SaveAtomically(fileName, [&](QIODevice &file) {
        if (file.write(metafile) != metafile.size())
            throw FileError(fileName, file.errorString());
    });
}

void TPictureExport::SaveAsGif(TOSDiagram &diagram, const QString &fileName)
{
    THourglass hourglass;
    int x = 10, y = 10;
    if (CurrentModel)
        CurrentModel->GetDiagramExtent(x, y);
    // Refused before anything is rendered or written.
    if (x > MaxGifSide || y > MaxGifSide)
        throw EPictureError(QStringLiteral("The page is too large for a GIF picture: %1 pixels; a GIF picture has at "
                                           "most %2 pixels on a side.")
                                .arg(SizeText(x, y))
                                .arg(MaxGifSide));
    try {
        if (TGifPageWriter::Streams()) {
            TPageBands bands(diagram, x, y);
            const gif::TGIFProgressHandler progress = GifProgress();
            SaveAtomically(fileName, [&](QIODevice &file) {
                gif::TDeviceStream stream(file);
                TGifPageWriter::Write(bands, stream, progress);
            });
            return;
        }
    } catch (const gif::EStreamError &error) {
        throw FileError(fileName, QString::fromUtf8(error.what()));
    } catch (const gif::GIFException &error) {
        throw EPictureError(QString::fromUtf8(error.what()));
    }
    // Other settings reduce the page's colours as a whole: one bitmap of it.
    const QImage bitmap = RenderBitmap(diagram, x, y);
    gif::TGIFImage image;
    image.OnProgress = GifProgress();
    try {
        image.AssignBitmap(bitmap);
        SaveAtomically(fileName, [&](QIODevice &file) {
            gif::TDeviceStream stream(file);
            image.SaveToStream(stream);
        });
    } catch (const gif::EStreamError &error) {
        throw FileError(fileName, QString::fromUtf8(error.what()));
    } catch (const gif::GIFException &error) {
        throw EPictureError(QString::fromUtf8(error.what()));
    }
}

gif::TGIFProgressHandler &TPictureExport::GifProgress()
{
    static gif::TGIFProgressHandler handler;
    return handler;
}

QSize TPictureExport::DiagramExtent()
{
    int x = 10, y = 10;
    if (CurrentModel)
        CurrentModel->GetDiagramExtent(x, y);
    return {x, y};
}

QImage TPictureExport::GetDiagramBitmap(TOSDiagram &diagram)
{
    const QSize extent = DiagramExtent();
    return RenderBitmap(diagram, extent.width(), extent.height());
}

QByteArray TPictureExport::GetDiagramMetafile(TOSDiagram &diagram)
{
    const QSize extent = DiagramExtent();
    return RenderMetafile(diagram, extent.width(), extent.height());
}

QByteArray TPictureExport::RenderMetafile(TOSDiagram &diagram, int width, int height)
{
    auto device = std::make_unique<TMetafileCanvasDevice>(width, height);
    TMetafileCanvasDevice *metafile = device.get();
    TCanvas canvas(std::move(device));
    PaintPage(diagram, canvas, width, height);
    return metafile->Finish();
}

QImage TPictureExport::RenderBitmap(TOSDiagram &diagram, int width, int height)
{
    if (width < 1 || height < 1)
        throw EPictureError(QStringLiteral("A picture of %1 pixels cannot be made.").arg(SizeText(width, height)));
    if (width > MaxBitmapSide || height > MaxBitmapSide)
        throw EPictureError(QStringLiteral("The page is too large for a picture: %1 pixels; a picture has at most "
                                           "%2 pixels on a side.")
                                .arg(SizeText(width, height))
                                .arg(MaxBitmapSide));
    if (qint64(width) * height * 4 > MaxBitmapBytes)
        throw EPictureError(QStringLiteral("The page is too large for a picture: %1 pixels need more than %2 MB.")
                                .arg(SizeText(width, height))
                                .arg(MaxBitmapBytes >> 20));
    QImage bitmap(width, height, QImage::Format_RGB32);
    if (bitmap.isNull())
        throw EPictureError(QStringLiteral("Not enough memory for a picture of %1 pixels.").arg(SizeText(width, height)));
    {
        TCanvas canvas(&bitmap);
        PaintPage(diagram, canvas, width, height);
    }
    return bitmap;
}

bool TPictureExport::Meets(const TRect &bounds, const TRect &area)
{
    return bounds.Right + AreaMargin > area.Left && bounds.Left - AreaMargin < area.Right &&
           bounds.Bottom + AreaMargin > area.Top && bounds.Top - AreaMargin < area.Bottom;
}

void TPictureExport::PaintPage(TOSDiagram &diagram, TCanvas &canvas, int width, int height)
{
    PaintArea(diagram, canvas, TRect{0, 0, width, height});
}

void TPictureExport::PaintArea(TOSDiagram &diagram, TCanvas &canvas, const TRect &area, const TPageIndex *index)
{
    const TOSSchemaStyle &style = CurrentStyle();
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = style.BackgroundColour;
    canvas.FillRect(area);
    // The links lie beneath the boxes.
    if (index) {
        index->PaintLinks(canvas, area);
        index->PaintBoxes(canvas, area);
        return;
    }
    diagram.DrawLinks(canvas, 0, 0, 1.0, 1.0, &area);
    if (!CurrentModel)
        return;
    DrawBoxes(CurrentModel->Tables, canvas, area);
    DrawBoxes(CurrentModel->ObjectTables, canvas, area);
    DrawBoxes(CurrentModel->Types, canvas, area);
    DrawBoxes(CurrentModel->Notes, canvas, area);
}
