// What the terminal program's two front ends share: the full-screen one
// (term_curses.cpp, through ncursesw) and the line mode (term_plain.cpp).
//
// Both run on the real clock and sleep without polling. The main thread
// sleeps in poll() on standard input and a self-pipe; the pipe is written by
// the seam's change hook (a page was written, a key was taken, an input wait
// began, a display request was asked), by the signal handlers, by a dialog
// being asked for and by an exit request. The game thread's key waits sleep
// on a WakeSignal until the main thread has put a key into the ring.
//
// Keys read from the terminal are queued and handed to the keyboard model
// one at a time, each once the ring is empty again, so a pasted line or a
// long piped one never overflows the 15-key ring.
//
// Dialogs are asked for on the game thread and shown by the main thread,
// which owns the terminal; the asker blocks until they are answered
// (dialog_channel.h).
//
// Signals: SIGINT, SIGTERM and SIGHUP end the program like closing the
// window (status 0); SIGWINCH, SIGTSTP and SIGCONT are handed to the main
// loop; a crash signal (SIGSEGV, SIGBUS, SIGILL, SIGABRT) restores the
// terminal from the handler itself and is raised again.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "host/dialog_channel.h"
#include "host/host_core.h"
#include "host/key_ids.h"
#include "host/wake_signal.h"

namespace host {

// One key for the keyboard model: a key identity with the character it
// typed and the modifier bits held (Ctrl or Alt are pressed around it), or
// a character no key types (text).
struct TermKey {
    KeyId id = kKeyUnknown;
    std::uint32_t unicode = 0;
    std::uint32_t mod = kModNone;
    bool text = false;
};

// Presses and releases key in the keyboard model.
void deliverKey(const TermKey& key);
// The key a typed character is (ASCII control characters included: ^H and
// DEL are Backspace, CR and LF Enter, ^A..^Z Ctrl plus the letter).
TermKey keyForCharacter(std::uint32_t c);

// Splits text at line breaks (a CR before one is dropped) and wraps lines
// longer than width at a blank, cutting words that are longer.
std::vector<std::string> wrapText(const std::string& text, std::size_t width);

// Signals taken from the handlers by the main loop.
enum TermSignal : unsigned {
    kSignalEnd = 1u << 0,    // SIGINT, SIGTERM, SIGHUP
    kSignalResize = 1u << 1, // SIGWINCH
    kSignalSuspend = 1u << 2,
    kSignalResumed = 1u << 3,
};

class TermHost : public Frontend {
  public:
    TermHost();
    ~TermHost() override;

    // ---- Clock ----
    void sleep(std::uint32_t ms, rt::Wait why) override;
    std::uint64_t ticks() override;
    std::time_t calendarTime() override;
    void timerSleep(std::uint32_t ms) override;

    // ---- Dialogs: posted to the main thread ----
    DialogButton showDialog(std::string_view caption, std::string_view text,
                            DialogButtons buttons) override;
    bool isFullScreen() override { return false; }
    void showMaximised() override {}

    void wake() override;
    void stopRequested() override;

    // Writes one byte to the self-pipe (any thread, signal handlers too).
    static void wakeMainLoop();

  protected:
    // Main thread: shows a dialog and returns its answer (Closed when the
    // program is to end meanwhile).
    virtual DialogButton runDialog(const DialogRequest& dialog) = 0;

    // The self-pipe's reading end, and emptying it.
    static int wakeFd();
    static void drainWakes();
    // Installs the signal handlers (after the terminal library has put in
    // its own) and takes the signals that arrived since the last call.
    static void installSignals();
    static unsigned takeSignals();

    // Main thread: the dialog asked for, if any, and its answer.
    std::optional<DialogRequest> takeDialog() { return dialogs_.take(); }
    void answerDialog(DialogButton answer) { dialogs_.answer(answer); }
    // Main thread, when the loop ends: every dialog answers Closed.
    void closeDialogs() { dialogs_.close(); }

    // Main thread: queues a key; hands queued keys to the keyboard model
    // while the ring is empty.
    void queueKey(const TermKey& key) { keys_.push_back(key); }
    bool keysQueued() const { return !keys_.empty(); }
    void dropQueuedKeys() { keys_.clear(); }
    void feedKeys();
    // Ctrl+C: the keyboard model's Break (the exit request).
    void pressBreak();

    std::thread::id mainThread_ = std::this_thread::get_id();

  private:
    std::deque<TermKey> keys_;
    WakeSignal keyWake_;
    WakeSignal timerWake_;

    DialogChannel dialogs_;
};

// Restoring the terminal from a crash signal's handler: the bytes to write
// and the terminal modes to set again (null: nothing to restore).
void setCrashRestore(int fd, const std::string& bytes, const void* termiosModes);
void clearCrashRestore();

} // namespace host
