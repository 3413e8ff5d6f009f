// Delta scripts between tables, between pages and between a page and the
// database, and the reload-from-database flag.
#include "ddl_test_support.h"
#include "fake_database_session.h"
#include "model/model_globals.h"
#include "platform/fake_user_interface.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

// The original state of SHOP.EMP used by the comparisons.
std::unique_ptr<TDiagramTable> Emp()
{
    auto emp = NewTable("SHOP", "EMP", {"EMPNO NUMBER(4) NOT NULL", "ENAME VARCHAR2(10) -- Name", "JOB VARCHAR2(9)",
                                        "SAL NUMBER(7,2)", "DEPTNO NUMBER(2)"}, "Employees");
    AddPrimaryKey(*emp, "EMP_PK", {"EMPNO"});
    AddUniqueKey(*emp, "EMP_UK", {"ENAME", "JOB"});
    AddForeignKey(*emp, "EMP_DEPT_FK", {"DEPTNO"}, "SHOP", "DEPT", {"DEPTNO"}, "NO ACTION");
    AddCheck(*emp, "EMP_SAL_CK", "SAL > 0");
    AddIndex(*emp, "EMP_JOB_IX", {"JOB"});
    AddIndex(*emp, "EMP_SAL_IX", {"SAL"});
    return emp;
}

// Every kind of change at once: the comment, a dropped column, a column whose
// type and nullability changed, a removed comment, a new column, a changed
// delete rule, a renamed primary key, a reordered unique key, a changed check,
// a dropped, a changed and a new index.
std::unique_ptr<TDiagramTable> ChangedEmp()
{
    auto emp = Emp();
    emp->Comment = "Staff's list";
    emp->Columns.Remove(emp->Columns.FindColumn("JOB"));
    auto *sal = emp->Columns.FindColumn("SAL");
    sal->DataPrecision = 9;
    sal->IsNullable = false;
    emp->Columns.FindColumn("ENAME")->Comment = "";
    AddColumns(*emp, {"HIREDATE DATE NOT NULL -- Not part of the delta", "BONUS NUMBER(5)"});
    emp->ForeignKeys.GetForeignKey(0)->OnDelete = "cascade";
    emp->PrimaryKeys.GetPrimaryKey(0)->Name = "EMP_ID_PK";
    emp->UniqueKeys.GetUniqueKey(0)->Columns = QStringList{"JOB", "ENAME"};
    emp->CheckConstraints.GetCheckConstraint(0)->CheckText = "SAL >= 0";
    emp->Indexes.Remove(emp->Indexes.FindIndex("EMP_JOB_IX"));
    emp->Indexes.FindIndex("EMP_SAL_IX")->IndexType = "BITMAP";
    AddIndex(*emp, "EMP_HIRE_IX", {"HIREDATE"});
    return emp;
}

class DeltaDdl : public ::testing::Test {
protected:
    void SetUp() override { InitializeModelGlobals(); }
    void TearDown() override { FinalizeModelGlobals(); }
    std::shared_ptr<TFakeDatabaseSession> Connect()
    {
        auto session = std::make_shared<TFakeDatabaseSession>();
        DatabaseSession = session;
        return session;
    }
};

TEST_F(DeltaDdl, TableAgainstTable)
{
    EXPECT_EQ(Emp()->BuildAlterDdl(*Emp()), "");
    expectGolden("ddl/delta_table.sql", Bytes(Emp()->BuildAlterDdl(*ChangedEmp())));
    // Names match exactly: a column spelled in another case is another column.
    auto renamed = Emp();
    renamed->Columns.FindColumn("JOB")->Name = "Job";
    EXPECT_EQ(Emp()->BuildAlterDdl(*renamed), "ALTER TABLE SHOP.EMP DROP COLUMN JOB\r\n/\r\n\r\n"
                                             "ALTER TABLE SHOP.EMP ADD \"Job\" VARCHAR2(9)\r\n/\r\n\r\n");

    // Past a handful of columns the look-up is hashed; order does not matter,
    // and a duplicate name still matches the first column of the name, on
    // either side of the width where the look-up changes.
    for (int width : {15, 16, 17, 40}) {
        QStringList columns;
        for (int i = 0; i < width; ++i)
            columns << QString("C%1 NUMBER(10)").arg(i);
        const auto wide = NewTable("W", "WIDE", columns);
        columns.swapItemsAt(0, 1);
        const QString last = QString("C%1 NUMBER(12)").arg(width - 1);
        columns.last() = last;
        EXPECT_EQ(wide->BuildAlterDdl(*NewTable("W", "WIDE", columns + QStringList{"C3 DATE"})),
                  "ALTER TABLE W.WIDE MODIFY (" + last + ")\r\n/\r\n\r\n")
            << width;
    }
}

// The dictionary ends lines with LF, a diagram file or the clipboard with
// CR LF: the same texts either way are no difference, and a real change
// writes the target's text as it is.
TEST_F(DeltaDdl, LineBreakFormsAreNoDifference)
{
    const auto withBreaks = [](const QString &lineBreak, const QString &last) {
        auto table = NewTable("HR", "O'NEIL", {"ID NUMBER", "Nick VARCHAR2(9)"}, "Two" + lineBreak + "lines");
        table->Columns.FindColumn("Nick")->Comment = "A" + lineBreak + lineBreak + "B" + lineBreak;
        AddCheck(*table, "CK", "ID > 0" + lineBreak + last);
        return table;
    };
    const auto dictionary = withBreaks("\n", "OR ID IS NULL");
    for (const QString lineBreak : {"\n", "\r\n", "\r"})
        EXPECT_EQ(dictionary->BuildAlterDdl(*withBreaks(lineBreak, "OR ID IS NULL")), "") << lineBreak.size();

    const auto changed = withBreaks("\r\n", "OR ID < 0");
    changed->Comment += "\r\n";
    changed->Columns.FindColumn("Nick")->Comment.chop(2);
    EXPECT_EQ(dictionary->BuildAlterDdl(*changed),
              "COMMENT ON TABLE HR.\"O'NEIL\" IS 'Two\r\nlines\r\n'\r\n/\r\n\r\n"
              "COMMENT ON COLUMN HR.\"O'NEIL\".\"Nick\" IS 'A\r\n\r\nB'\r\n/\r\n\r\n"
              "ALTER TABLE HR.\"O'NEIL\" DROP CONSTRAINT CK\r\n/\r\n\r\n"
              "ALTER TABLE HR.\"O'NEIL\"\r\n  ADD CONSTRAINT CK\r\n  CHECK (ID > 0\r\nOR ID < 0)\r\n/\r\n\r\n");
    EXPECT_EQ(NewTable("HR", "O'NEIL", {"Nick DATE"})->BuildAlterDdl(*NewTable("HR", "O'NEIL", {"Nick DATE NOT NULL"})),
              "ALTER TABLE HR.\"O'NEIL\" MODIFY \"Nick\" NOT NULL\r\n/\r\n\r\n");
}

// What a delta drops is named the way it was created.
TEST_F(DeltaDdl, DropsQuoteTheNamesTheyDrop)
{
    TDiagramObjectModel original, target;
    auto *oneil = AddColumns(*AddTable(original, "HR", "O'NEIL"), {"ID NUMBER", "Nick DATE"});
    AddCheck(*oneil, "o'ck", "ID > 0");
    AddIndex(*oneil, "ix", {"Nick"});
    EXPECT_EQ(oneil->BuildAlterDdl(*NewTable("HR", "O'NEIL", {"ID NUMBER"})),
              "ALTER TABLE HR.\"O'NEIL\" DROP COLUMN \"Nick\"\r\n/\r\n\r\n"
              "ALTER TABLE HR.\"O'NEIL\" DROP CONSTRAINT \"o'ck\"\r\n/\r\n\r\n"
              "DROP INDEX HR.\"ix\"\r\n/\r\n\r\n");
    EXPECT_TRUE(original.BuildDeltaDdl(target).endsWith(" */\r\nDROP TABLE HR.\"O'NEIL\"\r\n/\r\n\r\n"));
}

TEST(DdlText, SameTextReadsEveryLineBreakAsOne)
{
    const struct {
        const char *A, *B;
        bool Same;
    } cases[] = {{"a\r\nb", "a\nb", true},   {"a\rb", "a\nb", true},     {"a\r\r\nb", "a\n\nb", true},
                 {"a\r\n", "a\n\n", false}, {"a\n", "a", false},       {"a", "a\r\n", false},
                 {"", "", true},             {"ab\n", "ac\n", false},    {"a\nb", "a b", false}};
    for (const auto &c : cases) {
        EXPECT_EQ(TDdlText::SameText(c.A, c.B), c.Same) << c.A << "|" << c.B;
        EXPECT_EQ(TDdlText::SameText(c.B, c.A), c.Same) << c.B << "|" << c.A;
    }
}

// Two pages: SAME is unchanged, EMP changed, OLD only in the original, NEW only
// in the target, the lower-case "dept" is DEPT under another name, SALES.SAME
// is SAME under another owner; object tables never take part.
void FillModels(TDiagramObjectModel &original, TDiagramObjectModel &target)
{
    original.Name = "Production";
    target.Name = "Development";
    for (TDiagramObjectModel *model : {&original, &target}) {
        AddColumns(*AddTable(*model, "SHOP", "SAME"), {"ID NUMBER(10) NOT NULL"});
        auto people = NewTable<TDiagramObjectTable>("SHOP", "PEOPLE");
        people->TypeName = model == &original ? "PERSON_T" : "HUMAN_T";
        model->ObjectTables.Add(people.release());
    }
    original.Tables.Add(Emp().release());
    target.Tables.Add(ChangedEmp().release());
    AddColumns(*AddTable(original, "SHOP", "OLD"), {"ID NUMBER"});
    AddColumns(*AddTable(original, "SHOP", "DEPT"), {"DEPTNO NUMBER"});
    AddColumns(*AddTable(target, "SHOP", "dept"), {"DEPTNO NUMBER"});
    auto *added = AddColumns(*AddTable(target, "SHOP", "NEW"), {"ID NUMBER NOT NULL"});
    AddPrimaryKey(*added, "NEW_PK", {"ID"});
    added->Comment = "Brand new";
    AddColumns(*AddTable(target, "SALES", "SAME"), {"ID NUMBER"});
}

TEST_F(DeltaDdl, ModelAgainstModelAndAgainstDatabase)
{
    TDiagramObjectModel db, page;
    FillModels(db, page);
    expectGolden("ddl/delta_models.sql", Bytes(db.BuildDeltaDdl(page)));
    EXPECT_EQ(db.BuildDeltaDdl(db),
              "/**\r\n *  Delta DDL\r\n *  Original Model is Production\r\n *  Target Model is Production\r\n */\r\n");

    // The database holds SHOP.EMP in its original state (the script changes it
    // into the page's), SHOP.SAME as the page has it and SHOP.ONLY_IN_DB, which
    // the page does not have; the page's SHOP.NEW is not in the database.
    auto session = Connect();
    AddColumns(*AddTable(db, "SHOP", "ONLY_IN_DB"), {"ID NUMBER"});
    for (const char *name : {"EMP", "SAME", "ONLY_IN_DB"})
        session->AddTable(*db.Tables.FindTable(name, "SHOP"));

    expectGolden("ddl/delta_database.sql", Bytes(page.BuildDatabaseDeltaDdl()));
    EXPECT_EQ(session->Calls, QStringList({"GetTable SHOP.SAME", "GetTable SHOP.EMP", "GetTable SHOP.dept",
                                           "GetTable SHOP.NEW", "GetTable SALES.SAME"}));

    // A page that matches the database gives one empty line per table.
    TDiagramObjectModel matching;
    matching.Tables.Add(Emp().release());
    AddColumns(*AddTable(matching, "SHOP", "SAME"), {"ID NUMBER(10) NOT NULL"});
    EXPECT_EQ(matching.BuildDatabaseDeltaDdl(), "\r\n\r\n");
}

// Without a connected session, or when its query fails, the error reaches the
// caller and nothing changes.
TEST_F(DeltaDdl, DatabaseErrorsPassUnchanged)
{
    TDiagramObjectModel page;
    TDiagramTable *emp = AddTable(page, "SHOP", "EMP");
    EXPECT_THROW(emp->BuildDatabaseDeltaDdl(), ENotConnected);
    const QString oracle = "ORA-00942: table or view does not exist";
    std::shared_ptr<TFakeDatabaseSession> disconnected;
    for (int state = 0; state < 3; ++state) { // no session, a disconnected one, a failing one
        if (state == 1)
            (disconnected = Connect())->Connected = false;
        if (state == 2)
            Connect()->FailWith = oracle;
        const QString expected = state < 2 ? QString("Not connected to a database.") : oracle;
        EXPECT_EQ(ErrorOf([&] { page.BuildDatabaseDeltaDdl(); }), expected);
        EXPECT_EQ(ErrorOf([&] { emp->BuildDatabaseDeltaDdl(); }), expected);
        EXPECT_EQ(ErrorOf([&] { emp->SetReloadFromDatabase(true); }), expected);
        EXPECT_FALSE(emp->ReloadFromDatabase());
    }
    EXPECT_TRUE(disconnected->Calls.isEmpty());
}

TEST_F(DeltaDdl, ReloadFlagChecksTheDatabase)
{
    TScopedFakeUserInterface ui;
    auto session = Connect();
    auto emp = Emp();
    session->AddTable(*emp);
    emp->SetReloadFromDatabase(true);
    EXPECT_TRUE(emp->ReloadFromDatabase());
    EXPECT_TRUE(ui.Messages().isEmpty());

    // A missing table is reported, and the flag is set all the same.
    auto missing = NewTable("SHOP", "GONE");
    missing->SetReloadFromDatabase(true);
    EXPECT_TRUE(missing->ReloadFromDatabase());
    EXPECT_EQ(ui.Messages(), QStringList{"Table 'SHOP.GONE' could not be found in the database."});
    EXPECT_EQ(session->Calls, QStringList({"GetTable SHOP.EMP", "GetTable SHOP.GONE"}));

    // Clearing asks nothing, even offline.
    DatabaseSession.reset();
    missing->SetReloadFromDatabase(false);
    EXPECT_FALSE(missing->ReloadFromDatabase());
}

} // namespace
