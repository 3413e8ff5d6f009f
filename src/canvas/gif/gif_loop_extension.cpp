#include "canvas/gif/gif_loop_extension.h"

#include "canvas/gif/gif_exception.h"
#include "canvas/gif/gif_io.h"

namespace gif {

namespace {
std::unique_ptr<TGIFExtension> Create(TGIFSubImage *frame)
{
    return std::make_unique<TGIFAppExtNSLoop>(frame);
}

const TGIFExtensionClass *FindLoop(const TGIFExtensionClass &self, TStream &stream)
{
    // Chosen by identifier already; asked again it answers the same.
    return TGIFApplicationExtension::ClassInfo().FindExtension(self, stream);
}
}  // namespace

const TGIFExtensionClass &TGIFAppExtNSLoop::ClassInfo()
{
    static const TGIFExtensionClass info{"TGIFAppExtNSLoop", &Create, &FindLoop};
    return info;
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage *frame) : TGIFApplicationExtension(frame)
{
    Ident = MakeApplicationIdent("NETSCAPE", "2.0");
}

void TGIFAppExtNSLoop::SaveData(TStream &stream)
{
    const std::uint8_t loops[4] = {3, 1, std::uint8_t(Loops), std::uint8_t(Loops >> 8)};
    stream.Write(loops, sizeof loops);
    if (BufferSize != 0) {
        const std::uint8_t buffer[6] = {5, 2, std::uint8_t(BufferSize), std::uint8_t(BufferSize >> 8),
                                        std::uint8_t(BufferSize >> 16), std::uint8_t(BufferSize >> 24)};
        stream.Write(buffer, sizeof buffer);
    }
    WriteByte(stream, 0);
}

void TGIFAppExtNSLoop::LoadData(TStream &stream)
{
    for (;;) {
        const int size = ReadByte(stream);
        if (size < 0) {
            // The stream ended before the block's terminator.
            Warning(1, "Premature end of data");
            break;
        }
        if (size == 0)
            break;
        std::uint8_t block[255];
        ReadCheck(stream, block, std::size_t(size));
        const int id = block[0] & 7;
        const int more = size - 1;
        if (id == 1) {
            if (more < 2)
                RaiseGIFError("Invalid GIF data");
            Loops = std::uint16_t(block[1] | (block[2] << 8));
        } else if (id == 2) {
            if (more < 4)
                RaiseGIFError("Invalid GIF data");
            BufferSize = std::uint32_t(block[1]) | (std::uint32_t(block[2]) << 8) | (std::uint32_t(block[3]) << 16)
                         | (std::uint32_t(block[4]) << 24);
        }
    }
}

}  // namespace gif
