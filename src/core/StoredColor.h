#pragma once

#include <cstdint>

namespace orvell {

// Colours keep their stored form: 0x00BBGGRR, or 0x80000000 | index for a
// colour of the desktop scheme. They become QColor only at the widget edge.
using StoredColor = std::uint32_t;

namespace SysColor {
constexpr StoredColor AppWorkspace = 0x8000000C;
constexpr StoredColor ButtonFace = 0x8000000F;
constexpr StoredColor Highlight3D = 0x80000014;
}  // namespace SysColor

constexpr bool isSystemColor(StoredColor color) { return (color & 0x80000000u) != 0; }

constexpr StoredColor rgbColor(int red, int green, int blue)
{
    return static_cast<StoredColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

}  // namespace orvell
