// Test support: plays a script of keys through the replay driver and parses
// what it prints.
//
//   replay::Result r = replay::run("1\n2\n");
//   ASSERT_EQ(r.screens.size(), 3u);
//   EXPECT_EQ(r.screens[0].row(3), "Health 100");
//   EXPECT_EQ(r.last().findRow("Press any key"), 25);
//   EXPECT_EQ(r.exitStatus, 0);
//
// The driver runs in a child process (GLIMMER_REPLAY is its path, defined for
// the test binaries); the script goes through a temporary file. A driver that
// does not finish within the time limit is killed and the result says so.
// Everything here is header-only so that any test binary can include it.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace replay {

constexpr int kRows = 25;
constexpr int kColumns = 80;

struct Screen {
    int number = 0;
    std::string kind; // "input", "end" or "script-end"
    int cursorRow = 0;
    int cursorColumn = 0;
    std::vector<std::string> rows;       // 25 rows, UTF-8, trailing blanks removed
    std::vector<std::string> attributes; // with --attributes: 25 lines of 160 hex digits

    // Row r (1-based); an empty string outside 1..25.
    const std::string& row(int r) const {
        static const std::string none;
        if (r < 1 || r > static_cast<int>(rows.size())) return none;
        return rows[static_cast<std::size_t>(r - 1)];
    }
    // The first row (1-based) containing text, or 0.
    int findRow(std::string_view text, int from = 1) const {
        for (int r = from; r <= static_cast<int>(rows.size()); ++r) {
            if (row(r).find(text) != std::string::npos) return r;
        }
        return 0;
    }
    bool contains(std::string_view text) const { return findRow(text) != 0; }
    // The attribute byte of the cell at row, column (1-based); needs
    // --attributes. -1 when absent.
    int attribute(int r, int column) const {
        if (r < 1 || r > static_cast<int>(attributes.size()) || column < 1 || column > kColumns)
            return -1;
        const std::string& line = attributes[static_cast<std::size_t>(r - 1)];
        std::size_t at = static_cast<std::size_t>(column - 1) * 2;
        if (line.size() < at + 2) return -1;
        return static_cast<int>(std::stoul(line.substr(at, 2), nullptr, 16));
    }
    // Every row, each followed by a newline.
    std::string text() const {
        std::string all;
        for (const std::string& r : rows)
            all += r + "\n";
        return all;
    }
    // The rows with text, without the empty ones (handy for short checks).
    std::vector<std::string> nonEmptyRows() const {
        std::vector<std::string> out;
        for (const std::string& r : rows)
            if (!r.empty()) out.push_back(r);
        return out;
    }
};

struct Dialog {
    std::string caption;
    std::vector<std::string> lines;   // the text, line by line
    std::vector<std::string> buttons; // {"Yes", "No"} or {"OK"}
    std::string text() const {
        std::string all;
        for (std::size_t i = 0; i < lines.size(); ++i)
            all += (i ? "\n" : "") + lines[i];
        return all;
    }
};

// One printed item, in output order.
struct Item {
    enum class Kind { Screen, Dialog } kind;
    std::size_t index; // into screens or dialogs
};

struct Result {
    std::vector<Screen> screens;
    std::vector<Dialog> dialogs;
    std::vector<Item> items;
    bool exited = false;    // "=== exit N" was printed
    int exitStatus = -1;    // N of "=== exit N"
    bool scriptEnd = false; // "=== script end" was printed
    int processStatus = -1; // the driver's real exit status (-1: killed or crashed)
    bool timedOut = false;
    std::string output;                // everything on standard output
    std::string errors;                // everything on standard error
    std::vector<std::string> unparsed; // output lines outside any item

    const Screen& last() const {
        if (screens.empty()) throw std::runtime_error("no screen was printed");
        return screens.back();
    }
    // The last screen of the given kind, or null.
    const Screen* lastOf(std::string_view kind) const {
        for (auto it = screens.rbegin(); it != screens.rend(); ++it)
            if (it->kind == kind) return &*it;
        return nullptr;
    }
    // The screens of the given kind, in order.
    std::vector<const Screen*> screensOf(std::string_view kind) const {
        std::vector<const Screen*> out;
        for (const Screen& s : screens)
            if (s.kind == kind) out.push_back(&s);
        return out;
    }
};

namespace detail {

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline bool startsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

inline bool isHexLine(const std::string& s) {
    if (s.size() != 2 * kColumns) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace detail

// Parses the driver's standard output.
inline Result parse(const std::string& output) {
    Result r;
    r.output = output;
    std::vector<std::string> lines = detail::splitLines(output);
    std::size_t i = 0;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (detail::startsWith(line, "=== screen ")) {
            Screen s;
            char kind[32] = {};
            if (std::sscanf(line.c_str(), "=== screen %d %31s cursor %d,%d", &s.number, kind,
                            &s.cursorRow, &s.cursorColumn) != 4) {
                r.unparsed.push_back(line);
                ++i;
                continue;
            }
            s.kind = kind;
            ++i;
            for (int row = 0; row < kRows && i < lines.size(); ++row)
                s.rows.push_back(lines[i++]);
            if (i < lines.size() && detail::isHexLine(lines[i])) {
                for (int row = 0; row < kRows && i < lines.size(); ++row)
                    s.attributes.push_back(lines[i++]);
            }
            r.items.push_back({Item::Kind::Screen, r.screens.size()});
            r.screens.push_back(std::move(s));
        } else if (detail::startsWith(line, "=== dialog ")) {
            Dialog d;
            d.caption = line.substr(11);
            ++i;
            while (i < lines.size() && !detail::startsWith(lines[i], "=== buttons"))
                d.lines.push_back(lines[i++]);
            if (i < lines.size()) {
                std::istringstream words(lines[i].substr(11));
                for (std::string w; words >> w;)
                    d.buttons.push_back(w);
                ++i;
            }
            r.items.push_back({Item::Kind::Dialog, r.dialogs.size()});
            r.dialogs.push_back(std::move(d));
        } else if (detail::startsWith(line, "=== exit ")) {
            r.exited = true;
            r.exitStatus = std::atoi(line.c_str() + 9);
            ++i;
        } else if (line == "=== script end") {
            r.scriptEnd = true;
            ++i;
        } else {
            r.unparsed.push_back(line);
            ++i;
        }
    }
    return r;
}

// Runs binary with args and the script (written to a temporary file, passed
// as the last argument) and parses its output. timeoutSeconds guards against
// a driver that hangs.
inline Result runWith(const std::string& binary, std::vector<std::string> args,
                      std::string_view script, int timeoutSeconds = 30) {
    char scriptPath[] = "/tmp/glimmer-replay-keysXXXXXX";
    char outPath[] = "/tmp/glimmer-replay-outXXXXXX";
    char errPath[] = "/tmp/glimmer-replay-errXXXXXX";
    int scriptFd = mkstemp(scriptPath);
    int outFd = mkstemp(outPath);
    int errFd = mkstemp(errPath);
    if (scriptFd < 0 || outFd < 0 || errFd < 0) throw std::runtime_error("mkstemp failed");
    std::size_t written = 0;
    while (written < script.size()) {
        ssize_t n = ::write(scriptFd, script.data() + written, script.size() - written);
        if (n <= 0) throw std::runtime_error("cannot write the script");
        written += static_cast<std::size_t>(n);
    }
    ::close(scriptFd);

    args.insert(args.begin(), binary);
    args.push_back(scriptPath);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(outFd);
    ::close(errFd);
    if (rc != 0) throw std::runtime_error("cannot start " + binary);

    Result result;
    int status = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    bool timedOut = false;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result = parse(detail::readFile(outPath));
    result.errors = detail::readFile(errPath);
    result.timedOut = timedOut;
    result.processStatus = (!timedOut && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    std::remove(scriptPath);
    std::remove(outPath);
    std::remove(errPath);
    return result;
}

#ifdef GLIMMER_REPLAY
// Plays script through the game's replay driver.
inline Result run(std::string_view script, std::vector<std::string> args = {}) {
    return runWith(GLIMMER_REPLAY, std::move(args), script);
}
// The same with --attributes.
inline Result runWithAttributes(std::string_view script) {
    return runWith(GLIMMER_REPLAY, {"--attributes"}, script);
}
#endif

} // namespace replay
