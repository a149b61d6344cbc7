// SDL's key events in the keyboard model's terms (host/key_ids.h).
//
// SDL 1.2's key symbols are the model's key identities, so a symbol passes
// through unchanged (sdl_keys.cpp checks every value at compile time); the
// modifier bits are translated. Under X11 the layout's AltGr arrives as the
// right Alt key, or as SDL's Mode modifier: both give the model's right Alt
// and AltGr bits as SDL reports them.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "host/key_ids.h"

namespace host {

constexpr KeyId keyIdFromSdl(SDLKey symbol) {
    return static_cast<KeyId>(symbol);
}

std::uint32_t keyModFromSdl(SDLMod mod);

// The keyboard as SDL reports it right now (start-up).
KeyboardState sdlKeyboardState();

} // namespace host
