// What the host core's own files share: the running front end and the end of
// the game thread.
#pragma once

#include "host/host_core.h"

namespace host::detail {

// The front end runtimeMain runs with (null outside runtimeMain).
Frontend* frontend();

// Thrown by stopGameThread and caught only at the game thread's entry, so the
// game thread unwinds and ends by itself. Deliberately not derived from
// std::exception: no handler for standard exceptions can swallow it.
struct GameThreadEnd {};

// The game thread has stopped itself (or is about to).
void gameThreadFinished();

// Installs the host's rt::Port and rt::GameHost.
void installPorts();

} // namespace host::detail
