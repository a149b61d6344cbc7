// The runtime's two narrow ports.
//
// Port is what the runtime itself needs from whoever hosts it: sleeping (on
// the real clock in the window program, on a virtual clock in the replay
// driver) and the critical-error box that ends the process. GameHost is what
// the game needs beyond the runtime: the event check after a statement, end
// program and stopping the game thread. The host shell provides both; until a
// host installs its own, a default Port sleeps for real and writes critical
// errors to standard error.
#pragma once

#include <cstdint>
#include <string_view>

namespace rt {

// Why the game thread is about to sleep. The replay driver delivers its next
// scripted key only while the game waits for one to arrive.
enum class Wait : std::uint8_t {
    Plain,   // any other wait (thread end, handshakes, the tone)
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

} // namespace rt
