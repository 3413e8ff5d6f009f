// The grid's copy as spreadsheets paste it: cells in the grid's order, kept
// in their columns when the selection is ragged, quoted when a text would
// otherwise spill into another cell.
#include "dbtools/result_grid.h"
#include "dbtools/result_grid_model.h"

#include <gtest/gtest.h>

TEST(ResultGrid, CopiesCellsInGridOrderAlignedAndQuotedWhereNeeded)
{
    TResultGridModel rows;
    rows.Reset({"A", "B", "C"});
    rows.Append({{"a1", "b1", "c1"}, {"a2", "5\" pipe", "c2"}, {"a3", "b3", "x\ry"}});
    const auto cells = [&](std::initializer_list<std::pair<int, int>> at) {
        QModelIndexList list;
        for (const auto &[row, column] : at)
            list << rows.index(row, column);
        return TResultGrid::CellsText(list).toStdString();
    };
    EXPECT_EQ(cells({{2, 2}, {0, 0}}), "a1\t\n\t\"x\ry\"");
    EXPECT_EQ(cells({{1, 1}, {0, 2}, {1, 0}}), "\t\tc1\na2\t\"5\"\" pipe\"\t");
    EXPECT_EQ(cells({}), "");
}
