// The Oracle session's every operation on the sample database's four schemas.
#include "dbtools/db_object_tree.h"
#include "model/diagram_object_model.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/result_set.h"
#include "sample_database.h"
#include "test_data.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QString Listed(const TOSResultSet &rows)
{
    QStringList entries;
    for (int i = 0; i < rows.RowCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < rows.ColumnCount(); ++c)
            cells << rows.GetRow(i)->GetCell(c)->Value().toString();
        entries << cells.join('.');
    }
    return rows.ColumnNames().join('/') + " " + entries.join(',') + "\n";
}

// The table as its DDL, after a line with what the DDL leaves out.
QString Dump(TOracleSession &session, const TDiagramTable &t)
{
    QString text = QString("-- %1.%2 virtual=%3 partitioned=%4 columns")
                       .arg(t.Owner, t.Name).arg(t.IsVirtual).arg(t.Partitioned);
    for (int i = 0; i < t.Columns.Count(); ++i) {
        const TDiagramColumn *c = t.Columns.Get(i);
        const QString defaultValue = c->DefaultValue.isEmpty() ? "" : "=" + c->DefaultValue;
        text += QString(" %1:%2%3").arg(c->Sequence).arg(c->Name, defaultValue);
    }
    for (int i = 0; i < t.ForeignKeys.Count(); ++i)
        EXPECT_EQ(t.ForeignKeys.Get(i)->Table, &t) << t.ForeignKeys.Get(i)->Name.toStdString();
    return text + "\n" + t.GetDDL(true).replace("\r\n", "\n") + "-- references " +
           Listed(*session.GetReferencedTables(t.Owner, t.Name)) + "-- referenced by " +
           Listed(*session.GetReferencingTables(t.Owner, t.Name));
}

QString Dump(const TDiagramType &type)
{
    QStringList parts;
    for (int i = 0; i < type.Attributes.Count(); ++i)
        parts << type.Attributes.Get(i)->Name + " " + type.Attributes.Get(i)->GetDataTypeText();
    for (int i = 0; i < type.Methods.Count(); ++i)
        parts << type.Methods.Get(i)->Name + "()";
    return QString("type %1.%2 virtual=%3 rect=%4,%5,%6,%7 (%8)\n")
        .arg(type.Owner, type.Name).arg(type.IsVirtual).arg(type.Left).arg(type.Top).arg(type.Width).arg(type.Height)
        .arg(parts.join(", "));
}

class OracleSessionTest : public ::testing::Test {
protected:
    TRecordingConsole Console;
    std::shared_ptr<TOracleSession> Session = OpenSampleSession();
};

} // namespace

// Each schema's lists and every table, object table and type in it, with the
// misses (another owner's name, a relational table asked as an object table).
TEST_F(OracleSessionTest, EverySchemaReadsAsItsGoldenFile)
{
    for (const QString owner : {"HR", "CO", "SH", "SHOP"}) {
        QString text = "owners " + Listed(*Session->GetOwners());
        text += "tables " + Session->ListTables(owner).join(',') + "\nobject tables " +
                Session->ListObjectTables(owner).join(',') + "\ntypes " + Session->ListTypes(owner).join(',') + "\n";
        for (const QString &qualified : Session->ListTables(owner))
            text += Dump(*Session, *Session->GetTable(owner, qualified.section('.', 1)));
        for (const QString &qualified : Session->ListObjectTables(owner))
            text += Dump(*Session, *Session->GetObjectTable(owner, qualified.section('.', 1)));
        for (const QString &qualified : Session->ListTypes(owner))
            text += Dump(*Session->GetType(owner, qualified.section('.', 1)));
        if (owner == "HR")
            text += "misses\n" + Dump(*Session, *Session->GetTable("CO", "EMPLOYEES")) +
                    Dump(*Session->GetType("HR", "ADDRESS_T")) +
                    Dump(*Session, *Session->GetObjectTable("SHOP", "PRODUCTS"));
        expectGolden("dictionary/" + owner.toLower() + ".txt", text.toUtf8());
    }
    EXPECT_EQ(Session->ListTables("").size(), 30);
    EXPECT_EQ(Session->ListTables("NOBODY"), QStringList());
}

// Dictionary queries logged, first rows on the stand-in, nothing after log-off.
TEST_F(OracleSessionTest, LoggedQueriesFirstRowsAndTheLogOff)
{
    Session->GetTable("HR", "JOBS");
    ASSERT_EQ(Console.Lines.size(), 12);
    for (int i = 0; i < Console.Lines.size(); i += 2)
        EXPECT_EQ(Console.Lines[i].left(7) + "|" + Console.Lines[i + 1], "select |") << Console.Lines[i].toStdString();
    const QString sql = Session->GetQueryDataSQL("HR", "EMPLOYEES");
    EXPECT_EQ(sql, "select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200");
    EXPECT_EQ(Session->Connection().Query(sql)->RowCount(), 107);
    EXPECT_EQ(Session->Connection().Query("select * from regions where rownum <= 4")->RowCount(), 4) << "own table";

    EXPECT_EQ(Session->GetUsername() + "/" + Session->GetPassword() + "@" + Session->GetDatabase(),
              "hr/hr@" + SampleDatabasePath());
    Session->Disconnect();
    EXPECT_FALSE(Session->GetConnected());
    EXPECT_THROW(Session->GetOwners(), ENotConnected);
    EXPECT_EQ(ErrorOf([&] { Session->Connection().Query("select 1"); }), "ORA-03114: not connected to ORACLE");
    Session->Disconnect();
}

// Query Data answers for every table, object table and view of the sample, the
// views with the dictionary's column names; what the sample cannot answer (a
// sequence, an object without data) says so.
TEST_F(OracleSessionTest, QueryDataAnswersForEveryTableAndView)
{
    const auto objects = Session->Connection().Query(
        "select OWNER, TABLE_NAME from SYS.ALL_TABLES union select OWNER, TABLE_NAME from SYS.ALL_OBJECT_TABLES "
        "union select OWNER, VIEW_NAME from SYS.ALL_VIEWS");
    ASSERT_GE(objects->RowCount(), 38);
    for (int i = 0; i < objects->RowCount(); ++i) {
        const QString owner = objects->GetRow(i)->GetCell(0)->Value().toString();
        const QString name = objects->GetRow(i)->GetCell(1)->Value().toString();
        EXPECT_EQ(ErrorOf([&] { Session->Connection().Query(Session->GetQueryDataSQL(owner, name)); }), "")
            << (owner + "." + name).toStdString();
    }
    const auto view = Session->Connection().Query(Session->GetQueryDataSQL("HR", "EMP_DETAILS_VIEW"));
    EXPECT_EQ(view->RowCount(), 106);
    EXPECT_EQ(view->ColumnNames().mid(14).join(','), "COUNTRY_NAME,REGION_NAME");
    EXPECT_EQ(Session->Connection().Query(Session->GetQueryDataSQL("SHOP", "CUSTOMERS_OT"))->ColumnNames().join(','),
              "CUSTOMER_NO,FULL_NAME,ADDRESS,PHONES,CREDIT_LIMIT");
    EXPECT_EQ(Session->Connection().Query(Session->GetQueryDataSQL("CO", "STORE_ORDERS"))->ColumnNames().join(','),
              "TOTAL,STORE_NAME,ADDRESS,LATITUDE,LONGITUDE,ORDER_STATUS,ORDER_COUNT,TOTAL_SALES");

    EXPECT_EQ(ErrorOf([&] { Session->Connection().Query("select SHOP.CATEGORIES_SEQ.nextval \nfrom dual"); }),
              "The sample database cannot give SHOP.CATEGORIES_SEQ.nextval: it keeps no sequences.");
    EXPECT_EQ(ErrorOf([&] { Session->Connection().Query("select * from SHOP.CATEGORIES_SEQ"); }),
              "no such table: SHOP.CATEGORIES_SEQ");
    // A copy of the dictionary alone has no owner data beside it.
    QTemporaryDir dir;
    auto bare = OpenSampleSession("hr", SampleCopy(dir, ""));
    EXPECT_EQ(ErrorOf([&] { bare->Connection().Query(bare->GetQueryDataSQL("HR", "EMP_DETAILS_VIEW")); }),
              "The sample database cannot query the view HR.EMP_DETAILS_VIEW: it holds no data for it.");
    EXPECT_EQ(ErrorOf([&] { bare->Connection().Query("select * from hr.regions"); }),
              "The sample database cannot query the table hr.regions: it holds no data for it.");
    EXPECT_EQ(ErrorOf([&] { bare->Connection().Query("select * from hr.NO_TABLE"); }), "no such table: hr.NO_TABLE");
}

// A foreign key whose referenced key the user cannot see is left out, and the
// console says which and why; one to a unique key keeps its columns' order;
// lists go by name; a dictionary that fails says the database's why.
TEST_F(OracleSessionTest, ChangedAndBrokenDictionaries)
{
    QTemporaryDir dir;
    auto session = OpenSampleSession("hr", SampleCopy(dir, readTestFile("sql/dictionary_changes.sql")));
    QString text = session->ListTables("HR").join(',') + "\n" + Dump(*session, *session->GetTable("HR", "JOB_HISTORY"));
    text += Dump(*session, *session->GetTable("HR", "EMPLOYEES"));
    expectGolden("dictionary/hr_changed.txt", (text + Console.Lines.filter("left out").join('\n')).toUtf8());
    session = OpenSampleSession("hr", SampleCopy(dir, "drop table ALL_IND_COLUMNS"));
    EXPECT_EQ(ErrorOf([&] { session->GetTable("HR", "JOBS"); }), "no such table: SYS.ALL_IND_COLUMNS");
}

// HR as a user adds it table by table, the way the explorers and the box menu
// do; a table gone from the dictionary changes nothing on the page.
TEST_F(OracleSessionTest, HrDiagramEqualsTheGoldenFile)
{
    TSampleSessionScope scope;
    TDiagramObjectModel model;
    model.Name = "HR";
    for (const QString &qualified : scope.Session->ListTables("HR"))
        ASSERT_NE(model.AddTableFromDatabase("HR", qualified.mid(3)), nullptr);
    EXPECT_EQ(model.Owners, QStringList({"HR"}));
    const QByteArray xml = model.BuildDiagramXml(true).join("\r\n").toLatin1();
    expectGolden("diagram_hr_from_database.xml", xml);
    EXPECT_THROW(model.AddTableFromDatabase("HR", "VANISHED"), EModelError);
    EXPECT_EQ(model.BuildDiagramXml(true).join("\r\n").toLatin1(), xml);
}

// Every index the model can hold stays with its table, also one of a key when
// the key's own DDL would make another; the others are named on the console.
TEST_F(OracleSessionTest, IndexesKeptOrNamedOnTheConsole)
{
    QTemporaryDir dir;
    auto session = OpenSampleSession("hr", SampleCopy(dir, readTestFile("sql/dictionary_index_cases.sql")));
    QString text;
    for (const QString name : {"CATEGORIES", "ORDERS", "ORDER_LINES", "PRODUCTS"}) {
        const auto table = session->GetTable("SHOP", name);
        for (int i = 0; i < table->Indexes.Count(); ++i)
            text += table->Indexes.Get(i)->GetDDL({}, {}).replace("\r\n", "\n");
    }
    session->GetTable("HR", "COUNTRIES");
    session->GetTable("SH", "SUPPLEMENTARY_DEMOGRAPHICS");
    expectGolden("dictionary/indexes.txt", (text + Console.Lines.filter("left out").join('\n')).toUtf8());
}

// Tables read together are the tables read one by one, console lines included.
TEST_F(OracleSessionTest, TablesReadTogetherEqualTablesReadAlone)
{
    QTemporaryDir dir;
    auto session = OpenSampleSession("hr", SampleCopy(dir, readTestFile("sql/dictionary_index_cases.sql")));
    for (const QString owner : {"HR", "CO", "SH", "SHOP"}) {
        QStringList names;
        for (const QString &qualified : session->ListTables(owner))
            names << qualified.section('.', 1);
        // Backwards, twice one table, and one that is not there.
        std::reverse(names.begin(), names.end());
        names << names.first() << "VANISHED";
        QString alone;
        for (const QString &name : names)
            alone += Dump(*session, *session->GetTable(owner, name));
        QStringList aloneLines = Console.Lines.filter("left out");
        Console.Lines.clear();
        const auto tables = session->GetTables(owner, names);
        EXPECT_EQ(Console.Lines.filter("select").size(), 7) << "one count and six reads for " << owner.toStdString();
        QStringList togetherLines = Console.Lines.filter("left out");
        QString together;
        for (const auto &table : tables)
            together += Dump(*session, *table);
        EXPECT_EQ(together, alone) << owner.toStdString();
        aloneLines.removeDuplicates();
        aloneLines.sort();
        togetherLines.sort();
        EXPECT_EQ(togetherLines, aloneLines);
        Console.Lines.clear();
    }
}

// A table whose name needs quotes is queried and scripted under its own name;
// a crafted name stays one name, so no other statement runs through it.
TEST_F(OracleSessionTest, NamesReachTheDatabaseAsOneName)
{
    QTemporaryDir dir;
    const QString dictionary =
        SampleCopy(dir, "INSERT INTO ALL_TABLES (OWNER, TABLE_NAME) VALUES ('HR', 'O''NEIL');"
                              "INSERT INTO ALL_TAB_COLUMNS (OWNER, TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, "
                              "NULLABLE, COLUMN_ID) VALUES ('HR', 'O''NEIL', 'Nick', 'NVARCHAR2', 18, 'Y', 1);"
                              "INSERT INTO ALL_TAB_COMMENTS VALUES ('HR', 'O''NEIL', 'TABLE', 'It''s odd');");
    sqlite3 *db = nullptr;
    sqlite3_open(dir.filePath("dict.hr.db").toUtf8().constData(), &db);
    sqlite3_exec(db, "create table \"O'NEIL\" (\"Nick\" text); insert into \"O'NEIL\" values ('Ann'), ('Bo');"
                     "create table REGIONS (REGION_NAME text); insert into REGIONS values ('Europe');",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto session = OpenSampleSession("hr", dictionary);

    const QString sql = session->GetQueryDataSQL("HR", "O'NEIL");
    EXPECT_EQ(sql, "select * \nfrom HR.\"O'NEIL\" \nwhere rownum <= 200");
    EXPECT_EQ(session->Connection().Query(sql)->RowCount(), 2);
    EXPECT_EQ(TDBObjectTree::ObjectDDL(*session, TDBObjectTree::ncTable, "HR.O'NEIL"),
              "CREATE TABLE HR.\"O'NEIL\"\r\n(\r\n  \"Nick\" NVARCHAR2(18)\r\n)\r\n/\r\n\r\n"
              "COMMENT ON TABLE HR.\"O'NEIL\" IS 'It''s odd'\r\n/\r\n");

    EXPECT_EQ(session->Connection().Query(session->GetQueryDataSQL("HR", "REGIONS"))->RowCount(), 1);
    for (const QString crafted : {"REGIONS union select USERNAME from SYS.ALL_USERS",
                                  "REGIONS\" union select USERNAME from SYS.ALL_USERS --"}) {
        for (const auto &[owner, table] : {std::pair<QString, QString>("HR", crafted), {"HR." + crafted, "X"}}) {
            const QString error = ErrorOf([&] { session->Connection().Query(session->GetQueryDataSQL(owner, table)); });
            EXPECT_TRUE(error.startsWith("no such table: HR.REGIONS")) << error.toStdString();
        }
    }
}
