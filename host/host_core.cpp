// The runtime's main function: start-up, the game and timer threads, and the
// shut-down sequence every way of ending the program goes through.
//
// Start-up runs on the main thread in a fixed order: the working directory
// becomes the program's own folder, the string store and the emulated
// low-memory block are prepared, the front end starts its display system,
// the time-of-day base is taken, the front end starts its font library, the
// keyboard model takes over the keys already held, the front end prepares
// its display, the text page is selected, and then the game thread and the
// timer thread start. The main thread hands
// itself to the front end's event loop; when that returns, shut-down sets the
// stop-request flag, waits for the game thread to stop itself and for the
// timer thread to see the flag, and returns the exit status.
//
// A critical error on another thread cannot end the process from there
// safely while the main thread is still painting and polling: it stores the
// status in criticalExit and parks; the event loop sees shutdownRequested(),
// and runtimeMain returns that status at once, without the shut-down
// sequence (only the exit handlers registered at start-up run).
#include "host/host_core.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <system_error>
#include <thread>

#include "host/host_core_internal.h"
#include "host/keyboard.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/strings.h"

namespace host {
namespace {

constexpr std::uint64_t kMillisecondsPerDay = 86400000;
constexpr std::size_t kClockBytes = 0x46C;

std::atomic<Frontend*> currentFrontend{nullptr};
std::thread::id mainThread;
std::atomic<bool> mainThreadKnown{false};
thread_local bool isGameThread = false;

// -1: none; otherwise the status a critical error on another thread asked
// the main thread to end the process with.
std::atomic<int> criticalExit{-1};
// Set by the game thread as the very last thing it does.
std::atomic<bool> gameThreadDone{false};
// Bit 0: the game thread has stopped itself (or is about to); bit 1: the
// timer thread has seen the stop request.
std::atomic<std::uint32_t> threadsFinished{0};

// The host state (host_core.h).
std::atomic<bool> exitRequest{false};
std::atomic<bool> paused{false};
std::atomic<int> fullScreenToggles{0};
std::atomic<std::uint64_t> baseMilliseconds{0};
std::atomic<std::uint64_t> baseTicks{0};
std::string commandLineText;
rt::RuntimeString* commandLineValue = nullptr;

// Program initialisation: a command line ending in the chaining facility's
// tag names a hand-over file left by a program that chained to this one. The
// game never chains, and the file's layout belongs to that facility: the tag
// is cut from the command line and the file removed, nothing else is read.
void chainHandOver() {
    static constexpr std::string_view kTag = "(unique-tag:=/@*$+-)chain";
    constexpr std::size_t kTagTotal = 32; // the tag, three characters, ".tmp"
    std::string& line = commandLineText;
    if (line.size() < kTagTotal) return;
    std::string_view tail = std::string_view(line).substr(line.size() - kTagTotal);
    if (tail.substr(0, kTag.size()) != kTag || tail.substr(kTagTotal - 4) != ".tmp") return;
    std::string file(tail.substr(kTag.size() - 5)); // "chain" ... ".tmp"
    std::remove(file.c_str());
    line.resize(line.size() - kTagTotal);
    if (!line.empty() && line.back() == ' ') line.pop_back();
    rt::assign(commandLineValue, rt::literal(line.c_str(), static_cast<std::int32_t>(line.size())));
}

void gameThreadMain(void (*entry)()) {
    isGameThread = true;
    installFloatingPointHandler();
    try {
        chainHandOver();
        entry();
        // The game entry is not expected to return; if it does, the program
        // ends the way end program ends it.
        requestExit();
        if (Frontend* f = detail::frontend()) f->wake();
        rt::gameHost().stopGameThread();
    } catch (const detail::GameThreadEnd&) {
        // The game thread stopped itself.
    }
    detail::gameThreadFinished();
    gameThreadDone.store(true, std::memory_order_release);
    if (Frontend* f = detail::frontend()) f->wake();
}

void timerThreadMain(Frontend* f) {
    unsigned turn = 0;
    // The game defines no timer events, so every turn only checks for the
    // stop request. The turn asks for no wait three times out of four and
    // 1 ms on the fourth; front ends that can sleep until the stop request
    // is set do so instead.
    while (!rt::stopRequested()) {
        ++turn;
        f->timerSleep((turn & 3u) == 0 ? 1 : 0);
    }
    threadsFinished.fetch_or(2, std::memory_order_acq_rel);
}

// Working directory := the folder of the program's own file.
void enterProgramFolder(char** argv) {
    std::string path;
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        path.assign(buffer, static_cast<std::size_t>(n));
    } else if (argv != nullptr && argv[0] != nullptr) {
        path = argv[0];
    }
    std::string folder = programFolder(path);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
        // Staying in the current directory is all that is left to do.
    }
}

// The time-of-day base: wait for the calendar time to reach the next second,
// so that the tick count marks the start of that second exactly.
void takeTimeOfDayBase(Frontend& f) {
    std::time_t start = f.calendarTime();
    std::time_t now = start;
    while (now == start) {
        f.sleep(1, rt::Wait::Plain);
        now = f.calendarTime();
    }
    baseTicks.store(f.ticks(), std::memory_order_relaxed);
    std::tm local{};
    localtime_r(&now, &local);
    std::uint64_t seconds = static_cast<std::uint64_t>(local.tm_hour) * 3600 +
                            static_cast<std::uint64_t>(local.tm_min) * 60 +
                            static_cast<std::uint64_t>(local.tm_sec);
    baseMilliseconds.store(seconds * 1000, std::memory_order_relaxed);
}

// Shut-down: the game thread stops itself at its next stop check, the timer
// thread at its next turn; wait for both.
void waitForThreads(Frontend& f, std::thread* game, std::thread* timer) {
    if (game != nullptr) {
        while (!gameThreadDone.load(std::memory_order_acquire) &&
               criticalExit.load(std::memory_order_acquire) < 0) {
            f.sleep(16, rt::Wait::Plain);
        }
    }
    std::uint32_t expected = (game != nullptr ? 1u : 0u) | (timer != nullptr ? 2u : 0u);
    while ((threadsFinished.load(std::memory_order_acquire) & expected) != expected &&
           criticalExit.load(std::memory_order_acquire) < 0) {
        f.sleep(16, rt::Wait::Plain);
    }
    if (timer != nullptr && timer->joinable()) timer->join();
    if (game != nullptr && game->joinable()) {
        if (gameThreadDone.load(std::memory_order_acquire)) {
            game->join();
        } else {
            game->detach(); // parked by a critical error; the process ends now
        }
    }
}

// A critical error elsewhere handed the end of the process to the main
// thread: let the timer thread go (it uses the front end, which the caller
// may destroy once runtimeMain returns), leave the parked thread alone.
int criticalEnd(Frontend& f, std::unique_ptr<std::thread>& game,
                std::unique_ptr<std::thread>& timer) {
    rt::requestStop();
    f.stopRequested();
    if (timer && timer->joinable()) timer->join();
    if (game && game->joinable()) {
        if (gameThreadDone.load(std::memory_order_acquire)) {
            game->join();
        } else {
            game->detach();
        }
    }
    return criticalExit.load(std::memory_order_acquire);
}

} // namespace

namespace detail {
Frontend* frontend() {
    return currentFrontend.load(std::memory_order_acquire);
}
void gameThreadFinished() {
    threadsFinished.fetch_or(1, std::memory_order_acq_rel);
}
} // namespace detail

void Frontend::awaitHost(std::uint64_t seen) {
    rt::waitForChange(seen, std::chrono::milliseconds(10));
}

void requestExit() {
    exitRequest.store(true, std::memory_order_release);
    rt::noteChange();
}
bool exitRequested() {
    return exitRequest.load(std::memory_order_acquire);
}
void pauseGame() {
    paused.store(true, std::memory_order_release);
    rt::setEventPending();
}
void endPause() {
    paused.store(false, std::memory_order_release);
    rt::noteChange();
}
bool gamePaused() {
    return paused.load(std::memory_order_acquire);
}
void countFullScreenToggle() {
    fullScreenToggles.fetch_add(1, std::memory_order_acq_rel);
    rt::noteChange();
}
bool takeFullScreenToggle() {
    int n = fullScreenToggles.load(std::memory_order_relaxed);
    while (n > 0 && !fullScreenToggles.compare_exchange_weak(n, n - 1, std::memory_order_acq_rel)) {
    }
    return n > 0;
}
int pendingFullScreenToggles() {
    return fullScreenToggles.load(std::memory_order_acquire);
}
void dropFullScreenToggles() {
    fullScreenToggles.store(0, std::memory_order_release);
}
void resetHostState() {
    exitRequest.store(false);
    paused.store(false);
    fullScreenToggles.store(0);
}

std::string joinArguments(int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr) break;
        if (i > 1) joined += ' ';
        joined += argv[i];
    }
    return joined;
}

std::string programFolder(std::string_view path) {
    std::size_t cut = path.find_last_of("\\/:");
    if (cut == std::string_view::npos) return {};
    if (path[cut] == ':') return std::string(path.substr(0, cut + 1));
    if (cut == 0) return "/"; // a program in the root folder
    return std::string(path.substr(0, cut));
}

const std::string& commandLine() {
    return commandLineText;
}
rt::RuntimeString* commandLineString() {
    return commandLineValue;
}

TimeOfDayBase timeOfDayBase() {
    return {baseMilliseconds.load(std::memory_order_relaxed),
            baseTicks.load(std::memory_order_relaxed)};
}

void updateClockBytes() {
    Frontend* f = detail::frontend();
    if (f == nullptr) return;
    TimeOfDayBase base = timeOfDayBase();
    std::uint64_t m =
        (f->ticks() - base.baseTicks + base.millisecondsSinceMidnight) % kMillisecondsPerDay;
    auto clock = static_cast<std::uint32_t>(static_cast<double>(m) * 0.0182);
    rt::setLowByte(kClockBytes, static_cast<std::uint8_t>(clock));
    rt::setLowByte(kClockBytes + 1, static_cast<std::uint8_t>(clock >> 8));
    rt::setLowByte(kClockBytes + 2, static_cast<std::uint8_t>(clock >> 16));
}

bool shutdownRequested() {
    return exitRequested() || criticalExit.load(std::memory_order_acquire) >= 0 ||
           gameThreadDone.load(std::memory_order_acquire);
}

bool onGameThread() {
    return isGameThread;
}

void endProcess(int status) {
    Frontend* f = detail::frontend();
    bool onMain = !mainThreadKnown.load(std::memory_order_acquire) ||
                  std::this_thread::get_id() == mainThread;
    if (onMain) {
        if (f != nullptr) f->processEnding(status);
        std::fflush(nullptr);
        std::exit(status);
    }
    int none = -1;
    criticalExit.compare_exchange_strong(none, status, std::memory_order_acq_rel);
    if (f != nullptr) f->wake();
    // Park: the main thread ends the process. Real sleeps, not the front
    // end's, which may be gone by then.
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

static int runtimeMainBody(int argc, char** argv, Frontend& frontend, void (*gameEntry)()) {
    mainThread = std::this_thread::get_id();
    mainThreadKnown.store(true, std::memory_order_release);
    currentFrontend.store(&frontend, std::memory_order_release);
    criticalExit.store(-1, std::memory_order_relaxed);
    gameThreadDone.store(false, std::memory_order_relaxed);
    threadsFinished.store(0, std::memory_order_relaxed);
    detail::installPorts();

    // The programmable function-key events keep their defaults: the game
    // defines none. The program's own folder becomes the working directory.
    enterProgramFolder(argv);
    // String store, emulated low-memory block, shared strings and the
    // command-line string.
    rt::initStringStore();
    rt::resetLowMemory();
    commandLineText = joinArguments(argc, argv);
    commandLineValue = rt::newString(0, false);
    rt::assign(commandLineValue, rt::literal(commandLineText.c_str(),
                                             static_cast<std::int32_t>(commandLineText.size())));
    if (int status = frontend.startDisplaySystem(); status != 0) return status;
    takeTimeOfDayBase(frontend);
    if (int status = frontend.startFontLibrary(); status != 0) return status;
    // The keys already held and the lock states. Input-method composition
    // is not supported on this platform.
    keyboard().reset();
    keyboard().startUp(frontend.keyboardState());
    // An empty keyboard buffer; the front end sets key repeat, the icon,
    // the caption, the mouse cursor, palettes and fonts.
    rt::setLowByte(rt::kKeyHead, rt::kRingFirst);
    rt::setLowByte(rt::kKeyTail, rt::kRingFirst);
    frontend.prepareDisplay("Untitled");
    // Screen mode 0: the 80 x 25 text page.
    rt::selectTextMode0();

    // The game thread and the timer thread.
    std::unique_ptr<std::thread> game;
    std::unique_ptr<std::thread> timer;
    try {
        game = std::make_unique<std::thread>(gameThreadMain, gameEntry);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "Unable to create thread: %s\n", e.what());
        return 0;
    }
    try {
        timer = std::make_unique<std::thread>(timerThreadMain, &frontend);
    } catch (const std::system_error& e) {
        std::fprintf(stderr, "Unable to create thread: %s\n", e.what());
        // The game thread already runs: stop it before main returns.
        rt::requestStop();
        frontend.stopRequested();
        waitForThreads(frontend, game.get(), nullptr);
        if (criticalExit.load(std::memory_order_acquire) >= 0)
            return criticalEnd(frontend, game, timer);
        return 0;
    }

    // The event loop, until the program is to end.
    rt::setDisplayLoopRunning(true);
    frontend.runEventLoop();
    if (criticalExit.load(std::memory_order_acquire) >= 0)
        return criticalEnd(frontend, game, timer);

    // Shut-down: stop the threads, let the front end tidy up. There is no
    // printer and no open file to flush or close.
    rt::requestStop();
    frontend.stopRequested();
    waitForThreads(frontend, game.get(), timer.get());
    if (criticalExit.load(std::memory_order_acquire) >= 0)
        return criticalEnd(frontend, game, timer);
    frontend.shutDown();
    rt::setDisplayLoopRunning(false);
    std::fflush(nullptr);
    return 0;
}

int runtimeMain(int argc, char** argv, Frontend& frontend, void (*gameEntry)()) {
    int status = runtimeMainBody(argc, argv, frontend, gameEntry);
    // The front end may go away once this returns; nothing that is still
    // running (at most a thread parked by a critical error) uses it.
    currentFrontend.store(nullptr, std::memory_order_release);
    rt::setPort(nullptr);
    rt::setGameHost(nullptr);
    return status;
}

} // namespace host
