// The diagram document as the writer produces it: checked byte for byte
// against golden files, for a whole page, an empty page and a selection, and
// the sample diagram shipped for new users.
#include "diagram_xml_test_support.h"
#include "test_data.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using DiagramXmlWriter = DiagramFileTest;

TEST_F(DiagramXmlWriter, EmptyPageAndSelectionGoldens)
{
    CurrentModel->Style.SetDefaultStyle();
    expectGolden("diagram_empty.xml", Written(*CurrentModel));

    FillFullModel(*CurrentModel);
    AddTable(*CurrentModel, "SCOTT", "BONUS", 300, 300, 100, 60);
    // Selection order, not list order; a column is never selected on its own
    // and is skipped.
    const auto &tables = CurrentModel->Tables;
    SelectedGraphics->Add(CurrentModel->Notes.GetNote(0));
    SelectedGraphics->Add(tables.GetTable(2));
    SelectedGraphics->Add(CurrentModel->ObjectTables.GetObjectTable(0));
    SelectedGraphics->Add(tables.GetTable(0)->Columns.GetColumn(0));
    SelectedGraphics->Add(tables.GetTable(0));
    expectGolden("diagram_selection.xml", Written(*CurrentModel, false));
}

TEST_F(DiagramXmlWriter, SaveReplacesTheFileWithTheFullGoldenAndRemembersIt)
{
    // A folder in the way: the save fails, and nothing is remembered.
    QTemporaryDir dir;
    CurrentModel->FileName = dir.filePath("page.xml");
    ASSERT_TRUE(QDir(dir.path()).mkdir("page.xml"));
    try {
        CurrentModel->SaveModelToFile(true);
        FAIL() << "saving over a folder must fail";
    } catch (const EFileSaveError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(CurrentModel->FileName)));
    }
    EXPECT_TRUE(Preferences->PreviousFiles.isEmpty());
    EXPECT_EQ(UserInterface.HourglassDepth(), 0);
    EXPECT_THROW(TXmlText::SaveLines({}, dir.filePath("missing/folder/page.xml")), EFileSaveError);

    // An older, longer file is replaced as a whole.
    ASSERT_TRUE(QDir(dir.path()).rmdir("page.xml"));
    QFile old(CurrentModel->FileName);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(100000, 'x'));
    old.close();
    FillFullModel(*CurrentModel);
    CurrentModel->SaveModelToFile(true);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    expectGolden("diagram_full.xml", old.readAll());
    EXPECT_EQ(Preferences->PreviousFiles, QStringList{CurrentModel->FileName});
    EXPECT_EQ(UserInterface.HourglassDepth(), 0);
    EXPECT_EQ(UserInterface.CallsOf(TUserInterfaceCallKind::BeginHourglass).size(), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.xml"}) << "no temporary file is left";
}

TEST_F(DiagramXmlWriter, PageElementAndTypePartsAreNotPartOfTheDocument)
{
    CurrentModel->Name = "P";
    CurrentModel->Comment = "c";
    QStringList list;
    CurrentModel->WriteXML(list, 4);
    TDiagramAttribute().WriteXML(list, 0);
    TDiagramMethod().WriteXML(list, 0);
    EXPECT_EQ(list, (QStringList{"    <diagram>", "      <property name=\"name\"><![CDATA[P]]></property>",
                                 "      <property name=\"comment\"><![CDATA[c]]></property>", "    </diagram>"}));
}

// The sample diagram, examples/hr_schema.xml, opens, its boxes are apart, its
// keys point at its tables and writing it back gives the very same file.
// MARROWTIDE_UPDATE_GOLDEN=1 rewrites it in the writer's current form.
TEST_F(DiagramXmlWriter, ShippedExampleWritesBackUnchanged)
{
    const QString path = testDataPath(QStringLiteral("../../examples/hr_schema.xml"));
    ASSERT_TRUE(CurrentModel->LoadModelFromFile(nullptr, false, path));
    if (qEnvironmentVariableIsSet("MARROWTIDE_UPDATE_GOLDEN")) {
        CurrentModel->FileName = path;
        CurrentModel->SaveModelToFile(true);
    }
    QStringList names;
    for (const TDiagramTable *table : CurrentModel->Tables) {
        names << table->Name;
        for (const TDiagramForeignKey *key : table->ForeignKeys)
            EXPECT_NE(CurrentModel->Tables.FindTable(key->RefTableName, key->RefTableOwner), nullptr);
        for (const TDiagramTable *other : CurrentModel->Tables) {
            const bool apart = table->Left + table->Width <= other->Left || other->Left + other->Width <= table->Left
                               || table->Top + table->Height <= other->Top || other->Top + other->Height <= table->Top;
            EXPECT_TRUE(other == table || apart) << table->Name.toStdString() << " / " << other->Name.toStdString();
        }
    }
    EXPECT_EQ(names, (QStringList{"REGIONS", "COUNTRIES", "LOCATIONS", "JOBS", "EMPLOYEES", "DEPARTMENTS",
                                  "JOB_HISTORY"}));
    EXPECT_EQ(CurrentModel->Notes.Count(), 1);
    EXPECT_EQ(Written(*CurrentModel), readTestFile("../../examples/hr_schema.xml"));
}

TEST(XmlText, EscapesMarkupAndCharactersBeyondLatin1)
{
    QList<QStringList> cases = readTestTable("model/xml_escapes.txt");
    cases.append({QString(QChar(0xD800)), "&#65533;", "<![CDATA[]]>&#65533;<![CDATA[]]>"});
    for (const QStringList &c : cases) {
        EXPECT_EQ(TXmlText::Escape(c[0]), c[1]);
        EXPECT_EQ(TXmlText::CData(c[0]), c[2]);
    }
    EXPECT_EQ(TXmlText::EscapeAttribute("a\"b&"), "a&quot;b&amp;");
}

TEST(XmlText, PropertyLinesAndFileBytes)
{
    // A name given as Latin-1 makes the same line as one given as a string.
    for (const char *name : {"data_type", "a\"<b>&", ""}) {
        for (int indent : {-2, 0, 4}) {
            const QString expected = QString(qMax(0, indent), ' ') + "<property name=\""
                                     + TXmlText::EscapeAttribute(name) + "\">v&amp;</property>";
            EXPECT_EQ(TXmlText::Property(indent, QString(name), "v&amp;"), expected);
            EXPECT_EQ(TXmlText::Property(indent, QLatin1String(name), "v&amp;"), expected);
        }
    }
    // Every line ends in CR LF; what Latin-1 cannot hold becomes '?', one per
    // UTF-16 unit, as QString::toLatin1 makes it.
    const QStringList lines{QString::fromLatin1("a\xe9"), "", QString::fromUtf8("\u20ac\U0001F600|") + QChar(0xD800)};
    EXPECT_EQ(TXmlText::ToFileBytes(lines), QByteArray("a\xe9\r\n\r\n???|?\r\n"));
    EXPECT_EQ(TXmlText::ToFileBytes(lines), lines.join("\r\n").toLatin1() + "\r\n");
    EXPECT_TRUE(TXmlText::ToFileBytes({}).isEmpty());
    // Text that needs no escaping comes back as it is; nothing still comes
    // back as an empty string.
    EXPECT_FALSE(TXmlText::Escape(QString()).isNull());
    EXPECT_FALSE(TXmlText::EscapeAttribute(QString()).isNull());
}

} // namespace
