// The CREATE scripts of tables and their parts, and the scripts of a page and
// of the selection, checked line for line.
#include "ddl_test_support.h"
#include "model/model_globals.h"
#include "test_data.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

// SHOP.EMP exactly as in the documented example.
std::unique_ptr<TDiagramTable> Emp()
{
    auto emp = NewTable("SHOP", "EMP", {"EMPNO NUMBER(4) NOT NULL", "ENAME VARCHAR2(10) -- Name", "DEPTNO NUMBER(2)"},
                        "Employees");
    AddPrimaryKey(*emp, "EMP_PK", {"EMPNO"});
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPTNO"}, "SHOP", "DEPT", {"DEPTNO"}, "CASCADE");
    AddCheck(*emp, "EMP_CHK", "EMPNO > 0");
    AddIndex(*emp, "EMP_IDX", {"ENAME"});
    return emp;
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

TEST_F(ObjectDdl, DocumentedTableExampleAndTerminator)
{
    const auto emp = Emp();
    const QString ddl = emp->GetDDL(true);
    EXPECT_EQ(ddl.count("\r\n"), 31);
    expectGolden("ddl/emp_table.sql", Bytes(ddl));
    // The terminator governs only the "/" after the closing parenthesis.
    QStringList lines = ddl.split("\r\n");
    ASSERT_EQ(lines.takeAt(6), "/");
    EXPECT_EQ(emp->GetDDL(false).split("\r\n"), lines);
}

TEST_F(ObjectDdl, ColumnLinesAndComments)
{
    const auto empty = NewTable("SHOP", "EMPTY", {}, " \t ");
    EXPECT_EQ(empty->GetDDL(true), "CREATE TABLE SHOP.EMPTY\r\n(\r\n)\r\n/\r\n\r\n");
    EXPECT_EQ(empty->GetDDL(false), "CREATE TABLE SHOP.EMPTY\r\n(\r\n)\r\n\r\n");

    // Names padded to the longest; blank comments write nothing; quotes doubled.
    const auto table = NewTable("S", "T", {"A DATE NOT NULL --   ", "LONGER_NAME CLOB -- it's"}, "Owner's 'best' table");
    EXPECT_EQ(table->GetDDL(true), "CREATE TABLE S.T\r\n(\r\n  A           DATE NOT NULL,\r\n  LONGER_NAME CLOB\r\n)\r\n"
                                   "/\r\n\r\nCOMMENT ON COLUMN S.T.LONGER_NAME IS 'it''s'\r\n/\r\n\r\n"
                                   "COMMENT ON TABLE S.T IS 'Owner''s ''best'' table'\r\n/\r\n");
}

TEST_F(ObjectDdl, KeyAndIndexStatements)
{
    const auto table = NewTable("S", "T");
    EXPECT_EQ(AddPrimaryKey(*table, "T_PK", {"A", "B"})->GetDDL("O", "X"),
              "ALTER TABLE O.X\r\n  ADD CONSTRAINT T_PK PRIMARY KEY (A,B)\r\n/\r\n");
    for (const QStringList &c : readTestTable("model/ddl_constraints.txt")) {
        if (c[0] == "fk") {
            auto *fk = AddForeignKey(*table, "T_FK", {"A", "B"}, "R", "REF", {"X", "Y"}, c[1]);
            EXPECT_EQ(fk->GetDDL("O", "X"), "ALTER TABLE O.X\r\n  ADD CONSTRAINT T_FK FOREIGN KEY (A,B)\r\n"
                                            "  REFERENCES R.REF(X,Y)\r\n" + c[2] + "/\r\n") << c[1].toStdString();
            continue;
        }
        auto *index = AddIndex(*table, "IX", {"A", "B"}, c[1]);
        index->Owner = "IO";
        EXPECT_EQ(index->GetDDL("OTHER", "TABLE"), c[2]) << c[1].toStdString();
    }
    EXPECT_EQ(AddIndex(*table, "IX2", {"FIRST NAME", "A,B", "Q\"T", "PLAIN"})->GetDDL({}, {}),
              "CREATE INDEX S.IX2 ON S.T (\"FIRST NAME\",\"A,B\",\"Q\"\"T\",PLAIN)\r\n/\r\n");
}

// An index a key would take as its own (its leading columns are the key's, in
// any order) comes before the key, or the server refuses it as a second index
// on the same list; other indexes keep their place after the checks.
TEST_F(ObjectDdl, AnIndexAKeyWouldTakeComesBeforeTheKey)
{
    const auto table = NewTable("S", "T", {"A DATE", "B DATE", "C DATE"});
    AddPrimaryKey(*table, "T_PK", {"A", "B"});
    AddUniqueKey(*table, "T_UK", {"C"});
    AddIndex(*table, "SHORT_IX", {"B"});
    AddIndex(*table, "T_PK", {"B", "A"});
    AddIndex(*table, "LONG_IX", {"C", "A", "B"});
    AddIndex(*table, "OTHER_IX", {"A", "C"});
    QStringList order;
    for (const QString &line : table->GetDDL(true).split("\r\n"))
        if (line.startsWith("CREATE INDEX") || line.startsWith("  ADD CONSTRAINT"))
            order << line.simplified().section(' ', 2, 2);
    EXPECT_EQ(order.join(' ').toStdString(), "S.T_PK S.LONG_IX T_PK T_UK S.SHORT_IX S.OTHER_IX");
}

TEST_F(ObjectDdl, HeaderStampsFollowTheLocale)
{
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(TDdlText::DateTimeText(afternoon), "3/5/24 2:07:09 PM");
    EXPECT_EQ(TDdlText::DateTimeText(QDateTime(QDate(2024, 12, 31), QTime(0, 0, 1))), "12/31/24 12:00:01 AM");
    EXPECT_EQ(TDdlText::DateTimeText(QDateTime(QDate(2024, 12, 31), QTime(0, 0))), "12/31/24");
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TDdlText::DateTimeText(afternoon), "05.03.24 14:07:09");
}

// A page with tables, an object table, a type and a note; the object tables
// come first in the page's script whatever the order they were added in, and
// write their keys but no columns, checks, indexes or comments.
TEST_F(ObjectDdl, ModelAndSelectionScripts)
{
    TDiagramObjectModel &model = *CurrentModel;
    model.Name = "Shop";
    const QStringList header = {"/**", "  *  Shop DDL generated by Marrowtide", "  *  3/5/24 2:07:09 PM", "  */", ""};
    EXPECT_EQ(model.BuildModelDdl(), header);
    EXPECT_EQ(model.BuildSelectionDdl(), header);

    auto *dept = AddColumns(*AddTable(model, "SHOP", "DEPT"),
                            {"DEPTNO NUMBER(2) NOT NULL", "DNAME VARCHAR2(14) -- Department's name"});
    AddPrimaryKey(*dept, "DEPT_PK", {"DEPTNO"});
    AddUniqueKey(*dept, "DEPT_UK", {"DNAME"});
    model.Tables.Add(Emp().release());
    auto people = NewTable<TDiagramObjectTable>("SHOP", "PEOPLE", {"ID NUMBER -- Not written either"}, "Not written");
    people->TypeOwner = "SHOP";
    people->TypeName = "PERSON_T";
    AddPrimaryKey(*people, "PEOPLE_PK", {"ID"});
    AddForeignKey(*people, "PEOPLE_FK", {"DEPT"}, "SHOP", "DEPT", {"DEPTNO"});
    AddCheck(*people, "PEOPLE_CK", "ID > 0");
    AddIndex(*people, "PEOPLE_IX", {"ID"});
    EXPECT_TRUE(people->GetDDL(false).startsWith("CREATE TABLE SHOP.PEOPLE\r\n OF SHOP.PERSON_T\r\n\r\nALTER"));
    model.ObjectTables.Add(people.release());
    model.Types.Add(new TDiagramType());
    model.Notes.Add(new TDiagramNote());
    expectGolden("ddl/model.sql", Bytes(model.BuildModelDdl()));

    for (TBaseModelObject *item : {model.Notes.GetItem(0), model.Tables.GetItem(1), model.Types.GetItem(0),
                                   model.ObjectTables.GetItem(0), model.Tables.GetItem(0)})
        SelectedGraphics->Add(item);
    // Selected notes and types write nothing.
    expectGolden("ddl/selection.sql", Bytes(model.BuildSelectionDdl()));
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
    auto *lower = AddColumns(*AddTable(*CurrentModel, "shop", "mixed\"Case"), {"o'clock VARCHAR2(5) -- quote ' inside"});
    AddUniqueKey(*lower, "uk", {"o'clock"});
    AddTable(*CurrentModel, "SHOP", "NO_COLUMNS")->Comment = "Has none";
    expectGolden("ddl/odd_content.sql", Bytes(CurrentModel->BuildModelDdl()));
}

// Names that are not plain upper-case identifiers are quoted wherever a
// statement names them; texts keep their own line breaks; a name holding
// "*/" cannot end the script's comments early.
TEST_F(ObjectDdl, NamesAreQuotedAndTextsKeptAsTheyAre)
{
    CurrentModel->Name = "Odd */ page";
    auto *oneil = AddColumns(*AddTable(*CurrentModel, "HR", "O'NEIL"),
                             {"ID NUMBER(4) NOT NULL", "Nick VARCHAR2(10) -- First line\nsecond", "SIZE NVARCHAR2(20)"});
    oneil->Comment = "Kept\r\nas typed";
    AddPrimaryKey(*oneil, "o'neil_pk", {"ID"});
    AddForeignKey(*oneil, "FK", {"Nick"}, "hr", "Parent Table", {"NICK NAME"}, "CASCADE");
    AddCheck(*oneil, "SIZE", "\"SIZE\" IS NOT NULL\r\nOR ID > 0");
    AddIndex(*oneil, "IX\"1", {"Nick", "ID"});
    AddColumns(*AddTable(*CurrentModel, "HR", "A*/B"), {"A$# DATE"});
    expectGolden("ddl/quoted_names.sql", Bytes(CurrentModel->BuildModelDdl()));
}

} // namespace
