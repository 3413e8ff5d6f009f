#include "canvas/gif/gif_persistent.h"

#include "canvas/gif/gif_exception.h"

namespace gif {

void TGIFPersistent::Assign(const TGIFPersistent *source)
{
    AssignError(source);
}

void TGIFPersistent::AssignError(const TGIFPersistent *source) const
{
    const std::string from = source ? source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

}  // namespace gif
