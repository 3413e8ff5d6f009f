// Pictures of the page: the file type chosen by the extension, BMP, JPEG and
// metafile pictures read back, the picture size, refusals that write nothing,
// and atomic saves.
#include "canvas_fixture.h"

#include "canvas/jpeg_writer.h"
#include "canvas/page_bands.h"
#include "canvas/picture_export.h"
#include "emf_reader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What a JPEG file's markers say: the frame type (0xC0 baseline, 0xC2 progressive), the
// number of components and the first (DC) step of the first quantisation table.
struct TJpegMarkers {
    int Frame = 0, Components = 0, FirstStep = -1;
};

TJpegMarkers ReadJpegMarkers(const QByteArray &b)
{
    TJpegMarkers m;
    const auto byte = [&](qsizetype i) { return i < b.size() ? int(quint8(b[i])) : 0; };
    for (qsizetype i = 2; i + 4 <= b.size() && byte(i) == 0xFF && byte(i + 1) != 0xDA;
         i += 2 + (byte(i + 2) << 8 | byte(i + 3))) {
        if (byte(i + 1) == 0xDB && m.FirstStep < 0)
            m.FirstStep = byte(i + 5);
        if (byte(i + 1) == 0xC0 || byte(i + 1) == 0xC2) {
            m.Frame = byte(i + 1);
            m.Components = byte(i + 9);
        }
    }
    return m;
}

bool Near(TColor a, TColor b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

class PictureExportTest : public CanvasTest {
protected:
    void SetUp() override
    {
        CanvasTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        model->Style.BackgroundColour = RGBColor(0xE0, 0xF0, 0xD0);
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    TColor Background() const { return model->Style.BackgroundColour & 0xFFFFFF; }

    // A page whose farthest box ends at (500, 300): a table from (20, 30) to (220, 130) and a
    // note from (300, 200) to (500, 300).
    void BuildPage()
    {
        table = AddTable(*model, "S", "ORDERS", 20, 30, 200, 100);
        AddColumn(*table, "ID", "NUMBER", 0, 10, 0, false);
        AddNote(300, 200, 200, 100, "A note");
        diagram->Rebuild();
    }

    QTemporaryDir dir;
    TDiagramTable *table = nullptr;
};

TEST_F(PictureExportTest, BitmapIsTheExtentPlusTheMarginAsA24BitBmp)
{
    BuildPage();
    diagram->SaveAsImage(Path("page.bmp"));
    const QByteArray bmp = ReadFile(Path("page.bmp"));
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    const quint32 stride = (530 * 3 + 3) / 4 * 4;
    // File size, pixel offset, info header size, width, height (positive: bottom-up), planes,
    // bits per pixel, no compression.
    const std::tuple<int, int, quint32> fields[] = {{2, 4, 54 + stride * 330}, {10, 4, 54}, {14, 4, 40}, {18, 4, 530},
                                                    {22, 4, 330}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0}};
    for (const auto &[offset, size, value] : fields)
        EXPECT_EQ(size == 4 ? qFromLittleEndian<quint32>(bmp.constData() + offset)
                            : qFromLittleEndian<quint16>(bmp.constData() + offset),
                  value)
            << offset;
    EXPECT_EQ(quint32(bmp.size()), 54 + stride * 330);

    QImage image;
    ASSERT_TRUE(image.loadFromData(bmp, "BMP"));
    EXPECT_EQ(image.size(), QSize(530, 330));
    EXPECT_EQ(At(image, 5, 5), Background());
    EXPECT_EQ(At(image, 529, 329), Background());
    // The table's grey outline starts at its top-left corner; inside it is not the background.
    EXPECT_EQ(At(image, 20, 30), clGray);
    EXPECT_NE(At(image, 120, 80), Background());
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), diagram->GetDiagramBitmap());
}

TEST_F(PictureExportTest, WmfHoldsAnEnhancedMetafileOfThePageInDrawingOrder)
{
    BuildPage();
    AddPrimaryKey(*table, "ORDERS_PK", {"ID"});
    auto *lines = AddTable(*model, "S", "LINES", 20, 180, 150, 60);
    AddColumn(*lines, "ORDER_ID", "NUMBER", 0, 10);
    AddForeignKey(*lines, "LINES_ORDERS_FK", {"ORDER_ID"}, "S", "ORDERS", {"ID"});
    diagram->Rebuild();
    SelectedGraphics->Add(lines);

    diagram->SaveAsImage(Path("page.wmf"));
    const QByteArray bytes = ReadFile(Path("page.wmf"));
    const TEmfReader reader(bytes);
    ASSERT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.ObjectsLeftAtEnd(), 0);
    // The page from (0, 0) to its extent plus the margin, in pixels.
    EXPECT_EQ(reader.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
    EXPECT_EQ(bytes, diagram->GetDiagramMetafile());
    // First the background over the whole picture with a brush of the page's colour.
    const QList<TEmfReadRecord> brushes = reader.OfType(emf::EMR_CREATEBRUSHINDIRECT);
    const QList<TEmfReadRecord> fills = reader.OfType(emf::EMR_BITBLT);
    ASSERT_FALSE(brushes.isEmpty());
    ASSERT_FALSE(fills.isEmpty());
    EXPECT_EQ(TColor(brushes[0].U32(16)), Background());
    EXPECT_EQ(fills[0].RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
    // Then the link beneath the boxes: its lines come before the first box text.
    const std::vector<std::uint32_t> types = reader.Types();
    const auto first = [&](std::uint32_t type) { return std::find(types.begin(), types.end(), type) - types.begin(); };
    EXPECT_LT(first(emf::EMR_LINETO), first(emf::EMR_EXTTEXTOUTW));
    // Tables in list order, then the note; texts stay text and the key icon is a bitmap.
    QStringList texts;
    for (const TEmfReadRecord &r : reader.OfType(emf::EMR_EXTTEXTOUTW))
        texts << r.Utf16(r.U32(48), r.U32(44));
    const qsizetype orders = texts.indexOf("ORDERS");
    ASSERT_GE(orders, 0);
    EXPECT_LT(orders, texts.indexOf("LINES"));
    EXPECT_LT(texts.indexOf("LINES"), texts.indexOf("A note"));
    EXPECT_GE(reader.Count(emf::EMR_STRETCHDIBITS) + reader.Count(emf::EMR_ALPHABLEND), 1);
    // The selected box keeps its blue outline, a GDI rectangle whose right and bottom
    // edges lie one pixel inside the shadow's first lines at R - 3 and B - 3.
    bool bluePen = false;
    for (const TEmfReadRecord &pen : reader.OfType(emf::EMR_CREATEPEN))
        bluePen = bluePen || TColor(pen.U32(24)) == clBlue;
    EXPECT_TRUE(bluePen);
    const int hh = TFont(model->Style.HeaderFontName, model->Style.HeaderFontSize).TextHeight("A") + 2;
    bool body = false;
    for (const TEmfReadRecord &r : reader.OfType(emf::EMR_RECTANGLE))
        body = body || r.RectL(8) == std::array<std::int32_t, 4>{20, 180 + hh - 1, 167, 237};
    EXPECT_TRUE(body);
}

TEST_F(PictureExportTest, EmptyPageIsTenByTenBackground)
{
    diagram->SaveAsMetafile(Path("empty.wmf"));
    const TEmfReader reader(ReadFile(Path("empty.wmf")));
    ASSERT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 9, 9}));
    EXPECT_EQ(reader.Count(emf::EMR_BITBLT), 1);
    EXPECT_EQ(reader.Count(emf::EMR_EXTTEXTOUTW), 0);

    diagram->SaveAsBitmap(Path("empty.bmp"));
    QImage image;
    ASSERT_TRUE(image.load(Path("empty.bmp"), "BMP"));
    ASSERT_EQ(image.size(), QSize(10, 10));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(At(image, x, y), Background()) << x << "," << y;
}

TEST_F(PictureExportTest, NotesLieOnTopOfTables)
{
    BuildPage();
    TDiagramNote *note = AddNote(100, 60, 60, 40, "Over");
    diagram->Rebuild();
    const QImage picture = diagram->RenderBitmap(600, 400);
    EXPECT_EQ(picture.size(), QSize(600, 400));
    const QImage noteOnly = Paint(200, 200, [&](TCanvas &c) { Box(note)->DrawTo(c, 100, 60, 1.0, 1.0); }).Image;
    EXPECT_EQ(At(picture, 120, 80), At(noteOnly, 20, 20));
    EXPECT_EQ(At(picture, 101, 61), At(noteOnly, 1, 1));
}

TEST_F(PictureExportTest, JpegDecodesToTheSameSizeWithQualityNinetyInColourAndBaseline)
{
    BuildPage();
    for (const QString name : {"page.jpg", "page.jpeg"}) {
        SCOPED_TRACE(name.toStdString());
        diagram->SaveAsImage(Path(name));
        const QByteArray bytes = ReadFile(Path(name));
        EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF"));
        EXPECT_TRUE(bytes.endsWith("\xFF\xD9"));
        const TJpegMarkers markers = ReadJpegMarkers(bytes);
        EXPECT_EQ(markers.Frame, 0xC0);
        EXPECT_EQ(markers.Components, 3);
        // Quality 90 scales the standard luminance DC step 16 to 3 (quality 75 would give 8).
        EXPECT_EQ(markers.FirstStep, 3);
        QImage image;
        ASSERT_TRUE(image.loadFromData(bytes, "JPEG"));
        EXPECT_EQ(image.size(), QSize(530, 330));
        EXPECT_TRUE(Near(At(image, 5, 5), Background(), 4));
        EXPECT_TRUE(Near(At(image, 400, 20), Background(), 4));
    }
}

TEST_F(PictureExportTest, ExtensionChoosesTheFormatWhateverItsLetterCaseOrRefuses)
{
    BuildPage();
    // Each file's signature: "BM", the JPEG start of image, the metafile header's " EMF".
    for (const auto &[name, offset, magic] :
         {std::tuple("A.BMP", 0, "BM"), std::tuple("b.Bmp", 0, "BM"), std::tuple("e.x.bmp", 0, "BM"),
          std::tuple("c.JPG", 0, "\xFF\xD8\xFF"), std::tuple("d.JpEg", 0, "\xFF\xD8\xFF"), std::tuple("f.Wmf", 40, " EMF"),
          std::tuple("g.gif", 0, "GIF87a"), std::tuple("H.GIF", 0, "GIF87a")}) {
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
    EXPECT_EQ(Files(), QStringList());
    EXPECT_TRUE(QDir(Path("pictures.bmp")).isEmpty());
}

// Pictures are rendered and written a band of rows at a time, bands wider than
// a painter put together from tiles: cut into many small bands and tiles, the
// files hold the very bytes of the page rendered as one bitmap.
TEST_F(PictureExportTest, BandsAndTilesGiveTheBytesOfTheWholePage)
{
    BuildPage();
    AddPrimaryKey(*table, "ORDERS_PK", {"ID"});
    auto *lines = AddTable(*model, "S", "LINES", 60, 170, 150, 60);
    AddColumn(*lines, "ORDER_ID", "NUMBER", 0, 10);
    AddColumn(*lines, "PARENT_ID", "NUMBER", 0, 10);
    AddForeignKey(*lines, "LINES_ORDERS_FK", {"ORDER_ID"}, "S", "ORDERS", {"ID"});
    AddForeignKey(*lines, "LINES_LINES_FK", {"PARENT_ID"}, "S", "LINES", {"ORDER_ID"});
    diagram->Rebuild();
    SelectedGraphics->Add(lines);
    const QImage whole = diagram->GetDiagramBitmap();
    QBuffer bmp, jpeg;
    bmp.open(QIODevice::WriteOnly);
    jpeg.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&bmp, "BMP").write(whole));
    TJpegWriter().Write(whole, jpeg);

    const struct TRestore {
        qint64 BandBytes = TPageBands::BandBytes;
        int TileWidth = TPageBands::TileWidth;
        ~TRestore()
        {
            TPageBands::BandBytes = BandBytes;
            TPageBands::TileWidth = TileWidth;
        }
    } restore;
    // Rows per band: one, a few (seams through boxes, links and the loop), all.
    for (const int rows : {1, 7, 64, 330}) {
        SCOPED_TRACE(testing::Message() << rows << " rows");
        TPageBands::BandBytes = qint64(rows) * 530 * 4;
        diagram->SaveAsImage(Path("bands.bmp"));
        diagram->SaveAsImage(Path("bands.jpg"));
        EXPECT_EQ(ReadFile(Path("bands.bmp")), bmp.data());
        EXPECT_EQ(ReadFile(Path("bands.jpg")), jpeg.data());
    }
    // Tiles (pages wider than a painter) line up; only the end pixel of a
    // line that a seam cuts may come out otherwise.
    for (const int tile : {97, 200}) {
        SCOPED_TRACE(testing::Message() << "tiles of " << tile);
        TPageBands::BandBytes = qint64(7) * 530 * 4;
        TPageBands::TileWidth = tile;
        diagram->SaveAsImage(Path("tiles.bmp"));
        QImage tiled;
        ASSERT_TRUE(tiled.load(Path("tiles.bmp"), "BMP"));
        ASSERT_EQ(tiled.size(), whole.size());
        int differing = 0;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                differing += At(tiled, x, y) != At(whole, x, y);
        EXPECT_LE(differing, 4);
    }
}

TEST_F(PictureExportTest, PagesBeyondAFormatsLimitFailNamingItAndKeepTheOldFile)
{
    BuildPage();
    WriteFile(Path("old.bmp"), "old picture");
    WriteFile(Path("old.jpg"), "old picture");
    const struct {
        int Left, Top;
        const char *Name, *Message;
    } cases[] = {
        {65270, 30, "old.jpg", nullptr}, // 65500 wide: the largest JPEG
        {65271, 30, "old.jpg",
         "The page is too large for a JPEG picture: 65501 x 330 pixels; a JPEG picture has at most 65500 pixels on a "
         "side."},
        {20, 65371, "old.jpg",
         "The page is too large for a JPEG picture: 530 x 65501 pixels; a JPEG picture has at most 65500 pixels on a "
         "side."},
        // 3 bytes a pixel: 1,431,655 pixels of rows fill the 4 GB of a BMP file.
        {1400000, 3000, "old.bmp",
         "The page is too large for a BMP picture: 1400230 x 3130 pixels; a BMP file holds at most 4 GB."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        table->Left = c.Left;
        table->Top = c.Top;
        diagram->Rebuild();
        if (!c.Message) {
            diagram->SaveAsImage(Path(c.Name));
            QImage image;
            ASSERT_TRUE(image.load(Path(c.Name), "JPEG"));
            EXPECT_EQ(image.size(), QSize(65500, 330));
            WriteFile(Path(c.Name), "old picture");
            continue;
        }
        EXPECT_EQ(ErrorOf([&] { diagram->SaveAsImage(Path(c.Name)); }), c.Message);
        EXPECT_EQ(ReadFile(Path(c.Name)), QByteArray("old picture"));
    }
    EXPECT_EQ(Files(), (QStringList{"old.bmp", "old.jpg"}));

    // One bitmap of the whole page (printing, GIF) keeps the painter's limits.
    table->Left = 40000;
    table->Top = 30;
    diagram->Rebuild();
    EXPECT_EQ(ErrorOf([&] { diagram->GetDiagramBitmap(); }),
              "The page is too large for a picture: 40230 x 330 pixels; a picture has at most 32767 pixels on a side.");
    EXPECT_THROW(diagram->RenderBitmap(32000, 32000), EPictureError);
    EXPECT_THROW(diagram->RenderBitmap(0, 10), EPictureError);
    EXPECT_THROW(diagram->RenderBitmap(10, -1), EPictureError);
    EXPECT_EQ(diagram->RenderBitmap(32767, 1).size(), QSize(32767, 1));
}

TEST_F(PictureExportTest, SavingReplacesAWholeFileOrReportsTheFolder)
{
    BuildPage();
    WriteFile(Path("page.bmp"), QByteArray(2000000, 'x')); // longer than the picture
    diagram->SaveAsImage(Path("page.bmp"));
    QImage image;
    ASSERT_TRUE(image.loadFromData(ReadFile(Path("page.bmp")), "BMP"));
    EXPECT_EQ(image.size(), QSize(530, 330));
    EXPECT_EQ(Files(), QStringList{"page.bmp"}); // no temporary file left

    const QString missing = Path("no such folder/page.jpg");
    const QString error = ErrorOf([&] { diagram->SaveAsImage(missing); });
    EXPECT_TRUE(error.startsWith("Cannot create file \"" + missing + "\". ")) << error.toStdString();
}

TEST(JpegWriter, FailuresAreReportedByNumberAnyPictureFormatIsTakenAsColour)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    try {
        TJpegWriter().Write(QImage(), buffer);
        FAIL() << "no exception";
    } catch (const EJpegError &error) {
        EXPECT_EQ(error.Code(), JERR_EMPTY_IMAGE);
        EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(JERR_EMPTY_IMAGE));
    }
    QImage image(17, 9, QImage::Format_ARGB32);
    image.fill(qRgb(200, 30, 40));
    TJpegWriter().Write(image, buffer);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(buffer.data(), "JPEG"));
    EXPECT_EQ(decoded.size(), QSize(17, 9));
    EXPECT_TRUE(Near(QRgbToColor(decoded.pixel(8, 4)) & 0xFFFFFF, RGBColor(200, 30, 40), 6));
    QBuffer readOnly; // a device that refuses every write
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(TJpegWriter().Write(image, readOnly), std::runtime_error);
}

} // namespace
