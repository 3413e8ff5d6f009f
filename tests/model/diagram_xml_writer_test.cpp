// The diagram document as the writer produces it: checked byte for byte
// against golden files, for a whole page, an empty page and a selection.
#include "diagram_xml_test_support.h"
#include "model/xml_text.h"
#include "test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using DiagramXmlWriter = DiagramFileTest;

TEST_F(DiagramXmlWriter, EmptyPageWritesTheFourListsEmpty)
{
    CurrentModel->Style.SetDefaultStyle();
    CurrentModel->Name = QStringLiteral("New Model");
    expectGolden("diagram_empty.xml", FileBytes(CurrentModel->BuildDiagramXml(true)));
}

TEST_F(DiagramXmlWriter, FullPageUsesEveryElementAndEncoding)
{
    FillFullModel(*CurrentModel);
    const QByteArray bytes = FileBytes(CurrentModel->BuildDiagramXml(true));
    expectGolden("diagram_full.xml", bytes);
    // One byte per character of ISO-8859-1, references beyond it, CR LF lines.
    EXPECT_TRUE(bytes.contains("<![CDATA[Z\xfc" "rich or ]]>&#321;<![CDATA[\xf3" "d]]>&#378;<![CDATA[ ]]>&#128512;"
                               "<![CDATA[]]></property>"));
    EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n"));
    EXPECT_TRUE(bytes.endsWith("</marrowtide_diagram>\r\n"));
}

TEST_F(DiagramXmlWriter, SelectionWritesOnlySelectedObjectsInSelectionOrder)
{
    FillFullModel(*CurrentModel);
    AddTable(*CurrentModel, "SCOTT", "BONUS", 300, 300, 100, 60);
    const auto &tables = CurrentModel->Tables;
    // Selection order, not list order; parts of tables are never selected
    // on their own and are skipped.
    SelectedGraphics->Add(CurrentModel->Notes.GetNote(0));
    SelectedGraphics->Add(tables.GetTable(2));
    SelectedGraphics->Add(CurrentModel->ObjectTables.GetObjectTable(0));
    SelectedGraphics->Add(tables.GetTable(0)->Columns.GetColumn(0));
    SelectedGraphics->Add(tables.GetTable(0));
    expectGolden("diagram_selection.xml", FileBytes(CurrentModel->BuildDiagramXml(false)));
}

TEST_F(DiagramXmlWriter, PageElementHoldsNameAndCommentOnly)
{
    CurrentModel->Name = QStringLiteral("P");
    CurrentModel->Comment = QStringLiteral("c");
    QStringList list;
    CurrentModel->WriteXML(list, 4);
    EXPECT_EQ(list, (QStringList{"    <diagram>", "      <property name=\"name\"><![CDATA[P]]></property>",
                                 "      <property name=\"comment\"><![CDATA[c]]></property>", "    </diagram>"}));
}

TEST_F(DiagramXmlWriter, TypePartsWriteNothing)
{
    QStringList list;
    TDiagramAttribute().WriteXML(list, 0);
    TDiagramMethod().WriteXML(list, 0);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(DiagramXmlWriter, SaveWritesTheFileAndRemembersIt)
{
    QTemporaryDir dir;
    FillFullModel(*CurrentModel);
    CurrentModel->FileName = dir.filePath("page.xml");
    // An older, longer file at the place is replaced as a whole.
    QFile old(CurrentModel->FileName);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();

    CurrentModel->SaveModelToFile(true);

    QFile saved(CurrentModel->FileName);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), FileBytes(CurrentModel->BuildDiagramXml(true)));
    EXPECT_EQ(Preferences->PreviousFiles.value(0), CurrentModel->FileName);
    EXPECT_EQ(UserInterface.HourglassDepth(), 0);
    EXPECT_EQ(UserInterface.CallsOf(TUserInterfaceCallKind::BeginHourglass).size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.xml"}) << "no temporary file is left";
}

TEST_F(DiagramXmlWriter, FailedSaveRaisesAndRemembersNothing)
{
    QTemporaryDir dir;
    // A folder in the way: nothing can be written there, and it stays.
    CurrentModel->FileName = dir.filePath("taken");
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken"));
    try {
        CurrentModel->SaveModelToFile(true);
        FAIL() << "saving over a folder must fail";
    } catch (const EFileSaveError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(CurrentModel->FileName)))
            << e.what();
    }
    EXPECT_TRUE(QFileInfo(CurrentModel->FileName).isDir());
    EXPECT_TRUE(Preferences->PreviousFiles.isEmpty());
    EXPECT_EQ(UserInterface.HourglassDepth(), 0);

    CurrentModel->FileName = dir.filePath("missing/folder/page.xml");
    EXPECT_THROW(CurrentModel->SaveModelToFile(true), EFileSaveError);
}

struct TextCase {
    const char *Name;
    QString Text;
    const char *Escaped;
    const char *CData;
};

TEST(XmlText, EscapesMarkupAndCharactersBeyondLatin1)
{
    const TextCase cases[] = {
        {"empty", "", "", "<![CDATA[]]>"},
        {"plain", "abc", "abc", "<![CDATA[abc]]>"},
        {"markup", "a<b>&\"c'", "a&lt;b&gt;&amp;\"c'", "<![CDATA[a<b>&\"c']]>"},
        {"terminator", "x]]>y]]>", "x]]&gt;y]]&gt;", "<![CDATA[x]]]]><![CDATA[>y]]]]><![CDATA[>]]>"},
        {"latin1", QString::fromUtf8("\u00e9\u00ff"), "\xe9\xff", "<![CDATA[\xe9\xff]]>"},
        {"beyond", QString::fromUtf8("\u20ac1"), "&#8364;1", "<![CDATA[]]>&#8364;<![CDATA[1]]>"},
        {"two beyond", QString::fromUtf8("a\u20ac\u0141"), "a&#8364;&#321;", "<![CDATA[a]]>&#8364;&#321;<![CDATA[]]>"},
        {"surrogate pair", QString::fromUtf8("\U0001F600"), "&#128512;", "<![CDATA[]]>&#128512;<![CDATA[]]>"},
        {"lone surrogate", QString(QChar(0xD800)), "&#65533;", "<![CDATA[]]>&#65533;<![CDATA[]]>"},
        {"split terminator", QString::fromUtf8("]]\u20ac>"), "]]&#8364;&gt;", "<![CDATA[]]]]>&#8364;<![CDATA[>]]>"},
    };
    for (const TextCase &c : cases) {
        EXPECT_EQ(TXmlText::Escape(c.Text).toLatin1().toStdString(), c.Escaped) << c.Name;
        EXPECT_EQ(TXmlText::CData(c.Text).toLatin1().toStdString(), c.CData) << c.Name;
    }
    EXPECT_EQ(TXmlText::EscapeAttribute("a\"b&"), "a&quot;b&amp;");
}

} // namespace
