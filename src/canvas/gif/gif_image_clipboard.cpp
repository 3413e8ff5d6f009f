// A GIF picture on the clipboard: the whole file for programs that read GIF, and the first
// frame as an image for every other program.
#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/memory_stream.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

namespace gif {

namespace {

QClipboard *ApplicationClipboard(QClipboard *clipboard)
{
    if (clipboard)
        return clipboard;
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
}

}  // namespace

void TGIFImage::SaveToClipboardFormat(QMimeData &data)
{
    if (Empty())
        return;
    TMemoryStream stream;
    SaveToStream(stream);
    const std::vector<std::uint8_t> &bytes = stream.Bytes();
    data.setData(QString::fromLatin1(GIFMimeType),
                 QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
    data.setImageData(Bitmap());
}

void TGIFImage::SaveToClipboardFormat(QClipboard *clipboard)
{
    if (Empty())
        return;
    auto data = std::make_unique<QMimeData>();
    SaveToClipboardFormat(*data);
    const QByteArray file = data->data(QString::fromLatin1(GIFMimeType));
    clipboard = ApplicationClipboard(clipboard);
    if (!clipboard)
        RaiseGIFError("Failed to store GIF on clipboard");
    clipboard->setMimeData(data.release());
    // The window system may refuse the data without saying so: what the clipboard now
    // offers tells.
    const QMimeData *placed = clipboard->mimeData();
    if (!placed || placed->data(QString::fromLatin1(GIFMimeType)) != file)
        RaiseGIFError("Failed to store GIF on clipboard");
}

void TGIFImage::LoadFromClipboardFormat(const QMimeData &data)
{
    if (data.hasFormat(QString::fromLatin1(GIFMimeType))) {
        const QByteArray file = data.data(QString::fromLatin1(GIFMimeType));
        TMemoryStream stream(reinterpret_cast<const std::uint8_t *>(file.constData()), std::size_t(file.size()));
        LoadFromStream(stream);
        return;
    }
    if (data.hasImage()) {
        const QImage picture = qvariant_cast<QImage>(data.imageData());
        if (!picture.isNull()) {
            AssignBitmap(picture);
            return;
        }
    }
    RaiseGIFError("Unsupported clipboard format");
}

void TGIFImage::LoadFromClipboardFormat(QClipboard *clipboard)
{
    clipboard = ApplicationClipboard(clipboard);
    const QMimeData *data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data)
        RaiseGIFError("Unsupported clipboard format");
    LoadFromClipboardFormat(*data);
}

}  // namespace gif
