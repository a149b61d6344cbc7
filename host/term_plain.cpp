// The terminal program's line mode (see term_plain.h).
#include "host/term_plain.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "host/cp437.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/screen.h"

namespace host {
namespace {

// Cells first..last (1-based, inclusive) of a row as UTF-8: every glyph as
// its Unicode character (so no control character is ever written),
// characters 0 and 255 as blanks.
std::string rowText(const rt::ScreenPage* page, int row, int first, int last) {
    std::string text;
    for (int c = first; c <= last && c <= page->width; ++c) {
        const std::uint8_t ch = rt::cellCharacter(page->cell(row, c));
        appendGlyph(text, ch);
    }
    return text;
}

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

bool usable(const rt::ScreenPage* page) {
    return page != nullptr && page->textPage != 0 && page->cells != nullptr;
}

// Decodes UTF-8; a malformed byte stands for itself as a code point.
std::uint32_t nextCodePoint(const std::string& s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
    if (b >= 0x80 && b < 0xC0) extra = -1;
    if (extra <= 0 || i + static_cast<std::size_t>(extra) >= s.size() + 0) {
        ++i;
        return b;
    }
    std::uint32_t u = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return b;
        }
        u = (u << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    return u;
}

} // namespace

int PlainFrontend::startDisplaySystem() {
    mainThread_ = std::this_thread::get_id();
    echo_ = ::isatty(STDIN_FILENO) == 0;
    installSignals();
    return 0;
}

void PlainFrontend::printWait(const rt::ScreenPage* page) {
    if (!usable(page)) return;
    const bool cleared =
        (damage_ & (rt::ScreenPage::kDamageCleared | rt::ScreenPage::kDamageAll)) != 0;
    damage_ = 0;
    const int rows = std::min<int>(page->height, kRows);
    const int cursorRow = page->row();
    std::string out;
    for (int r = 1; r <= rows; ++r) {
        std::string text = trimmed(rowText(page, r, 1, page->width));
        const bool news = !text.empty() && (cleared || text != shown_[r]);
        if (news && r != cursorRow) {
            out += text;
            out += '\n';
        }
        shown_[r] = std::move(text);
    }
    if (cursorRow >= 1 && cursorRow <= rows) {
        out += rowText(page, cursorRow, 1, page->column() - 1);
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

void PlainFrontend::remember(const rt::ScreenPage* page) {
    if (!usable(page)) return;
    const int rows = std::min<int>(page->height, kRows);
    for (int r = 1; r <= rows; ++r)
        shown_[r] = trimmed(rowText(page, r, 1, page->width));
}

bool PlainFrontend::takeLine(std::string& line) {
    std::size_t end = input_.find('\n');
    if (end == std::string::npos) {
        if (!inputEnded_ || input_.empty()) return false;
        end = input_.size();
    }
    line = input_.substr(0, end);
    input_.erase(0, std::min(end + 1, input_.size()));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool PlainFrontend::wait(bool wantInput) {
    pollfd fds[2] = {{wakeFd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = wantInput && !inputEnded_ ? 2 : 1;
    const int n = ::poll(fds, count, -1);
    drainWakes();
    if ((takeSignals() & kSignalEnd) != 0) {
        requestExit();
        return false;
    }
    if (n > 0 && count == 2 && fds[1].revents != 0) {
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got > 0) {
            input_.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
            inputEnded_ = true;
        }
    }
    return true;
}

void PlainFrontend::typeLine(const std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
        const std::uint32_t u = nextCodePoint(line, i);
        // Characters only: control characters would be key combinations,
        // which this mode does not offer (a tab is the Tab key).
        if ((u < 32 && u != 9) || u == 127) continue;
        queueKey(keyForCharacter(u));
    }
    queueKey(keyForCharacter(13));
    if (echo_) {
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

void PlainFrontend::runEventLoop() {
    for (;;) {
        updateClockBytes();
        rt::armChangeHook();
        if ((takeSignals() & kSignalEnd) != 0) {
            requestExit();
            break;
        }
        if (shutdownRequested()) break;
        if (std::optional<DialogRequest> dialog = takeDialog()) {
            const DialogButton answer = runDialog(*dialog);
            answerDialog(answer);
            if (answer == DialogButton::Closed) break;
            continue;
        }
        // Nothing is drawn: display requests are answered at once.
        rt::answerDisplayRequests();
        const rt::ScreenPage* page = rt::displayPage();
        if (page != nullptr) damage_ |= page->takeDamage();
        const rt::InputWait now = rt::inputWait();
        const std::uint64_t serial = rt::inputWaitSerial();
        if (now != rt::InputWait::None && serial != printedWait_) {
            printWait(page);
            printedWait_ = serial;
        } else if (now == rt::InputWait::None && lastWait_ != rt::InputWait::None) {
            remember(page);
        }
        lastWait_ = now;
        feedKeys();
        const bool wantLine = now != rt::InputWait::None && serial == printedWait_ &&
                              typedWait_ != serial && !keysQueued();
        if (wantLine) {
            std::string line;
            if (takeLine(line)) {
                typedWait_ = serial;
                typeLine(line);
                continue;
            }
            if (inputEnded_) {
                // The end of the input: like closing the window.
                requestExit();
                break;
            }
        }
        if (!wait(wantLine)) break;
    }
    closeDialogs();
}

DialogButton PlainFrontend::runDialog(const DialogRequest& dialog) {
    const bool yesNo = dialog.buttons == DialogButtons::YesNo;
    std::string out = "\n" + dialog.caption + "\n";
    for (const std::string& line : wrapText(dialog.text, 1000))
        out += line + "\n";
    out += yesNo ? "[Yes] [No] " : "[OK] ";
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
    for (;;) {
        std::string line;
        if (takeLine(line)) {
            if (echo_) {
                std::fwrite(line.data(), 1, line.size(), stdout);
                std::fputc('\n', stdout);
                std::fflush(stdout);
            }
            if (!yesNo) return DialogButton::OK;
            const char c = line.empty() ? '\0' : line[0];
            if (c == 'y' || c == 'Y') return DialogButton::Yes;
            if (c == 'n' || c == 'N') return DialogButton::No;
            std::fputs("[Yes] [No] ", stdout);
            std::fflush(stdout);
            continue;
        }
        if (inputEnded_ || shutdownRequested()) return DialogButton::Closed;
        if (!wait(true)) return DialogButton::Closed;
    }
}

} // namespace host
