// A small program on the terminal program's full-screen front end, for the
// dialog tests: the same start-up, event loop, screen, keys and dialogs as
// glimmerdeep-term, with a short script in place of the game, chosen by the
// first argument:
//   dialog    a runtime error (number 5 on line 120) right away; after Yes it
//             prints "after yes" and ends the program ("Press any key to
//             continue")
//   critical  the OK-only dialog of error 301, then the program ends
#include <cstdlib>
#include <string>

#include "game/statements.h"
#include "host/host_core.h"
#include "host/term_curses.h"
#include "runtime/errors.h"
#include "runtime/port.h"

namespace {

std::string mode;

void statementEnd(std::uint32_t line) {
    if (rt::eventPending()) rt::gameHost().eventCheck(line);
}

[[noreturn]] void probeMain() {
    game::createVariables();
    game::recordTemporaryBase();
    game::cls();
    game::say("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789");
    if (mode == "critical") {
        rt::raiseError(301);
        statementEnd(130);
    } else {
        rt::raiseError(5);
        statementEnd(120);
        game::say("after yes");
    }
    game::endProgram();
}

} // namespace

int main(int argc, char** argv) {
    mode = argc > 1 ? argv[1] : "dialog";
    static auto* frontend = new host::CursesFrontend;
    const int status = host::runtimeMain(1, argv, *frontend, &probeMain);
    frontend->finish();
    return status;
}
