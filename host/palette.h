// The built-in palettes.
//
// The 256-colour start-up palette: the 16 text colours, 16 greys, 216 hues
// (24 around the colour wheel at three saturations and three brightnesses)
// and 8 blacks, and the 64-colour palette of the six-bit rgbRGB colour
// numbers. Entries are 0xAARRGGBB with an opaque alpha byte.
#pragma once

#include <cstdint>

namespace host {

// The 16 text colours 0..15 as 0xRRGGBB.
inline constexpr std::uint32_t kTextColours[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

const std::uint32_t* defaultPalette256(); // 256 entries
const std::uint32_t* defaultPalette64();  // 64 entries

} // namespace host
