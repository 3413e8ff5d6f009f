// The SQLite dictionary, the Oracle client's loader, and scripts.
#include "dbtools/oci_connection.h"
#include "dbtools/sql_script.h"
#include "dbtools/sqlite_dictionary_connection.h"
#include "model/result_set.h"
#include "sample_database.h"
#include "test_data.h"

#include <gtest/gtest.h>

namespace {

const char InvalidLogon[] = "ORA-01017: invalid username/password; logon denied";

// The cases of a file in tests/data/sql: each an input, a line "=>", the
// text expected of it and a line "====".
QList<std::pair<QString, QString>> Cases(const QString &file)
{
    QList<std::pair<QString, QString>> cases;
    const QStringList parts = QString::fromUtf8(readTestFile("sql/" + file)).split("\n====\n");
    for (const QString &c : parts.mid(0, parts.size() - 1))
        cases.append({c.section("\n=>\n", 0, 0), c.section("\n=>\n", 1)});
    return cases;
}

} // namespace

// First rows as SQLite's limit; scripts split; statements cleaned.
TEST(SqliteDictionaryConnection, FirstRowsScriptsAndStatementsAsTheirFilesSay)
{
    for (const auto &[sql, expected] : Cases("first_rows.txt"))
        EXPECT_EQ(SqliteDictionaryConnection::TranslateFirstRows(sql), expected) << sql.toStdString();
    for (const auto &[script, expected] : Cases("script_split.txt"))
        EXPECT_EQ(TSqlScript::Split(script).join("\n--\n"), expected) << script.toStdString();
    for (const auto &[statement, expected] : Cases("script_clean.txt"))
        EXPECT_EQ(TSqlScript::Clean(statement), expected) << statement.toStdString();
    EXPECT_EQ(Cases("first_rows.txt").size() + Cases("script_split.txt").size() + Cases("script_clean.txt").size(), 24);
    EXPECT_TRUE(TSqlScript::IsPlSqlUnit("-- x\nCREATE OR REPLACE EDITIONABLE TRIGGER T"));
    EXPECT_TRUE(TSqlScript::IsPlSqlUnit("create type T as object (A number)"));
    EXPECT_FALSE(TSqlScript::IsPlSqlUnit("create table TYPES (A number)"));
    EXPECT_FALSE(TSqlScript::IsPlSqlUnit("select 'begin' from dual"));
}

// Known users with their passwords; one statement at a time; a read-only dictionary.
TEST(SqliteDictionaryConnection, LogonStatementsAndAReadOnlyDictionary)
{
    const std::pair<const char *, const char *> good[] = {{"hr", "hr"}, {"HR", "hr"}, {"shop", "shop"}};
    const std::pair<const char *, const char *> bad[] = {{"hr", "HR"},    {"hr", ""},       {"hr", "hr "},
                                                         {"hr", "co"},    {"scott", "tiger"}, {"sys", "sys"},
                                                         {"hr' or '1'='1", "x"}};
    for (const auto &[user, password] : good)
        EXPECT_EQ(ErrorOf([&] { SqliteDictionaryConnection(SampleDatabasePath(), user, password); }), "") << user;
    for (const auto &[user, password] : bad)
        EXPECT_EQ(ErrorOf([&] { SqliteDictionaryConnection(SampleDatabasePath(), user, password); }), InvalidLogon)
            << user << "/" << password;
    SqliteDictionaryConnection connection(SampleDatabasePath(), "co", "co");
    EXPECT_EQ(ErrorOf([&] { connection.Query("select 1; select 2"); }), "Only one statement can run at a time.");
    EXPECT_EQ(ErrorOf([&] { connection.Query("select 1;"); }), "");
    EXPECT_EQ(ErrorOf([&] { connection.Query("   "); }), "The statement is empty.");
    EXPECT_EQ(ErrorOf([&] { connection.Execute("delete from SYS.ALL_USERS", {}, nullptr); }),
              "attempt to write a readonly database");
}

// The user's own data file first; odd names and "sys" never attached.
TEST(SqliteDictionaryConnection, DataFilesBesideTheDictionaryOwnFirst)
{
    QTemporaryDir dir;
    for (const char *name : {"dict.db", "dict.co.db", "dict.hr.db", "dict.sys.db", "dict.bad name.db", "other.hr.db",
                             "dict.sh.txt"})
        QFile(dir.filePath(name)).open(QIODevice::WriteOnly);
    const QString dict = dir.filePath("dict.db"), co = dir.filePath("dict.co.db"), hr = dir.filePath("dict.hr.db");
    EXPECT_EQ(SqliteDictionaryConnection::DataFiles(dict, "HR"), QStringList({hr, co}));
    EXPECT_EQ(SqliteDictionaryConnection::DataFiles(dict, "SH"), QStringList({co, hr}));
    EXPECT_FALSE(SqliteDictionaryConnection::IsSqliteFile(dict)) << "an empty file is no database";
    EXPECT_TRUE(SqliteDictionaryConnection::IsSqliteFile(SampleDatabasePath()));
    EXPECT_FALSE(SqliteDictionaryConnection::IsSqliteFile(dir.path()));
}

// Each failure says what is wrong, and no message holds the password.
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

// Library, home and the path the loader is asked for.
TEST(OciConnection, ClientSettingsFromTheParameters)
{
    const std::pair<QStringList, QString> cases[] = {
        {{}, "libclntsh.so||libclntsh.so"},
        {{"ocidll=/opt/o/libclntsh.so.19.1", "hr/hr@x"}, "/opt/o/libclntsh.so.19.1||/opt/o/libclntsh.so.19.1"},
        {{"ORACLEHOME=/u01/app", "file=a.xml"}, "libclntsh.so|/u01/app|/u01/app/lib/libclntsh.so"},
        {{"OCIDLL=", "ORACLEHOME=/u01"}, "libclntsh.so|/u01|/u01/lib/libclntsh.so"},
        {{"OCIDLL=/a/libclntsh.so", "ORACLEHOME=/u01"}, "/a/libclntsh.so|/u01|/a/libclntsh.so"},
    };
    for (const auto &[parameters, expected] : cases) {
        const TOciClientSettings settings = TOciClientSettings::FromParameters(parameters);
        EXPECT_EQ(settings.Library + "|" + settings.OracleHome + "|" + OciConnection::LibraryPath(settings), expected);
    }
}
