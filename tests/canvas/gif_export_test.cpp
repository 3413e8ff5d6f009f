// Pages saved as GIF pictures: the bytes of a small page worked out by hand, a page with
// boxes read back by other decoders, the size limit of the format, the stages of progress,
// and saves that keep the old file when they fail.
#include "canvas_fixture.h"
#include "../gif/gif_tools.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_image.h"
#include "canvas/gif_page_writer.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/page_bands.h"
#include "canvas/picture_export.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    return Bytes(data.begin(), data.end());
}

// The local colour table of every exported page: the web cube, entry 36r + 6g + b holding
// (51r, 51g, 51b), then black up to 256 entries.
Bytes WebTable()
{
    Bytes table;
    for (int i = 0; i < 256; ++i) {
        const bool cube = i < 216;
        table.insert(table.end(), {std::uint8_t(cube ? 51 * (i / 36) : 0), std::uint8_t(cube ? 51 * (i / 6 % 6) : 0),
                                   std::uint8_t(cube ? 51 * (i % 6) : 0)});
    }
    return table;
}

class GifExportTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        // (224, 240, 208) takes level (v + 3) div 51 = 4 in each channel: entry 36 x 4 + 6 x 4 + 4,
        // although 240 lies nearer to 255 than to 204.
        model->Style.BackgroundColour = RGBColor(0xE0, 0xF0, 0xD0);
    }
    void TearDown() override
    {
        TPictureExport::GifProgress() = nullptr;
        CanvasTest::TearDown();
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir;
};

TEST_F(GifExportTest, EmptyPageIsTheseBytes)
{
    diagram->SaveAsImage(Path("empty.gif"));

    Bytes want{'G', 'I', 'F', '8', '7', 'a', 10, 0, 10, 0,
               0x77,  // no global table; colour resolution and depth of the 8-bit frame
               0, 0,
               0x2C, 0, 0, 0, 0, 10, 0, 10, 0,
               0x87};  // local table of 256 entries, not sorted, not interlaced
    const Bytes table = WebTable();
    want.insert(want.end(), table.begin(), table.end());
    // 100 pixels of entry 172 (0xAC): clear, 172, then the runs 258..269 of 2 to 13 pixels,
    // 265 for the last 9, end; all 9-bit codes.
    const Bytes raster{8, 18, 0x00, 0x59, 0x09, 0x1C, 0x48, 0xB0, 0xA0, 0xC1, 0x83, 0x08,
                       0x13, 0x2A, 0x5C, 0xC8, 0xB0, 0x61, 0xC2, 0x80, 0};
    want.insert(want.end(), raster.begin(), raster.end());
    want.push_back(0x3B);
    EXPECT_EQ(ReadBytes(Path("empty.gif")), want);
}

TEST_F(GifExportTest, PageWithBoxesReadsBackAsItsWebColoursInOtherDecoders)
{
    AddTable(*model, "S", "ORDERS", 20, 30, 200, 100);
    AddNote(300, 200, 200, 100, "A note");
    diagram->Rebuild();
    diagram->SaveAsImage(Path("page.gif"));
    // Each channel to the nearest cube level.
    QImage web = diagram->GetDiagramBitmap();
    for (int y = 0; y < web.height(); ++y)
        for (int x = 0; x < web.width(); ++x) {
            const auto level = [](int v) { return (v + 3) / 51 * 51; };
            const QRgb c = web.pixel(x, y);
            web.setPixel(x, y, qRgb(level(qRed(c)), level(qGreen(c)), level(qBlue(c))));
        }
    ASSERT_EQ(web.size(), QSize(530, 330));
    EXPECT_EQ(QImage(Path("page.gif")).convertToFormat(QImage::Format_RGB32), web);
    GIF_NEEDS_READERS();
    for (const auto &shown : {giftools::Pillow(Path("page.gif")), giftools::Magick(Path("page.gif"), 530, 330)}) {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].Picture, web);
    }
}

TEST_F(GifExportTest, ProgressRunsFromConvertingToSaving)
{
    std::vector<std::tuple<int, int, std::string>> stages;
    TPictureExport::GifProgress() = [&](gif::TProgressStage stage, int percent, const std::string &text) {
        stages.emplace_back(int(stage), percent, text);
    };
    diagram->SaveAsImage(Path("empty.gif"));
    const std::vector<std::tuple<int, int, std::string>> want{
        {0, 0, "Converting..."}, {1, 0, "Converting..."}, {2, 100, "Converting..."},
        {0, 0, "Saving..."},     {1, 100, "Saving..."},   {2, 100, "Saving..."}};
    EXPECT_EQ(stages, want);
}

TEST_F(GifExportTest, APageWiderThanOneBitmapIsTheEncodingOfTheWholePage)
{
    // 65535 pixels wide, written a band at a time and a tile of 32767 pixels at a time: the bytes
    // are those the image object writes for the same page as one bitmap.
    TDiagramTable *wide = AddTable(*model, "S", "WIDE", 65305, 30, 200, 100);
    AddTable(*model, "S", "MIDDLE", 32700, 20, 200, 100);
    AddForeignKey(*wide, "WIDE_MIDDLE_FK", {"ID"}, "S", "MIDDLE", {"ID"});
    diagram->Rebuild();
    TPageBands bands(*diagram, 65535, 160);
    QImage page(65535, 160, QImage::Format_RGB32);
    for (int top = 0; top < 160; top += bands.BandRows()) {
        const int rows = std::min(bands.BandRows(), 160 - top);
        bands.Render(top, rows);
        for (int y = 0; y < rows; ++y)
            std::copy_n(bands.Row(y), 65535, reinterpret_cast<QRgb *>(page.scanLine(top + y)));
    }
    gif::TGIFImage image;
    image.AssignBitmap(page);
    gif::TMemoryStream whole;
    image.SaveToStream(whole);
    diagram->SaveAsImage(Path("wide.gif"));
    EXPECT_EQ(ReadBytes(Path("wide.gif")), whole.Bytes());
}

// A stream that takes a number of bytes, then refuses with the device's reason.
class TFullStream : public gif::TMemoryStream {
public:
    explicit TFullStream(std::size_t room) : Room(room) {}
    void Write(const void *buffer, std::size_t count) override
    {
        if (Size() + std::int64_t(count) > std::int64_t(Room))
            throw gif::EStreamError("No space left on device");
        gif::TMemoryStream::Write(buffer, count);
    }
    std::size_t Room;
};

TEST_F(GifExportTest, AFailureWhileBandsAreEncodedEndsTheWorkWithItsReason)
{
    AddTable(*model, "S", "TALL", 20, 3000, 200, 100);
    diagram->Rebuild();
    const struct TRestore {
        qint64 Bytes = TPageBands::BandBytes;
        ~TRestore() { TPageBands::BandBytes = Bytes; }
    } restore;
    TPageBands::BandBytes = 250 * 4 * 10; // ten rows a band
    TPageBands bands(*diagram, 250, 3130);
    gif::TMemoryStream whole;
    TGifPageWriter::Write(bands, whole, nullptr);
    const std::size_t size = whole.Bytes().size();
    // The encoder's stream fails at its start, midway, or with the trailer.
    for (const std::size_t room : {std::size_t(10), size / 2, size - 1}) {
        TFullStream stream(room);
        EXPECT_THROW(TGifPageWriter::Write(bands, stream, nullptr), gif::EStreamError) << room;
    }
    // The renderer's side fails midway (here its progress): the encoder stops too.
    gif::TMemoryStream stream;
    const auto failing = [](gif::TProgressStage, int percent, const std::string &) {
        if (percent >= 50)
            throw std::runtime_error("stopped");
    };
    EXPECT_THROW(TGifPageWriter::Write(bands, stream, failing), std::runtime_error);
}

// The encoder keeps the band it reads until it asks for the next one. Once it has taken the
// first band, it stops before its first byte until the renderer tells of row 96, in the third
// band (rows 66 to 98, 33 a band, told every 32 rows); the renderer goes on from row 64 only
// once the encoder has stopped. Only a renderer given the first band's buffer back too early
// reaches row 96 then, writing the box's rows over the band being read.
TEST_F(GifExportTest, TheEncoderKeepsItsBandUntilItHasReadIt)
{
    AddTable(*model, "S", "LOW", 20, 70, 200, 100);
    diagram->Rebuild();
    const struct TRestore {
        qint64 Bytes = TPageBands::BandBytes;
        ~TRestore() { TPageBands::BandBytes = Bytes; }
    } restore;
    TPageBands::BandBytes = 250 * 4 * 33;
    TPageBands bands(*diagram, 250, 330);
    gif::TMemoryStream whole;
    TGifPageWriter::Write(bands, whole, nullptr);

    struct TStallingStream : gif::TMemoryStream {
        void Write(const void *buffer, std::size_t count) override
        {
            if (std::this_thread::get_id() != Renderer && !Stalled) {
                std::unique_lock lock(Mutex);
                Stalled = true;
                Told.notify_all();
                Told.wait_for(lock, std::chrono::seconds(2), [&] { return Percent >= 29; });
            }
            gif::TMemoryStream::Write(buffer, count);
        }
        const std::thread::id Renderer = std::this_thread::get_id();
        bool Stalled = false;
        std::mutex Mutex;
        std::condition_variable Told;
        int Percent = 0;
    } stream;
    TGifPageWriter::Write(bands, stream, [&](gif::TProgressStage stage, int percent, const std::string &) {
        if (stage != gif::TProgressStage::psRunning)
            return;
        std::unique_lock lock(stream.Mutex);
        stream.Percent = std::max(stream.Percent, percent);
        stream.Told.notify_all();
        if (percent >= 19)
            stream.Told.wait_for(lock, std::chrono::seconds(30), [&] { return stream.Stalled; });
    });
    EXPECT_TRUE(stream.Stalled);
    EXPECT_EQ(stream.Bytes(), whole.Bytes());
}

TEST_F(GifExportTest, PagesBeyondTheFormatAreRefusedAndTheOldFileStays)
{
    TDiagramTable *table = AddTable(*model, "S", "WIDE", 65300, 30, 200, 100);
    diagram->Rebuild();
    QFile old(Path("old.gif"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old picture");
    old.close();
    // 65306 + 200 + 30 = 65536 does not fit the format.
    table->Left = 65306;
    diagram->Rebuild();
    EXPECT_EQ(ErrorOf([&] { diagram->SaveAsImage(Path("old.gif")); }),
              "The page is too large for a GIF picture: 65536 x 160 pixels; a GIF picture has at most 65535 pixels "
              "on a side.");
    EXPECT_EQ(ReadBytes(Path("old.gif")), (Bytes{'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'}));
    EXPECT_EQ(Files(), QStringList{"old.gif"});

    table->Left = 20;
    diagram->Rebuild();
    const QString missing = Path("no such folder/page.gif");
    const QString error = ErrorOf([&] { diagram->SaveAsImage(missing); });
    EXPECT_TRUE(error.startsWith("Cannot create file \"" + missing + "\". ")) << error.toStdString();
    EXPECT_FALSE(error.endsWith(". ")) << "the system's reason is missing";
}

}  // namespace
