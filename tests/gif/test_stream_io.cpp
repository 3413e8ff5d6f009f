// Sub-block writing and the stream routines shared by every GIF block.
#include "gif_test_util.h"

#include "canvas/gif/file_stream.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_writer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace giftest;

TEST(GIFWriter, CutsBytesIntoSubBlocksOf255)
{
    const struct {
        std::vector<std::size_t> Writes;
        std::vector<std::size_t> Blocks;  // lengths of the sub-blocks written
    } cases[] = {
        {{1}, {1}},
        {{255}, {255}},
        {{256}, {255, 1}},
        {{254, 2}, {255, 1}},  // the byte after a full block within one write is kept
        {{300, 300}, {255, 255, 90}},
        {{255, 0}, {255, 0}},  // a zero-byte write after an exact block leaves an empty block
        {{}, {}},
    };
    for (const auto &c : cases) {
        gif::TMemoryStream target;
        {
            gif::TGIFWriter writer(target);
            std::uint8_t next = 1;
            for (std::size_t n : c.Writes) {
                Bytes chunk(n);
                for (auto &b : chunk)
                    b = next++;
                writer.Write(chunk.data(), chunk.size());
            }
        }
        const Bytes &out = target.Bytes();
        std::vector<std::size_t> blocks;
        std::uint8_t expectedByte = 1;
        for (std::size_t i = 0; i < out.size(); i += 1 + out[i]) {
            blocks.push_back(out[i]);
            for (std::size_t k = 1; k <= out[i]; ++k)
                ASSERT_EQ(out[i + k], expectedByte++) << "data out of order";
        }
        EXPECT_EQ(blocks, c.Blocks);
    }

    // As a stream of its own the writer refuses reading and seeking.
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
    const Bytes &out = stream.Bytes();
    // 600 -> 255, 255, 90; the empty line writes nothing; 256 -> 255, 1; then a terminator.
    std::vector<int> blocks;
    for (std::size_t i = 0; i < out.size(); i += 1 + out[i])
        blocks.push_back(out[i]);
    EXPECT_EQ(blocks, (std::vector<int>{255, 255, 90, 255, 1, 0}));

    // Reading gives one line per sub-block.
    stream.SetPosition(0);
    gif::TGIFStrings lines{"old"};
    gif::ReadStrings(stream, lines);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], std::string(90, 'a'));
    EXPECT_EQ(lines[4], "b");

    // A missing terminator just ends the list; a sub-block cut short raises.
    gif::TMemoryStream open(Bytes{2, 'x', 'y'});
    gif::ReadStrings(open, lines);
    EXPECT_EQ(lines, (gif::TGIFStrings{"xy"}));
    EXPECT_EQ(gif::ReadByte(open), -1);
    gif::TMemoryStream cut(Bytes{3, 'x', 'y'});
    ExpectGIFError([&] { gif::ReadStrings(cut, lines); }, "Premature end of data");
}

TEST(GIFStreams, SavedFileReplacesTheOldOneOnlyWhenWrittenWhole)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("picture.gif");
    gif::SaveStreamToFile(name, [](gif::TStream &out) { out.Write("old", 3); });
    EXPECT_THROW(gif::SaveStreamToFile(name,
                                       [](gif::TStream &out) {
                                           out.Write("new!", 4);
                                           throw gif::GIFException("Image is empty");
                                       }),
                 gif::GIFException);
    gif::TFileStream in(name);
    char buffer[8] = {};
    EXPECT_EQ(in.Read(buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "old");
    EXPECT_THROW(gif::TFileStream(dir.filePath("missing.gif")), gif::EStreamError);
    // A folder that does not exist: the system's reason after the program's words.
    try {
        gif::SaveStreamToFile(dir.filePath("no/such/folder.gif"), [](gif::TStream &out) { out.Write("x", 1); });
        ADD_FAILURE() << "no error";
    } catch (const gif::EStreamError &error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" + dir.filePath("no/such/folder.gif").toStdString() + "\". ", 0), 0u);
    }
}
