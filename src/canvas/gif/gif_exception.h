#pragma once
// GIFException: the error of the whole GIF codec, and the few library errors it shares
// with the rest of the graphics code (invalid graphic, invalid operation, out of memory).
#include <stdexcept>
#include <string>

namespace gif {

// A picture whose data cannot be understood or produced.
class EInvalidGraphic : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An operation a picture or stream does not allow (scan line out of range, reading a writer).
class EInvalidGraphicOperation : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Memory for pixels could not be had.
class EOutOfMemory : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A stream that cannot be opened, read, written or positioned.
class EStreamError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// An object asked to copy itself from something it cannot copy.
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class GIFException : public EInvalidGraphic
{
public:
    using EInvalidGraphic::EInvalidGraphic;
};

[[noreturn]] void RaiseGIFError(const std::string &message);

}  // namespace gif
