// Runtime errors and the process-wide flags.
//
// A failing runtime operation does not stop anything: raise error records the
// error number (the first one wins) and sets the event-pending flag, and every
// runtime operation then does nothing until the game's event check after the
// statement has shown the error. Critical errors (memory exhaustion and a few
// others) go straight to the port's critical report, which ends the process.
//
// The flags are shared between the game thread, the main thread's event loop
// and the timer thread without locks; each is an atomic word polled with short
// sleeps.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace rt {

struct Flags {
    std::atomic<std::uint8_t> stopRequest{0};      // the program must stop now
    std::atomic<std::uint8_t> exitRequest{0};      // please shut the program down
    std::atomic<std::int32_t> eventPending{0};     // call the event check after this statement
    std::atomic<std::uint32_t> threadsFinished{0}; // bit 0 game thread, bit 1 timer thread
    std::atomic<std::int32_t> threadsRunning{0};
    std::atomic<std::int32_t> automaticDisplay{1}; // 1 auto, 0 explicit only, -1 one frame asked
    std::atomic<std::int32_t> displayHandshake{0}; // 0 idle, 1 asked, 2 granted
    std::atomic<std::uint8_t> pauseState{0};       // bit 0: paused by the Pause key
    std::atomic<std::int32_t> statementRetry{0};
    std::atomic<std::int32_t> fullScreenToggles{0}; // Alt+Enter presses not yet handled
    std::atomic<std::int32_t> exitStatus{0};
};
Flags& flags();

// The error-pending code: 0 = none.
std::uint32_t errorPending();
void clearError();

// Records runtime error n (0 or negative becomes 5) unless one is pending.
// Critical numbers never return.
void raiseError(std::int32_t n);

bool isCriticalNumber(std::int32_t n);        // numbers raise error ends the process for
bool isCriticalDialogNumber(std::uint32_t n); // 300..313: their dialog has only OK
// The message for error n, or "Unprintable error".
const char* errorMessage(std::uint32_t n);
// Caption and text of the box a critical number shows.
std::string criticalCaption(std::int32_t n);
const char* criticalText(std::int32_t n);

// Shows "Out of memory" captioned "Critical Error #" + n and ends the process.
[[noreturn]] void outOfMemory(int n);

// Resets the flags and the error-pending code (tests).
void resetErrorsAndFlags();

} // namespace rt
