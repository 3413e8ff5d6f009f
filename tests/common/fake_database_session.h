#pragma once
// A database session for the model and canvas tests, below the layer of the
// real one: tables and types are served from copies of prepared ones, calls
// are recorded, and the connected state and credentials are plain fields.
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

    ~TFakeDatabaseSession() override { if (OnDestroy) OnDestroy(); }

    // The next GetTable (GetType) of owner.name returns a copy.
    void AddTable(const TDiagramTable &table) { m_tables[Key(table.Owner, table.Name)] = Copy(table); }
    void AddType(const TDiagramType &type) { m_types[Key(type.Owner, type.Name)] = Copy(type); }

    bool GetConnected() const override { return Connected; }
    QString GetUsername() const override { return Username; }
    QString GetPassword() const override { return Password; }
    QString GetDatabase() const override { return Database; }
    void Disconnect() override
    {
        Calls << QStringLiteral("Disconnect");
        Connected = false;
    }
    std::unique_ptr<TOSResultSet> GetOwners() override { return Listed(QStringLiteral("GetOwners")); }
    QString GetTnsNamesPath() const override { return QStringLiteral("/etc/tnsnames.ora"); }
    std::unique_ptr<TOSResultSet> GetReferencedTables(const QString &owner, const QString &table) override
    {
        return Listed("GetReferencedTables " + Key(owner, table));
    }
    std::unique_ptr<TOSResultSet> GetReferencingTables(const QString &owner, const QString &table) override
    {
        return Listed("GetReferencingTables " + Key(owner, table));
    }
    QString GetQueryDataSQL(const QString &owner, const QString &table) const override
    {
        return QStringLiteral("select * \nfrom %1.%2 \nwhere rownum <= 200").arg(owner, table);
    }
    // A table missing from the dictionary comes back empty and virtual; so
    // does every object table.
    std::unique_ptr<TDiagramTable> GetTable(const QString &owner, const QString &name) override
    {
        auto table = Serve("GetTable", m_tables, owner, name);
        table->IsVirtual = !m_tables.count(Key(owner, name));
        return table;
    }
    std::unique_ptr<TDiagramObjectTable> GetObjectTable(const QString &owner, const QString &name) override
    {
        auto table = Serve("GetObjectTable", Store<TDiagramObjectTable>(), owner, name);
        table->IsVirtual = true;
        return table;
    }
    std::unique_ptr<TDiagramType> GetType(const QString &owner, const QString &name) override
    {
        return Serve("GetType", m_types, owner, name);
    }

private:
    template <class T>
    using Store = std::map<QString, std::unique_ptr<T>>;

    std::unique_ptr<TOSResultSet> Listed(const QString &call)
    {
        Calls << call;
        return std::make_unique<TOSResultSet>();
    }
    static QString Key(const QString &owner, const QString &name) { return owner + QLatin1Char('.') + name; }
    // Assign leaves a type's attributes and methods alone: they are copied here.
    template <class T>
    static std::unique_ptr<T> Copy(const T &source)
    {
        auto copy = std::make_unique<T>();
        copy->Assign(source);
        if constexpr (std::is_same_v<T, TDiagramType>) {
            copy->Attributes.Assign(source.Attributes);
            copy->Methods.Assign(source.Methods);
        }
        return copy;
    }
    template <class T>
    std::unique_ptr<T> Serve(const char *call, const Store<T> &store, const QString &owner, const QString &name)
    {
        Calls << QStringLiteral("%1 %2.%3").arg(QLatin1String(call), owner, name);
        if (!FailWith.isEmpty())
            throw std::runtime_error(FailWith.toStdString());
        auto it = store.find(Key(owner, name));
        return it == store.end() ? std::make_unique<T>() : Copy(*it->second);
    }

    Store<TDiagramTable> m_tables;
    Store<TDiagramType> m_types;
};
