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
    const std::uint32_t entry = (key << 12) | (std::uint32_t(code) & 4095u);
    int h = Hash(key);
    for (int probe = 0; probe < HashSize; ++probe, h = NextSlot(h)) {
        if (Empty(FSlots[h])) {
            FSlots[h] = entry;
            return;
        }
    }
    // The key's probe cycle is full (and stays so until Clear): any free slot will do, and
    // Lookup finds it by the same fallback.
    for (int i = 0; i < HashSize; ++i) {
        if (Empty(FSlots[i])) {
            FSlots[i] = entry;
            return;
        }
    }
}

int THashTable::LookupFrom(int h, std::uint32_t key) const
{
    for (int probe = 1; probe < HashSize; ++probe, h = NextSlot(h)) {
        const std::uint32_t slot = FSlots[h];
        if (Empty(slot))
            return -1;
        if ((slot >> 12) == key)
            return int(slot & 4095u);
    }
    for (int i = 0; i < HashSize; ++i)
        if (!Empty(FSlots[i]) && (FSlots[i] >> 12) == key)
            return int(FSlots[i] & 4095u);
    return -1;
}

}  // namespace gif
