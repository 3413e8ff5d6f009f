#pragma once
// TColor: a colour as the diagram files and the style store it, 0x00BBGGRR;
// values 0xFF0000nn name system colours that follow the desktop palette.
#include <cstdint>

using TColor = std::int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
