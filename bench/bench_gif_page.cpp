// A page of 1,000 tables saved as a GIF picture, against two other ways of making the same
// picture in the same run:
//  - the program's whole path: render, reduce to the web palette, LZW, atomic write;
//  - ImageMagick's whole path: the same rendering handed to `convert`, which reduces it to
//    its web palette without dithering and writes the GIF;
//  - giflib's encoder on exactly the indices the program's reduction gives, against the
//    program's own encoder on them. The program's file must stay within 0.5 % of giflib's.
// Counters: megapixels per second of wall time and the bytes written.
#include "canvas/diagram_panel.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif/gif_sub_image.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/os_diagram.h"
#include "canvas/picture_export.h"
#include "generator/synthetic_diagram.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model/preferences.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <vector>

namespace {

constexpr int PageTables = 1000;

// One page shared by every benchmark of the run, with its boxes built once.
class TGifPage {
public:
    static TGifPage &Get()
    {
        static TGifPage page;
        return page;
    }
    QImage Render() { return TPictureExport::GetDiagramBitmap(Diagram); }
    TOSDiagram Diagram;
    QSize Size;

private:
    TGifPage()
    {
        InitializeModelGlobals();
        Preferences->DrawPrinterPages = false;
        TSyntheticOptions options;
        options.Tables = PageTables;
        options.Notes = 5;
        OpenModels->push_back(MakeSyntheticDiagram(options));
        CurrentModel = OpenModels->back().get();
        Surface_.resize(800, 600);
        Diagram.AttachSurface(&Surface_);
        Diagram.Rebuild();
        Size = TPictureExport::DiagramExtent();
    }
    TDiagramSurface Surface_;
};

void Count(benchmark::State &state, std::int64_t bytes)
{
    const QSize size = TGifPage::Get().Size;
    const double pixels = double(size.width()) * size.height();
    state.counters["MP/s"] = benchmark::Counter(pixels / 1e6 * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes"] = double(bytes);
    state.counters["MP"] = pixels / 1e6;
}

// The indices and table the program's default reduction makes of the page.
struct TReduced {
    int Width = 0, Height = 0;
    std::vector<std::uint8_t> Indices;
    std::vector<gif::TColor> Colours;
};

const TReduced &Reduced()
{
    static const TReduced reduced = [] {
        gif::TGIFImage image;
        image.AssignBitmap(TGifPage::Get().Render());
        gif::TGIFSubImage &frame = *image.Frame(0);
        TReduced r;
        r.Width = frame.Width();
        r.Height = frame.Height();
        r.Indices.assign(frame.Data(), frame.Data() + frame.DataSize());
        for (int i = 0; i < frame.ColorMap().Count(); ++i)
            r.Colours.push_back(frame.ColorMap().Colors(i));
        return r;
    }();
    return reduced;
}

std::int64_t ProgramFileBytes(const TReduced &r)
{
    gif::TGIFImage image;
    auto owned = std::make_unique<gif::TGIFSubImage>(&image);
    gif::TGIFSubImage &frame = *owned;
    image.Add(std::move(owned));
    frame.SetBounds(0, 0, r.Width, r.Height);
    for (gif::TColor c : r.Colours)
        frame.ColorMap().Add(c);
    std::copy(r.Indices.begin(), r.Indices.end(), frame.ScanLine(0));
    gif::TMemoryStream stream;
    image.SaveToStream(stream);
    return std::int64_t(stream.Bytes().size());
}

int AppendToBuffer(GifFileType *file, const GifByteType *bytes, int count)
{
    auto *buffer = static_cast<std::vector<std::uint8_t> *>(file->UserData);
    buffer->insert(buffer->end(), bytes, bytes + count);
    return count;
}

std::int64_t GiflibFileBytes(const TReduced &r)
{
    std::vector<std::uint8_t> buffer;
    int error = 0;
    GifFileType *file = EGifOpen(&buffer, AppendToBuffer, &error);
    if (!file)
        return -1;
    std::vector<GifColorType> colours(256, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < r.Colours.size(); ++i)
        colours[i] = {GifByteType(gif::GetRValue(r.Colours[i])), GifByteType(gif::GetGValue(r.Colours[i])),
                      GifByteType(gif::GetBValue(r.Colours[i]))};
    ColorMapObject *map = GifMakeMapObject(256, colours.data());
    bool ok = EGifPutScreenDesc(file, r.Width, r.Height, 8, 0, nullptr) == GIF_OK &&
              EGifPutImageDesc(file, 0, 0, r.Width, r.Height, false, map) == GIF_OK;
    for (int y = 0; ok && y < r.Height; ++y)
        ok = EGifPutLine(file, const_cast<GifPixelType *>(r.Indices.data()) + std::size_t(y) * r.Width, r.Width) == GIF_OK;
    ok = EGifCloseFile(file, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok ? std::int64_t(buffer.size()) : -1;
}

void BM_ProgramSavesPageAsGif(benchmark::State &state)
{
    TGifPage &page = TGifPage::Get();
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("page.gif"));
    for (auto _ : state)
        page.Diagram.SaveAsImage(name);
    Count(state, QFileInfo(name).size());
}

void BM_ImageMagickWholePath(benchmark::State &state)
{
    const QString convert = QStandardPaths::findExecutable(QStringLiteral("convert"));
    if (convert.isEmpty()) {
        state.SkipWithError("ImageMagick's convert is missing");
        return;
    }
    TGifPage &page = TGifPage::Get();
    // The system's policy holds ImageMagick to 256 MiB, far below a page of this size: its own
    // limits for this run let it hold the page.
    QTemporaryDir policy;
    QFile limits(policy.filePath(QStringLiteral("policy.xml")));
    if (!limits.open(QIODevice::WriteOnly))
        return state.SkipWithError("no room for ImageMagick's limits");
    limits.write("<policymap>\n"
                 "  <policy domain=\"resource\" name=\"memory\" value=\"8GiB\"/>\n"
                 "  <policy domain=\"resource\" name=\"map\" value=\"8GiB\"/>\n"
                 "  <policy domain=\"resource\" name=\"width\" value=\"64KP\"/>\n"
                 "  <policy domain=\"resource\" name=\"height\" value=\"64KP\"/>\n"
                 "  <policy domain=\"resource\" name=\"area\" value=\"4GP\"/>\n"
                 "  <policy domain=\"resource\" name=\"disk\" value=\"16GiB\"/>\n"
                 "</policymap>\n");
    limits.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MAGICK_CONFIGURE_PATH"), policy.path());
    QByteArray gifBytes;
    for (auto _ : state) {
        const QImage rgb = page.Render().convertToFormat(QImage::Format_RGB888);
        QProcess magick;
        magick.setProcessEnvironment(environment);
        magick.start(convert, {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(rgb.width()).arg(rgb.height()),
                               QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("rgb:-"),
                               QStringLiteral("+dither"), QStringLiteral("-remap"), QStringLiteral("netscape:"),
                               QStringLiteral("gif:-")});
        for (int y = 0; y < rgb.height(); ++y)
            magick.write(reinterpret_cast<const char *>(rgb.constScanLine(y)), qint64(rgb.width()) * 3);
        magick.closeWriteChannel();
        magick.waitForFinished(-1);
        gifBytes = magick.readAllStandardOutput();
    }
    // A picture of this page is far larger than a few kilobytes: less means convert gave up.
    if (!gifBytes.startsWith("GIF8") || gifBytes.size() < 100000)
        state.SkipWithError("convert wrote no picture of the page");
    Count(state, gifBytes.size());
}

void BM_ProgramEncoderOnReducedIndices(benchmark::State &state)
{
    const TReduced &r = Reduced();
    std::int64_t bytes = 0;
    for (auto _ : state)
        bytes = ProgramFileBytes(r);
    const std::int64_t giflib = GiflibFileBytes(r);
    Count(state, bytes);
    state.counters["vs_giflib_%"] = 100.0 * double(bytes - giflib) / double(giflib);
    if (giflib <= 0 || double(bytes) > double(giflib) * 1.005)
        state.SkipWithError("the file is more than 0.5 % larger than giflib's for the same indices");
}

void BM_GiflibEncoderOnReducedIndices(benchmark::State &state)
{
    const TReduced &r = Reduced();
    std::int64_t bytes = 0;
    for (auto _ : state)
        bytes = GiflibFileBytes(r);
    if (bytes < 0)
        state.SkipWithError("giflib failed");
    Count(state, bytes);
}

} // namespace

BENCHMARK(BM_ProgramSavesPageAsGif)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ImageMagickWholePath)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ProgramEncoderOnReducedIndices)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_GiflibEncoderOnReducedIndices)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
