#include "dbtools/result_grid_model.h"

TResultGridModel::TResultGridModel(QObject *parent) : QAbstractTableModel(parent) {}

void TResultGridModel::SetBounds(qsizetype maxRows, qsizetype maxBytes)
{
    m_maxRows = qMax<qsizetype>(1, maxRows);
    m_maxBytes = maxBytes;
    DropOldest();
}

void TResultGridModel::Reset(const QStringList &columns)
{
    beginResetModel();
    m_columns = columns;
    // Swapping with empty containers gives their blocks back at once.
    std::deque<QVariantList>().swap(m_rows);
    std::deque<qsizetype>().swap(m_rowBytes);
    m_first = 0;
    m_bytes = 0;
    endResetModel();
}

qsizetype TResultGridModel::RowBytes(const QVariantList &row)
{
    // What a row holds beyond its cells' own slots: the text or bytes behind them.
    qsizetype bytes = qsizetype(sizeof(QVariant)) * row.size() + 64;
    for (const QVariant &value : row) {
        if (value.typeId() == QMetaType::QString)
            bytes += 2 * value.toString().size();
        else if (value.typeId() == QMetaType::QByteArray)
            bytes += value.toByteArray().size();
    }
    return bytes;
}

void TResultGridModel::Append(const QList<QVariantList> &rows)
{
    if (rows.isEmpty())
        return;
    const int first = int(m_rows.size());
    beginInsertRows({}, first, first + int(rows.size()) - 1);
    for (const QVariantList &row : rows) {
        const qsizetype bytes = RowBytes(row);
        m_rows.push_back(row);
        m_rowBytes.push_back(bytes);
        m_bytes += bytes;
    }
    endInsertRows();
    DropOldest();
}

void TResultGridModel::DropOldest()
{
    qsizetype drop = 0;
    qsizetype bytes = m_bytes;
    const qsizetype kept = qsizetype(m_rows.size());
    // The newest row stays whatever it weighs.
    while (kept - drop > 1 && (kept - drop > m_maxRows || bytes > m_maxBytes))
        bytes -= m_rowBytes[size_t(drop++)];
    if (drop == 0)
        return;
    beginRemoveRows({}, 0, int(drop) - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + drop);
    m_rowBytes.erase(m_rowBytes.begin(), m_rowBytes.begin() + drop);
    m_bytes = bytes;
    m_first += drop;
    endRemoveRows();
}

QString TResultGridModel::CellText(int row, int column) const
{
    if (row < 0 || row >= int(m_rows.size()))
        return {};
    const QVariantList &values = m_rows[size_t(row)];
    if (column < 0 || column >= values.size() || values[column].isNull())
        return {};
    return values[column].toString();
}

int TResultGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TResultGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TResultGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return CellText(index.row(), index.column());
}

QVariant TResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section >= 0 && section < m_columns.size() ? QVariant(m_columns[section]) : QVariant();
    return QString::number(m_first + section + 1);
}
