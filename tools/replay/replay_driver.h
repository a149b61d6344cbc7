// The replay driver: the game without a window, played from a script of keys.
//
// replayMain parses the command line and the script, then runs the host
// core's runtimeMain with a front end that has no window, takes its keys from
// the script, prints the text screen at every prompt and every dialog on
// standard output, and sleeps on a virtual clock. The window program's game
// entry and the test programs' entries both run through it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

// One step of a script.
struct Step {
    enum class Kind : std::uint8_t {
        Character, // a character typed on a US keyboard (or any Unicode character)
        Key,       // a named key: symbol and Unicode value as SDL reports them
        AltEnter,
        Close, // the window's close button
        Yes,
        No,
        OK,
    };
    Kind kind;
    std::uint32_t unicode = 0; // Character: the character; Key: SDL's Unicode value
    std::int32_t symbol = 0;   // Key: the SDL key symbol
    int line = 1;              // script line the step starts on
};

struct ParseResult {
    std::vector<Step> steps;
    bool ok = true;
    std::string error; // "unknown key {NAME} on line L"
};

// Turns a script into steps: every character is a key, a newline is Enter
// (a carriage return right before it is dropped), {NAME} names another key,
// {{ is a literal {.
ParseResult parseScript(std::string_view script);

// The whole driver: "glimmerdeep-replay [--attributes] [SCRIPT]". Returns the
// process exit status. gameArguments become the game's command line.
int replayMain(int argc, char** argv, void (*gameEntry)(),
               const std::vector<std::string>& gameArguments = {});

} // namespace replay
