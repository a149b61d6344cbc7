// The built-in palettes.
//
// The 256-colour start-up palette: the 16 text colours, 16 greys, 216 hues
// (24 around the colour wheel at three saturations and three brightnesses)
// and 8 blacks, and the 64-colour palette of the six-bit rgbRGB colour
// numbers. Entries are 0xAARRGGBB with an opaque alpha byte.
#pragma once

#include <cstdint>

#include "runtime/screen.h"

namespace host {

// The 16 text colours are the runtime's.
using rt::kTextColours;

const std::uint32_t* defaultPalette256(); // 256 entries
const std::uint32_t* defaultPalette64();  // 64 entries

} // namespace host
