// The shared text helpers, name splitting and the logged-on test.
#include "fake_database_session.h"
#include "model/helpers.h"
#include "model/model_globals.h"

#include <gtest/gtest.h>

namespace {

TEST(Helpers, IndentAndYesNo)
{
    EXPECT_EQ(THelpers::Indent(0), "");
    EXPECT_EQ(THelpers::Indent(4), "    ");
    EXPECT_EQ(THelpers::BoolToYN(true), "Y");
    EXPECT_EQ(THelpers::BoolToYN(false), "N");
    for (const char *yes : {"Y", "y"})
        EXPECT_TRUE(THelpers::YNToBool(yes)) << yes;
    for (const char *no : {"N", "yes", "", "YES", " Y"})
        EXPECT_FALSE(THelpers::YNToBool(no)) << no;
    EXPECT_TRUE(THelpers::IsYes("yes"));
    EXPECT_TRUE(THelpers::IsYes("YeS"));
    EXPECT_FALSE(THelpers::IsYes("Y"));
}

TEST(Helpers, CDataSplitsEveryTerminator)
{
    EXPECT_EQ(THelpers::WrapCData(""), "<![CDATA[]]>");
    EXPECT_EQ(THelpers::WrapCData("a<b"), "<![CDATA[a<b]]>");
    EXPECT_EQ(THelpers::WrapCData("x]]>y"), "<![CDATA[x]]]]><![CDATA[>y]]>");
    EXPECT_EQ(THelpers::WrapCData("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
}

TEST(Helpers, ColumnSortMethodTexts)
{
    EXPECT_EQ(THelpers::ColumnSortMethodToText(0), "creation");
    EXPECT_EQ(THelpers::ColumnSortMethodToText(1), "alpha");
    EXPECT_EQ(THelpers::ColumnSortMethodToText(2), "keys");
    EXPECT_EQ(THelpers::ColumnSortMethodToText(9), "creation");
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("ALPHA"), 1);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("Keys"), 2);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText(""), 0);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("alphabetical"), 0);
}

TEST(Helpers, PadRight)
{
    EXPECT_EQ(THelpers::PadRight("ABCDEF", 3, ' '), "ABC");
    EXPECT_EQ(THelpers::PadRight("", 4, '.'), "....");
    EXPECT_EQ(THelpers::PadRight("AB", 5, ' '), "AB   ");
    EXPECT_EQ(THelpers::PadRight("AB", 0, ' '), "");
}

struct SplitCase {
    const char *text, *owner, *name;
};

class OwnerSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(OwnerSplit, SplitsAtTheFirstDot)
{
    EXPECT_EQ(THelpers::GetOwnerName(GetParam().text), QString::fromLatin1(GetParam().owner));
    EXPECT_EQ(THelpers::GetObjectName(GetParam().text), QString::fromLatin1(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Names, OwnerSplit,
                         ::testing::Values(SplitCase{"HR.EMP", "HR", "EMP"}, SplitCase{"A.B.C", "A", "B.C"},
                                           SplitCase{".X", "", "X"}, SplitCase{"X", "", "X"},
                                           SplitCase{"X.", "X", ""}, SplitCase{"", "", ""}));

TEST(Helpers, IsConnectedFollowsTheSession)
{
    DatabaseSession.reset();
    EXPECT_FALSE(THelpers::IsConnected());
    auto session = std::make_shared<TFakeDatabaseSession>();
    DatabaseSession = session;
    EXPECT_TRUE(THelpers::IsConnected());
    session->Disconnect();
    EXPECT_FALSE(THelpers::IsConnected());
    DatabaseSession.reset();
}

} // namespace
