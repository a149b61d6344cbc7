// For programs that need an X display: without DISPLAY, runs the program
// again under xvfb-run, with a server that stays up between the programs
// run on it (-noreset). Returns only when DISPLAY is set; otherwise it
// replaces the process, or ends it with status 1 when xvfb-run is missing.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace support {

inline void needDisplay(int argc, char** argv, const char* name) {
    if (std::getenv("DISPLAY") != nullptr) return;
    std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                               const_cast<char*>("-s"),
                               const_cast<char*>("-screen 0 1024x768x24 -noreset")};
    for (int i = 0; i < argc; ++i)
        args.push_back(argv[i]);
    args.push_back(nullptr);
    execvp("xvfb-run", args.data());
    std::fprintf(stderr, "%s: no DISPLAY and no xvfb-run\n", name);
    std::exit(1);
}

} // namespace support
