// The seam between the runtime and whoever hosts it.
//
// Everything the runtime and a host (the window program, the terminal
// program, the replay driver) say to each other goes through this header;
// nothing else in runtime/ knows a host exists. It has four parts:
//
//  - Port: what the runtime needs done for it. Sleeping (real clock or a
//    virtual one), the tick count, the critical-error box that ends the
//    process, and waiting for the host to answer a display request.
//  - GameHost: what the game needs beyond the runtime: the event check after
//    a statement, end program and stopping the game thread.
//  - The conversation: named operations over a few words of private state
//    (stop request, event-pending flag, the automatic display mode, the
//    display hold, the input wait). The runtime side runs on the game
//    thread, the host side on the main thread; every word is an atomic, and
//    no operation takes a lock except the optional sleeping waits.
//  - Change reports: every writer to a page records which rows it damaged in
//    the page itself (ScreenPage::damage, see screen.h), and every event a
//    host may want to act on advances one process-wide change counter. A
//    host takes the damage of the page it shows and sleeps until the counter
//    moves: on a condition (waitForChange) or, for a host that sleeps in
//    poll(), through a wake hook that the first change after arming calls.
//    A host's turn is: read changeCount(), take the damage and draw, then
//    sleep unless the count has moved since it was read. A page reports
//    only its first damage after each take, so a write between the take and
//    the sleep moves the count, and none is slept through.
//
// The shared low-memory block with the keyboard ring (keyboard_buffer.h) and
// the cells of the pages stay shared memory, read and written lock-free as
// before; this seam only tells the other side when to look.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

namespace rt {

// Why the game thread is about to sleep. The replay driver delivers its next
// scripted key only while the game waits for one to arrive.
enum class Wait : std::uint8_t {
    Plain,   // any other wait (thread end, the tone)
    KeyPoll, // line input polling the keyboard buffer
    KeyEnd,  // end program waiting for the key after its prompt
    Paused,  // the event check waiting for the pause to end
};

class Port {
  public:
    virtual ~Port() = default;
    // Sleeps ms milliseconds (0 = yield the processor once).
    virtual void sleep(std::uint32_t ms, Wait why) = 0;
    // Milliseconds since start-up, on the clock sleep advances.
    virtual std::uint64_t ticks() = 0;
    // Shows a modal box with caption and text and an OK button, then ends the
    // process with status 0.
    [[noreturn]] virtual void critical(std::string_view caption, std::string_view text) = 0;
    // The game thread waits for the host to answer a display request (a hold
    // or one frame). seen is changeCount() read before the request was found
    // unanswered. The default sleeps until the count moves (or a short cap);
    // a host that answers requests on the game thread itself (the replay
    // driver) overrides it.
    virtual void awaitHost(std::uint64_t seen);
};

Port& port();
void setPort(Port* p); // null restores the default port

class GameHost {
  public:
    virtual ~GameHost() = default;
    // Called after a statement when the event-pending flag is set.
    virtual void eventCheck(std::uint32_t line) = 0;
    // "Press any key to continue" on the last row, then the program ends.
    [[noreturn]] virtual void endProgram() = 0;
    // Ends the game thread once the stop-request flag is set.
    [[noreturn]] virtual void stopGameThread() = 0;
};

GameHost& gameHost();
void setGameHost(GameHost* h);

// ---- The conversation ---------------------------------------------------

// Stop request: the program must stop now. Set by the host at shut-down
// (it also sets the event-pending flag, so the game reaches its event check
// at the end of the statement); every runtime wait gives up when it sees it.
bool stopRequested();
void requestStop();

// The event-pending flag: the game calls the event check after the current
// statement. Set by raise error, the Pause key and the stop request.
bool eventPending();
void setEventPending();
void clearEventPending();

// Whether the host's display loop runs (from the start of the event loop to
// the end of shut-down). Display holds are only asked for while it does.
void setDisplayLoopRunning(bool running);
bool displayLoopRunning();

// The display mode. Automatic: the host shows the display page whenever it
// likes. Explicit: only on request (the game never uses it, but line input
// restores it). OneFrameAsked: explicit, with one frame asked for and not
// yet shown. The values are the observable ones: 1, 0, -1.
enum class DisplayMode : std::int8_t { OneFrameAsked = -1, Explicit = 0, Automatic = 1 };
DisplayMode displayMode();
void setDisplayMode(DisplayMode mode);
// Game thread, explicit mode: asks for one frame of the display page and
// waits until the host has shown it (or a stop request).
void showOneFrame();

// The display hold, around a change of the page layout (a new page table,
// another display page): the renderer must not read a page that is being
// replaced. Game thread: holdDisplay asks and waits until the host grants
// (or a stop request), releaseDisplay lets the host draw again. Nothing is
// asked while the display loop does not run or in explicit mode. The
// observable values are 0 idle, 1 asked, 2 granted.
enum class DisplayHold : std::uint8_t { Idle = 0, Asked = 1, Granted = 2 };
DisplayHold displayHold();
// askDisplayHold only asks; holdDisplay asks and waits for the grant.
void askDisplayHold();
void holdDisplay();
void releaseDisplay();
class ScopedDisplayHold {
  public:
    ScopedDisplayHold();
    ~ScopedDisplayHold();
    ScopedDisplayHold(const ScopedDisplayHold&) = delete;
    ScopedDisplayHold& operator=(const ScopedDisplayHold&) = delete;

  private:
    bool held_;
};

// Host, before drawing: grants a hold that was asked for. True when the
// display page may be read now (no hold, or the hold just granted is not
// yet released: then false).
bool answerDisplayHold();
// Host, after a frame was shown (or, with nothing to draw, at once):
// completes a one-frame request.
void frameShown();
// Both answers at once, for a host with nothing to draw.
void answerDisplayRequests();

// The input wait: what the game waits for, while it waits for the player.
// A host shows the text cursor only during a line input, and a line-mode
// host prints the screen when a wait begins.
enum class InputWait : std::uint8_t { None, Line, Pause, EndKey };
void beginInputWait(InputWait what);
void endInputWait();
InputWait inputWait();
// How many input waits have begun so far. A host that looks only now and
// then (a line-mode host) tells a new wait from the one it saw last by it,
// even when the game ended one wait and began the next in between.
std::uint64_t inputWaitSerial();

// ---- Change reports -----------------------------------------------------

// The count of events a host may act on: a page damaged after its damage
// was taken, a key taken from the ring, an input wait begun or ended, a
// display request asked or answered, a stop request. It only grows.
std::uint64_t changeCount();
// Advances the count and wakes whoever waits for it (any thread).
void noteChange();
// Sleeps until changeCount() != seen or cap has passed; returns whether it
// moved. The writers' side costs one atomic load while nobody waits.
bool waitForChange(std::uint64_t seen, std::chrono::milliseconds cap);
// A host that sleeps elsewhere (in poll(), say) installs a hook and arms it
// before every sleep; the first change after arming calls the hook once,
// on the thread that made the change. The hook must be safe to call from
// any thread (writing to a pipe or an eventfd). Null removes it.
using ChangeHook = void (*)();
void setChangeHook(ChangeHook hook);
void armChangeHook();

// Resets the conversation's state (tests).
void resetConversation();

} // namespace rt
