#include "shell/about_form.h"

#include "model/helpers.h"
#include "platform/qt_user_interface.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

Tfrmabout *SplashForm = nullptr;

namespace {

// The about picture: drawn rather than shipped, so the box needs no image file.
QPixmap AboutPicture()
{
    QPixmap pixmap(363, 212);
    QPainter p(&pixmap);
    QLinearGradient gradient(0, 0, 0, 212);
    gradient.setColorAt(0, QColor(0x1f, 0x3a, 0x5f));
    gradient.setColorAt(1, QColor(0x4a, 0x7f, 0xb5));
    p.fillRect(pixmap.rect(), gradient);
    return pixmap;
}

QPixmap LogoPicture()
{
    QPixmap pixmap(189, 34);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Marrowtide"));
    return pixmap;
}

QLabel *MakeLabel(QWidget *parent, const char *name, int left, int top)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    return label;
}

} // namespace

Tfrmabout::Tfrmabout(QWidget *owner) : QDialog(owner, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("frmabout"));
    setFixedSize(372, 234);
    auto *shpAboutBorder = new QFrame(this);
    shpAboutBorder->setObjectName(QStringLiteral("shpAboutBorder"));
    shpAboutBorder->setFrameShape(QFrame::Box);
    shpAboutBorder->setGeometry(0, 0, 372, 234);
    auto *imgAbout = MakeLabel(this, "imgAbout", 4, 9);
    imgAbout->setPixmap(AboutPicture());
    imgAbout->resize(363, 212);
    const QString white = QStringLiteral("color: white; background: transparent;");
    lblHomePage = MakeLabel(this, "lblHomePage", 44, 114);
    lblHomePage->setText(QString::fromLatin1(THelpers::HomePage));
    lblHomePage->setCursor(Qt::PointingHandCursor);
    lblHomePage->setStyleSheet(white + QStringLiteral("text-decoration: underline;"));
    lblHomePage->adjustSize();
    lblVersion = MakeLabel(this, "lblVersion", 234, 74);
    lblVersion->setStyleSheet(white);
    auto *lblCopyrightNotice = MakeLabel(this, "lblCopyrightNotice", 44, 97);
    lblCopyrightNotice->setText(QStringLiteral("Copyright the Marrowtide developers."));
    lblCopyrightNotice->setStyleSheet(white);
    lblCopyrightNotice->adjustSize();
    auto *image1 = MakeLabel(this, "Image1", 44, 60);
    image1->setPixmap(LogoPicture());
    image1->resize(189, 34);
    auto *memCredits = new QPlainTextEdit(this);
    memCredits->setObjectName(QStringLiteral("memCredits"));
    memCredits->setReadOnly(true);
    memCredits->setGeometry(44, 138, 287, 65);
    // Four short lines in a small font fit the box whole: no wrapping, no scroll bars.
    QFont creditsFont(QStringLiteral("DejaVu Sans"));
    creditsFont.setPixelSize(10);
    memCredits->setFont(creditsFont);
    memCredits->setLineWrapMode(QPlainTextEdit::NoWrap);
    memCredits->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memCredits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memCredits->setPlainText(QStringLiteral(
        "This program is distributed WITHOUT ANY\n"
        "WARRANTY; without even the implied warranty\n"
        "of MERCHANTABILITY or FITNESS FOR A\n"
        "PARTICULAR PURPOSE."));
    for (QWidget *w : {static_cast<QWidget *>(imgAbout), static_cast<QWidget *>(lblVersion),
                       static_cast<QWidget *>(lblCopyrightNotice), static_cast<QWidget *>(image1),
                       static_cast<QWidget *>(lblHomePage)})
        w->installEventFilter(this);
}

void Tfrmabout::SetHomePageVisible(bool visible) { lblHomePage->setVisible(visible); }

void Tfrmabout::lblHomePageClick() { ShowExceptions([] { THelpers::OpenHomePage(); }); }

void Tfrmabout::showEvent(QShowEvent *event)
{
    lblVersion->setText(QStringLiteral("v1.1.6"));
    lblVersion->adjustSize();
    QDialog::showEvent(event);
    // Qt's own placement leaves room for a frame this borderless box does not
    // have; the logon dialog, centred on the splash, would sit high with it.
    TQtUserInterface::PlaceDialog(*this);
}

void Tfrmabout::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
}

bool Tfrmabout::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == lblHomePage)
            lblHomePageClick();
        else
            imgAboutClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
