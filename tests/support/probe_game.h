// The short script the front ends' test probes (tests/window/window_probe.cpp,
// tests/term/term_probe.cpp) run in place of the game, chosen by a mode:
//   echo        a reference row, then line inputs for ever; each line typed
//               is printed back after "=" on the next row
//   dialog      a runtime error (number 5 on line 120) right away; after Yes
//               it prints "after yes" and goes on as echo
//   dialog-end  the same, but after "after yes" the program ends ("Press any
//               key to continue")
//   critical    the OK-only dialog of error 301, then the program ends
//   end         prints "bye" and ends the program
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/statements.h"
#include "runtime/errors.h"
#include "runtime/port.h"

namespace probe {

inline std::string mode;
inline game::Str answer; // a game variable: it exists before createVariables()

// What the game does at the end of a statement.
inline void statementEnd(std::uint32_t line) {
    if (rt::eventPending()) rt::gameHost().eventCheck(line);
}

[[noreturn]] inline void game() {
    game::createVariables();
    game::recordTemporaryBase();
    game::cls();
    game::say("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789");
    if (mode == "dialog" || mode == "dialog-end") {
        rt::raiseError(5);
        statementEnd(120);
        game::say("after yes");
        if (mode == "dialog-end") game::endProgram();
    } else if (mode == "critical") {
        rt::raiseError(301);
        statementEnd(130);
    } else if (mode == "end") {
        game::say("bye");
        game::endProgram();
    }
    for (;;) {
        game::ask("", answer);
        game::say({"=", answer});
    }
}

} // namespace probe
