// The built-in icon and mouse pointer (host/icon.h) as SDL objects.
#pragma once

#include <SDL.h>

namespace host {

// The icon as an 8-bit SDL surface with its palette; the caller frees it.
// Null when SDL cannot make it.
SDL_Surface* createIconSurface();

// The built-in mouse pointer; the caller frees it with SDL_FreeCursor. Null
// when SDL cannot make it.
SDL_Cursor* createMouseCursor();

} // namespace host
