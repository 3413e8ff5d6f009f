// GIF files written by other programs (Pillow, ImageMagick, giflib), used as black boxes,
// load into the image object and play through its painter with the pixels ImageMagick's
// own composition of the frames shows.
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_painter.h"
#include "canvas/gif/gif_sub_image.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Tool(const QString &preferred, const QString &name)
{
    return QFileInfo::exists(preferred) ? preferred : QStandardPaths::findExecutable(name);
}

bool RunTool(const QString &program, const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString() << " " << arguments.join(' ').toStdString() << ": "
                      << p.readAllStandardError().toStdString();
        return false;
    }
    if (output)
        *output = p.readAllStandardOutput();
    return true;
}

// Pictures with a global table or local ones, interlaced or not, transparent colours, every
// disposal method, delays, a loop block and a comment.
const char *PillowScript = R"(
import sys
from PIL import Image, ImageDraw
out = sys.argv[1]
def picture(w, h, seed, colours):
    im = Image.new('RGB', (w, h), (250, 250, 250))
    d = ImageDraw.Draw(im)
    for k in range(colours):
        x, y = (seed * 7 + k * 5) % w, (seed * 3 + k * 11) % h
        d.rectangle([x, y, x + 4 + k % 5, y + 2 + k % 3], fill=((k * 70 + seed * 30) % 256, (k * 130) % 256, (seed * 90 + k * 20) % 256))
    return im
static = picture(37, 23, 1, 12).convert('P', palette=Image.ADAPTIVE, colors=16)
static.save(out + '/pillow-interlaced.gif', interlace=True)
static.save(out + '/pillow-plain.gif', interlace=False, comment=b'written by Pillow')
frames = [picture(30, 20, s, 6 + s).convert('P', palette=Image.ADAPTIVE, colors=8 + 4 * s) for s in range(5)]
frames[0].save(out + '/pillow-anim.gif', save_all=True, append_images=frames[1:], duration=[30, 50, 70, 20, 40],
               loop=2, disposal=[1, 2, 3, 1, 2], transparency=0, optimize=False)
)";

struct Composed
{
    int Frames = 0;
    QList<QImage> Pictures;
};

// Our frames through our painter, onto white, without waiting between them.
Composed PlayOurs(gif::TGIFImage &image)
{
    Composed result;
    QImage target(image.Width(), image.Height(), QImage::Format_RGB32);
    target.fill(Qt::white);
    if (image.FrameCount() == 1) {
        // A single frame is drawn, never played.
        QPainter p(&target);
        image.Frame(0)->Draw(p, target.rect(), true, false);
        p.end();
        result.Pictures.append(target);
        return result;
    }
    image.AnimationSpeed = -1;
    const gif::TGIFDrawOptions options = gif::DrawFlag(gif::drThreaded) | gif::DrawFlag(gif::drAnimate)
                                         | gif::DrawFlag(gif::drTransparent);
    gif::TGIFPainter painter(image, &target, target.rect(), options);
    painter.OnAfterPaint = [&](gif::TGIFPainter &) { result.Pictures.append(target.copy()); };
    painter.Start();
    for (int i = 0; i < 100000 && !painter.Finished(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(painter.Finished());
    result.Frames = image.FrameCount();
    return result;
}

// ImageMagick's composition of every frame, over white.
QList<QImage> Coalesced(const QString &convert, const QString &file, int width, int height, int frames)
{
    QByteArray rgb;
    if (!RunTool(convert, {file, "-coalesce", "-background", "white", "-alpha", "remove", "-alpha", "off", "-depth", "8",
                       "rgb:-"},
             &rgb))
        return {};
    QList<QImage> pictures;
    const int size = width * height * 3;
    EXPECT_EQ(rgb.size(), qsizetype(size) * frames) << file.toStdString();
    for (int f = 0; f < frames && (f + 1) * size <= rgb.size(); ++f) {
        QImage picture(width, height, QImage::Format_RGB32);
        const auto *p = reinterpret_cast<const std::uint8_t *>(rgb.constData()) + std::size_t(f) * size;
        for (int i = 0; i < width * height; ++i)
            picture.setPixel(i % width, i / width, qRgb(p[3 * i], p[3 * i + 1], p[3 * i + 2]));
        pictures.append(picture);
    }
    return pictures;
}

int Differences(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

}  // namespace

TEST(GIFLoadInterop, FilesOfOtherWritersLoadAndPlayWithTheirPixels)
{
    const QString python = Tool("/usr/bin/python3", "python3");
    const QString convert = Tool("/usr/bin/convert", "convert");
    if (python.isEmpty() || convert.isEmpty() || QProcess::execute(python, {"-c", "import PIL"}) != 0)
        GTEST_SKIP() << "Pillow or ImageMagick is missing (scripts/install-deps installs them)";
    QTemporaryDir dir;
    ASSERT_TRUE(RunTool(python, {"-c", PillowScript, dir.path()}));
    const QString d = dir.path() + "/";
    // ImageMagick: interlaced, and an animation of transparent frames that restore the
    // background, looping forever.
    ASSERT_TRUE(RunTool(convert, {"-size", "16x12", "xc:orange", "-fill", "navy", "-draw", "rectangle 2,3 9,8", "-interlace",
                              "GIF", d + "magick-interlaced.gif"}));
    ASSERT_TRUE(RunTool(convert, {"-delay", "15", "-dispose", "Background", "-size", "18x14", "xc:none", "-fill", "green",
                              "-draw", "rectangle 0,0 6,5", "(", "-size", "18x14", "xc:none", "-fill", "red", "-draw",
                              "rectangle 9,4 16,12", ")", "(", "-size", "18x14", "xc:yellow", ")", "-loop", "0",
                              d + "magick-anim.gif"}));
    QStringList files{"pillow-interlaced.gif", "pillow-plain.gif", "pillow-anim.gif", "magick-interlaced.gif",
                      "magick-anim.gif"};
    // giflib's own writer: its dump of a Pillow file built back into a file.
    const QString gifbuild = Tool("/usr/bin/gifbuild", "gifbuild");
    if (!gifbuild.isEmpty()) {
        QByteArray dump;
        if (RunTool(gifbuild, {"-d", d + "pillow-anim.gif"}, &dump)) {
            QProcess build;
            build.setStandardOutputFile(d + "giflib-anim.gif");
            build.start(gifbuild, {});
            build.write(dump);
            build.closeWriteChannel();
            ASSERT_TRUE(build.waitForFinished(60000));
            files << "giflib-anim.gif";
        }
    }

    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        gif::TGIFImage image;
        std::vector<std::string> warnings;
        image.OnWarning = [&](int, const std::string &m) { warnings.push_back(m); };
        ASSERT_NO_THROW(image.LoadFromFile(d + name));
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        ASSERT_GT(image.FrameCount(), 0);
        int shown = 0;
        for (int i = 0; i < image.FrameCount(); ++i)
            shown += !image.Frame(i)->Empty();
        const Composed ours = PlayOurs(image);
        const QList<QImage> theirs = Coalesced(convert, d + name, image.Width(), image.Height(), shown);
        ASSERT_EQ(ours.Pictures.size(), theirs.size());
        for (qsizetype f = 0; f < theirs.size(); ++f)
            EXPECT_EQ(Differences(ours.Pictures[f], theirs[f]), 0) << "frame " << f;
    }
}

TEST(GIFLoadInterop, PillowAnimationKeepsItsTimingLoopAndTransparency)
{
    const QString python = Tool("/usr/bin/python3", "python3");
    if (python.isEmpty() || QProcess::execute(python, {"-c", "import PIL"}) != 0)
        GTEST_SKIP() << "Pillow is missing";
    QTemporaryDir dir;
    ASSERT_TRUE(RunTool(python, {"-c", PillowScript, dir.path()}));
    gif::TGIFImage image;
    image.LoadFromFile(dir.path() + "/pillow-anim.gif");
    ASSERT_EQ(image.FrameCount(), 5);
    const int delays[5] = {3, 5, 7, 2, 4};
    const int disposals[5] = {1, 2, 3, 1, 2};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(image.Frame(i)->Delay(), delays[i]) << i;
        EXPECT_EQ(image.Frame(i)->Disposal(), disposals[i]) << i;
        EXPECT_TRUE(image.Frame(i)->Transparent()) << i;
    }
    auto *loop = dynamic_cast<gif::TGIFAppExtNSLoop *>(image.Frame(0)->Extensions().Extensions(0));
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops, 2);
}
