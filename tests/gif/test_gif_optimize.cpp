// Optimising a multi-frame picture: the decisions of each option, the mended ones (delays of
// removed frames, transparent indices that are really colours, disposal a later frame needs,
// a bad method refused before any change), and the result checked by decoding the file
// before and after with Pillow and ImageMagick.
#include "gif_file_builder.h"
#include "gif_tools.h"

#include "canvas/gif/gif_comment_extension.h"

#include <QTemporaryDir>

using namespace giffile;

namespace {

constexpr unsigned AllOptions = 0x1F;
constexpr unsigned CropAndMerge = 0x03;
const std::vector<gif::TColor> Four{gif::RGBColor(200, 0, 0), gif::RGBColor(0, 150, 0), gif::RGBColor(0, 0, 90),
                                    gif::RGBColor(255, 255, 255)};

int Checker(int x, int y)
{
    return (x / 2 + y) % 3;
}

}  // namespace

TEST(GIFOptimize, RepeatedFrameGoesAndItsDelayAlwaysStaysWithTheFrameBefore)
{
    for (const int firstTransparent : {-1, 3}) {
        SCOPED_TRACE(firstTransparent);
        gif::TGIFImage image;
        AddFrame(image, {QRect(0, 0, 6, 4), Four, Checker, 20, 0, firstTransparent});
        AddFrame(image, {QRect(0, 0, 6, 4), Four, Checker, 35, 0, -1});
        image.OptimizeImage(CropAndMerge, 0, 0, 8);
        ASSERT_EQ(image.FrameCount(), 1);
        EXPECT_EQ(image.Frame(0)->Delay(), 55) << "the picture stays as long as before";
    }
}

TEST(GIFOptimize, FrameThatShowsNothingIsCroppedAwayUnlessItStartsAnAnimation)
{
    // Alone it goes; first of two it stays as one transparent pixel, keeping the first delay.
    for (const auto &[frames, left] : {std::pair(1, 0), std::pair(2, 2)}) {
        gif::TGIFImage image;
        AddFrame(image, {QRect(1, 1, 5, 3), Four, [](int, int) { return 2; }, 10, 0, 2});
        if (frames == 2)
            AddFrame(image, {QRect(0, 0, 6, 4), Four, Checker, 10});
        image.OptimizeImage(1u << gif::TGIFImage::ooCrop, 0, 0, 8);
        ASSERT_EQ(image.FrameCount(), left) << frames;
        if (frames == 2)
            EXPECT_EQ(image.Frame(0)->BoundsRect(), QRect(1, 1, 1, 1));
    }
}

// A frame that clears its area when it ends keeps its transparent margin: cropped, it would
// clear less, and the red beneath the margin would show again around the next frame.
TEST(GIFOptimize, CropLeavesAFrameThatClearsItsAreaWhole)
{
    QTemporaryDir dir;
    gif::TGIFImage image;
    for (gif::TColor c : Four)
        image.GlobalColorMap().Add(c);
    image.Header().SetBackgroundColorIndex(3);
    AddFrame(image, {QRect(0, 0, 6, 4), {}, [](int, int) { return 0; }, 10});
    AddFrame(image, {QRect(0, 0, 6, 4), {}, [](int x, int y) { return x == 2 && y == 1 ? 1 : 2; }, 10, 2, 2});
    AddFrame(image, {QRect(2, 1, 2, 2), {}, [](int, int) { return 2; }, 10});
    const Bytes before = Save(image);
    image.OptimizeImage(1u << gif::TGIFImage::ooCrop, 0, 0, 8);
    EXPECT_EQ(Save(image), before);
    GIF_NEEDS_READERS();
    image.SaveToFile(dir.filePath("after.gif"));
    const auto shown = giftools::Magick(dir.filePath("after.gif"), 6, 4);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].Picture.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(GIFOptimize, MergeMakesRepeatedPixelsTransparentThroughANewEntry)
{
    gif::TGIFImage image;
    AddFrame(image, {QRect(0, 0, 4, 2), Four, [](int x, int) { return x % 4; }, 10});
    // Pixels 1 and 2 repeat the frame before; the local table differs but shows equal colours.
    AddFrame(image, {QRect(0, 0, 4, 2), {Four[3], Four[2], Four[1], Four[0]},
                     [](int x, int y) { return y == 0 ? (x == 1 ? 2 : x == 2 ? 1 : 3) : 3; }, 10});
    image.OptimizeImage(1u << gif::TGIFImage::ooMerge, 0, 0, 8);
    gif::TGIFSubImage &second = *image.Frame(1);
    ASSERT_TRUE(second.Transparent());
    EXPECT_EQ(second.TransparentIndex(), 4) << "a new entry, not one the frame shows";
    EXPECT_EQ(second.ColorMap().Count(), 5);
    EXPECT_EQ(second.ColorMap().Colors(4), gif::RGBColor(0, 0, 0));
    // Red at the start of both rows repeats too (index 3 here, 0 before).
    const std::vector<std::uint8_t> want{4, 4, 4, 3, 4, 3, 3, 3};
    EXPECT_EQ(std::vector<std::uint8_t>(second.Data(), second.Data() + 8), want);
}

TEST(GIFOptimize, MergeOnTheGlobalTableNeverTakesAnIndexAnotherFrameShows)
{
    gif::TGIFImage image;
    for (gif::TColor c : Four)
        image.GlobalColorMap().Add(c);
    // Frame 0 is transparent through index 3, but frame 2 shows 3 (white) as a colour.
    AddFrame(image, {QRect(0, 0, 3, 1), {}, [](int x, int) { return x == 0 ? 3 : 1; }, 10, 0, 3});
    AddFrame(image, {QRect(0, 0, 3, 1), {}, [](int, int) { return 1; }, 10});
    AddFrame(image, {QRect(0, 0, 3, 1), {}, [](int, int) { return 3; }, 10});
    image.Frame(1)->Merge(*image.Frame(0));
    gif::TGIFSubImage &second = *image.Frame(1);
    ASSERT_TRUE(second.Transparent());
    EXPECT_EQ(second.TransparentIndex(), 4);
    EXPECT_EQ(image.GlobalColorMap().Count(), 5);
    EXPECT_EQ(std::vector<std::uint8_t>(second.Data(), second.Data() + 3), (std::vector<std::uint8_t>{1, 4, 4}));
}

TEST(GIFOptimize, FullTableOrRestoringPreviousFrameLeavesTheMergeUndone)
{
    std::vector<gif::TColor> full;
    for (int i = 0; i < 256; ++i)
        full.push_back(gif::RGBColor(i, 255 - i, i / 2));
    for (const auto &[name, disposal, colours] :
         {std::tuple("full table", 0, full), std::tuple("previous restores background", 2, Four),
          std::tuple("previous restores the one before", 3, Four)}) {
        SCOPED_TRACE(name);
        gif::TGIFImage image;
        AddFrame(image, {QRect(0, 0, 4, 3), colours, Checker, 10, disposal});
        AddFrame(image, {QRect(0, 0, 4, 3), colours, Checker, 10});
        image.OptimizeImage(1u << gif::TGIFImage::ooMerge, 0, 0, 8);
        EXPECT_FALSE(image.Frame(1)->Transparent());
        EXPECT_EQ(image.Frame(1)->Pixels(2, 1), Checker(2, 1));
    }
}

TEST(GIFOptimize, CleanupDropsWhatCarriesNothingAndKeepsDisposalALaterFrameNeeds)
{
    gif::TGIFImage single;
    gif::TGIFSubImage &only = AddFrame(single, {QRect(0, 0, 2, 2), Four, Checker, 0});
    AddLoop(only, 3);
    auto *comment = new gif::TGIFCommentExtension(&only);
    comment->Text = {"note"};
    only.Extensions().Add(std::unique_ptr<gif::TGIFExtension>(comment));
    single.OptimizeImage(1u << gif::TGIFImage::ooCleanup, 0, 0, 8);
    EXPECT_EQ(single.Frame(0)->Extensions().Count(), 0);
    EXPECT_EQ(single.Version(), gif::gv87a);

    // Disposal 2 under a frame that covers it whole becomes 0, unless that frame restores
    // what was before it (3), which then depends on it.
    for (const auto &[nextDisposal, want] : {std::pair(0, 0), std::pair(1, 0), std::pair(3, 2)}) {
        gif::TGIFImage image;
        AddFrame(image, {QRect(1, 1, 2, 2), Four, Checker, 10, 2});
        AddFrame(image, {QRect(0, 0, 4, 4), Four, Checker, 10, nextDisposal});
        AddFrame(image, {QRect(0, 0, 4, 4), Four, [](int, int) { return 1; }, 10});
        image.OptimizeImage(1u << gif::TGIFImage::ooCleanup, 0, 0, 8);
        EXPECT_EQ(image.Frame(0)->Disposal(), want) << nextDisposal;
    }

    // A transparent frame whose transparent index no pixel uses becomes opaque.
    gif::TGIFImage image;
    AddFrame(image, {QRect(0, 0, 2, 2), Four, [](int, int) { return 1; }, 10, 0, 2});
    AddFrame(image, {QRect(0, 0, 2, 2), Four, [](int, int) { return 2; }, 10, 0, 2});
    image.OptimizeImage(1u << gif::TGIFImage::ooCleanup, 0, 0, 8);
    EXPECT_FALSE(image.Frame(0)->Transparent());
    EXPECT_TRUE(image.Frame(1)->Transparent());
}

TEST(GIFOptimize, BadReductionMethodIsRefusedBeforeAnythingChangesAndProgressCountsSixStepsPerFrame)
{
    gif::TGIFImage image;
    for (int i = 0; i < 3; ++i)
        AddFrame(image, {QRect(0, 0, 2, 2), Four, [i](int x, int) { return (x + i) % 4; }, 10});
    const Bytes before = Save(image);
    // The caller's own palette (9) is refused only when the clean-up (bit 2) does not run.
    const unsigned withoutCleanup = AllOptions & ~(1u << gif::TGIFImage::ooCleanup);
    for (const auto &[options, method] : {std::pair(withoutCleanup, 9), std::pair(AllOptions, 10), std::pair(AllOptions, -1)})
        EXPECT_EQ(ErrorOf([&] { image.OptimizeImage(options, method, 0, 8); }), "Invalid reduction method") << method;
    EXPECT_EQ(Save(image), before);
    std::vector<int> running, ending;
    image.OnProgress = [&](gif::TProgressStage stage, int percent, const std::string &text) {
        ASSERT_EQ(text, "Optimizing...");
        (stage == gif::TProgressStage::psRunning ? running : ending).push_back(percent);
    };
    image.OptimizeImage(AllOptions, 8, 0, 8);  // performs no reduction of its own
    ASSERT_FALSE(running.empty());
    EXPECT_EQ(running.front(), 6);  // 1 x 100 / 18, rounded
    EXPECT_TRUE(std::is_sorted(running.begin(), running.end()));
    EXPECT_LE(running.back(), 100);
    EXPECT_EQ(ending, (std::vector<int>{0, 100}));  // the starting stage, then the end
    image.OnProgress = nullptr;
    EXPECT_EQ(ErrorOf([&] { image.OptimizeImage(AllOptions, 9, 0, 8); }), "");
}

namespace {

// A small animation with the cases optimisation changes: repeated frames, frames that
// repeat part of the one before, transparency, background and previous restores, a loop,
// a comment, local and global tables.
void BuildAnimation(gif::TGIFImage &image, int TransparentBeforeLast)
{
    for (gif::TColor c : Four)
        image.GlobalColorMap().Add(c);
    // Readers restore a background either to transparent or to this colour; white on white
    // makes both readings agree.
    image.Header().SetBackgroundColorIndex(3);
    const int w = 24, h = 16;
    AddLoop(AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return (x * 3 + y) % 4; }, 10}), 2);
    AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return (x * 3 + y) % 4; }, 20});
    AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return x > 10 && y < 8 ? 1 : (x * 3 + y) % 4; }, 30});
    AddFrame(image, {QRect(4, 2, 10, 8), {}, [](int x, int) { return x < 5 ? 2 : 0; }, 40, 2});
    AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return (x + y) % 4; }, 20, 1, 3});
    AddFrame(image, {QRect(6, 6, 12, 6), {gif::RGBColor(9, 8, 7), gif::RGBColor(200, 100, 50)},
                     [](int x, int y) { return (x + y) % 2; }, 30, 3});
    AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return (x + y) % 4; }, 10, 0, TransparentBeforeLast});
    AddFrame(image, {QRect(0, 0, w, h), {}, [](int x, int y) { return x < 12 ? (x + y) % 4 : 2; }, 50});
    auto *comment = new gif::TGIFCommentExtension(image.Frame(2));
    comment->Text = {"made for a test"};
    image.Frame(2)->Extensions().Add(std::unique_ptr<gif::TGIFExtension>(comment));
}

}  // namespace

TEST(GIFOptimize, OptimisedFileShowsThePicturesForAsLongAsBefore)
{
    GIF_NEEDS_READERS();
    // With a transparent frame before the last, Pillow composes the merged last frame
    // differently from its own reading of the original (ImageMagick reads both alike), so
    // that variant is judged by ImageMagick alone.
    for (const auto &[transparentBeforeLast, askPillow] : {std::pair(-1, true), std::pair(0, false)}) {
        SCOPED_TRACE(transparentBeforeLast);
        QTemporaryDir dir;
        const QString before = dir.filePath("before.gif"), after = dir.filePath("after.gif");
        gif::TGIFImage image;
        BuildAnimation(image, transparentBeforeLast);
        image.SaveToFile(before);
        image.OptimizeImage(AllOptions, 0, 0, 8);
        EXPECT_LT(image.FrameCount(), 8);
        image.SaveToFile(after);
        EXPECT_LT(QFileInfo(after).size(), QFileInfo(before).size());
        if (askPillow) {
            const auto shown = giftools::Pillow(before, true);
            ASSERT_GE(shown.size(), 5u);
            EXPECT_TRUE(giftools::Pillow(after, true) == shown);
        }
        const auto shown = giftools::Magick(before, 24, 16, true);
        ASSERT_GE(shown.size(), 5u);
        EXPECT_TRUE(giftools::Magick(after, 24, 16, true) == shown);
    }
}
