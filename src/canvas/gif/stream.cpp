#include "canvas/gif/stream.h"

namespace gif {

std::int64_t TStream::Remaining()
{
    const std::int64_t left = Size() - Position();
    return left > 0 ? left : 0;
}

}  // namespace gif
