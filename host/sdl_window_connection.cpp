// The X display connection behind SDL's window.
//
// SDL_GetWMInfo names the Display; its descriptor is ConnectionNumber (a
// macro over the Display record). XPending comes from the libX11 that SDL's
// X11 driver loaded: looked up with dlsym, so the program itself does not
// link libX11 and runs unchanged under other video drivers.
#include "host/sdl_window_connection.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstring>

// Xlib's macros (None, Status, ...) would clash with names in our headers,
// so this file includes Xlib (through SDL_syswm.h) last and alone.
#include <SDL_syswm.h>

namespace host {

bool WindowConnection::eventsQueued() const {
    return pending_ != nullptr && pending_(display_) > 0;
}

std::optional<WindowConnection> windowConnection() {
#if defined(SDL_VIDEO_DRIVER_X11)
    char driver[32] = {};
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr || std::strcmp(driver, "x11") != 0) {
        return std::nullopt;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.info.x11.display == nullptr) return std::nullopt;
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (x11 == nullptr) return std::nullopt;
    void* pending = dlsym(x11, "XPending");
    dlclose(x11); // only drops our reference: SDL keeps the library loaded
    if (pending == nullptr) return std::nullopt;
    WindowConnection c;
    c.display_ = info.info.x11.display;
    c.fd_ = ConnectionNumber(info.info.x11.display);
    c.pending_ = reinterpret_cast<int (*)(void*)>(pending);
    if (c.fd_ < 0) return std::nullopt;
    return c;
#else
    return std::nullopt;
#endif
}

} // namespace host
