// Small programs for the host core's tests, played through the replay
// driver: "hostcore-games GAME [--arg A]... [--attributes] SCRIPT".
//
// Each game is a few statements written the way the game writes them (run
// the runtime operations, release the temporaries, call the event check
// with the statement's line when the event-pending flag is set), so that the
// error dialog, end program, pausing, stopping and the start-up state can be
// checked end to end without the real game.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_core.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/lineinput.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tools/replay/replay_driver.h"

namespace {

std::uint32_t temporaryBase = 1;

// The end of a statement.
void endStatement(std::uint32_t line) {
    rt::releaseTemporaries(temporaryBase, 0);
    if (rt::eventPending()) {
        rt::gameHost().eventCheck(line);
    }
}

void printText(std::string_view text, bool lineEnd) {
    rt::RuntimeString* s = rt::newString(0, false);
    rt::assign(s, rt::literal(text.data(), static_cast<std::int32_t>(text.size())));
    rt::print(s, lineEnd ? 1 : 0);
    rt::freeString(s);
}

// PRINT "text"
void say(std::uint32_t line, std::string_view text) {
    printText(text, true);
    endStatement(line);
}

// INPUT "prompt"; variable$
void ask(std::uint32_t line, const char* prompt, rt::RuntimeString* variable) {
    printText(prompt, false);
    printText("? ", false);
    rt::setInputVariable(1, rt::kKindString, variable);
    rt::input(1, 1);
    if (rt::stopRequested()) {
        rt::gameHost().stopGameThread();
    }
    endStatement(line);
}

// A statement whose runtime operation fails with error n.
void failing(std::uint32_t line, std::int32_t n) {
    rt::raiseError(n);
    printText("not printed", true); // does nothing while the error is pending
    endStatement(line);
}

void start() {
    temporaryBase = rt::temporaryNextIndex();
}

std::string text(rt::RuntimeString* s) {
    return std::string(s->view());
}

// ---- The games ----

// A prompt, the answer echoed back, then end program.
void promptGame() {
    start();
    rt::RuntimeString* name = rt::newString(0, false);
    say(10, "Hello from the test game");
    ask(20, "Name", name);
    say(30, "You typed [" + text(name) + "]");
    ask(40, "Again", name);
    say(50, "Then [" + text(name) + "]");
    rt::gameHost().endProgram();
}

// Error 0 after line 120, then two errors in one statement, then an
// unknown number; Yes continues after each.
void errorsGame() {
    start();
    rt::RuntimeString* answer = rt::newString(0, false);
    say(100, "before the errors");
    failing(120, 0);
    say(130, "after error zero");
    rt::raiseError(6);
    rt::raiseError(9);
    endStatement(140);
    failing(150, -3);
    failing(160, 99);
    say(170, "after all errors");
    ask(180, "Done", answer);
    rt::gameHost().endProgram();
}

// A critical error with only OK.
void critical301Game() {
    start();
    say(10, "before");
    failing(77, 301);
    say(80, "never");
    rt::gameHost().endProgram();
}

void critical11Game() {
    start();
    say(10, "before");
    rt::raiseError(11);
    say(20, "never");
    rt::gameHost().endProgram();
}

// The floating-point signal.
void signalGame() {
    start();
    say(10, "before");
    std::raise(SIGFPE);
    say(20, "never");
    rt::gameHost().endProgram();
}

// A key waits in the buffer when end program starts.
void drainGame() {
    start();
    say(10, "a key is waiting");
    rt::storeKeyPair('x', 0x2D);
    rt::storeKeyPair('y', 0x15);
    rt::gameHost().endProgram();
}

// The window is closed while end program empties a full buffer: the stop
// request is already set when the drain starts.
void drainStopGame() {
    start();
    say(10, "fifteen keys are waiting");
    for (int i = 0; i < 15; ++i)
        rt::storeKeyPair('x', 0x2D);
    rt::requestStop();
    rt::gameHost().endProgram();
}

// Text on every row, the last row included, in colour, then end program.
void lastRowGame() {
    start();
    rt::setTextColour(14, 1, 0, 3);
    for (int i = 1; i <= 24; ++i) {
        printText("row " + std::to_string(i), i < 24);
        endStatement(static_cast<std::uint32_t>(i));
    }
    rt::ScreenPage* page = rt::writePage();
    const char* old = "OLD TEXT ON THE LAST ROW";
    for (int c = 0; old[c] != '\0'; ++c)
        page->setCell(25, c + 1, rt::makeCell(static_cast<std::uint8_t>(old[c]), 0x4F));
    rt::setTextColour(2, 0, 0, 3);
    endStatement(30);
    rt::gameHost().endProgram();
}

// The game pauses itself as the Pause key would, then asks.
void pauseGame() {
    start();
    rt::RuntimeString* answer = rt::newString(0, false);
    say(10, "before the pause");
    host::pauseGame();
    rt::setEventPending();
    endStatement(20);
    say(30, "after the pause");
    ask(40, "Answer", answer);
    say(50, "got [" + text(answer) + "]");
    rt::gameHost().endProgram();
}

void commandLineGame() {
    start();
    say(10, "[" + host::commandLine() + "]");
    say(20, "[" + text(host::commandLineString()) + "]");
    rt::gameHost().endProgram();
}

void folderGame() {
    start();
    char buffer[4096];
    const char* cwd = ::getcwd(buffer, sizeof buffer);
    say(10, std::string("cwd=") + (cwd != nullptr ? cwd : "?"));
    rt::gameHost().endProgram();
}

// A game entry that returns: the program ends as after end program.
void returnsGame() {
    start();
    say(10, "returning");
}

// Every glyph once: characters 0..255 on rows 1..8 (32 per row), printed as
// glyphs.
void glyphsGame() {
    start();
    rt::ScreenPage* page = rt::writePage();
    for (int ch = 0; ch < 256; ++ch) {
        page->setCell(1 + ch / 32, 1 + ch % 32,
                      rt::makeCell(static_cast<std::uint8_t>(ch), static_cast<std::uint8_t>(ch)));
    }
    page->cursorRow.store(10);
    page->cursorColumn.store(1);
    rt::gameHost().endProgram();
}

// Many line inputs in a row, for the speed of a long replay.
void manyPromptsGame() {
    start();
    rt::RuntimeString* answer = rt::newString(0, false);
    for (int i = 1; i <= 400; ++i) {
        ask(static_cast<std::uint32_t>(i), "Choice", answer);
        say(static_cast<std::uint32_t>(i), "[" + text(answer) + "]");
    }
    rt::gameHost().endProgram();
}

struct Game {
    const char* name;
    void (*entry)();
};

constexpr Game kGames[] = {
    {"prompt", promptGame},         {"errors", errorsGame},    {"critical301", critical301Game},
    {"critical11", critical11Game}, {"signal", signalGame},    {"drain", drainGame},
    {"drainstop", drainStopGame},   {"lastrow", lastRowGame},  {"pause", pauseGame},
    {"cmdline", commandLineGame},   {"folder", folderGame},    {"returns", returnsGame},
    {"glyphs", glyphsGame},         {"many", manyPromptsGame},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hostcore-games GAME [--arg A]... [replay options] SCRIPT\n");
        return 2;
    }
    void (*entry)() = nullptr;
    for (const Game& g : kGames) {
        if (std::strcmp(g.name, argv[1]) == 0) entry = g.entry;
    }
    if (entry == nullptr) {
        std::fprintf(stderr, "hostcore-games: no game %s\n", argv[1]);
        return 2;
    }
    std::vector<std::string> gameArguments;
    std::vector<char*> rest{argv[0]};
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--arg") == 0 && i + 1 < argc) {
            gameArguments.emplace_back(argv[++i]);
        } else {
            rest.push_back(argv[i]);
        }
    }
    rest.push_back(nullptr);
    return replay::replayMain(static_cast<int>(rest.size()) - 1, rest.data(), entry, gameArguments);
}
