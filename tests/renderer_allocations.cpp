// The renderer allocates nothing per frame: after the first frame of a page
// size, frames with changed cells, cursor moves, blinking, palette changes
// and full-screen switches make no allocation. A program of its own, since
// it replaces the global operator new to count.
#include <SDL.h>
#include <gtest/gtest.h>

#include "host/host_core.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "host/palette.h"
#include "host/sdl_renderer.h"
#include "runtime/errors.h"
#include "tests/support/text_page.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

// Surfaces made once for each size the test asks for.
class QuietOutput : public host::VideoOutput {
  public:
    ~QuietOutput() override {
        for (SDL_Surface* s : surfaces_) {
            SDL_FreeSurface(s);
        }
    }
    SDL_Surface* setMode(int width, int height, bool) override {
        for (SDL_Surface* s : surfaces_) {
            if (s && s->w == width && s->h == height) {
                return s;
            }
        }
        for (SDL_Surface*& s : surfaces_) {
            if (!s) {
                s = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF,
                                         0);
                return s;
            }
        }
        return nullptr;
    }
    void update(SDL_Surface*, const SDL_Rect*, int count) override { updates += count + 1; }
    void showPointer(bool) override {}
    void yield() override {}
    long updates = 0;

  private:
    SDL_Surface* surfaces_[4] = {};
};

TEST(RendererAllocations, FramesAllocateNothingOnceThePageSizeIsKnown) {
    rt::resetErrorsAndFlags();
    host::resetHostState();
    // Cells enough for the larger page at the end; first the 80 x 25 screen.
    support::TextPage text(80, 50);
    rt::ScreenPage& page = text.page;
    page.height = 25;
    text.fill(' ', 0x07);
    std::vector<std::uint32_t>& palette = text.palette;
    page.cursorVisible.store(1);

    QuietOutput output;
    host::Renderer renderer(output);
    renderer.setFullScreenModes({{640, 480}, {800, 600}, {640, 400}});
    renderer.frame(&page);
    // Warm up every mode once (SDL's blitters, the surfaces of the output).
    for (int i = 0; i < 3; ++i) {
        host::countFullScreenToggle();
        renderer.frame(&page);
    }
    ASSERT_EQ(renderer.fullScreenMode(), host::kWindowed);

    const long before = allocations.load();
    for (int frame = 0; frame < 200; ++frame) {
        const int i = (frame * 37) % 2000;
        page.setCell(i / 80 + 1, i % 80 + 1,
                     rt::makeCell(static_cast<std::uint8_t>('a' + frame % 26),
                                  static_cast<std::uint8_t>(frame % 3 == 0 ? 0x8E : 0x1F)));
        page.cursorColumn.store(static_cast<std::int16_t>(1 + frame % 80));
        page.cursorRow.store(static_cast<std::int16_t>(1 + frame / 80 % 25));
        if (frame % 50 == 10) {
            palette[7] ^= 0x010101;
            page.markDamage(rt::ScreenPage::kDamageAll);
        }
        if (frame % 40 == 20) {
            host::countFullScreenToggle();
        }
        if (frame % 60 == 30) {
            renderer.invalidate();
        }
        renderer.frame(&page);
    }
    const long during = allocations.load() - before;
    EXPECT_EQ(during, 0);
    EXPECT_GT(output.updates, 200);

    // A larger page is where the renderer takes new memory (and the count
    // sees it): 80 x 50 cells of the 8x8 font.
    page.height = 50;
    page.font = 8;
    const long beforeResize = allocations.load();
    renderer.frame(&page);
    EXPECT_GT(allocations.load() - beforeResize, 0);
    EXPECT_EQ(renderer.painter().cellsDrawn(), 4000);
    rt::resetErrorsAndFlags();
    host::resetHostState();
}

} // namespace
