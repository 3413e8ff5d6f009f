#pragma once
// Other programs used as black boxes by the interop tests: Pillow through the system's
// Python and ImageMagick's convert, each reading a GIF file into plain pixels.
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "test_data.h"

namespace giftools {

// The system's own copy when there is one (it carries the system's Pillow), else the path's.
inline QString Tool(const QString &name)
{
    const QString system = "/usr/bin/" + name;
    return QFileInfo::exists(system) ? system : QStandardPaths::findExecutable(name);
}

inline bool HaveReaders()
{
    return !Tool("convert").isEmpty() && !Tool("python3").isEmpty()
           && QProcess::execute(Tool("python3"), {"-c", "import PIL"}) == 0;
}
#define GIF_NEEDS_READERS() \
    if (!giftools::HaveReaders()) GTEST_SKIP() << "Pillow or ImageMagick is missing (scripts/install-deps)"

inline QByteArray Run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(Tool(program), arguments);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        ADD_FAILURE() << program.toStdString() << " failed: " << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

// What a viewer shows: every frame composed over white, each with its time in ms.
struct Shown
{
    QImage Picture;
    int Ms;
    bool operator==(const Shown &o) const { return Picture == o.Picture && Ms == o.Ms; }
};

inline QImage FromRgb(const QByteArray &rgb, qsizetype offset, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const auto *p = reinterpret_cast<const std::uint8_t *>(rgb.constData()) + offset;
    for (int i = 0; i < width * height; ++i, p += 3)
        picture.setPixel(i % width, i / width, qRgb(p[0], p[1], p[2]));
    return picture;
}

// Equal pictures in a row are joined, their times added, when join is set.
inline void Append(std::vector<Shown> &shown, const QImage &picture, int ms, bool join)
{
    if (join && !shown.empty() && shown.back().Picture == picture)
        shown.back().Ms += ms;
    else
        shown.push_back({picture, ms});
}

inline std::vector<Shown> Magick(const QString &file, int width, int height, bool join = false)
{
    const QList<QByteArray> ticks = Run("convert", {file, "-format", "%T\\n", "info:"}).trimmed().split('\n');
    const QByteArray rgb = Run("convert", {file, "-coalesce", "-background", "white", "-alpha", "remove", "-alpha",
                                           "off", "-depth", "8", "rgb:-"});
    const qsizetype size = qsizetype(width) * height * 3;
    EXPECT_EQ(rgb.size(), size * ticks.size()) << file.toStdString();
    std::vector<Shown> shown;
    for (qsizetype f = 0; f < ticks.size() && (f + 1) * size <= rgb.size(); ++f)
        Append(shown, FromRgb(rgb, f * size, width, height), ticks[f].toInt() * 10, join);
    return shown;
}

inline std::vector<Shown> Pillow(const QString &file, bool join = false)
{
    const QByteArray out = Run("python3", {testDataPath("gif/pillow_frames.py"), file});
    std::vector<Shown> shown;
    for (const QByteArray &line : out.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 4)
            Append(shown, FromRgb(QByteArray::fromHex(f[3]), 0, f[0].toInt(), f[1].toInt()), f[2].toInt(), join);
    }
    return shown;
}

}  // namespace giftools
