// The event loop of the window program (main thread).
//
// Under X11 the loop sleeps until there is something to do. It waits in
// poll() on the X display connection (input from the window system) and on
// an eventfd that the game thread's change reports and wake() write to, with
// a timeout at the earliest of the next cursor or blink phase flip that
// would show, the key-repeat deadline and one second (which keeps the
// emulated clock fresh). Events the client library has already read, and
// events already in SDL's queue, end the sleep at once. After every wake-up
// it keeps the emulated clock (the 18.2 Hz tick count at 0x46C..0x46E), ends
// the loop when shut-down is due (the exit request, or a critical error
// elsewhere), drains SDL's queue and, when anything was reported changed or
// a phase flipped, paints a frame right away: a typed key is on the screen
// within the same wake-up that read it.
//
// The frame counter is the count of nominal 32 ms frames since SDL started,
// so the cursor (4 frames shown, 4 hidden) and blinking text (8 and 8) keep
// their cadence however often the loop paints. The loop repeats the last
// key pressed itself while it is held (SDL's repeat runs only while its
// queue is pumped): after 500 ms, every 30 ms, only while the window has the
// input focus and is active (followed through SDL's focus events), and not
// for the modifier and lock keys.
//
// With no pollable connection (another video driver), or with the test and
// diagnostic setting GLIMMER_FIXED_TURN=1 in the environment, it runs the
// fixed turn instead: sleep 16 ms (15 ms and then 1 ms, as one sleep), check
// for shut-down, flip the turn phase; phase 1 paints a frame when the
// automatic display flag is non-zero, phase 0 reads input (SDL's key repeat
// on only while the window has the input focus and is active). Both read
// input the same way: the Caps Lock and Num Lock toggles are compared with
// the keyboard model (SDL 1.2 does not report Scroll Lock, so the model's
// own Scroll Lock state stands), key presses and releases go to the keyboard
// model, the window's close button ends the loop, anything else is ignored.
// A game thread asleep in a key wait is woken when a key is in the ring.
// (GLIMMER_FIXED_TURN=0 makes the loop sleep until woken even without a
// connection: for tests on SDL's dummy driver, which push their events and
// call wake().)
//
// A dialog runs the same turn in a loop of its own until it is answered:
// the page is still painted under the box, key presses go to the box
// instead of the keyboard buffer, and key releases still reach the keyboard
// model so that no key stays held. Closing the window answers the dialog
// Closed and ends the event loop; shut-down then stops the game thread,
// which gives up waiting for its answer.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "host/keyboard.h"
#include "host/sdl_frontend.h"
#include "host/sdl_keys.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"

namespace host {
namespace {

// Frames advance every 32 ms of elapsed time; the cursor phase is bit 2 of
// the frame counter (flips every 4 frames), the blink phase bit 3.
constexpr std::uint32_t kFrameMs = 32;
constexpr std::uint32_t kCursorFlipMs = 4 * kFrameMs;
constexpr std::uint32_t kBlinkFlipMs = 8 * kFrameMs;
// The longest sleep: the emulated clock bytes are kept at least this fresh.
constexpr std::uint32_t kLongestSleepMs = 1000;
// Before the window is open there is no connection to poll yet.
constexpr std::uint32_t kNoWindowSleepMs = 16;

std::uint32_t frameNow() {
    return SDL_GetTicks() / kFrameMs;
}

// The change hook writes to the eventfd of the loop that runs.
std::atomic<int> hookFd{-1};
void changeHook() {
    const int fd = hookFd.load(std::memory_order_acquire);
    if (fd < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(fd, &one, sizeof one);
}

// Keys that never repeat: Num Lock .. Compose (modifiers and locks).
bool repeatable(SDLKey sym) {
    return sym != SDLK_UNKNOWN && !(sym >= SDLK_NUMLOCK && sym <= SDLK_COMPOSE);
}

// Milliseconds from now until the next multiple of period (at least 1).
std::uint32_t untilNext(std::uint32_t now, std::uint32_t period) {
    return period - now % period;
}

} // namespace

void WindowFrontend::runEventLoop() {
    renderer_.setFrameClock(&frameNow);
    chooseLoop();
    for (;;) {
        std::optional<DialogButton> none;
        const Turn t = turn(nullptr, none);
        if (t == Turn::Shutdown) break;
        if (t != Turn::Polled) continue;
        if (std::optional<DialogRequest> request = channel_.take()) {
            const DialogButton answer = runDialog(std::move(*request));
            channel_.answer(answer);
            if (quit_ || shutdownRequested()) break;
        }
    }
    if (loop_ != LoopKind::Fixed) {
        rt::setChangeHook(nullptr);
        hookFd.store(-1, std::memory_order_release);
    }
    // Whatever asks from now on gets no window.
    channel_.close();
}

void WindowFrontend::chooseLoop() {
    const char* setting = std::getenv("GLIMMER_FIXED_TURN");
    if ((setting != nullptr && std::strcmp(setting, "1") == 0) || wakeFd_ < 0) {
        loop_ = LoopKind::Fixed;
        return;
    }
    forcedWaking_ = setting != nullptr && std::strcmp(setting, "0") == 0;
    // Until the first frame has opened the window it is not known whether
    // there is a connection to poll: wake at least every 16 ms till then.
    loop_ = LoopKind::Unknown;
    hookFd.store(wakeFd_, std::memory_order_release);
    rt::setChangeHook(&changeHook);
    // The loop repeats keys itself.
    SDL_EnableKeyRepeat(0, 0);
    repeatState_ = 0;
    // A frame is painted the moment it is due: show it at once too. The
    // changed cells go straight to SDL 2's window surface where it takes
    // them; what goes through SDL 1.2 is handed over as the whole window,
    // which it shows at once (and, at a cursor flip, costs less than the
    // cells alone and a second update to show them).
    output_.presentAtOnce(true);
}

WindowFrontend::Turn WindowFrontend::turn(DialogBox* box, std::optional<DialogButton>& answer) {
    return loop_ == LoopKind::Fixed ? fixedTurn(box, answer) : wakingTurn(box, answer);
}

// ---- The waking loop ------------------------------------------------------

WindowFrontend::Turn WindowFrontend::wakingTurn(DialogBox* box,
                                                std::optional<DialogButton>& answer) {
    sleepUntilDue(box);
    updateClockBytes();
    if (quit_ || shutdownRequested()) return Turn::Shutdown;
    if (!pollInput(box, answer)) {
        quit_ = true;
        return Turn::Shutdown;
    }
    // A game thread waiting for a key sleeps until one is there.
    if (!rt::keyBufferEmpty()) wakeSignal_.notify();
    if (frameDue(box)) {
        const bool automatic = rt::displayMode() != rt::DisplayMode::Explicit;
        paintedChanges_ = rt::changeCount();
        paintedFrame_ = frameNow();
        dialogFrameDue_ = false;
        repaintAsked_.store(false, std::memory_order_relaxed);
        // A dialog needs a window even when the game paints only on request.
        if (automatic || (box != nullptr && renderer_.canvas() == nullptr)) paint(box);
        if (loop_ == LoopKind::Unknown && renderer_.canvas() != nullptr) {
            // The window is open: poll its connection, or fall back.
            connection_ = windowConnection();
            if (connection_ || forcedWaking_) {
                loop_ = LoopKind::Waking;
            } else {
                loop_ = LoopKind::Fixed;
                rt::setChangeHook(nullptr);
                hookFd.store(-1, std::memory_order_release);
                SDL_EnableKeyRepeat(kKeyRepeatDelayMs, kKeyRepeatIntervalMs);
                repeatState_ = 1;
                output_.presentAtOnce(false);
            }
        }
    }
    // Show a focus change or an answer key at once.
    if (box != nullptr && !answer && box->dirty() && renderer_.canvas() != nullptr) {
        SDL_Rect r = box->bounds();
        renderer_.present(&r, 1);
    }
    return Turn::Polled;
}

bool WindowFrontend::frameDue(DialogBox* box) const {
    if (dialogFrameDue_ || repaintAsked_.load(std::memory_order_acquire)) return true;
    if (rt::changeCount() != paintedChanges_) return true;
    if (box != nullptr && renderer_.canvas() == nullptr) return true;
    // A cursor or blink flip since the last frame (blink flips fall on
    // cursor flips).
    return frameNow() / 4 != paintedFrame_ / 4;
}

void WindowFrontend::sleepUntilDue(DialogBox* box) {
    // Armed before the checks below: a change reported after them writes
    // to the eventfd and ends the poll at once.
    rt::armChangeHook();
    const std::uint32_t now = SDL_GetTicks();
    std::uint32_t timeout = kLongestSleepMs;
    if (loop_ == LoopKind::Unknown) timeout = kNoWindowSleepMs;
    const rt::ScreenPage* page = rt::displayPage();
    if (page != nullptr && page->cursorVisible.load(std::memory_order_relaxed) != 0) {
        timeout = std::min(timeout, untilNext(now, kCursorFlipMs));
    } else if (renderer_.painter().blinking()) {
        timeout = std::min(timeout, untilNext(now, kBlinkFlipMs));
    }
    if (repeating_) {
        const auto left = static_cast<std::int32_t>(repeatDue_ - now);
        timeout = std::min(timeout, static_cast<std::uint32_t>(std::max(left, 0)));
    }
    SDL_Event queued;
    if (frameDue(box) || (box != nullptr && box->dirty()) ||
        SDL_PeepEvents(&queued, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) > 0 ||
        (connection_ && connection_->eventsQueued()) || quit_ || shutdownRequested()) {
        timeout = 0;
    }
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {-1, POLLIN, 0}};
    nfds_t count = 1;
    if (connection_) {
        fds[1].fd = connection_->fd();
        count = 2;
    }
    if (timeout > 0 && poll(fds, count, static_cast<int>(timeout)) < 0) {
        // Interrupted by a signal: simply look again.
        return;
    }
    std::uint64_t drained = 0;
    [[maybe_unused]] const ssize_t n = read(wakeFd_, &drained, sizeof drained);
}

bool WindowFrontend::pollInput(DialogBox* box, std::optional<DialogButton>& answer) {
    updateKeyRepeat();
    syncLockKeys();
    SDL_Event event;
    while (!answer && SDL_PollEvent(&event)) {
        if (eventObserver_) eventObserver_(event);
        noteKeyForRepeat(event);
        if (!handleEvent(event, box, answer)) return false;
    }
    if (repeating_ && !answer) {
        const std::uint32_t now = SDL_GetTicks();
        if (static_cast<std::int32_t>(now - repeatDue_) >= 0) {
            // One repeat per wake-up, on the schedule of the press (500 ms,
            // then every 30 ms): a loop held up past several deadlines
            // skips the missed ones instead of catching up in a burst.
            do {
                repeatDue_ += kKeyRepeatIntervalMs;
            } while (static_cast<std::int32_t>(now - repeatDue_) >= 0);
            event = repeatEvent_;
            if (eventObserver_) eventObserver_(event);
            if (!handleEvent(event, box, answer)) return false;
        }
    }
    return true;
}

void WindowFrontend::noteKeyForRepeat(const SDL_Event& event) {
    if (loop_ == LoopKind::Fixed) return;
    if (!focusKnown_) {
        const Uint8 state = SDL_GetAppState();
        inputFocus_ = (state & SDL_APPINPUTFOCUS) != 0;
        active_ = (state & SDL_APPACTIVE) != 0;
        focusKnown_ = true;
    }
    if (event.type == SDL_KEYDOWN) {
        // The last key pressed repeats; a press of another key ends the
        // repeat of the one before.
        repeating_ = keyRepeatWanted(inputFocus_, active_) && repeatable(event.key.keysym.sym);
        if (repeating_) {
            repeatEvent_ = event;
            repeatDue_ = SDL_GetTicks() + kKeyRepeatDelayMs;
        }
    } else if (event.type == SDL_KEYUP) {
        if (repeating_ && event.key.keysym.sym == repeatEvent_.key.keysym.sym) repeating_ = false;
    } else if (event.type == SDL_ACTIVEEVENT) {
        if ((event.active.state & SDL_APPINPUTFOCUS) != 0) inputFocus_ = event.active.gain != 0;
        if ((event.active.state & SDL_APPACTIVE) != 0) active_ = event.active.gain != 0;
        if (!keyRepeatWanted(inputFocus_, active_)) repeating_ = false;
    }
}

// ---- The fixed turn -------------------------------------------------------

WindowFrontend::Turn WindowFrontend::fixedTurn(DialogBox* box,
                                               std::optional<DialogButton>& answer) {
    updateClockBytes();
    // 15 ms and then 1 ms with nothing in between: one sleep of 16 ms, which
    // halves the loop's wake-ups.
    sleep(16, rt::Wait::Plain);
    if (quit_ || shutdownRequested()) return Turn::Shutdown;
    phase_ ^= 1;
    if (phase_ == 1) {
        const bool automatic = rt::displayMode() != rt::DisplayMode::Explicit;
        // A dialog needs a window even when the game paints only on request.
        if (automatic || (box != nullptr && renderer_.canvas() == nullptr)) {
            paint(box);
        } else if (box != nullptr && box->dirty()) {
            SDL_Rect r = box->bounds();
            renderer_.present(&r, 1);
        }
        return Turn::Painted;
    }
    if (!pollInput(box, answer)) {
        quit_ = true;
        return Turn::Shutdown;
    }
    // A game thread waiting for a key sleeps until one is there.
    if (!rt::keyBufferEmpty()) wakeSignal_.notify();
    // Show a focus change at once rather than with the next frame.
    if (box != nullptr && !answer && box->dirty() && renderer_.canvas() != nullptr) {
        SDL_Rect r = box->bounds();
        renderer_.present(&r, 1);
    }
    return Turn::Polled;
}

// ---- Shared by both -------------------------------------------------------

void WindowFrontend::paint(DialogBox* box) {
    if (frameStartObserver_) frameStartObserver_();
    renderer_.frame();
    fullScreen_.store(renderer_.isFullScreen(), std::memory_order_release);
    if (box != nullptr && box->dirty() && renderer_.canvas() != nullptr) {
        SDL_Rect r = box->bounds();
        renderer_.present(&r, 1);
    }
    if (frameObserver_) frameObserver_();
}

void WindowFrontend::updateKeyRepeat() {
    if (loop_ != LoopKind::Fixed) {
        // The waking loop repeats keys itself, and follows the focus
        // through SDL's focus events (noteKeyForRepeat).
        return;
    }
    const Uint8 state = SDL_GetAppState();
    const bool wanted =
        keyRepeatWanted((state & SDL_APPINPUTFOCUS) != 0, (state & SDL_APPACTIVE) != 0);
    if ((wanted ? 1 : 0) == repeatState_) return;
    if (wanted) {
        SDL_EnableKeyRepeat(kKeyRepeatDelayMs, kKeyRepeatIntervalMs);
    } else {
        SDL_EnableKeyRepeat(0, 0);
    }
    repeatState_ = wanted ? 1 : 0;
}

void WindowFrontend::syncLockKeys() {
    keyboard().syncLocksFromMod(keyModFromSdl(SDL_GetModState()));
}

bool WindowFrontend::handleEvent(const SDL_Event& event, DialogBox* box,
                                 std::optional<DialogButton>& answer) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (box != nullptr) {
            answer =
                box->keyDown(event.key.keysym.sym, event.key.keysym.unicode, event.key.keysym.mod);
        } else {
            keyboard().keyDown(keyIdFromSdl(event.key.keysym.sym), event.key.keysym.unicode,
                               keyModFromSdl(event.key.keysym.mod));
        }
        break;
    case SDL_KEYUP:
        keyboard().keyUp(keyIdFromSdl(event.key.keysym.sym), keyModFromSdl(event.key.keysym.mod));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (box != nullptr && event.button.button == SDL_BUTTON_LEFT) {
            box->mouseDown(event.button.x, event.button.y);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (box != nullptr && event.button.button == SDL_BUTTON_LEFT) {
            answer = box->mouseUp(event.button.x, event.button.y);
        }
        break;
    case SDL_VIDEOEXPOSE:
        // Part of the window was uncovered: paint all of it again.
        renderer_.invalidate();
        repaintAsked_.store(true, std::memory_order_relaxed);
        break;
    case SDL_QUIT:
        return false;
    default:
        break;
    }
    return true;
}

DialogButton WindowFrontend::runDialog(DialogRequest request) {
    DialogBox box(std::move(request));
    output_.setDialog(&box);
    if (renderer_.canvas() != nullptr) {
        box.layout(renderer_.canvas()->w, renderer_.canvas()->h);
        SDL_Rect r = box.bounds();
        renderer_.present(&r, 1);
    }
    // The waking loop paints a frame with the box at once.
    dialogFrameDue_ = true;
    std::optional<DialogButton> answer;
    while (!answer) {
        if (turn(&box, answer) == Turn::Shutdown) answer = DialogButton::Closed;
    }
    output_.setDialog(nullptr);
    // Paint the page over the box at once.
    renderer_.invalidate();
    if (!quit_ && !shutdownRequested() && renderer_.canvas() != nullptr) paint(nullptr);
    return *answer;
}

} // namespace host
