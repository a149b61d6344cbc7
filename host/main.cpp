// The window program: the game in an SDL window.
//
// SDL 1.2 runs here on SDL2 through its compatibility layer. Its default
// path draws every frame through an accelerated renderer, which costs far
// more processor time and memory than the few cells a text screen changes
// per frame; the plain software path is what this program needs. Both are
// only defaults: a user's own setting of these variables wins.
#include <cstdlib>

#include "game/game.h"
#include "host/host_core.h"
#include "host/sdl_frontend.h"

int main(int argc, char** argv) {
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    // Never destroyed: after a critical error another thread may still be
    // parked in a call to the front end while the process ends.
    static auto* frontend = new host::WindowFrontend;
    return host::runtimeMain(argc, argv, *frontend, &game::gameMain);
}
