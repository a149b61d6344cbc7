// The full-screen terminal front end's event loop, keys and dialogs (see
// term_curses.h).
#include "host/term_curses.h"

#include <curses.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/pages.h"
#include "runtime/screen.h"

// curses names its success value OK, which is also a dialog button here.
#undef OK

namespace host {
namespace {

// Status when the terminal cannot be used, as for a window system that does
// not start.
constexpr int kStatusNoTerminal = 100;

CursesFrontend* atExitFrontend = nullptr;

void restoreAtExit() {
    if (atExitFrontend != nullptr) atExitFrontend->finish();
}

} // namespace

bool keyForCode(int code, std::uint32_t mod, TermKey& key) {
    key = TermKey{};
    key.mod = mod;
    if (code >= KEY_F(1) && code <= KEY_F(12)) {
        key.id = static_cast<KeyId>(kKeyF1 + (code - KEY_F(1)));
        return true;
    }
    if (code >= KEY_F(13) && code <= KEY_F(24)) {
        key.id = static_cast<KeyId>(kKeyF1 + (code - KEY_F(13)));
        key.mod |= kModLeftShift;
        return true;
    }
    // ncurses' key codes for the cursor block and the editing keys (the
    // keypad's corner keys A1, A3, C1, C3 name the same keys), with the
    // Unicode value the window reports for each.
    struct Named {
        int code;
        KeyId id;
        std::uint16_t unicode;
        std::uint32_t mod;
    };
    static constexpr Named kNamed[] = {
        {KEY_UP, kKeyUp, 0, kModNone},
        {KEY_DOWN, kKeyDown, 0, kModNone},
        {KEY_LEFT, kKeyLeft, 0, kModNone},
        {KEY_RIGHT, kKeyRight, 0, kModNone},
        {KEY_HOME, kKeyHome, 0, kModNone},
        {KEY_A1, kKeyHome, 0, kModNone},
        {KEY_END, kKeyEnd, 0, kModNone},
        {KEY_C1, kKeyEnd, 0, kModNone},
        {KEY_PPAGE, kKeyPageUp, 0, kModNone},
        {KEY_A3, kKeyPageUp, 0, kModNone},
        {KEY_NPAGE, kKeyPageDown, 0, kModNone},
        {KEY_C3, kKeyPageDown, 0, kModNone},
        {KEY_IC, kKeyInsert, 0, kModNone},
        {KEY_DC, kKeyDelete, 127, kModNone},
        {KEY_BACKSPACE, kKeyBackspace, 8, kModNone},
        {KEY_ENTER, kKeyReturn, 13, kModNone},
        {KEY_BTAB, kKeyTab, 9, kModLeftShift},
    };
    for (const Named& n : kNamed) {
        if (n.code == code) {
            key.id = n.id;
            key.unicode = n.unicode;
            key.mod |= n.mod;
            return true;
        }
    }
    return false;
}

TermInput readTermInput(TermKey& key) {
    for (;;) {
        wint_t ch = 0;
        const int r = wget_wch(stdscr, &ch);
        if (r == ERR) return TermInput::None;
        if (r == KEY_CODE_YES) {
            if (ch == KEY_RESIZE) {
                // A terminal that went away answers no size, and the library
                // then reports a resize at every read without reading: a
                // loop that only ever saw resizes would spin for ever.
                struct winsize ws;
                if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) != 0) return TermInput::HangUp;
                return TermInput::Resize;
            }
            if (keyForCode(static_cast<int>(ch), kModNone, key)) return TermInput::Key;
            continue; // a key the keyboard has no counterpart for
        }
        if (ch == 3) return TermInput::Break;
        if (ch == 26) return TermInput::Suspend;
        if (ch != 27) {
            key = keyForCharacter(ch);
            return TermInput::Key;
        }
        // Escape: alone (the library waited its short delay for more), or
        // the prefix an Alt key sends before its character or key.
        wint_t next = 0;
        const int r2 = wget_wch(stdscr, &next);
        if (r2 == ERR) {
            key = keyForCharacter(27);
            return TermInput::Key;
        }
        if (r2 == KEY_CODE_YES) {
            if (keyForCode(static_cast<int>(next), kModLeftAlt, key)) return TermInput::Key;
            continue;
        }
        if (next == 3) return TermInput::Break;
        if (next == 10 || next == 13) continue; // Alt+Enter: no full screen here
        key = keyForCharacter(next);
        if (!key.text) key.mod |= kModLeftAlt;
        return TermInput::Key;
    }
}

// ---- CursesFrontend -------------------------------------------------------

int CursesFrontend::startDisplaySystem() {
    mainThread_ = std::this_thread::get_id();
    std::string error;
    if (!screen_.begin(error)) {
        std::fprintf(stderr, "Unable to init the terminal: %s\n", error.c_str());
        return kStatusNoTerminal;
    }
    // The library put in handlers of its own; the program's replace them.
    installSignals();
    atExitFrontend = this;
    std::atexit(restoreAtExit);
    return 0;
}

bool CursesFrontend::handleSignals() {
    const unsigned s = takeSignals();
    if ((s & kSignalEnd) != 0) {
        requestExit();
        return false;
    }
    if ((s & kSignalSuspend) != 0) suspend();
    if ((s & (kSignalResize | kSignalResumed)) != 0) screen_.resize((s & kSignalResumed) != 0);
    return true;
}

void CursesFrontend::suspend() {
    screen_.suspend();
    struct sigaction dfl;
    struct sigaction old;
    sigemptyset(&dfl.sa_mask);
    dfl.sa_flags = 0;
    dfl.sa_handler = SIG_DFL;
    ::sigaction(SIGTSTP, &dfl, &old);
    // The whole process stops here until the shell continues it.
    ::kill(::getpid(), SIGTSTP);
    ::sigaction(SIGTSTP, &old, nullptr);
    screen_.resume();
    takeSignals(); // the SIGCONT of this resume is handled right here
}

void CursesFrontend::present(bool send) {
    rt::answerDisplayHold();
    if (rt::displayHold() == rt::DisplayHold::Idle &&
        rt::displayMode() != rt::DisplayMode::Explicit) {
        const rt::ScreenPage* page = rt::displayPage();
        const std::uint64_t damage = page != nullptr ? page->takeDamage() : 0;
        screen_.drawPage(page, damage, send);
    }
    rt::answerDisplayHold();
    rt::frameShown();
}

bool CursesFrontend::waitForInput() {
    pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeFd(), POLLIN, 0}};
    const int n = ::poll(fds, 2, -1);
    drainWakes();
    if (n > 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        // The terminal went away: like closing the window.
        requestExit();
        return false;
    }
    return true;
}

template <class OnKey> bool CursesFrontend::readInput(OnKey&& onKey) {
    for (;;) {
        TermKey key;
        const TermInput input = readTermInput(key);
        if (input == TermInput::None) return true;
        if (input == TermInput::HangUp) {
            requestExit();
            return false;
        }
        if (input == TermInput::Break) {
            pressBreak();
            return false;
        }
        if (input == TermInput::Suspend) suspend();
        if (input == TermInput::Resize) screen_.resize();
        if (input == TermInput::Key) onKey(key);
    }
}

void CursesFrontend::runEventLoop() {
    for (;;) {
        updateClockBytes();
        rt::armChangeHook();
        if (!handleSignals() || shutdownRequested()) break;
        if (std::optional<DialogRequest> dialog = takeDialog()) {
            const DialogButton answer = runDialog(*dialog);
            answerDialog(answer);
            if (answer == DialogButton::Closed) break;
            continue;
        }
        feedKeys();
        present();
        if (!waitForInput()) break;
        readInput([this](const TermKey& key) {
            // Keys typed while the page cannot be seen are dropped.
            if (!screen_.tooSmall()) queueKey(key);
        });
    }
    closeDialogs();
}

DialogButton CursesFrontend::runDialog(const DialogRequest& dialog) {
    if (!screen_.active()) {
        // No terminal to show it in.
        std::fprintf(stderr, "%s\n%s\n", dialog.caption.c_str(), dialog.text.c_str());
        return dialog.buttons == DialogButtons::OK ? DialogButton::OK : DialogButton::No;
    }
    const bool yesNo = dialog.buttons == DialogButtons::YesNo;
    const int buttons = yesNo ? 2 : 1;
    int focus = 0;
    std::optional<DialogButton> answer;
    while (!answer) {
        updateClockBytes();
        rt::armChangeHook();
        if (!handleSignals() || shutdownRequested()) return DialogButton::Closed;
        screen_.invalidate();
        present(false);
        screen_.drawDialog(dialog, focus);
        if (!waitForInput()) return DialogButton::Closed;
        const bool goOn = readInput([&](const TermKey& key) {
            if (answer) return;
            const std::uint32_t u = key.unicode;
            if (yesNo && (u == 'y' || u == 'Y')) {
                answer = DialogButton::Yes;
            } else if (yesNo && (u == 'n' || u == 'N' || key.id == kKeyEscape)) {
                answer = DialogButton::No;
            } else if (key.id == kKeyReturn || key.id == kKeySpace) {
                answer = !yesNo       ? DialogButton::OK
                         : focus == 0 ? DialogButton::Yes
                                      : DialogButton::No;
            } else if (key.id == kKeyTab || key.id == kKeyLeft || key.id == kKeyRight ||
                       key.id == kKeyUp || key.id == kKeyDown) {
                focus = (focus + 1) % buttons;
            }
        });
        if (!goOn) return DialogButton::Closed;
    }
    // The page comes back over the box at the next turn.
    screen_.invalidate();
    return *answer;
}

} // namespace host
