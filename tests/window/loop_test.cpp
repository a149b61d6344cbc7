// The window front end's event loop on SDL's dummy video driver: no X
// server, the real loop, renderer, keyboard model and dialogs, with SDL
// events pushed into the queue from the main thread as the loop paints.
//
// Each test runs runtimeMain once with a short game of its own and a frame
// observer that plays the user: it waits for a state of the game (a line
// input, a dialog), then pushes key events or the window's close event.
// The WindowEventLoop tests run both loops: the fixed 16 ms turn
// (GLIMMER_FIXED_TURN=1, what the dummy driver gets by itself) and the
// loop that sleeps until woken (GLIMMER_FIXED_TURN=0: events pushed from
// the main thread are seen before it sleeps, those from other threads are
// followed by wake(), as input on a window connection would be). The
// WakingEventLoop tests measure that loop's cadences and key repeat with
// its own observers and SDL's tick count.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "game/statements.h"
#include "host/host_core.h"
#include "host/keyboard.h"
#include "host/sdl_frontend.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "tests/support/sdl_events.h"

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

using support::pushKey;

bool quitPushed = false;

// The window's close button, once per run: a second close would be left in
// SDL's queue for the next test.
void pushQuit() {
    if (quitPushed) return;
    quitPushed = true;
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

// The loop the next run() uses: "1" the fixed turn, "0" the waking loop.
const char* loopSetting = "1";
// SDL's tick count when the last frame began (main thread).
std::uint32_t frameStartedAt = 0;

// Runs the game with observer called after every painted frame; returns the
// exit status. Gives up (and fails) after twenty seconds.
int run(std::function<void()> script, std::function<void(host::WindowFrontend&, int)> observer,
        std::function<void(const SDL_Event&)> eventObserver = {}) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("GLIMMER_FIXED_TURN", loopSetting, 1);
    rt::resetErrorsAndFlags();
    // An earlier run that ended through the exit request leaves it set.
    host::resetHostState();
    host::keyboard().reset();
    quitPushed = false;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        // Whatever an earlier test left in SDL's queue is not for this one.
        SDL_Event left;
        while (SDL_PollEvent(&left)) {
        }
    }
    stage = 0;
    continued = false;
    gameScript = std::move(script);
    // Never destroyed: a thread parked by a critical error may still be
    // calling into it while the process ends.
    static std::vector<host::WindowFrontend*> frontends;
    frontends.push_back(new host::WindowFrontend);
    host::WindowFrontend& frontend = *frontends.back();
    static int frames;
    static std::chrono::steady_clock::time_point started;
    frames = 0;
    started = std::chrono::steady_clock::now();
    frontend.setFrameObserver([&frontend, observer] {
        ++frames;
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(20)) {
            ADD_FAILURE() << "the test game did not finish";
            pushQuit();
            return;
        }
        observer(frontend, frames);
    });
    if (eventObserver) frontend.setEventObserver(std::move(eventObserver));
    frontend.setFrameStartObserver([] { frameStartedAt = SDL_GetTicks(); });
    char name[] = "loop_test";
    char* argv[] = {name, nullptr};
    const int status = host::runtimeMain(1, argv, frontend, &testGame);
    const bool waking = std::string(loopSetting) == "0";
    EXPECT_EQ(frontend.loopKind(), waking ? host::WindowFrontend::LoopKind::Waking
                                          : host::WindowFrontend::LoopKind::Fixed);
    return status;
}

// Both loops: the parameter is the GLIMMER_FIXED_TURN setting.
class WindowEventLoop : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { loopSetting = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Loops, WindowEventLoop, ::testing::Values("1", "0"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "1" ? "FixedTurn" : "Waking";
                         });

TEST_P(WindowEventLoop, KeyEventsBecomeATypedLine) {
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

TEST_P(WindowEventLoop, CloseEventAtALineInputEndsWithStatusZero) {
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

TEST_P(WindowEventLoop, ClockBytesCountTicksOfTheDay) {
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

TEST_P(WindowEventLoop, DialogAnsweredYesLetsTheGameGoOn) {
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

// Runs a game that raises error `number` on line `line`; once its dialog is
// open, answer() plays the user. Returns the exit status; `continued` says
// whether the game went on after the dialog.
int runDialog(std::int32_t number, std::uint32_t line, std::function<void()> answer) {
    return run(
        [number, line] {
            rt::raiseError(number);
            statementEnd(line);
            continued = true;
        },
        [answer](host::WindowFrontend& f, int) {
            if (f.dialogOpen() && stage == 0) {
                stage = 1;
                answer();
            }
        });
}

TEST_P(WindowEventLoop, DialogAnsweredNoEndsWithStatusZero) {
    const int status = runDialog(5, 120, [] {
        pushKey(SDLK_TAB, 9);
        pushKey(SDLK_RETURN, 13);
    });
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(continued.load());
}

TEST_P(WindowEventLoop, CloseDuringADialogEndsPromptlyWithStatusZero) {
    std::chrono::steady_clock::time_point closedAt;
    const int status = runDialog(5, 120, [&] {
        closedAt = std::chrono::steady_clock::now();
        pushQuit();
    });
    EXPECT_EQ(status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - closedAt, std::chrono::seconds(1));
    EXPECT_FALSE(continued.load());
}

TEST_P(WindowEventLoop, CriticalDialogOnTheGameThreadEndsWithStatusZero) {
    EXPECT_EQ(runDialog(301, 130, [] { pushKey(SDLK_RETURN, 13); }), 0);
    EXPECT_FALSE(continued.load());
}

TEST_P(WindowEventLoop, BreakKeyEndsWithStatusZero) {
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

// ---- The waking loop's cadences and key repeat ---------------------------

// One painted frame as the observer saw it.
struct Seen {
    std::uint32_t ticks;   // SDL_GetTicks() when the frame began
    std::uint32_t counter; // the renderer's frame counter
    bool blinkLit;         // the blinking character's cell shows its glyph
    bool cursorLit;        // pixel row 14 of the cursor cell is lit
};

bool cellLit(const SDL_Surface* s, int row, int column, int firstLine, int lastLine) {
    for (int y = firstLine; y <= lastLine; ++y) {
        const auto* line = reinterpret_cast<const std::uint32_t*>(
            static_cast<const std::uint8_t*>(s->pixels) + ((row - 1) * 16 + y) * s->pitch);
        for (int x = 0; x < 8; ++x) {
            if ((line[(column - 1) * 8 + x] & 0xFFFFFF) != 0) return true;
        }
    }
    return false;
}

// Prints a blinking B on row 1, then reads lines until the window closes;
// records every frame for five seconds. With keys, a second thread types a
// key every 20 ms (Enter after every 30) and wakes the loop after each.
std::vector<Seen> watchCadence(bool keys) {
    loopSetting = "0";
    std::vector<Seen> seen;
    std::atomic<bool> typing{false};
    std::atomic<bool> stopTyping{false};
    std::thread typist;
    host::WindowFrontend* frontend = nullptr;
    const int status = run(
        [] {
            game::colour(16 + 14);
            game::say("B");
            game::colour(7);
            for (;;)
                game::ask("", typed);
        },
        [&](host::WindowFrontend& f, int) {
            const SDL_Surface* canvas = f.windowRenderer().canvas();
            rt::ScreenPage* page = rt::displayPage();
            // Only frames that drew the page (none is drawn while the game
            // holds the display to set up its pages).
            if (canvas == nullptr || page == nullptr || rt::inputWait() != rt::InputWait::Line ||
                !f.windowRenderer().painter().valid() ||
                rt::displayHold() != rt::DisplayHold::Idle) {
                return;
            }
            // From the first frame that shows the prompt "? " on row 2: the
            // canvas must show it too, or this frame was not painted (a hold
            // came and went during it) and still shows an older screen.
            if (seen.empty() &&
                (page->row() != 2 || page->column() != 3 || !cellLit(canvas, 2, 1, 0, 15))) {
                return;
            }
            if (keys && !typing.exchange(true)) {
                frontend = &f;
                typist = std::thread([&] {
                    for (int i = 0; !stopTyping.load(); ++i) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                        if (i % 31 == 30) {
                            pushKey(SDLK_RETURN, 13);
                        } else {
                            pushKey(SDLK_x, 'x');
                        }
                        frontend->wake();
                    }
                });
            }
            // Idle, the cursor stays after "? " on row 2.
            const bool cursorLit = !keys && cellLit(canvas, 2, 3, 14, 14);
            seen.push_back({frameStartedAt, f.windowRenderer().frameCounter(),
                            cellLit(canvas, 1, 1, 0, 15), cursorLit});
            if (seen.back().ticks - seen.front().ticks >= 5000) pushQuit();
        });
    stopTyping = true;
    if (typist.joinable()) typist.join();
    // Keys typed after the close are left for nobody.
    SDL_Event left;
    while (SDL_PollEvent(&left)) {
    }
    EXPECT_EQ(status, 0);
    return seen;
}

// Every frame shows the phases of the time it began (its counter is that
// time's nominal 32 ms frame, or the next when the tick moved on meanwhile),
// and every flip is painted before the next one is due.
void expectCadence(const std::vector<Seen>& seen, bool checkCursor) {
    ASSERT_GE(seen.size(), 20u);
    for (const Seen& f : seen) {
        const std::uint32_t elapsedFrames = f.ticks / 32;
        EXPECT_GE(f.counter, elapsedFrames) << "at " << f.ticks << " ms";
        EXPECT_LE(f.counter, elapsedFrames + 1) << "at " << f.ticks << " ms";
        EXPECT_EQ(f.blinkLit, ((f.counter >> 3) & 1) == 0)
            << "frame " << f.counter << " at " << f.ticks << " ms, frame " << (&f - seen.data());
        if (checkCursor) {
            EXPECT_EQ(f.cursorLit, ((f.counter >> 2) & 1) == 1) << "frame " << f.counter;
        }
    }
    const std::uint32_t period = checkCursor ? 128 : 256;
    const std::uint32_t first = (seen.front().ticks / period + 1) * period;
    int flips = 0;
    for (std::uint32_t due = first; due + period <= seen.back().ticks; due += period) {
        ++flips;
        const bool painted = std::any_of(seen.begin(), seen.end(), [&](const Seen& f) {
            return f.ticks >= due && f.ticks < due + period;
        });
        if (!painted) {
            std::string near;
            for (const Seen& f : seen) {
                if (f.ticks + 300 > due && f.ticks < due + 300)
                    near += " " + std::to_string(f.ticks);
            }
            ADD_FAILURE() << "no frame between " << due << " and " << due + period
                          << " ms; frames at" << near;
        }
    }
    EXPECT_GE(flips, checkCursor ? 35 : 17);
}

TEST(WakingEventLoop, CursorAndBlinkKeepTheirCadenceWhileIdle) {
    const std::vector<Seen> seen = watchCadence(false);
    expectCadence(seen, true);
    // Idle, it paints about once per cursor flip (8 a second), not at 31 Hz.
    EXPECT_LE(seen.size(), 5u * 8u + 10u);
}

TEST(WakingEventLoop, CursorAndBlinkKeepTheirCadenceUnderAStreamOfKeys) {
    expectCadence(watchCadence(true), false);
}

// A game that reads lines until the program ends.
void askForever() {
    for (;;)
        game::ask("", typed);
}

using support::activeEvent;

SDL_Event keyDownEvent(SDLKey sym, std::uint16_t unicode) {
    return support::keyEvent(true, sym, unicode);
}

// A key held while the window is in the background does not repeat.
TEST(WakingEventLoop, NoKeyRepeatsWithoutTheFocus) {
    loopSetting = "0";
    std::uint32_t pressedAt = 0;
    const int status = run(askForever, [&](host::WindowFrontend&, int) {
        if (rt::inputWait() != rt::InputWait::Line) return;
        if (pressedAt == 0) {
            SDL_Event e = activeEvent(true);
            SDL_PushEvent(&e);
            e = keyDownEvent(SDLK_b, 'b');
            SDL_PushEvent(&e);
            e = activeEvent(false);
            SDL_PushEvent(&e);
            pressedAt = SDL_GetTicks();
        } else if (SDL_GetTicks() - pressedAt >= 800) {
            pushQuit();
        }
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(pageRow(1), "? b");
}

// Holding a key down: repeats 500 ms after the press, then every 30 ms,
// until it is released.
TEST(WakingEventLoop, AHeldKeyRepeatsAfter500MsEvery30Ms) {
    loopSetting = "0";
    std::vector<std::uint32_t> presses;
    std::uint32_t releasedAt = 0;
    std::atomic<int> step{0};
    const int status = run(
        askForever,
        [&](host::WindowFrontend&, int) {
            if (rt::inputWait() != rt::InputWait::Line) return;
            if (step == 0) {
                step = 1;
                // The dummy driver's window never has the focus: give it.
                SDL_Event e = activeEvent(true);
                SDL_PushEvent(&e);
                e = keyDownEvent(SDLK_a, 'a');
                SDL_PushEvent(&e);
            } else if (step == 2 && SDL_GetTicks() - releasedAt >= 300) {
                step = 3;
                pushQuit();
            }
        },
        [&](const SDL_Event& e) {
            if (e.type != SDL_KEYDOWN || e.key.keysym.sym != SDLK_a || step != 1) return;
            presses.push_back(SDL_GetTicks());
            if (presses.size() == 12) {
                SDL_Event up = support::keyEvent(false, e.key.keysym.sym);
                SDL_PushEvent(&up);
                releasedAt = SDL_GetTicks();
                step = 2;
            }
        });
    EXPECT_EQ(status, 0);
    ASSERT_EQ(presses.size(), 12u) << "no key repeated after the release, or too few before";
    // Repeat k (1..11) is due 500 + 30 (k - 1) ms after the press. A busy
    // machine can only make a wake-up late, never early: the earliest and
    // the middle of the repeats' offsets from that schedule must be within
    // 10 ms of it.
    std::vector<int> offsets;
    std::string all;
    for (std::size_t k = 1; k < presses.size(); ++k) {
        offsets.push_back(static_cast<int>(presses[k] - presses[0]) - 500 -
                          30 * static_cast<int>(k - 1));
        all += " " + std::to_string(presses[k] - presses[0]);
    }
    std::sort(offsets.begin(), offsets.end());
    EXPECT_GE(offsets.front(), -10) << "repeats at" << all << " ms";
    EXPECT_LE(offsets.front(), 10) << "repeats at" << all << " ms";
    EXPECT_LE(offsets[offsets.size() / 2], 10) << "repeats at" << all << " ms";
    // The typed line holds the press and its eleven repeats.
    EXPECT_EQ(pageRow(1), "? aaaaaaaaaaaa");
}

} // namespace
