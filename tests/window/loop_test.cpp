// The window front end's event loop on SDL's dummy video driver: no X
// server, the real loop, renderer, keyboard model and dialogs, with SDL
// events pushed into the queue from the main thread as the loop paints.
//
// Each test runs runtimeMain once with a short game of its own and a frame
// observer that plays the user: it waits for a state of the game (a line
// input, a dialog), then pushes key events or the window's close event.
#include <gtest/gtest.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/statements.h"
#include "host/host_core.h"
#include "host/keyboard.h"
#include "host/sdl_frontend.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"

namespace {

game::Str typed;
std::atomic<int> stage{0};
std::atomic<bool> continued{false};
std::function<void()> gameScript;

void statementEnd(std::uint32_t line) {
    if (rt::eventPending()) {
        rt::gameHost().eventCheck(line);
    }
}

[[noreturn]] void testGame() {
    game::createVariables();
    game::recordTemporaryBase();
    game::cls();
    gameScript();
    // Done: ask the main thread to shut down.
    host::requestExit();
    rt::gameHost().stopGameThread();
    std::abort();
}

void pushKey(SDLKey sym, std::uint16_t unicode, SDLMod mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.unicode = unicode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
    e.type = SDL_KEYUP;
    e.key.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.unicode = 0;
    SDL_PushEvent(&e);
}

void pushQuit() {
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
}

std::string pageRow(int row) {
    std::string s;
    rt::ScreenPage* page = rt::displayPage();
    if (page == nullptr) return s;
    for (int c = 1; c <= page->width; ++c)
        s += static_cast<char>(rt::cellCharacter(page->cell(row, c)));
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

// Runs the game with observer called after every painted frame; returns the
// exit status. Gives up (and fails) after ten seconds of frames.
int run(std::function<void()> script, std::function<void(host::WindowFrontend&, int)> observer) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    rt::resetErrorsAndFlags();
    host::resetHostState();
    host::keyboard().reset();
    stage = 0;
    continued = false;
    gameScript = std::move(script);
    // Never destroyed: a thread parked by a critical error may still be
    // calling into it while the process ends.
    static std::vector<host::WindowFrontend*> frontends;
    frontends.push_back(new host::WindowFrontend);
    host::WindowFrontend& frontend = *frontends.back();
    static int frames;
    frames = 0;
    frontend.setFrameObserver([&frontend, observer] {
        ++frames;
        if (frames > 300) { // about ten seconds
            ADD_FAILURE() << "the test game did not finish";
            pushQuit();
            return;
        }
        observer(frontend, frames);
    });
    char name[] = "loop_test";
    char* argv[] = {name, nullptr};
    return host::runtimeMain(1, argv, frontend, &testGame);
}

TEST(WindowEventLoop, KeyEventsBecomeATypedLine) {
    std::string line;
    const int status = run(
        [&] {
            game::ask("", typed);
            line = std::string(typed.view());
        },
        [](host::WindowFrontend&, int frame) {
            if (frame == 2) {
                pushKey(SDLK_h, 'h');
                pushKey(SDLK_i, 'I', KMOD_LSHIFT);
                pushKey(SDLK_RETURN, 13);
            }
        });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(line, "hI");
    EXPECT_EQ(pageRow(1), "? hI");
}

TEST(WindowEventLoop, CloseEventAtALineInputEndsWithStatusZero) {
    const int status = run(
        [] {
            game::ask("", typed);
            continued = true;
        },
        [](host::WindowFrontend&, int frame) {
            if (frame == 3) pushQuit();
        });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
}

TEST(WindowEventLoop, ClockBytesCountTicksOfTheDay) {
    std::uint32_t clock = 0;
    const int status =
        run([] { game::ask("", typed); },
            [&](host::WindowFrontend&, int frame) {
                if (frame == 4) {
                    clock = rt::lowByte(0x46C) | rt::lowByte(0x46D) << 8 | rt::lowByte(0x46E) << 16;
                    pushQuit();
                }
            });
    EXPECT_EQ(status, 0);
    const host::TimeOfDayBase base = host::timeOfDayBase();
    const std::uint64_t m =
        (SDL_GetTicks() - base.baseTicks + base.millisecondsSinceMidnight) % 86400000;
    const auto now = static_cast<std::uint32_t>(static_cast<double>(m) * 0.0182);
    // Read a few frames ago: at most a second behind.
    EXPECT_LE(clock, now);
    EXPECT_GE(clock + 19, now);
}

TEST(WindowEventLoop, DialogAnsweredYesLetsTheGameGoOn) {
    std::string line;
    const int status = run(
        [&] {
            rt::raiseError(5);
            statementEnd(120);
            continued = true;
            game::ask("", typed);
            line = std::string(typed.view());
        },
        [](host::WindowFrontend& f, int) {
            // Keys typed at the dialog answer it and never reach the game.
            if (f.dialogOpen() && stage == 0) {
                stage = 1;
                pushKey(SDLK_a, 'a');
                pushKey(SDLK_y, 'y');
            } else if (continued && stage == 1) {
                stage = 2;
                pushKey(SDLK_b, 'b');
                pushKey(SDLK_RETURN, 13);
            }
        });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(continued.load());
    EXPECT_EQ(line, "b");
}

TEST(WindowEventLoop, DialogAnsweredNoEndsWithStatusZero) {
    const int status = run(
        [] {
            rt::raiseError(5);
            statementEnd(120);
            continued = true;
        },
        [](host::WindowFrontend& f, int) {
            if (f.dialogOpen() && stage == 0) {
                stage = 1;
                pushKey(SDLK_TAB, 9);
                pushKey(SDLK_RETURN, 13);
            }
        });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
}

TEST(WindowEventLoop, CloseDuringADialogEndsPromptlyWithStatusZero) {
    std::chrono::steady_clock::time_point closedAt;
    const int status = run(
        [] {
            rt::raiseError(5);
            statementEnd(120);
            continued = true;
        },
        [&](host::WindowFrontend& f, int) {
            if (f.dialogOpen() && stage == 0) {
                stage = 1;
                closedAt = std::chrono::steady_clock::now();
                pushQuit();
            }
        });
    const auto took = std::chrono::steady_clock::now() - closedAt;
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
    EXPECT_LT(took, std::chrono::seconds(1));
}

TEST(WindowEventLoop, CriticalDialogOnTheGameThreadEndsWithStatusZero) {
    const int status = run(
        [] {
            rt::raiseError(301);
            statementEnd(130);
            continued = true;
        },
        [](host::WindowFrontend& f, int) {
            if (f.dialogOpen() && stage == 0) {
                stage = 1;
                pushKey(SDLK_RETURN, 13);
            }
        });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
}

TEST(WindowEventLoop, BreakKeyEndsWithStatusZero) {
    const int status = run(
        [] {
            game::ask("", typed);
            continued = true;
        },
        [](host::WindowFrontend&, int frame) {
            if (frame == 2) pushKey(SDLK_BREAK, 0);
        });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
}

} // namespace
