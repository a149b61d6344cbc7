// Renderer figures, each measured against a baseline in the same run:
//   - a full repaint of the 2,000 cells of the 80 x 25 page into a 640 x 400
//     32-bit surface, against a plain memcpy of such a surface (target: at
//     most 3 times the memcpy);
//   - a frame in which nothing changed, against the full repaint (target: at
//     most 0.1 % of it), both for the painter given the page's change report
//     and for Renderer::frame() with the display requests, mode search and
//     update decision;
//   - for comparison, an unchanged frame without a change report, which
//     compares every cell with what was drawn.
// Prints the figures and ratios; exits 1 when a target is missed.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "host/host_core.h"
#include "host/palette.h"
#include "host/sdl_renderer.h"
#include "runtime/errors.h"
#include "tests/support/text_page.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best nanoseconds per call of each measured function. The batches of all
// of them take turns, so that a busy machine slows them alike and the
// ratios stay fair.
struct Measure {
    std::function<void()> f;
    int batch;
    double best = 1e300;
};

void measure(std::vector<Measure>& all, int rounds = 40) {
    for (int round = 0; round < rounds; ++round) {
        for (Measure& m : all) {
            const auto start = Clock::now();
            for (int i = 0; i < m.batch; ++i) {
                m.f();
            }
            const double ns =
                std::chrono::duration<double, std::nano>(Clock::now() - start).count() / m.batch;
            m.best = std::min(m.best, ns);
        }
    }
}

class NullOutput : public host::VideoOutput {
  public:
    SDL_Surface* surface = nullptr;
    SDL_Surface* setMode(int width, int height, bool) override {
        if (!surface) {
            surface =
                SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        }
        return surface;
    }
    void update(SDL_Surface*, const SDL_Rect*, int) override {}
    void showPointer(bool) override {}
    void yield() override {}
};

} // namespace

int main() {
    rt::resetErrorsAndFlags();
    // A page of varied text in several colours, as a scene leaves it.
    support::TextPage text;
    for (int i = 0; i < 2000; ++i) {
        const auto ch = static_cast<std::uint8_t>(32 + (i * 7) % 95);
        const auto attribute = static_cast<std::uint8_t>(2 + i / 80 % 14);
        text.cells[i].store(rt::makeCell(ch, attribute));
    }
    rt::ScreenPage& page = text.page;
    std::vector<std::uint32_t>& palette = text.palette;

    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 400, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    SDL_Surface* copy =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 640, 400, 32, 0xFF0000, 0xFF00, 0xFF, 0);
    if (!surface || !copy) {
        std::fprintf(stderr, "cannot create surfaces: %s\n", SDL_GetError());
        return 1;
    }
    const std::size_t bytes = static_cast<std::size_t>(surface->pitch) * surface->h;

    host::TextPainter painter;
    const std::uint32_t counter = 1;
    painter.paint(page, palette.data(), surface, 0, 0, counter);

    // Renderer::frame() in its steady state, with the cursor-phase flip of
    // every fourth frame repainting one cell.
    NullOutput output;
    host::Renderer renderer(output);
    renderer.setFullScreenModes({{640, 480}, {800, 600}, {1024, 768}});
    for (int i = 0; i < 16; ++i) {
        renderer.frame(&page);
    }

    std::vector<Measure> all;
    all.push_back({[&] {
                       std::memcpy(copy->pixels, surface->pixels, bytes);
                       benchmark::ClobberMemory();
                   },
                   50});
    all.push_back({[&] {
                       painter.invalidate();
                       painter.paint(page, palette.data(), surface, 0, 0, counter);
                       benchmark::ClobberMemory();
                   },
                   50});
    all.push_back({[&] {
                       painter.paint(page, palette.data(), surface, 0, 0, counter,
                                     page.takeDamage());
                       benchmark::ClobberMemory();
                   },
                   5000});
    all.push_back({[&] { renderer.frame(&page); }, 5000});
    all.push_back({[&] {
                       painter.paint(page, palette.data(), surface, 0, 0, counter);
                       benchmark::ClobberMemory();
                   },
                   500});
    measure(all);
    painter.paint(page, palette.data(), surface, 0, 0, counter);
    if (painter.cellsDrawn() != 0) {
        std::fprintf(stderr, "unchanged frame drew %d cells\n", painter.cellsDrawn());
        return 1;
    }
    const double memcpyNs = all[0].best;
    const double fullNs = all[1].best;
    const double unchangedNs = all[2].best;
    const double frameNs = all[3].best;
    const double comparedNs = all[4].best;

    const double fullRatio = fullNs / memcpyNs;
    const double unchangedRatio = unchangedNs / fullNs;
    const double frameRatio = frameNs / fullNs;
    std::printf("memcpy of a 640x400 32-bit surface   %10.1f us\n", memcpyNs / 1000);
    std::printf("full repaint of 2000 cells           %10.1f us  %.2f x memcpy (target <= 3)\n",
                fullNs / 1000, fullRatio);
    std::printf("unchanged frame, painter             %10.3f us  %.3f %% of a full repaint "
                "(target <= 0.1 %%)\n",
                unchangedNs / 1000, unchangedRatio * 100);
    std::printf("unchanged frame, Renderer::frame()   %10.3f us  %.3f %% of a full repaint "
                "(target <= 0.1 %%)\n",
                frameNs / 1000, frameRatio * 100);
    std::printf("unchanged frame, every cell compared %10.3f us  %.3f %% of a full repaint\n",
                comparedNs / 1000, comparedNs / fullNs * 100);
    SDL_FreeSurface(copy);
    SDL_FreeSurface(surface);
    SDL_FreeSurface(output.surface);
    const bool ok = fullRatio <= 3 && unchangedRatio <= 0.001 && frameRatio <= 0.001;
    std::printf("%s\n", ok ? "all targets met" : "TARGET MISSED");
    return ok ? 0 : 1;
}
