#pragma once
// TStream: a positioned byte stream, the one thing every GIF block reads from and writes to.
#include <cstddef>
#include <cstdint>

namespace gif {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream
{
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; answers how many arrived (0 at the end).
    virtual std::size_t Read(void *buffer, std::size_t count) = 0;
    // Writes all count bytes or raises EStreamError.
    virtual void Write(const void *buffer, std::size_t count) = 0;
    // Answers the new position; positions beyond the end are allowed, before 0 are not.
    virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
    virtual std::int64_t Size() = 0;

    std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
    // Bytes between the position and the end; 0 when positioned beyond it.
    std::int64_t Remaining();
};

}  // namespace gif
