// The seam between the runtime and a host, across two threads as in the
// running program: the "game" thread writes pages, takes keys and asks for
// display holds and frames; the "host" thread sleeps until the change count
// moves and answers. Labelled `threads`, so it runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tests/support/screen.h"

namespace {

using namespace std::chrono_literals;
using rt::ScreenPage;

class Seam : public ::testing::Test {
  protected:
    void SetUp() override {
        screentest::freshRuntime();
        rt::displayPage()->takeDamage();
    }
    void TearDown() override {
        rt::setChangeHook(nullptr);
        rt::resetErrorsAndFlags();
    }

    static void printLine(const char* text) {
        rt::RuntimeString* s = rt::newString(0, false);
        rt::assign(s, rt::literal(text));
        rt::print(s, 1);
        rt::freeString(s);
    }
};

// The host sleeps until something happens: a print, a key taken from the
// ring, the end of the program. Each wakes it, and the page's report names
// exactly the rows written and the cursor.
TEST_F(Seam, AHostSleepsUntilThePageChangesAKeyIsTakenOrTheProgramEnds) {
    const ScreenPage* page = rt::displayPage();
    for (int event = 0; event < 3; ++event) {
        if (event == 1) {
            ASSERT_TRUE(rt::storeKeyPair('k', 0x25));
        }
        const std::uint64_t seen = rt::changeCount();
        std::thread game([event] {
            std::this_thread::sleep_for(5ms);
            if (event == 0) {
                printLine("first row");
                printLine("second row");
            } else if (event == 1) {
                rt::readKey();
            } else {
                rt::requestStop();
            }
        });
        EXPECT_TRUE(rt::waitForChange(seen, 10s)) << "event " << event;
        game.join();
        if (event == 0) {
            EXPECT_EQ(page->takeDamage(), ScreenPage::rowDamage(1) | ScreenPage::rowDamage(2) |
                                              ScreenPage::kDamageCursor);
            EXPECT_EQ(page->takeDamage(), 0u);
        }
    }
    EXPECT_TRUE(rt::keyBufferEmpty());
    EXPECT_TRUE(rt::stopRequested());
    EXPECT_TRUE(rt::eventPending());
    // With nothing happening the wait runs to its cap.
    EXPECT_FALSE(rt::waitForChange(rt::changeCount(), 20ms));
}

// A host loop as the window runs it: sleep until the count moves, grant
// holds, show asked frames. The game thread's hold and one-frame request
// both complete, and the values a test can observe follow the protocol.
TEST_F(Seam, DisplayHoldsAndFrameRequestsAreAnsweredByASleepingHost) {
    rt::setDisplayLoopRunning(true);
    std::atomic<bool> done{false};
    std::atomic<int> grants{0};
    std::atomic<int> frames{0};
    std::thread host([&] {
        while (!done.load()) {
            const std::uint64_t seen = rt::changeCount();
            if (rt::answerDisplayHold()) ++grants;
            if (rt::displayMode() == rt::DisplayMode::OneFrameAsked) {
                rt::frameShown();
                ++frames;
            }
            rt::waitForChange(seen, 1s);
        }
    });
    {
        rt::ScopedDisplayHold hold;
        EXPECT_EQ(rt::displayHold(), rt::DisplayHold::Granted);
    }
    EXPECT_EQ(rt::displayHold(), rt::DisplayHold::Idle);
    rt::setDisplayMode(rt::DisplayMode::Explicit);
    {
        rt::ScopedDisplayHold none; // explicit display: nothing to hold
        EXPECT_EQ(rt::displayHold(), rt::DisplayHold::Idle);
    }
    rt::showOneFrame();
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 0);
    done.store(true);
    rt::noteChange();
    host.join();
    EXPECT_EQ(grants.load(), 1);
    EXPECT_EQ(frames.load(), 1);
}

// Nobody answers any more at shut-down: a stop request ends a hold's wait.
TEST_F(Seam, AStopRequestEndsAHoldNobodyGrants) {
    rt::setDisplayLoopRunning(true);
    std::thread host([] {
        std::this_thread::sleep_for(5ms);
        rt::requestStop();
    });
    rt::holdDisplay();
    host.join();
    EXPECT_EQ(rt::displayHold(), rt::DisplayHold::Asked);
    rt::releaseDisplay();
}

std::atomic<int> hookCalls{0};

// The hook of a host that sleeps in poll(): one call per arming, however
// many changes follow, from whichever thread made the first one. A page
// reports its first damage after each take, so a host takes it before it
// sleeps.
TEST_F(Seam, TheChangeHookRunsOnceForEachArming) {
    hookCalls = 0;
    rt::setChangeHook([] { ++hookCalls; });
    rt::noteChange();
    EXPECT_EQ(hookCalls.load(), 0); // not armed
    for (int round = 1; round <= 3; ++round) {
        rt::displayPage()->takeDamage(); // as a host does before it sleeps
        rt::armChangeHook();
        std::thread game([] {
            printLine("x");
            printLine("y");
        });
        game.join();
        EXPECT_EQ(hookCalls.load(), round);
    }
}

} // namespace
