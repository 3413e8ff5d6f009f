// Literals of the copy script: every value the way its column's type needs
// it, and nothing of the data able to end a literal early.
#include "dbtools/copy_script.h"
#include "model/result_set.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

struct TLiteralCase {
    QVariant Value;
    const char *Type;
    const char *Literal;
};

} // namespace

TEST(CopyScript, LiteralsByType)
{
    const std::vector<TLiteralCase> cases = {
        {QVariant(), "NUMBER", "NULL"},
        {QVariant(QMetaType(QMetaType::QString)), "VARCHAR2", "NULL"},
        {QVariant(24000), "NUMBER", "24000"},
        {QVariant(qlonglong(-9007199254740993)), "NUMBER", "-9007199254740993"},
        {QVariant(0.1), "NUMBER", "0.1"},
        {QVariant(-2.5e-7), "NUMBER", "-2.5e-07"},
        {QVariant(QStringLiteral("12.50")), "NUMBER", "12.50"},
        {QVariant(QStringLiteral("1 OR 1=1")), "NUMBER", "'1 OR 1=1'"},
        {QVariant(QStringLiteral("7")), "FLOAT", "7"},
        {QVariant(QStringLiteral("King")), "VARCHAR2", "'King'"},
        {QVariant(QStringLiteral("O'Connell")), "VARCHAR2", "'O''Connell'"},
        {QVariant(QStringLiteral("'); DROP TABLE X; --")), "CHAR", "'''); DROP TABLE X; --'"},
        {QVariant(QStringLiteral("")), "VARCHAR2", "''"},
        {QVariant(QStringLiteral("line 1\nline 2")), "CLOB", "'line 1\nline 2'"},
        {QVariant(QStringLiteral("2003-06-17 00:00:00")), "DATE",
         "TO_DATE('2003-06-17 00:00:00', 'YYYY-MM-DD HH24:MI:SS')"},
        {QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))), "DATE",
         "TO_DATE('1999-12-31 23:59:58', 'YYYY-MM-DD HH24:MI:SS')"},
        {QVariant(QDate(2024, 2, 29)), "DATE", "TO_DATE('2024-02-29 00:00:00', 'YYYY-MM-DD HH24:MI:SS')"},
        {QVariant(QStringLiteral("not a date")), "DATE", "'not a date'"},
        {QVariant(QDateTime(QDate(2024, 5, 6), QTime(12, 0, 1, 250))), "TIMESTAMP(6)",
         "TO_TIMESTAMP('2024-05-06 12:00:01.250', 'YYYY-MM-DD HH24:MI:SS.FF3')"},
        {QVariant(QStringLiteral("2024-05-06 12:00:01")), "TIMESTAMP(6) WITH TIME ZONE",
         "TO_TIMESTAMP('2024-05-06 12:00:01.000', 'YYYY-MM-DD HH24:MI:SS.FF3')"},
        {QVariant(QByteArray("\x01\xab", 2)), "RAW", "HEXTORAW('01AB')"},
        {QVariant(QStringLiteral("x")), "ADDRESS_T", "'x'"},
    };
    for (const TLiteralCase &c : cases)
        EXPECT_EQ(TCopyScript::Literal(c.Value, c.Type).toStdString(), c.Literal)
            << c.Type << " " << c.Value.toString().toStdString();
}

TEST(CopyScript, TableScriptKeepsTheColumnsOfTheRows)
{
    TOSResultSet rows;
    rows.AddColumn("JOB_ID");
    rows.AddColumn("MIN_SALARY");
    rows.AddColumn("START_DATE");
    TOSRow *row = rows.AddRow();
    row->SetValue(0, QStringLiteral("AD_PRES"));
    row->SetValue(1, 20080);
    row->SetValue(2, QStringLiteral("2001-01-13 00:00:00"));
    row = rows.AddRow();
    row->SetValue(0, QStringLiteral("IT'S"));
    const QList<TCopyColumn> columns = {{"JOB_ID", "VARCHAR2"}, {"min salary", "NUMBER"}, {"START_DATE", "DATE"}};
    EXPECT_EQ(TCopyScript::TableScript("HR", "Jobs", columns, rows).toStdString(),
              "/*  HR.\"Jobs\": 2 row(s)  */\r\n"
              "INSERT INTO HR.\"Jobs\" (JOB_ID, \"min salary\", START_DATE)\r\n"
              "VALUES ('AD_PRES', 20080, TO_DATE('2001-01-13 00:00:00', 'YYYY-MM-DD HH24:MI:SS'))\r\n/\r\n\r\n"
              "INSERT INTO HR.\"Jobs\" (JOB_ID, \"min salary\", START_DATE)\r\n"
              "VALUES ('IT''S', NULL, NULL)\r\n/\r\n\r\n");
    EXPECT_EQ(TCopyScript::SqlName("A\"B"), "\"A\"\"B\"");
    EXPECT_EQ(TCopyScript::SqlName("EMP$#_2"), "EMP$#_2");
    EXPECT_EQ(TCopyScript::SqlName("2EMP"), "\"2EMP\"");
}
