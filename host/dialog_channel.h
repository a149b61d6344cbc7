// The hand-over of a dialog between the thread that asks (the game thread,
// or the timer thread for a critical error) and the main thread, which shows
// it and answers: the window's box (sdl_dialog.h) and the terminal's
// (term_host.h) both go through it. The asker blocks; the main thread keeps
// handling events and painting meanwhile. A dialog that is still open when
// the event loop ends (the window was closed, the terminal went away) is
// answered Closed, and so is every later ask, so nothing waits for a screen
// that is gone.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "host/host_core.h"

namespace host {

struct DialogRequest {
    std::string caption;
    std::string text;
    DialogButtons buttons = DialogButtons::OK;
};

class DialogChannel {
  public:
    // The asking thread: posts the request and blocks until the main thread
    // answers it. Returns Closed at once, or as soon as it happens, when the
    // channel is closed or giveUp() (polled every 10 ms) returns true.
    DialogButton ask(DialogRequest request, const std::function<bool()>& giveUp);

    // Main thread: takes a newly posted request (it is then being shown).
    std::optional<DialogRequest> take();
    bool pending();
    // Main thread: answers the request being shown.
    void answer(DialogButton button);
    // The event loop ends: the open dialog and every later one answer Closed.
    void close();
    bool closed();
    // Called on the asking thread right after a request was posted (to wake
    // a sleeping event loop). Set before any thread asks.
    void onPosted(std::function<void()> hook) { posted_ = std::move(hook); }

  private:
    enum class State : std::uint8_t { Idle, Posted, Showing, Answered };
    std::mutex mutex_;
    std::condition_variable changed_;
    State state_ = State::Idle;
    bool closed_ = false;
    DialogRequest request_;
    DialogButton answer_ = DialogButton::Closed;
    std::function<void()> posted_;
};

} // namespace host
