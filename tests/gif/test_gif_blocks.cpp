// The block sequence of a GIF file read and written back byte for byte: every extension
// class, the registries that choose them, unknown blocks kept, and the errors and warnings
// of damaged runs.
#include "gif_file_builder.h"

#include "canvas/gif/gif_app_extension.h"
#include "canvas/gif/gif_comment_extension.h"
#include "canvas/gif/gif_extension_registry.h"
#include "canvas/gif/gif_graphic_control.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_loop_extension.h"
#include "canvas/gif/gif_text_extension.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace giffile;

TEST(GIFBlocks, ExtensionsAreReadByTheirClassAndWrittenBackAsTheyWere)
{
    const struct {
        const char *Name;
        Bytes Block, Written;  // in front of the frame; what is written back (empty: the same)
        const char *Class;
    } cases[] = {
        {"loop", Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {3, 1, 5, 0, 0}}), {}, "TGIFAppExtNSLoop"},
        {"other loop identifier", Cat({{0x21, 0xFF, 0x0B}, Text("ANIMEXTS1.0"), {3, 1, 0, 1, 0}}), {}, "TGIFAppExtNSLoop"},
        {"loop with buffer size", Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {3, 1, 0, 0, 5, 2, 0x10, 0x27, 0, 0, 0}}),
         {}, "TGIFAppExtNSLoop"},
        {"loop sub-block 3 skipped", Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {4, 3, 0xAA, 0xBB, 0xCC, 3, 1, 7, 0, 0}}),
         Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {3, 1, 7, 0, 0}}), "TGIFAppExtNSLoop"},
        {"unknown application", Cat({{0x21, 0xFF, 0x0B}, Text("XMP DataXMP"), {2, 'A', 'B', 1, 'C', 0}}), {},
         "TGIFUnknownAppExtension"},
        {"ten-byte identifier", Cat({{0x21, 0xFF, 0x0A}, Text("ABCDEFGHIJ"), {1, 'Z', 0}}), {}, "TGIFUnknownAppExtension"},
        {"twelve-byte identifier", Cat({{0x21, 0xFF, 0x0C}, Text("ABCDEFGHIJKL"), {1, 'Z', 0}}), {},
         "TGIFUnknownAppExtension"},
        {"comment", Cat({{0x21, 0xFE, 5}, Text("hello"), {3}, Text("abc"), {0}}), {}, "TGIFCommentExtension"},
        {"plain text", Cat({{0x21, 0x01, 12, 1, 0, 2, 0, 3, 0, 4, 0, 5, 6, 1, 0, 2}, Text("hi"), {0}}), {}, "TGIFTextExtension"},
        {"graphic control", {0x21, 0xF9, 4, 0x09, 10, 0, 1, 0}, {}, "TGIFGraphicControlExtension"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        Loaded loaded = Load(File(c.Block));
        ASSERT_EQ(loaded.Error, "");
        EXPECT_TRUE(loaded.Warnings.empty()) << loaded.Warnings.front();
        ASSERT_EQ(loaded.Image->FrameCount(), 1);
        gif::TGIFSubImage &frame = *loaded.Image->Frame(0);
        ASSERT_EQ(frame.Extensions().Count(), 1);
        EXPECT_EQ(frame.Extensions().Extensions(0)->ClassName(), c.Class);
        EXPECT_EQ(Save(*loaded.Image), File(c.Written.empty() ? c.Block : c.Written));
    }
}

TEST(GIFBlocks, ExtensionFieldsAsTheBlocksHoldThem)
{
    Loaded loop = Load(File(Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {3, 1, 0x34, 0x12, 5, 2, 1, 2, 3, 4, 0}})));
    auto *l = dynamic_cast<gif::TGIFAppExtNSLoop *>(loop.Image->Frame(0)->Extensions().Extensions(0));
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Loops, 0x1234);
    EXPECT_EQ(l->BufferSize, 0x04030201u);
    // A new one writes the loop count only: 19 bytes.
    gif::TGIFAppExtNSLoop fresh(loop.Image->Frame(0));
    fresh.Loops = 0x0203;
    gif::TMemoryStream out;
    fresh.SaveToStream(out);
    EXPECT_EQ(out.Bytes(), Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0"), {3, 1, 3, 2, 0}}));

    // Disposal 2, user input, transparent; delay 0x0102; index 1.
    Loaded control = Load(File({0x21, 0xF9, 4, 0x0B, 2, 1, 1, 0}));
    gif::TGIFSubImage &frame = *control.Image->Frame(0);
    ASSERT_NE(frame.GraphicControlExtension(), nullptr);
    EXPECT_EQ(std::tuple(frame.GraphicControlExtension()->Disposal(), frame.GraphicControlExtension()->UserInput(),
                         frame.Delay(), frame.Transparent(), frame.TransparentIndex()),
              std::tuple(2, true, 0x0102, true, 1));
    // Transparent pixels the data never reached would take index 1; this frame's all arrived.
    EXPECT_EQ(frame.Pixels(0, 0), 1);
    EXPECT_EQ(frame.Pixels(1, 0), 0);

    Loaded comment = Load(File({}, Cat({{0x21, 0xFE, 2}, Text("ab"), {1}, Text("c"), {0}})));
    ASSERT_EQ(comment.Image->FrameCount(), 2) << "a trailing extension run lives on an empty frame";
    EXPECT_TRUE(comment.Image->Frame(1)->Empty());
    auto *text = dynamic_cast<gif::TGIFCommentExtension *>(comment.Image->Frame(1)->Extensions().Extensions(0));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Text, (gif::TGIFStrings{"ab", "c"}));
    EXPECT_EQ(Save(*comment.Image), File({}, Cat({{0x21, 0xFE, 2}, Text("ab"), {1}, Text("c"), {0}})));
}

TEST(GIFBlocks, GraphicControlBelongsToItsFrameAndChecksTheTransparentIndex)
{
    gif::TGIFImage image;
    auto owned = std::make_unique<gif::TGIFSubImage>(&image);
    gif::TGIFSubImage &frame = *owned;
    image.Add(std::move(owned));
    std::vector<std::string> warnings;
    image.OnWarning = [&](int, const std::string &m) { warnings.push_back(m); };

    auto *first = new gif::TGIFGraphicControlExtension(&frame);
    frame.Extensions().Add(std::unique_ptr<gif::TGIFExtension>(first));
    frame.Extensions().Add(std::make_unique<gif::TGIFGraphicControlExtension>(&frame));
    EXPECT_EQ(frame.GraphicControlExtension(), first) << "the second does not replace the first";

    // No colour table at all: any index is taken.
    first->SetTransparentColorIndex(5);
    EXPECT_EQ(first->TransparentColorIndex(), 5);
    EXPECT_TRUE(warnings.empty());
    for (int i = 0; i < 4; ++i)
        frame.ColorMap().Add(gif::RGBColor(i, 0, 0));
    first->SetTransparentColorIndex(3);  // the last entry of four
    EXPECT_EQ(first->TransparentColorIndex(), 3);
    first->SetTransparentColorIndex(4);
    EXPECT_EQ(first->TransparentColorIndex(), 0);
    EXPECT_EQ(warnings, std::vector<std::string>{"Invalid color index"});
    first->SetDisposal(0x0E);  // only the low three bits count
    first->SetTransparent(true);
    EXPECT_TRUE(frame.Transparent());
    EXPECT_EQ(first->Disposal(), 6);
    frame.Extensions().Delete(0);
    EXPECT_FALSE(frame.Transparent()) << "a transparent control block takes the frame's transparency with it";
    EXPECT_EQ(frame.GraphicControlExtension(), nullptr);
}

TEST(GIFBlocks, RegistriesLetLaterClassesWinAndCompareAllElevenBytes)
{
    gif::TAppExtensionList apps;
    EXPECT_EQ(apps.Find(gif::MakeApplicationIdent("NETSCAPE", "2.0")), &gif::TGIFAppExtNSLoop::ClassInfo());
    EXPECT_EQ(apps.Find(gif::MakeApplicationIdent("NETSCAPE", "2.1")), nullptr);
    EXPECT_EQ(apps.Find(gif::MakeApplicationIdent("ANIMEXTS", "1.0")), &gif::TGIFAppExtNSLoop::ClassInfo());
    apps.Add(gif::MakeApplicationIdent("NETSCAPE", "2.0"), gif::TGIFUnknownAppExtension::ClassInfo());
    EXPECT_EQ(apps.Find(gif::MakeApplicationIdent("NETSCAPE", "2.0")), &gif::TGIFUnknownAppExtension::ClassInfo());

    gif::TExtensionList labels;
    EXPECT_EQ(labels.Find(0xF9), &gif::TGIFGraphicControlExtension::ClassInfo());
    EXPECT_EQ(labels.Find(0x01), &gif::TGIFTextExtension::ClassInfo());
    EXPECT_EQ(labels.Find(0xFE), &gif::TGIFCommentExtension::ClassInfo());
    EXPECT_EQ(labels.Find(0xFF), &gif::TGIFApplicationExtension::ClassInfo());
    EXPECT_EQ(labels.Find(0xFA), nullptr);
    labels.Add(0xF9, gif::TGIFCommentExtension::ClassInfo());
    EXPECT_EQ(labels.Find(0xF9), &gif::TGIFCommentExtension::ClassInfo());
}

TEST(GIFBlocks, DamagedRunsEndInAnErrorOrAWarning)
{
    const Bytes loopIdent = Cat({{0x21, 0xFF, 0x0B}, Text("NETSCAPE2.0")});
    const struct {
        const char *Name;
        Bytes File;
        std::string Error;
        std::vector<std::string> Warnings;
        int Frames;
    } cases[] = {
        {"identifier block of 9", File(Cat({{0x21, 0xFF, 9}, Text("ABCDEFGHI"), {0}})),
         "Unsupported Application Extension block size", {}, 0},
        {"loop count cut short", File(Cat({loopIdent, {2, 1, 5, 0}})), "Invalid GIF data", {}, 0},
        {"buffer size cut short", File(Cat({loopIdent, {4, 2, 1, 2, 3, 0}})), "Invalid GIF data", {}, 0},
        {"unknown label", File({0x21, 0x77, 1, 0, 0}), "Unknown extension type", {}, 0},
        {"text block cut", Cat({Header(), {0x21, 0x01, 12, 0, 0}}), "Premature end of data", {}, 0},
        {"graphic control cut", Cat({Header(), {0x21, 0xF9, 4, 1}}), "", {"Premature end of data"}, 1},
        {"loop block cut after its identifier", Cat({Header(), loopIdent}), "", {"Premature end of data"}, 1},
        {"loop block cut before its terminator", Cat({Header(), loopIdent, {3, 1, 5, 0}}), "", {"Premature end of data"}, 1},
        // The warning comes first; the block the next byte names then refuses the stray byte.
        {"stray byte in a run", File({0x21, 0xFE, 0, 0x99, 0xFE, 0}), "Invalid extension introducer",
         {"Invalid extension introducer"}, 0},
        {"stray byte that names no class", File({0x21, 0xFE, 0, 0x99, 0x77}), "Unknown extension type",
         {"Invalid extension introducer"}, 0},
        {"descriptor cut", Cat({Header(), {0x2C, 0, 0, 0}}), "Premature end of data", {}, 0},
        {"unknown block", Cat({Header(), Frame(), {0x99, 0x3B}}), "", {"Unknown GIF block type", "Invalid Image trailer"}, 1},
        {"zero bytes between blocks", Cat({Header(), {0, 0}, Frame(), {0, 0x3B}}), "", {}, 1},
        {"no trailer", Cat({Header(), Frame()}), "", {}, 1},
        {"frame of width 0 takes the screen's size", Cat({Header(), {0x2C, 0, 0, 0, 0, 0, 0, 1, 0, 0, 2, 2, 0x0C, 0x0A, 0, 0x3B}}),
         "", {"Image exceeds Logical Screen size"}, 1},
        {"bad signature", Cat({Text("GIX89a"), {2, 0, 1, 0, 0, 0, 0, 0x3B}}), "Invalid GIF signature", {}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const Loaded loaded = Load(c.File);
        EXPECT_EQ(loaded.Error, c.Error);
        EXPECT_EQ(loaded.Warnings, c.Warnings);
        EXPECT_EQ(loaded.Image->FrameCount(), c.Frames);
    }
}

TEST(GIFBlocks, FailedLoadPutsTheStreamBackAndKeepsWhatWasRead)
{
    const Bytes file = Cat({{'x', 'y'}, Header(), Frame(), {0x21, 0xFF, 9, 0}});
    gif::TGIFImage image;
    gif::TMemoryStream stream(file);
    stream.SetPosition(2);
    std::vector<int> endings;
    image.OnProgress = [&](gif::TProgressStage stage, int percent, const std::string &) {
        if (stage == gif::TProgressStage::psEnding)
            endings.push_back(percent);
    };
    EXPECT_THROW(image.LoadFromStream(stream), gif::GIFException);
    EXPECT_EQ(stream.Position(), 2);
    EXPECT_EQ(image.FrameCount(), 1);
    EXPECT_EQ(image.Width(), 2);
    EXPECT_EQ(endings, std::vector<int>{0});
}

TEST(GIFBlocks, TextLinesTravelAsSubBlocks)
{
    gif::TMemoryStream stream;
    gif::WriteStrings(stream, {std::string(600, 'a'), "", std::string(256, 'b')});
    // The empty line writes nothing; then a terminator.
    Bytes data;
    EXPECT_EQ(Unblock(stream.Bytes(), data, 0), (std::vector<int>{255, 255, 90, 255, 1, 0}));
    stream.SetPosition(0);
    gif::TGIFStrings lines{"old"};
    gif::ReadStrings(stream, lines);  // one line per sub-block
    EXPECT_EQ(lines, (gif::TGIFStrings{std::string(255, 'a'), std::string(255, 'a'), std::string(90, 'a'),
                                       std::string(255, 'b'), "b"}));
    // A missing terminator just ends the list; a sub-block cut short raises.
    gif::TMemoryStream open(Bytes{2, 'x', 'y'});
    gif::ReadStrings(open, lines);
    EXPECT_EQ(lines, (gif::TGIFStrings{"xy"}));
    EXPECT_EQ(gif::ReadByte(open), -1);
    gif::TMemoryStream cut(Bytes{3, 'x', 'y'});
    EXPECT_EQ(ErrorOf([&] { gif::ReadStrings(cut, lines); }), "Premature end of data");
}
