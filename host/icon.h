// The built-in pictures: the window icon and the mouse pointer.
//
// The icon is a 32 x 32 picture of a miner's lantern in 256 colours, kept as
// a Windows bitmap file image in memory (2102 bytes: headers, the 256-entry
// colour table of the start-up palette, then the bottom-up pixel rows), so it
// loads with SDL_LoadBMP_RW. Its transparent parts use colour index 0, which
// iconMask() leaves out. The mouse pointer is a 16 x 16 arrow.
#pragma once

#include <SDL.h>

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
// The icon as an 8-bit SDL surface with its palette; the caller frees it.
// Null when SDL cannot make it.
SDL_Surface* createIconSurface();

// The built-in mouse pointer (SDL_CreateCursor); the caller frees it with
// SDL_FreeCursor. Null when SDL cannot make it.
SDL_Cursor* createMouseCursor();

} // namespace host
