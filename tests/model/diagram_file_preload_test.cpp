#include "model/diagram_file_preload.h"
#include "model/xml_parser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// Each parse goes to one load, only for the file as it was read; a refused
// text comes with its message, as the load's own reading would give it.
TEST(DiagramFilePreload, HandsOutEachParseOnceAndOnlyForTheFileAsRead)
{
    QTemporaryDir dir;
    const QString changed = dir.filePath("changed.xml"), good = dir.filePath("good.xml"),
                  bad = dir.filePath("bad.xml"), missing = dir.filePath("missing.xml");
    write(changed, "<a>1</a>");
    write(good, "<a>x</a>");
    write(bad, "<a>");
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    TDiagramFilePreload::Start({"changed.xml", "good.xml", "bad.xml", "missing.xml"});
    QDir::setCurrent(before);

    bool parsed = false;
    std::unique_ptr<TDirtyXMLParser> parser = TDiagramFilePreload::Take(good, parsed);
    ASSERT_NE(parser, nullptr);
    EXPECT_TRUE(parsed);
    EXPECT_EQ(parser->Root()->Text(), "x");
    EXPECT_EQ(TDiagramFilePreload::Take(good, parsed), nullptr);

    // The worker went through the files in order: the first was read before.
    write(changed, "<a>12</a>");
    EXPECT_EQ(TDiagramFilePreload::Take(changed, parsed), nullptr);

    parser = TDiagramFilePreload::Take(bad, parsed);
    ASSERT_NE(parser, nullptr);
    EXPECT_FALSE(parsed);
    EXPECT_EQ(parser->ErrorMessage(), "Unclosed element <a>");
    EXPECT_EQ(TDiagramFilePreload::Take(missing, parsed), nullptr);
    EXPECT_EQ(TDiagramFilePreload::Take(dir.filePath("other.xml"), parsed), nullptr);

    // A new start drops what the last one left.
    TDiagramFilePreload::Start({good});
    TDiagramFilePreload::Start({});
    EXPECT_EQ(TDiagramFilePreload::Take(good, parsed), nullptr);
    TDiagramFilePreload::Finish();
}

} // namespace
