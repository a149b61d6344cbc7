// Key-to-screen latency of the window program.
//
//   bench_window_latency [KEYS] [accelerated]
//
// Runs the window front end (the real event loop, keyboard model, line input
// and renderer) with a small game that clears the screen and reads a line,
// for ever. An injector thread types KEYS keys (default 300) at random
// moments, one at a time, through SDL's event queue, timestamping each key
// event as it is queued. The renderer's frame hooks notice the first frame
// that starts with the echoed character on the page (that frame draws it)
// and timestamp the end of that frame. Prints the latency's median, 90th and
// 99th percentile and maximum; target: p99 at most 50 ms. With
// "accelerated", SDL's default accelerated path is used instead of the
// software path. Without a DISPLAY it runs itself under xvfb-run -a. If the
// window program does not start, that is reported and the benchmark ends
// with status 1.
#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "game/statements.h"
#include "host/host_core.h"
#include "host/sdl_frontend.h"
#include "runtime/errors.h"
#include "runtime/pages.h"
#include "tests/support/xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

game::Str typed;
constexpr int kColumns = 40; // keys per line before Enter

std::atomic<int> frames{0};
std::atomic<int> expectColumn{0}; // 0 = nothing awaited
std::atomic<int> expectChar{0};
std::atomic<bool> drawnAtStart{false};
std::atomic<bool> shown{false};
std::atomic<std::int64_t> shownAt{0};

[[noreturn]] void echoGame() {
    game::createVariables();
    game::recordTemporaryBase();
    for (;;) {
        game::cls();
        game::ask("", typed);
    }
}

int cellAt(int row, int column) {
    rt::ScreenPage* page = rt::displayPage();
    if (page == nullptr) return -1;
    return rt::cellCharacter(page->cell(row, column));
}

std::int64_t nowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

void push(SDLKey sym, std::uint16_t unicode) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.type = SDL_KEYDOWN;
    e.key.state = SDL_PRESSED;
    e.key.keysym.sym = sym;
    e.key.keysym.unicode = unicode;
    SDL_PushEvent(&e);
    e.type = SDL_KEYUP;
    e.key.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.unicode = 0;
    SDL_PushEvent(&e);
}

void waitFor(const std::atomic<bool>& flag, int ms) {
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    while (!flag.load(std::memory_order_acquire) && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Set when the window program has returned: it did not start, or it ended.
std::atomic<bool> programOver{false};

void inject(int keys, std::vector<double>& latencies) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pause(20, 90);
    while (frames.load() < 10 || cellAt(1, 1) != '?') {
        if (programOver.load(std::memory_order_acquire)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (int i = 0; i < keys; ++i) {
        const int k = i % kColumns;
        if (k == 0 && i > 0) {
            push(SDLK_RETURN, 13);
            // The next line input's prompt on a cleared screen.
            while (cellAt(1, 3) != ' ' && cellAt(1, 3) != 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        const char c = static_cast<char>('a' + i % 26);
        shown.store(false);
        drawnAtStart.store(false);
        expectChar.store(c);
        expectColumn.store(3 + k, std::memory_order_release);
        const std::int64_t t0 = nowUs();
        push(static_cast<SDLKey>(c), static_cast<std::uint16_t>(c));
        waitFor(shown, 2000);
        expectColumn.store(0);
        if (shown.load()) {
            latencies.push_back(static_cast<double>(shownAt.load() - t0) / 1000.0);
        } else {
            std::fprintf(stderr, "key %d never appeared\n", i);
        }
    }
}

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

int usage(FILE* to, int status) {
    std::fprintf(to, "usage: bench_window_latency [KEYS] [accelerated]\n"
                     "  KEYS         keys to type (default 300)\n"
                     "  accelerated  use SDL's accelerated path instead of the software one\n");
    return status;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return usage(stdout, 0);
    }
    if (argc > 3 || (argc > 1 && std::atoi(argv[1]) <= 0) ||
        (argc > 2 && std::strcmp(argv[2], "accelerated") != 0))
        return usage(stderr, 2);
    support::needDisplay(argc, argv, "bench_window_latency");
    const int keys = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    const bool accelerated = argc > 2 && std::strcmp(argv[2], "accelerated") == 0;
    if (accelerated) {
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "1", 1);
        setenv("SDL_RENDER_DRIVER", "opengl", 1);
    } else {
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
        setenv("SDL_RENDER_DRIVER", "software", 0);
    }

    host::WindowFrontend frontend;
    frontend.setFrameStartObserver([] {
        const int column = expectColumn.load(std::memory_order_acquire);
        if (column != 0 && !drawnAtStart.load() && cellAt(1, column) == expectChar.load()) {
            drawnAtStart.store(true);
        }
    });
    frontend.setFrameObserver([] {
        frames.fetch_add(1);
        if (drawnAtStart.load() && !shown.load()) {
            shownAt.store(nowUs());
            shown.store(true, std::memory_order_release);
        }
    });
    std::vector<double> latencies;
    std::thread injector([&] {
        inject(keys, latencies);
        host::requestExit();
    });
    char name[] = "bench_window_latency";
    char* args[] = {name, nullptr};
    const int status = host::runtimeMain(1, args, frontend, &echoGame);
    programOver.store(true, std::memory_order_release);
    injector.join();
    if (frames.load() == 0) {
        std::printf("FAILED: the window program did not start (status %d)\n", status);
        return 1;
    }
    if (latencies.empty()) {
        std::printf("no key reached the screen (status %d)\n", status);
        return 1;
    }
    const double p99 = percentile(latencies, 0.99);
    std::printf("key-to-screen latency, %zu keys, %s path: median %.1f ms, p90 %.1f ms, "
                "p99 %.1f ms, max %.1f ms (%s)\n",
                latencies.size(), accelerated ? "accelerated" : "software",
                percentile(latencies, 0.5), percentile(latencies, 0.9), p99,
                *std::max_element(latencies.begin(), latencies.end()),
                p99 <= 50.0 ? "within target" : "OVER TARGET");
    return 0;
}
