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

struct Failure
{
    const char *what;
    std::function<void(TOSResultSet &)> action;
    const char *message;
};

// Each failure carries its text and leaves the result set as it was.
TEST(ResultSet, FailuresCarryTheirTextAndChangeNothing)
{
    const Failure failures[] = {
        {"new column after rows", [](TOSResultSet &rs) { rs.AddColumn("extra"); },
         "Columns cannot be modified after adding data rows."},
        {"rows are tested before duplicates", [](TOSResultSet &rs) { rs.AddColumn("name"); },
         "Columns cannot be modified after adding data rows."},
        {"unknown column name", [](TOSResultSet &rs) { rs.GetRow(0)->GetCellByName("tYpo"); },
         "Column does not exist: tYpo"},
        {"unknown column value", [](TOSResultSet &rs) { rs.GetRow(0)->GetValueByName("x"); },
         "Column does not exist: x"},
        {"index past the last cell", [](TOSResultSet &rs) { rs.GetRow(0)->GetCell(3); },
         "Column index not valid: 3"},
        {"negative index", [](TOSResultSet &rs) { rs.GetRow(0)->SetValue(-1, 5); }, "Column index not valid: -1"},
        {"row past the end", [](TOSResultSet &rs) { rs.GetRow(1); }, "List index out of bounds (1)"},
        {"negative row", [](TOSResultSet &rs) { rs.GetRow(-1); }, "List index out of bounds (-1)"},
    };
    for (const Failure &f : failures) {
        SCOPED_TRACE(f.what);
        TOSResultSet rs;
        rs.AddColumn("OWNER");
        rs.AddColumn("NAME");
        rs.AddColumn("TYPE");
        rs.AddRow()->SetValue(1, QStringLiteral("kept"));
        try {
            f.action(rs);
            ADD_FAILURE() << "no exception";
        } catch (const EOSResultSetError &e) {
            EXPECT_STREQ(e.what(), f.message);
        }
        EXPECT_EQ(rs.ColumnNames(), QStringList({"OWNER", "NAME", "TYPE"}));
        ASSERT_EQ(rs.RowCount(), 1);
        EXPECT_EQ(rs.GetRow(0)->GetValueByName("name").toString(), "kept");
    }
}

TEST(ResultSet, ColumnsOnlyBeforeRowsAndRowsOnlyAfterColumns)
{
    TOSResultSet rs;
    try {
        rs.AddRow();
        ADD_FAILURE();
    } catch (const EOSResultSetError &e) {
        EXPECT_STREQ(e.what(), "Columns must be defined before adding data rows.");
    }
    EXPECT_EQ(rs.RowCount(), 0);
    try {
        rs.GetRow(0);
        ADD_FAILURE();
    } catch (const EOSResultSetError &e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    rs.AddColumn("name");
    try {
        rs.AddColumn("NAME");
        ADD_FAILURE();
    } catch (const EOSResultSetError &e) {
        EXPECT_STREQ(e.what(), "A column with name already exists: NAME");
    }
    EXPECT_THROW(rs.AddColumn("Name"), EOSResultSetError);
    EXPECT_EQ(rs.ColumnNames(), QStringList({"NAME"}));
    rs.AddRow();
    try {
        rs.AddColumn("other");
        ADD_FAILURE();
    } catch (const EOSResultSetError &e) {
        EXPECT_STREQ(e.what(), "Columns cannot be modified after adding data rows.");
    }
    EXPECT_EQ(rs.ColumnCount(), 1);
    EXPECT_EQ(rs.GetRow(0)->Count(), 1);
}

} // namespace
