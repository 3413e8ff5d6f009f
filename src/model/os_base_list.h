#pragma once
// TOSBaseList: the ordered object list under every model collection, owning
// its items or not, with look-up by name and deep copy through CopyItem.
#include "model/base_model_object.h"
#include "model/model_errors.h"

#include <cstdint>
#include <memory>
#include <vector>

class TOSBaseList {
public:
    explicit TOSBaseList(bool ownsObjects);
    virtual ~TOSBaseList();
    TOSBaseList(const TOSBaseList &) = delete;
    TOSBaseList &operator=(const TOSBaseList &) = delete;

    // A new object that copies the item at Index; the base copies nothing.
    virtual std::unique_ptr<TBaseModelObject> CopyItem(int index) const;
    // Makes this list a deep copy of Source, item by item through Source's CopyItem.
    virtual void Assign(const TOSBaseList &source);

    void Clear();
    int Count() const { return static_cast<int>(m_items.size()); }
    int Add(TBaseModelObject *item);
    // Takes ownership when the list owns its items.
    int Add(std::unique_ptr<TBaseModelObject> item) { return Add(item.release()); }
    void Remove(TBaseModelObject *item);
    TBaseModelObject *GetItem(int index) const;
    bool Contains(const TBaseModelObject *item) const { return IndexOf(item) >= 0; }
    int IndexOf(const TBaseModelObject *item) const;
    void MoveToFirst(TBaseModelObject *item);
    void MoveToLast(TBaseModelObject *item);
    void ExchangeWith(TBaseModelObject *item, int index);
    void MoveItem(TBaseModelObject *item, int step);
    TBaseModelObject *FindByName(const QString &name) const;
    // Takes an item out without freeing it, whatever the ownership.
    TBaseModelObject *Extract(TBaseModelObject *item);
    void Insert(int index, TBaseModelObject *item);

    bool OwnsObjects() const { return m_ownsObjects; }
    void SetOwnsObjects(bool value) { m_ownsObjects = value; }

    const std::vector<TBaseModelObject *> &Items() const { return m_items; }

    // Changes whenever an item comes, goes or moves, so that look-ups kept
    // beside the list know when to start again.
    std::uint64_t Revision() const { return m_revision; }
    // Changes whenever any model object takes the name of another (Assign):
    // names of listed objects change no other way.
    static std::uint64_t NamesRevision() { return s_namesRevision; }
    static void NamesChanged() { ++s_namesRevision; }

protected:
    void Exchange(int a, int b);
    void CheckIndex(int index) const;
    void FreeItem(TBaseModelObject *item) const;

private:
    std::vector<TBaseModelObject *> m_items;
    bool m_ownsObjects;
    std::uint64_t m_revision = 0;
    static inline std::uint64_t s_namesRevision = 0;
};

// A list whose items are all of class T: typed access, typed iteration and
// a CopyItem that makes a new T.
template <class T>
class TOSTypedList : public TOSBaseList {
public:
    TOSTypedList() : TOSBaseList(true) {}

    T *Get(int index) const
    {
        auto *typed = dynamic_cast<T *>(GetItem(index));
        if (!typed)
            throw EInvalidCast();
        return typed;
    }
    T *FindTyped(const QString &name) const
    {
        TBaseModelObject *found = FindByName(name);
        if (!found)
            return nullptr;
        auto *typed = dynamic_cast<T *>(found);
        if (!typed)
            throw EInvalidCast();
        return typed;
    }

protected:
    // Typed lists override CopyItem with this, once their item class is complete.
    template <class U = T>
    std::unique_ptr<TBaseModelObject> CopyTyped(int index) const
    {
        auto copy = std::make_unique<U>();
        copy->Assign(*GetItem(index));
        return copy;
    }

public:
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T *;
        using difference_type = std::ptrdiff_t;
        using pointer = T **;
        using reference = T *;
        explicit const_iterator(std::vector<TBaseModelObject *>::const_iterator it) : m_it(it) {}
        T *operator*() const
        {
            auto *typed = dynamic_cast<T *>(*m_it);
            if (!typed)
                throw EInvalidCast();
            return typed;
        }
        const_iterator &operator++() { ++m_it; return *this; }
        bool operator==(const const_iterator &o) const { return m_it == o.m_it; }
        bool operator!=(const const_iterator &o) const { return m_it != o.m_it; }
    private:
        std::vector<TBaseModelObject *>::const_iterator m_it;
    };
    const_iterator begin() const { return const_iterator(Items().begin()); }
    const_iterator end() const { return const_iterator(Items().end()); }
};
