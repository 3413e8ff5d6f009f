#pragma once
// TDibBlock: one zero-filled block of the printing engine's working memory.
// Every block is counted while it lives, so the engine's peak use can be
// measured and a leaked or twice-freed block shows up in the counts.
#include <cstddef>
#include <cstdint>

class TDibBlock {
public:
    TDibBlock() = default;
    // Allocates size bytes, all zero; an empty block when the memory is not there.
    explicit TDibBlock(std::size_t size);
    ~TDibBlock() { Release(); }
    TDibBlock(TDibBlock &&other) noexcept;
    TDibBlock &operator=(TDibBlock &&other) noexcept;
    TDibBlock(const TDibBlock &) = delete;
    TDibBlock &operator=(const TDibBlock &) = delete;

    std::uint8_t *Data() { return Data_; }
    const std::uint8_t *Data() const { return Data_; }
    std::size_t Size() const { return Size_; }
    bool IsNull() const { return Data_ == nullptr; }
    // Gives the memory back; a released or empty block is left alone.
    void Release();

    // Bytes and blocks held by all blocks now, and the most bytes held at once
    // since the last ResetPeak.
    static std::size_t LiveBytes();
    static std::size_t LiveBlocks();
    static std::size_t PeakBytes();
    static void ResetPeak();

private:
    std::uint8_t *Data_ = nullptr;
    std::size_t Size_ = 0;
};

// Releases a block; an empty one is ignored.
void FreeDibMemory(TDibBlock &block);
