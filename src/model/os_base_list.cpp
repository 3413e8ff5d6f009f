#include "model/os_base_list.h"

#include <algorithm>
#include <utility>

TOSBaseList::TOSBaseList(bool ownsObjects) : m_ownsObjects(ownsObjects) {}

TOSBaseList::~TOSBaseList() { Clear(); }

void TOSBaseList::FreeItem(TBaseModelObject *item) const
{
    if (m_ownsObjects)
        std::unique_ptr<TBaseModelObject>{item};
}

std::unique_ptr<TBaseModelObject> TOSBaseList::CopyItem(int index) const
{
    CheckIndex(index);
    return std::make_unique<TBaseModelObject>();
}

void TOSBaseList::Assign(const TOSBaseList &source)
{
    if (&source == this)
        return;
    Clear();
    m_items.reserve(source.m_items.size());
    for (int i = 0; i < source.Count(); ++i)
        Add(source.CopyItem(i).release());
}

void TOSBaseList::Clear()
{
    // Detach first so that an item's destructor never sees a half-cleared list.
    std::vector<TBaseModelObject *> items;
    items.swap(m_items);
    ++m_revision;
    for (auto *item : items)
        FreeItem(item);
}

int TOSBaseList::Add(TBaseModelObject *item)
{
    m_items.push_back(item);
    ++m_revision;
    return Count() - 1;
}

void TOSBaseList::Remove(TBaseModelObject *item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return;
    m_items.erase(m_items.begin() + index);
    ++m_revision;
    FreeItem(item);
}

TBaseModelObject *TOSBaseList::Extract(TBaseModelObject *item)
{
    const int index = IndexOf(item);
    if (index < 0)
        return nullptr;
    m_items.erase(m_items.begin() + index);
    ++m_revision;
    return item;
}

void TOSBaseList::Insert(int index, TBaseModelObject *item)
{
    if (index < 0 || index > Count())
        throw EListError(index);
    m_items.insert(m_items.begin() + index, item);
    ++m_revision;
}

void TOSBaseList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(index);
}

TBaseModelObject *TOSBaseList::GetItem(int index) const
{
    CheckIndex(index);
    return m_items[static_cast<size_t>(index)];
}

int TOSBaseList::IndexOf(const TBaseModelObject *item) const
{
    auto it = std::find(m_items.begin(), m_items.end(), item);
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

void TOSBaseList::Exchange(int a, int b)
{
    CheckIndex(a);
    CheckIndex(b);
    std::swap(m_items[static_cast<size_t>(a)], m_items[static_cast<size_t>(b)]);
    ++m_revision;
}

void TOSBaseList::MoveToFirst(TBaseModelObject *item)
{
    ExchangeWith(item, 0);
}

void TOSBaseList::MoveToLast(TBaseModelObject *item)
{
    ExchangeWith(item, Count() - 1);
}

void TOSBaseList::ExchangeWith(TBaseModelObject *item, int index)
{
    const int from = IndexOf(item);
    if (from < 0)
        return;
    Exchange(from, index);
}

void TOSBaseList::MoveItem(TBaseModelObject *item, int step)
{
    const int i = IndexOf(item);
    if (i < 0 || step == 0)
        return;
    const int to = step < 0 ? i - 1 : i + 1;
    if (to < 0 || to >= Count())
        return;
    m_items.erase(m_items.begin() + i);
    m_items.insert(m_items.begin() + to, item);
    ++m_revision;
}

TBaseModelObject *TOSBaseList::FindByName(const QString &name) const
{
    for (auto *item : m_items) {
        if (!dynamic_cast<TBaseDiagramObject *>(item))
            throw EInvalidCast();
        if (item->Name == name)
            return item;
    }
    return nullptr;
}
