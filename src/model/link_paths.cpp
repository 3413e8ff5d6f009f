#include "model/link_paths.h"

#include <algorithm>

namespace {
std::unique_ptr<TLinkPath> MakePath(const QString &refTableName, const QString &refTableOwner, int rank,
                                    const QString &keyName)
{
    auto path = std::make_unique<TLinkPath>();
    path->Rank = rank;
    path->RefTableName = refTableName;
    path->RefTableOwner = refTableOwner;
    path->KeyName = keyName;
    return path;
}
} // namespace

void TLinkPathList::Hold(TBook &book, int rank, int delta)
{
    int &held = book.Held[rank];
    const bool wasFree = held == 0;
    held += delta;
    const bool isFree = held == 0;
    if (isFree)
        book.Held.remove(rank);
    if (wasFree != isFree && rank >= 1 && rank <= book.Bound) {
        if (isFree)
            book.Free.insert(rank);
        else
            book.Free.erase(rank);
    }
}

void TLinkPathList::Attach(const TLinkPath &path)
{
    TBook &book = m_books[{path.RefTableName, path.RefTableOwner}];
    ++book.Paths;
    Hold(book, path.Rank, 1);
    while (book.Bound <= book.Paths) {
        ++book.Bound;
        if (!book.Held.contains(book.Bound))
            book.Free.insert(book.Free.end(), book.Bound);
    }
}

void TLinkPathList::Detach(const TLinkPath &path)
{
    const auto at = m_books.find({path.RefTableName, path.RefTableOwner});
    Hold(*at, path.Rank, -1);
    if (--at->Paths == 0)
        m_books.erase(at);
}

int TLinkPathList::LowestFree(const TRef &ref, const std::vector<std::size_t> &named, std::size_t others)
{
    const auto at = m_books.find(ref);
    if (at == m_books.end())
        return 1;
    const auto own = [&](std::size_t i) {
        const TLinkPath &path = *m_items[named[i]];
        return path.RefTableName == ref.first && path.RefTableOwner == ref.second;
    };
    for (std::size_t i = 0; i < others; ++i)
        if (own(i))
            Hold(*at, m_items[named[i]]->Rank, -1);
    const int rank = *at->Free.begin();
    for (std::size_t i = 0; i < others; ++i)
        if (own(i))
            Hold(*at, m_items[named[i]]->Rank, 1);
    return rank;
}

void TLinkPathList::Add(const QString &refTableName, const QString &refTableOwner, int rank,
                        const QString &keyName)
{
    auto path = MakePath(refTableName, refTableOwner, rank, keyName);
    Attach(*path);
    m_byName[keyName].push_back(m_items.size());
    m_items.push_back(std::move(path));
}

void TLinkPathList::Remove(const QString &keyName)
{
    const auto named = m_byName.constFind(keyName);
    if (named == m_byName.cend() || named->empty())
        return;
    m_items.erase(m_items.begin() + std::ptrdiff_t(named->back()));
    // The places after it move; removing alone is rare enough to count anew.
    Rebuild();
}

bool TLinkPathList::Has(const QString &refTableName, const QString &refTableOwner, int rank,
                        const QString &keyName) const
{
    const auto at = m_books.constFind({refTableName, refTableOwner});
    if (at == m_books.cend())
        return false;
    int held = at->Held.value(rank);
    const auto named = m_byName.constFind(keyName);
    for (std::size_t i : named == m_byName.cend() ? std::vector<std::size_t>() : *named) {
        const TLinkPath &path = *m_items[i];
        held -= path.Rank == rank && path.RefTableName == refTableName && path.RefTableOwner == refTableOwner;
    }
    return held > 0;
}

int TLinkPathList::Rank(const QString &refTableName, const QString &refTableOwner, const QString &keyName)
{
    std::vector<std::size_t> &named = m_byName[keyName];
    // Its last path gives way to the new one, which takes its place in the
    // list: the last of its name still.
    const bool laid = !named.empty();
    if (laid)
        Detach(*m_items[named.back()]);
    const int rank = LowestFree({refTableName, refTableOwner}, named, laid ? named.size() - 1 : 0);
    auto path = MakePath(refTableName, refTableOwner, rank, keyName);
    Attach(*path);
    if (laid) {
        m_items[named.back()] = std::move(path);
    } else {
        named.push_back(m_items.size());
        m_items.push_back(std::move(path));
    }
    return rank;
}

void TLinkPathList::EraseIf(const std::function<bool(const TLinkPath &)> &drop)
{
    std::erase_if(m_items, [&](const std::unique_ptr<const TLinkPath> &path) { return drop(*path); });
    Rebuild();
}

void TLinkPathList::Clear()
{
    m_items.clear();
    m_books.clear();
    m_byName.clear();
}

void TLinkPathList::Rebuild()
{
    m_books.clear();
    m_byName.clear();
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        Attach(*m_items[i]);
        m_byName[m_items[i]->KeyName].push_back(i);
    }
}
