#include "canvas/gif/gif_exception.h"

namespace gif {

void RaiseGIFError(const std::string &message)
{
    throw GIFException(message);
}

}  // namespace gif
