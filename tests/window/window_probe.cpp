// A small program on the window program's front end, for the window tests.
//
// It runs the same start-up, event loop, renderer, keyboard model and dialogs
// as the game, with the probe script of tests/support/probe_game.h in place
// of the game, in the mode the first argument names (echo by default).
#include <cstdlib>

#include "host/host_core.h"
#include "host/sdl_frontend.h"
#include "tests/support/probe_game.h"

int main(int argc, char** argv) {
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    probe::mode = argc > 1 ? argv[1] : "echo";
    // Never destroyed: after a critical error another thread may still be
    // parked in a call to the front end while the process ends.
    static auto* frontend = new host::WindowFrontend;
    return host::runtimeMain(argc, argv, *frontend, &probe::game);
}
