#pragma once
// TLinkPath and TLinkPathList: the ranks that spread parallel foreign-key
// lines from one table to another, with books that find a free rank without
// reading every path (a page may hold tens of thousands of parallel keys,
// each ranked again whenever it is painted).
#include <QHash>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

class TLinkPath {
public:
    int Rank = 0;
    QString RefTableName;
    QString RefTableOwner;
    QString KeyName;
};

// Reads like a vector of paths; changes only through its own methods, so the
// books stay in step with the paths.
class TLinkPathList {
public:
    using TItems = std::vector<std::unique_ptr<const TLinkPath>>;

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    const std::unique_ptr<const TLinkPath> &operator[](std::size_t i) const { return m_items[i]; }
    TItems::const_iterator begin() const { return m_items.begin(); }
    TItems::const_iterator end() const { return m_items.end(); }

    void Add(const QString &refTableName, const QString &refTableOwner, int rank, const QString &keyName);
    // Removes the last path of that key name, if any.
    void Remove(const QString &keyName);
    // Whether a path of another key name holds the rank to that table.
    bool Has(const QString &refTableName, const QString &refTableOwner, int rank, const QString &keyName) const;
    // Gives the key the lowest rank from 1 up that no path of another key
    // name holds to that table, in place of its last path (or as a new one).
    int Rank(const QString &refTableName, const QString &refTableOwner, const QString &keyName);
    void EraseIf(const std::function<bool(const TLinkPath &)> &drop);
    void Clear();

private:
    using TRef = std::pair<QString, QString>;
    // The paths to one table: how many hold each rank, and the ranks from 1
    // to Bound none holds. The lowest free rank is never above one past the
    // number of paths, which Bound always covers.
    struct TBook {
        QHash<int, int> Held;
        std::set<int> Free;
        int Bound = 0;
        int Paths = 0;
    };

    static void Hold(TBook &book, int rank, int delta);
    void Attach(const TLinkPath &path);
    void Detach(const TLinkPath &path);
    // The lowest rank to the table that no path holds, leaving out those at
    // the first `others` of the places named (the key's own paths).
    int LowestFree(const TRef &ref, const std::vector<std::size_t> &named, std::size_t others);
    void Rebuild();

    TItems m_items;
    QHash<TRef, TBook> m_books;
    // Per key name, the places of its paths in order.
    QHash<QString, std::vector<std::size_t>> m_byName;
};
