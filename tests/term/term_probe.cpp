// A small program on the terminal program's full-screen front end, for the
// dialog tests: the same start-up, event loop, screen, keys and dialogs as
// glimmerdeep-term, with the probe script of tests/support/probe_game.h in
// place of the game, in the mode the first argument names (dialog-end by
// default; the tests use dialog-end and critical).
#include "host/host_core.h"
#include "host/term_curses.h"
#include "tests/support/probe_game.h"

int main(int argc, char** argv) {
    probe::mode = argc > 1 ? argv[1] : "dialog-end";
    static auto* frontend = new host::CursesFrontend;
    const int status = host::runtimeMain(1, argv, *frontend, &probe::game);
    frontend->finish();
    return status;
}
