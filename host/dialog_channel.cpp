// The dialog hand-over between the asking thread and the main thread (see
// dialog_channel.h).
#include "host/dialog_channel.h"

#include <chrono>

namespace host {

DialogButton DialogChannel::ask(DialogRequest request, const std::function<bool()>& giveUp) {
    using namespace std::chrono_literals;
    std::unique_lock<std::mutex> lock(mutex_);
    // One dialog at a time: a second asker waits for the first to be answered.
    while (state_ != State::Idle) {
        if (closed_ || (giveUp && giveUp())) return DialogButton::Closed;
        changed_.wait_for(lock, 10ms);
    }
    if (closed_) return DialogButton::Closed;
    request_ = std::move(request);
    state_ = State::Posted;
    changed_.notify_all();
    if (posted_) posted_();
    while (state_ != State::Answered) {
        if (closed_ || (giveUp && giveUp())) {
            state_ = State::Idle;
            changed_.notify_all();
            return DialogButton::Closed;
        }
        changed_.wait_for(lock, 10ms);
    }
    const DialogButton answer = answer_;
    state_ = State::Idle;
    changed_.notify_all();
    return answer;
}

std::optional<DialogRequest> DialogChannel::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::Posted) return std::nullopt;
    state_ = State::Showing;
    return request_;
}

bool DialogChannel::pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return state_ == State::Posted;
}

void DialogChannel::answer(DialogButton button) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::Showing) return; // the asker gave up meanwhile
    answer_ = button;
    state_ = State::Answered;
    changed_.notify_all();
}

void DialogChannel::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

bool DialogChannel::closed() {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

} // namespace host
