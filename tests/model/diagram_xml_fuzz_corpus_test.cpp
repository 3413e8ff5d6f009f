// Replays the diagram reader's fuzzing corpus: each input loads or fails with
// a message, and what loads writes and reads back to a stable document.
#include "diagram_xml_test_support.h"
#include "model/diagram_xml_reader.h"
#include "model/xml_text.h"
#include "test_data.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace {

using DiagramReaderFuzzCorpus = DiagramFileTest;

bool LoadOrMessage(TDiagramObjectModel &model, const QByteArray &bytes, const QString &input)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    try {
        return TLoadXMLDiagram::LoadFromStream(buffer, nullptr, false, &model);
    } catch (const EModelError &e) {
        EXPECT_FALSE(e.Message().isEmpty()) << input.toStdString();
    } catch (const std::exception &e) {
        ADD_FAILURE() << input.toStdString() << ": unexpected exception " << e.what();
    }
    return false;
}

QByteArray Written(const TDiagramObjectModel &model)
{
    return TXmlText::ToFileBytes(model.BuildDiagramXml(true));
}

TEST_F(DiagramReaderFuzzCorpus, EveryInputLoadsOrFailsCleanly)
{
    const QString folder = testDataPath("fuzz/diagram_reader");
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    int inputs = 0;
    int loaded = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        TDiagramObjectModel model;
        ++inputs;
        if (!LoadOrMessage(model, file.readAll(), path))
            continue;
        ++loaded;
        TDiagramObjectModel second;
        ASSERT_TRUE(LoadOrMessage(second, Written(model), path)) << path.toStdString();
        const QByteArray stable = Written(second);
        TDiagramObjectModel third;
        ASSERT_TRUE(LoadOrMessage(third, stable, path)) << path.toStdString();
        EXPECT_EQ(Written(third), stable) << path.toStdString();
    }
    EXPECT_GT(inputs, 20) << "the corpus is missing";
    EXPECT_GT(loaded, 0);
}

} // namespace
