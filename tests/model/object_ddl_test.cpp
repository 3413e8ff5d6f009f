// The CREATE scripts of tables and their parts, and the scripts of a page and
// of the selection, checked line for line.
#include "model/ddl_text.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model_builders.h"
#include "test_data.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString &text) { return text.toUtf8(); }
QByteArray Bytes(const QStringList &lines) { return TDdlText::ListText(lines).toUtf8(); }

TDiagramCheckConstraint *AddCheck(TDiagramTable &table, const QString &name, const QString &text)
{
    auto *check = new TDiagramCheckConstraint();
    check->Name = name;
    check->CheckText = text;
    table.CheckConstraints.Add(check);
    return check;
}

TDiagramIndex *AddIndex(TDiagramTable &table, const QString &name, const QStringList &columns,
                        const QString &type = "NORMAL")
{
    auto *index = new TDiagramIndex();
    index->Name = name;
    index->Owner = table.Owner;
    index->Columns = columns;
    index->IndexType = type;
    index->TableOwner = table.Owner;
    index->TableName = table.Name;
    table.Indexes.Add(index);
    return index;
}

// SHOP.EMP exactly as in the documented example.
void FillEmp(TDiagramTable &emp)
{
    emp.Owner = "SHOP";
    emp.Name = "EMP";
    emp.Comment = "Employees";
    AddColumn(emp, "EMPNO", "NUMBER", 0, 4, 0, false);
    AddColumn(emp, "ENAME", "VARCHAR2", 10)->Comment = "Name";
    AddColumn(emp, "DEPTNO", "NUMBER", 0, 2);
    AddPrimaryKey(emp, "EMP_PK", {"EMPNO"});
    AddForeignKey(emp, "EMP_DEPT_FK", {"DEPTNO"}, "SHOP", "DEPT", {"DEPTNO"}, "CASCADE");
    AddCheck(emp, "EMP_CHK", "EMPNO > 0");
    AddIndex(emp, "EMP_IDX", {"ENAME"});
}

class ObjectDdl : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeModelGlobals();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        TDdlText::SetNowOverride(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    }
    void TearDown() override
    {
        TDdlText::SetNowOverride(QDateTime());
        QLocale::setDefault(QLocale::system());
        FinalizeModelGlobals();
    }
};

TEST_F(ObjectDdl, DocumentedTableExample)
{
    TDiagramTable emp;
    FillEmp(emp);
    const QString ddl = emp.GetDDL(true);
    EXPECT_EQ(ddl.count("\r\n"), 31);
    expectGolden("ddl/emp_table.sql", Bytes(ddl));
}

TEST_F(ObjectDdl, TerminatorGovernsOnlyTheCreateStatement)
{
    TDiagramTable emp;
    FillEmp(emp);
    QStringList withTerminator = emp.GetDDL(true).split("\r\n");
    ASSERT_EQ(withTerminator.at(6), "/");
    withTerminator.removeAt(6);
    EXPECT_EQ(emp.GetDDL(false).split("\r\n"), withTerminator);
}

TEST_F(ObjectDdl, TableWithoutColumnsOrParts)
{
    TDiagramTable table;
    table.Owner = "SHOP";
    table.Name = "EMPTY";
    table.Comment = " \t ";
    EXPECT_EQ(table.GetDDL(true), "CREATE TABLE SHOP.EMPTY\r\n(\r\n)\r\n/\r\n\r\n");
    EXPECT_EQ(table.GetDDL(false), "CREATE TABLE SHOP.EMPTY\r\n(\r\n)\r\n\r\n");
}

TEST_F(ObjectDdl, ColumnWidthAndBlankComments)
{
    TDiagramTable table;
    table.Owner = "S";
    table.Name = "T";
    table.Comment = "   ";
    AddColumn(table, "A", "DATE", 0, 0, 0, false)->Comment = "  ";
    AddColumn(table, "LONGER_NAME", "CLOB")->Comment = "Big";
    EXPECT_EQ(table.GetDDL(true), "CREATE TABLE S.T\r\n(\r\n"
                                  "  A           DATE NOT NULL,\r\n"
                                  "  LONGER_NAME CLOB\r\n)\r\n/\r\n\r\n"
                                  "COMMENT ON COLUMN S.T.LONGER_NAME IS 'Big'\r\n/\r\n\r\n");
}

TEST_F(ObjectDdl, QuotesInCommentsAreDoubled)
{
    TDiagramTable table;
    table.Owner = "S";
    table.Name = "T";
    table.Comment = "Owner's 'best' table";
    AddColumn(table, "C")->Comment = "it's";
    const QString ddl = table.GetDDL(true);
    EXPECT_TRUE(ddl.contains("COMMENT ON COLUMN S.T.C IS 'it''s'\r\n/\r\n")) << ddl.toStdString();
    EXPECT_TRUE(ddl.endsWith("COMMENT ON TABLE S.T IS 'Owner''s ''best'' table'\r\n/\r\n")) << ddl.toStdString();
}

TEST_F(ObjectDdl, KeyStatements)
{
    TDiagramTable table;
    table.Owner = "S";
    table.Name = "T";
    auto *pk = AddPrimaryKey(table, "T_PK", {"A", "B"});
    auto *uk = AddUniqueKey(table, "T_UK", {"B", "A"});
    EXPECT_EQ(pk->GetDDL("O", "X"), "ALTER TABLE O.X\r\n  ADD CONSTRAINT T_PK PRIMARY KEY (A,B)\r\n/\r\n");
    EXPECT_EQ(uk->GetDDL("O", "X"), "ALTER TABLE O.X\r\n  ADD CONSTRAINT T_UK UNIQUE (B,A)\r\n/\r\n");

    const struct {
        const char *rule;
        const char *line;
    } rules[] = {{"CASCADE", "  ON DELETE CASCADE\r\n"}, {"cascade", "  ON DELETE CASCADE\r\n"},
                 {"Set Null", "  ON DELETE SET NULL\r\n"}, {"NO ACTION", ""}, {"", ""}, {"RESTRICT", ""}};
    for (const auto &rule : rules) {
        auto *fk = AddForeignKey(table, "T_FK", {"A", "B"}, "R", "REF", {"X", "Y"}, rule.rule);
        EXPECT_EQ(fk->GetDDL("O", "X"), QString("ALTER TABLE O.X\r\n  ADD CONSTRAINT T_FK FOREIGN KEY (A,B)\r\n"
                                                "  REFERENCES R.REF(X,Y)\r\n")
                                            + rule.line + "/\r\n")
            << rule.rule;
    }
    auto *check = AddCheck(table, "T_CK", "A IN ('x', 'y')");
    EXPECT_EQ(check->GetDDL("O", "X"), "ALTER TABLE O.X\r\n  ADD CONSTRAINT T_CK\r\n  CHECK (A IN ('x', 'y'))\r\n/\r\n");
}

TEST_F(ObjectDdl, IndexStatementsByType)
{
    TDiagramTable table;
    table.Owner = "S";
    table.Name = "T";
    const struct {
        const char *type;
        const char *text;
    } cases[] = {
        {"NORMAL", "CREATE INDEX IO.IX ON S.T (A,B)\r\n/\r\n"},
        {"normal", "CREATE INDEX IO.IX ON S.T (A,B)\r\n/\r\n"},
        {"bitmap", "CREATE BITMAP INDEX IO.IX ON S.T (A,B)\r\n/\r\n"},
        {"UNIQUE", "CREATE UNIQUE INDEX IO.IX ON S.T (A,B)\r\n/\r\n"},
        {"FUNCTION-BASED NORMAL", "\r\n/\r\n"},
        {"", "\r\n/\r\n"},
    };
    for (const auto &c : cases) {
        auto *index = AddIndex(table, "IX", {"A", "B"}, c.type);
        index->Owner = "IO";
        // The index names its own table whatever it is asked with.
        EXPECT_EQ(index->GetDDL("OTHER", "TABLE"), c.text) << c.type;
    }
    auto *odd = AddIndex(table, "IX2", {"FIRST NAME", "A,B", "Q\"T", "PLAIN"});
    EXPECT_EQ(odd->GetDDL({}, {}), "CREATE INDEX S.IX2 ON S.T (\"FIRST NAME\",\"A,B\",\"Q\"\"T\",PLAIN)\r\n/\r\n");
}

TEST_F(ObjectDdl, ObjectTableWritesKeysOnly)
{
    TDiagramObjectTable table;
    table.Owner = "SHOP";
    table.Name = "PEOPLE";
    table.TypeOwner = "SHOP";
    table.TypeName = "PERSON_T";
    table.Comment = "Not written";
    AddColumn(table, "ID")->Comment = "Not written either";
    AddPrimaryKey(table, "PEOPLE_PK", {"ID"});
    AddForeignKey(table, "PEOPLE_FK", {"DEPT"}, "SHOP", "DEPT", {"DEPTNO"});
    AddCheck(table, "PEOPLE_CK", "ID > 0");
    AddIndex(table, "PEOPLE_IX", {"ID"});
    const TDiagramTable &asTable = table;
    EXPECT_EQ(asTable.GetDDL(true), "CREATE TABLE SHOP.PEOPLE\r\n OF SHOP.PERSON_T\r\n/\r\n\r\n"
                                    "ALTER TABLE SHOP.PEOPLE\r\n  ADD CONSTRAINT PEOPLE_PK PRIMARY KEY (ID)\r\n/\r\n\r\n"
                                    "ALTER TABLE SHOP.PEOPLE\r\n  ADD CONSTRAINT PEOPLE_FK FOREIGN KEY (DEPT)\r\n"
                                    "  REFERENCES SHOP.DEPT(DEPTNO)\r\n/\r\n\r\n");
    EXPECT_TRUE(asTable.GetDDL(false).startsWith("CREATE TABLE SHOP.PEOPLE\r\n OF SHOP.PERSON_T\r\n\r\nALTER"));
}

TEST_F(ObjectDdl, HeaderStampsFollowTheLocale)
{
    const struct {
        QDateTime moment;
        const char *text;
    } cases[] = {
        {QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), "3/5/24 2:07:09 PM"},
        {QDateTime(QDate(2024, 12, 31), QTime(0, 0, 1)), "12/31/24 12:00:01 AM"},
        {QDateTime(QDate(2024, 12, 31), QTime(0, 0)), "12/31/24"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TDdlText::DateTimeText(c.moment), c.text);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TDdlText::DateTimeText(cases[0].moment), "05.03.24 14:07:09");
}

TEST_F(ObjectDdl, EmptyModelGivesTheHeaderAlone)
{
    CurrentModel->Name = "Sales";
    const QStringList expected = {"/**", "  *  Sales DDL generated by Marrowtide", "  *  3/5/24 2:07:09 PM", "  */",
                                  ""};
    EXPECT_EQ(CurrentModel->BuildModelDdl(), expected);
    EXPECT_EQ(CurrentModel->BuildSelectionDdl(), expected);
}

// A page with object tables, tables, a type and a note; the object tables come
// first whatever the order they were added in.
void FillShop(TDiagramObjectModel &model)
{
    model.Name = "Shop";
    auto *dept = AddTable(model, "SHOP", "DEPT");
    AddColumn(*dept, "DEPTNO", "NUMBER", 0, 2, 0, false);
    AddColumn(*dept, "DNAME", "VARCHAR2", 14)->Comment = "Department's name";
    AddPrimaryKey(*dept, "DEPT_PK", {"DEPTNO"});
    AddUniqueKey(*dept, "DEPT_UK", {"DNAME"});
    auto *emp = new TDiagramTable();
    FillEmp(*emp);
    model.Tables.Add(emp);
    auto *people = new TDiagramObjectTable();
    people->Owner = "SHOP";
    people->Name = "PEOPLE";
    people->TypeOwner = "SHOP";
    people->TypeName = "PERSON_T";
    model.ObjectTables.Add(people);
    auto *type = new TDiagramType();
    type->Owner = "SHOP";
    type->Name = "PERSON_T";
    model.Types.Add(type);
    auto *note = new TDiagramNote();
    note->Name = "Note 1";
    note->Text = "Remember";
    model.Notes.Add(note);
}

TEST_F(ObjectDdl, ModelScript)
{
    FillShop(*CurrentModel);
    expectGolden("ddl/model.sql", Bytes(CurrentModel->BuildModelDdl()));
}

TEST_F(ObjectDdl, SelectionScriptFollowsTheSelectionOrder)
{
    FillShop(*CurrentModel);
    SelectedGraphics->Add(CurrentModel->Notes.GetItem(0));
    SelectedGraphics->Add(CurrentModel->Tables.GetItem(1));
    SelectedGraphics->Add(CurrentModel->Types.GetItem(0));
    SelectedGraphics->Add(CurrentModel->ObjectTables.GetItem(0));
    SelectedGraphics->Add(CurrentModel->Tables.GetItem(0));
    expectGolden("ddl/selection.sql", Bytes(CurrentModel->BuildSelectionDdl()));

    SelectedGraphics->Clear();
    SelectedGraphics->Add(CurrentModel->Notes.GetItem(0));
    SelectedGraphics->Add(CurrentModel->Types.GetItem(0));
    EXPECT_EQ(CurrentModel->BuildSelectionDdl().size(), 5);
}

TEST_F(ObjectDdl, OddContentIsWrittenAsItStands)
{
    // Nothing is checked: the script shows the model as it is, and the
    // database reports what it cannot run.
    CurrentModel->Name = "Odd";
    auto *unnamed = AddTable(*CurrentModel, "", "");
    AddColumn(*unnamed, "", "");
    AddColumn(*unnamed, "NO_TYPE", "", 0, 0, 0, false);
    AddPrimaryKey(*unnamed, "", {"MISSING"});
    AddForeignKey(*unnamed, "FK", {}, "", "", {});
    AddIndex(*unnamed, "", {""});
    auto *lower = AddTable(*CurrentModel, "shop", "mixed\"Case");
    AddColumn(*lower, "o'clock", "VARCHAR2", 5)->Comment = "quote ' inside";
    AddUniqueKey(*lower, "uk", {"o'clock"});
    AddTable(*CurrentModel, "SHOP", "NO_COLUMNS")->Comment = "Has none";
    expectGolden("ddl/odd_content.sql", Bytes(CurrentModel->BuildModelDdl()));
}

} // namespace
