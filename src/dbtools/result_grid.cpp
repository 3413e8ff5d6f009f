#include "dbtools/result_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <map>
#include <set>

namespace {

QString SpreadsheetField(QString text)
{
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        !text.contains(QLatin1Char('"')))
        return text;
    text.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

TResultGrid::TResultGrid(QWidget *parent) : QTableView(parent) {}

QString TResultGrid::CellsText(const QModelIndexList &cells)
{
    std::map<int, std::map<int, QString>> rows;
    std::set<int> columns;
    for (const QModelIndex &cell : cells) {
        rows[cell.row()][cell.column()] = cell.data(Qt::DisplayRole).toString();
        columns.insert(cell.column());
    }
    QStringList lines;
    for (const auto &[row, texts] : rows) {
        QStringList fields;
        for (int column : columns) {
            const auto found = texts.find(column);
            fields << (found == texts.end() ? QString() : SpreadsheetField(found->second));
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void TResultGrid::CopySelection() const
{
    const QModelIndexList cells = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (!cells.isEmpty())
        QApplication::clipboard()->setText(CellsText(cells));
}

void TResultGrid::keyPressEvent(QKeyEvent *event)
{
    // The view's own copy takes the current cell only.
    if (event == QKeySequence::Copy) {
        CopySelection();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
