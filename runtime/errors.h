// Runtime errors and the process-wide flags.
//
// A failing runtime operation does not stop anything: raise error records the
// error number (the first one wins) and sets the event-pending flag, and every
// runtime operation then does nothing until the game's event check after the
// statement has shown the error. Critical errors (memory exhaustion and a few
// others) go straight to the port's critical report, which ends the process.
//
// The event-pending flag that raise error sets belongs to the seam with the
// host (port.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace rt {

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

// Resets the error-pending code and the seam's state (tests).
void resetErrorsAndFlags();

} // namespace rt
