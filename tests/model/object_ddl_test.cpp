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
    const struct {
        const char *rule, *line;
    } rules[] = {{"CASCADE", "  ON DELETE CASCADE\r\n"}, {"cascade", "  ON DELETE CASCADE\r\n"},
                 {"Set Null", "  ON DELETE SET NULL\r\n"}, {"NO ACTION", ""}, {"", ""}, {"RESTRICT", ""}};
    for (const auto &rule : rules) {
        auto *fk = AddForeignKey(*table, "T_FK", {"A", "B"}, "R", "REF", {"X", "Y"}, rule.rule);
        EXPECT_EQ(fk->GetDDL("O", "X"), QString("ALTER TABLE O.X\r\n  ADD CONSTRAINT T_FK FOREIGN KEY (A,B)\r\n"
                                                "  REFERENCES R.REF(X,Y)\r\n%1/\r\n").arg(rule.line))
            << rule.rule;
    }

    const struct {
        const char *type, *create;
    } cases[] = {{"NORMAL", "CREATE INDEX"},        {"normal", "CREATE INDEX"},
                 {"bitmap", "CREATE BITMAP INDEX"}, {"UNIQUE", "CREATE UNIQUE INDEX"},
                 {"FUNCTION-BASED NORMAL", nullptr}, {"", nullptr}};
    for (const auto &c : cases) {
        auto *index = AddIndex(*table, "IX", {"A", "B"}, c.type);
        index->Owner = "IO";
        // The index names its own table whatever it is asked with; unknown kinds write an empty statement.
        EXPECT_EQ(index->GetDDL("OTHER", "TABLE"), c.create ? QString(c.create) + " IO.IX ON S.T (A,B)\r\n/\r\n" : "\r\n/\r\n")
            << c.type;
    }
    EXPECT_EQ(AddIndex(*table, "IX2", {"FIRST NAME", "A,B", "Q\"T", "PLAIN"})->GetDDL({}, {}),
              "CREATE INDEX S.IX2 ON S.T (\"FIRST NAME\",\"A,B\",\"Q\"\"T\",PLAIN)\r\n/\r\n");
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

} // namespace
