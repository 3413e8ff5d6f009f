#pragma once
// A database session for tests: tables, object tables and types are served
// from copies of prepared models, calls are recorded, and the connected state
// and credentials are plain fields.
#include "model/database_session.h"
#include "model/diagram_table.h"
#include "model/diagram_type.h"
#include "model/result_set.h"

#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>

class TFakeDatabaseSession : public IDatabaseSession {
public:
    bool Connected = true;
    QString Username = QStringLiteral("scott");
    QString Password = QStringLiteral("tiger");
    QString Database = QStringLiteral("orcl");
    QStringList Calls;
    // Raised by every builder when set, as a failed dictionary query would.
    QString FailWith;
    // Runs when the session is destroyed (to check the order of shut-down).
    std::function<void()> OnDestroy;

    ~TFakeDatabaseSession() override
    {
        if (OnDestroy)
            OnDestroy();
    }

    // The next GetTable of owner.name returns a copy of this table.
    void AddTable(const TDiagramTable &table)
    {
        auto copy = std::make_unique<TDiagramTable>();
        copy->Assign(table);
        m_tables[table.Owner + QLatin1Char('.') + table.Name] = std::move(copy);
    }
    void AddObjectTable(const TDiagramObjectTable &table)
    {
        auto copy = std::make_unique<TDiagramObjectTable>();
        copy->Assign(table);
        m_objectTables[table.Owner + QLatin1Char('.') + table.Name] = std::move(copy);
    }
    void AddType(const TDiagramType &type)
    {
        auto copy = std::make_unique<TDiagramType>();
        copy->Assign(type);
        copy->Attributes.Assign(type.Attributes);
        copy->Methods.Assign(type.Methods);
        m_types[type.Owner + QLatin1Char('.') + type.Name] = std::move(copy);
    }

    bool GetConnected() const override { return Connected; }
    QString GetUsername() const override { return Username; }
    QString GetPassword() const override { return Password; }
    QString GetDatabase() const override { return Database; }
    void Disconnect() override
    {
        Calls << QStringLiteral("Disconnect");
        Connected = false;
    }
    std::unique_ptr<TOSResultSet> GetOwners() override
    {
        Calls << QStringLiteral("GetOwners");
        auto rs = std::make_unique<TOSResultSet>();
        return rs;
    }
    QString GetTnsNamesPath() const override { return QStringLiteral("/etc/tnsnames.ora"); }
    std::unique_ptr<TOSResultSet> GetReferencedTables(const QString &owner, const QString &table) override
    {
        Calls << QStringLiteral("GetReferencedTables %1.%2").arg(owner, table);
        return std::make_unique<TOSResultSet>();
    }
    std::unique_ptr<TOSResultSet> GetReferencingTables(const QString &owner, const QString &table) override
    {
        Calls << QStringLiteral("GetReferencingTables %1.%2").arg(owner, table);
        return std::make_unique<TOSResultSet>();
    }
    QString GetQueryDataSQL(const QString &owner, const QString &table) const override
    {
        return QStringLiteral("select * \nfrom %1.%2 \nwhere rownum <= 200").arg(owner, table);
    }
    std::unique_ptr<TDiagramTable> GetTable(const QString &owner, const QString &name) override
    {
        Calls << QStringLiteral("GetTable %1.%2").arg(owner, name);
        Fail();
        auto table = std::make_unique<TDiagramTable>();
        auto it = m_tables.find(owner + QLatin1Char('.') + name);
        if (it == m_tables.end()) {
            table->IsVirtual = true;
            return table;
        }
        table->Assign(*it->second);
        table->IsVirtual = false;
        return table;
    }
    std::unique_ptr<TDiagramObjectTable> GetObjectTable(const QString &owner, const QString &name) override
    {
        Calls << QStringLiteral("GetObjectTable %1.%2").arg(owner, name);
        Fail();
        auto table = std::make_unique<TDiagramObjectTable>();
        auto it = m_objectTables.find(owner + QLatin1Char('.') + name);
        if (it == m_objectTables.end()) {
            table->IsVirtual = true;
            return table;
        }
        table->Assign(*it->second);
        return table;
    }
    std::unique_ptr<TDiagramType> GetType(const QString &owner, const QString &name) override
    {
        Calls << QStringLiteral("GetType %1.%2").arg(owner, name);
        Fail();
        auto type = std::make_unique<TDiagramType>();
        auto it = m_types.find(owner + QLatin1Char('.') + name);
        if (it != m_types.end()) {
            type->Assign(*it->second);
            type->Attributes.Assign(it->second->Attributes);
            type->Methods.Assign(it->second->Methods);
        }
        return type;
    }

private:
    void Fail() const
    {
        if (!FailWith.isEmpty())
            throw std::runtime_error(FailWith.toStdString());
    }
    std::map<QString, std::unique_ptr<TDiagramTable>> m_tables;
    std::map<QString, std::unique_ptr<TDiagramObjectTable>> m_objectTables;
    std::map<QString, std::unique_ptr<TDiagramType>> m_types;
};
