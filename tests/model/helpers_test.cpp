// The shared text helpers, name splitting and the logged-on test.
#include "fake_database_session.h"
#include "model/helpers.h"
#include "model/model_globals.h"

#include <gtest/gtest.h>

namespace {

TEST(Helpers, TextConversions)
{
    EXPECT_EQ(THelpers::Indent(0), "");
    EXPECT_EQ(THelpers::Indent(4), "    ");
    EXPECT_EQ(THelpers::BoolToYN(true) + THelpers::BoolToYN(false), "YN");
    EXPECT_TRUE(THelpers::YNToBool("Y") && THelpers::YNToBool("y"));
    for (const char *no : {"N", "yes", "", "YES", " Y"})
        EXPECT_FALSE(THelpers::YNToBool(no)) << no;
    EXPECT_TRUE(THelpers::IsYes("YeS"));
    EXPECT_FALSE(THelpers::IsYes("Y"));
    EXPECT_EQ(THelpers::ColumnSortMethodToText(1) + THelpers::ColumnSortMethodToText(2), "alphakeys");
    EXPECT_EQ(THelpers::ColumnSortMethodToText(0) + THelpers::ColumnSortMethodToText(9), "creationcreation");
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("ALPHA"), 1);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("Keys"), 2);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText(""), 0);
    EXPECT_EQ(THelpers::ColumnSortMethodFromText("alphabetical"), 0);
    EXPECT_EQ(THelpers::PadRight("ABCDEF", 3, ' '), "ABC");
    EXPECT_EQ(THelpers::PadRight("", 4, '.'), "....");
    EXPECT_EQ(THelpers::PadRight("AB", 5, ' '), "AB   ");
}

TEST(Helpers, CDataSplitsEveryTerminator)
{
    EXPECT_EQ(THelpers::WrapCData(""), "<![CDATA[]]>");
    EXPECT_EQ(THelpers::WrapCData("a<b"), "<![CDATA[a<b]]>");
    EXPECT_EQ(THelpers::WrapCData("]]>]]>"), "<![CDATA[]]]]><![CDATA[>]]]]><![CDATA[>]]>");
}

TEST(Helpers, CommaTextQuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(THelpers::CommaText({}), "");
    EXPECT_EQ(THelpers::CommaText({""}), "\"\"");
    EXPECT_EQ(THelpers::CommaText({"A", "", "B"}), "A,,B");
    EXPECT_EQ(THelpers::CommaText({"A,B", "say \"hi\"", "C D"}), "\"A,B\",\"say \"\"hi\"\"\",\"C D\"");
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
    EXPECT_FALSE(THelpers::IsConnected()) << "logged off but still assigned";
    DatabaseSession.reset();
}

} // namespace
