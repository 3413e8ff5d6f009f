#include "canvas/print/dib_memory.h"

#include <cstdlib>
#include <utility>

namespace {
// Printing runs on the main thread only, so plain counters do.
std::size_t LiveBytes_ = 0;
std::size_t LiveBlocks_ = 0;
std::size_t PeakBytes_ = 0;
} // namespace

TDibBlock::TDibBlock(std::size_t size)
{
    if (size == 0)
        return;
    Data_ = static_cast<std::uint8_t *>(std::calloc(size, 1));
    if (!Data_)
        return;
    Size_ = size;
    LiveBytes_ += size;
    ++LiveBlocks_;
    if (LiveBytes_ > PeakBytes_)
        PeakBytes_ = LiveBytes_;
}

TDibBlock::TDibBlock(TDibBlock &&other) noexcept
    : Data_(std::exchange(other.Data_, nullptr)), Size_(std::exchange(other.Size_, 0))
{
}

TDibBlock &TDibBlock::operator=(TDibBlock &&other) noexcept
{
    if (this != &other) {
        Release();
        Data_ = std::exchange(other.Data_, nullptr);
        Size_ = std::exchange(other.Size_, 0);
    }
    return *this;
}

void TDibBlock::Release()
{
    if (!Data_)
        return;
    std::free(Data_);
    LiveBytes_ -= Size_;
    --LiveBlocks_;
    Data_ = nullptr;
    Size_ = 0;
}

std::size_t TDibBlock::LiveBytes() { return LiveBytes_; }
std::size_t TDibBlock::LiveBlocks() { return LiveBlocks_; }
std::size_t TDibBlock::PeakBytes() { return PeakBytes_; }
void TDibBlock::ResetPeak() { PeakBytes_ = LiveBytes_; }

void FreeDibMemory(TDibBlock &block)
{
    block.Release();
}
