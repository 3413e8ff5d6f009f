// Pictures of the page: formats by extension, read back, in bands and tiles, within limits.
#include "canvas_fixture.h"

#include "canvas/gif/gif_image.h"
#include "canvas/gif/memory_stream.h"
#include "canvas/jpeg_writer.h"
#include "canvas/page_bands.h"
#include "canvas/picture_export.h"
#include "emf_reader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <jpeglib.h>
#include <jerror.h>

namespace {

QByteArray ReadFile(const QString &path) { QFile file(path); return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(); }
void WriteFile(const QString &path, const QByteArray &bytes) { QFile file(path); EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()); }

// What the GIF image object writes for a bitmap of the whole page.
QByteArray GifOf(const QImage &page)
{
    gif::TGIFImage image;
    image.AssignBitmap(page);
    gif::TMemoryStream stream;
    image.SaveToStream(stream);
    return QByteArray(reinterpret_cast<const char *>(stream.Bytes().data()), qsizetype(stream.Bytes().size()));
}

bool Near(TColor a, TColor b, int tolerance)
{
    const auto off = [&](int shift) { return std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)); };
    return std::max({off(0), off(8), off(16)}) <= tolerance;
}

class PictureExportTest : public CanvasTest {
protected:
    void SetUp() override { CanvasTest::SetUp(), model->Style.BackgroundColour = RGBColor(0xE0, 0xF0, 0xD0); }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    TColor Background() const { return model->Style.BackgroundColour & 0xFFFFFF; }

    // Farthest box ends at (500, 300); with links: LINES, a key, two links (one a loop), selected.
    void BuildPage(bool withLinks = false)
    {
        table = AddTable(*model, "S", "ORDERS", 20, 30, 200, 100);
        AddColumn(*table, "ID", "NUMBER", 0, 10, 0, false);
        AddNote(300, 200, 200, 100, "A note");
        if (withLinks) {
            AddPrimaryKey(*table, "ORDERS_PK", {"ID"});
            lines = AddTable(*model, "S", "LINES", 20, 180, 150, 60);
            AddColumn(*lines, "ORDER_ID", "NUMBER", 0, 10);
            AddColumn(*lines, "PARENT_ID", "NUMBER", 0, 10);
            AddForeignKey(*lines, "LINES_ORDERS_FK", {"ORDER_ID"}, "S", "ORDERS", {"ID"});
            AddForeignKey(*lines, "LINES_LINES_FK", {"PARENT_ID"}, "S", "LINES", {"ORDER_ID"});
        }
        diagram->Rebuild();
        if (lines)
            SelectedGraphics->Add(lines);
    }
    void MoveTable(int left, int top) { table->Left = left, table->Top = top, diagram->Rebuild(); }

    QTemporaryDir dir;
    TDiagramTable *table = nullptr, *lines = nullptr;
};

TEST_F(PictureExportTest, BitmapIsTheExtentPlusTheMarginAsA24BitBmpWithNotesOnTop)
{
    BuildPage();
    // It replaces a longer file whole, and leaves no temporary file.
    WriteFile(Path("page.bmp"), QByteArray(2000000, 'x'));
    diagram->SaveAsImage(Path("page.bmp"));
    EXPECT_EQ(Files(), QStringList{"page.bmp"});
    // 24 bits a pixel, rows bottom-up padded to 4 bytes (the header byte for byte below).
    const QByteArray bmp = ReadFile(Path("page.bmp"));
    EXPECT_TRUE(bmp.size() == 54 + (530 * 3 + 3) / 4 * 4 * 330 && bmp[28] == 24);
    QImage image;
    ASSERT_TRUE(image.loadFromData(bmp, "BMP"));
    ExpectPixels(image, {{5, 5, Background()}, {529, 329, Background()}, {20, 30, clGray}});
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), diagram->GetDiagramBitmap());
    TDiagramNote *note = AddNote(100, 60, 60, 40, "Over");  // notes lie on top of tables
    diagram->Rebuild();
    const QImage picture = diagram->RenderBitmap(600, 400);
    const QImage noteOnly = Paint(200, 200, [&](TCanvas &c) { Box(note)->DrawTo(c, 100, 60, 1.0, 1.0); }).Image;
    EXPECT_TRUE(At(picture, 120, 80) == At(noteOnly, 20, 20) && At(picture, 101, 61) == At(noteOnly, 1, 1));
}

TEST_F(PictureExportTest, WmfHoldsAnEnhancedMetafileOfThePageInDrawingOrder)
{
    BuildPage(true);
    diagram->SaveAsImage(Path("page.wmf"));
    const QByteArray bytes = ReadFile(Path("page.wmf"));
    const TEmfReader reader(bytes);
    ASSERT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.ObjectsLeftAtEnd(), 0);
    EXPECT_EQ(reader.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
    EXPECT_EQ(bytes, diagram->GetDiagramMetafile());
    // First the background with a brush of the page's colour, then the links, then the boxes:
    // tables in list order, then the note; texts stay text and the key icon is a bitmap.
    EXPECT_EQ(TColor(reader.OfType(emf::EMR_CREATEBRUSHINDIRECT).value(0).U32(16)), Background());
    EXPECT_EQ(reader.OfType(emf::EMR_BITBLT).value(0).RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
    const std::vector<std::uint32_t> types = reader.Types();
    const auto first = [&](std::uint32_t type) { return std::find(types.begin(), types.end(), type) - types.begin(); };
    EXPECT_LT(first(emf::EMR_LINETO), first(emf::EMR_EXTTEXTOUTW));
    QStringList texts;
    for (const TEmfReadRecord &r : reader.OfType(emf::EMR_EXTTEXTOUTW))
        texts << r.Utf16(r.U32(48), r.U32(44));
    EXPECT_TRUE(0 <= texts.indexOf("ORDERS") && texts.indexOf("ORDERS") < texts.indexOf("LINES") && texts.indexOf("LINES") < texts.indexOf("A note"));
    EXPECT_GE(reader.Count(emf::EMR_STRETCHDIBITS) + reader.Count(emf::EMR_ALPHABLEND), 1);
    // The selected box keeps its blue outline: a rectangle whose right and bottom edges lie one
    // pixel inside the shadow's first lines at R - 3 and B - 3.
    const int hh = TFont(model->Style.HeaderFontName, model->Style.HeaderFontSize).TextHeight("A") + 2;
    const QList<TEmfReadRecord> pens = reader.OfType(emf::EMR_CREATEPEN), boxes = reader.OfType(emf::EMR_RECTANGLE);
    EXPECT_TRUE(std::any_of(pens.begin(), pens.end(), [](const TEmfReadRecord &pen) { return TColor(pen.U32(24)) == clBlue; }));
    EXPECT_TRUE(std::any_of(boxes.begin(), boxes.end(), [&](const TEmfReadRecord &r) { return r.RectL(8) == std::array<std::int32_t, 4>{20, 180 + hh - 1, 167, 237}; }));
}

TEST_F(PictureExportTest, EmptyPageIsTenByTenBackgroundAndJpegFailuresAreReportedByNumber)
{
    const TEmfReader empty(diagram->GetDiagramMetafile());
    EXPECT_EQ(empty.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 9, 9}));
    diagram->SaveAsBitmap(Path("empty.bmp"));
    QImage image, background(10, 10, QImage::Format_RGB32);
    background.fill(ColorToQRgb(Background()));
    EXPECT_TRUE(image.load(Path("empty.bmp"), "BMP") && image.convertToFormat(QImage::Format_RGB32) == background);
    // The JPEG writer: failures by number, any picture format taken as colour.
    QBuffer buffer, readOnly;  // the second refuses every write
    EXPECT_TRUE(buffer.open(QIODevice::WriteOnly) && readOnly.open(QIODevice::ReadOnly));
    EXPECT_EQ(ErrorOf([&] { TJpegWriter().Write(QImage(), buffer); }), QString("JPEG error #%1").arg(JERR_EMPTY_IMAGE));
    QImage argb(17, 9, QImage::Format_ARGB32), decoded;
    argb.fill(qRgb(200, 30, 40));
    TJpegWriter().Write(argb, buffer);
    EXPECT_TRUE(decoded.loadFromData(buffer.data(), "JPEG") && decoded.size() == QSize(17, 9) && Near(At(decoded, 8, 4), RGBColor(200, 30, 40), 6));
    EXPECT_THROW(TJpegWriter().Write(argb, readOnly), std::runtime_error);
}

TEST_F(PictureExportTest, ExtensionChoosesTheFormatWhateverItsLetterCaseOrRefuses)
{
    BuildPage();
    // Each file's signature: "BM", the JPEG start of image, the metafile header's " EMF".
    for (const auto &[name, offset, magic] :
         {std::tuple("A.BMP", 0, "BM"), std::tuple("b.Bmp", 0, "BM"), std::tuple("e.x.bmp", 0, "BM"), std::tuple("c.JPG", 0, "\xFF\xD8\xFF"),
          std::tuple("d.JpEg", 0, "\xFF\xD8\xFF"), std::tuple("f.Wmf", 40, " EMF"), std::tuple("g.gif", 0, "GIF87a"), std::tuple("H.GIF", 0, "GIF87a")}) {
        diagram->SaveAsImage(Path(name));
        EXPECT_EQ(ReadFile(Path(name)).mid(offset, qstrlen(magic)), QByteArray(magic)) << name;
        QFile::remove(Path(name));
    }
    QDir(dir.path()).mkdir("pictures.bmp");
    for (const auto &[name, message] :
         {std::pair("page.png", "Unexpected file type: .png"), std::pair("PAGE.Png", "Unexpected file type: .Png"),
          std::pair("page", "Unexpected file type: "), std::pair("page.", "Unexpected file type: ."),
          std::pair("page.bmp.txt", "Unexpected file type: .txt"), std::pair("pictures.bmp/page", "Unexpected file type: ")})
        EXPECT_EQ(ErrorOf([&] { diagram->SaveAsImage(Path(name)); }), message);
    const QString missing = Path("no such folder/page.jpg");
    EXPECT_TRUE(ErrorOf([&] { diagram->SaveAsImage(missing); }).startsWith("Cannot create file \"" + missing + "\". "));
    EXPECT_TRUE(Files().isEmpty() && QDir(Path("pictures.bmp")).isEmpty());
    // A JPEG is baseline, in colour, of quality 90 (DC step 16 scaled to 3; 75 would give 8).
    diagram->SaveAsImage(Path("page.jpeg"));
    const QByteArray bytes = ReadFile(Path("page.jpeg"));
    const qsizetype table = bytes.indexOf("\xFF\xDB"), frame = bytes.indexOf("\xFF\xC0");
    EXPECT_TRUE(bytes.endsWith("\xFF\xD9") && table > 0 && bytes[table + 5] == 3 && frame > 0 && bytes[frame + 9] == 3);
    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes, "JPEG"));
    EXPECT_TRUE(image.size() == QSize(530, 330) && Near(At(image, 5, 5), Background(), 4) && Near(At(image, 400, 20), Background(), 4));
}

// Cut into small bands and tiles, files hold the very bytes of the page rendered as one bitmap.
TEST_F(PictureExportTest, BandsAndTilesGiveTheBytesOfTheWholePage)
{
    BuildPage(true);
    const QImage whole = diagram->GetDiagramBitmap();
    QBuffer bmp, jpeg;
    ASSERT_TRUE(bmp.open(QIODevice::WriteOnly) && jpeg.open(QIODevice::WriteOnly) && QImageWriter(&bmp, "BMP").write(whole));
    TJpegWriter().Write(whole, jpeg);
    const QByteArray gif = GifOf(whole);
    const struct TRestore {
        qint64 BandBytes = TPageBands::BandBytes;
        int TileWidth = TPageBands::TileWidth;
        ~TRestore() { TPageBands::BandBytes = BandBytes, TPageBands::TileWidth = TileWidth; }
    } restore;
    // Rows per band: one, a few (seams through boxes, links and the loop), all.
    for (const int rows : {1, 7, 64, 330}) {
        TPageBands::BandBytes = qint64(rows) * 530 * 4;
        diagram->SaveAsImage(Path("bands.bmp"));
        diagram->SaveAsImage(Path("bands.jpg"));
        diagram->SaveAsImage(Path("bands.gif"));
        EXPECT_EQ(ReadFile(Path("bands.bmp")), bmp.data()) << rows;
        EXPECT_EQ(ReadFile(Path("bands.jpg")), jpeg.data()) << rows;
        EXPECT_EQ(ReadFile(Path("bands.gif")), gif) << rows;
    }
    // Tiles line up; only the end pixel of a line that a seam cuts may come out otherwise.
    for (const int tile : {97, 200}) {
        TPageBands::BandBytes = qint64(7) * 530 * 4;
        TPageBands::TileWidth = tile;
        diagram->SaveAsImage(Path("tiles.bmp"));
        QImage tiled;
        ASSERT_TRUE(tiled.load(Path("tiles.bmp"), "BMP") && tiled.size() == whole.size());
        int differing = 0;
        for (int i = 0; i < 530 * 330; ++i)
            differing += At(tiled, i % 530, i / 530) != At(whole, i % 530, i / 530);
        EXPECT_LE(differing, 4) << tile;
    }
}

TEST_F(PictureExportTest, PagesBeyondAFormatsLimitFailNamingItAndKeepTheOldFile)
{
    BuildPage();
    const char *tooLarge = "The page is too large for ";
    const struct { int Left, Top; const char *Name, *Message; } cases[] = {
        {65270, 30, "old.jpg", nullptr},  // 65500 wide: the largest JPEG
        {65271, 30, "old.jpg", "a JPEG picture: 65501 x 330 pixels; a JPEG picture has at most 65500 pixels on a side."},
        {20, 65371, "old.jpg", "a JPEG picture: 530 x 65501 pixels; a JPEG picture has at most 65500 pixels on a side."},
        // 3 bytes a pixel: 1,431,655 pixels of rows fill the 4 GB of a BMP file.
        {1400000, 3000, "old.bmp", "a BMP picture: 1400230 x 3130 pixels; a BMP file holds at most 4 GB."},
        {65306, 30, "old.gif", "a GIF picture: 65536 x 330 pixels; a GIF picture has at most 65535 pixels on a side."},
    };
    for (const auto &c : cases) {
        WriteFile(Path(c.Name), "old picture");
        MoveTable(c.Left, c.Top);
        if (!c.Message) {
            diagram->SaveAsImage(Path(c.Name));
            QImage image;
            ASSERT_TRUE(image.load(Path(c.Name), "JPEG"));
            EXPECT_EQ(image.size(), QSize(65500, 330));
            continue;
        }
        EXPECT_EQ(ErrorOf([&] { diagram->SaveAsImage(Path(c.Name)); }), tooLarge + QString(c.Message));
        EXPECT_EQ(ReadFile(Path(c.Name)), QByteArray("old picture")) << c.Message;
    }
    EXPECT_EQ(Files(), (QStringList{"old.bmp", "old.gif", "old.jpg"}));
    // Within a GIF's sides, a page whose one bitmap would need 1.2 GB is written a band at a time.
    MoveTable(20000, 15000);
    diagram->SaveAsImage(Path("old.gif"));
    const QByteArray written = ReadFile(Path("old.gif"));
    EXPECT_TRUE(written.startsWith(QByteArray("GIF87a\x06\x4F\x1A\x3B", 10)) && written.endsWith('\x3B'));
    EXPECT_EQ(QImageReader(Path("old.gif")).size(), QSize(20230, 15130));
    // One bitmap of the whole page (printing, GIF) keeps the painter's limits: 32767 on a side.
    MoveTable(32537, 30);
    EXPECT_EQ(diagram->GetDiagramBitmap().size(), QSize(32767, 330));
    MoveTable(32538, 30);
    EXPECT_EQ(ErrorOf([&] { diagram->GetDiagramBitmap(); }),
              tooLarge + QString("a picture: 32768 x 330 pixels; a picture has at most 32767 pixels on a side."));
    for (const QSize size : {QSize(32000, 32000), QSize(0, 10), QSize(10, -1)})
        EXPECT_THROW(diagram->RenderBitmap(size.width(), size.height()), EPictureError);
}

} // namespace
