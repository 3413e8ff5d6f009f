// The GIF image object: a bitmap becomes a frame and a file whose bytes are worked out by
// hand; defaults, sizes, versions, palettes, copies, pixel access, icon masks, the clipboard
// and writing into a stream of other data.
#include "gif_file_builder.h"

#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/palettes.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <cstring>
#include <tuple>
#include <gtest/gtest.h>

using namespace giffile;

namespace {

// Red, green, red / blue, blue, red.
QImage ThreeByTwo(QImage::Format format)
{
    QImage image(3, 2, format);
    const QRgb colours[6] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(255, 0, 0),
                             qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(255, 0, 0)};
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    return image;
}

}  // namespace

TEST(GIFImage, TrueColourBitmapWithoutReductionIsTheseBytes)
{
    gif::TGIFImage image;
    image.ColorReduction = 0;
    image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    const Bytes want{'G', 'I', 'F', '8', '7', 'a', 3, 0, 2, 0,
                     0x11,  // no global table; resolution and depth of the 2-bit frame
                     0, 0,
                     0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x81,
                     // colours in order of first use, padded to four
                     0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0,
                     // indices 0 1 0 2 2 0: clear, 0, 1, 0 at 3 bits (a reader makes entry 7
                     // only on the fourth code), then 2, 2, 0, end at 4 bits
                     2, 4, 0x44, 0x20, 0x02, 0x05, 0,
                     0x3B};
    EXPECT_EQ(Save(image), want);
}

TEST(GIFImage, DefaultsReduceTrueColourToTheWebPalette)
{
    gif::TGIFImage image;
    EXPECT_EQ((std::vector<int>{image.DrawOptions, image.ColorReduction, image.ReductionBits, image.DitherMode,
                                image.Compression, image.ThreadPriority, image.AnimationSpeed, image.BackgroundDrawColor}),
              (std::vector<int>{0x060F, 6, 8, 0, 0, 3, 100, 0x1FFFFFFF}));
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(ErrorOf([&] { Save(image); }), "Unsupported GIF version");
    for (QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_RGB16}) {
        image.AssignBitmap(ThreeByTwo(format));
        ASSERT_EQ(image.FrameCount(), 1);
        const gif::TGIFSubImage &frame = *image.Frame(0);
        // Red is cube entry 36 x 5, green 6 x 5, blue 5.
        EXPECT_EQ(Bytes(frame.Data(), frame.Data() + 6), (Bytes{180, 30, 180, 5, 5, 180}));
        EXPECT_EQ(frame.BoundsRect(), QRect(0, 0, 3, 2));
        EXPECT_EQ(frame.Extensions().Count(), 0);
    }
}

TEST(GIFImage, IndexedAndMonochromeBitmapsKeepTheirTablesAndIndices)
{
    QImage indexed(5, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(10, 20, 30), qRgb(40, 50, 60), qRgb(70, 80, 90)});
    const std::uint8_t row[5] = {2, 0, 1, 1, 2};
    std::memcpy(indexed.scanLine(0), row, 5);
    gif::TGIFImage image;
    image.AssignBitmap(indexed);
    gif::TGIFSubImage &frame = *image.Frame(0);
    EXPECT_EQ(frame.ColorMap().Count(), 3);
    EXPECT_EQ(frame.ColorMap().Colors(2), gif::RGBColor(70, 80, 90));
    EXPECT_EQ(Bytes(frame.Data(), frame.Data() + 5), (Bytes{2, 0, 1, 1, 2}));

    // Nine pixels: the ninth comes from the most significant bit of the second byte.
    QImage mono(9, 1, QImage::Format_Mono);
    mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mono.fill(0);
    for (int x : {0, 3, 8})
        mono.setPixel(x, 0, 1);
    image.AssignBitmap(mono);
    gif::TGIFSubImage &bits = *image.Frame(0);
    EXPECT_EQ(bits.ColorMap().Count(), 2);
    EXPECT_EQ(Bytes(bits.Data(), bits.Data() + 9), (Bytes{1, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST(GIFImage, ConversionReportsProgressEveryThirtyTwoRows)
{
    for (const auto &[rows, want] : {std::pair(32, std::vector<int>{0, 100}), std::pair(33, std::vector<int>{0, 96, 100}),
                                     std::pair(65, std::vector<int>{0, 49, 98, 100})}) {
        gif::TGIFImage image;
        std::vector<int> seen;  // running stages, then the end
        image.OnProgress = [&](gif::TProgressStage stage, int percent, const std::string &text) {
            if (text == "Converting..." && stage != gif::TProgressStage::psStarting)
                seen.push_back(percent);
        };
        QImage picture(4, rows, QImage::Format_RGB32);
        picture.fill(Qt::white);
        image.AssignBitmap(picture);
        EXPECT_EQ(seen, want) << rows;
    }
}

TEST(GIFImage, TooManyColoursWithoutReductionOverflowTheTable)
{
    QImage picture(257, 1, QImage::Format_RGB32);
    for (int x = 0; x < 257; ++x)
        picture.setPixel(x, 0, qRgb(x & 255, x >> 8, 7));
    gif::TGIFImage image;
    image.ColorReduction = 0;
    EXPECT_EQ(ErrorOf([&] { image.AssignBitmap(picture); }), "Color table overflow");
    picture = picture.copy(0, 0, 256, 1);
    image.AssignBitmap(picture);
    EXPECT_EQ(image.Frame(0)->ColorMap().Count(), 256);
    image.ColorReduction = 10;
    EXPECT_EQ(ErrorOf([&] { image.AssignBitmap(picture); }), "Invalid reduction method");
}

TEST(GIFImage, SizeVersionEqualityAndPixelAccess)
{
    gif::TGIFImage image;
    int changes = 0;
    image.OnChange = [&] { ++changes; };
    image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    image.Frame(0)->SetLeft(2);
    EXPECT_EQ(image.Width(), 5);
    changes = 0;
    EXPECT_EQ(ErrorOf([&] { image.SetWidth(4); }), "Image width too small for contained frames");
    EXPECT_EQ(ErrorOf([&] { image.SetHeight(1); }), "Image height too small for contained frames");
    image.SetWidth(5);
    EXPECT_EQ(changes, 0) << "the same width again changes nothing";
    image.SetWidth(6);
    EXPECT_EQ(image.Width(), 6);
    EXPECT_EQ(changes, 1);

    EXPECT_EQ(image.Version(), gif::gv87a);
    image.Frame(0)->ColorMap().SetOptimized(true);
    EXPECT_EQ(image.Version(), gif::gv89a);

    gif::TGIFImage twin;
    twin.Assign(&image);
    EXPECT_FALSE(twin.Equals(image));
    EXPECT_TRUE(image.Equals(image));

    gif::TGIFSubImage &frame = *image.Frame(0);
    EXPECT_EQ(frame.Pixels(2, 1), 180);
    for (const auto &[x, y] : {std::pair(-1, 0), std::pair(3, 0), std::pair(0, -1), std::pair(0, 2)})
        EXPECT_EQ(ErrorOf([&, x = x, y = y] { frame.Pixels(x, y); }), "Invalid pixel coordinates") << x << "," << y;
    EXPECT_EQ(ErrorOf([&] { gif::TGIFSubImage(&image).ScanLine(0); }), "Invalid pixel coordinates");
}

TEST(GIFImage, FramesBeyondTheScreenGrowItWithWarningsOnceItHasASize)
{
    gif::TGIFImage image;
    std::vector<std::string> warnings;
    image.OnWarning = [&](int, const std::string &m) { warnings.push_back(m); };
    image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    EXPECT_TRUE(warnings.empty()) << "a new image grows silently";
    auto frame = std::make_unique<gif::TGIFSubImage>(&image);
    frame->SetBounds(1, 1, 3, 2);
    image.Add(std::move(frame));
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.Height(), 3);
    EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                  "Image height too small for contained frames",
                                                  "Image exceeds Logical Screen size"}));
}

TEST(GIFImage, CopyTakesFramesAndSettingsButNotBitsCompressionOrHandlers)
{
    gif::TGIFImage source;
    source.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    source.Add(ThreeByTwo(QImage::Format_RGB32));
    std::tie(source.ReductionBits, source.Compression, source.ThreadPriority, source.DitherMode, source.ColorReduction,
             source.DrawOptions) = std::tuple(3, 1, 5, 2, 7, 0x0101);
    std::vector<std::pair<int, int>> progress;
    source.OnProgress = [&](gif::TProgressStage stage, int percent, const std::string &text) {
        if (text == "Copying...")
            progress.emplace_back(int(stage), percent);
    };
    gif::TGIFImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.FrameCount(), 2);
    // Bits and compression keep their own values.
    EXPECT_EQ(std::tuple(copy.ReductionBits, copy.Compression, copy.ThreadPriority, copy.DitherMode, copy.ColorReduction,
                         int(copy.DrawOptions)),
              std::tuple(8, 0, 5, 2, 7, 0x0101));
    EXPECT_FALSE(copy.OnProgress);
    EXPECT_FALSE(copy.OnWarning);
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 0}, {1, 50}, {1, 100}, {2, 100}}));
    source.OnProgress = nullptr;
    EXPECT_EQ(Save(copy), Save(source));
}

TEST(GIFImage, NestedPaletteRequestRaisesInsteadOfRecursing)
{
    // No global table and a first frame without a table of its own: frame and image ask
    // each other.
    Loaded loaded = Load(Cat({Text("GIF89a"), {2, 0, 1, 0, 0, 0, 0}, Frame(), {0x3B}}));
    ASSERT_EQ(loaded.Error, "");
    EXPECT_EQ(ErrorOf([&] { loaded.Image->GetPalette(); }), "No global or local color table defined");
    // With a global table the palette is the table's.
    Loaded plain = Load(File({}));
    EXPECT_EQ(plain.Image->GetPalette().size(), 2u);
    EXPECT_EQ(plain.Image->Frame(0)->GetPalette().size(), 2u);
}

TEST(GIFImage, FrameWithoutItsOwnTableKeepsOnlyItsInterlaceAndReservedBits)
{
    Loaded loaded = Load(File({}));
    gif::TGIFSubImage &frame = *loaded.Image->Frame(0);
    frame.SetPackedFields(0xFF & ~0x80);  // every bit but the table flag
    const Bytes bytes = Save(*loaded.Image);
    // Descriptor after the 13-byte header and the 6-byte global table.
    EXPECT_EQ(bytes[19 + 9], 0x58);
    Loaded again = Load(bytes);
    ASSERT_EQ(again.Error, "");
    EXPECT_EQ(Bytes(again.Image->Frame(0)->Data(), again.Image->Frame(0)->Data() + 2), (Bytes{1, 0}));
}

TEST(GIFImage, IconMaskBecomesATransparentBlackEntry)
{
    QImage icon(3, 1, QImage::Format_ARGB32);
    icon.setPixel(0, 0, qRgba(255, 0, 0, 255));
    icon.setPixel(1, 0, qRgba(0, 0, 0, 0));
    icon.setPixel(2, 0, qRgba(255, 0, 0, 255));
    gif::TGIFImage image;
    image.ColorReduction = 0;
    image.AssignIcon(icon);
    gif::TGIFSubImage &frame = *image.Frame(0);
    ASSERT_TRUE(frame.Transparent());
    const int t = frame.TransparentIndex();
    EXPECT_EQ(frame.ColorMap().Colors(t), gif::RGBColor(0, 0, 0));
    EXPECT_EQ(frame.Pixels(1, 0), t);
    EXPECT_NE(frame.Pixels(0, 0), t) << "the frame's own black is not the transparent entry";

    QImage drawn(3, 1, QImage::Format_RGB32);
    drawn.fill(qRgb(9, 99, 199));
    image.DrawOptions |= gif::DrawFlag(gif::drTransparent);
    {
        QPainter painter(&drawn);
        image.Draw(painter, drawn.rect());
    }
    EXPECT_EQ(drawn.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(1, 0), qRgb(9, 99, 199));
}

TEST(GIFImage, FailedAssignmentLeavesTheImageAsItWas)
{
    QImage tooMany(257, 1, QImage::Format_RGB32);
    for (int x = 0; x < 257; ++x)
        tooMany.setPixel(x, 0, qRgb(x & 255, x >> 8, 7));
    gif::TGIFImage image;
    image.ColorReduction = 0;
    image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    image.Add(ThreeByTwo(QImage::Format_RGB32));
    const Bytes before = Save(image);
    EXPECT_EQ(ErrorOf([&] { image.AssignBitmap(tooMany); }), "Color table overflow");
    EXPECT_EQ(std::tuple(image.FrameCount(), image.Width(), image.Height()), std::tuple(2, 3, 2));
    EXPECT_EQ(Save(image), before);
    // A copy stopped halfway by its progress handler keeps the settings and handlers too.
    gif::TGIFImage source;
    source.Assign(&image);
    source.DrawOptions = 0;
    source.OnProgress = [](gif::TProgressStage stage, int, const std::string &) {
        if (stage == gif::TProgressStage::psRunning)
            throw gif::GIFException("stopped");
    };
    image.OnWarning = [](int, const std::string &) {};
    EXPECT_EQ(ErrorOf([&] { image.Assign(&source); }), "stopped");
    EXPECT_EQ(std::tuple(image.DrawOptions, bool(image.OnWarning), bool(image.OnProgress)), std::tuple(0x060F, true, false));
    EXPECT_EQ(Save(image), before);
    // A frame of the image itself is still whole while it is copied.
    image.Assign(image.Frame(1));
    ASSERT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(Bytes(image.Frame(0)->Data(), image.Frame(0)->Data() + 6), (Bytes{0, 1, 0, 2, 2, 0}));
}

TEST(GIFImage, ClipboardCarriesTheWholeFileAndTheFirstFrameAsAnImage)
{
    gif::TGIFImage image;
    image.ColorReduction = 0;
    image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
    image.Add(ThreeByTwo(QImage::Format_RGB32));
    image.SaveToClipboardFormat();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QByteArray file = data->data("image/gif");
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).pixel(2, 1), qRgb(255, 0, 0));
    gif::TGIFImage pasted;
    pasted.LoadFromClipboardFormat();
    EXPECT_EQ(pasted.FrameCount(), 2);
    EXPECT_EQ(Save(pasted), Save(image));

    // An image alone becomes one frame; anything else is refused and changes nothing.
    QMimeData picture;
    picture.setImageData(ThreeByTwo(QImage::Format_RGB32));
    pasted.LoadFromClipboardFormat(picture);
    EXPECT_EQ(pasted.FrameCount(), 1);
    QMimeData text;
    text.setText("GIF89a");
    EXPECT_EQ(ErrorOf([&] { pasted.LoadFromClipboardFormat(text); }), "Unsupported clipboard format");
    EXPECT_EQ(pasted.FrameCount(), 1);
    // An empty image puts nothing there.
    gif::TGIFImage().SaveToClipboardFormat();
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->data("image/gif"), file);
}

TEST(GIFImage, WrittenIntoAStreamItIsOptimisedOnlyWhenAsked)
{
    for (const bool optimize : {false, true}) {
        gif::TGIFImage image;
        image.ColorReduction = 0;
        image.AssignBitmap(ThreeByTwo(QImage::Format_RGB32));
        image.Add(ThreeByTwo(QImage::Format_RGB32));
        gif::GIFOptimizeOnSave = optimize;
        gif::TMemoryStream stream;
        image.WriteData(stream);
        gif::GIFOptimizeOnSave = false;
        // The repeated frame goes.
        EXPECT_EQ(Load(stream.TakeBytes()).Image->FrameCount(), optimize ? 1 : 2);
    }
}
