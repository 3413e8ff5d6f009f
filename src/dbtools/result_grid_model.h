#pragma once
// TResultGridModel: the rows of a query as the SQL editor's grid shows them.
// It keeps a window of the latest rows, not the whole result: once the bound
// is passed the oldest rows are let go, and the row headers keep counting from
// the result's first row.
#include <QAbstractTableModel>
#include <QStringList>

#include <deque>

class TResultGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Ten thousand rows of a wide result stay within a few tens of MB; a few
    // huge values are held to the byte bound instead.
    static constexpr qsizetype DefaultMaxRows = 10000;
    static constexpr qsizetype DefaultMaxBytes = 64 * 1024 * 1024;

    explicit TResultGridModel(QObject *parent = nullptr);

    void SetBounds(qsizetype maxRows, qsizetype maxBytes);
    void Reset(const QStringList &columns = {});
    void Append(const QList<QVariantList> &rows);

    // Rows of the result received so far, whether still kept or not.
    qint64 TotalRows() const { return m_first + qint64(m_rows.size()); }
    // The result's index of the first row kept.
    qint64 FirstKeptRow() const { return m_first; }
    qint64 KeptRows() const { return qint64(m_rows.size()); }
    // The cell's text as the grid shows it; a null is empty.
    QString CellText(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    static qsizetype RowBytes(const QVariantList &row);
    void DropOldest();

    QStringList m_columns;
    std::deque<QVariantList> m_rows;
    std::deque<qsizetype> m_rowBytes;
    qint64 m_first = 0;
    qsizetype m_bytes = 0;
    qsizetype m_maxRows = DefaultMaxRows;
    qsizetype m_maxBytes = DefaultMaxBytes;
};
