// The host shell's core: everything the window program and the replay driver
// share.
//
// runtimeMain runs the start-up sequence, starts the game thread and the
// timer thread, hands the main thread to the front end's event loop and,
// when that loop returns, runs the shut-down sequence. The front end is what
// differs between the two programs: the window program sleeps on the real
// clock, starts SDL and TrueType, shows dialogs in its window and polls SDL
// events; the replay driver sleeps on a virtual clock, takes its keys from a
// script and prints screens and dialogs on standard output.
//
// Threads. The main thread runs start-up, the front end's event loop and
// shut-down. The game thread runs the game entry from its first statement
// until it stops itself (stopGameThread: it unwinds to its entry, so it is
// never killed in the middle of changing a string or a page). The timer
// thread watches the timer-event slots (the game defines none) until the
// stop-request flag is set. The runtime and the host talk through the seam
// of runtime/port.h; the host's own parts share the host state below.
//
// Error handling lives here too: the event check after a statement (pause
// wait, stop request, the runtime error dialog), end program, critical errors
// and the floating-point signal.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "host/keyboard.h"
#include "runtime/port.h"
#include "runtime/strings.h"

namespace host {

// The buttons a dialog offers, and the one that answered it. Closed means the
// window was closed while the dialog was up: the front end answers the dialog
// with Closed and then lets its event loop return so that shut-down runs.
enum class DialogButtons : std::uint8_t { OK, YesNo };
enum class DialogButton : std::uint8_t { OK, Yes, No, Closed };

// What differs between the window program and the replay driver.
class Frontend {
  public:
    virtual ~Frontend() = default;

    // ---- Clock (any thread) ----
    // Sleeps ms milliseconds (0 = yield once). why tells the replay driver
    // whether the game thread is now waiting for a key to arrive.
    virtual void sleep(std::uint32_t ms, rt::Wait why) = 0;
    // Milliseconds on the clock sleep advances (SDL's tick count).
    virtual std::uint64_t ticks() = 0;
    // The calendar time in seconds (time()); the time-of-day base is read
    // through it so that the replay driver's start-up stays instant.
    virtual std::time_t calendarTime() = 0;
    // The timer thread's pause between two turns (0 = yield).
    virtual void timerSleep(std::uint32_t ms) = 0;
    // The game thread waits for a display request to be answered (see
    // rt::Port::awaitHost). The default sleeps until the seam's change count
    // moves past seen; a front end that answers requests on the game thread
    // itself overrides it.
    virtual void awaitHost(std::uint64_t seen);

    // ---- Start-up (main thread, called by runtimeMain in this order) ----
    // The display system (the window system, the terminal). 0 when it
    // started; otherwise the exit status to end with, after the front end
    // has said why on standard error.
    virtual int startDisplaySystem() = 0;
    // The font library, once the time-of-day base is taken: 0, or the exit
    // status to end with.
    virtual int startFontLibrary() { return 0; }
    // The lock toggles and the modifier keys held right now, which the
    // keyboard model takes over.
    virtual KeyboardState keyboardState() { return {}; }
    // Everything the display needs before the game starts: full-screen
    // modes, key repeat, the icon, the caption, the mouse cursor, palettes
    // and fonts.
    virtual void prepareDisplay(const char* caption) = 0;

    // ---- Main thread ----
    // The event loop. Returns when shut-down must run: the window was closed,
    // or shutdownRequested() became true (the loop checks it after every
    // sleep). Every turn it should call updateClockBytes().
    virtual void runEventLoop() = 0;
    // Shut-down: hide and free the mouse cursor.
    virtual void shutDown() {}

    // ---- Dialogs ----
    // A modal dialog. Called on the game thread (blocks it until answered
    // while the main thread keeps polling events and painting), or on the
    // main thread for a critical error raised there.
    virtual DialogButton showDialog(std::string_view caption, std::string_view text,
                                    DialogButtons buttons) = 0;
    // The runtime error dialog's Yes: in full screen the window is shown
    // maximised afterwards.
    virtual bool isFullScreen() = 0;
    virtual void showMaximised() = 0;

    // ---- Notifications (any thread) ----
    // Something the main loop watches changed (exit request, a critical exit
    // handed over to the main thread): a loop that blocks should wake up and
    // look at shutdownRequested().
    virtual void wake() {}
    // Shut-down has set the stop-request flag.
    virtual void stopRequested() {}
    // The process ends now with status, outside runtimeMain's return (a
    // critical error on the main thread): last words, flush output.
    virtual void processEnding(int /*status*/) {}
};

// The runtime's main function: start-up, the threads, the front end's event
// loop, shut-down. Returns the exit status (0 for every normal end, 100 when
// SDL does not start, 7000 when TrueType does not start). gameEntry runs on
// the game thread; it is expected never to return (if it does, the program
// ends as after end program).
int runtimeMain(int argc, char** argv, Frontend& frontend, void (*gameEntry)());

// ---- For the front ends (main thread) ----

// True when the event loop must return so that shut-down runs: the exit
// request is set, a critical error on another thread asked the main thread
// to end the process, or the game thread has ended (nothing is left to run).
bool shutdownRequested();

// Keeps the emulated clock: the time of day as 18.2 Hz ticks in the three
// bytes at 0x46C..0x46E of the low-memory block.
void updateClockBytes();

// The time-of-day base: milliseconds since midnight at the tick count
// baseTicks.
struct TimeOfDayBase {
    std::uint64_t millisecondsSinceMidnight;
    std::uint64_t baseTicks;
};
TimeOfDayBase timeOfDayBase();

// The command line: every argument after the program name joined by single
// spaces (empty when there are none).
const std::string& commandLine();
rt::RuntimeString* commandLineString();
std::string joinArguments(int argc, char** argv);

// The directory part of a program path, cut at its last backslash, slash or
// colon (a colon stays, a backslash or slash goes). Empty when there is none.
std::string programFolder(std::string_view path);

// True on the game thread.
bool onGameThread();

// The process is ending with status, from any thread, without the shut-down
// sequence: on the main thread at once; elsewhere the main thread is asked to
// end it and the calling thread waits for the end.
[[noreturn]] void endProcess(int status);

// Installs the floating-point signal handler (SIGFPE raises error 11).
void installFloatingPointHandler();

// ---- Host state ----
// What only the host's own parts tell each other (the keyboard model, the
// event check, end program, the renderer, shut-down); the runtime never sees
// it. Atomics: the keyboard model runs on the main thread, the event check
// and end program on the game thread.

// The exit request: please shut the program down (end program, the error
// dialog's No, Break, the game entry returning). The event loop ends at its
// next turn; callers on the game thread also wake the front end.
void requestExit();
bool exitRequested();
// The Pause key's pause: the event check holds the game until a key ends it.
void pauseGame();
void endPause();
bool gamePaused();
// Alt+Enter presses the renderer has not yet handled.
void countFullScreenToggle();
// Takes one pending press; false when there is none.
bool takeFullScreenToggle();
int pendingFullScreenToggles();
void dropFullScreenToggles();
// Resets the host state (tests).
void resetHostState();

} // namespace host
