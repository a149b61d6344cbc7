// The window system's connection, for an event loop that sleeps in poll().
//
// Under X11 SDL reads its events from one socket, the display connection.
// windowConnection() finds it through SDL's window-manager information once
// the window is open: its file descriptor, which becomes readable when the X
// server sends something, and a check for events the client library has
// already read from it (those leave nothing on the socket, so poll() would
// not see them). Under any other video driver there is none.
#pragma once

#include <optional>

namespace host {

class WindowConnection {
  public:
    // The descriptor to poll for input.
    int fd() const { return fd_; }
    // Whether events wait in the client library's queue (flushes requests
    // still buffered on our side first).
    bool eventsQueued() const;

  private:
    friend std::optional<WindowConnection> windowConnection();
    int fd_ = -1;
    void* display_ = nullptr;
    int (*pending_)(void*) = nullptr;
};

// The connection of SDL's open window; none without a window, or when the
// video driver is not X11 or libX11 is not loaded.
std::optional<WindowConnection> windowConnection();

} // namespace host
