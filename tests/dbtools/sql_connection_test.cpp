// The two connections: the SQLite dictionary's logon, first-rows idiom and
// data files; the Oracle client's loader without a client; scripts split into
// statements; logging on through the login manager.
#include "dbtools/console_helper.h"
#include "dbtools/gui_helpers.h"
#include "dbtools/oci_connection.h"
#include "dbtools/sql_script.h"
#include "dbtools/sqlite_dictionary_connection.h"
#include "model/preferences.h"
#include "model/result_set.h"
#include "platform/fake_user_interface.h"
#include "sample_database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QString ErrorOf(const std::function<void()> &work)
{
    try {
        work();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

class RecordingConsole : public IConsoleSink {
public:
    void AddLine(const QString &text) override { Lines << text; }
    QStringList Lines;
};

} // namespace

TEST(SqliteDictionaryConnection, FirstRowsIdiomBecomesLimit)
{
    const std::pair<const char *, const char *> cases[] = {
        {"select * \nfrom HR.EMPLOYEES \nwhere rownum <= 200", "select * \nfrom HR.EMPLOYEES limit 200"},
        {"select * from T where ROWNUM<=1;", "select * from T limit 1"},
        {"select * from T where rownum < 10", "select * from T limit 9"},
        {"select * from T where rownum < 0", "select * from T limit 0"},
        {"select * from T where A = 1 and rownum <= 5", "select * from T where A = 1 limit 5"},
        {"select rownum from T", "select rownum from T"},
        {"select * from T where rownum <= 5 order by A", "select * from T where rownum <= 5 order by A"},
        {"select * from T where rownum <= N", "select * from T where rownum <= N"},
    };
    for (const auto &[sql, expected] : cases)
        EXPECT_EQ(SqliteDictionaryConnection::TranslateFirstRows(sql), expected) << sql;
}

TEST(SqliteDictionaryConnection, LogonNeedsAKnownUserAndItsPassword)
{
    const QString db = SampleDatabasePath();
    struct Case {
        QString User, Password, Error;
    };
    const Case cases[] = {
        {"hr", "hr", ""},
        {"HR", "hr", ""},
        {"shop", "shop", ""},
        {"hr", "HR", "ORA-01017: invalid username/password; logon denied"},
        {"hr", "", "ORA-01017: invalid username/password; logon denied"},
        {"hr", "hr ", "ORA-01017: invalid username/password; logon denied"},
        {"scott", "tiger", "ORA-01017: invalid username/password; logon denied"},
        {"sys", "sys", "ORA-01017: invalid username/password; logon denied"},
        {"hr' or '1'='1", "x", "ORA-01017: invalid username/password; logon denied"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ErrorOf([&] { SqliteDictionaryConnection(db, c.User, c.Password); }), c.Error)
            << c.User.toStdString() << "/" << c.Password.toStdString();
}

TEST(SqliteDictionaryConnection, DataFilesBesideTheDictionaryOwnFirst)
{
    QTemporaryDir dir;
    for (const char *name : {"dict.db", "dict.co.db", "dict.hr.db", "dict.sys.db", "dict.bad name.db", "other.hr.db",
                             "dict.sh.txt"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QString dict = dir.filePath("dict.db");
    EXPECT_EQ(SqliteDictionaryConnection::DataFiles(dict, "HR"),
              QStringList({dir.filePath("dict.hr.db"), dir.filePath("dict.co.db")}));
    EXPECT_EQ(SqliteDictionaryConnection::DataFiles(dict, "SH"),
              QStringList({dir.filePath("dict.co.db"), dir.filePath("dict.hr.db")}));
    EXPECT_FALSE(SqliteDictionaryConnection::IsSqliteFile(dict)) << "an empty file is no database";
    EXPECT_TRUE(SqliteDictionaryConnection::IsSqliteFile(SampleDatabasePath()));
    EXPECT_FALSE(SqliteDictionaryConnection::IsSqliteFile(dir.path()));
    EXPECT_FALSE(SqliteDictionaryConnection::IsSqliteFile(dir.filePath("missing.db")));
}

TEST(SqliteDictionaryConnection, OneStatementAtATimeWithBinds)
{
    SqliteDictionaryConnection connection(SampleDatabasePath(), "co", "co");
    auto rows = connection.Query("select TABLE_NAME from SYS.ALL_TABLES where OWNER = :owner and TABLE_NAME = :name",
                                 {{"owner", "CO"}, {"name", "STORES"}});
    EXPECT_EQ(rows->RowCount(), 1);
    EXPECT_EQ(ErrorOf([&] { connection.Query("select 1; select 2"); }), "Only one statement can run at a time.");
    EXPECT_EQ(ErrorOf([&] { connection.Query("select 1;"); }), "");
    EXPECT_EQ(ErrorOf([&] { connection.Query("   "); }), "The statement is empty.");
    // The dictionary is read-only; HR's rows are not the dictionary.
    EXPECT_EQ(ErrorOf([&] { connection.Execute("delete from SYS.ALL_USERS", {}, nullptr); }),
              "attempt to write a readonly database");
    EXPECT_FALSE(connection.IsOracleServer());
}

TEST(OciConnection, WithoutAClientTheLogonFailsClearly)
{
    const QString missing = "/nonexistent/lib/libclntsh.so";
    const QString message = ErrorOf([&] { OciConnection({missing, {}}, "scott", "tiger", "orcl"); });
    EXPECT_TRUE(message.startsWith("The Oracle client library \"" + missing + "\" could not be loaded ("))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith("Install an Oracle client or name its library with OCIDLL=; working offline."));
    EXPECT_FALSE(message.contains("tiger"));

    // A library that is there but is no Oracle client.
    const QString notOci = ErrorOf([] { OciConnection({"libsqlite3.so.0", {}}, "scott", "tiger", "orcl"); });
    EXPECT_EQ(notOci, "The Oracle client library \"libsqlite3.so.0\" has no function OCIEnvNlsCreate; working offline.");
}

TEST(OciConnection, ClientSettingsFromTheParameters)
{
    struct Case {
        QStringList Parameters;
        QString Library, Home, Path;
    };
    const Case cases[] = {
        {{}, "libclntsh.so", "", "libclntsh.so"},
        {{"ocidll=/opt/oracle/libclntsh.so.19.1", "hr/hr@x"}, "/opt/oracle/libclntsh.so.19.1", "",
         "/opt/oracle/libclntsh.so.19.1"},
        {{"ORACLEHOME=/u01/app/oracle", "file=a.xml"}, "libclntsh.so", "/u01/app/oracle",
         "/u01/app/oracle/lib/libclntsh.so"},
        {{"OCIDLL=", "ORACLEHOME=/u01"}, "libclntsh.so", "/u01", "/u01/lib/libclntsh.so"},
        {{"OCIDLL=/a/libclntsh.so", "ORACLEHOME=/u01"}, "/a/libclntsh.so", "/u01", "/a/libclntsh.so"},
    };
    for (const Case &c : cases) {
        const TOciClientSettings settings = TOciClientSettings::FromParameters(c.Parameters);
        EXPECT_EQ(settings.Library, c.Library);
        EXPECT_EQ(settings.OracleHome, c.Home);
        EXPECT_EQ(OciConnection::LibraryPath(settings), c.Path);
    }
}

TEST(SqlScript, SplitsAtSemicolonsAndSlashLinesOutsideStringsAndComments)
{
    struct Case {
        QString Script;
        QStringList Statements;
    };
    const Case cases[] = {
        {"select 1 from dual;\nselect 2 from dual;", {"select 1 from dual", "select 2 from dual"}},
        {"CREATE TABLE A\n(\n  X NUMBER\n)\n/\n\nALTER TABLE A\n  ADD CONSTRAINT P PRIMARY KEY (X)\n/\n",
         {"CREATE TABLE A\n(\n  X NUMBER\n)", "ALTER TABLE A\n  ADD CONSTRAINT P PRIMARY KEY (X)"}},
        {"insert into T values ('a;b');\ninsert into T values ('c\n/\nd');",
         {"insert into T values ('a;b')", "insert into T values ('c\n/\nd')"}},
        {"-- a comment; with a semicolon\nselect 1 from dual;", {"-- a comment; with a semicolon\nselect 1 from dual"}},
        {"/* block; comment */ select 1 from dual", {"/* block; comment */ select 1 from dual"}},
        {"/**\n  *  header\n  */\n\n", {}},
        {"create or replace procedure P is\nbegin\n  null;\nend;\n/\nselect 1 from dual;",
         {"create or replace procedure P is\nbegin\n  null;\nend;", "select 1 from dual"}},
        {"begin\n  x := 1;\nend;\n/", {"begin\n  x := 1;\nend;"}},
        {"select 4 / 2 from dual;", {"select 4 / 2 from dual"}},
        {"select 1 from dual", {"select 1 from dual"}},
        {";;", {}},
        {"select 'unclosed from dual", {"select 'unclosed from dual"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TSqlScript::Split(c.Script), c.Statements) << c.Script.toStdString();
}

TEST(SqlScript, CleanDropsTheTerminatorButNotPlSqlsEnd)
{
    EXPECT_EQ(TSqlScript::Clean("  select 1 from dual;  "), "select 1 from dual");
    EXPECT_EQ(TSqlScript::Clean("select 1 from dual\n/\n"), "select 1 from dual");
    EXPECT_EQ(TSqlScript::Clean("begin null; end;"), "begin null; end;");
    EXPECT_EQ(TSqlScript::Clean("/"), "");
    EXPECT_TRUE(TSqlScript::IsPlSqlUnit("-- x\nCREATE OR REPLACE EDITIONABLE TRIGGER T"));
    EXPECT_TRUE(TSqlScript::IsPlSqlUnit("create type T as object (A number)"));
    EXPECT_FALSE(TSqlScript::IsPlSqlUnit("create table TYPES (A number)"));
    EXPECT_FALSE(TSqlScript::IsPlSqlUnit("select 'begin' from dual"));
}

// Logging on through the login manager with a sample file as the database.
TEST(SampleLogon, CommandLineLogonToTheSampleDatabase)
{
    InitializeModelGlobals();
    RecordingConsole console;
    TConsoleHelper::SetSink(&console);
    TScopedFakeUserInterface ui;
    const QString db = SampleDatabasePath();

    TLoginManager::CommandLineLogin({"file=x.xml", "hr/wrong@" + db});
    EXPECT_EQ(DatabaseSession, nullptr);
    EXPECT_EQ(ui.Messages(), QStringList({"ORA-01017: invalid username/password; logon denied"}));

    TLoginManager::CommandLineLogin({"OCIDLL=/nonexistent/libclntsh.so", "hr/hr@" + db});
    ASSERT_NE(DatabaseSession, nullptr);
    EXPECT_TRUE(DatabaseSession->GetConnected());
    EXPECT_EQ(DatabaseSession->GetUsername() + "@" + DatabaseSession->GetDatabase(), "hr@" + db);
    EXPECT_TRUE(console.Lines.contains("Logged on as hr@" + db + "."));
    EXPECT_EQ(Preferences->PreviousLogons.first(), "hr@" + db);
    for (const QString &line : console.Lines)
        EXPECT_FALSE(line.contains("wrong") || line.contains("hr/hr")) << line.toStdString();

    // The Entities list fills from the session, each item with its record.
    QTreeWidget list;
    new QTreeWidgetItem(&list, {"KEPT.ITEM"});
    TGUIHelpers::AddTablesToList(&list, "SHOP");
    TGUIHelpers::AddObjectTablesToList(&list, "SHOP");
    TGUIHelpers::AddTypesToList(&list, "SHOP");
    ASSERT_EQ(list.topLevelItemCount(), 1 + 5 + 1 + 4);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "KEPT.ITEM");
    const TDBObjectData table = TGUIHelpers::ItemData(list.topLevelItem(1));
    EXPECT_EQ(table.Owner + "." + table.Name + ":" + QString::number(table.Kind), "SHOP.CATEGORIES:0");
    const TDBObjectData objectTable = TGUIHelpers::ItemData(list.topLevelItem(6));
    EXPECT_EQ(objectTable.Owner + "." + objectTable.Name + ":" + QString::number(objectTable.Kind),
              "SHOP.CUSTOMERS_OT:1");
    const TDBObjectData type = TGUIHelpers::ItemData(list.topLevelItem(10));
    EXPECT_EQ(type.Owner + "." + type.Name + ":" + QString::number(type.Kind), "SHOP.TAG_LIST_T:2");

    // An unknown database goes to the Oracle client, which is not there.
    ui.Clear();
    TLoginManager::CommandLineLogin({"hr/hr@orcl"});
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].contains("could not be loaded")) << ui.Messages()[0].toStdString();
    EXPECT_TRUE(DatabaseSession->GetConnected()) << "a failed logon keeps the session there was";

    TConsoleHelper::SetSink(nullptr);
    FinalizeModelGlobals();
}
