// GIF files written by other programs (Pillow, ImageMagick, giflib) load into the image
// object and play through its painter with the pixels of ImageMagick's own composition.
#include "gif_tools.h"
#include "test_data.h"

#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_painter.h"
#include "canvas/gif/gif_sub_image.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>

namespace {

// Our frames through our painter onto white, without waiting between them.
QList<QImage> PlayOurs(gif::TGIFImage &image)
{
    QList<QImage> pictures;
    QImage target(image.Width(), image.Height(), QImage::Format_RGB32);
    target.fill(Qt::white);
    if (image.FrameCount() == 1) {
        QPainter p(&target);
        image.Frame(0)->Draw(p, target.rect(), true, false);
        p.end();
        return {target};
    }
    image.AnimationSpeed = -1;
    gif::TGIFPainter painter(image, &target, target.rect(),
                             gif::DrawFlag(gif::drThreaded) | gif::DrawFlag(gif::drAnimate) | gif::DrawFlag(gif::drTransparent));
    painter.OnAfterPaint = [&](gif::TGIFPainter &) { pictures.append(target.copy()); };
    painter.Start();
    for (int i = 0; i < 100000 && !painter.Finished(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(painter.Finished());
    return pictures;
}

}  // namespace

TEST(GIFLoadInterop, FilesOfOtherWritersLoadAndPlayWithTheirPixels)
{
    GIF_NEEDS_READERS();
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    giftools::Run("python3", {testDataPath("gif/pillow_writers.py"), dir.path()});
    // ImageMagick: interlaced, and transparent frames that restore the background, looping forever.
    giftools::Run("convert", {"-size", "16x12", "xc:orange", "-fill", "navy", "-draw", "rectangle 2,3 9,8", "-interlace",
                              "GIF", d + "magick-interlaced.gif"});
    giftools::Run("convert", {"-delay", "15", "-dispose", "Background", "-size", "18x14", "xc:none", "-fill", "green",
                              "-draw", "rectangle 0,0 6,5", "(", "-size", "18x14", "xc:none", "-fill", "red", "-draw",
                              "rectangle 9,4 16,12", ")", "(", "-size", "18x14", "xc:yellow", ")", "-loop", "0",
                              d + "magick-anim.gif"});
    QStringList files{"pillow-interlaced.gif", "pillow-plain.gif", "pillow-anim.gif", "magick-interlaced.gif",
                      "magick-anim.gif"};
    // giflib's own writer: its dump of a Pillow file built back into a file.
    if (!giftools::Tool("gifbuild").isEmpty()) {
        QProcess build;
        build.setStandardOutputFile(d + "giflib-anim.gif");
        build.start(giftools::Tool("gifbuild"), {});
        build.write(giftools::Run("gifbuild", {"-d", d + "pillow-anim.gif"}));
        build.closeWriteChannel();
        ASSERT_TRUE(build.waitForFinished(60000));
        files << "giflib-anim.gif";
    }
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        gif::TGIFImage image;
        std::vector<std::string> warnings;
        image.OnWarning = [&](int, const std::string &m) { warnings.push_back(m); };
        ASSERT_NO_THROW(image.LoadFromFile(d + name));
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        const QList<QImage> ours = PlayOurs(image);
        const auto theirs = giftools::Magick(d + name, image.Width(), image.Height());
        ASSERT_EQ(std::size_t(ours.size()), theirs.size());
        for (std::size_t f = 0; f < theirs.size(); ++f)
            EXPECT_EQ(ours[qsizetype(f)], theirs[f].Picture) << "frame " << f;
        if (name != "pillow-anim.gif")
            continue;
        // Timing, disposal, transparency and the loop as Pillow wrote them.
        const int delays[] = {3, 5, 7, 2, 4}, disposals[] = {1, 2, 3, 1, 2};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(image.Frame(i)->Delay(), delays[i]) << i;
            EXPECT_EQ(image.Frame(i)->Disposal(), disposals[i]) << i;
            EXPECT_TRUE(image.Frame(i)->Transparent()) << i;
        }
        auto *loop = dynamic_cast<gif::TGIFAppExtNSLoop *>(image.Frame(0)->Extensions().Extensions(0));
        ASSERT_NE(loop, nullptr);
        EXPECT_EQ(loop->Loops, 2);
    }
}
