// The query grid: upper-cased columns, rows of null cells, and its failures.
#include "model/result_set.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Three columns as a session defines them, two rows as it fetches them.
TEST(ResultSet, FilledAsASessionFillsIt)
{
    TOSResultSet rs;
    EXPECT_EQ(rs.RowCount(), 0);
    EXPECT_EQ(rs.ElapsedSeconds(), 0.0);
    for (const char *name : {"owner", "Table_Name", "NUM_ROWS"})
        rs.AddColumn(name);
    EXPECT_EQ(rs.ColumnNames(), QStringList({"OWNER", "TABLE_NAME", "NUM_ROWS"}));
    EXPECT_EQ(rs.IndexOfColumn("Num_Rows"), 2);
    EXPECT_EQ(rs.IndexOfColumn("missing"), -1);
    for (int i = 0; i < 2; ++i) {
        TOSRow *row = rs.AddRow();
        ASSERT_EQ(row->Count(), 3);
        for (int c = 0; c < 3; ++c)
            EXPECT_TRUE(row->GetCell(c)->Value().isNull());
        row->SetValue(0, QStringLiteral("SCOTT"));
        row->SetValue(1, QStringLiteral("EMP%1").arg(i));
        row->SetValue(2, 14 + i);
    }
    ASSERT_EQ(rs.RowCount(), 2);
    QVariant value;
    rs.GetRow(1)->GetValueByName("owner", value);
    EXPECT_EQ(value.toString(), "SCOTT");
    EXPECT_EQ(rs.GetRow(1)->GetValueByName("table_name").toString(), "EMP1");
    EXPECT_EQ(rs.GetRow(0)->GetCell(2)->Value().toInt(), 14);
    EXPECT_EQ(rs.GetRow(0)->ResultSet(), &rs);
}

// The text of the EOSResultSetError the action raises; empty if none.
std::string FailureOf(const std::function<void()> &action)
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
        for (const char *name : {"OWNER", "NAME", "TYPE"})
            rs.AddColumn(name);
        rs.AddRow()->SetValue(1, QStringLiteral("kept"));
        EXPECT_EQ(FailureOf([&] { action(rs); }), message);
        EXPECT_EQ(rs.ColumnNames(), QStringList({"OWNER", "NAME", "TYPE"}));
        ASSERT_EQ(rs.RowCount(), 1);
        EXPECT_EQ(rs.GetRow(0)->GetValueByName("name").toString(), "kept");
    }
}

TEST(ResultSet, ColumnsOnlyBeforeRowsAndRowsOnlyAfterColumns)
{
    TOSResultSet rs;
    EXPECT_EQ(FailureOf([&] { rs.AddRow(); }), "Columns must be defined before adding data rows.");
    EXPECT_EQ(FailureOf([&] { rs.GetRow(0); }), "List index out of bounds (0)");
    rs.AddColumn("name");
    EXPECT_EQ(FailureOf([&] { rs.AddColumn("NAME"); }), "A column with name already exists: NAME");
    EXPECT_EQ(FailureOf([&] { rs.AddColumn("Name"); }), "A column with name already exists: Name");
    EXPECT_EQ(rs.ColumnNames(), QStringList({"NAME"}));
    EXPECT_EQ(rs.RowCount(), 0);
}

} // namespace
