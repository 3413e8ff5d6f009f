#pragma once
// TNameOwnerIndex: finds the first item of a list by name and owner in constant
// time. It lives beside its list and starts again whenever the list or any
// object's name changed, so a stale answer is never given.
#include "model/os_base_list.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <utility>

template <class T>
class TNameOwnerIndex {
public:
    T *Find(const TOSBaseList &list, const QString &name, const QString &owner) const
    {
        if (list.Revision() != m_revision || TOSBaseList::NamesRevision() != m_namesRevision || !m_built)
            Build(list);
        return m_items.value(std::pair(name, owner), nullptr);
    }

private:
    void Build(const TOSBaseList &list) const
    {
        m_items.clear();
        m_items.reserve(static_cast<qsizetype>(list.Items().size()));
        // The first of equal names answers, as a search from the front would.
        for (TBaseModelObject *object : list.Items()) {
            auto *item = static_cast<T *>(object);
            auto key = std::pair(item->Name, item->Owner);
            if (!m_items.contains(key))
                m_items.insert(std::move(key), item);
        }
        m_revision = list.Revision();
        m_namesRevision = TOSBaseList::NamesRevision();
        m_built = true;
    }

    mutable QHash<std::pair<QString, QString>, T *> m_items;
    mutable std::uint64_t m_revision = 0;
    mutable std::uint64_t m_namesRevision = 0;
    mutable bool m_built = false;
};
