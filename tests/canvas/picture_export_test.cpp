// Pictures of the page: the file type chosen by the extension, BMP and JPEG files
// decoded back, the picture size, refusals that write nothing, and atomic saves.
#include "canvas_fixture.h"

#include "canvas/jpeg_writer.h"
#include "canvas/picture_export.h"
#include "emf_reader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 Le32(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}
quint16 Le16(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

// A JPEG file as libjpeg reads it back.
struct TDecodedJpeg {
    bool Ok = false;
    int Width = 0;
    int Height = 0;
    int Components = 0;
    bool Progressive = false;
    int LuminanceDc = 0;  // first entry of the luminance quantisation table
    QImage Image;
};

struct TDecodeErrors {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
};

void DecodeErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<TDecodeErrors *>(info->err)->Jump, 1);
}

// Only C objects live between setjmp and the library calls that may jump back.
bool DecodeInto(jpeg_decompress_struct &info, TDecodeErrors &errors, const QByteArray &bytes, TDecodedJpeg &out,
                std::vector<unsigned char> &pixels)
{
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    out.Width = static_cast<int>(info.image_width);
    out.Height = static_cast<int>(info.image_height);
    out.Components = info.num_components;
    out.Progressive = info.progressive_mode;
    out.LuminanceDc = info.quant_tbl_ptrs[0] ? info.quant_tbl_ptrs[0]->quantval[0] : -1;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    pixels.resize(static_cast<std::size_t>(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + static_cast<std::size_t>(info.output_scanline) * info.output_width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

TDecodedJpeg DecodeJpeg(const QByteArray &bytes)
{
    TDecodedJpeg out;
    std::vector<unsigned char> pixels;
    jpeg_decompress_struct info{};
    TDecodeErrors errors{};
    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = DecodeErrorExit;
    out.Ok = DecodeInto(info, errors, bytes, out, pixels);
    jpeg_destroy_decompress(&info);
    if (out.Ok) {
        out.Image = QImage(out.Width, out.Height, QImage::Format_RGB32);
        for (int y = 0; y < out.Height; ++y)
            for (int x = 0; x < out.Width; ++x) {
                const unsigned char *p = pixels.data() + (static_cast<std::size_t>(y) * out.Width + x) * 3;
                out.Image.setPixel(x, y, qRgb(p[0], p[1], p[2]));
            }
    }
    return out;
}

bool Near(TColor a, TColor b, int tolerance)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance)
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

    // A page whose farthest box ends at (500, 300): a table from (20, 30) to (220, 130) and a
    // note from (300, 200) to (500, 300).
    void BuildPage()
    {
        table = AddTable(*model, "S", "ORDERS", 20, 30, 200, 100);
        AddColumn(*table, "ID", "NUMBER", 0, 10, 0, false);
        auto *note = new TDiagramNote();
        note->Text = "A note";
        note->Left = 300;
        note->Top = 200;
        note->Width = 200;
        note->Height = 100;
        model->Notes.Add(note);
        diagram->Rebuild();
    }

    TColor Background() const { return model->Style.BackgroundColour & 0xFFFFFF; }

    QTemporaryDir dir;
    TDiagramTable *table = nullptr;
};

TEST_F(PictureExportTest, BitmapIsTheExtentPlusTheMarginAsA24BitBmp)
{
    BuildPage();
    const QString path = Path("page.bmp");
    diagram->SaveAsImage(path);

    const QByteArray bmp = ReadFile(path);
    ASSERT_GE(bmp.size(), 54);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    const int stride = (530 * 3 + 3) / 4 * 4;
    EXPECT_EQ(Le32(bmp, 2), quint32(bmp.size()));
    EXPECT_EQ(Le32(bmp, 2), quint32(54 + stride * 330));
    EXPECT_EQ(Le32(bmp, 10), 54u);  // pixels follow the two headers
    EXPECT_EQ(Le32(bmp, 14), 40u);  // BITMAPINFOHEADER
    EXPECT_EQ(Le32(bmp, 18), 530u);
    EXPECT_EQ(Le32(bmp, 22), 330u); // positive: bottom-up rows
    EXPECT_EQ(Le16(bmp, 26), 1u);
    EXPECT_EQ(Le16(bmp, 28), 24u);
    EXPECT_EQ(Le32(bmp, 30), 0u);   // uncompressed

    QImage image;
    ASSERT_TRUE(image.loadFromData(bmp, "BMP"));
    EXPECT_EQ(image.size(), QSize(530, 330));
    EXPECT_EQ(At(image, 5, 5), Background());
    EXPECT_EQ(At(image, 529, 329), Background());
    // The table's grey outline starts at its top-left corner; inside it is not the background.
    EXPECT_EQ(At(image, 20, 30), clGray);
    EXPECT_NE(At(image, 120, 80), Background());
    // The picture is the page as the renderer draws it.
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), diagram->GetDiagramBitmap());
}

// The texts a metafile draws, in record order.
QStringList MetafileTexts(const TEmfReader &reader)
{
    QStringList texts;
    for (const TEmfReadRecord &r : reader.OfType(emf::EMR_EXTTEXTOUTW))
        texts << r.Utf16(r.U32(48), r.U32(44));
    return texts;
}

int FirstIndexOf(const TEmfReader &reader, std::initializer_list<std::uint32_t> types)
{
    const std::vector<std::uint32_t> all = reader.Types();
    for (std::size_t i = 0; i < all.size(); ++i)
        for (std::uint32_t type : types)
            if (all[i] == type)
                return static_cast<int>(i);
    return -1;
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

    for (const char *name : {"page.wmf", "PAGE2.Wmf"}) {
        diagram->SaveAsImage(Path(name));
        const QByteArray bytes = ReadFile(Path(name));
        const TEmfReader reader(bytes);
        ASSERT_TRUE(reader.IsValid()) << reader.Error().toStdString();
        EXPECT_EQ(reader.ObjectsLeftAtEnd(), 0);
        // The page from (0, 0) to its extent plus the margin, in pixels.
        EXPECT_EQ(reader.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
        EXPECT_EQ(bytes, diagram->GetDiagramMetafile());
    }
    const TEmfReader reader(ReadFile(Path("page.wmf")));

    // First the background over the whole picture with a brush of the page's colour.
    const QList<TEmfReadRecord> brushes = reader.OfType(emf::EMR_CREATEBRUSHINDIRECT);
    const QList<TEmfReadRecord> fills = reader.OfType(emf::EMR_BITBLT);
    ASSERT_FALSE(brushes.isEmpty());
    ASSERT_FALSE(fills.isEmpty());
    EXPECT_EQ(TColor(brushes[0].U32(16)), Background());
    EXPECT_EQ(fills[0].RectL(8), (std::array<std::int32_t, 4>{0, 0, 529, 329}));
    // Then the link beneath the boxes: its lines come before the first box text.
    const int firstLine = FirstIndexOf(reader, {emf::EMR_LINETO, emf::EMR_POLYLINE16, emf::EMR_POLYLINE});
    const int firstText = FirstIndexOf(reader, {emf::EMR_EXTTEXTOUTW});
    ASSERT_GE(firstLine, 0);
    EXPECT_LT(firstLine, firstText);
    // Tables in list order, then the note; texts stay text and the key icon is a bitmap.
    const QStringList texts = MetafileTexts(reader);
    const qsizetype orders = texts.indexOf("ORDERS"), linesBox = texts.indexOf("LINES"), note = texts.indexOf("A note");
    ASSERT_GE(orders, 0);
    EXPECT_LT(orders, linesBox);
    EXPECT_LT(linesBox, note);
    EXPECT_GE(reader.Count(emf::EMR_STRETCHDIBITS) + reader.Count(emf::EMR_ALPHABLEND), 1);
    // The selected box keeps its blue outline.
    bool bluePen = false;
    for (const TEmfReadRecord &pen : reader.OfType(emf::EMR_CREATEPEN))
        bluePen = bluePen || TColor(pen.U32(24)) == clBlue;
    EXPECT_TRUE(bluePen);
}

TEST_F(PictureExportTest, EmptyPageMetafileIsTenByTenBackground)
{
    diagram->SaveAsMetafile(Path("empty.wmf"));
    const TEmfReader reader(ReadFile(Path("empty.wmf")));
    ASSERT_TRUE(reader.IsValid()) << reader.Error().toStdString();
    EXPECT_EQ(reader.Header().RectL(8), (std::array<std::int32_t, 4>{0, 0, 9, 9}));
    EXPECT_EQ(reader.Count(emf::EMR_BITBLT), 1);
    EXPECT_EQ(reader.Count(emf::EMR_EXTTEXTOUTW), 0);
}

TEST_F(PictureExportTest, EmptyPageGivesATenByTenPictureInTheBackgroundColour)
{
    const QString path = Path("empty.bmp");
    diagram->SaveAsBitmap(path);
    QImage image;
    ASSERT_TRUE(image.load(path, "BMP"));
    ASSERT_EQ(image.size(), QSize(10, 10));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(At(image, x, y), Background()) << x << "," << y;
}

TEST_F(PictureExportTest, SelectedBoxesKeepTheirBlueOutlineAndNotesLieOnTop)
{
    BuildPage();
    auto *note = new TDiagramNote();
    note->Text = "Over";
    note->Left = 100;
    note->Top = 60;
    note->Width = 60;
    note->Height = 40;
    model->Notes.Add(note);
    diagram->Rebuild();
    SelectedGraphics->Add(table);

    const QImage picture = diagram->RenderBitmap(600, 400);
    EXPECT_EQ(picture.size(), QSize(600, 400));
    EXPECT_EQ(At(picture, 20, 80), clBlue);
    // Where note and table overlap, the note (drawn after every table) is seen.
    QImage noteOnly = WhiteImage(200, 200);
    {
        TCanvas canvas(&noteOnly);
        TOSGraphic::BoxOf(note)->DrawTo(canvas, 100, 60, 1.0, 1.0);
    }
    EXPECT_EQ(At(picture, 120, 80), At(noteOnly, 20, 20));
    EXPECT_EQ(At(picture, 101, 61), At(noteOnly, 1, 1));
}

TEST_F(PictureExportTest, JpegDecodesToTheSameSizeWithQualityNinetyInColourAndBaseline)
{
    BuildPage();
    for (const QString name : {"page.jpg", "page.jpeg"}) {
        const QString path = Path(name);
        diagram->SaveAsImage(path);
        const QByteArray bytes = ReadFile(path);
        ASSERT_GE(bytes.size(), 4);
        EXPECT_EQ(bytes.left(3), QByteArray("\xFF\xD8\xFF"));
        EXPECT_EQ(bytes.right(2), QByteArray("\xFF\xD9"));
        const TDecodedJpeg jpeg = DecodeJpeg(bytes);
        ASSERT_TRUE(jpeg.Ok) << name.toStdString();
        EXPECT_EQ(jpeg.Width, 530);
        EXPECT_EQ(jpeg.Height, 330);
        EXPECT_EQ(jpeg.Components, 3);
        EXPECT_FALSE(jpeg.Progressive);
        // Quality 90 scales the standard luminance DC step 16 to 3 (quality 75 would give 8).
        EXPECT_EQ(jpeg.LuminanceDc, 3);
        EXPECT_TRUE(Near(At(jpeg.Image, 5, 5), Background(), 4));
        EXPECT_TRUE(Near(At(jpeg.Image, 400, 20), Background(), 4));
    }
}

TEST_F(PictureExportTest, ExtensionChoosesTheFormatWhateverItsLetterCase)
{
    BuildPage();
    struct Case {
        const char *Name;
        QByteArray Magic;
    };
    for (const Case &c : {Case{"A.BMP", "BM"}, Case{"b.Bmp", "BM"}, Case{"c.JPG", "\xFF\xD8\xFF"},
                          Case{"d.JpEg", "\xFF\xD8\xFF"}, Case{"e.x.bmp", "BM"}}) {
        diagram->SaveAsImage(Path(c.Name));
        EXPECT_EQ(ReadFile(Path(c.Name)).left(c.Magic.size()), c.Magic) << c.Name;
    }
}

TEST_F(PictureExportTest, UnknownExtensionsAreRefusedAndWriteNothing)
{
    BuildPage();
    QDir(dir.path()).mkdir("pictures.bmp");
    struct Case {
        QString Name;
        const char *Message;
    };
    for (const Case &c : {Case{"page.png", "Unexpected file type: .png"}, Case{"PAGE.Png", "Unexpected file type: .Png"},
                          Case{"page", "Unexpected file type: "}, Case{"page.", "Unexpected file type: ."},
                          Case{"page.bmp.txt", "Unexpected file type: .txt"},
                          Case{"pictures.bmp/page", "Unexpected file type: "}}) {
        try {
            diagram->SaveAsImage(Path(c.Name));
            ADD_FAILURE() << "no exception for " << c.Name.toStdString();
        } catch (const EPictureError &error) {
            EXPECT_STREQ(error.what(), c.Message);
        }
    }
    EXPECT_EQ(Files(), QStringList());
    EXPECT_TRUE(QDir(Path("pictures.bmp")).isEmpty());
}

TEST_F(PictureExportTest, GifIsNotYetAvailableAndWritesNothing)
{
    BuildPage();
    for (const char *name : {"page.gif", "PAGE.GIF"}) {
        try {
            diagram->SaveAsImage(Path(name));
            ADD_FAILURE() << "no exception";
        } catch (const std::runtime_error &error) {
            EXPECT_STREQ(error.what(), "Saving as GIF is not available in this version.");
        }
    }
    EXPECT_EQ(Files(), QStringList());
}

TEST_F(PictureExportTest, PagesTooLargeForOneBitmapFailClearlyAndKeepTheOldFile)
{
    BuildPage();
    const QString path = Path("old.bmp");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old picture");
    }
    table->Left = 40000;  // the page becomes 40230 pixels wide
    diagram->Rebuild();
    for (const char *name : {"old.bmp", "new.jpg"}) {
        try {
            diagram->SaveAsImage(Path(name));
            ADD_FAILURE() << "no exception";
        } catch (const EPictureError &error) {
            EXPECT_EQ(QString::fromUtf8(error.what()),
                      "The page is too large for a picture: 40230 x 330 pixels; a picture has at most 32767 "
                      "pixels on a side.");
        }
    }
    EXPECT_EQ(ReadFile(path), QByteArray("old picture"));
    EXPECT_EQ(Files(), QStringList{"old.bmp"});

    // Within the side limit but beyond the memory of one bitmap; and sizes that are no picture.
    EXPECT_THROW(diagram->RenderBitmap(32000, 32000), EPictureError);
    EXPECT_THROW(diagram->RenderBitmap(0, 10), EPictureError);
    EXPECT_THROW(diagram->RenderBitmap(10, -1), EPictureError);
    EXPECT_EQ(diagram->RenderBitmap(32767, 1).size(), QSize(32767, 1));
}

TEST_F(PictureExportTest, SavingReplacesAWholeFileOrReportsTheFolder)
{
    BuildPage();
    const QString path = Path("page.bmp");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2000000, 'x'));  // longer than the picture
    }
    diagram->SaveAsImage(path);
    QImage image;
    ASSERT_TRUE(image.loadFromData(ReadFile(path), "BMP"));
    EXPECT_EQ(image.size(), QSize(530, 330));
    EXPECT_EQ(Files(), QStringList{"page.bmp"});  // no temporary file left

    const QString missing = Path("no such folder/page.jpg");
    try {
        diagram->SaveAsImage(missing);
        ADD_FAILURE() << "no exception";
    } catch (const EPictureError &error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).startsWith("Cannot create file \"" + missing + "\". "))
            << error.what();
    }
}

TEST(JpegWriter, EncoderFailuresBecomeJpegErrorsWithTheirNumber)
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
    // The writer is whole again after a failure.
    QImage image(17, 9, QImage::Format_ARGB32);
    image.fill(qRgb(200, 30, 40));
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    TJpegWriter().Write(image, second);
    const TDecodedJpeg jpeg = DecodeJpeg(second.data());
    ASSERT_TRUE(jpeg.Ok);
    EXPECT_EQ(QSize(jpeg.Width, jpeg.Height), QSize(17, 9));
    EXPECT_TRUE(Near(QRgbToColor(jpeg.Image.pixel(8, 4)) & 0xFFFFFF, RGBColor(200, 30, 40), 6));
}

TEST(JpegWriter, ADeviceThatRefusesTheDataIsReported)
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QBuffer buffer;
    buffer.open(QIODevice::ReadOnly);  // every write fails
    EXPECT_THROW(TJpegWriter().Write(image, buffer), std::runtime_error);
}

} // namespace
