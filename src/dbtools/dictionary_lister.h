#pragma once
// IDictionaryLister: what a session offers besides IDatabaseSession for the
// lists of the Entities list and the explorer.
#include <QString>
#include <QStringList>

// An empty owner means all owners. Each entry is "OWNER.NAME", ordered by
// owner and name.
class IDictionaryLister {
public:
    virtual ~IDictionaryLister() = default;
    virtual QStringList ListTables(const QString &owner) = 0;
    virtual QStringList ListObjectTables(const QString &owner) = 0;
    virtual QStringList ListTypes(const QString &owner) = 0;
};
