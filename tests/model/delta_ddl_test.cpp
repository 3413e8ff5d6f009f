// Delta scripts between tables, between pages and between a page and the
// database, and the reload-from-database flag.
#include "fake_database_session.h"
#include "model/ddl_text.h"
#include "model/diagram_object_model.h"
#include "model/model_globals.h"
#include "model_builders.h"
#include "platform/fake_user_interface.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

QByteArray Bytes(const QString &text) { return text.toUtf8(); }

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

// The original state of SHOP.EMP used by the comparisons.
void FillEmp(TDiagramTable &emp)
{
    emp.Owner = "SHOP";
    emp.Name = "EMP";
    emp.Comment = "Employees";
    AddColumn(emp, "EMPNO", "NUMBER", 0, 4, 0, false);
    AddColumn(emp, "ENAME", "VARCHAR2", 10)->Comment = "Name";
    AddColumn(emp, "JOB", "VARCHAR2", 9);
    AddColumn(emp, "SAL", "NUMBER", 0, 7, 2);
    AddColumn(emp, "DEPTNO", "NUMBER", 0, 2);
    AddPrimaryKey(emp, "EMP_PK", {"EMPNO"});
    AddUniqueKey(emp, "EMP_UK", {"ENAME", "JOB"});
    AddForeignKey(emp, "EMP_DEPT_FK", {"DEPTNO"}, "SHOP", "DEPT", {"DEPTNO"}, "NO ACTION");
    AddCheck(emp, "EMP_SAL_CK", "SAL > 0");
    AddIndex(emp, "EMP_JOB_IX", {"JOB"});
    AddIndex(emp, "EMP_SAL_IX", {"SAL"});
}

std::unique_ptr<TDiagramTable> Emp()
{
    auto emp = std::make_unique<TDiagramTable>();
    FillEmp(*emp);
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
    AddColumn(*emp, "HIREDATE", "DATE", 0, 0, 0, false)->Comment = "Not part of the delta";
    AddColumn(*emp, "BONUS", "NUMBER", 0, 5);
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

TEST_F(DeltaDdl, IdenticalTablesGiveNothing)
{
    EXPECT_EQ(Emp()->BuildAlterDdl(*Emp()), "");
}

TEST_F(DeltaDdl, EveryKindOfTableChange)
{
    expectGolden("ddl/delta_table.sql", Bytes(Emp()->BuildAlterDdl(*ChangedEmp())));
}

TEST_F(DeltaDdl, ColumnsWithNoOtherChangeAndCaseCounts)
{
    auto original = Emp();
    auto target = Emp();
    // Names match exactly: a column spelled in another case is another column.
    target->Columns.FindColumn("JOB")->Name = "Job";
    EXPECT_EQ(original->BuildAlterDdl(*target), "ALTER TABLE SHOP.EMP DROP COLUMN JOB\r\n/\r\n\r\n"
                                                "ALTER TABLE SHOP.EMP ADD Job VARCHAR2(9)\r\n/\r\n\r\n");
}

TEST_F(DeltaDdl, WideTablesMatchColumnsByName)
{
    // Past a handful of columns the look-up is hashed; duplicates still match
    // the first column of the name.
    TDiagramTable original, target;
    for (TDiagramTable *table : {&original, &target}) {
        table->Owner = "W";
        table->Name = "WIDE";
        for (int i = 0; i < 40; ++i)
            AddColumn(*table, QString("C%1").arg(i), "NUMBER", 0, 10);
    }
    AddColumn(target, "C3", "DATE");
    target.Columns.FindColumn("C39")->DataPrecision = 12;
    std::swap(target.Columns.GetColumn(0)->Name, target.Columns.GetColumn(1)->Name);
    EXPECT_EQ(original.BuildAlterDdl(target), "ALTER TABLE W.WIDE MODIFY (C39 NUMBER(12))\r\n/\r\n\r\n");
}

// Two pages: SAME is unchanged, EMP changed, OLD only in the original, NEW only
// in the target, the lower-case "dept" is DEPT under another name; object
// tables never take part.
void FillModels(TDiagramObjectModel &original, TDiagramObjectModel &target)
{
    original.Name = "Production";
    target.Name = "Development";
    for (TDiagramObjectModel *model : {&original, &target}) {
        auto *same = AddTable(*model, "SHOP", "SAME");
        AddColumn(*same, "ID", "NUMBER", 0, 10, 0, false);
        auto *people = new TDiagramObjectTable();
        people->Owner = "SHOP";
        people->Name = "PEOPLE";
        people->TypeName = model == &original ? "PERSON_T" : "HUMAN_T";
        model->ObjectTables.Add(people);
    }
    original.Tables.Add(Emp().release());
    target.Tables.Add(ChangedEmp().release());
    AddColumn(*AddTable(original, "SHOP", "OLD"), "ID");
    AddColumn(*AddTable(original, "SHOP", "DEPT"), "DEPTNO");
    AddColumn(*AddTable(target, "SHOP", "dept"), "DEPTNO");
    auto *added = AddTable(target, "SHOP", "NEW");
    AddColumn(*added, "ID", "NUMBER", 0, 0, 0, false);
    AddPrimaryKey(*added, "NEW_PK", {"ID"});
    added->Comment = "Brand new";
    // The same name under another owner is another table.
    AddColumn(*AddTable(target, "SALES", "SAME"), "ID");
}

TEST_F(DeltaDdl, ModelAgainstModel)
{
    TDiagramObjectModel original, target;
    FillModels(original, target);
    expectGolden("ddl/delta_models.sql", Bytes(original.BuildDeltaDdl(target)));
}

TEST_F(DeltaDdl, IdenticalModelsGiveTheHeaderAlone)
{
    TDiagramObjectModel original, target;
    FillModels(original, target);
    EXPECT_EQ(original.BuildDeltaDdl(original),
              "/**\r\n *  Delta DDL\r\n *  Original Model is Production\r\n *  Target Model is Production\r\n */\r\n");
    TDiagramObjectModel empty;
    EXPECT_EQ(empty.BuildDeltaDdl(empty).count("\r\n"), 5);
}

// The database holds SHOP.EMP in its original state, SHOP.SAME as the page
// has it and SHOP.ONLY_IN_DB, which the page does not have; the page's
// SHOP.NEW is not in the database.
TEST_F(DeltaDdl, ModelAgainstDatabase)
{
    auto session = Connect();
    TDiagramObjectModel db, page;
    FillModels(db, page);
    session->AddTable(*db.Tables.FindTable("EMP", "SHOP"));
    session->AddTable(*db.Tables.FindTable("SAME", "SHOP"));
    AddColumn(*AddTable(db, "SHOP", "ONLY_IN_DB"), "ID");
    session->AddTable(*db.Tables.FindTable("ONLY_IN_DB", "SHOP"));

    const QString script = page.BuildDatabaseDeltaDdl();
    expectGolden("ddl/delta_database.sql", Bytes(script));
    EXPECT_FALSE(script.contains("ONLY_IN_DB"));
    EXPECT_EQ(session->Calls, QStringList({"GetTable SHOP.SAME", "GetTable SHOP.EMP", "GetTable SHOP.dept",
                                           "GetTable SHOP.NEW", "GetTable SALES.SAME"}));
    // Per table, the database copy is the original.
    EXPECT_EQ(page.Tables.FindTable("EMP", "SHOP")->BuildDatabaseDeltaDdl(),
              Emp()->BuildAlterDdl(*page.Tables.FindTable("EMP", "SHOP")));
    EXPECT_EQ(page.Tables.FindTable("NEW", "SHOP")->BuildDatabaseDeltaDdl(),
              page.Tables.FindTable("NEW", "SHOP")->GetDDL(true));
}

TEST_F(DeltaDdl, MatchingDatabaseGivesBlankLinesOnly)
{
    auto session = Connect();
    TDiagramObjectModel page;
    page.Tables.Add(Emp().release());
    AddColumn(*AddTable(page, "SHOP", "T2"), "ID");
    for (const TDiagramTable *table : page.Tables)
        session->AddTable(*table);
    EXPECT_EQ(page.BuildDatabaseDeltaDdl(), "\r\n\r\n");
    EXPECT_TRUE(TDdlText::IsBlank(page.BuildDatabaseDeltaDdl()));
}

TEST_F(DeltaDdl, DatabaseOperationsNeedAConnectedSession)
{
    TDiagramObjectModel page;
    auto *emp = new TDiagramTable();
    FillEmp(*emp);
    page.Tables.Add(emp);
    const auto expectNotConnected = [&] {
        EXPECT_THROW(page.BuildDatabaseDeltaDdl(), ENotConnected);
        EXPECT_THROW(emp->BuildDatabaseDeltaDdl(), ENotConnected);
        EXPECT_THROW(emp->SetReloadFromDatabase(true), ENotConnected);
        EXPECT_FALSE(emp->ReloadFromDatabase());
    };
    expectNotConnected();
    auto session = Connect();
    session->Connected = false;
    expectNotConnected();
    EXPECT_TRUE(session->Calls.isEmpty());
    try {
        page.BuildDatabaseDeltaDdl();
    } catch (const EModelError &e) {
        EXPECT_EQ(e.Message(), "Not connected to a database.");
    }
}

TEST_F(DeltaDdl, SessionErrorsPassUnchanged)
{
    auto session = Connect();
    session->FailWith = "ORA-00942: table or view does not exist";
    auto emp = Emp();
    try {
        emp->BuildDatabaseDeltaDdl();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "ORA-00942: table or view does not exist");
    }
    EXPECT_THROW(emp->SetReloadFromDatabase(true), std::runtime_error);
    EXPECT_FALSE(emp->ReloadFromDatabase());
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

    auto missing = std::make_unique<TDiagramTable>();
    missing->Owner = "SHOP";
    missing->Name = "GONE";
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
