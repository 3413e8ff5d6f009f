#pragma once
// Shared vocabulary of the GIF codec: colour values, palettes, versions, and the warning
// and progress callbacks through which the codec reports to the image that owns it.
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace gif {

// A colour as the rest of the program holds it: 0x00BBGGRR.
using TColor = std::int32_t;

inline constexpr std::uint8_t GetRValue(TColor c) { return std::uint8_t(c & 0xFF); }
inline constexpr std::uint8_t GetGValue(TColor c) { return std::uint8_t((c >> 8) & 0xFF); }
inline constexpr std::uint8_t GetBValue(TColor c) { return std::uint8_t((c >> 16) & 0xFF); }
inline constexpr TColor RGBColor(int r, int g, int b)
{
    return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// One logical palette entry, in the field order of the platform's palettes.
struct TPaletteEntry
{
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
    bool operator==(const TPaletteEntry &) const = default;
};

// Entry flag that keeps a palette entry from being merged with an equal system colour.
inline constexpr std::uint8_t PC_NOCOLLAPSE = 0x04;

// A palette: an empty one means "no palette".
using TGIFPalette = std::vector<TPaletteEntry>;

// Oldest format able to hold a block.
enum TGIFVersion : int { gvUnknown = 0, gv87a = 1, gv89a = 2 };

// Warnings never stop an operation; severity is 1 for every warning of the codec.
using TGIFWarningHandler = std::function<void(int severity, const std::string &message)>;

enum class TProgressStage { psStarting, psRunning, psEnding };
using TGIFProgressHandler =
    std::function<void(TProgressStage stage, int percent, const std::string &message)>;

// a x b / c rounded to the nearest, halves away from zero, in 64-bit arithmetic; -1 for
// c = 0, as the platform's routine answers.
inline int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const std::int64_t p = std::int64_t(a) * b;
    const std::int64_t q = (p < 0) != (c < 0) ? -((std::abs(p) + std::abs(std::int64_t(c)) / 2) / std::abs(std::int64_t(c)))
                                              : (std::abs(p) + std::abs(std::int64_t(c)) / 2) / std::abs(std::int64_t(c));
    return int(q);
}

}  // namespace gif
