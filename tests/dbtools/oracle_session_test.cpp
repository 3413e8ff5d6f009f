// The Oracle session on the sample database: every operation read through the
// same dictionary SQL an Oracle server runs, on HR, CO, SH and SHOP.
#include "dbtools/console_helper.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/result_set.h"
#include "sample_database.h"
#include "test_data.h"

#include <QFile>
#include <QRect>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class RecordingConsole : public IConsoleSink {
public:
    void AddLine(const QString &text) override { Lines << text; }
    QStringList Lines;
};

class OracleSessionTest : public ::testing::Test {
protected:
    void SetUp() override { TConsoleHelper::SetSink(&Console); }
    void TearDown() override { TConsoleHelper::SetSink(nullptr); }

    RecordingConsole Console;
    std::shared_ptr<TOracleSession> Session = OpenSampleSession();
};

QStringList Column(const TOSResultSet &rows, const QString &name)
{
    QStringList values;
    for (int i = 0; i < rows.RowCount(); ++i)
        values << rows.GetRow(i)->GetValueByName(name).toString();
    return values;
}

template <class List>
QStringList Names(const List &list)
{
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Get(i)->Name;
    return names;
}

QString Joined(const QStringList &list) { return list.join(QLatin1Char(',')); }

} // namespace

TEST_F(OracleSessionTest, OwnersAndListsOfEachSchemaInNameOrder)
{
    EXPECT_EQ(Column(*Session->GetOwners(), "OWNER"), QStringList({"CO", "HR", "SH", "SHOP", "SYS", "SYSTEM"}));
    struct Case {
        QString Owner;
        int Tables;
        QString First, Last;
    };
    const Case cases[] = {
        {"HR", 7, "HR.COUNTRIES", "HR.REGIONS"},
        {"CO", 7, "CO.CUSTOMERS", "CO.STORES"},
        {"SH", 11, "SH.CAL_MONTH_SALES_MV", "SH.TIMES"},
        {"SHOP", 5, "SHOP.CATEGORIES", "SHOP.PRODUCTS_TAGS_NT"},
        {"", 30, "CO.CUSTOMERS", "SHOP.PRODUCTS_TAGS_NT"},
        {"NOBODY", 0, "", ""},
    };
    for (const Case &c : cases) {
        const QStringList tables = Session->ListTables(c.Owner);
        ASSERT_EQ(tables.size(), c.Tables) << c.Owner.toStdString();
        if (c.Tables) {
            EXPECT_EQ(tables.first(), c.First);
            EXPECT_EQ(tables.last(), c.Last);
        }
    }
    EXPECT_EQ(Session->ListObjectTables(""), QStringList({"SHOP.CUSTOMERS_OT"}));
    EXPECT_EQ(Session->ListTypes("SHOP"),
              QStringList({"SHOP.ADDRESS_T", "SHOP.CUSTOMER_T", "SHOP.PHONE_LIST_T", "SHOP.TAG_LIST_T"}));
    EXPECT_EQ(Session->ListObjects("SEQUENCE", "HR"),
              QStringList({"HR.DEPARTMENTS_SEQ", "HR.EMPLOYEES_SEQ", "HR.LOCATIONS_SEQ"}));
    EXPECT_EQ(Session->ListObjects("VIEW", "SHOP"), QStringList({"SHOP.OPEN_ORDERS_V"}));
}

// Counts of each part, in the order the table is filled.
TEST_F(OracleSessionTest, TablesArriveWithAllTheirParts)
{
    struct Case {
        QString Owner, Table;
        int Columns, ForeignKeys, PrimaryKeys, UniqueKeys, Checks, Indexes;
        bool Partitioned;
        QString Comment;
    };
    const Case cases[] = {
        {"HR", "EMPLOYEES", 11, 3, 1, 1, 1, 4, false, "employees table. References with departments,"},
        {"HR", "COUNTRIES", 3, 1, 1, 0, 0, 0, false, "country table. References with locations table."},
        {"HR", "REGIONS", 2, 0, 1, 0, 0, 0, false, "Regions table that contains region numbers and names"},
        {"SH", "COUNTRIES", 9, 0, 1, 0, 0, 0, false, "country dimension table (snowflake)"},
        {"SH", "SALES", 7, 5, 0, 0, 0, 5, true, "facts table, without a primary key; all rows are uniquely"},
        {"CO", "PRODUCTS", 9, 0, 1, 0, 1, 0, false, "Details of goods that customers can purchase"},
        {"SHOP", "PRODUCTS", 9, 1, 1, 0, 1, 1, false, "Everything the shop sells, with its current list price"},
        {"SHOP", "ORDER_LINES", 5, 2, 1, 0, 1, 1, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.Owner + "." + c.Table).toStdString());
        auto table = Session->GetTable(c.Owner, c.Table);
        EXPECT_FALSE(table->IsVirtual);
        EXPECT_EQ(table->Owner, c.Owner);
        EXPECT_EQ(table->Name, c.Table);
        EXPECT_EQ(table->Columns.Count(), c.Columns);
        EXPECT_EQ(table->ForeignKeys.Count(), c.ForeignKeys);
        EXPECT_EQ(table->PrimaryKeys.Count(), c.PrimaryKeys);
        EXPECT_EQ(table->UniqueKeys.Count(), c.UniqueKeys);
        EXPECT_EQ(table->CheckConstraints.Count(), c.Checks);
        EXPECT_EQ(table->Indexes.Count(), c.Indexes);
        EXPECT_EQ(table->Partitioned, c.Partitioned);
        EXPECT_EQ(table->Comment.left(c.Comment.size()), c.Comment);
        for (int i = 0; i < table->Columns.Count(); ++i)
            EXPECT_EQ(table->Columns.Get(i)->Sequence, i + 1);
        for (int i = 0; i < table->ForeignKeys.Count(); ++i)
            EXPECT_EQ(table->ForeignKeys.Get(i)->Table, table.get());
    }
}

TEST_F(OracleSessionTest, ColumnsKeepTypesLengthsDefaultsAndComments)
{
    auto products = Session->GetTable("SHOP", "PRODUCTS");
    struct Case {
        QString Name, Type;
        bool Nullable;
        QString Default, Comment;
    };
    const Case cases[] = {
        {"PRODUCT_ID", "NUMBER(8)", false, "", ""},
        {"PRODUCT_NAME", "NVARCHAR2", false, "", ""},
        {"CATEGORY_ID", "NUMBER(6)", true, "", ""},
        {"LIST_PRICE", "NUMBER(8,2)", false, "0", ""},
        {"MIN_PRICE", "NUMBER(8,2)", true, "", "Lowest price a discount may reach"},
        {"WEIGHT_KG", "BINARY_DOUBLE", true, "", ""},
        {"DESCRIPTION", "CLOB(4000)", true, "", ""},
        {"ADDED_ON", "DATE", true, "SYSDATE", ""},
        {"TAGS", "TAG_LIST_T", true, "", ""},
    };
    ASSERT_EQ(products->Columns.Count(), int(std::size(cases)));
    for (int i = 0; i < products->Columns.Count(); ++i) {
        const TDiagramColumn *column = products->Columns.Get(i);
        EXPECT_EQ(column->Name, cases[i].Name);
        EXPECT_EQ(column->GetDataTypeText(), cases[i].Type) << column->Name.toStdString();
        EXPECT_EQ(column->IsNullable, cases[i].Nullable) << column->Name.toStdString();
        EXPECT_EQ(column->DefaultValue, cases[i].Default) << column->Name.toStdString();
        EXPECT_EQ(column->Comment, cases[i].Comment) << column->Name.toStdString();
    }
    // A column counted in characters keeps its declared length, not its bytes.
    auto customers = Session->GetTable("CO", "CUSTOMERS");
    EXPECT_EQ(customers->Columns.Get(1)->GetDataTypeText(), "VARCHAR2(255)");
}

TEST_F(OracleSessionTest, ForeignKeysCarryTheirReferenceAndDeleteRule)
{
    struct Case {
        QString Owner, Table, Key, RefOwner, RefTable, Columns, RefColumns, OnDelete;
    };
    const Case cases[] = {
        {"SHOP", "CATEGORIES", "CATEGORIES_PARENT_FK", "SHOP", "CATEGORIES", "PARENT_CATEGORY_ID", "CATEGORY_ID",
         "CASCADE"},
        {"SHOP", "PRODUCTS", "PRODUCTS_CATEGORY_FK", "SHOP", "CATEGORIES", "CATEGORY_ID", "CATEGORY_ID", "SET NULL"},
        {"SHOP", "ORDERS", "ORDERS_CUSTOMER_FK", "SHOP", "CUSTOMERS_OT", "CUSTOMER_NO", "CUSTOMER_NO", "NO ACTION"},
        {"SHOP", "ORDER_LINES", "ORDER_LINES_ORDER_FK", "SHOP", "ORDERS", "ORDER_ID", "ORDER_ID", "CASCADE"},
        {"HR", "EMPLOYEES", "EMP_MANAGER_FK", "HR", "EMPLOYEES", "MANAGER_ID", "EMPLOYEE_ID", "NO ACTION"},
        {"HR", "JOB_HISTORY", "JHIST_EMP_FK", "HR", "EMPLOYEES", "EMPLOYEE_ID", "EMPLOYEE_ID", "NO ACTION"},
        {"CO", "ORDER_ITEMS", "ORDER_ITEMS_SHIPMENT_ID_FK", "CO", "SHIPMENTS", "SHIPMENT_ID", "SHIPMENT_ID",
         "NO ACTION"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Key.toStdString());
        auto table = Session->GetTable(c.Owner, c.Table);
        const TDiagramForeignKey *key = nullptr;
        for (int i = 0; i < table->ForeignKeys.Count(); ++i)
            if (table->ForeignKeys.Get(i)->Name == c.Key)
                key = table->ForeignKeys.Get(i);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->RefTableOwner, c.RefOwner);
        EXPECT_EQ(key->RefTableName, c.RefTable);
        EXPECT_EQ(Joined(key->Columns), c.Columns);
        EXPECT_EQ(Joined(key->RefColumns), c.RefColumns);
        EXPECT_EQ(key->OnDelete, c.OnDelete);
    }
}

TEST_F(OracleSessionTest, KeysChecksAndIndexesInKeyOrder)
{
    auto lines = Session->GetTable("SHOP", "ORDER_LINES");
    EXPECT_EQ(lines->PrimaryKeys.Get(0)->Name, "ORDER_LINES_PK");
    EXPECT_EQ(Joined(lines->PrimaryKeys.Get(0)->Columns), "ORDER_ID,LINE_NO");
    EXPECT_EQ(Names(lines->CheckConstraints), QStringList({"ORDER_LINES_QTY_CK"}));
    EXPECT_EQ(lines->CheckConstraints.Get(0)->CheckText, "quantity > 0");
    ASSERT_EQ(lines->Indexes.Count(), 1);
    const TDiagramIndex *unique = lines->Indexes.Get(0);
    EXPECT_EQ(unique->Name, "ORDER_LINES_PRODUCT_UIX");
    EXPECT_EQ(unique->IndexType, "UNIQUE");
    EXPECT_EQ(Joined(unique->Columns), "ORDER_ID,PRODUCT_ID");
    EXPECT_EQ(unique->TableOwner, "SHOP");
    EXPECT_EQ(unique->TableName, "ORDER_LINES");

    auto products = Session->GetTable("SHOP", "PRODUCTS");
    // The descending index is function-based: its hidden column cannot be written back.
    EXPECT_EQ(Names(products->Indexes), QStringList({"PRODUCTS_NAME_IX"}));
    EXPECT_EQ(Joined(products->Indexes.Get(0)->Columns), "PRODUCT_NAME");
    EXPECT_EQ(products->Indexes.Get(0)->IndexType, "NORMAL");

    auto categories = Session->GetTable("SHOP", "CATEGORIES");
    EXPECT_EQ(Names(categories->UniqueKeys), QStringList({"CATEGORIES_NAME_UK"}));
    EXPECT_EQ(Joined(categories->UniqueKeys.Get(0)->Columns), "CATEGORY_NAME");
    EXPECT_EQ(categories->CheckConstraints.Count(), 0) << "NOT NULL checks are the columns' own";

    auto sales = Session->GetTable("SH", "SALES");
    for (int i = 0; i < sales->Indexes.Count(); ++i)
        EXPECT_EQ(sales->Indexes.Get(i)->IndexType, "BITMAP") << sales->Indexes.Get(i)->Name.toStdString();
}

// The same table and key names live in several schemas; no part of one
// reaches a table of another.
TEST_F(OracleSessionTest, SameNamesUnderSeveralOwnersNeverMix)
{
    struct Case {
        QString Owner, Table, FirstColumn, PrimaryKeyColumns;
        int Columns;
    };
    const Case cases[] = {
        {"CO", "PRODUCTS", "PRODUCT_ID", "PRODUCT_ID", 9},
        {"SH", "PRODUCTS", "PROD_ID", "PROD_ID", 22},
        {"SHOP", "PRODUCTS", "PRODUCT_ID", "PRODUCT_ID", 9},
        {"CO", "ORDERS", "ORDER_ID", "ORDER_ID", 5},
        {"SHOP", "ORDERS", "ORDER_ID", "ORDER_ID", 4},
        {"HR", "COUNTRIES", "COUNTRY_ID", "COUNTRY_ID", 3},
        {"SH", "COUNTRIES", "COUNTRY_ID", "COUNTRY_ID", 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.Owner + "." + c.Table).toStdString());
        auto table = Session->GetTable(c.Owner, c.Table);
        EXPECT_EQ(table->Columns.Count(), c.Columns);
        EXPECT_EQ(table->Columns.Get(0)->Name, c.FirstColumn);
        ASSERT_EQ(table->PrimaryKeys.Count(), 1);
        EXPECT_EQ(Joined(table->PrimaryKeys.Get(0)->Columns), c.PrimaryKeyColumns);
        for (int i = 0; i < table->Indexes.Count(); ++i)
            EXPECT_EQ(table->Indexes.Get(i)->TableOwner, c.Owner);
        for (int i = 0; i < table->ForeignKeys.Count(); ++i)
            EXPECT_EQ(table->ForeignKeys.Get(i)->RefTableOwner, c.Owner);
    }
}

TEST_F(OracleSessionTest, ObjectTablesAndTypes)
{
    auto table = Session->GetObjectTable("SHOP", "CUSTOMERS_OT");
    EXPECT_FALSE(table->IsVirtual);
    EXPECT_EQ(table->TypeOwner, "SHOP");
    EXPECT_EQ(table->TypeName, "CUSTOMER_T");
    EXPECT_EQ(Names(table->Columns), QStringList({"CUSTOMER_NO", "FULL_NAME", "ADDRESS", "PHONES", "CREDIT_LIMIT"}));
    EXPECT_EQ(Names(table->PrimaryKeys), QStringList({"CUSTOMERS_OT_PK"}));
    EXPECT_EQ(table->CheckConstraints.Count() + table->Indexes.Count(), 0);

    auto type = Session->GetType("SHOP", "CUSTOMER_T");
    EXPECT_FALSE(type->IsVirtual);
    EXPECT_EQ(type->Owner, "SHOP");
    EXPECT_EQ(QRect(type->Left, type->Top, type->Width, type->Height), QRect());
    QStringList attributes;
    for (int i = 0; i < type->Attributes.Count(); ++i)
        attributes << type->Attributes.Get(i)->Name + " " + type->Attributes.Get(i)->GetDataTypeText();
    EXPECT_EQ(attributes, QStringList({"CUSTOMER_NO NUMBER(8)", "FULL_NAME VARCHAR2(80)", "ADDRESS ADDRESS_T",
                                       "PHONES PHONE_LIST_T", "CREDIT_LIMIT NUMBER(9,2)"}));
    EXPECT_EQ(Names(type->Methods), QStringList({"DISPLAY_NAME", "RAISE_LIMIT"}));
    EXPECT_EQ(Session->GetType("SHOP", "ADDRESS_T")->Methods.Count(), 0);
}

TEST_F(OracleSessionTest, MissingObjectsComeBackEmptyAndVirtual)
{
    auto table = Session->GetTable("HR", "NO_SUCH_TABLE");
    EXPECT_TRUE(table->IsVirtual);
    EXPECT_EQ(table->Name, "");
    EXPECT_EQ(table->Columns.Count() + table->ForeignKeys.Count() + table->PrimaryKeys.Count(), 0);
    // A table of the right name under another owner is not found either.
    EXPECT_TRUE(Session->GetTable("CO", "EMPLOYEES")->IsVirtual);
    EXPECT_TRUE(Session->GetObjectTable("SHOP", "PRODUCTS")->IsVirtual) << "a relational table is no object table";
    auto type = Session->GetType("SHOP", "NO_SUCH_T");
    ASSERT_NE(type, nullptr);
    EXPECT_TRUE(type->IsVirtual);
    EXPECT_EQ(type->Attributes.Count(), 0);
}

TEST_F(OracleSessionTest, ReferencedAndReferencingTables)
{
    struct Case {
        QString Owner, Table;
        QStringList Referenced, Referencing;
    };
    const Case cases[] = {
        {"HR", "EMPLOYEES", {"HR.DEPARTMENTS", "HR.EMPLOYEES", "HR.JOBS"},
         {"HR.DEPARTMENTS", "HR.EMPLOYEES", "HR.JOB_HISTORY"}},
        {"HR", "REGIONS", {}, {"HR.COUNTRIES"}},
        {"SHOP", "CUSTOMERS_OT", {}, {"SHOP.ORDERS"}},
        {"CO", "PRODUCTS", {}, {"CO.INVENTORY", "CO.ORDER_ITEMS"}},
        {"SHOP", "NOWHERE", {}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.Owner + "." + c.Table).toStdString());
        auto referenced = Session->GetReferencedTables(c.Owner, c.Table);
        auto referencing = Session->GetReferencingTables(c.Owner, c.Table);
        EXPECT_EQ(referenced->ColumnNames(), QStringList({"REF_TABLE_OWNER", "REF_TABLE_NAME"}));
        EXPECT_EQ(referencing->ColumnNames(), QStringList({"REF_TABLE_OWNER", "REF_TABLE_NAME"}));
        QStringList a, b;
        for (int i = 0; i < referenced->RowCount(); ++i)
            a << Column(*referenced, "REF_TABLE_OWNER")[i] + "." + Column(*referenced, "REF_TABLE_NAME")[i];
        for (int i = 0; i < referencing->RowCount(); ++i)
            b << Column(*referencing, "REF_TABLE_OWNER")[i] + "." + Column(*referencing, "REF_TABLE_NAME")[i];
        EXPECT_EQ(a, c.Referenced);
        EXPECT_EQ(b, c.Referencing);
    }
}

TEST_F(OracleSessionTest, QueryDataTextRunsAsFirstRowsOnTheStandIn)
{
    const QString sql = Session->GetQueryDataSQL("HR", "EMPLOYEES");
    EXPECT_EQ(sql, "select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200");
    auto rows = Session->Connection().Query(sql);
    EXPECT_EQ(rows->RowCount(), 107);
    EXPECT_EQ(rows->ColumnNames().first(), "EMPLOYEE_ID");
    EXPECT_EQ(Session->Connection().Query("select * from HR.EMPLOYEES where rownum <= 3")->RowCount(), 3);
    EXPECT_EQ(Session->Connection().Query("select * from HR.EMPLOYEES where rownum < 3")->RowCount(), 2);
    // The user's own tables are found without the owner.
    EXPECT_EQ(Session->Connection().Query("select * from regions")->RowCount(), 5);
}

TEST_F(OracleSessionTest, EveryDictionaryQueryIsLoggedWithAnEmptyLineAndNoPassword)
{
    Session->GetTable("HR", "JOBS");
    ASSERT_GE(Console.Lines.size(), 12);
    for (int i = 0; i + 1 < Console.Lines.size(); i += 2) {
        EXPECT_TRUE(Console.Lines[i].startsWith("select ")) << Console.Lines[i].toStdString();
        EXPECT_EQ(Console.Lines[i + 1], "");
    }
    EXPECT_EQ(Session->GetPassword(), "hr");
    for (const QString &line : Console.Lines)
        EXPECT_FALSE(line.contains("'hr'") || line.contains("/hr@"));
}

TEST_F(OracleSessionTest, AfterDisconnectTheSessionSaysSoAndRefusesQueries)
{
    EXPECT_TRUE(Session->GetConnected());
    EXPECT_EQ(Session->GetUsername() + "@" + Session->GetDatabase(), "hr@" + SampleDatabasePath());
    Session->Disconnect();
    EXPECT_FALSE(Session->GetConnected());
    EXPECT_THROW(Session->GetOwners(), ENotConnected);
    EXPECT_THROW(Session->Connection().Query("select 1"), ESqlError);
    Session->Disconnect();
}

// A foreign key whose referenced key the user cannot see is left out, and the
// console says which and why.
TEST_F(OracleSessionTest, ForeignKeyToAnInvisibleKeyIsLeftOutAndReported)
{
    QTemporaryDir dir;
    const QString copy = dir.filePath("dict.db");
    ASSERT_TRUE(QFile::copy(SampleDatabasePath(), copy));
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(copy.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "delete from ALL_CONSTRAINTS where OWNER = 'HR' and CONSTRAINT_NAME = 'JOB_ID_PK'", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
    auto session = TOracleSession::Open({"hr", "hr", copy});
    auto employees = session->GetTable("HR", "EMPLOYEES");
    EXPECT_EQ(Names(employees->ForeignKeys), QStringList({"EMP_DEPT_FK", "EMP_MANAGER_FK"}));
    EXPECT_TRUE(Console.Lines.contains("Foreign key HR.EMP_JOB_FK of HR.EMPLOYEES left out: its referenced key "
                                       "HR.JOB_ID_PK is not visible in the data dictionary."));
}

// HR as a user adds it table by table, the way the explorers and the box menu do.
TEST_F(OracleSessionTest, HrDiagramEqualsTheGoldenFile)
{
    TSampleSessionScope scope;
    TDiagramObjectModel model;
    model.Name = "HR";
    for (const QString &qualified : scope.Session->ListTables("HR")) {
        TDiagramTable *table = model.AddTableFromDatabase("HR", qualified.mid(3));
        ASSERT_NE(table, nullptr);
    }
    EXPECT_EQ(model.Owners, QStringList({"HR"}));
    expectGolden("diagram_hr_from_database.xml", model.BuildDiagramXml(true).join("\r\n").toLatin1());
    EXPECT_THROW(model.AddTableFromDatabase("HR", "VANISHED"), EModelError);
    EXPECT_EQ(model.Tables.Count(), 7);
}
