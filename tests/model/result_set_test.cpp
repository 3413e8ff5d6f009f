#include "model/result_set.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Three columns as a session defines them, two rows as it fetches them.
struct OwnersQuery : ::testing::Test
{
    void SetUp() override
    {
        for (const char *name : {"owner", "Table_Name", "NUM_ROWS"})
            rs.AddColumn(name);
        for (int i = 0; i < 2; ++i) {
            TOSRow *row = rs.AddRow();
            row->SetValue(0, QStringLiteral("SCOTT"));
            row->SetValue(1, QStringLiteral("EMP%1").arg(i));
            row->SetValue(2, 14 + i);
        }
    }
    TOSResultSet rs;
};

TEST_F(OwnersQuery, ColumnsAreUpperCasedAndFoundInAnyCase)
{
    EXPECT_EQ(rs.ColumnNames(), QStringList({"OWNER", "TABLE_NAME", "NUM_ROWS"}));
    EXPECT_EQ(rs.ColumnCount(), 3);
    EXPECT_EQ(rs.IndexOfColumn("table_name"), 1);
    EXPECT_EQ(rs.IndexOfColumn("Num_Rows"), 2);
    EXPECT_EQ(rs.IndexOfColumn("missing"), -1);
}

TEST_F(OwnersQuery, RowsHoldTheirValuesInOrder)
{
    ASSERT_EQ(rs.RowCount(), 2);
    QVariant value;
    rs.GetRow(1)->GetValueByName("owner", value);
    EXPECT_EQ(value.toString(), "SCOTT");
    EXPECT_EQ(rs.GetRow(1)->GetValueByName("table_name").toString(), "EMP1");
    EXPECT_EQ(rs.GetRow(0)->GetValueByName("NUM_ROWS").toInt(), 14);
    EXPECT_EQ(rs.GetRow(0)->GetCell(2)->Value().toInt(), 14);
    EXPECT_EQ(rs.GetRow(0)->ResultSet(), &rs);
}

TEST(ResultSet, NewRowHasOneNullCellPerColumn)
{
    TOSResultSet rs;
    EXPECT_EQ(rs.RowCount(), 0);
    EXPECT_EQ(rs.ElapsedSeconds(), 0.0);
    rs.AddColumn("A");
    rs.AddColumn("B");
    rs.AddColumn("C");
    TOSRow *row = rs.AddRow();
    ASSERT_EQ(row->Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(row->GetCell(i)->Value().isNull()) << i;
    // A stored value is a copy.
    QVariant v(QStringLiteral("x"));
    row->GetCell(0)->SetValue(v);
    v = QStringLiteral("y");
    QVariant out;
    row->GetCell(0)->GetValue(out);
    EXPECT_EQ(out.toString(), "x");
}

// The text of the EOSResultSetError the action raises; empty if none.
std::string failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EOSResultSetError &e) {
        return e.what();
    }
    return {};
}

// Each failure carries its text and leaves the result set as it was.
TEST(ResultSet, FailuresCarryTheirTextAndChangeNothing)
{
    const std::pair<std::function<void(TOSResultSet &)>, const char *> failures[] = {
        {[](TOSResultSet &rs) { rs.AddColumn("extra"); }, "Columns cannot be modified after adding data rows."},
        {[](TOSResultSet &rs) { rs.AddColumn("name"); }, "Columns cannot be modified after adding data rows."},
        {[](TOSResultSet &rs) { rs.GetRow(0)->GetCellByName("tYpo"); }, "Column does not exist: tYpo"},
        {[](TOSResultSet &rs) { rs.GetRow(0)->GetValueByName("x"); }, "Column does not exist: x"},
        {[](TOSResultSet &rs) { rs.GetRow(0)->GetCell(3); }, "Column index not valid: 3"},
        {[](TOSResultSet &rs) { rs.GetRow(0)->SetValue(-1, 5); }, "Column index not valid: -1"},
        {[](TOSResultSet &rs) { rs.GetRow(1); }, "List index out of bounds (1)"},
        {[](TOSResultSet &rs) { rs.GetRow(-1); }, "List index out of bounds (-1)"},
    };
    for (const auto &[action, message] : failures) {
        TOSResultSet rs;
        rs.AddColumn("OWNER");
        rs.AddColumn("NAME");
        rs.AddColumn("TYPE");
        rs.AddRow()->SetValue(1, QStringLiteral("kept"));
        EXPECT_EQ(failureOf([&] { action(rs); }), message);
        EXPECT_EQ(rs.ColumnNames(), QStringList({"OWNER", "NAME", "TYPE"}));
        ASSERT_EQ(rs.RowCount(), 1);
        EXPECT_EQ(rs.GetRow(0)->GetValueByName("name").toString(), "kept");
    }
}

TEST(ResultSet, ColumnsOnlyBeforeRowsAndRowsOnlyAfterColumns)
{
    TOSResultSet rs;
    EXPECT_EQ(failureOf([&] { rs.AddRow(); }), "Columns must be defined before adding data rows.");
    EXPECT_EQ(failureOf([&] { rs.GetRow(0); }), "List index out of bounds (0)");
    rs.AddColumn("name");
    EXPECT_EQ(failureOf([&] { rs.AddColumn("NAME"); }), "A column with name already exists: NAME");
    EXPECT_EQ(failureOf([&] { rs.AddColumn("Name"); }), "A column with name already exists: Name");
    EXPECT_EQ(rs.ColumnNames(), QStringList({"NAME"}));
    EXPECT_EQ(rs.RowCount(), 0);
    EXPECT_EQ(rs.AddRow()->Count(), 1);
}

} // namespace
