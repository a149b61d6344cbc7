// glimmerdeep-term: the game in a terminal, full screen through ncursesw or,
// with --plain, as plain lines of text (host/term_curses.h,
// host/term_plain.h). It links no SDL, so it runs where there are no
// graphics libraries at all, over SSH, on a console or in tmux.
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "host/host_core.h"
#include "host/term_curses.h"
#include "host/term_plain.h"

namespace {

constexpr const char* kUsage =
    "usage: glimmerdeep-term [--plain | --help]\n"
    "Plays The Mystery of the Glimmerdeep in the terminal.\n"
    "\n"
    "Modes:\n"
    "  (none)    full screen: the 80 x 25 text screen in colour, in a terminal\n"
    "            of at least 80 x 25 characters; Ctrl+C ends the game,\n"
    "            Ctrl+Z suspends it\n"
    "  --plain   line mode for screen readers, braille displays, pipes and\n"
    "            scripts: new text as plain UTF-8 lines, one line of input per\n"
    "            prompt, no escape sequences; the end of the input ends the game\n"
    "  --help    shows this help\n";

} // namespace

int main(int argc, char** argv) {
    bool plain = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plain") == 0) {
            plain = true;
        } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            std::fprintf(stderr, "glimmerdeep-term: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
    }
    // The options are this program's; the game gets an empty command line.
    char* gameArgv[] = {argv[0], nullptr};
    // Never destroyed: after a critical error another thread may still be
    // parked in a call to the front end while the process ends.
    if (plain) {
        static auto* frontend = new host::PlainFrontend;
        return host::runtimeMain(1, gameArgv, *frontend, &game::gameMain);
    }
    static auto* frontend = new host::CursesFrontend;
    const int status = host::runtimeMain(1, gameArgv, *frontend, &game::gameMain);
    frontend->finish();
    return status;
}
