#pragma once
// The byte-level stream routines every GIF block uses: single bytes, checked reads, and
// lines of text carried as data sub-blocks.
#include "canvas/gif/stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gif {

// Lines of a comment or plain-text block; bytes, not characters.
using TGIFStrings = std::vector<std::string>;

void WriteByte(TStream &stream, std::uint8_t value);
// Answers the byte read, or -1 when the stream had none left.
int ReadByte(TStream &stream);
// Reads exactly count bytes, or raises GIFException "Premature end of data".
void ReadCheck(TStream &stream, void *buffer, std::size_t count);

// Each line as sub-blocks of at most 255 bytes, then one block terminator.
void WriteStrings(TStream &stream, const TGIFStrings &lines);
// One line per sub-block, up to a zero length or the end of the stream.
void ReadStrings(TStream &stream, TGIFStrings &lines);

}  // namespace gif
