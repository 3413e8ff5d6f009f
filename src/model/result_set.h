#pragma once
// TOSResultSet: the in-memory grid in which a database session returns the
// rows of a query: upper-cased column names, rows of one QVariant per column.
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <stdexcept>
#include <vector>

class TOSResultSet;

// Raised by the result set, its rows and cells; nothing has changed then.
class EOSResultSetError : public std::runtime_error
{
public:
    explicit EOSResultSetError(const QString &message);
};

// The value of one column in one row; a new cell holds a null QVariant.
class TOSCell
{
public:
    void GetValue(QVariant &value) const { value = m_value; }
    const QVariant &Value() const { return m_value; }
    void SetValue(const QVariant &value) { m_value = value; }

private:
    QVariant m_value;
};

// One row: exactly one cell per column of its result set, in column order.
class TOSRow
{
public:
    explicit TOSRow(TOSResultSet *resultSet = nullptr) : m_resultSet(resultSet) {}
    TOSRow(const TOSRow &) = delete;
    TOSRow &operator=(const TOSRow &) = delete;

    // The cell of the named column, letter case ignored.
    TOSCell *GetCellByName(const QString &name) const;
    // The cell at a 0-based column index.
    TOSCell *GetCell(int index) const;
    void GetValueByName(const QString &name, QVariant &value) const;
    QVariant GetValueByName(const QString &name) const;
    void SetValue(int index, const QVariant &value);
    void SetResultSet(TOSResultSet *resultSet) { m_resultSet = resultSet; }
    TOSResultSet *ResultSet() const { return m_resultSet; }
    int Count() const { return int(m_cells.size()); }

private:
    friend class TOSResultSet;
    TOSResultSet *m_resultSet;
    std::vector<std::unique_ptr<TOSCell>> m_cells;
};

class TOSResultSet
{
public:
    TOSResultSet();
    virtual ~TOSResultSet();
    TOSResultSet(const TOSResultSet &) = delete;
    TOSResultSet &operator=(const TOSResultSet &) = delete;

    // Appends a column under its upper-cased name; only before the first row.
    void AddColumn(const QString &name);
    // Appends a row of null cells, one per column, and returns it.
    TOSRow *AddRow();
    int ColumnCount() const { return int(m_columnNames.size()); }
    // The column's index, letter case ignored; -1 when there is none.
    int IndexOfColumn(const QString &name) const;
    TOSRow *GetRow(int index) const;
    int RowCount() const { return int(m_rows.size()); }
    const QStringList &ColumnNames() const { return m_columnNames; }

    // Seconds the query took; the session writes it, 0 until then.
    double ElapsedSeconds() const { return m_elapsedSeconds; }
    void SetElapsedSeconds(double seconds) { m_elapsedSeconds = seconds; }

private:
    QStringList m_columnNames;
    std::vector<std::unique_ptr<TOSRow>> m_rows;
    double m_elapsedSeconds = 0;
};
