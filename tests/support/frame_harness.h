// Plays game scenes inside the test process, without a host.
//
// For the paths no key sequence reaches in a complete game (a resume text
// that no table lists, a jump into a scene group the build lacks) the tests
// register only the frame's scene groups plus scenes of their own, set the
// game variables directly and run from any label. Keys come from a script:
// the port hands the next one over whenever line input polls an empty
// keyboard ring, and throws ScriptEnd when the script is used up, which
// unwinds out of runFrom. Scenes a test registers can throw Reached to say
// that the game jumped to them. End program and stopping the game thread
// throw ProgramEnd.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/scene.h"
#include "game/scenes.h"
#include "game/state.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tests/support/screen.h"

namespace harness {

struct ScriptEnd {};
struct ProgramEnd {};
struct Reached {
    game::Label label;
};

inline std::string screenText();

class ScriptPort final : public rt::Port {
  public:
    std::string keys;
    std::size_t next = 0;
    std::uint64_t now = 0;
    // The screen at the first poll of each line input.
    std::vector<std::string> screens;
    bool lineStart = true;

    void sleep(std::uint32_t ms, rt::Wait why) override {
        now += ms;
        if (why != rt::Wait::KeyPoll || !rt::keyBufferEmpty()) return;
        if (lineStart) screens.push_back(screenText());
        if (next >= keys.size()) throw ScriptEnd{};
        char c = keys[next++];
        lineStart = c == '\n';
        rt::storeKeyPair(c == '\n' ? 13 : static_cast<std::uint8_t>(c), 0);
    }
    std::uint64_t ticks() override { return now; }
    [[noreturn]] void critical(std::string_view caption, std::string_view text) override {
        ADD_FAILURE() << "critical error: " << caption << ": " << text;
        throw ProgramEnd{};
    }
};

class ThrowingHost final : public rt::GameHost {
  public:
    void eventCheck(std::uint32_t line) override {
        rt::clearEventPending();
        if (rt::errorPending() != 0) {
            ADD_FAILURE() << "runtime error " << rt::errorPending() << " at line " << line;
            rt::clearError();
        }
    }
    [[noreturn]] void endProgram() override { throw ProgramEnd{}; }
    [[noreturn]] void stopGameThread() override { throw ProgramEnd{}; }
};

inline ScriptPort& port() {
    static ScriptPort p;
    return p;
}
inline ThrowingHost& host() {
    static ThrowingHost h;
    return h;
}

inline std::uint32_t& temporaryBase() {
    static std::uint32_t base = 1;
    return base;
}

// A stand-in scene that only reports that the game jumped to it.
template <game::Label L> game::Label reach() {
    throw Reached{L};
}

// Registers stand-ins for the labels given.
template <game::Label... Ls> void standIns() {
    game::addScenes({{Ls, reach<Ls>}...});
}

// The outcome of one run.
struct Run {
    bool scriptEnded = false;
    bool programEnded = false;
    bool reached = false;
    game::Label reachedLabel = 0;
    std::vector<std::string> screens; // the screen at each line input's first poll
};

// The current screen, rows trimmed of trailing blanks, one per line.
inline std::string screenText() {
    const rt::ScreenPage& p = *rt::writePage();
    std::string all;
    for (int r = 1; r <= p.height; ++r)
        all += screentest::row(r, p, ' ') + "\n";
    return all;
}

// The rows given, the rest empty, in the form of screenText.
inline std::string rows(std::vector<std::string> want) {
    want.resize(25);
    std::string all;
    for (const std::string& r : want)
        all += r + "\n";
    return all;
}

// Runs from label with keys until the script, the program or a test scene
// ends it. The screen is left as the game left it.
inline Run play(game::Label from, std::string keys) {
    port().keys = std::move(keys);
    port().next = 0;
    port().screens.clear();
    port().lineStart = true;
    Run run;
    try {
        game::runFrom(from);
    } catch (const ScriptEnd&) {
        run.scriptEnded = true;
    } catch (const ProgramEnd&) {
        run.programEnded = true;
    } catch (const Reached& r) {
        run.reached = true;
        run.reachedLabel = r.label;
    }
    // Whatever line input was doing is over.
    while (!rt::keyBufferEmpty())
        rt::readKey();
    rt::releaseTemporaries(temporaryBase(), 0);
    run.screens = std::move(port().screens);
    return run;
}

// Sets up the runtime and the frame's scenes once per process, then starts
// from a fresh program state: labels 1, 2 and 5, up to the main menu's
// prompt.
inline void freshGame() {
    static bool ready = false;
    if (!ready) {
        screentest::freshRuntime();
        rt::setPort(&port());
        rt::setGameHost(&host());
        game::registerStartup();
        game::registerMenus();
        game::registerQuitting();
        game::registerInventory();
        game::registerWordGame();
        game::createVariables();
        game::recordTemporaryBase();
        temporaryBase() = rt::temporaryNextIndex();
        ready = true;
    }
    // Start-up up to the main menu's prompt: everything set, keys none.
    play(game::labels::startRun, "");
}

// Eating the yellow mushroom ("2") on an inventory screen: from resume text
// `resume` at health `before`, the poison leaves health `after` and the game
// jumps to `next` (the poison death, 610, when no health is left). The
// caller has set up the scenes; the state is set here after `fresh`.
struct Poisoning {
    const char* resume;
    float before;
    game::Label next;
    float after;
};
inline void expectPoisoning(void (*fresh)(), game::Label inventory, const Poisoning& p) {
    SCOPED_TRACE(p.resume);
    fresh();
    game::let(game::currentScene, p.resume);
    game::let(game::yellowMushroom, "1");
    game::health = p.before;
    Run run = play(inventory, "2\n\n");
    ASSERT_TRUE(run.reached);
    EXPECT_EQ(run.reachedLabel, p.next);
    EXPECT_EQ(game::health, p.after);
    EXPECT_EQ(game::yellowMushroom.view(), "0");
}

} // namespace harness
