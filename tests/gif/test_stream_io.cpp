// Sub-block writing and reading shared by every GIF block.
#include "gif_test_util.h"

#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_writer.h"

using namespace giftest;

TEST(GIFWriter, CutsBytesIntoSubBlocksOf255)
{
    const struct {
        std::vector<std::size_t> Writes;
        std::vector<int> Blocks;
    } cases[] = {
        {{1}, {1}}, {{255}, {255}}, {{256}, {255, 1}}, {{254, 2}, {255, 1}}, {{300, 300}, {255, 255, 90}},
        {{255, 0}, {255, 0}},  // a zero-byte write after an exact block leaves an empty block
        {{}, {}},
    };
    for (const auto &c : cases) {
        gif::TMemoryStream target;
        Bytes all;
        {
            gif::TGIFWriter writer(target);
            for (std::size_t n : c.Writes) {
                Bytes chunk(n);
                for (auto &b : chunk)
                    b = std::uint8_t(all.size() * 7 + 1), all.push_back(b);
                writer.Write(chunk.data(), chunk.size());
            }
        }
        Bytes data;
        EXPECT_EQ(Unblock(target.Bytes(), data, 0), c.Blocks);
        EXPECT_EQ(data, all) << "data out of order";
    }
    gif::TMemoryStream target;
    gif::TGIFWriter writer(target);
    std::uint8_t b;
    EXPECT_THROW(writer.Read(&b, 1), gif::EInvalidGraphicOperation);
    EXPECT_THROW(writer.Seek(0, gif::TSeekOrigin::soBeginning), gif::EInvalidGraphicOperation);
    EXPECT_THROW(gif::TGIFStream(target).Write(&b, 1), gif::EInvalidGraphicOperation);
}

TEST(GIFStreams, LinesTravelAsSubBlocks)
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
