// The event loop of the window program (main thread).
//
// Every turn keeps the emulated clock (the 18.2 Hz tick count at 0x46C..
// 0x46E), sleeps 16 ms (15 ms and then 1 ms, as one sleep), ends the loop
// when shut-down is due (the exit request, or a critical error elsewhere),
// and flips the turn phase. Phase 1 paints a frame when the automatic
// display flag is non-zero. Phase 0 reads input: key repeat is on only while
// the window has the input focus and is active, the Caps Lock and Num Lock
// toggles are compared with the keyboard model (SDL 1.2 does not report
// Scroll Lock, so the model's own Scroll Lock state stands), and SDL's queue
// is drained: key presses and releases go to the keyboard model, the
// window's close button ends the loop, anything else is ignored. A game
// thread asleep in a key wait is woken when a key is in the ring. So the
// screen is painted and events are read each about every 32 ms, alternately.
//
// A dialog runs the same turn in a loop of its own until it is answered:
// the page is still painted under the box, key presses go to the box
// instead of the keyboard buffer, and key releases still reach the keyboard
// model so that no key stays held. Closing the window answers the dialog
// Closed and ends the event loop; shut-down then stops the game thread,
// which gives up waiting for its answer.
#include "host/keyboard.h"
#include "host/sdl_frontend.h"
#include "host/sdl_keys.h"
#include "runtime/keyboard_buffer.h"

namespace host {

void WindowFrontend::runEventLoop() {
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
    // Whatever asks from now on gets no window.
    channel_.close();
}

WindowFrontend::Turn WindowFrontend::turn(DialogBox* box, std::optional<DialogButton>& answer) {
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
    updateKeyRepeat();
    syncLockKeys();
    SDL_Event event;
    while (!answer && SDL_PollEvent(&event)) {
        if (eventObserver_) eventObserver_(event);
        if (!handleEvent(event, box, answer)) {
            quit_ = true;
            return Turn::Shutdown;
        }
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
    const Uint8 state = SDL_GetAppState();
    const int wanted =
        keyRepeatWanted((state & SDL_APPINPUTFOCUS) != 0, (state & SDL_APPACTIVE) != 0) ? 1 : 0;
    if (wanted == repeatState_) return;
    if (wanted != 0) {
        SDL_EnableKeyRepeat(kKeyRepeatDelayMs, kKeyRepeatIntervalMs);
    } else {
        SDL_EnableKeyRepeat(0, 0);
    }
    repeatState_ = wanted;
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
