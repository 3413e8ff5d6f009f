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
