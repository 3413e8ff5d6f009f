#include "model/result_set.h"

EOSResultSetError::EOSResultSetError(const QString &message) : std::runtime_error(message.toStdString()) {}

TOSCell *TOSRow::GetCellByName(const QString &name) const
{
    const int index = m_resultSet ? m_resultSet->IndexOfColumn(name.toUpper()) : -1;
    if (index < 0)
        throw EOSResultSetError(QStringLiteral("Column does not exist: ") + name);
    return GetCell(index);
}

TOSCell *TOSRow::GetCell(int index) const
{
    if (index < 0 || index >= Count())
        throw EOSResultSetError(QStringLiteral("Column index not valid: ") + QString::number(index));
    return m_cells[size_t(index)].get();
}

void TOSRow::GetValueByName(const QString &name, QVariant &value) const
{
    GetCellByName(name)->GetValue(value);
}

QVariant TOSRow::GetValueByName(const QString &name) const
{
    return GetCellByName(name)->Value();
}

void TOSRow::SetValue(int index, const QVariant &value)
{
    GetCell(index)->SetValue(value);
}

TOSResultSet::TOSResultSet() = default;
TOSResultSet::~TOSResultSet() = default;

void TOSResultSet::AddColumn(const QString &name)
{
    if (!m_rows.empty())
        throw EOSResultSetError(QStringLiteral("Columns cannot be modified after adding data rows."));
    if (IndexOfColumn(name) >= 0)
        throw EOSResultSetError(QStringLiteral("A column with name already exists: ") + name);
    m_columnNames.append(name.toUpper());
}

TOSRow *TOSResultSet::AddRow()
{
    if (m_columnNames.isEmpty())
        throw EOSResultSetError(QStringLiteral("Columns must be defined before adding data rows."));
    auto row = std::make_unique<TOSRow>(this);
    row->m_cells.reserve(size_t(m_columnNames.size()));
    for (qsizetype i = 0; i < m_columnNames.size(); ++i)
        row->m_cells.push_back(std::make_unique<TOSCell>());
    m_rows.push_back(std::move(row));
    return m_rows.back().get();
}

int TOSResultSet::IndexOfColumn(const QString &name) const
{
    for (qsizetype i = 0; i < m_columnNames.size(); ++i)
        if (m_columnNames[i].compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

// A row index outside the rows fails as an index into any list does.
TOSRow *TOSResultSet::GetRow(int index) const
{
    if (index < 0 || index >= RowCount())
        throw EOSResultSetError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return m_rows[size_t(index)].get();
}
