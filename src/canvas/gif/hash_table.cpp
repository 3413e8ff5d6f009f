#include "canvas/gif/hash_table.h"

#include <cstring>

namespace gif {

THashTable::THashTable() : FSlots(new std::uint32_t[HashSize])
{
    Clear();
}

void THashTable::Clear()
{
    std::memset(FSlots.get(), 0xFF, sizeof(std::uint32_t) * HashSize);
}

void THashTable::Insert(std::uint32_t key, int code)
{
    int h = Hash(key);
    while (!Empty(FSlots[h]))
        h = NextSlot(h);
    FSlots[h] = (key << 12) | (std::uint32_t(code) & 4095u);
}

int THashTable::Lookup(std::uint32_t key) const
{
    int h = Hash(key);
    for (;;) {
        const std::uint32_t slot = FSlots[h];
        if (Empty(slot))
            return -1;
        if ((slot >> 12) == key)
            return int(slot & 4095u);
        h = NextSlot(h);
    }
}

}  // namespace gif
