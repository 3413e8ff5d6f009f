// How names are written into SQL: plain upper-case identifiers as they are,
// every other name as one quoted identifier.
#include "model/oracle_name.h"

#include <gtest/gtest.h>

TEST(OracleName, OnlyPlainUpperCaseNamesStandUnquoted)
{
    const std::pair<QString, QString> cases[] = {
        {"EMP", "EMP"},
        {"A1_$#", "A1_$#"},
        {"EMPLOYEES_OF_THE_MONTH", "EMPLOYEES_OF_THE_MONTH"},
        {"SUCCESSFUL", "\"SUCCESSFUL\""}, // the longest reserved words
        {"SUCCESSFULL", "SUCCESSFULL"},
        {"DATE", "\"DATE\""},
        {"date", "\"date\""},
        {"Emp", "\"Emp\""},
        {"O'NEIL", "\"O'NEIL\""},
        {"1EMP", "\"1EMP\""},
        {"_EMP", "\"_EMP\""},
        {"EMP NAME", "\"EMP NAME\""},
        {QString::fromUtf8("ÄMTER"), QString::fromUtf8("\"ÄMTER\"")},
        {"X\" union select 1 --", "\"X\"\" union select 1 --\""},
        {"\"Mixed Case\"", "\"Mixed Case\""}, // as the table wizard keeps it
        {"\"A\"B\"", "\"\"\"A\"\"B\"\"\""},
        {"\"\"", "\"\"\"\"\"\""},
        {"", ""},
    };
    for (const auto &[name, sql] : cases)
        EXPECT_EQ(OracleName::Quote(name), sql) << name.toStdString();
    EXPECT_EQ(OracleName::Qualified("HR", "O'NEIL"), "HR.\"O'NEIL\"");
    EXPECT_EQ(OracleName::Qualified("hr", "EMP"), "\"hr\".EMP");
    EXPECT_EQ(OracleName::Qualified("", "EMP"), "EMP");
    EXPECT_TRUE(OracleName::IsReservedWord("select"));
    EXPECT_FALSE(OracleName::IsPlain("SELECT"));
}
