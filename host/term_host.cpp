// The terminal front ends' shared parts: clock, self-pipe, signals, the key
// queue and the dialog hand-over (see term_host.h).
#include "host/term_host.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "host/keyboard.h"
#include "runtime/keyboard_buffer.h"

namespace host {
namespace {

// The longest a key wait or the timer thread sleeps without being woken: a
// safety net only, every change they wait for also wakes them.
constexpr auto kWakeCap = std::chrono::milliseconds(1000);

int wakePipe[2] = {-1, -1};
std::atomic<unsigned> pendingSignals{0};
static_assert(std::atomic<unsigned>::is_always_lock_free);

// The crash restore: written once before the handlers go in.
int crashFd = -1;
char crashBytes[256];
std::size_t crashLength = 0;
struct termios crashModes;
std::atomic<bool> crashArmed{false};

const std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();

void onSignal(int sig) {
    const int saved = errno;
    unsigned bit = 0;
    switch (sig) {
    case SIGWINCH:
        bit = kSignalResize;
        break;
    case SIGTSTP:
        bit = kSignalSuspend;
        break;
    case SIGCONT:
        bit = kSignalResumed;
        break;
    default:
        bit = kSignalEnd;
        break;
    }
    pendingSignals.fetch_or(bit);
    TermHost::wakeMainLoop();
    errno = saved;
}

void onCrash(int sig) {
    if (crashArmed.exchange(false)) {
        ssize_t ignored = ::write(crashFd, crashBytes, crashLength);
        (void)ignored;
        ::tcsetattr(crashFd, TCSANOW, &crashModes);
    }
    // SA_RESETHAND put the default action back: the signal, still blocked
    // while this handler runs, ends the process once it returns.
    ::raise(sig);
}

void changeHook() {
    TermHost::wakeMainLoop();
}

} // namespace

void setCrashRestore(int fd, const std::string& bytes, const void* termiosModes) {
    crashArmed.store(false);
    if (termiosModes == nullptr) return;
    crashFd = fd;
    crashLength = std::min(bytes.size(), sizeof crashBytes);
    std::memcpy(crashBytes, bytes.data(), crashLength);
    std::memcpy(&crashModes, termiosModes, sizeof crashModes);
    crashArmed.store(true);
}

void clearCrashRestore() {
    crashArmed.store(false);
}

// ---- Keys -----------------------------------------------------------------

TermKey keyForCharacter(std::uint32_t c) {
    switch (c) {
    case 8:
    case 127:
        return {.id = kKeyBackspace, .unicode = 8};
    case 9:
        return {.id = kKeyTab, .unicode = 9};
    case 10:
    case 13:
        return {.id = kKeyReturn, .unicode = 13};
    case 27:
        return {.id = kKeyEscape, .unicode = 27};
    }
    if (c >= 1 && c <= 26)
        return {.id = static_cast<KeyId>('a' + c - 1), .unicode = c, .mod = kModLeftCtrl};
    if (c >= 'A' && c <= 'Z')
        return {.id = static_cast<KeyId>(c + 32), .unicode = c, .mod = kModLeftShift};
    if (c >= 32 && c < 127) return {.id = static_cast<KeyId>(c), .unicode = c};
    return {.unicode = c, .text = true};
}

void deliverKey(const TermKey& key) {
    Keyboard& kb = keyboard();
    if (key.text) {
        kb.typeCharacter(key.unicode);
        return;
    }
    const std::uint32_t mod = key.mod;
    const bool ctrl = (mod & kModLeftCtrl) != 0;
    const bool alt = (mod & kModLeftAlt) != 0;
    const bool shift = (mod & kModLeftShift) != 0;
    std::uint32_t held = kModNone;
    if (shift) kb.keyDown(kKeyLeftShift, 0, held |= kModLeftShift);
    if (ctrl) kb.keyDown(kKeyLeftCtrl, 0, held |= kModLeftCtrl);
    if (alt) kb.keyDown(kKeyLeftAlt, 0, held |= kModLeftAlt);
    const auto unicode = static_cast<std::uint16_t>(key.unicode > 0xFFFF ? 0 : key.unicode);
    kb.keyDown(key.id, unicode, held);
    kb.keyUp(key.id, held);
    if (alt) kb.keyUp(kKeyLeftAlt, held &= ~static_cast<std::uint32_t>(kModLeftAlt));
    if (ctrl) kb.keyUp(kKeyLeftCtrl, held &= ~static_cast<std::uint32_t>(kModLeftCtrl));
    if (shift) kb.keyUp(kKeyLeftShift, kModNone);
}

std::vector<std::string> wrapText(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        while (line.size() > width) {
            std::size_t cut = line.rfind(' ', width);
            if (cut == std::string::npos || cut == 0) cut = width;
            lines.push_back(line.substr(0, cut));
            line.erase(0, line[cut] == ' ' ? cut + 1 : cut);
        }
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// ---- TermHost ---------------------------------------------------------------

TermHost::TermHost() {
    if (wakePipe[0] < 0) {
        if (::pipe2(wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) {
            wakePipe[0] = wakePipe[1] = -1;
        }
    }
    rt::setChangeHook(&changeHook);
    dialogs_.onPosted(&wakeMainLoop);
}

TermHost::~TermHost() {
    rt::setChangeHook(nullptr);
}

void TermHost::wakeMainLoop() {
    if (wakePipe[1] < 0) return;
    const char byte = 1;
    ssize_t ignored = ::write(wakePipe[1], &byte, 1); // a full pipe wakes anyway
    (void)ignored;
}

int TermHost::wakeFd() {
    return wakePipe[0];
}

void TermHost::drainWakes() {
    char buffer[256];
    while (wakePipe[0] >= 0 && ::read(wakePipe[0], buffer, sizeof buffer) > 0) {
    }
}

void TermHost::installSignals() {
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sigemptyset(&sa.sa_mask);
    sa.sa_handler = &onSignal;
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGWINCH, SIGTSTP, SIGCONT}) {
        ::sigaction(sig, &sa, nullptr);
    }
    sa.sa_handler = &onCrash;
    sa.sa_flags = SA_RESETHAND;
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGABRT}) {
        ::sigaction(sig, &sa, nullptr);
    }
    // A terminal that went away must not kill the program with SIGPIPE
    // before it has restored what it can.
    sa.sa_handler = SIG_IGN;
    sa.sa_flags = 0;
    ::sigaction(SIGPIPE, &sa, nullptr);
}

unsigned TermHost::takeSignals() {
    return pendingSignals.exchange(0);
}

// A key wait that finds the ring empty sleeps until the main thread stores
// a key or the stop request is set, so an idle prompt costs no processor
// time and a typed key is read at once.
void TermHost::sleep(std::uint32_t ms, rt::Wait why) {
    const bool keyWait = why == rt::Wait::KeyPoll || why == rt::Wait::KeyEnd;
    if (keyWait && ms > 0 && rt::keyBufferEmpty()) {
        keyWake_.waitUntil([] { return !rt::keyBufferEmpty() || rt::stopRequested(); }, kWakeCap);
    } else if (ms == 0) {
        std::this_thread::yield();
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

std::uint64_t TermHost::ticks() {
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - startTime)
                                          .count());
}

std::time_t TermHost::calendarTime() {
    return std::time(nullptr);
}

// The timer thread has nothing to watch (the game defines no timer event):
// it sleeps until shut-down.
void TermHost::timerSleep(std::uint32_t) {
    timerWake_.waitUntil([] { return rt::stopRequested(); }, kWakeCap);
}

void TermHost::wake() {
    wakeMainLoop();
}

void TermHost::stopRequested() {
    keyWake_.notify();
    timerWake_.notify();
    wakeMainLoop();
}

DialogButton TermHost::showDialog(std::string_view caption, std::string_view text,
                                  DialogButtons buttons) {
    DialogRequest dialog{std::string(caption), std::string(text), buttons};
    if (!onGameThread()) {
        // A critical error on the main thread (or the timer thread, which
        // the main thread does not wait for here): shown where it is asked.
        if (std::this_thread::get_id() == mainThread_) return runDialog(dialog);
    }
    return dialogs_.ask(std::move(dialog), [] { return rt::stopRequested(); });
}

void TermHost::feedKeys() {
    bool fed = false;
    while (!keys_.empty() && rt::keyBufferEmpty() && !shutdownRequested()) {
        deliverKey(keys_.front());
        keys_.pop_front();
        fed = true;
    }
    if (fed) keyWake_.notify();
}

void TermHost::pressBreak() {
    keys_.clear();
    keyboard().keyDown(kKeyBreak, 0, kModNone);
    keyboard().keyUp(kKeyBreak, kModNone);
}

} // namespace host
