#pragma once
// TResultGrid: the grid that shows a query's rows. Its copy takes the selected
// cells as spreadsheets take them from the clipboard.
#include <QModelIndexList>
#include <QTableView>

class TResultGrid : public QTableView {
    Q_OBJECT
public:
    explicit TResultGrid(QWidget *parent = nullptr);

    // The cells' texts, a tab between columns and a line break between rows:
    // every row and column that holds one of the cells, in the grid's order;
    // a place no cell fills is empty. A text that holds a tab, a line break
    // or a quote is quoted, its quotes doubled, so that it stays one cell.
    static QString CellsText(const QModelIndexList &cells);
    // The selected cells onto the clipboard; nothing selected leaves it as it is.
    void CopySelection() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
