// Reading diagram documents: round trips, what each property becomes, the
// error texts, merging, pinned tables, hostile files and the fuzzing corpus.
#include "diagram_xml_test_support.h"
#include "fake_database_session.h"
#include "model/diagram_file_preload.h"
#include "model/diagram_xml_reader.h"
#include "model/xml_parser.h"
#include "test_data.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

namespace {

using DiagramXmlReader = DiagramFileTest;

QByteArray Document(const QByteArray &body, const QByteArray &version = "1.1")
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<marrowtide_diagram version=\"" + version + "\">\r\n"
           + body + "\r\n</marrowtide_diagram>\r\n";
}

// A document whose body is Elements nested in one another around Body:
// Nest({"tables", "table"}, ...) gives <tables><table>...</table></tables>.
QByteArray Nest(std::initializer_list<const char *> elements, const QByteArray &body)
{
    QByteArray open, close;
    for (const char *element : elements) {
        open += QByteArray("<") + element + ">";
        close.prepend(QByteArray("</") + element + ">");
    }
    return open + body + close;
}

QByteArray Prop(const QByteArray &name, const QByteArray &value)
{
    return "<property name=\"" + name + "\">" + value + "</property>";
}

// Writing, reading and writing again gives the same bytes, so every written
// field is read; the rest is what the document alone cannot show. Pinned
// tables are read in full with no database call, then refreshed.
TEST_F(DiagramXmlReader, RoundTripAndWiring)
{
    auto session = std::make_shared<TFakeDatabaseSession>();
    DatabaseSession = session;
    TDiagramObjectModel page;
    ASSERT_TRUE(page.LoadModelFromFile(nullptr, false, testDataPath("golden/diagram_full.xml")));
    FillFullModel(*CurrentModel);
    EXPECT_EQ(Written(page), Written(*CurrentModel));

    EXPECT_EQ(page.Tables.GetTable(0)->Columns.GetColumn(2)->Comment,
              QString::fromUtf8("Z\u00fcrich or \u0141\u00f3d\u017a \U0001F600"));
    EXPECT_EQ(page.Owners, (QStringList{"SCOTT", "HR"}));
    const TDiagramTable *emp = page.Tables.GetTable(1);
    for (const TDiagramForeignKey *key : emp->ForeignKeys)
        EXPECT_EQ(key->Table, emp);
    EXPECT_NE(dynamic_cast<TDiagramObjectTable *>(page.ObjectTables.GetItem(0)), nullptr);
    EXPECT_EQ(page.Types.GetType(0)->Attributes.Count(), 0) << "a type's attributes are not in the file";
    EXPECT_TRUE(session->Calls.isEmpty()) << session->Calls.join(", ").toStdString();
    EXPECT_EQ(emp->Columns.Count(), 3);
    EXPECT_EQ(Hooks.RefreshedTables, QStringList{"SCOTT.EMP & CO"});
    EXPECT_TRUE(Hooks.ConsoleLines.isEmpty());
}

TEST_F(DiagramXmlReader, LoadsMakeTheDiagramCurrentAndRefreshCanvasAndTree)
{
    auto *diagram = reinterpret_cast<TOSDiagram *>(0x1234);
    QBuffer buffer;
    buffer.setData(Document(Prop("name", "Current")));
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(10);
    ASSERT_TRUE(CurrentModel->LoadModelFromStream(diagram, false, buffer));
    EXPECT_EQ(CurrentModel->Name, "Current") << "the stream is read from its start";
    EXPECT_EQ(CurrentDiagram, diagram);
    EXPECT_EQ(Hooks.Rebuilds, 1);
    EXPECT_EQ(Hooks.ExplorerRefreshes, 1);
    // A missing file changes nothing, but the tree follows every load that returns.
    CurrentModel->Name.clear();
    EXPECT_FALSE(CurrentModel->LoadModelFromFile(nullptr, false, "/nonexistent/page.xml"));
    EXPECT_TRUE(CurrentModel->Name.isEmpty());
    EXPECT_EQ(Hooks.Rebuilds, 1);
    EXPECT_EQ(Hooks.ExplorerRefreshes, 2);
    // The class-level load reads into the current model and leaves the tree alone.
    EXPECT_TRUE(TLoadXMLDiagram::LoadFromStream(buffer, nullptr, false));
    EXPECT_EQ(CurrentModel->Name, "Current");
    EXPECT_EQ(Hooks.ExplorerRefreshes, 2);
}

TEST_F(DiagramXmlReader, ErrorTexts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    for (const QStringList &c : readTestTable("model/reader_errors.txt")) {
        const QByteArray text = c[0] == "doc" ? Document(c[1].toLatin1()) : c[1].toLatin1();
        const QString &message = c[2];
        const QString &fileMessage = c.value(3, message);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        // A failed load still leaves canvas and tree showing the model.
        const int rebuilds = Hooks.Rebuilds, refreshes = Hooks.ExplorerRefreshes;
        for (const QString &name : {QString(), path}) {
            try {
                name.isEmpty() ? LoadText(text) : CurrentModel->LoadModelFromFile(nullptr, false, name);
                ADD_FAILURE() << "no error: " << message.toStdString();
            } catch (const EXMLFileError &e) {
                EXPECT_EQ(e.Message(), QString(name.isEmpty() ? message : fileMessage).replace("%1", name));
            }
        }
        EXPECT_EQ(Hooks.Rebuilds, rebuilds + 2);
        EXPECT_EQ(Hooks.ExplorerRefreshes, refreshes + 2);
    }
}

TEST_F(DiagramXmlReader, WhatWasReadBeforeAFailureStays)
{
    EXPECT_THROW(LoadText(Document(Prop("name", "Partly") + "<tables><table>" + Prop("name", "A") + "</table><table>"
                                   + Prop("name", "B") + Nest({"columns"}, Nest({"column"}, Prop("name", "C1"))
                                                                            + Nest({"column"}, Prop("data_scale", "x")))
                                   + "</table><table>" + Prop("name", "NEVER") + "</table></tables>")),
                 EXMLFileError);
    EXPECT_EQ(CurrentModel->Name, "Partly");
    ASSERT_EQ(CurrentModel->Tables.Count(), 2);
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Name, "B");
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Columns.Count(), 1);
}

TEST_F(DiagramXmlReader, NamesAndValuesAsTheFormatReadsThem)
{
    for (const char *yes : {"y", "Y", "yes", "YeS", "1", "true", "TRUE"})
        EXPECT_TRUE(TLoadXMLDiagram::StrToBoolean(yes)) << yes;
    for (const char *no : {"", "n", "no", "0", "on", "t", " y", "2"})
        EXPECT_FALSE(TLoadXMLDiagram::StrToBoolean(no)) << no;

    const QByteArray style =
        Prop("SHOW_LINK_NAME", "yes") + Prop("two_tone_header", "y") + Prop("cascade_del_colour", "CLLIME");
    const QByteArray table = Prop("name", "T") + Prop("IS_VIRTUAL", "YES") + Prop("column_sort_method", "KEYS")
                             + Prop("left", "$10") + Prop("top", "-5") + Prop("top", "7") + Prop("unknown", "x")
                             + "<unknown_element><deep/></unknown_element>"
                             + Nest({"columns"},
                                    Nest({"column"}, Prop("is_nullable", "true") + Prop("is_virtual", "1"))
                                        + Nest({"column"}, Prop("is_nullable", "N") + Prop("is_virtual", "on")));
    ASSERT_TRUE(LoadText(Document(Nest({"diagram_style"}, style) + Nest({"Tables", "table"}, Prop("name", "HIDDEN"))
                                      + Nest({"tables"}, Nest({"table"}, table) + "<table/>")
                                      + Nest({"tables", "table"}, Prop("name", "SECOND LIST")),
                                  "1.1\" VERSION=\"9")));
    EXPECT_FALSE(CurrentModel->Style.ShowLinkName) << "style switches are on only for Y";
    EXPECT_TRUE(CurrentModel->Style.TwoToneHeader);
    EXPECT_EQ(CurrentModel->Style.CascadeDelColour, clLime);
    ASSERT_EQ(CurrentModel->Tables.Count(), 2) << "element names are exact; only the first list counts";
    const TDiagramTable *t = CurrentModel->Tables.GetTable(0);
    EXPECT_TRUE(t->IsVirtual);
    EXPECT_EQ(t->ColumnSortMethod, csmKeys);
    EXPECT_EQ(t->Left, 16);
    EXPECT_EQ(t->Top, 7) << "a property given twice takes the later value";
    EXPECT_TRUE(t->Columns.GetColumn(0)->IsNullable && t->Columns.GetColumn(0)->IsVirtual);
    EXPECT_FALSE(t->Columns.GetColumn(1)->IsNullable || t->Columns.GetColumn(1)->IsVirtual);
    // An empty table element gives a table with the constructor's values.
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Name, "");
    EXPECT_EQ(CurrentModel->Tables.GetTable(1)->Width, 100);
}

TEST_F(DiagramXmlReader, KeysIndexesAndTextsOutsideTheWritersForm)
{
    const QByteArray keys = Nest({"primary_keys", "primary_key"}, Prop("name", "PK"))
                            + Nest({"foreign_keys", "foreign_key", "columns"},
                                   Prop("column", "A") + Prop("other", "X") + Prop("COLUMN", "B"))
                            + Nest({"indexes", "index"}, Prop("is_virtual", "Y"));
    ASSERT_TRUE(LoadText(Document(Nest({"tables", "table"}, keys + Prop("name", "&#321;&#x142;&quot;&apos;")))));
    const TDiagramTable *t = CurrentModel->Tables.GetTable(0);
    EXPECT_TRUE(t->PrimaryKeys.GetPrimaryKey(0)->Columns.isEmpty());
    EXPECT_EQ(t->ForeignKeys.GetForeignKey(0)->Columns, (QStringList{"A", "B"}));
    EXPECT_TRUE(t->ForeignKeys.GetForeignKey(0)->RefColumns.isEmpty());
    EXPECT_TRUE(t->Indexes.GetIndex(0)->IsVirtual);
    EXPECT_EQ(t->Name, QString::fromUtf8("\u0141\u0142\"'"));
}

TEST_F(DiagramXmlReader, OwnersAreAddedOnceWhateverTheirCase)
{
    CurrentModel->Owners << "scott";
    QByteArray tables;
    for (const char *owner : {"SCOTT", "HR", "hr"})
        tables += Nest({"table"}, Prop("owner", owner));
    ASSERT_TRUE(LoadText(Document(Nest({"tables"}, tables) + Nest({"object_tables", "table"}, Prop("owner", "OE"))
                                  + Nest({"types", "type"}, Prop("owner", "TYPES_ONLY")))));
    EXPECT_EQ(CurrentModel->Owners, (QStringList{"scott", "HR", "OE"}));
}

TEST_F(DiagramXmlReader, PasteKeepsNameAndCommentTakesStyleAndAddsObjects)
{
    TDiagramObjectModel source;
    FillFullModel(source);
    SelectedGraphics->Add(source.Tables.GetTable(0));
    SelectedGraphics->Add(source.Notes.GetNote(0));
    const QByteArray clipboard = source.BuildDiagramXml(false).join("\r\n").toLatin1();
    SelectedGraphics->Clear();
    CurrentModel->Comment = "Mine";
    CurrentModel->Style.SetDefaultStyle();
    AddTable(*CurrentModel, "SCOTT", "DEPT");
    ASSERT_TRUE(LoadText(clipboard, true));
    ASSERT_TRUE(LoadText(clipboard, true));
    EXPECT_EQ(CurrentModel->Name, "New Model");
    EXPECT_EQ(CurrentModel->Comment, "Mine");
    EXPECT_EQ(CurrentModel->Style.LinkFontName, "Courier New");
    EXPECT_EQ(CurrentModel->Tables.Count(), 3) << "no test for duplicates";
    EXPECT_EQ(CurrentModel->Notes.Count(), 2);
    EXPECT_TRUE(LoadText(Document("<property>no name</property>"), true)) << "root properties are not read";
}

TEST_F(DiagramXmlReader, PinnedTablesKeepTheFilesDefinitionOffline)
{
    const QByteArray text = Document(
        Nest({"tables"}, Nest({"table"}, Prop("owner", "HR") + Prop("name", "JOBS") + Prop("reload_from_database", "Y")
                                             + "<columns><column/></columns>")
                             + Nest({"table"}, Prop("name", "FREE")))
        + Nest({"object_tables", "table"},
               Prop("owner", "HR") + Prop("name", "OBJ") + Prop("reload_from_database", "yes")));
    auto offline = std::make_shared<TFakeDatabaseSession>();
    offline->Connected = false;
    for (const auto &session : {std::shared_ptr<TFakeDatabaseSession>(), offline}) {
        DatabaseSession = session;
        Hooks.ConsoleLines.clear();
        ASSERT_TRUE(LoadText(text));
        EXPECT_EQ(Hooks.ConsoleLines,
                  (QStringList{"Not connected to a database: table HR.JOBS keeps the definition stored in the file.",
                               "Not connected to a database: table HR.OBJ keeps the definition stored in the file."}));
    }
    EXPECT_TRUE(offline->Calls.isEmpty());
    EXPECT_TRUE(Hooks.RefreshedTables.isEmpty());
    EXPECT_TRUE(CurrentModel->Tables.GetTable(0)->ReloadFromDatabase());
    EXPECT_EQ(CurrentModel->Tables.GetTable(0)->Columns.Count(), 1);
}

// A deep tree inside a table is walked without recursion, and a document
// cut short in the middle of it ends in a message.
TEST_F(DiagramXmlReader, DeepFilesLoadOrEndInAMessage)
{
    const QByteArray deep = QByteArray("<x>").repeated(200000) + QByteArray("</x>").repeated(200000);
    EXPECT_TRUE(LoadText(Document(Nest({"tables", "table"}, deep))));
    EXPECT_THROW(LoadText(Document(Nest({"tables"}, deep.left(deep.size() / 2)))), EXMLFileError);
}

// Each input of the fuzzing corpus loads or fails with a message, and what
// loads writes and reads back to a stable document.
TEST_F(DiagramXmlReader, FuzzCorpusLoadsOrFailsCleanly)
{
    int inputs = 0, loaded = 0;
    QDirIterator it(testDataPath("fuzz/diagram_reader"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ++inputs;
        TDiagramObjectModel first, second, third;
        try {
            ASSERT_TRUE(LoadText(file.readAll(), false, &first));
        } catch (const EModelError &e) {
            EXPECT_FALSE(e.Message().isEmpty());
            continue;
        }
        ++loaded;
        ASSERT_TRUE(LoadText(Written(first), false, &second));
        ASSERT_TRUE(LoadText(Written(second), false, &third));
        EXPECT_EQ(Written(third), Written(second));
    }
    EXPECT_GT(inputs, 20) << "the corpus is missing";
    EXPECT_GT(loaded, 0);
}

// A file is read while it is parsed, a table or note at a time; whatever its
// lists, their length, order, repetitions, failures and merging, the page, owners,
// pinned tables and messages are those of reading its whole tree (as a
// paste does).
TEST_F(DiagramXmlReader, AFileReadWhileParsedGivesWhatItsWholeTreeGives)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("page.xml");
    const auto table = [](const char *owner, const QByteArray &name, const QByteArray &more = {}) {
        return Nest({"table"}, Prop("owner", owner) + Prop("name", name) + more);
    };
    const QByteArray tables = Nest({"tables"}, table("hr", "A", Prop("reload_from_database", "Y")) + "<view/>"
                                                   + table("SCOTT", "B", Nest({"columns", "column"}, Prop("name", "C"))));
    const QByteArray objects = Nest({"object_tables"}, table("OE", "O", Prop("reload_from_database", "Y")));
    const QByteArray types = Nest({"types", "type"}, Prop("owner", "T") + Prop("name", "TY"));
    const QByteArray notes = Nest({"notes", "note"}, Prop("text", "n"));
    const QByteArray style = Nest({"diagram_style"}, Prop("font_size", "12"));
    const QByteArray bad = Nest({"tables"}, table("HR", "OK") + table("HR", "BAD", Prop("left", "x")) + table("HR", "NEVER"));
    QByteArray many;
    for (int i = 0; i < 300; ++i)
        many += table("HR", "T&amp;" + QByteArray::number(i),
                      Nest({"columns"}, Nest({"column"}, Prop("name", "C")) + Nest({"column"}, Prop("name", "D"))));
    QList<QByteArray> documents = {
        Document(Prop("name", "P") + style + tables + objects + types + notes),
        Document(Prop("comment", "c &amp; d") + Nest({"tables"}, many) + notes),
        Document(notes + types + objects + tables + Prop("name", "Late") + style),
        Document(tables + Nest({"tables"}, table("X", "AGAIN")) + notes + Nest({"notes", "note"}, Prop("text", "2"))),
        Document(tables + "<tables/>" + objects + "<other><table/></other>" + Prop("comment", "c") + style
                 + Nest({"diagram_style"}, Prop("font_size", "x"))),
        Document(Prop("name", "Partly") + bad + notes),
        Document(objects + tables),
        Document(tables + "<property>no name</property>"),
        Document(tables + "<notes>"),
        Document(tables, "1.0"),
        "<other version=\"1.1\"/>",
        "",
    };
    const auto outcome = [&](const QByteArray &text, bool merge, bool fromFile) {
        TDiagramObjectModel page;
        page.Name = "Before";
        page.Owners << "HR";
        page.Style.FontSize = 9;
        AddTable(page, "HR", "KEPT");
        Hooks.ConsoleLines.clear();
        QString result;
        try {
            const bool loaded = fromFile ? page.LoadModelFromFile(nullptr, merge, path) : LoadText(text, merge, &page);
            result = loaded ? "loaded" : "not loaded";
        } catch (const EXMLFileError &e) {
            result = QString(e.Message()).replace(path, QString());
        }
        return result + '\n' + page.Owners.join(',') + '\n' + Hooks.ConsoleLines.join('\n') + '\n' + Written(page);
    };
    // The fuzzing corpus too, as it is and with every line ended by CR LF.
    for (QDirIterator it(testDataPath("fuzz/diagram_reader"), QDir::Files); it.hasNext();) {
        QFile input(it.next());
        ASSERT_TRUE(input.open(QIODevice::ReadOnly));
        const QByteArray bytes = input.readAll();
        documents << bytes << QByteArray(bytes).replace("\r\n", "\n").replace("\n", "\r\n");
    }
    for (const QByteArray &text : documents) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        for (const bool merge : {false, true}) {
            // A file without "<" is refused before it is read; pasted, the text is parsed.
            if (!text.contains('<'))
                EXPECT_TRUE(outcome(text, merge, true).startsWith("Error loading XML file \nThe file ")) << text.toStdString();
            else
                EXPECT_EQ(outcome(text, merge, true).toStdString(), outcome(text, merge, false).toStdString())
                    << text.toStdString();
        }
    }
}

} // namespace

namespace {

// A file parsed while the program started is not read again by its load: the
// load takes that parse, once.
TEST_F(DiagramXmlReader, TheLoadOfAFileParsedAtStartUpTakesThatParse)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("page.xml"), later = dir.filePath("later.xml");
    for (const QString &fileName : {name, later}) {
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Document(Prop("name", "AAAA")));
    }
    TDiagramFilePreload::Start({name, later});
    bool parsed = false;
    // The worker takes the files in order: once the later one is done, so is the first.
    ASSERT_NE(TDiagramFilePreload::Take(later, parsed), nullptr);
    // Only the reads of the file tell the loads apart.
    int reads = 0;
    TDirtyXMLParser::SetReadHook([&] { ++reads; });
    TDiagramObjectModel model;
    ASSERT_TRUE(TLoadXMLDiagram::LoadFromFile(name, nullptr, false, &model));
    EXPECT_EQ(model.Name, "AAAA");
    EXPECT_EQ(reads, 0);
    ASSERT_TRUE(TLoadXMLDiagram::LoadFromFile(name, nullptr, false, &model));
    EXPECT_EQ(model.Name, "AAAA");
    EXPECT_GT(reads, 0);
    TDirtyXMLParser::SetReadHook(nullptr);
    TDiagramFilePreload::Finish();
}

} // namespace
