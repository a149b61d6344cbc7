// Sleeping until something happens, for threads that would otherwise poll.
//
// The game thread polls the keyboard ring while a line input or end program
// waits for a key, and the timer thread polls the stop-request flag. Both
// conditions live in atomics that other threads change without locks. A
// WakeSignal lets such a poll sleep until the condition may have changed:
// the waiter sleeps until its condition holds, notify() is called, or the
// cap runs out; whoever changes the condition calls notify() afterwards.
// The mutex only orders the sleep against the notification (a notification
// between the waiter's check and its sleep is not lost); it guards no data.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace host {

class WakeSignal {
  public:
    // Sleeps until ready() returns true (checked first) or cap has passed.
    // Returns ready()'s last answer.
    template <typename Ready> bool waitUntil(Ready ready, std::chrono::milliseconds cap) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, cap, ready);
    }

    // The condition of some waiter may have changed: wake every waiter.
    void notify() {
        { std::lock_guard<std::mutex> lock(mutex_); }
        changed_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

} // namespace host
