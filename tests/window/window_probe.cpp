// A small program on the window program's front end, for the window tests.
//
// It runs the same start-up, event loop, renderer, keyboard model and dialogs
// as the game, with a short script of its own in place of the game, chosen by
// the first argument:
//   echo      a reference row, then line inputs for ever; each line typed is
//             printed back after "=" on the next row
//   dialog    a runtime error (number 5 on line 120) right away; after Yes it
//             prints "after yes" and goes on as echo
//   critical  the OK-only dialog of error 301, then the program ends
//   end       prints "bye" and ends the program ("Press any key to continue")
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/statements.h"
#include "host/host_core.h"
#include "host/sdl_frontend.h"
#include "runtime/errors.h"
#include "runtime/port.h"

namespace {

std::string mode;
game::Str answer;

void statementEnd(std::uint32_t line) {
    if (rt::eventPending()) {
        rt::gameHost().eventCheck(line);
    }
}

void echoForever() {
    for (;;) {
        game::ask("", answer);
        game::say({"=", answer});
    }
}

[[noreturn]] void probeMain() {
    game::createVariables();
    game::recordTemporaryBase();
    game::cls();
    game::say("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789");
    if (mode == "dialog") {
        rt::raiseError(5);
        statementEnd(120);
        game::say("after yes");
    } else if (mode == "critical") {
        rt::raiseError(301);
        statementEnd(130);
    } else if (mode == "end") {
        game::say("bye");
        game::endProgram();
    }
    echoForever();
    rt::gameHost().stopGameThread();
    std::abort();
}

} // namespace

int main(int argc, char** argv) {
    setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    mode = argc > 1 ? argv[1] : "echo";
    // Never destroyed: after a critical error another thread may still be
    // parked in a call to the front end while the process ends.
    static auto* frontend = new host::WindowFrontend;
    return host::runtimeMain(argc, argv, *frontend, &probeMain);
}
