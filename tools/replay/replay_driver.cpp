// The replay driver's front end and script player.
//
// The host core runs exactly as in the window program: the same start-up,
// game thread, timer thread, keyboard model and error handling. What the
// front end replaces:
//
//  - The clock. Every sleep completes at once and advances a virtual clock
//    by the time asked for; the calendar time is a fixed moment plus the
//    virtual clock, so start-up's wait for the next second is instant too.
//  - The event queue. The main thread does not poll SDL; it waits until the
//    game thread blocks in one of its key waits (line input's poll, end
//    program's wait for a key, the pause wait) or shows a dialog, and only
//    then hands over the next step of the script. A key wait blocks the game
//    thread on a condition variable until the main thread has typed the next
//    key (or found the buffer still holding one) and releases it. So a key is
//    delivered only while the buffer is empty and the game waits for a key,
//    each key reaches the game in order, and nothing depends on timing.
//  - The window. Screens are printed instead of painted: at the first wait of
//    each line input (kind "input"), at end program's wait ("end") and when
//    the script runs out while the game waits ("script-end"). Dialogs are
//    printed and answered by the script's {Yes}, {No} and {OK}.
//  - The renderer's answers: a display hold or a request for one frame is
//    answered at once, on the game thread that waits for it, since there is
//    nothing to draw.
#include "tools/replay/replay_driver.h"

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>

#include "host/cp437.h"
#include "host/host_core.h"
#include "host/keyboard.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/pages.h"
#include "runtime/screen.h"

namespace replay {
namespace {

constexpr const char* kProgram = "glimmerdeep-replay";
constexpr int kScreenRows = 25;
// 2000-01-01 12:00:00 UTC: the replay's calendar time at virtual tick 0.
constexpr std::time_t kCalendarStart = 946728000;

struct NamedKey {
    const char* name;
    Step::Kind kind;
    std::int32_t symbol;
    std::uint32_t unicode;
};

// The named keys with the symbol and Unicode value SDL reports for them.
constexpr NamedKey kNamedKeys[] = {
    {"Enter", Step::Kind::Key, host::kKeyReturn, 13},
    {"Backspace", Step::Kind::Key, host::kKeyBackspace, 8},
    {"Tab", Step::Kind::Key, host::kKeyTab, 9},
    {"Esc", Step::Kind::Key, host::kKeyEscape, 27},
    {"Up", Step::Kind::Key, host::kKeyUp, 0},
    {"Down", Step::Kind::Key, host::kKeyDown, 0},
    {"Left", Step::Kind::Key, host::kKeyLeft, 0},
    {"Right", Step::Kind::Key, host::kKeyRight, 0},
    {"Home", Step::Kind::Key, host::kKeyHome, 0},
    {"End", Step::Kind::Key, host::kKeyEnd, 0},
    {"PgUp", Step::Kind::Key, host::kKeyPageUp, 0},
    {"PgDn", Step::Kind::Key, host::kKeyPageDown, 0},
    {"Ins", Step::Kind::Key, host::kKeyInsert, 0},
    {"Del", Step::Kind::Key, host::kKeyDelete, 127},
    {"F1", Step::Kind::Key, host::kKeyF1, 0},
    {"F2", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 1), 0},
    {"F3", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 2), 0},
    {"F4", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 3), 0},
    {"F5", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 4), 0},
    {"F6", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 5), 0},
    {"F7", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 6), 0},
    {"F8", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 7), 0},
    {"F9", Step::Kind::Key, static_cast<host::KeyId>(host::kKeyF1 + 8), 0},
    {"F10", Step::Kind::Key, host::kKeyF10, 0},
    {"F11", Step::Kind::Key, host::kKeyF11, 0},
    {"F12", Step::Kind::Key, host::kKeyF12, 0},
    {"Pause", Step::Kind::Key, host::kKeyPause, 0},
    {"Break", Step::Kind::Key, host::kKeyBreak, 0},
    {"Alt+Enter", Step::Kind::AltEnter, 0, 0},
    {"Close", Step::Kind::Close, 0, 0},
    {"Yes", Step::Kind::Yes, 0, 0},
    {"No", Step::Kind::No, 0, 0},
    {"OK", Step::Kind::OK, 0, 0},
};

// Decodes one UTF-8 sequence at text[i]; a malformed byte becomes U+FFFD and
// counts as one byte.
std::uint32_t decodeUtf8(std::string_view text, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char b = byte(i);
    int extra = 0;
    std::uint32_t u = 0;
    if (b < 0x80) {
        ++i;
        return b;
    } else if ((b & 0xE0) == 0xC0) {
        extra = 1;
        u = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        extra = 2;
        u = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        extra = 3;
        u = b & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<std::size_t>(extra) >= text.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char c = byte(i + static_cast<std::size_t>(k));
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        u = (u << 6) | (c & 0x3F);
    }
    static constexpr std::uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (u < kMinimum[extra] || u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += static_cast<std::size_t>(extra) + 1;
    return u;
}

// Where a character is on a US keyboard: its key's symbol and whether Shift
// is held. False for characters no key types (they are typed as text).
bool usKey(std::uint32_t c, host::KeyId& symbol, bool& shift) {
    static constexpr std::string_view kShifted = "!1@2#3$4%5^6&7*8(9)0_-+={[}]|\\:;\"'<,>.?/~`";
    static constexpr std::string_view kPlain = " -=[]\\;',./`";
    shift = false;
    if (c >= 'a' && c <= 'z') {
        symbol = static_cast<host::KeyId>(c);
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        symbol = static_cast<host::KeyId>(c + 32);
        shift = true;
        return true;
    }
    if (c >= '0' && c <= '9') {
        symbol = static_cast<host::KeyId>(c);
        return true;
    }
    if (c < 0x80) {
        if (kPlain.find(static_cast<char>(c)) != std::string_view::npos) {
            symbol = static_cast<host::KeyId>(c);
            return true;
        }
        for (std::size_t k = 0; k + 1 < kShifted.size(); k += 2) {
            if (kShifted[k] == static_cast<char>(c)) {
                symbol = static_cast<host::KeyId>(kShifted[k + 1]);
                shift = true;
                return true;
            }
        }
        switch (c) {
        case '\t':
            symbol = host::kKeyTab;
            return true;
        case '\b':
            symbol = host::kKeyBackspace;
            return true;
        case '\r':
            symbol = host::kKeyReturn;
            return true;
        case 27:
            symbol = host::kKeyEscape;
            return true;
        default:
            break;
        }
    }
    return false;
}

// ---- The front end ------------------------------------------------------

class ReplayFrontend final : public host::Frontend {
  public:
    ReplayFrontend(std::vector<Step> steps, bool attributes, std::FILE* out)
        : steps_(std::move(steps)), attributes_(attributes), out_(out) {}

    bool scriptEnded() const { return scriptEnded_; }

    // ---- Clock ----
    void sleep(std::uint32_t ms, rt::Wait why) override {
        clock_.fetch_add(ms, std::memory_order_relaxed);
        if (!host::onGameThread() || why == rt::Wait::Plain) {
            std::this_thread::yield();
            return;
        }
        // The game waits for a key: block until the main thread has handed
        // over the next step (or shut-down began).
        std::unique_lock<std::mutex> lock(mutex_);
        if (stopping()) return;
        waiting_ = true;
        waitKind_ = why;
        changed_.notify_all();
        changed_.wait(lock, [&] { return !waiting_ || stopping(); });
        waiting_ = false;
    }
    std::uint64_t ticks() override { return clock_.load(std::memory_order_relaxed); }
    std::time_t calendarTime() override {
        return kCalendarStart + static_cast<std::time_t>(ticks() / 1000);
    }
    void timerSleep(std::uint32_t) override {
        // Nothing for the timer thread to watch: rest until shut-down.
        std::unique_lock<std::mutex> lock(timerMutex_);
        timerWake_.wait(lock, [] { return rt::stopRequested(); });
    }
    // There is no renderer: a display hold and a request for one frame are
    // answered at once.
    void awaitHost(std::uint64_t) override {
        rt::answerDisplayRequests();
        std::this_thread::yield();
    }

    // ---- Start-up: no window ----
    int startDisplaySystem() override { return 0; }
    void prepareDisplay(const char*) override {}

    // ---- Main thread ----
    void runEventLoop() override {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            changed_.wait(lock, [&] {
                return waiting_ || (dialog_.pending && !dialog_.answered) ||
                       host::shutdownRequested();
            });
            if (host::shutdownRequested()) break;
            if (dialog_.pending && !dialog_.answered) {
                if (!answerDialog()) break;
                continue;
            }
            if (!handleKeyWait()) break;
        }
        loopEnded_ = true;
        changed_.notify_all();
    }

    // ---- Dialogs ----
    host::DialogButton showDialog(std::string_view caption, std::string_view text,
                                  host::DialogButtons buttons) override {
        if (!host::onGameThread()) return dialogOnMainThread(caption, text, buttons);
        std::unique_lock<std::mutex> lock(mutex_);
        if (stopping()) return host::DialogButton::Closed;
        printDialog(caption, text, buttons);
        dialog_.pending = true;
        dialog_.answered = false;
        dialog_.buttons = buttons;
        changed_.notify_all();
        changed_.wait(lock, [&] { return dialog_.answered || stopping(); });
        host::DialogButton answer = dialog_.answered ? dialog_.answer : host::DialogButton::Closed;
        dialog_.pending = false;
        dialog_.answered = false;
        return answer;
    }
    bool isFullScreen() override { return false; }
    void showMaximised() override {}

    // ---- Notifications ----
    void wake() override {
        std::lock_guard<std::mutex> lock(mutex_);
        changed_.notify_all();
    }
    void stopRequested() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            changed_.notify_all();
        }
        std::lock_guard<std::mutex> lock(timerMutex_);
        timerWake_.notify_all();
    }
    void processEnding(int status) override { finish(status); }

    // The last line: "=== script end" or "=== exit STATUS".
    void finish(int status) {
        if (scriptEnded_) {
            std::fputs("=== script end\n", out_);
        } else {
            std::fprintf(out_, "=== exit %d\n", status);
        }
        std::fflush(out_);
    }

  private:
    struct Dialog {
        bool pending = false;
        bool answered = false;
        host::DialogButtons buttons = host::DialogButtons::OK;
        host::DialogButton answer = host::DialogButton::OK;
    };

    bool stopping() const { return loopEnded_ || rt::stopRequested(); }

    const Step* nextStep() {
        if (next_ >= steps_.size()) return nullptr;
        return &steps_[next_++];
    }

    // The game thread waits in a key wait. Returns false when the loop must
    // end (the script ran out, or {Close}).
    bool handleKeyWait() {
        const rt::Wait kind = waitKind_;
        if (kind == rt::Wait::KeyPoll && newInput_) {
            printScreen("input");
            newInput_ = false;
        } else if (kind == rt::Wait::KeyEnd && !endShown_) {
            printScreen("end");
            endShown_ = true;
        }
        if (kind != rt::Wait::KeyPoll) newInput_ = true;
        if (!rt::keyBufferEmpty()) {
            release();
            return true;
        }
        for (;;) {
            const Step* step = nextStep();
            if (step == nullptr) {
                printScreen("script-end");
                scriptEnded_ = true;
                return false;
            }
            switch (step->kind) {
            case Step::Kind::Close:
                return false;
            case Step::Kind::Yes:
            case Step::Kind::No:
            case Step::Kind::OK:
                continue; // no dialog is on screen
            default:
                break;
            }
            const std::uint8_t tail = rt::lowByte(rt::kKeyTail);
            type(*step);
            if (kind == rt::Wait::KeyPoll && rt::lowByte(rt::kKeyTail) != tail &&
                rt::lowByte(0x400 + tail) == 13) {
                newInput_ = true; // Enter ends the line input
            }
            release();
            return true;
        }
    }

    void release() {
        waiting_ = false;
        changed_.notify_all();
    }

    // A dialog waits on the game thread: the next {Yes}, {No} or {OK} it
    // offers answers it; other keys go to the dialog and do nothing. Returns
    // false when the loop must end.
    bool answerDialog() {
        host::DialogButton answer = takeAnswer(dialog_.buttons);
        dialog_.answer = answer;
        dialog_.answered = true;
        changed_.notify_all();
        return answer != host::DialogButton::Closed;
    }

    host::DialogButton takeAnswer(host::DialogButtons buttons) {
        for (;;) {
            const Step* step = nextStep();
            if (step == nullptr) {
                printScreen("script-end");
                scriptEnded_ = true;
                return host::DialogButton::Closed;
            }
            switch (step->kind) {
            case Step::Kind::Close:
                return host::DialogButton::Closed;
            case Step::Kind::Yes:
                if (buttons == host::DialogButtons::YesNo) return host::DialogButton::Yes;
                break;
            case Step::Kind::No:
                if (buttons == host::DialogButtons::YesNo) return host::DialogButton::No;
                break;
            case Step::Kind::OK:
                if (buttons == host::DialogButtons::OK) return host::DialogButton::OK;
                break;
            default:
                break;
            }
        }
    }

    // A critical error raised on the main thread itself.
    host::DialogButton dialogOnMainThread(std::string_view caption, std::string_view text,
                                          host::DialogButtons buttons) {
        printDialog(caption, text, buttons);
        return takeAnswer(buttons);
    }

    // ---- Typing ----
    void type(const Step& step) {
        host::Keyboard& kb = host::keyboard();
        switch (step.kind) {
        case Step::Kind::Character: {
            host::KeyId symbol = host::kKeyUnknown;
            bool shift = false;
            if (usKey(step.unicode, symbol, shift)) {
                press(symbol, static_cast<std::uint16_t>(step.unicode), shift);
            } else {
                kb.typeCharacter(step.unicode);
            }
            break;
        }
        case Step::Kind::Key:
            press(static_cast<host::KeyId>(step.symbol), static_cast<std::uint16_t>(step.unicode),
                  false);
            break;
        case Step::Kind::AltEnter:
            kb.keyDown(host::kKeyLeftAlt, 0, host::kModLeftAlt);
            kb.keyDown(host::kKeyReturn, 13, host::kModLeftAlt);
            kb.keyUp(host::kKeyReturn, host::kModLeftAlt);
            kb.keyUp(host::kKeyLeftAlt, host::kModNone);
            // Nothing to switch without a window.
            host::dropFullScreenToggles();
            break;
        default:
            break;
        }
    }

    static void press(host::KeyId symbol, std::uint16_t unicode, bool shift) {
        host::Keyboard& kb = host::keyboard();
        const std::uint32_t mod = shift ? host::kModLeftShift : host::kModNone;
        if (shift) kb.keyDown(host::kKeyLeftShift, 0, host::kModLeftShift);
        kb.keyDown(symbol, unicode, mod);
        kb.keyUp(symbol, mod);
        if (shift) kb.keyUp(host::kKeyLeftShift, host::kModNone);
    }

    // ---- Output ----
    void printScreen(const char* kind) {
        const rt::ScreenPage* page = rt::displayPage();
        int row = page != nullptr ? page->row() : 1;
        int column = page != nullptr ? page->column() : 1;
        std::fprintf(out_, "=== screen %d %s cursor %d,%d\n", ++screens_, kind, row, column);
        std::string line;
        for (int r = 1; r <= kScreenRows; ++r) {
            line.clear();
            if (page != nullptr && page->cells != nullptr && r <= page->height) {
                for (int c = 1; c <= page->width; ++c) {
                    host::appendGlyph(line, rt::cellCharacter(page->cell(r, c)));
                }
            }
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            line += '\n';
            std::fputs(line.c_str(), out_);
        }
        if (!attributes_) return;
        static constexpr char kHex[] = "0123456789abcdef";
        for (int r = 1; r <= kScreenRows; ++r) {
            line.clear();
            int width = page != nullptr && page->cells != nullptr ? page->width : 80;
            for (int c = 1; c <= width; ++c) {
                std::uint8_t a = 0;
                if (page != nullptr && page->cells != nullptr && r <= page->height)
                    a = rt::cellAttribute(page->cell(r, c));
                line += kHex[a >> 4];
                line += kHex[a & 15];
            }
            line += '\n';
            std::fputs(line.c_str(), out_);
        }
    }

    void printDialog(std::string_view caption, std::string_view text, host::DialogButtons buttons) {
        std::fprintf(out_, "=== dialog %.*s\n", static_cast<int>(caption.size()), caption.data());
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view part = text.substr(start, end - start);
            if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
            std::fprintf(out_, "%.*s\n", static_cast<int>(part.size()), part.data());
            start = end + 1;
        }
        std::fputs(buttons == host::DialogButtons::YesNo ? "=== buttons Yes No\n"
                                                         : "=== buttons OK\n",
                   out_);
        std::fflush(out_);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    const bool attributes_;
    std::FILE* const out_;
    std::atomic<std::uint64_t> clock_{0};

    // The hand-over between the game thread's waits and the main loop.
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false;
    rt::Wait waitKind_ = rt::Wait::Plain;
    Dialog dialog_;
    bool loopEnded_ = false;

    // Main thread only.
    int screens_ = 0;
    bool newInput_ = true;
    bool endShown_ = false;
    bool scriptEnded_ = false;

    std::mutex timerMutex_;
    std::condition_variable timerWake_;
};

bool readAll(const std::string& path, std::string& text) {
    if (path == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void usage() {
    std::fprintf(stderr, "usage: %s [--attributes] [SCRIPT]\n", kProgram);
}

} // namespace

ParseResult parseScript(std::string_view script) {
    ParseResult result;
    int line = 1;
    std::size_t i = 0;
    while (i < script.size()) {
        char c = script[i];
        if (c == '\r' && i + 1 < script.size() && script[i + 1] == '\n') {
            ++i; // dropped: the newline after it is the Enter key
            continue;
        }
        if (c == '\n') {
            result.steps.push_back({Step::Kind::Key, 13, host::kKeyReturn, line});
            ++line;
            ++i;
            continue;
        }
        if (c == '{') {
            if (i + 1 < script.size() && script[i + 1] == '{') {
                result.steps.push_back({Step::Kind::Character, '{', 0, line});
                i += 2;
                continue;
            }
            std::size_t close = script.find_first_of("}\n", i + 1);
            bool closed = close != std::string_view::npos && script[close] == '}';
            std::string_view name =
                script.substr(i + 1, (closed ? close : std::min(close, script.size())) - i - 1);
            const NamedKey* found = nullptr;
            if (closed) {
                for (const NamedKey& k : kNamedKeys) {
                    if (name == k.name) found = &k;
                }
            }
            if (found == nullptr) {
                result.ok = false;
                result.error = "unknown key {" + std::string(name) + (closed ? "}" : "") +
                               " on line " + std::to_string(line);
                return result;
            }
            result.steps.push_back({found->kind, found->unicode, found->symbol, line});
            i = close + 1;
            continue;
        }
        std::uint32_t u = decodeUtf8(script, i);
        result.steps.push_back({Step::Kind::Character, u, 0, line});
    }
    return result;
}

int replayMain(int argc, char** argv, void (*gameEntry)(),
               const std::vector<std::string>& gameArguments) {
    bool attributes = false;
    std::string path = "-";
    bool havePath = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--attributes") {
            attributes = true;
        } else if (arg == "-" || arg.empty() || arg[0] != '-') {
            if (havePath) {
                usage();
                return 2;
            }
            path = std::string(arg);
            havePath = true;
        } else {
            usage();
            return 2;
        }
    }
    std::string script;
    if (!readAll(path, script)) {
        std::fprintf(stderr, "%s: cannot read %s\n", kProgram, path.c_str());
        return 2;
    }
    ParseResult parsed = parseScript(script);
    if (!parsed.ok) {
        std::fprintf(stderr, "%s: %s\n", kProgram, parsed.error.c_str());
        return 2;
    }

    static char outputBuffer[1 << 16];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof outputBuffer);
    ReplayFrontend frontend(std::move(parsed.steps), attributes, stdout);

    std::vector<std::string> args;
    args.emplace_back(argc > 0 && argv[0] != nullptr ? argv[0] : kProgram);
    args.insert(args.end(), gameArguments.begin(), gameArguments.end());
    std::vector<char*> gameArgv;
    for (std::string& a : args)
        gameArgv.push_back(a.data());
    gameArgv.push_back(nullptr);

    int status =
        host::runtimeMain(static_cast<int>(args.size()), gameArgv.data(), frontend, gameEntry);
    frontend.finish(status);
    return frontend.scriptEnded() ? 0 : status;
}

} // namespace replay
