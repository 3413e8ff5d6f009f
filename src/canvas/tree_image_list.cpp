#include "canvas/tree_image_list.h"

#include "platform/canvas.h"

#include <QPainter>
#include <QPixmap>

namespace {

// The background every icon is drawn on; it is the colour of pixel (1, 1) and
// so becomes transparent where the boxes draw the icon.
const QColor IconBackground(255, 0, 255);

QImage NewIcon()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(IconBackground);
    return image;
}

void DrawKey(QImage &image, const QColor &colour)
{
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(64, 64, 0));
    p.setBrush(colour);
    p.drawEllipse(2, 4, 6, 6);
    p.fillRect(8, 6, 7, 2, colour);
    p.fillRect(12, 8, 2, 3, colour);
    p.fillRect(9, 8, 2, 2, colour);
    p.setPen(IconBackground);
    p.drawPoint(5, 7);
}

QImage Folder()
{
    QImage image = NewIcon();
    QPainter p(&image);
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(255, 214, 90));
    p.drawRect(2, 4, 12, 9);
    p.fillRect(3, 3, 5, 2, QColor(255, 214, 90));
    return image;
}

QImage Grid(const QColor &header)
{
    QImage image = NewIcon();
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 12, 10);
    p.fillRect(3, 4, 11, 3, header);
    p.drawLine(3, 9, 13, 9);
    p.drawLine(7, 7, 7, 12);
    return image;
}

QImage Column()
{
    QImage image = NewIcon();
    QPainter p(&image);
    p.setPen(QColor(0, 0, 128));
    p.setBrush(QColor(160, 200, 255));
    p.drawRect(4, 6, 8, 4);
    return image;
}

QImage Type()
{
    QImage image = NewIcon();
    QPainter p(&image);
    p.setPen(QColor(0, 96, 0));
    p.setBrush(QColor(150, 230, 150));
    p.drawEllipse(2, 2, 11, 11);
    p.drawLine(5, 7, 10, 7);
    return image;
}

QImage Owner()
{
    QImage image = NewIcon();
    QPainter p(&image);
    p.setPen(QColor(64, 32, 0));
    p.setBrush(QColor(230, 180, 130));
    p.drawEllipse(5, 2, 5, 5);
    p.drawRect(3, 8, 9, 6);
    return image;
}

} // namespace

TTreeImageList::TTreeImageList()
{
    Images_.resize(imgCount);
    Images_[imgFolder] = Folder();
    Images_[imgTable] = Grid(QColor(0, 0, 160));
    Images_[imgForeignKey] = NewIcon();
    DrawKey(Images_[imgForeignKey], QColor(150, 150, 150));
    Images_[imgColumn] = Column();
    Images_[imgPrimaryKey] = NewIcon();
    DrawKey(Images_[imgPrimaryKey], QColor(230, 190, 0));
    Images_[imgUniqueKey] = NewIcon();
    DrawKey(Images_[imgUniqueKey], QColor(60, 140, 230));
    Images_[imgObjectTable] = Grid(QColor(0, 128, 0));
    Images_[imgType] = Type();
    Images_[imgView] = Grid(QColor(128, 0, 128));
    Images_[imgOwner] = Owner();
    for (const QImage &image : Images_)
        Transparent_.push_back(ImageWithTransparentColor(image, QRgbToColor(image.pixel(1, 1))));
}

const TTreeImageList &TTreeImageList::Instance()
{
    static const TTreeImageList list;
    return list;
}

QImage TTreeImageList::Image(int index) const
{
    return index >= 0 && index < Count() ? Images_[index] : QImage();
}

QImage TTreeImageList::TransparentImage(int index) const
{
    return index >= 0 && index < Count() ? Transparent_[index] : QImage();
}

QIcon TTreeImageList::Icon(int index) const
{
    if (index < 0 || index >= Count())
        return QIcon(QPixmap::fromImage(QImage()));
    // One icon per picture, shared by every node that shows it: the tree of a large page has
    // hundreds of thousands of nodes.
    if (Icons_.empty())
        for (const QImage &image : Transparent_)
            Icons_.emplace_back(QPixmap::fromImage(image));
    return Icons_[static_cast<size_t>(index)];
}
