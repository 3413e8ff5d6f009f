// The two connections: the SQLite dictionary's logon, first-rows idiom and
// data files; the Oracle client's loader without a client; scripts split into
// statements.
#include "dbtools/oci_connection.h"
#include "dbtools/sql_script.h"
#include "dbtools/sqlite_dictionary_connection.h"
#include "model/result_set.h"
#include "sample_database.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

const char InvalidLogon[] = "ORA-01017: invalid username/password; logon denied";

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
    const std::pair<const char *, const char *> good[] = {{"hr", "hr"}, {"HR", "hr"}, {"shop", "shop"}};
    const std::pair<const char *, const char *> bad[] = {
        {"hr", "HR"}, {"hr", ""}, {"hr", "hr "}, {"hr", "co"}, {"scott", "tiger"}, {"sys", "sys"}, {"hr' or '1'='1", "x"}};
    for (const auto &[user, password] : good)
        EXPECT_EQ(ErrorOf([&] { SqliteDictionaryConnection(SampleDatabasePath(), user, password); }), "") << user;
    for (const auto &[user, password] : bad)
        EXPECT_EQ(ErrorOf([&] { SqliteDictionaryConnection(SampleDatabasePath(), user, password); }), InvalidLogon)
            << user << "/" << password;
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
    EXPECT_EQ(ErrorOf([&] { connection.Execute("delete from SYS.ALL_USERS", {}, nullptr); }),
              "attempt to write a readonly database");
}

// No client, a library that is no client, and a mistyped dictionary file: each
// says what is wrong, and no message holds the password.
TEST(OciConnection, WithoutAClientTheLogonFailsClearly)
{
    const QString missing = "/nonexistent/lib/libclntsh.so";
    const QString message = ErrorOf([&] { OciConnection({missing, {}}, "scott", "tiger", "orcl"); });
    EXPECT_TRUE(message.startsWith("The Oracle client library \"" + missing + "\" could not be loaded ("))
        << message.toStdString();
    EXPECT_TRUE(message.endsWith("Install an Oracle client or name its library with OCIDLL=; working offline."));
    EXPECT_EQ(ErrorOf([] { OciConnection({"libsqlite3.so.0", {}}, "scott", "tiger", "orcl"); }),
              "The Oracle client library \"libsqlite3.so.0\" has no function OCIEnvNlsCreate; working offline.");
    TOciClientSettings::Current().Library = missing;
    const std::pair<QString, QString> cases[] = {
        {"orcl", "The Oracle client library"},
        {"build/sampel.db", "There is no database file \"build/sampel.db\". The Oracle client library"},
        {testDataPath("oracle-dictionary/README.md"),
         "\"" + testDataPath("oracle-dictionary/README.md") + "\" is no SQLite database. The Oracle client library"},
    };
    for (const auto &[database, start] : cases) {
        const QString error = ErrorOf([&] { TOracleSession::Open({"scott", "tiger", database}); });
        EXPECT_TRUE(error.startsWith(start)) << error.toStdString();
        EXPECT_FALSE(error.contains("tiger"));
    }
    TOciClientSettings::Current() = {};
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
        EXPECT_EQ(settings.Library + "|" + settings.OracleHome + "|" + OciConnection::LibraryPath(settings),
                  c.Library + "|" + c.Home + "|" + c.Path);
    }
}

// Each case of the file is a script, a line "=>", its statements each
// followed by a line "--", and a line "====".
TEST(SqlScript, SplitsAtSemicolonsAndSlashLinesOutsideStringsAndComments)
{
    QStringList cases = QString::fromUtf8(readTestFile("sql/script_split.txt")).split("====\n");
    cases.removeLast();
    ASSERT_GE(cases.size(), 12);
    for (const QString &c : cases) {
        QStringList expected = c.section("\n=>\n", 1).split("\n--\n");
        expected.removeLast();
        EXPECT_EQ(TSqlScript::Split(c.section("\n=>\n", 0, 0)), expected) << c.toStdString();
    }
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
