// The built-in pictures: the window icon and the mouse pointer.
//
// The icon is a 32 x 32 picture of a miner's lantern in 256 colours, kept as
// a Windows bitmap file image in memory (2102 bytes: headers, the 256-entry
// colour table of the start-up palette, then the bottom-up pixel rows), so
// any BMP reader loads it. Its transparent parts use colour index 0, which
// iconMask() leaves out. The mouse pointer is a 16 x 16 arrow. The window
// front end turns both into SDL objects (host/sdl_icon.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace host {

inline constexpr std::size_t kIconBmpBytes = 2102;
inline constexpr int kIconSize = 32;

// The icon's BMP file image.
const std::uint8_t* iconBmp();
// The icon's 32 x 32 colour indices, top row first.
const std::uint8_t* iconPixels();
// SDL_WM_SetIcon's mask: 32 rows of 4 bytes, bit 7 of the first byte the
// leftmost pixel, set where the icon is opaque.
const std::uint8_t* iconMask();
// The mouse pointer: 16 rows of 2 bytes each, bit 7 of the first byte the
// leftmost pixel; data set where the pointer is black, mask where it is
// opaque (black or white). The hot spot is the top-left corner.
inline constexpr int kPointerSize = 16;
struct PointerBits {
    std::array<std::uint8_t, kPointerSize * 2> data;
    std::array<std::uint8_t, kPointerSize * 2> mask;
};
PointerBits pointerBits();

} // namespace host
