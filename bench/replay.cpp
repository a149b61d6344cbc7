// Replay speed: the replay driver plays the game on a virtual clock, so a
// script of many prompts should take little more than the work of drawing
// them. Measures the best of five runs of
//   - an empty script (the driver's start-up and the main menu),
//   - the Chapter 2 developer script (80 prompts) and
//   - the longest random walk (1,259 prompts),
// and reports the time per prompt beyond the start-up. Target: a whole
// chapter replays in under a second, start-up included.
// Prints the figures; exits 1 when the target is missed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/replay.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

struct Figure {
    double seconds = 1e300;
    std::size_t prompts = 0;
};

Figure best(const std::string& script) {
    Figure f;
    for (int i = 0; i < 5; ++i) {
        const auto start = Clock::now();
        replay::Result r = replay::runWith(GLIMMER_REPLAY, {}, script, 60);
        const double s = std::chrono::duration<double>(Clock::now() - start).count();
        if (r.timedOut || !r.scriptEnd) {
            std::fprintf(stderr, "bench_replay: the driver did not finish its script\n");
            std::exit(1);
        }
        f.seconds = std::min(f.seconds, s);
        f.prompts = r.screens.size();
    }
    return f;
}

} // namespace

int main() {
    const std::string dir = GLIMMER_SOURCE_DIR "/tests/";
    const Figure empty = best("");
    const Figure chapter = best(slurp(dir + "replay/chapter2_developer.keys"));
    const Figure walk = best(slurp(dir + "random_walk/far-side.keys"));
    auto perPrompt = [&](const Figure& f) {
        return 1e6 * (f.seconds - empty.seconds) / static_cast<double>(f.prompts);
    };
    std::printf("start-up and main menu            %8.1f ms\n", 1e3 * empty.seconds);
    std::printf("Chapter 2 script, %4zu prompts    %8.1f ms  %6.1f us a prompt\n", chapter.prompts,
                1e3 * chapter.seconds, perPrompt(chapter));
    std::printf("random walk,      %4zu prompts    %8.1f ms  %6.1f us a prompt\n", walk.prompts,
                1e3 * walk.seconds, perPrompt(walk));
    const bool met = chapter.seconds < 1.0;
    std::printf("%s\n", met ? "target met (a chapter in under a second)"
                            : "TARGET MISSED: a chapter takes a second or more");
    return met ? 0 : 1;
}
