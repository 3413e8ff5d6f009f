// The Oracle client path, run through the stand-in client library that serves
// the sample database: whatever the session reads must read as it does on the
// SQLite dictionary.
#include "dbtools/copy_script.h"
#include "dbtools/db_object_tree.h"
#include "dbtools/extract_script.h"
#include "dbtools/oci_connection.h"
#include "dbtools/oci_declarations.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/helpers.h"
#include "model/result_set.h"
#include "platform/fake_user_interface.h"
#include "query_wait.h"
#include "sample_database.h"

#include <QLabel>
#include <QLibrary>
#include <QPointer>
#include <QScopeGuard>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString LostTail = "\nThe connection to the database is lost; working offline.";

class OciStandInTest : public ::testing::Test {
protected:
    OciStandInTest()
    {
        TOciClientSettings::Current() = TOciClientSettings::FromParameters({"OCIDLL=" MARROWTIDE_OCI_STANDIN});
        ISqlConnection::SetConnectionLostHook([this] { ++Lost; });
    }
    ~OciStandInTest() override
    {
        TOciClientSettings::Current() = {};
        ISqlConnection::SetConnectionLostHook(nullptr);
    }

    static std::shared_ptr<TOracleSession> OpenStandIn(const QString &user, const QString &file = SampleDatabasePath())
    {
        qputenv("STANDIN_DATABASE", file.toUtf8());
        return TOracleSession::Open({user, user.toLower(), "STANDIN"});
    }

    // A folder with the sample dictionary and HR's rows, both changed by SQL.
    QString Copy(const QByteArray &dictionarySql, const QByteArray &rowsSql = {})
    {
        const QString dictionary = SampleCopy(Dir, dictionarySql);
        QFile::copy(SampleDatabasePath().replace(".db", ".hr.db"), Dir.filePath("dict.hr.db"));
        sqlite3 *db = nullptr;
        sqlite3_open(Dir.filePath("dict.hr.db").toUtf8().constData(), &db);
        sqlite3_exec(db, rowsSql.constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return dictionary;
    }

    // Every row as text, a line each.
    static QString Rows(ISqlConnection &connection, const QString &sql)
    {
        auto rows = connection.Query(sql);
        QString text = rows->ColumnNames().join('|') + "\n";
        for (int r = 0; r < rows->RowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rows->ColumnCount(); ++c)
                cells << rows->GetRow(r)->GetCell(c)->Value().toString();
            text += cells.join('|') + "\n";
        }
        return text;
    }

    // Each table, object table and type of every schema, the users and the
    // explorer's tree of HR: all the session reads of the dictionary.
    static QString Reads(const std::shared_ptr<TOracleSession> &session)
    {
        QString text = Rows(session->Connection(), "select USERNAME from SYS.ALL_USERS order by 1");
        for (const QString owner : {"HR", "CO", "SH", "SHOP"}) {
            for (const char *kind : {"VIEW", "SEQUENCE", "PROCEDURE", "PACKAGE", "SYNONYM"})
                text += session->ListObjects(kind, owner).join(',') + "\n";
            for (const QString &name : session->ListTables(owner)) {
                auto table = session->GetTable(owner, THelpers::GetObjectName(name));
                text += table->GetDDL(true) + QString::number(table->Indexes.Count());
            }
            for (const QString &name : session->ListObjectTables(owner))
                text += session->GetObjectTable(owner, THelpers::GetObjectName(name))->GetDDL(true);
            for (const QString &name : session->ListTypes(owner)) {
                auto type = session->GetType(owner, THelpers::GetObjectName(name));
                for (int i = 0; i < type->Attributes.Count(); ++i)
                    text += type->Attributes.Get(i)->Name + " " + type->Attributes.Get(i)->GetDataTypeText() + "\n";
            }
        }
        const TSampleSessionScope scope;
        DatabaseSession = session;
        QTreeWidget tree;
        TDBObjectTree::BuildRoots(&tree);
        TDBObjectTree::ExpandAll(tree.topLevelItem(0), "HR");
        int nodes = 0;
        for (QTreeWidgetItemIterator it(&tree); *it; ++it, ++nodes)
            text += (*it)->text(0) + "\n";
        EXPECT_EQ(nodes, 237) << "the whole tree of HR";
        return text;
    }

    QTemporaryDir Dir;
    TRecordingConsole Console;
    TScopedFakeUserInterface Ui;
    int Lost = 0;
};

} // namespace

TEST_F(OciStandInTest, LogsOnAndReadsTheDictionaryAsTheSqliteSessionDoes)
{
    EXPECT_EQ(ErrorOf([] { OpenStandIn("hr")->GetConnected(); }), "");
    EXPECT_EQ(ErrorOf([] { TOracleSession::Open({"hr", "HR", "STANDIN"}); }),
              "ORA-01017: invalid username/password; logon denied");
    const QString oracle = Reads(OpenStandIn("hr"));
    EXPECT_EQ(oracle, Reads(OpenSampleSession("hr")));
    EXPECT_GT(oracle.size(), 40000);
    EXPECT_EQ(Ui.Messages(), QStringList());
}

// NULLs, numbers below one, dates with their time, and the copy script's literals.
TEST_F(OciStandInTest, RowsReadAsOnTheSqliteSession)
{
    const QString file = Copy("", "update EMPLOYEES set HIRE_DATE = '2024-02-29 13:45:00' where EMPLOYEE_ID = 145;"
                                  "create table PHOTOS (P LONG RAW); insert into PHOTOS values (x'0102');");
    auto oracle = OpenStandIn("hr", file), lite = OpenSampleSession("hr", file);
    for (const char *table : {"REGIONS", "COUNTRIES", "LOCATIONS", "DEPARTMENTS", "JOBS", "EMPLOYEES", "JOB_HISTORY"}) {
        const QString sql = QString("select * from HR.%1 order by 1, 2").arg(table);
        EXPECT_EQ(Rows(oracle->Connection(), sql), Rows(lite->Connection(), sql)) << table;
    }
    const QString sql = "select HIRE_DATE, SALARY, COMMISSION_PCT, MANAGER_ID from HR.EMPLOYEES "
                        "where EMPLOYEE_ID in (100, 145) order by EMPLOYEE_ID";
    auto rows = oracle->Connection().Query(sql);
    const QList<TCopyColumn> columns = {{"HIRE_DATE", "DATE"}, {"SALARY", "NUMBER"}, {"COMMISSION_PCT", "NUMBER"},
                                        {"MANAGER_ID", "NUMBER"}};
    EXPECT_EQ(TCopyScript::TableScript("HR", "EMPLOYEES", columns, *rows).section("VALUES (", 2),
              "TO_DATE('2024-02-29 13:45:00', 'YYYY-MM-DD HH24:MI:SS'), 14000, 0.4, 100)\r\n/\r\n\r\n");
    EXPECT_EQ(TCopyScript::TableScript("HR", "EMPLOYEES", columns, *rows),
              TCopyScript::TableScript("HR", "EMPLOYEES", columns, *lite->Connection().Query(sql)));
    const auto bytes = oracle->Connection().Query("select x'00FF0A' as B, -0.25 as N, P from DUAL, HR.PHOTOS");
    EXPECT_EQ(TCopyScript::Literal(bytes->GetRow(0)->GetCell(0)->Value(), "BLOB"), "HEXTORAW('00FF0A')");
    EXPECT_EQ(bytes->GetRow(0)->GetCell(1)->Value().toString(), "-0.25");
    EXPECT_EQ(TCopyScript::Literal(bytes->GetRow(0)->GetCell(2)->Value(), "LONG RAW"), "HEXTORAW('0102')");
}

// Values far above 64 KiB arrive whole, up to a bound of megabytes; the
// server's own DDL is one of them.
TEST_F(OciStandInTest, LongValuesArriveWholeUpToTheirBound)
{
    const QString file = Copy("create table STANDIN_DDL (OBJECT_TYPE, OWNER, NAME, DDL);"
                              "insert into STANDIN_DDL values ('TABLE', 'HR', 'EMPLOYEES', 'CREATE TABLE HR.EMPLOYEES ('"
                              " || replace(hex(zeroblob(34986)), '00', 'A,') || ')');");
    auto session = OpenStandIn("hr", file);
    const QString ddl = TDBObjectTree::ObjectDDL(*session, TDBObjectTree::ncTable, "HR.EMPLOYEES");
    EXPECT_EQ(ddl.size(), 70000 + 3);
    EXPECT_TRUE(ddl.endsWith("A,A,)\n/\n"));
    EXPECT_EQ(ErrorOf([&] { TDBObjectTree::ObjectDDL(*session, TDBObjectTree::ncTable, "HR.JOBS"); }),
              "ORA-31603: object \"JOBS\" of type TABLE not found in schema \"HR\"");
    const auto size = [&](qint64 bytes) {
        auto rows = session->Connection().Query(QString("select hex(zeroblob(%1)) as V from DUAL").arg(bytes / 2));
        return rows->GetRow(0)->GetCell(0)->Value().toString().size();
    };
    EXPECT_EQ(size(OciConnection::MaxValueBytes), OciConnection::MaxValueBytes);
    EXPECT_EQ(ErrorOf([&] { size(OciConnection::MaxValueBytes + 2); }),
              "The value of column V is longer than 16777216 bytes; it is not shown cut short.");
    EXPECT_EQ(Rows(session->Connection(), "select 1 as A from DUAL"), "A\n1\n") << "the session goes on";
}

// For the extracted script, the server's table DDL comes without foreign keys;
// each key's own DDL comes apart, to be run once every table exists.
TEST_F(OciStandInTest, ExtractedTableHasItsForeignKeysApart)
{
    auto session = OpenStandIn(
        "hr", Copy("create table STANDIN_DDL (OBJECT_TYPE, OWNER, NAME, DDL);"
                   "insert into STANDIN_DDL values ('TABLE', 'HR', 'DEPARTMENTS', ' CREATE TABLE D (X)'),"
                   "('TABLE', 'HR', 'REGIONS', 'CREATE TABLE R'),"
                   "('REF_CONSTRAINT', 'HR', 'DEPT_MGR_FK', '  ALTER TABLE D ADD MGR'),"
                   "('REF_CONSTRAINT', 'HR', 'DEPT_LOC_FK', '  ALTER TABLE D ADD LOC');"));
    const auto table = TExtractScript::TableDDL(*session, TDBObjectTree::ncTable, "HR.DEPARTMENTS");
    EXPECT_EQ(table.Ddl, "CREATE TABLE D (X)\n/\n");
    EXPECT_EQ(table.ForeignKeys, "ALTER TABLE D ADD LOC\n/\n\nALTER TABLE D ADD MGR\n/\n\n");
    EXPECT_EQ(TExtractScript::TableDDL(*session, TDBObjectTree::ncTable, "HR.REGIONS").ForeignKeys, "");
}

// A break stops the statement and leaves the session working.
TEST_F(OciStandInTest, InterruptStopsTheRunningQuery)
{
    auto session = OpenStandIn("hr");
    struct TBreakingSink : ISqlRowSink {
        ISqlConnection *Connection = nullptr;
        int Rows = 0;
        void Columns(const QStringList &) override {}
        bool Row(const QVariantList &) override
        {
            if (++Rows == 3)
                Connection->Interrupt();
            return Rows < 100; // a break that does nothing fails here rather than never ends
        }
    } sink;
    sink.Connection = &session->Connection();
    const QString endless = "with recursive N(I) as (select 1 union all select I + 1 from N) select I from N";
    EXPECT_EQ(ErrorOf([&] { session->Connection().Execute(endless, {}, &sink); }),
              "ORA-01013: user requested cancel of current operation");
    EXPECT_EQ(sink.Rows, 3);
    EXPECT_EQ(Rows(session->Connection(), "select 2 as B from DUAL"), "B\n2\n");
    EXPECT_EQ(Lost, 0);
}

// A dropped network and a vanished dictionary file both log the session off
// and say so once; later calls find it offline.
TEST_F(OciStandInTest, ALostConnectionLogsTheSessionOff)
{
    const QString file = Copy("");
    using TDrop = void (*)(int code);
    const auto drop = reinterpret_cast<TDrop>(QLibrary(MARROWTIDE_OCI_STANDIN).resolve("StandInDropConnections"));
    ASSERT_NE(drop, nullptr);
    const auto oracle = [&] { return OpenStandIn("hr", file); };
    const auto lite = [&] { return OpenSampleSession("hr", file); };
    const std::tuple<std::function<std::shared_ptr<TOracleSession>()>, std::function<void()>, QString> cases[] = {
        {oracle, [&] { drop(3113); }, "ORA-03113: end-of-file on communication channel"},
        {oracle, [&] { drop(3135); }, "ORA-03135: connection lost contact"},
        {oracle, [&] { drop(3114); }, "ORA-03114: not connected to ORACLE"},
        {lite, [&] { QFile::remove(file); }, "The database file \"" + file + "\" is gone."},
    };
    for (const auto &[open, cut, message] : cases) {
        const auto session = open();
        const int before = Lost;
        EXPECT_EQ(ErrorOf([&] { session->GetOwners(); }), "");
        cut();
        EXPECT_EQ(ErrorOf([&] { session->GetOwners(); }), message + LostTail);
        EXPECT_FALSE(session->GetConnected());
        EXPECT_EQ(ErrorOf([&] { session->GetOwners(); }), "Not connected to a database.");
        EXPECT_EQ(Lost, before + 1);
        session->Disconnect();
    }
}

// The SQL editor's pages and its cancel on the client path: a query waiting
// for "Fetch More" gives the connection up to a dictionary read, a cancel then
// and a close find nothing left to break, and the session goes on.
TEST_F(OciStandInTest, APagedQueryMeetsADictionaryReadACancelAndAClose)
{
    TConfigFolderScope config;
    TWindowListStandIn main;
    const auto session = OpenStandIn("hr");
    const auto restore = qScopeGuard([previous = std::exchange(DatabaseSession, session)] {
        DatabaseSession = previous;
    });
    QPointer<TfrmSQLQuery> form = TfrmSQLQuery::Create();
    const auto waitingQuery = [&] {
        form->RunQuery("select * from employees a, employees b, employees c");
        return WaitForPage(form) && form->MoreRowsWaiting();
    };
    ASSERT_TRUE(waitingQuery());
    EXPECT_EQ(session->GetOwners()->RowCount(), 6);
    form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(form));
    EXPECT_EQ(GridRows(form), TfrmSQLQuery::PageRows);

    ASSERT_TRUE(waitingQuery());
    form->CancelQuery();
    ASSERT_TRUE(WaitForQuery(form));
    EXPECT_EQ(form->findChild<QLabel *>("lblStatus")->text(), "Cancelled; 500 rows shown.");

    ASSERT_TRUE(waitingQuery());
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(Rows(session->Connection(), "select count(*) as N from HR.REGIONS"), "N\n5\n");
    EXPECT_TRUE(Ui.CallsOf(TUserInterfaceCallKind::Error).isEmpty());
    EXPECT_EQ(Lost, 0);
}

// A name that needs quotes reaches the server as one name, for its rows and
// its DDL; a crafted one runs no other statement.
TEST_F(OciStandInTest, NamesReachTheServerAsOneName)
{
    const QString file = Copy("create table STANDIN_DDL (OBJECT_TYPE, OWNER, NAME, DDL); insert into STANDIN_DDL "
                              "values ('TABLE', 'HR', 'O''Neil', 'CREATE TABLE HR.\"O''Neil\"');",
                              "create table \"O'Neil\" (\"Nick\" text);"
                              "insert into \"O'Neil\" values ('Ann'), ('Bo');");
    auto session = OpenStandIn("hr", file);
    EXPECT_EQ(Rows(session->Connection(), session->GetQueryDataSQL("HR", "O'Neil")), "NICK\nAnn\nBo\n");
    EXPECT_EQ(TDBObjectTree::ObjectDDL(*session, TDBObjectTree::ncTable, "HR.O'Neil"),
              "CREATE TABLE HR.\"O'Neil\"\n/\n");
    const QString crafted = "REGIONS\" union select USERNAME from SYS.ALL_USERS --";
    EXPECT_EQ(ErrorOf([&] { session->Connection().Query(session->GetQueryDataSQL("HR", crafted)); }),
              "ORA-20000: no such table: HR." + crafted);
}

// The stand-in holds the program to what a client library checks: an STR bind
// ends within its length, a type it cannot take is refused, a NULL needs an
// indicator to land in, a define names a column of the list, and a value cut
// to its buffer says how long it was.
TEST_F(OciStandInTest, TheStandInRefusesWhatAClientRefuses)
{
    using namespace oci;
    QLibrary client(MARROWTIDE_OCI_STANDIN);
    const auto api = [&]<class F>(F, const char *name) { return reinterpret_cast<F>(client.resolve(name)); };
    qputenv("STANDIN_DATABASE", SampleDatabasePath().toUtf8());
    OCIEnv *env = nullptr;
    OCIError *error = nullptr;
    OCISvcCtx *service = nullptr;
    api(OCIEnvNlsCreate_t(), "OCIEnvNlsCreate")(&env, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 0, 0);
    api(OCIHandleAlloc_t(), "OCIHandleAlloc")(env, reinterpret_cast<void **>(&error), OCI_HTYPE_ERROR, 0, nullptr);
    const auto text = [](const char *s) { return reinterpret_cast<const OraText *>(s); };
    ASSERT_EQ(api(OCILogon2_t(), "OCILogon2")(env, error, &service, text("hr"), 2, text("hr"), 2, text("STANDIN"), 7, 0),
              OCI_SUCCESS);
    struct TCase {
        const char *Value;
        sb4 Size;
        ub2 Type;
        sb2 Null;
        ub4 Position;
        sb4 Room;
        bool Indicator;
        QString Want; // buffer|length|indicator|status, or the error
        ub2 DefineType = SQLT_STR;
    };
    const TCase cases[] = {
        {"ab", 3, SQLT_STR, 0, 1, 10, true, "ab|2|0|0"},
        {"ab", 2, SQLT_STR, 0, 1, 10, true, "ORA-01480: trailing null missing from STR bind value"},
        {"abc", 2, SQLT_CHR, 0, 1, 10, true, "ab|2|0|0"},
        {"ab", 3, SQLT_NUM, 0, 1, 10, true, "ORA-03115: unsupported network datatype or representation"},
        {"ab", 3, SQLT_STR, -1, 1, 10, true, QString(16, 'x') + "|0|-1|0"}, // the buffer as it was
        {"ab", 3, SQLT_STR, -1, 1, 10, false, "ORA-01405: fetched column value is NULL"},
        {"ab", 3, SQLT_STR, 0, 2, 10, true, "ORA-01007: variable not in select list"},
        {"abcd", 5, SQLT_STR, 0, 1, 3, true, "ab|2|4|1"},
        {"", 1, SQLT_STR, 0, 1, 10, true, QString(16, 'x') + "|0|-1|0"}, // no text is NULL
        {"ab", 3, SQLT_STR, 0, 1, 10, true, "ab" + QString(14, 'x') + "|2|0|0", 1},  // no terminator
        {"ab", 3, SQLT_STR, 0, 1, 4, true, "ab  " + QString(12, 'x') + "|4|0|0", 96}, // blanks to its size
    };
    for (const TCase &c : cases) {
        const char sql[] = "select :V as A from DUAL";
        OCIStmt *statement = nullptr;
        OCIBind *bind = nullptr;
        OCIDefine *define = nullptr;
        QByteArray value(c.Value), buffer(16, 'x');
        sb2 null = c.Null, indicator = 7;
        ub2 length = 0;
        api(OCIStmtPrepare2_t(), "OCIStmtPrepare2")(service, &statement, error, text(sql), ub4(sizeof sql - 1), nullptr,
                                                     0, OCI_NTV_SYNTAX, 0);
        api(OCIBindByName_t(), "OCIBindByName")(statement, &bind, error, text(":V"), 2, value.data(), c.Size, c.Type,
                                                &null, nullptr, nullptr, 0, nullptr, 0);
        sword status = api(OCIStmtExecute_t(), "OCIStmtExecute")(service, statement, error, 0, 0, nullptr, nullptr, 0);
        if (status == OCI_SUCCESS)
            status = api(OCIDefineByPos_t(), "OCIDefineByPos")(statement, &define, error, c.Position, buffer.data(),
                                                               c.Room, c.DefineType, c.Indicator ? &indicator : nullptr,
                                                               &length, nullptr, 0);
        if (status == OCI_SUCCESS)
            status = api(OCIStmtFetch2_t(), "OCIStmtFetch2")(statement, error, 1, OCI_FETCH_NEXT, 0, 0);
        OraText message[512] = {};
        sb4 code = 0;
        api(OCIErrorGet_t(), "OCIErrorGet")(error, 1, nullptr, &code, message, sizeof message, OCI_HTYPE_ERROR);
        const QString got = status == -1 ? QString::fromUtf8(reinterpret_cast<const char *>(message))
                                         : QString("%1|%2|%3|%4").arg(buffer.constData()).arg(length).arg(indicator).arg(status);
        EXPECT_EQ(got.toStdString(), c.Want.toStdString());
        api(OCIStmtRelease_t(), "OCIStmtRelease")(statement, error, nullptr, 0, 0);
    }
    api(OCILogoff_t(), "OCILogoff")(service, error);
    api(OCIHandleFree_t(), "OCIHandleFree")(error, OCI_HTYPE_ERROR);
    api(OCIHandleFree_t(), "OCIHandleFree")(env, OCI_HTYPE_ENV);
}
