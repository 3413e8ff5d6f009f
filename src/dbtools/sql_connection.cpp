#include "dbtools/sql_connection.h"

#include "model/result_set.h"

#include <mutex>

namespace {

std::mutex HookMutex;
ISqlConnection::TConnectionLostHook &LostHook()
{
    static ISqlConnection::TConnectionLostHook hook;
    return hook;
}

// Keeps every row; a name met twice (two tables' ID columns) gets a suffix,
// since the result set holds each column name once.
class TResultSetSink : public ISqlRowSink {
public:
    explicit TResultSetSink(TOSResultSet &result) : m_result(result) {}

    void Columns(const QStringList &names) override
    {
        for (const QString &name : names) {
            QString unique = name;
            for (int n = 2; m_result.IndexOfColumn(unique) >= 0; ++n)
                unique = name + QLatin1Char('_') + QString::number(n);
            m_result.AddColumn(unique);
        }
    }

    bool Row(const QVariantList &values) override
    {
        TOSRow *row = m_result.AddRow();
        for (int i = 0; i < values.size() && i < row->Count(); ++i)
            row->SetValue(i, values[i]);
        return true;
    }

private:
    TOSResultSet &m_result;
};

} // namespace

std::unique_ptr<TOSResultSet> ISqlConnection::Query(const QString &sql, const TSqlBinds &binds)
{
    auto result = std::make_unique<TOSResultSet>();
    TResultSetSink sink(*result);
    Execute(sql, binds, &sink);
    return result;
}

ESqlConnectionLost::ESqlConnectionLost(const QString &reason)
    : ESqlError(reason + QStringLiteral("\nThe connection to the database is lost; working offline."))
{
}

void ISqlConnection::SetConnectionLostHook(TConnectionLostHook hook)
{
    std::lock_guard lock(HookMutex);
    LostHook() = std::move(hook);
}

void ISqlConnection::RaiseConnectionLost(const QString &reason)
{
    TConnectionLostHook hook;
    {
        std::lock_guard lock(HookMutex);
        hook = LostHook();
    }
    if (hook)
        hook();
    throw ESqlConnectionLost(reason);
}
