// The runtime's side of the seam: the default port and game host, and the
// conversation's state. See port.h for the contract.
#include "runtime/port.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace rt {
namespace {

// The conversation's state. The stop request and the change count are
// sequentially consistent where a waiter's "register, then check" must meet
// a writer's "change, then look for waiters"; the rest is acquire/release.
struct Conversation {
    std::atomic<std::uint8_t> stop{0};
    std::atomic<std::uint8_t> eventPending{0};
    std::atomic<std::uint8_t> loopRunning{0};
    std::atomic<std::int8_t> displayMode{1};
    std::atomic<std::uint8_t> hold{0};
    std::atomic<std::uint8_t> inputWait{0};
    std::atomic<std::uint64_t> inputWaits{0};
    std::atomic<std::uint64_t> changes{0};
    std::atomic<int> waiters{0};
    std::atomic<bool> hookArmed{false};
    std::atomic<ChangeHook> hook{nullptr};
    // Only orders a waiter's sleep against a notification; guards no data.
    std::mutex mutex;
    std::condition_variable changed;
};

// A namespace-scope object rather than a function's static: the host asks
// for it several times a frame, and a guarded static costs a check each
// time. Its atomics are constant-initialised, so even a use during another
// file's static initialisation sees them zeroed.
Conversation theConversation;

inline Conversation& conversation() {
    return theConversation;
}

// A display request is answered by the main thread within a frame; the cap
// only bounds the wait should a wake-up go missing.
constexpr auto kAwaitHostCap = std::chrono::milliseconds(10);

// Until a host installs its own: real sleeps, critical errors on standard
// error.
class DefaultPort final : public Port {
  public:
    void sleep(std::uint32_t ms, Wait) override {
        if (ms == 0) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
    std::uint64_t ticks() override {
        using namespace std::chrono;
        return static_cast<std::uint64_t>(
            duration_cast<milliseconds>(steady_clock::now() - start_).count());
    }
    [[noreturn]] void critical(std::string_view caption, std::string_view text) override {
        std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                     static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
        std::_Exit(0);
    }

  private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

DefaultPort defaultPort;
Port* current = &defaultPort;

// Without a host the game can only end: the event check clears the flag and
// carries on, end program and stopping the thread end the process.
class DefaultGameHost final : public GameHost {
  public:
    void eventCheck(std::uint32_t) override {}
    [[noreturn]] void endProgram() override { std::exit(0); }
    [[noreturn]] void stopGameThread() override { std::exit(0); }
};

DefaultGameHost defaultGameHost;
GameHost* currentGameHost = &defaultGameHost;

} // namespace

Port& port() {
    return *current;
}
void setPort(Port* p) {
    current = p != nullptr ? p : &defaultPort;
}

void Port::awaitHost(std::uint64_t seen) {
    waitForChange(seen, kAwaitHostCap);
}

GameHost& gameHost() {
    return *currentGameHost;
}
void setGameHost(GameHost* h) {
    currentGameHost = h != nullptr ? h : &defaultGameHost;
}

// ---- The conversation ---------------------------------------------------

bool stopRequested() {
    return conversation().stop.load(std::memory_order_acquire) != 0;
}
void requestStop() {
    Conversation& c = conversation();
    c.stop.store(1, std::memory_order_seq_cst);
    c.eventPending.store(1, std::memory_order_release);
    noteChange();
}

bool eventPending() {
    return conversation().eventPending.load(std::memory_order_acquire) != 0;
}
void setEventPending() {
    conversation().eventPending.store(1, std::memory_order_release);
}
void clearEventPending() {
    conversation().eventPending.store(0, std::memory_order_release);
}

void setDisplayLoopRunning(bool running) {
    conversation().loopRunning.store(running ? 1 : 0, std::memory_order_release);
}
bool displayLoopRunning() {
    return conversation().loopRunning.load(std::memory_order_acquire) != 0;
}

DisplayMode displayMode() {
    return static_cast<DisplayMode>(conversation().displayMode.load(std::memory_order_acquire));
}
void setDisplayMode(DisplayMode mode) {
    conversation().displayMode.store(static_cast<std::int8_t>(mode), std::memory_order_release);
    noteChange();
}

void showOneFrame() {
    setDisplayMode(DisplayMode::OneFrameAsked);
    for (;;) {
        const std::uint64_t seen = changeCount();
        if (displayMode() != DisplayMode::OneFrameAsked || stopRequested()) return;
        port().awaitHost(seen);
    }
}

DisplayHold displayHold() {
    return static_cast<DisplayHold>(conversation().hold.load(std::memory_order_acquire));
}

void askDisplayHold() {
    conversation().hold.store(static_cast<std::uint8_t>(DisplayHold::Asked),
                              std::memory_order_release);
    noteChange();
}

void holdDisplay() {
    askDisplayHold();
    for (;;) {
        const std::uint64_t seen = changeCount();
        if (displayHold() == DisplayHold::Granted || stopRequested()) return;
        port().awaitHost(seen);
    }
}

void releaseDisplay() {
    conversation().hold.store(static_cast<std::uint8_t>(DisplayHold::Idle),
                              std::memory_order_release);
    noteChange();
}

ScopedDisplayHold::ScopedDisplayHold()
    : held_(displayMode() != DisplayMode::Explicit && displayLoopRunning()) {
    if (held_) holdDisplay();
}
ScopedDisplayHold::~ScopedDisplayHold() {
    if (held_) releaseDisplay();
}

bool answerDisplayHold() {
    std::atomic<std::uint8_t>& hold = conversation().hold;
    auto asked = static_cast<std::uint8_t>(DisplayHold::Asked);
    // A plain load first: the locked exchange is only needed when asked.
    if (hold.load(std::memory_order_acquire) != asked ||
        !hold.compare_exchange_strong(asked, static_cast<std::uint8_t>(DisplayHold::Granted),
                                      std::memory_order_acq_rel)) {
        return false;
    }
    noteChange();
    return true;
}

void frameShown() {
    std::atomic<std::int8_t>& mode = conversation().displayMode;
    auto asked = static_cast<std::int8_t>(DisplayMode::OneFrameAsked);
    if (mode.load(std::memory_order_acquire) == asked &&
        mode.compare_exchange_strong(asked, static_cast<std::int8_t>(DisplayMode::Explicit),
                                     std::memory_order_acq_rel)) {
        noteChange();
    }
}

void answerDisplayRequests() {
    answerDisplayHold();
    frameShown();
}

void beginInputWait(InputWait what) {
    conversation().inputWaits.fetch_add(1, std::memory_order_acq_rel);
    conversation().inputWait.store(static_cast<std::uint8_t>(what), std::memory_order_release);
    noteChange();
}
void endInputWait() {
    conversation().inputWait.store(static_cast<std::uint8_t>(InputWait::None),
                                   std::memory_order_release);
    noteChange();
}
InputWait inputWait() {
    return static_cast<InputWait>(conversation().inputWait.load(std::memory_order_acquire));
}
std::uint64_t inputWaitSerial() {
    return conversation().inputWaits.load(std::memory_order_acquire);
}

// ---- Change reports -----------------------------------------------------

std::uint64_t changeCount() {
    return conversation().changes.load(std::memory_order_seq_cst);
}

void noteChange() {
    Conversation& c = conversation();
    c.changes.fetch_add(1, std::memory_order_seq_cst);
    if (c.waiters.load(std::memory_order_seq_cst) > 0) {
        { std::lock_guard<std::mutex> lock(c.mutex); }
        c.changed.notify_all();
    }
    if (c.hookArmed.load(std::memory_order_seq_cst) &&
        c.hookArmed.exchange(false, std::memory_order_acq_rel)) {
        if (ChangeHook hook = c.hook.load(std::memory_order_acquire)) hook();
    }
}

bool waitForChange(std::uint64_t seen, std::chrono::milliseconds cap) {
    Conversation& c = conversation();
    c.waiters.fetch_add(1, std::memory_order_seq_cst);
    bool moved;
    {
        std::unique_lock<std::mutex> lock(c.mutex);
        moved = c.changed.wait_for(lock, cap, [&] { return changeCount() != seen; });
    }
    c.waiters.fetch_sub(1, std::memory_order_seq_cst);
    return moved;
}

void setChangeHook(ChangeHook hook) {
    conversation().hook.store(hook, std::memory_order_release);
}
void armChangeHook() {
    conversation().hookArmed.store(true, std::memory_order_seq_cst);
}

void resetConversation() {
    Conversation& c = conversation();
    c.stop.store(0);
    c.eventPending.store(0);
    c.loopRunning.store(0);
    c.displayMode.store(static_cast<std::int8_t>(DisplayMode::Automatic));
    c.hold.store(0);
    c.inputWait.store(0);
    c.inputWaits.store(0);
    c.hookArmed.store(false);
}

} // namespace rt
