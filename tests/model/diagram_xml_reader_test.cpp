// Reading diagram documents: round trips, what each property becomes, the
// error texts, merging, pinned tables and hostile files.
#include "diagram_xml_test_support.h"
#include "fake_database_session.h"
#include "model/diagram_xml_reader.h"
#include "model/helpers.h"
#include "test_data.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using DiagramXmlReader = DiagramFileTest;

QByteArray Document(const QByteArray &body, const QByteArray &version = "1.1")
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<marrowtide_diagram version=\"" + version + "\">\r\n"
           + body + "\r\n</marrowtide_diagram>\r\n";
}

QByteArray TableDocument(const QByteArray &tableBody)
{
    return Document("<tables><table>" + tableBody + "</table></tables>");
}

TEST_F(DiagramXmlReader, WriteReadWriteIsByteIdentical)
{
    FillFullModel(*CurrentModel);
    const QByteArray first = FileBytes(CurrentModel->BuildDiagramXml(true));

    TDiagramObjectModel copy;
    ASSERT_TRUE(LoadText(first, false, &copy));
    EXPECT_EQ(FileBytes(copy.BuildDiagramXml(true)).toStdString(), first.toStdString());

    // And from the golden file on disk, through the file reader.
    TDiagramObjectModel fromFile;
    ASSERT_TRUE(fromFile.LoadModelFromFile(nullptr, false, testDataPath("golden/diagram_full.xml")));
    EXPECT_EQ(FileBytes(fromFile.BuildDiagramXml(true)), readTestFile("golden/diagram_full.xml"));
}

// The byte-identical round trip shows that every written field is read; these
// are what the document alone cannot show.
TEST_F(DiagramXmlReader, ReadObjectsAreWiredUp)
{
    FillFullModel(*CurrentModel);
    const QByteArray text = FileBytes(CurrentModel->BuildDiagramXml(true));
    TDiagramObjectModel page;
    ASSERT_TRUE(LoadText(text, false, &page));

    EXPECT_EQ(page.Tables.GetTable(0)->Columns.GetColumn(2)->Comment,
              QString::fromUtf8("Z\u00fcrich or \u0141\u00f3d\u017a \U0001F600"));
    EXPECT_EQ(page.Owners, (QStringList{"SCOTT", "HR"}));
    const TDiagramTable *emp = page.Tables.GetTable(1);
    EXPECT_TRUE(emp->ReloadFromDatabase());
    for (const TDiagramForeignKey *key : emp->ForeignKeys)
        EXPECT_EQ(key->Table, emp);
    // Object tables and types come back as what they were.
    ASSERT_EQ(page.ObjectTables.Count(), 1);
    EXPECT_NE(dynamic_cast<TDiagramObjectTable *>(page.ObjectTables.GetItem(0)), nullptr);
    ASSERT_EQ(page.Types.Count(), 1);
    EXPECT_EQ(page.Types.GetType(0)->Top, 200);
    EXPECT_EQ(page.Types.GetType(0)->Attributes.Count(), 0) << "a type's attributes are not in the file";
}

TEST_F(DiagramXmlReader, LoadRebuildsCanvasAndExplorerAndMakesTheDiagramCurrent)
{
    auto *diagram = reinterpret_cast<TOSDiagram *>(0x1234);
    const QByteArray text = Document("<tables></tables>");
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    ASSERT_TRUE(CurrentModel->LoadModelFromStream(diagram, false, buffer));
    EXPECT_EQ(CurrentDiagram, diagram);
    EXPECT_EQ(Hooks.Rebuilds, 1);
    EXPECT_EQ(Hooks.ExplorerRefreshes, 1);
    CurrentDiagram = nullptr;
}

TEST_F(DiagramXmlReader, MissingFileReturnsFalseAndChangesNothing)
{
    CurrentModel->Name = QStringLiteral("Kept");
    EXPECT_FALSE(CurrentModel->LoadModelFromFile(nullptr, false, "/nonexistent/page.xml"));
    EXPECT_EQ(CurrentModel->Name, "Kept");
    EXPECT_EQ(Hooks.Rebuilds, 0);
    EXPECT_EQ(Hooks.ExplorerRefreshes, 1) << "the tree follows every load that returns";
}

struct ReaderCase {
    const char *Name;
    QByteArray Text;
    const char *Message;
};

std::ostream &operator<<(std::ostream &os, const ReaderCase &c) { return os << c.Name; }

class DiagramXmlReaderErrors : public DiagramFileTest, public ::testing::WithParamInterface<ReaderCase> {};

TEST_P(DiagramXmlReaderErrors, RaiseTheFilesMessage)
{
    try {
        LoadText(GetParam().Text);
        FAIL() << "no error raised";
    } catch (const EXMLFileError &e) {
        EXPECT_EQ(std::string(e.what()), GetParam().Message);
    }
    // A failed load still leaves canvas and tree showing the model.
    EXPECT_EQ(Hooks.Rebuilds, 1);
    EXPECT_EQ(Hooks.ExplorerRefreshes, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, DiagramXmlReaderErrors,
    ::testing::Values(
        // Parse errors carry the file name (none for a stream) and a line feed.
        ReaderCase{"unclosed", "<marrowtide_diagram version=\"1.1\">",
                   "Error loading XML file \nUnclosed element <marrowtide_diagram>"},
        ReaderCase{"unknown entity", Document("<property name=\"name\">&nbsp;</property>"),
                   "Error loading XML file \nUnknown entity &nbsp;"},
        ReaderCase{"document type", "<!DOCTYPE x><marrowtide_diagram version=\"1.1\"/>",
                   "Error loading XML file \nDocTypes (DTDs) not currently supported (position 2)"},
        ReaderCase{"mismatched end tag", Document("<tables></table>"),
                   "Error loading XML file \nClosing tag </table> (at position 92) does not match any "
                   "opening tag <tables>"},
        // Structure.
        ReaderCase{"empty text", "", "Invalid XML structure - root element not found"},
        ReaderCase{"declaration only", "<?xml version=\"1.0\"?>\r\n<!-- x -->",
                   "Invalid XML structure - root element not found"},
        ReaderCase{"other root", "<marrowtide_preferences version=\"1.1\"/>",
                   "Invalid XML structure - root is not <marrowtide_diagram>"},
        ReaderCase{"root in capitals", "<Marrowtide_Diagram version=\"1.1\"/>",
                   "Invalid XML structure - root is not <marrowtide_diagram>"},
        ReaderCase{"no version", "<marrowtide_diagram/>", "Diagram version not supported."},
        ReaderCase{"version 1.0", Document("", "1.0"), "Diagram version not supported."},
        ReaderCase{"version 1.10", Document("", "1.10"), "Diagram version not supported."},
        ReaderCase{"property without name", Document("<property>x</property>"),
                   "Invalid XML structure - <property> element must have a 'name' attribute"},
        ReaderCase{"key column without name",
                   TableDocument("<primary_keys><primary_key><columns><property>A</property></columns>"
                                 "</primary_key></primary_keys>"),
                   "Invalid XML structure - <property> element must have a 'name' attribute"},
        // Values that do not convert name the property as written.
        ReaderCase{"letters after digits", TableDocument("<property name=\"LEFT\">12ab</property>"),
                   "Invalid XML structure - <property name=\"LEFT\"> has an incorrect datatype"},
        ReaderCase{"empty integer",
                   TableDocument("<columns><column><property name=\"data_length\"></property></column></columns>"),
                   "Invalid XML structure - <property name=\"data_length\"> has an incorrect datatype"},
        ReaderCase{"integer too large", Document("<notes><note><property name=\"Width\">99999999999</property>"
                                                 "</note></notes>"),
                   "Invalid XML structure - <property name=\"Width\"> has an incorrect datatype"},
        ReaderCase{"decimal fraction", Document("<types><type><property name=\"top\">1.5</property></type></types>"),
                   "Invalid XML structure - <property name=\"top\"> has an incorrect datatype"},
        ReaderCase{"unknown colour",
                   Document("<diagram_style><property name=\"font_colour\">clBlurple</property></diagram_style>"),
                   "Invalid XML structure - <property name=\"font_colour\"> has an incorrect datatype"},
        ReaderCase{"style size",
                   Document("<diagram_style><property name=\"Link_Font_Size\">$</property></diagram_style>"),
                   "Invalid XML structure - <property name=\"Link_Font_Size\"> has an incorrect datatype"},
        ReaderCase{"sequence with blank",
                   TableDocument("<columns><column><property name=\"sequence\"> 1</property></column></columns>"),
                   "Invalid XML structure - <property name=\"sequence\"> has an incorrect datatype"}),
    [](const auto &info) {
        std::string name = info.param.Name;
        for (char &c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST_F(DiagramXmlReader, ParseErrorOfAFileNamesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\r\n<marrowtide_diagram version=\"1.1\">\r\n  <tables>\r\n");
    file.close();
    try {
        CurrentModel->LoadModelFromFile(nullptr, false, path);
        FAIL();
    } catch (const EXMLFileError &e) {
        EXPECT_EQ(e.Message(), "Error loading XML file " + path + "\nUnclosed element <tables>");
    }
}

TEST_F(DiagramXmlReader, WhatWasReadBeforeAFailureStays)
{
    const QByteArray text = Document("<property name=\"name\">Partly</property>"
                                     "<tables><table><property name=\"name\">A</property></table>"
                                     "<table><property name=\"name\">B</property>"
                                     "<columns><column><property name=\"name\">C1</property></column>"
                                     "<column><property name=\"data_scale\">x</property></column></columns>"
                                     "</table><table><property name=\"name\">NEVER</property></table></tables>");
    EXPECT_THROW(LoadText(text), EXMLFileError);
    EXPECT_EQ(CurrentModel->Name, "Partly");
    ASSERT_EQ(CurrentModel->Tables.Count(), 2);
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Name, "B");
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Columns.Count(), 1);
}

TEST_F(DiagramXmlReader, NamesAndBooleansAsTheFormatReadsThem)
{
    const QByteArray text = Document(
        "<diagram_style><property name=\"SHOW_LINK_NAME\">yes</property>"
        "<property name=\"two_tone_header\">y</property>"
        "<property name=\"cascade_del_colour\">CLLIME</property></diagram_style>"
        "<Tables><table><property name=\"name\">HIDDEN</property></table></Tables>"
        "<tables><table><property name=\"name\">T</property><property name=\"IS_VIRTUAL\">YES</property>"
        "<property name=\"column_sort_method\">KEYS</property><property name=\"left\">$10</property>"
        "<property name=\"top\">-5</property><property name=\"top\">7</property>"
        "<property name=\"unknown_property\">whatever</property><unknown_element><deep/></unknown_element>"
        "<columns><column><property name=\"is_nullable\">true</property><property name=\"is_virtual\">1</property>"
        "</column><column><property name=\"is_nullable\">N</property><property name=\"is_virtual\">on</property>"
        "</column></columns></table><table/></tables>"
        "<tables><table><property name=\"name\">SECOND LIST</property></table></tables>",
        "1.1\" VERSION=\"9");
    ASSERT_TRUE(LoadText(text));
    const TOSSchemaStyle &style = CurrentModel->Style;
    EXPECT_FALSE(style.ShowLinkName) << "style switches are on only for Y";
    EXPECT_TRUE(style.TwoToneHeader);
    EXPECT_EQ(style.CascadeDelColour, clLime);
    ASSERT_EQ(CurrentModel->Tables.Count(), 2) << "element names are exact; only the first list counts";
    const TDiagramTable *t = CurrentModel->Tables.GetTable(0);
    EXPECT_TRUE(t->IsVirtual);
    EXPECT_EQ(t->ColumnSortMethod, csmKeys);
    EXPECT_EQ(t->Left, 16);
    EXPECT_EQ(t->Top, 7) << "a property given twice takes the later value";
    EXPECT_TRUE(t->Columns.GetColumn(0)->IsNullable);
    EXPECT_TRUE(t->Columns.GetColumn(0)->IsVirtual);
    EXPECT_FALSE(t->Columns.GetColumn(1)->IsNullable);
    EXPECT_FALSE(t->Columns.GetColumn(1)->IsVirtual);
    // An empty table element gives a table with the constructor's values.
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Name, "");
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Width, 100);
}

TEST_F(DiagramXmlReader, StrToBoolean)
{
    for (const char *yes : {"y", "Y", "yes", "YeS", "1", "true", "TRUE"})
        EXPECT_TRUE(TLoadXMLDiagram::StrToBoolean(yes)) << yes;
    for (const char *no : {"", "n", "no", "0", "on", "t", " y", "2"})
        EXPECT_FALSE(TLoadXMLDiagram::StrToBoolean(no)) << no;
}

TEST_F(DiagramXmlReader, KeysAndIndexesWithoutColumnListsHaveNoColumns)
{
    const QByteArray text = TableDocument(
        "<primary_keys><primary_key><property name=\"name\">PK</property></primary_key></primary_keys>"
        "<foreign_keys><foreign_key><property name=\"name\">FK</property>"
        "<columns><property name=\"column\">A</property><property name=\"other\">X</property>"
        "<property name=\"COLUMN\">B</property></columns></foreign_key></foreign_keys>"
        "<indexes><index><property name=\"name\">IX</property><property name=\"is_virtual\">Y</property></index>"
        "</indexes>");
    ASSERT_TRUE(LoadText(text));
    const TDiagramTable *t = CurrentModel->Tables.GetTable(0);
    EXPECT_TRUE(t->PrimaryKeys.GetPrimaryKey(0)->Columns.isEmpty());
    EXPECT_EQ(t->ForeignKeys.GetForeignKey(0)->Columns, (QStringList{"A", "B"}));
    EXPECT_TRUE(t->ForeignKeys.GetForeignKey(0)->RefColumns.isEmpty());
    EXPECT_TRUE(t->Indexes.GetIndex(0)->IsVirtual);
}

TEST_F(DiagramXmlReader, TextWithMarkupAndReferencesReadsBack)
{
    // Raw values are escaped on writing; older files with references read the same.
    AddTable(*CurrentModel, "A<B", "X & Y > Z", 0, 0);
    const QByteArray text = FileBytes(CurrentModel->BuildDiagramXml(true));
    TDiagramObjectModel page;
    ASSERT_TRUE(LoadText(text, false, &page));
    EXPECT_EQ(page.Tables.GetTable(0)->Owner, "A<B");
    EXPECT_EQ(page.Tables.GetTable(0)->Name, "X & Y > Z");

    ASSERT_TRUE(LoadText(TableDocument("<property name=\"name\">&#321;&#x142;&quot;&apos;</property>"), false, &page));
    EXPECT_EQ(page.Tables.GetTable(1)->Name, QString::fromUtf8("\u0141\u0142\"'"));
}

TEST_F(DiagramXmlReader, OwnersAreAddedOnceWhateverTheirCase)
{
    CurrentModel->Owners << "scott";
    ASSERT_TRUE(LoadText(Document("<tables><table><property name=\"owner\">SCOTT</property></table>"
                                  "<table><property name=\"owner\">HR</property></table>"
                                  "<table><property name=\"owner\">hr</property></table></tables>"
                                  "<object_tables><table><property name=\"owner\">OE</property></table>"
                                  "</object_tables><types><type><property name=\"owner\">TYPES_ONLY</property>"
                                  "</type></types>")));
    EXPECT_EQ(CurrentModel->Owners, (QStringList{"scott", "HR", "OE"}));
}

TEST_F(DiagramXmlReader, MergeKeepsNameAndCommentTakesStyleAndAddsObjects)
{
    // Copy from one page ...
    TDiagramObjectModel source;
    FillFullModel(source);
    SelectedGraphics->Add(source.Tables.GetTable(0));
    SelectedGraphics->Add(source.Notes.GetNote(0));
    const QString clipboard = source.BuildDiagramXml(false).join("\r\n");
    SelectedGraphics->Clear();

    // ... and paste twice into another.
    CurrentModel->Name = QStringLiteral("Target");
    CurrentModel->Comment = QStringLiteral("Mine");
    CurrentModel->Style.SetDefaultStyle();
    AddTable(*CurrentModel, "SCOTT", "DEPT");
    ASSERT_TRUE(LoadText(clipboard.toLatin1(), true));
    ASSERT_TRUE(LoadText(clipboard.toLatin1(), true));
    EXPECT_EQ(CurrentModel->Name, "Target");
    EXPECT_EQ(CurrentModel->Comment, "Mine");
    EXPECT_EQ(CurrentModel->Style.LinkFontName, "Courier New");
    EXPECT_EQ(CurrentModel->Tables.Count(), 3) << "no test for duplicates";
    EXPECT_EQ(CurrentModel->Notes.Count(), 2);
    EXPECT_EQ(Hooks.Rebuilds, 2);
}

TEST_F(DiagramXmlReader, MergeSkipsTheRootPropertiesEntirely)
{
    EXPECT_TRUE(LoadText(Document("<property>no name</property>"), true));
}

// Tables pinned to the database: the file is read in full with no database
// call; afterwards the canvas refreshes them, or the console says why not.
TEST_F(DiagramXmlReader, PinnedTablesAreRefreshedAfterTheLoadWhenConnected)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    DatabaseSession = session;
    FillFullModel(*CurrentModel);
    const QByteArray text = FileBytes(CurrentModel->BuildDiagramXml(true));
    TDiagramObjectModel page;
    ASSERT_TRUE(LoadText(text, false, &page));
    EXPECT_TRUE(session->Calls.isEmpty()) << session->Calls.join(", ").toStdString();
    EXPECT_EQ(page.Tables.GetTable(1)->Columns.Count(), 3) << "the file's definition is read in full";
    EXPECT_EQ(Hooks.RefreshedTables, QStringList{"SCOTT.EMP & CO"});
    EXPECT_TRUE(Hooks.ConsoleLines.isEmpty());
}

TEST_F(DiagramXmlReader, PinnedTablesKeepTheFilesDefinitionOffline)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    session->Connected = false;
    DatabaseSession = session;
    const QByteArray text = Document(
        "<tables><table><property name=\"owner\">HR</property><property name=\"name\">JOBS</property>"
        "<property name=\"reload_from_database\">Y</property><columns><column/></columns></table>"
        "<table><property name=\"name\">FREE</property></table></tables>"
        "<object_tables><table><property name=\"owner\">HR</property><property name=\"name\">OBJ</property>"
        "<property name=\"reload_from_database\">yes</property></table></object_tables>");
    ASSERT_TRUE(LoadText(text));
    EXPECT_TRUE(session->Calls.isEmpty());
    EXPECT_TRUE(Hooks.RefreshedTables.isEmpty());
    EXPECT_EQ(Hooks.ConsoleLines,
              (QStringList{"Not connected to a database: table HR.JOBS keeps the definition stored in the file.",
                           "Not connected to a database: table HR.OBJ keeps the definition stored in the file."}));
    EXPECT_TRUE(CurrentModel->Tables.GetTable(0)->ReloadFromDatabase());
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Columns.Count(), 1);

    // Without any session it is the same.
    DatabaseSession.reset();
    Hooks.ConsoleLines.clear();
    ASSERT_TRUE(LoadText(text));
    EXPECT_EQ(Hooks.ConsoleLines.size(), 2);
}

TEST_F(DiagramXmlReader, ClassLevelLoadReadsIntoTheCurrentModel)
{
    QBuffer buffer;
    buffer.setData(Document("<property name=\"name\">Current</property>"));
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(10);
    EXPECT_TRUE(TLoadXMLDiagram::LoadFromStream(buffer, nullptr, false));
    EXPECT_EQ(CurrentModel->Name, "Current") << "the stream is read from its start";
    EXPECT_EQ(Hooks.ExplorerRefreshes, 0) << "the page's load refreshes the tree, not the reader";
}

// Hostile files end in a message, never a crash or a hang.
TEST_F(DiagramXmlReader, HostileFilesEndInAMessage)
{
    const QByteArray huge(8 << 20, 'A');
    ASSERT_TRUE(LoadText(TableDocument("<property name=\"" + huge + "\">x</property><property name=\"name\">"
                                       + huge + "</property>")));
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Name.size(), huge.size());

    QByteArray deep;
    for (int i = 0; i < 200000; ++i)
        deep += "<x>";
    for (int i = 0; i < 200000; ++i)
        deep += "</x>";
    EXPECT_TRUE(LoadText(Document("<tables><table>" + deep + "</table></tables>")));
    EXPECT_THROW(LoadText(Document("<tables>" + deep.left(deep.size() / 2) + "</tables>")), EXMLFileError);

    EXPECT_THROW(LoadText(Document("<property name=\"name\"><![CDATA[never ends</property>")), EXMLFileError);
    EXPECT_THROW(LoadText(Document("<property name=\"name\">&#99999999999;</property>")), EXMLFileError);
    EXPECT_THROW(LoadText(Document("<property name=\"name")), EXMLFileError);
    EXPECT_THROW(LoadText(QByteArray("\0\0\0", 3)), EXMLFileError);
}

} // namespace
