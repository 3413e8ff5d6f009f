// Link ranks through long runs of painting, removing and direct adds.
#include "model/link_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// A path as "KEY>TABLE.OWNER=rank".
QString Text(const TLinkPath &path)
{
    return QString("%1>%2.%3=%4").arg(path.KeyName, path.RefTableName, path.RefTableOwner).arg(path.Rank);
}
QStringList Paths(const TLinkPathList &list)
{
    QStringList out;
    for (const auto &path : list)
        out << Text(*path);
    return out;
}

TEST(LinkPathList, RanksFollowKeysToTwoTablesThroughRemovalsAndDuplicateNames)
{
    TLinkPathList list;
    // Op: R ranks (expecting), A adds directly at the rank, D removes, E drops the paths to the table.
    const struct {
        char Op;
        const char *Key, *Table, *Owner;
        int Rank;
    } steps[] = {
        {'R', "K1", "D", "S", 1}, {'R', "K2", "D", "S", 2}, {'R', "K3", "E", "S", 1}, {'R', "K4", "D", "S", 3},
        {'R', "K2", "D", "S", 2}, {'D', "K1", "", "", 0},   {'R', "K5", "D", "S", 1}, {'R', "K1", "D", "S", 4},
        {'R', "K2", "E", "S", 2}, {'R', "K6", "D", "S", 2}, {'A', "DUP", "D", "S", 5}, {'A', "DUP", "D", "S", 1},
        {'R', "K7", "D", "S", 6}, {'R', "DUP", "D", "S", 5}, {'R', "DUP", "E", "S", 3}, {'R', "K8", "D", "S", 7},
        {'R', "k8", "D", "S", 8}, {'R', "K9", "D", "s", 1}, {'D', "DUP", "", "", 0},  {'E', "", "E", "S", 0},
        {'R', "K3", "E", "S", 1}, {'R', "K9", "D", "S", 9},
    };
    for (const auto &step : steps) {
        SCOPED_TRACE(QString("%1 %2").arg(step.Op).arg(step.Key).toStdString());
        if (step.Op == 'R')
            EXPECT_EQ(list.Rank(step.Table, step.Owner, step.Key), step.Rank);
        else if (step.Op == 'A')
            list.Add(step.Table, step.Owner, step.Rank, step.Key);
        else if (step.Op == 'D')
            list.Remove(step.Key);
        else
            list.EraseIf([&](const TLinkPath &path) { return path.RefTableName == step.Table; });
    }
    // A key ranked again keeps its place; removing took DUP's last path, the one to E.
    EXPECT_EQ(Paths(list).join(' '), "K4>D.S=3 K5>D.S=1 K1>D.S=4 K6>D.S=2 DUP>D.S=5 K7>D.S=6 K8>D.S=7 k8>D.S=8 "
                                     "K9>D.S=9 K3>E.S=1");
    EXPECT_TRUE(list.Has("D", "S", 5, "K1"));
    EXPECT_FALSE(list.Has("D", "S", 5, "DUP")) << "a key's own paths leave its rank free to it";
    EXPECT_FALSE(list.Has("D", "S", 10, "K1"));
}

// Random runs with few names, tables and ranks (dense with duplicates and
// odd ranks) against the rule written plainly.
TEST(LinkPathList, RandomRunsMatchThePlainRule)
{
    std::mt19937 random(7);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const QString names[] = {"A", "B", "C", "D"}, tables[] = {"X", "Y"}, owners[] = {"S", "T"};
    const int ranks[] = {-1, 0, 1, 2, 3, 7};
    TLinkPathList list;
    std::vector<TLinkPath> plain;
    const auto held = [&](const QString &table, const QString &owner, int rank, const QString &key) {
        return std::any_of(plain.begin(), plain.end(), [&](const TLinkPath &p) {
            return p.RefTableName == table && p.RefTableOwner == owner && p.Rank == rank && p.KeyName != key;
        });
    };
    const auto last = [&](const QString &key) {
        auto at = std::find_if(plain.rbegin(), plain.rend(), [&](const TLinkPath &p) { return p.KeyName == key; });
        return at == plain.rend() ? plain.end() : std::prev(at.base());
    };
    for (int step = 0; step < 5000; ++step) {
        const QString key = names[pick(4)], table = tables[pick(2)], owner = owners[pick(2)];
        const int rank = ranks[pick(6)], op = pick(20);
        if (op < 10) {
            int expected = 1;
            while (held(table, owner, expected, key))
                ++expected;
            const auto at = last(key);
            if (at != plain.end())
                *at = {expected, table, owner, key};
            else
                plain.push_back({expected, table, owner, key});
            ASSERT_EQ(list.Rank(table, owner, key), expected) << step;
        } else if (op < 13) {
            list.Add(table, owner, rank, key);
            plain.push_back({rank, table, owner, key});
        } else if (op < 16) {
            list.Remove(key);
            if (const auto at = last(key); at != plain.end())
                plain.erase(at);
        } else if (op < 19) {
            ASSERT_EQ(list.Has(table, owner, rank, key), held(table, owner, rank, key)) << step;
        } else {
            list.EraseIf([&](const TLinkPath &p) { return p.Rank == rank; });
            std::erase_if(plain, [&](const TLinkPath &p) { return p.Rank == rank; });
        }
        QStringList expected;
        for (const TLinkPath &p : plain)
            expected << Text(p);
        ASSERT_EQ(Paths(list), expected) << step;
    }
}

} // namespace
