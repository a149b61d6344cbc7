// The passwords: each stands for one combination of the three Chapter 1
// notes ("Dear Helen", "Lock Out", "Foreman's Diary"). The end of Chapter 1
// prints the one for the notes found; the password screen unlocks Chapter 2
// and restores those notes.
#pragma once

#include <array>

namespace game {

struct Password {
    const char* word;
    bool dearHelen, lockOut, foremansDiary;
};

inline constexpr std::array<Password, 8> kPasswords{{
    {"K2071", true, false, false},
    {"M3146", false, false, false},
    {"P5208", false, true, false},
    {"R6473", false, false, true},
    {"T7325", true, true, false},
    {"V8419", true, true, true},
    {"W9562", true, false, true},
    {"X1684", false, true, true},
}};

} // namespace game
