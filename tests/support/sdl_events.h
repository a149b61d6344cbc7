// SDL events made by hand, for the window tests and benchmarks that feed
// the real event loop through SDL's queue.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace support {

// A key press (down) or release with the symbol, Unicode value and
// modifiers SDL would report.
inline SDL_Event keyEvent(bool down, SDLKey sym, std::uint16_t unicode = 0,
                          SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.type = e.type;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    e.key.keysym.unicode = down ? unicode : 0;
    e.key.keysym.mod = mod;
    return e;
}

// A press and its release, queued.
inline void pushKey(SDLKey sym, std::uint16_t unicode, SDLMod mod = KMOD_NONE) {
    SDL_Event e = keyEvent(true, sym, unicode, mod);
    SDL_PushEvent(&e);
    e = keyEvent(false, sym, unicode, mod);
    SDL_PushEvent(&e);
}

// The window gaining or losing the input focus.
inline SDL_Event activeEvent(bool gain) {
    SDL_Event e{};
    e.type = SDL_ACTIVEEVENT;
    e.active.type = SDL_ACTIVEEVENT;
    e.active.gain = gain ? 1 : 0;
    e.active.state = SDL_APPINPUTFOCUS | SDL_APPACTIVE;
    return e;
}

} // namespace support
