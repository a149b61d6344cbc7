// Runtime errors and the ways the game ends: the event check after a
// statement, the runtime error dialog, end program, stopping the game thread,
// critical errors and the floating-point signal.
//
// All of it runs on the game thread except a critical error, which may come
// from any thread. The event check parks a paused game (polling every 10 ms)
// and stops the game thread once the stop-request flag is set; an error
// pending after the statement is shown in the front end's Yes/No dialog,
// where Yes clears it and the game goes on with the next statement, and No
// asks the main thread to shut the program down. Stopping the game thread
// throws detail::GameThreadEnd, which only the game thread's entry catches, so
// the thread always ends itself at a statement boundary.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <fpu_control.h>
#endif

#include "host/host_core.h"
#include "host/host_core_internal.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/port.h"
#include "runtime/screen.h"
#include "runtime/strings.h"

namespace host {
namespace {

constexpr std::uint32_t kThreadEndPollMs = 16;
constexpr std::uint32_t kPausePollMs = 10;
// End program's wait for the key after its prompt. It polls like line input
// does rather than yielding in a tight loop, so a program left at "Press any
// key to continue" does not keep a processor busy.
constexpr std::uint32_t kEndKeyPollMs = 10;
constexpr std::int32_t kMaxPageRecords = 1 << 20;

std::atomic<std::uint32_t> currentLine{0};

void sleepFor(std::uint32_t ms, rt::Wait why) {
    rt::port().sleep(ms, why);
}

// Makes the display page the write page. For the game they are always the
// same page; otherwise the display page's record is looked up.
void writeToDisplayPage() {
    rt::ScreenPage* display = rt::displayPage();
    if (display == nullptr || rt::writePage() == display) return;
    for (std::int32_t k = 1; k < kMaxPageRecords; ++k) {
        if (rt::pageByHandle(-k) == display) {
            rt::setWritePage(-k);
            return;
        }
    }
}

class HostPort final : public rt::Port {
  public:
    void sleep(std::uint32_t ms, rt::Wait why) override {
        if (Frontend* f = detail::frontend()) {
            f->sleep(ms, why);
        } else if (ms == 0) {
            std::this_thread::yield();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        }
    }
    std::uint64_t ticks() override {
        Frontend* f = detail::frontend();
        return f != nullptr ? f->ticks() : 0;
    }
    [[noreturn]] void critical(std::string_view caption, std::string_view text) override {
        if (Frontend* f = detail::frontend()) f->showDialog(caption, text, DialogButtons::OK);
        endProcess(0);
    }
    void awaitHost(std::uint64_t seen) override {
        if (Frontend* f = detail::frontend()) {
            f->awaitHost(seen);
        } else {
            rt::Port::awaitHost(seen);
        }
    }
};

class HostGameHost final : public rt::GameHost {
  public:
    void eventCheck(std::uint32_t line) override {
        rt::clearEventPending();
        if (rt::stopRequested()) stopGameThread();
        if (gamePaused()) {
            rt::beginInputWait(rt::InputWait::Pause);
            while (gamePaused()) {
                if (rt::stopRequested()) {
                    rt::endInputWait();
                    stopGameThread();
                }
                sleepFor(kPausePollMs, rt::Wait::Paused);
            }
            rt::endInputWait();
            if (rt::stopRequested()) stopGameThread();
        }
        if (rt::errorPending() == 0) return; // no timer or key-trap events exist
        currentLine.store(line, std::memory_order_relaxed);
        errorDialog();
    }

    [[noreturn]] void endProgram() override {
        // No files are ever open, and the game never handles closing itself.
        writeToDisplayPage();
        if (rt::ScreenPage* page = rt::writePage()) {
            page->printTop = static_cast<std::int16_t>(page->height);
            page->printBottom = static_cast<std::int16_t>(page->height);
            page->cursorRow.store(static_cast<std::int16_t>(page->height),
                                  std::memory_order_relaxed);
            page->cursorColumn.store(1, std::memory_order_relaxed);
            page->pendingWrap.store(0, std::memory_order_relaxed);
            page->markCursor();
        }
        rt::print(rt::emptyString(), 1);
        rt::RuntimeString* prompt = rt::newString(0, false);
        rt::assign(prompt, rt::literal("Press any key to continue"));
        rt::print(prompt, 0);
        rt::freeString(prompt);

        // Every key read here is a temporary; release them as the wait goes
        // on, or a long wait would fill the string store.
        const std::uint32_t base = rt::temporaryNextIndex();
        // Keys typed before the prompt do not count: empty the buffer first.
        // A stop request ends the drain too, in case keys keep arriving.
        while (rt::readKey()->length != 0) {
            rt::releaseTemporaries(base, 0);
            if (rt::stopRequested()) stopGameThread();
            sleepFor(0, rt::Wait::Plain);
        }
        rt::releaseTemporaries(base, 0);
        rt::setDisplayMode(rt::DisplayMode::Automatic);
        rt::beginInputWait(rt::InputWait::EndKey);
        for (;;) {
            sleepFor(kEndKeyPollMs, rt::Wait::KeyEnd);
            if (rt::stopRequested()) {
                rt::endInputWait();
                stopGameThread();
            }
            bool key = rt::readKey()->length != 0;
            rt::releaseTemporaries(base, 0);
            if (key) break;
        }
        rt::endInputWait();
        requestExit();
        if (Frontend* f = detail::frontend()) f->wake();
        stopGameThread();
    }

    [[noreturn]] void stopGameThread() override {
        if (!onGameThread()) {
            std::fputs("glimmerdeep: the game thread can only be stopped from itself\n", stderr);
            std::abort();
        }
        detail::gameThreadFinished();
        if (Frontend* f = detail::frontend()) f->wake();
        while (!rt::stopRequested())
            sleepFor(kThreadEndPollMs, rt::Wait::Plain);
        throw detail::GameThreadEnd{};
    }

  private:
    void errorDialog() {
        const std::uint32_t e = rt::errorPending();
        const bool critical = rt::isCriticalDialogNumber(e);
        std::string text = "Line:" + std::to_string(currentLine.load(std::memory_order_relaxed)) +
                           "\n" + rt::errorMessage(e);
        if (!critical) text += "\nContinue?";
        std::string caption =
            (critical ? "Critical Error #" : "Unhandled Error #") + std::to_string(e);
        Frontend* f = detail::frontend();
        if (critical) {
            if (f != nullptr) f->showDialog(caption, text, DialogButtons::OK);
            endProcess(0);
        }
        DialogButton answer =
            f != nullptr ? f->showDialog(caption, text, DialogButtons::YesNo) : DialogButton::No;
        switch (answer) {
        case DialogButton::Yes:
        case DialogButton::OK:
            if (f != nullptr && f->isFullScreen()) f->showMaximised();
            rt::clearError();
            return;
        case DialogButton::No:
            requestExit();
            if (f != nullptr) f->wake();
            stopGameThread();
        case DialogButton::Closed:
            // The window was closed meanwhile: shut-down is under way.
            stopGameThread();
        }
        stopGameThread();
    }
};

HostPort hostPort;
HostGameHost hostGameHost;

extern "C" void onFloatingPointSignal(int) {
    rt::raiseError(11);
}

} // namespace

namespace detail {
void installPorts() {
    rt::setPort(&hostPort);
    rt::setGameHost(&hostGameHost);
}
} // namespace detail

void installFloatingPointHandler() {
#if defined(__x86_64__) || defined(__i386__)
    // Extended precision (64-bit mantissa) for the x87 unit.
    fpu_control_t word = 0;
    _FPU_GETCW(word);
    word = static_cast<fpu_control_t>((word & ~_FPU_EXTENDED) | _FPU_EXTENDED);
    _FPU_SETCW(word);
#endif
    struct sigaction action {};
    action.sa_handler = onFloatingPointSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGFPE, &action, nullptr);
}

} // namespace host
