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
// Targets: at most 0.3 % of one core (over 30 s) and 16 MB resident.
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

void measure(const std::string& program, const char* label,
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
    for (int i = 0; i < 200 && !windowOpen(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (t0 < 0 || t1 < 0) {
        std::printf("%-28s the program ended early (status %d)\n", label, status);
        return;
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
}

} // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr) {
        // -noreset: the server stays up between the programs run on it.
        std::vector<char*> args = {const_cast<char*>("xvfb-run"), const_cast<char*>("-a"),
                                   const_cast<char*>("-s"),
                                   const_cast<char*>("-screen 0 1024x768x24 -noreset")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        std::fprintf(stderr, "bench_window_idle: no DISPLAY and no xvfb-run\n");
        return 1;
    }
    std::string program = argc > 1 ? argv[1] : "";
    if (program.empty()) {
        program =
            (fs::canonical("/proc/self/exe").parent_path().parent_path() / "glimmerdeep").string();
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 10;
    std::printf("idle at the main menu's line input for %d s: %s\n", seconds, program.c_str());
    measure(program, "software path (default)", {}, seconds);
    measure(program, "SDL2 accelerated path",
            {{"SDL_FRAMEBUFFER_ACCELERATION", "1"}, {"SDL_RENDER_DRIVER", "opengl"}}, seconds);
    return 0;
}
