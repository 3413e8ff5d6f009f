#pragma once
// THashTable: the LZW encoder's string table, (prefix code, suffix byte) keys to codes in
// one fixed array of slots.
#include <cstdint>
#include <memory>

namespace gif {

class THashTable
{
public:
    // A prime, so the probe sequence below is a walk through a multiplicative group.
    static constexpr int HashSize = 8009;

    THashTable();

    void Clear();
    // key = (prefix code shl 8) or suffix; code in 0..4095.
    void Insert(std::uint32_t key, int code);
    // Answers the code stored for key, or -1. The first slot of the probe is looked at
    // here, inline, as that is where the encoder's strings are nearly always found.
    int Lookup(std::uint32_t key) const
    {
        const int h = Hash(key);
        const std::uint32_t slot = FSlots[h];
        if (Empty(slot))
            return -1;
        if ((slot >> 12) == key)
            return int(slot & 4095u);
        return LookupFrom(NextSlot(h), key);
    }

private:
    static int Hash(std::uint32_t key) { return int(((key >> 4) ^ key) % std::uint32_t(HashSize)); }
    // The rest of Lookup's probe, from slot h on.
    int LookupFrom(int h, std::uint32_t key) const;
    // Probing doubles the slot modulo the prime (slot 0 goes to the last slot). 2 has order
    // 4004 modulo 8009, so a probe stays in one of two cycles of 4004 slots, while a table
    // of a small code size holds up to 4089 strings: pictures can fill a cycle. A probe
    // therefore gives up after one round and the whole array is searched instead.
    static int NextSlot(int h)
    {
        int next = (h == 0) ? h - 1 : h - (HashSize - h);
        if (next < 0)
            next += HashSize;
        return next;
    }
    static bool Empty(std::uint32_t slot) { return (slot >> 12) == 0xFFFFF; }

    std::unique_ptr<std::uint32_t[]> FSlots;
};

}  // namespace gif
