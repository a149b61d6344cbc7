// The window program's front end: SDL 1.2 on the real clock.
//
// WindowFrontend is what host::runtimeMain runs the game with in the real
// program. It starts SDL and TrueType, sets the icon and caption, lists the
// full-screen modes, turns on key repeat and Unicode translation, sleeps with
// SDL_Delay and reads SDL_GetTicks, and on the main thread runs the event
// loop (sdl_event_loop.cpp). Under X11 the loop sleeps in poll() until
// there is something to do (input on the display connection, a change
// reported by the game thread, the next cursor or blink phase, a key-repeat
// deadline), then drains SDL's event queue into the keyboard model and
// paints the display page through the Renderer at once. With no connection
// to poll (another video driver), or with GLIMMER_FIXED_TURN=1 in the
// environment (a test and diagnostic setting), it runs the fixed 16 ms turn
// that alternately paints and drains the queue.
//
// Dialogs are drawn inside the game window (sdl_dialog.h). The thread that
// shows one blocks while the main thread keeps polling and painting: the
// game screen is painted as usual and the box is drawn over it at the moment
// each frame is handed to the window, so the two never fight over pixels and
// only the main thread ever touches the window.
#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>

#include "host/host_core.h"
#include "host/sdl_dialog.h"
#include "host/sdl_renderer.h"
#include "host/sdl_window_connection.h"
#include "host/wake_signal.h"

namespace host {

// The renderer's window output with the open dialog drawn over every frame
// just before it is shown.
class DialogCompositor final : public VideoOutput {
  public:
    SDL_Surface* setMode(int width, int height, bool fullScreen) override;
    void update(SDL_Surface* surface, const SDL_Rect* rects, int count) override;
    void showPointer(bool visible) override { sdl_.showPointer(visible); }
    void yield() override { sdl_.yield(); }

    void setDialog(DialogBox* box) { box_ = box; }
    void presentAtOnce(bool on) { sdl_.presentAtOnce(on); }
    DialogBox* dialog() const { return box_; }

  private:
    SdlVideoOutput sdl_;
    DialogBox* box_ = nullptr;
    std::vector<SDL_Rect> rects_;
};

class WindowFrontend : public Frontend {
  public:
    WindowFrontend();
    ~WindowFrontend() override;

    // Clock.
    void sleep(std::uint32_t ms, rt::Wait why) override;
    std::uint64_t ticks() override;
    std::time_t calendarTime() override;
    void timerSleep(std::uint32_t ms) override;

    // Start-up: SDL (status 100 with "Unable to init SDL: ..." when it does
    // not start), TrueType (status 7000), the keyboard's state, then the
    // full-screen modes, key repeat with Unicode translation, the icon, the
    // caption and the mouse pointer.
    int startDisplaySystem() override;
    int startFontLibrary() override;
    KeyboardState keyboardState() override;
    void prepareDisplay(const char* caption) override;
    // The full-screen modes found at start-up.
    const std::vector<VideoMode>& fullScreenModes() const { return modes_; }

    // Main thread.
    void runEventLoop() override;
    void shutDown() override;
    void stopRequested() override;
    // Wakes the event loop from its sleep (any thread).
    void wake() override;

    // Dialogs.
    DialogButton showDialog(std::string_view caption, std::string_view text,
                            DialogButtons buttons) override;
    bool isFullScreen() override;
    void showMaximised() override;

    // ---- For tests and benchmarks ----
    // Called on the main thread right before every painted frame.
    void setFrameStartObserver(std::function<void()> observer) {
        frameStartObserver_ = std::move(observer);
    }
    // Called on the main thread after every painted frame.
    void setFrameObserver(std::function<void()> observer) { frameObserver_ = std::move(observer); }
    // Called on the main thread for every SDL event before it is handled,
    // the key presses the loop repeats itself included.
    void setEventObserver(std::function<void(const SDL_Event&)> observer) {
        eventObserver_ = std::move(observer);
    }
    Renderer& windowRenderer() { return renderer_; }
    // A dialog is on the screen now (main thread).
    bool dialogOpen() const { return output_.dialog() != nullptr; }
    // Dialogs shown so far (any thread).
    int dialogsShown() const { return dialogsShown_.load(std::memory_order_acquire); }
    // How the event loop waits (main thread; decided when the window has
    // opened): Unknown before, Waking when it sleeps until something
    // happens, Fixed for the 16 ms turn.
    enum class LoopKind : std::uint8_t { Unknown, Waking, Fixed };
    LoopKind loopKind() const { return loop_; }

  private:
    enum class Turn : std::uint8_t { Painted, Polled, Shutdown };
    // One turn of the loop. While a dialog is open the polled events go to
    // it.
    Turn turn(DialogBox* box, std::optional<DialogButton>& answer);
    // The fixed turn: clock, 16 ms sleep, exit check, then paint or poll.
    Turn fixedTurn(DialogBox* box, std::optional<DialogButton>& answer);
    // The waking turn: sleep until something happens, clock, exit check,
    // input, repeated keys, then a frame when one is due.
    Turn wakingTurn(DialogBox* box, std::optional<DialogButton>& answer);
    // Sleeps until input, a change report, wake(), or the earliest of the
    // next phase flip that shows, the key-repeat deadline and a one-second
    // cap; not at all when something is due already.
    void sleepUntilDue(DialogBox* box);
    // Whether a frame is due: a change was reported since the last one, a
    // cursor or blink phase flipped, a repaint was asked for.
    bool frameDue(DialogBox* box) const;
    // Drains SDL's queue (and the repeat deadline); false when the window's
    // close button was pressed.
    bool pollInput(DialogBox* box, std::optional<DialogButton>& answer);
    // The waking loop's own key repeat, kept from the presses and releases.
    void noteKeyForRepeat(const SDL_Event& event);
    void chooseLoop();
    void paint(DialogBox* box);
    void updateKeyRepeat();
    void syncLockKeys();
    // Handles one event; false on the window's close button.
    bool handleEvent(const SDL_Event& event, DialogBox* box, std::optional<DialogButton>& answer);
    // Shows box on the main thread until it is answered (or the window is
    // closed: Closed, and the event loop is to end).
    DialogButton runDialog(DialogRequest request);
    bool onMainThread() const;

    DialogCompositor output_;
    Renderer renderer_;
    DialogChannel channel_;
    std::thread::id mainThread_;
    SDL_Cursor* cursor_ = nullptr;
    SDL_Cursor* systemCursor_ = nullptr;
    int phase_ = 0;
    int repeatState_ = -1; // -1 unknown, 0 off, 1 on
    LoopKind loop_ = LoopKind::Unknown;
    bool forcedWaking_ = false; // GLIMMER_FIXED_TURN=0: wake without a connection (tests)
    std::optional<WindowConnection> connection_;
    int wakeFd_ = -1;                       // eventfd: change reports and wake()
    std::uint64_t paintedChanges_ = ~0ull;  // changeCount() when the last frame began
    std::uint32_t paintedFrame_ = 0;        // the frame counter of the last frame
    bool dialogFrameDue_ = false;           // a dialog just opened or closed
    std::atomic<bool> repaintAsked_{false}; // showMaximised
    // The key the waking loop repeats: the last one pressed and still held.
    bool focusKnown_ = false; // inputFocus_ and active_ read from SDL once
    bool inputFocus_ = false;
    bool active_ = false;
    bool repeating_ = false;
    SDL_Event repeatEvent_{};
    std::uint32_t repeatDue_ = 0; // SDL ticks
    bool quit_ = false;           // the window's close button was pressed
    bool sdlStarted_ = false;
    std::vector<VideoMode> modes_;
    std::atomic<bool> fullScreen_{false};
    std::atomic<int> dialogsShown_{0};
    std::function<void()> frameStartObserver_;
    std::function<void()> frameObserver_;
    std::function<void(const SDL_Event&)> eventObserver_;
    // Wakes the game thread's key waits when a key reaches the ring, and the
    // timer thread when the stop request is set.
    WakeSignal wakeSignal_;
};

} // namespace host
