// The window program left idle at a line input: processor time and memory.
//
//   bench_window_idle [PROGRAM] [SECONDS]
//
// Starts PROGRAM (default: the glimmerdeep next to this benchmark's folder)
// twice under the X display: once as it is (its own defaults: SDL's software
// path), once with SDL's default accelerated path set explicitly
// (SDL_FRAMEBUFFER_ACCELERATION=1, SDL_RENDER_DRIVER=opengl, which a user's
// own setting would also do). Each time it waits for the game's main menu to
// sit at its line input (cursor blinking), measures user + system time and
// the resident set from /proc over SECONDS (default 10) and prints them, with
// the busiest threads. Without a DISPLAY it runs itself under xvfb-run -a.
// Targets: at most 0.3 % of one core (over 30 s) and 16 MB resident. A
// program that does not open its window, or ends before the measurement is
// over, is reported and the benchmark ends with status 1.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/xvfb.h"

namespace {

namespace fs = std::filesystem;

// utime + stime in clock ticks, from a /proc stat line.
long cpuTicks(const std::string& statPath, std::string* name = nullptr) {
    std::ifstream f(statPath);
    std::string line;
    if (!std::getline(f, line)) return -1;
    const auto open = line.find('(');
    const auto close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return -1;
    if (name != nullptr) *name = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int i = 3; rest >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

long statusKb(pid_t pid, const char* key) {
    std::ifstream f("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(f, line)) {
        if (line.rfind(key, 0) == 0) return std::atol(line.c_str() + std::strlen(key));
    }
    return -1;
}

std::map<std::string, long> threadTicks(pid_t pid) {
    std::map<std::string, long> out;
    std::error_code ec;
    for (const auto& t : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::string name;
        const long ticks = cpuTicks(t.path().string() + "/stat", &name);
        if (ticks >= 0) out[t.path().filename().string() + " " + name] = ticks;
    }
    return out;
}

bool windowOpen() {
    return std::system("xdotool search --name '^Untitled$' >/dev/null 2>&1") == 0;
}

// Whether the child has ended (and reaps it, setting status).
bool ended(pid_t pid, int& status) {
    return waitpid(pid, &status, WNOHANG) == pid;
}

std::string describe(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "status " + std::to_string(status);
}

// False when the program did not start (no window within 10 s) or ended
// before the measurement was over.
bool measure(const std::string& program, const char* label,
             const std::vector<std::pair<const char*, const char*>>& env, int seconds) {
    const pid_t pid = fork();
    if (pid == 0) {
        for (const auto& [k, v] : env)
            setenv(k, v, 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        std::perror("exec");
        _exit(127);
    }
    // Wait for the window, then let the menu settle at its line input.
    int status = 0;
    bool open = false;
    bool gone = false;
    for (int i = 0; i < 200 && !(open = windowOpen()); ++i) {
        if ((gone = ended(pid, status))) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!open) {
        if (gone) {
            std::printf("%-28s FAILED: %s ended before its window opened (%s)\n", label,
                        program.c_str(), describe(status).c_str());
        } else {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            std::printf("%-28s FAILED: %s opened no window within 10 s\n", label, program.c_str());
        }
        return false;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const std::string stat = "/proc/" + std::to_string(pid) + "/stat";
    const long hz = sysconf(_SC_CLK_TCK);
    const auto before = threadTicks(pid);
    const long t0 = cpuTicks(stat);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long t1 = cpuTicks(stat);
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto after = threadTicks(pid);
    const long rss = statusKb(pid, "VmRSS:");
    const long hwm = statusKb(pid, "VmHWM:");
    const bool endedEarly = ended(pid, status);
    if (!endedEarly) {
        kill(pid, SIGTERM);
        waitpid(pid, &status, 0);
    }
    if (endedEarly || t0 < 0 || t1 < 0) {
        std::printf("%-28s FAILED: the program ended during the measurement (%s)\n", label,
                    describe(status).c_str());
        return false;
    }
    const double cpu = 100.0 * static_cast<double>(t1 - t0) / static_cast<double>(hz) / wall;
    std::printf("%-28s cpu %5.2f %% of one core   rss %6.1f MB   peak rss %6.1f MB   (%s)\n", label,
                cpu, rss / 1024.0, hwm / 1024.0,
                cpu <= 0.3 && rss <= 16 * 1024 ? "within target" : "OVER TARGET");
    std::vector<std::pair<double, std::string>> busiest;
    for (const auto& [name, ticks] : after) {
        const auto it = before.find(name);
        const long used = ticks - (it != before.end() ? it->second : 0);
        busiest.push_back(
            {100.0 * static_cast<double>(used) / static_cast<double>(hz) / wall, name});
    }
    std::sort(busiest.rbegin(), busiest.rend());
    for (std::size_t i = 0; i < busiest.size() && i < 4; ++i) {
        std::printf("    thread %-24s %5.2f %%\n", busiest[i].second.c_str(), busiest[i].first);
    }
    return true;
}

int usage(FILE* to, int status) {
    std::fprintf(to, "usage: bench_window_idle [PROGRAM] [SECONDS]\n"
                     "  PROGRAM  the window program (default: ../glimmerdeep beside this one)\n"
                     "  SECONDS  how long to measure each run (default 10)\n");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return usage(stdout, 0);
        if (argv[i][0] == '-') return usage(stderr, 2);
    }
    if (argc > 3) return usage(stderr, 2);
    support::needDisplay(argc, argv, "bench_window_idle");
    std::string program = argc > 1 ? argv[1] : "";
    if (program.empty()) {
        program =
            (fs::canonical("/proc/self/exe").parent_path().parent_path() / "glimmerdeep").string();
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    if (seconds <= 0) return usage(stderr, 2);
    std::printf("idle at the main menu's line input for %d s: %s\n", seconds, program.c_str());
    bool ok = measure(program, "software path (default)", {}, seconds);
    ok = measure(program, "SDL2 accelerated path",
                 {{"SDL_FRAMEBUFFER_ACCELERATION", "1"}, {"SDL_RENDER_DRIVER", "opengl"}},
                 seconds) &&
         ok;
    return ok ? 0 : 1;
}
