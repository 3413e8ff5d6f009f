// Sub-block writing and reading shared by every GIF block, and files written whole or not at all.
#include "gif_test_util.h"

#include "canvas/gif/file_stream.h"
#include "canvas/gif/gif_io.h"
#include "canvas/gif/gif_writer.h"

#include <QTemporaryDir>

using namespace giftest;

namespace {
// The lengths of the sub-blocks, and their data joined.
std::vector<int> BlockLengths(const Bytes &out, Bytes *data = nullptr)
{
    std::vector<int> blocks;
    for (std::size_t i = 0; i < out.size(); i += 1 + out[i]) {
        blocks.push_back(out[i]);
        if (data)
            data->insert(data->end(), out.begin() + std::ptrdiff_t(i + 1), out.begin() + std::ptrdiff_t(i + 1 + out[i]));
    }
    return blocks;
}
}  // namespace

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
        EXPECT_EQ(BlockLengths(target.Bytes(), &data), c.Blocks);
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
    EXPECT_EQ(BlockLengths(stream.Bytes()), (std::vector<int>{255, 255, 90, 255, 1, 0}));
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
    ExpectGIFError([&] { gif::ReadStrings(cut, lines); }, "Premature end of data");
}

TEST(GIFStreams, SavedFileReplacesTheOldOneOnlyWhenWrittenWhole)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("picture.gif"), missing = dir.filePath("no/such/folder.gif");
    gif::SaveStreamToFile(name, [](gif::TStream &out) { out.Write("old", 3); });
    EXPECT_THROW(gif::SaveStreamToFile(name, [](gif::TStream &out) { out.Write("new!", 4), throw gif::GIFException("x"); }),
                 gif::GIFException);
    char buffer[8] = {};
    EXPECT_EQ(gif::TFileStream(name).Read(buffer, sizeof buffer), 3u);
    EXPECT_STREQ(buffer, "old");
    EXPECT_THROW(gif::TFileStream(dir.filePath("missing.gif")), gif::EStreamError);
    // The program's words, then the system's reason.
    const std::string prefix = "Cannot create file \"" + missing.toStdString() + "\". ";
    try {
        gif::SaveStreamToFile(missing, [](gif::TStream &out) { out.Write("x", 1); });
        ADD_FAILURE() << "no error";
    } catch (const gif::EStreamError &error) {
        EXPECT_GT(std::string(error.what()).size(), prefix.size());
        EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u);
    }
}
