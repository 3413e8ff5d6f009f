// The shared text helpers and name splitting.
#include "model/helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(Helpers, TextConversions)
{
    const std::pair<QString, QString> cases[] = {
        {THelpers::Indent(0) + "|" + THelpers::Indent(4) + "|" + THelpers::Indent(-1), "|    |"},
        {THelpers::BoolToYN(true) + THelpers::BoolToYN(false), "YN"},
        {THelpers::ColumnSortMethodToText(1) + THelpers::ColumnSortMethodToText(2), "alphakeys"},
        {THelpers::ColumnSortMethodToText(0) + THelpers::ColumnSortMethodToText(9), "creationcreation"},
        {THelpers::PadRight("ABCDEF", 3, ' ') + THelpers::PadRight("", 4, '.') + THelpers::PadRight("AB", 5, ' '),
         "ABC....AB   "},
        {THelpers::WrapCData("") + THelpers::WrapCData("a<b"), "<![CDATA[]]><![CDATA[a<b]]>"},
        {THelpers::WrapCData("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>"},
        {THelpers::CommaText({}) + "|" + THelpers::CommaText({""}) + "|" + THelpers::CommaText({"A", "", "B"}),
         "|\"\"|A,,B"},
        {THelpers::CommaText({"A,B", "say \"hi\"", "C D", "\tT"}), "\"A,B\",\"say \"\"hi\"\"\",\"C D\",\"\tT\""},
    };
    for (const auto &[actual, expected] : cases)
        EXPECT_EQ(actual, expected);
    EXPECT_TRUE(THelpers::YNToBool("Y") && THelpers::YNToBool("y") && THelpers::IsYes("YeS"));
    for (const char *no : {"N", "yes", "", "YES", " Y"})
        EXPECT_FALSE(THelpers::YNToBool(no)) << no;
    EXPECT_FALSE(THelpers::IsYes("Y"));
    const std::pair<const char *, int> methods[] = {{"ALPHA", 1}, {"Keys", 2}, {"", 0}, {"alphabetical", 0}};
    for (const auto &[text, method] : methods)
        EXPECT_EQ(THelpers::ColumnSortMethodFromText(text), method) << text;
}

// Owner and name split at the first dot; the session tools rely on it.
TEST(Helpers, OwnerQualifiedNamesSplitAtTheFirstDot)
{
    const char *const cases[][3] = {{"HR.EMP", "HR", "EMP"}, {"A.B.C", "A", "B.C"}, {".X", "", "X"},
                                    {"X", "", "X"},          {"X.", "X", ""},       {"", "", ""}};
    for (const auto &[text, owner, name] : cases) {
        EXPECT_EQ(THelpers::GetOwnerName(text), QString::fromLatin1(owner)) << text;
        EXPECT_EQ(THelpers::GetObjectName(text), QString::fromLatin1(name)) << text;
    }
}

} // namespace
