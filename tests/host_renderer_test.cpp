// Tests of the display renderer: cell pixels, blinking, the cursor, which
// cells a frame repaints and which rectangles it shows, the cursor shapes,
// the full-screen mode search and Alt+Enter steps, the display flags, and the
// built-in fonts, palettes and icon. Everything draws into plain SDL surfaces;
// no window is opened.
#include <SDL.h>
#include <gtest/gtest.h>

#include "host/host_core.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "host/fonts.h"
#include "host/icon.h"
#include "host/palette.h"
#include "host/sdl_icon.h"
#include "host/sdl_renderer.h"
#include "runtime/errors.h"
#include "runtime/screen.h"
#include "tests/support/text_page.h"

namespace {

using host::CursorRows;
using host::Renderer;
using host::TextPainter;
using host::VideoMode;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGreen = 0x00AA00;
constexpr std::uint32_t kGrey = 0xAAAAAA;

using support::TextPage;

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface rgbSurface(int w, int h) {
    return Surface(SDL_CreateRGBSurface(SDL_SWSURFACE, w, h, 32, 0xFF0000, 0xFF00, 0xFF, 0));
}

// A page painted into a 640 x 400 surface of its own by a painter of its own.
struct PaintedPage : TextPage {
    Surface surface = rgbSurface(640, 400);
    TextPainter painter;
    void paint(std::uint32_t counter) {
        painter.paint(page, palette.data(), surface.get(), 0, 0, counter);
    }
    SDL_Surface* drawn() { return surface.get(); }
};

std::uint32_t pixel(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) +
                                            y * s->pitch)[x];
}
void setPixel(SDL_Surface* s, int x, int y, std::uint32_t v) {
    reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch)[x] = v;
}

// The colour as 0xRRGGBB, whatever the surface's layout.
std::uint32_t rgbAt(SDL_Surface* s, int x, int y) {
    Uint8 r, g, b;
    SDL_GetRGB(pixel(s, x, y), s->format, &r, &g, &b);
    return static_cast<std::uint32_t>(r) << 16 | g << 8 | b;
}

bool glyphPixel(std::uint8_t ch, int x, int y) {
    return host::font8x16()[ch * 128 + y * 8 + x];
}

// Expects the 8x16 cell at pixel (left, top) to show ch in fg on bg.
void expectCell(SDL_Surface* s, int left, int top, std::uint8_t ch, std::uint32_t fg,
                std::uint32_t bg) {
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(rgbAt(s, left + x, top + y), glyphPixel(ch, x, y) ? fg : bg)
                << "character " << int(ch) << " pixel " << x << "," << y;
        }
    }
}

// The video output of the tests: plain surfaces, every call recorded.
class FakeOutput : public host::VideoOutput {
  public:
    struct ModeSet {
        int width, height;
        bool fullScreen;
        bool operator==(const ModeSet&) const = default;
        friend void PrintTo(const ModeSet& m, std::ostream* os) {
            *os << m.width << "x" << m.height << (m.fullScreen ? " full screen" : " window");
        }
    };
    Uint32 rmask = 0xFF0000, gmask = 0xFF00, bmask = 0xFF;
    int failures = 0; // the next setMode calls that fail
    std::vector<ModeSet> modeSets;
    std::vector<std::vector<SDL_Rect>> updates; // an empty list: the whole window
    std::vector<bool> pointer;
    int yields = 0;
    Surface surface;

    SDL_Surface* setMode(int width, int height, bool fullScreen) override {
        modeSets.push_back({width, height, fullScreen});
        if (failures > 0) {
            --failures;
            return nullptr;
        }
        surface.reset(
            SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, rmask, gmask, bmask, 0));
        // A fresh window is not necessarily black.
        SDL_FillRect(surface.get(), nullptr, SDL_MapRGB(surface->format, 1, 2, 3));
        return surface.get();
    }
    void update(SDL_Surface* s, const SDL_Rect* rects, int count) override {
        EXPECT_EQ(s, surface.get());
        updates.emplace_back(rects, rects + count);
    }
    void showPointer(bool visible) override { pointer.push_back(visible); }
    void yield() override { ++yields; }
};

using ModeSet = FakeOutput::ModeSet;

// Painting a page into a surface, the display flags reset around each test.
class PainterTest : public ::testing::Test {
  protected:
    void SetUp() override { rt::resetErrorsAndFlags(); }
    void TearDown() override { rt::resetErrorsAndFlags(); }
};

// A page, and a renderer that shows it on the fake output.
class RendererTest : public PainterTest {
  protected:
    TextPage p;
    FakeOutput out;
    Renderer r{out};
};

// ---- Cell pixels ---------------------------------------------------------

TEST_F(PainterTest, CellsShowTheirGlyphInForegroundAndBackgroundColours) {
    PaintedPage p;
    p.put(1, 1, 'A', 0x1E);   // yellow on blue
    p.put(1, 2, 0xDB, 0x4F);  // full block, white on red
    p.put(2, 1, 'g', 0x07);   // light grey on black
    p.put(25, 80, '@', 0x6A); // light green on brown, last cell
    p.put(3, 3, 'x', 0xF9);   // bits 4-6 background 7, blink bit set, phase 0
    p.paint(1);
    EXPECT_EQ(p.painter.cellsDrawn(), 2000);
    EXPECT_TRUE(p.painter.fullRedraw());
    expectCell(p.drawn(), 0, 0, 'A', 0xFFFF55, 0x0000AA);
    expectCell(p.drawn(), 8, 0, 0xDB, 0xFFFFFF, 0xAA0000);
    expectCell(p.drawn(), 0, 16, 'g', kGrey, kBlack);
    expectCell(p.drawn(), 632, 384, '@', 0x55FF55, 0xAA5500);
    expectCell(p.drawn(), 16, 32, 'x', 0x5555FF, kGrey);
}

TEST_F(PainterTest, ColoursComeFromThePagePalette) {
    PaintedPage p;
    p.palette[2] = 0xFF123456; // alpha byte is not written to the surface
    p.palette[5] = 0xFF654321;
    p.put(1, 1, 'Z', 0x52);
    p.paint(1);
    expectCell(p.drawn(), 0, 0, 'Z', 0x123456, 0x654321);
}

TEST_F(RendererTest, AnAllZeroPageShowsBlackInA640x400Window) {
    r.frame(&p.page);
    ASSERT_EQ(out.modeSets.size(), 1u);
    EXPECT_EQ(out.modeSets[0], (ModeSet{640, 400, false}));
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Full);
    ASSERT_EQ(out.updates.size(), 1u);
    EXPECT_TRUE(out.updates[0].empty());
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(pixel(out.surface.get(), x, y), 0u) << x << "," << y;
        }
    }
}

TEST_F(RendererTest, BlinkingCellShowsItsCharacterForEightFramesAndHidesItForEight) {
    p.put(5, 10, 'W', 0x82); // green, blinking
    p.put(5, 11, 'W', 0x02); // green, steady
    std::vector<bool> shown;
    for (int i = 0; i < 40; ++i) {
        r.frame(&p.page);
        SDL_Surface* s = out.surface.get();
        expectCell(s, 80, 64, 'W', kGreen, kBlack); // the steady one never blinks
        bool visible = false;
        bool hidden = true;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (glyphPixel('W', x, y)) {
                    visible |= rgbAt(s, 72 + x, 64 + y) == kGreen;
                    hidden &= rgbAt(s, 72 + x, 64 + y) == kBlack;
                }
            }
        }
        ASSERT_NE(visible, hidden);
        shown.push_back(visible);
    }
    // Frames 1..7 shown, then 8..15 hidden, 16..23 shown, 24..31 hidden.
    for (std::uint32_t frame = 1; frame <= 40; ++frame) {
        EXPECT_EQ(shown[frame - 1], ((frame >> 3) & 1) == 0) << "frame " << frame;
    }
}

TEST_F(RendererTest, CursorIsRow14OfItsCellForFourFramesThenHiddenForFour) {
    p.fill(' ', 0x07);
    p.cursorAt(3, 5); // the game's cursor: lines 4..4
    for (std::uint32_t frame = 1; frame <= 24; ++frame) {
        r.frame(&p.page);
        SDL_Surface* s = out.surface.get();
        const bool on = ((frame >> 2) & 1) != 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 8; ++x) {
                const std::uint32_t want = on && y == 14 ? kGrey : kBlack;
                ASSERT_EQ(rgbAt(s, 32 + x, 32 + y), want) << "frame " << frame << " row " << y;
            }
        }
    }
}

TEST_F(PainterTest, CursorTakesTheCellsForegroundAndIgnoresBlinking) {
    PaintedPage p;
    p.put(1, 1, ' ', 0x9C); // light red on blue, blinking
    p.cursorAt(1, 1);
    p.paint(12); // cursor and blink phase 1
    EXPECT_EQ(rgbAt(p.drawn(), 0, 14), 0xFF5555u);
    EXPECT_EQ(rgbAt(p.drawn(), 7, 14), 0xFF5555u);
    EXPECT_EQ(rgbAt(p.drawn(), 0, 13), 0x0000AAu);
    EXPECT_EQ(rgbAt(p.drawn(), 0, 15), 0x0000AAu);
}

TEST_F(PainterTest, HiddenCursorIsNotDrawn) {
    PaintedPage p;
    p.fill(' ', 0x07);
    p.cursorAt(1, 1, false);
    p.paint(4);
    EXPECT_EQ(rgbAt(p.drawn(), 0, 14), kBlack);
}

TEST_F(PainterTest, CursorAfterPendingWrapTwoIsDrawnAtTheStartOfTheNextRow) {
    PaintedPage p;
    p.fill(' ', 0x07);
    p.cursorAt(3, 80);
    p.page.pendingWrap.store(2);
    p.paint(4);
    EXPECT_EQ(rgbAt(p.drawn(), 0, 3 * 16 + 14), kGrey);
    EXPECT_EQ(rgbAt(p.drawn(), 79 * 8, 2 * 16 + 14), kBlack);

    // Pending wrap 1 (from print) leaves the cursor where it is; so does 2
    // on the last row.
    PaintedPage q;
    q.fill(' ', 0x07);
    q.cursorAt(25, 80);
    q.page.pendingWrap.store(2);
    q.paint(4);
    EXPECT_EQ(rgbAt(q.drawn(), 79 * 8, 24 * 16 + 14), kGrey);
    q.page.pendingWrap.store(1);
    q.cursorAt(3, 80);
    q.paint(5);
    EXPECT_EQ(rgbAt(q.drawn(), 79 * 8, 2 * 16 + 14), kGrey);
}

// ---- Which cells a frame repaints ----------------------------------------

TEST_F(PainterTest, UnchangedCellsAreNotRedrawn) {
    PaintedPage p;
    p.fill('.', 0x07);
    p.cursorAt(10, 10, false);
    p.paint(1);
    ASSERT_EQ(p.painter.cellsDrawn(), 2000);
    setPixel(p.drawn(), 100, 100, 0x123456); // inside cell (row 7, column 13)
    p.paint(2);
    EXPECT_EQ(p.painter.cellsDrawn(), 0);
    EXPECT_FALSE(p.painter.fullRedraw());
    EXPECT_TRUE(p.painter.drawnRects().empty());
    EXPECT_EQ(pixel(p.drawn(), 100, 100), 0x123456u);

    // A changed cell elsewhere is drawn alone.
    p.put(1, 1, 'Q', 0x07);
    p.paint(3);
    EXPECT_EQ(p.painter.cellsDrawn(), 1);
    expectCell(p.drawn(), 0, 0, 'Q', kGrey, kBlack);
    EXPECT_EQ(pixel(p.drawn(), 100, 100), 0x123456u);

    // A change of attribute alone counts as a change.
    p.put(7, 13, '.', 0x0F);
    p.paint(3);
    EXPECT_EQ(p.painter.cellsDrawn(), 1);
    expectCell(p.drawn(), 96, 96, '.', 0xFFFFFF, kBlack);
}

TEST_F(PainterTest, PhaseFlipsRedrawOnlyTheCursorCellAndBlinkingCells) {
    PaintedPage p;
    p.fill(' ', 0x07);
    p.put(2, 2, 'b', 0x8E);
    p.put(4, 4, 'c', 0x8A);
    p.cursorAt(10, 20);
    p.paint(1);
    std::vector<int> drawn;
    for (std::uint32_t frame = 2; frame <= 17; ++frame) {
        p.paint(frame);
        drawn.push_back(p.painter.cellsDrawn());
    }
    // Frames 2..17: the cursor phase flips at 4, 8, 12, 16; the blink phase
    // at 8 and 16 (both blinking cells).
    const std::vector<int> want = {0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 1, 0, 0, 0, 3, 0};
    EXPECT_EQ(drawn, want);
}

TEST_F(PainterTest, MovingTheCursorRedrawsItsOldAndNewCell) {
    PaintedPage p;
    p.fill(' ', 0x07);
    p.cursorAt(5, 5);
    p.paint(4);
    EXPECT_EQ(rgbAt(p.drawn(), 32, 64 + 14), kGrey);
    p.cursorAt(5, 6);
    p.paint(5);
    EXPECT_EQ(p.painter.cellsDrawn(), 2);
    EXPECT_EQ(rgbAt(p.drawn(), 32, 64 + 14), kBlack);
    EXPECT_EQ(rgbAt(p.drawn(), 40, 64 + 14), kGrey);
    ASSERT_EQ(p.painter.drawnRects().size(), 1u); // neighbours merge into one rectangle
    const SDL_Rect rc = p.painter.drawnRects()[0];
    EXPECT_EQ(std::make_tuple(rc.x, rc.y, rc.w, rc.h), std::make_tuple(32, 64, 16, 16));
}

TEST_F(RendererTest, PaletteChangeRedrawsEveryCell) {
    p.fill('#', 0x07);
    r.frame(&p.page);
    r.frame(&p.page);
    ASSERT_EQ(r.painter().cellsDrawn(), 0);
    setPixel(out.surface.get(), 5, 5, 0x123456);
    p.palette[7] = 0xFF00FF00;
    p.page.markDamage(rt::ScreenPage::kDamageAll); // as every palette writer reports it
    r.frame(&p.page);
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Full);
    expectCell(out.surface.get(), 0, 0, '#', 0x00FF00, kBlack);
    // Entries beyond the 16 text colours count too.
    p.palette[200] ^= 1;
    p.page.markDamage(rt::ScreenPage::kDamageAll);
    r.frame(&p.page);
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
    r.frame(&p.page);
    EXPECT_EQ(r.painter().cellsDrawn(), 0);
}

TEST_F(RendererTest, UpdatesOnlyTheRectanglesOfDrawnCells) {
    p.fill(' ', 0x07);
    r.frame(&p.page);
    ASSERT_EQ(out.updates.size(), 1u);
    EXPECT_TRUE(out.updates[0].empty()); // first frame: whole window

    r.frame(&p.page);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::None);
    EXPECT_EQ(out.updates.size(), 1u); // nothing changed: nothing shown

    p.put(3, 10, 'a', 0x07);
    p.put(3, 11, 'b', 0x07);
    p.put(3, 13, 'c', 0x07);
    p.put(20, 80, 'd', 0x07);
    r.frame(&p.page);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Rects);
    ASSERT_EQ(out.updates.size(), 2u);
    std::vector<std::tuple<int, int, int, int>> got;
    for (const SDL_Rect& rc : out.updates[1]) {
        got.emplace_back(rc.x, rc.y, rc.w, rc.h);
    }
    const std::vector<std::tuple<int, int, int, int>> want = {
        {72, 32, 16, 16}, {96, 32, 8, 16}, {632, 304, 8, 16}};
    EXPECT_EQ(got, want);

    r.invalidate();
    r.frame(&p.page);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Full);
    ASSERT_EQ(out.updates.size(), 3u);
    EXPECT_TRUE(out.updates[2].empty());
}

TEST_F(RendererTest, InvalidatedFrameClearsTheWindowAndRedrawsEverything) {
    p.fill('x', 0x07);
    r.frame(&p.page);
    setPixel(out.surface.get(), 3, 3, 0x445566);
    r.invalidate();
    r.frame(&p.page);
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
    expectCell(out.surface.get(), 0, 0, 'x', kGrey, kBlack);
}

// ---- Cursor shapes -------------------------------------------------------

TEST(CursorShape, EveryRowOfTheShapeTable) {
    struct Case {
        int f, l, h, first, last;
    };
    const Case cases[] = {
        {0, 0, 16, 0, 0},     // L = 0, F = 0: row 0
        {5, 0, 16, 1, 0},     // L = 0, F > 0: none
        {9, 6, 16, 6, 15},    // L < F: rows L .. H - 1
        {3, 3, 16, 3, 3},     // F = L <= 3: row F
        {0, 0, 8, 0, 0},      //
        {4, 4, 16, 14, 14},   // F = L > 3: one row at the bottom (from row 14 at H = 16)
        {4, 4, 14, 13, 13},   //   (from row H - 1 otherwise)
        {7, 7, 8, 7, 7},      //
        {3, 4, 16, 13, 14},   // F >= 3, L - F = 1: two rows at the bottom
        {6, 7, 8, 6, 7},      //
        {5, 7, 16, 12, 14},   // F >= 3, L - F = 2: three rows
        {3, 5, 14, 11, 13},   //
        {3, 9, 16, 8, 15},    // F >= 3, L - F > 2: the lower half
        {3, 7, 14, 7, 13},    //
        {0, 3, 16, 0, 3},     // F <= 1, L <= 3: rows F .. L
        {1, 2, 16, 1, 2},     //
        {1, 4, 16, 1, 15},    // F <= 1, L > 3: rows F .. H - 1
        {0, 31, 8, 0, 7},     //
        {2, 3, 16, 2, 3},     // F = 2, L = 3
        {2, 4, 16, 12, 14},   // F = 2, L = 4: three rows at the bottom
        {2, 4, 8, 5, 7},      //
        {2, 5, 16, 2, 15},    // F = 2, L > 4: rows 2 .. H - 1
        {31, 31, 16, 14, 14}, // large F = L still one bottom row
        {3, 3, 2, 1, 0},      // rows at or beyond H are not drawn
        {20, 10, 8, 1, 0},    //
    };
    for (const Case& c : cases) {
        const CursorRows rows = host::cursorRows(c.f, c.l, c.h);
        if (c.first > c.last) {
            EXPECT_GT(rows.first, rows.last) << c.f << " " << c.l << " " << c.h;
        } else {
            EXPECT_EQ(rows.first, c.first) << c.f << " " << c.l << " " << c.h;
            EXPECT_EQ(rows.last, c.last) << c.f << " " << c.l << " " << c.h;
        }
    }
}

TEST_F(PainterTest, CursorShapeIsDrawnAcrossTheWholeCellWidth) {
    TextPage p(40, 25, 17); // double-width 8x16 font: 16 x 16 cells
    p.fill(' ', 0x07);
    p.cursorAt(1, 1);
    p.page.cursorFirstLine.store(0);
    p.page.cursorLastLine.store(15);
    auto s = rgbSurface(640, 400);
    TextPainter painter;
    painter.paint(p.page, p.palette.data(), s.get(), 0, 0, 4);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(rgbAt(s.get(), x, y), kGrey) << x << "," << y;
        }
    }
    EXPECT_EQ(rgbAt(s.get(), 16, 0), kBlack);
}

// ---- Full-screen modes ---------------------------------------------------

TEST(FullScreenModes, SearchTakesTheLastModeWithTheSmallestExcess) {
    using M = std::vector<VideoMode>;
    auto c = host::chooseFullScreenModes(M{{640, 480}, {800, 600}}, 640, 400);
    EXPECT_EQ(c.bestFit, 0);
    EXPECT_EQ(c.best43, 0);

    c = host::chooseFullScreenModes(M{{800, 600}, {640, 480}, {640, 480}}, 640, 400);
    EXPECT_EQ(c.bestFit, 2);
    EXPECT_EQ(c.best43, 2);

    // Equal excess: the later one wins.
    c = host::chooseFullScreenModes(M{{720, 400}, {640, 480}}, 640, 400);
    EXPECT_EQ(c.bestFit, 1);
    c = host::chooseFullScreenModes(M{{640, 480}, {720, 400}}, 640, 400);
    EXPECT_EQ(c.bestFit, 1);
    EXPECT_EQ(c.best43, 0);

    // Too narrow, too small either way.
    c = host::chooseFullScreenModes(M{{320, 200}, {512, 384}, {1024, 399}, {639, 1000}}, 640, 400);
    EXPECT_EQ(c.bestFit, -1);
    EXPECT_EQ(c.best43, -1);
    c = host::chooseFullScreenModes(M{}, 640, 400);
    EXPECT_EQ(c.bestFit, -1);

    // Not 4:3 in integer division: 1280 / 4 = 320 != 1024 / 3 = 341.
    c = host::chooseFullScreenModes(M{{1280, 1024}, {640, 400}}, 640, 400);
    EXPECT_EQ(c.bestFit, 1);
    EXPECT_EQ(c.best43, -1);

    // A required size of at most 512 x 384 counts doubled.
    c = host::chooseFullScreenModes(M{{640, 390}, {800, 600}}, 320, 200);
    EXPECT_EQ(c.bestFit, 1);
    c = host::chooseFullScreenModes(M{{640, 390}, {800, 600}}, 320, 385);
    EXPECT_EQ(c.bestFit, 0);
}

TEST(FullScreenModes, AltEnterSteps) {
    const std::vector<VideoMode> modes = {{640, 400}, {800, 600}, {640, 400}};
    host::ModeChoice both{0, 1};
    EXPECT_EQ(host::nextFullScreenMode(host::kWindowed, modes, both), host::kFullScreenBestFit);
    EXPECT_EQ(host::nextFullScreenMode(host::kFullScreenBestFit, modes, both), host::kFullScreen43);
    EXPECT_EQ(host::nextFullScreenMode(host::kFullScreen43, modes, both), host::kWindowed);
    host::ModeChoice same{1, 1};
    EXPECT_EQ(host::nextFullScreenMode(host::kFullScreenBestFit, modes, same), host::kWindowed);
    host::ModeChoice sameSize{0, 2}; // another entry of the same size
    EXPECT_EQ(host::nextFullScreenMode(host::kFullScreenBestFit, modes, sameSize), host::kWindowed);
    host::ModeChoice no43{0, -1};
    EXPECT_EQ(host::nextFullScreenMode(host::kFullScreenBestFit, modes, no43), host::kWindowed);
    host::ModeChoice none{};
    EXPECT_EQ(host::nextFullScreenMode(host::kWindowed, modes, none), host::kWindowed);
}

TEST_F(RendererTest, AltEnterGoesFullScreenCentredAndBackToTheWindow) {
    p.fill('M', 0x07);
    r.setFullScreenModes({{640, 480}, {800, 600}});
    r.frame(&p.page);
    ASSERT_EQ(out.modeSets.size(), 1u);

    host::countFullScreenToggle();
    r.frame(&p.page);
    EXPECT_EQ(host::pendingFullScreenToggles(), 0);
    EXPECT_EQ(r.fullScreenMode(), host::kFullScreenBestFit);
    ASSERT_EQ(out.modeSets.size(), 2u);
    EXPECT_EQ(out.modeSets[1], (ModeSet{640, 480, true}));
    EXPECT_EQ(r.offsetX(), 0);
    EXPECT_EQ(r.offsetY(), 40);
    ASSERT_EQ(out.pointer, std::vector<bool>{false});
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Full);
    SDL_Surface* s = out.surface.get();
    for (int x = 0; x < 640; ++x) { // bands above and below the page are black
        ASSERT_EQ(pixel(s, x, 39), 0u);
        ASSERT_EQ(pixel(s, x, 440), 0u);
    }
    expectCell(s, 0, 40, 'M', kGrey, kBlack);
    expectCell(s, 632, 424, 'M', kGrey, kBlack);

    // 640 x 480 is also the best 4:3 mode: back to the window.
    host::countFullScreenToggle();
    r.frame(&p.page);
    EXPECT_EQ(r.fullScreenMode(), host::kWindowed);
    ASSERT_EQ(out.modeSets.size(), 3u);
    EXPECT_EQ(out.modeSets[2], (ModeSet{640, 400, false}));
    EXPECT_EQ(r.offsetY(), 0);
    EXPECT_EQ(out.pointer, (std::vector<bool>{false, true}));
    expectCell(out.surface.get(), 0, 0, 'M', kGrey, kBlack);
}

TEST_F(RendererTest, AltEnterVisitsTheBest43ModeWhenItDiffers) {
    r.setFullScreenModes({{640, 400}, {800, 600}});
    r.frame(&p.page);
    host::countFullScreenToggle(), host::countFullScreenToggle(), host::countFullScreenToggle();
    r.frame(&p.page);
    EXPECT_EQ(r.fullScreenMode(), host::kFullScreenBestFit);
    EXPECT_EQ(std::make_tuple(r.windowWidth(), r.windowHeight(), r.offsetX(), r.offsetY()),
              std::make_tuple(640, 400, 0, 0));
    r.frame(&p.page);
    EXPECT_EQ(r.fullScreenMode(), host::kFullScreen43);
    EXPECT_EQ(std::make_tuple(r.windowWidth(), r.windowHeight(), r.offsetX(), r.offsetY()),
              std::make_tuple(800, 600, 80, 100));
    r.frame(&p.page);
    EXPECT_EQ(r.fullScreenMode(), host::kWindowed);
    EXPECT_EQ(host::pendingFullScreenToggles(), 0);
    EXPECT_EQ(out.modeSets.size(), 4u);
    EXPECT_EQ(out.pointer, (std::vector<bool>{false, false, true}));
}

TEST_F(RendererTest, AltEnterDoesNothingWithoutAModeAtLeast640Wide) {
    p.put(1, 1, 'k', 0x07);
    r.setFullScreenModes({{320, 200}, {512, 384}, {600, 800}});
    r.frame(&p.page);
    host::countFullScreenToggle();
    r.frame(&p.page);
    EXPECT_EQ(host::pendingFullScreenToggles(), 0);
    EXPECT_EQ(r.fullScreenMode(), host::kWindowed);
    EXPECT_EQ(out.modeSets.size(), 1u);
    EXPECT_TRUE(out.pointer.empty());
    EXPECT_EQ(r.painter().cellsDrawn(), 0); // no switch, no repaint
}

// ---- Display flags and the window system ---------------------------------

TEST_F(RendererTest, HandshakeGrantsTheModeChangeAndDrawsNothingMeanwhile) {
    rt::askDisplayHold();
    r.frame(&p.page);
    EXPECT_EQ(static_cast<int>(rt::displayHold()), 2);
    EXPECT_EQ(out.yields, 1);
    EXPECT_TRUE(out.modeSets.empty());
    r.frame(&p.page); // granted, not done yet
    EXPECT_TRUE(out.modeSets.empty());
    EXPECT_EQ(r.frameCounter(), 2u);
    rt::releaseDisplay();
    r.frame(&p.page);
    EXPECT_EQ(out.modeSets.size(), 1u);
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
}

TEST_F(RendererTest, OneFrameRequestIsClearedAfterDrawing) {
    rt::setDisplayMode(rt::DisplayMode::OneFrameAsked);
    r.frame(&p.page);
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 0);
    rt::setDisplayMode(rt::DisplayMode::Automatic);
    r.frame(&p.page);
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 1);
    rt::setDisplayMode(rt::DisplayMode::OneFrameAsked);
    r.frame(nullptr); // no page: still answered
    EXPECT_EQ(static_cast<int>(rt::displayMode()), 0);
}

TEST_F(RendererTest, FailedVideoModeSkipsDrawingUntilALaterFrameSucceeds) {
    p.put(1, 1, 'F', 0x07);
    out.failures = 2;
    r.frame(&p.page);
    r.frame(&p.page);
    EXPECT_EQ(r.canvas(), nullptr);
    EXPECT_TRUE(out.updates.empty());
    r.frame(&p.page);
    EXPECT_EQ(out.modeSets.size(), 3u);
    ASSERT_NE(r.canvas(), nullptr);
    EXPECT_EQ(r.painter().cellsDrawn(), 2000);
    expectCell(out.surface.get(), 0, 0, 'F', kGrey, kBlack);
    r.frame(&p.page);
    EXPECT_EQ(out.modeSets.size(), 3u);
}

TEST_F(RendererTest, WindowWithAnotherPixelLayoutGetsTheColoursThroughABuffer) {
    p.put(1, 1, 'R', 0x1C); // light red on blue
    out.rmask = 0xFF;       // 0x00BBGGRR
    out.bmask = 0xFF0000;
    r.frame(&p.page);
    ASSERT_NE(r.canvas(), out.surface.get());
    expectCell(out.surface.get(), 0, 0, 'R', 0xFF5555, 0x0000AA);
    EXPECT_EQ(pixel(out.surface.get(), 0, 0), 0xAA0000u); // blue in the window's order
    p.put(1, 2, 'S', 0x1C);
    r.frame(&p.page);
    EXPECT_EQ(r.lastUpdate(), Renderer::Update::Rects);
    expectCell(out.surface.get(), 8, 0, 'S', 0xFF5555, 0x0000AA);
}

TEST_F(RendererTest, ANewPageSizeOpensAWindowOfThatSize) {
    r.frame(&p.page);
    TextPage small(40, 25, 8); // 320 x 200
    small.put(25, 40, 'e', 0x0E);
    r.frame(&small.page);
    ASSERT_EQ(out.modeSets.size(), 2u);
    EXPECT_EQ(out.modeSets[1], (ModeSet{320, 200, false}));
    EXPECT_EQ(r.painter().cellsDrawn(), 1000);
    const std::uint8_t* g = host::font8x8() + 'e' * 64;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(rgbAt(out.surface.get(), 312 + x, 192 + y), g[y * 8 + x] ? 0xFFFF55u : 0u);
        }
    }
}

TEST_F(RendererTest, PagesItCannotDrawAreLeftAlone) {
    TextPage graphics;
    graphics.page.textPage = 0;
    r.frame(&graphics.page);
    TextPage empty(0, 0);
    r.frame(&empty.page);
    TextPage noCells;
    noCells.page.cells = nullptr;
    r.frame(&noCells.page);
    EXPECT_TRUE(out.modeSets.empty());

    // A page larger than the surface: only whole cells inside it are drawn.
    TextPage big(100, 30);
    big.fill('B', 0x07);
    auto s = rgbSurface(644, 410);
    TextPainter painter;
    painter.paint(big.page, big.palette.data(), s.get(), 0, 0, 1);
    EXPECT_EQ(painter.cellsDrawn(), 80 * 25);
    painter.paint(big.page, big.palette.data(), s.get(), 0, 0, 2);
    EXPECT_EQ(painter.cellsDrawn(), 0);

    // An unknown font number draws as the 8x16 font; odd cursor values are
    // harmless.
    TextPage odd(80, 25, 99);
    odd.put(1, 1, 'o', 0x07);
    odd.cursorAt(-5, 300);
    odd.page.cursorFirstLine.store(255);
    odd.page.cursorLastLine.store(200);
    painter.paint(odd.page, odd.palette.data(), s.get(), 0, 0, 4);
    expectCell(s.get(), 0, 0, 'o', kGrey, kBlack);
}

// ---- Text for dialogs ----------------------------------------------------

TEST(DrawText, DrawsCodePage437BytesInAnySurfaceLayout) {
    Surface s(SDL_CreateRGBSurface(SDL_SWSURFACE, 100, 40, 32, 0xFF, 0xFF00, 0xFF0000, 0));
    SDL_FillRect(s.get(), nullptr, 0);
    const std::uint8_t text[] = {'O', 'K', 0xC9, 0x01};
    host::drawText(s.get(), 3, 5, text, sizeof text, 0xFFFF55, 0x0000AA);
    for (int i = 0; i < 4; ++i) {
        expectCell(s.get(), 3 + 8 * i, 5, text[i], 0xFFFF55, 0x0000AA);
    }
    EXPECT_EQ(pixel(s.get(), 2, 5), 0u);
    EXPECT_EQ(pixel(s.get(), 35, 5), 0u);
    // Characters running off the surface are left out, without harm.
    host::drawText(s.get(), 90, 0, text, sizeof text, 0xFFFFFF, 0);
    EXPECT_EQ(pixel(s.get(), 95, 0), 0u);
    host::drawText(s.get(), -4, 22, text, sizeof text, 0xFFFFFF, 0xFFFFFF);
    host::drawText(s.get(), 0, -1, text, sizeof text, 0xFFFFFF, 0xFFFFFF);
    host::drawText(s.get(), 0, 25, text, sizeof text, 0xFFFFFF, 0xFFFFFF);
    EXPECT_EQ(pixel(s.get(), 0, 22), 0u);
    EXPECT_EQ(pixel(s.get(), 0, 39), 0u);
    expectCell(s.get(), 4, 22, 'K', 0xFFFFFF, 0xFFFFFF);
}

// ---- Built-in data -------------------------------------------------------

TEST(BuiltInFonts, GlyphTablesAreCodePage437OneBytePerPixel) {
    const std::uint8_t* f16 = host::font8x16();
    const std::uint8_t* f8 = host::font8x8();
    for (std::size_t i = 0; i < host::kFont8x16Bytes; ++i) {
        ASSERT_TRUE(f16[i] == 0 || f16[i] == 255);
    }
    for (std::size_t i = 0; i < host::kFont8x8Bytes; ++i) {
        ASSERT_TRUE(f8[i] == 0 || f8[i] == 255);
    }
    auto lit = [](const std::uint8_t* glyph, int bytes) {
        int n = 0;
        for (int i = 0; i < bytes; ++i) {
            n += glyph[i] != 0;
        }
        return n;
    };
    for (int ch = 0; ch < 256; ++ch) {
        const bool blank = ch == 0 || ch == 32 || ch == 255;
        EXPECT_EQ(lit(f16 + ch * 128, 128) == 0, blank) << ch;
        EXPECT_EQ(lit(f8 + ch * 64, 64) == 0, blank) << ch;
    }
    // Full block, the lower half block and the light shade.
    EXPECT_EQ(lit(f16 + 0xDB * 128, 128), 128);
    EXPECT_EQ(lit(f8 + 0xDB * 64, 64), 64);
    EXPECT_EQ(lit(f16 + 0xDC * 128, 64), 0);
    EXPECT_EQ(lit(f16 + 0xDC * 128 + 64, 64), 64);
    // A horizontal line drawing character crosses the whole cell.
    bool crossing = false;
    for (int y = 0; y < 16; ++y) {
        crossing |= lit(f16 + 0xC4 * 128 + y * 8, 8) == 8;
    }
    EXPECT_TRUE(crossing);
    // Distinct glyphs for distinct letters.
    EXPECT_NE(std::memcmp(f16 + 'O' * 128, f16 + '0' * 128, 128), 0);
    EXPECT_NE(std::memcmp(f16 + 0x10 * 128, f16 + 0x11 * 128, 128), 0); // the arrowheads
}

TEST(BuiltInFonts, FontNumbersPickShapes) {
    const host::FontShape f16 = host::fontShape(16);
    EXPECT_EQ(std::make_tuple(f16.cellWidth, f16.cellHeight, f16.firstRow, f16.glyphBytes),
              std::make_tuple(8, 16, 0, 128));
    const host::FontShape f14 = host::fontShape(14);
    EXPECT_EQ(std::make_tuple(f14.cellWidth, f14.cellHeight, f14.firstRow, f14.glyphs),
              std::make_tuple(8, 14, 1, host::font8x16()));
    const host::FontShape f8 = host::fontShape(8);
    EXPECT_EQ(std::make_tuple(f8.cellWidth, f8.cellHeight, f8.glyphBytes, f8.glyphs),
              std::make_tuple(8, 8, 64, host::font8x8()));
    EXPECT_TRUE(host::fontShape(17).doubleWidth);
    EXPECT_EQ(host::fontShape(15).cellWidth, 16);
    EXPECT_EQ(host::fontShape(9).cellHeight, 8);
    EXPECT_EQ(host::fontShape(40).cellHeight, 16);

    // Font 14 shows rows 1..14 of the 8x16 glyph.
    TextPage p(80, 25, 14);
    p.put(1, 1, 'g', 0x0F);
    auto s = rgbSurface(640, 350);
    TextPainter painter;
    painter.paint(p.page, p.palette.data(), s.get(), 0, 0, 1);
    for (int y = 0; y < 14; ++y) {
        for (int x = 0; x < 8; ++x) {
            ASSERT_EQ(rgbAt(s.get(), x, y), glyphPixel('g', x, y + 1) ? 0xFFFFFFu : 0u);
        }
    }
    // Font 17 draws every pixel twice side by side.
    TextPage d(40, 25, 17);
    d.put(1, 1, 'A', 0x0F);
    painter.paint(d.page, d.palette.data(), s.get(), 0, 0, 1);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(rgbAt(s.get(), x, y), glyphPixel('A', x / 2, y) ? 0xFFFFFFu : 0u);
        }
    }
}

TEST(BuiltInPalettes, TextColoursAndTheRestOfTheTables) {
    const std::uint32_t* p = host::defaultPalette256();
    const std::uint32_t text[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                                    0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                                    0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(p[i], 0xFF000000u | text[i]) << i;
    }
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(p[i] >> 24, 0xFFu) << i;
    }
    EXPECT_EQ(p[16], 0xFF000000u); // the grey ramp
    EXPECT_EQ(p[31], 0xFFFFFFFFu);
    EXPECT_EQ(p[32], 0xFF0000FFu); // the hue wheel starts at blue
    EXPECT_EQ(p[40], 0xFFFF0000u); // red
    EXPECT_EQ(p[44], 0xFFFFFF00u); // yellow
    EXPECT_EQ(p[48], 0xFF00FF00u); // green
    EXPECT_EQ(p[255], 0xFF000000u);
    const std::uint32_t* e = host::defaultPalette64();
    EXPECT_EQ(e[0], 0xFF000000u);
    EXPECT_EQ(e[1], 0xFF0000AAu);
    EXPECT_EQ(e[0x38], 0xFF555555u);
    EXPECT_EQ(e[0x3F], 0xFFFFFFFFu);
}

TEST(BuiltInIcon, IsA32x32PictureIn256ColoursThatSdlLoads) {
    const std::uint8_t* bmp = host::iconBmp();
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[2] | bmp[3] << 8, 2102);
    SDL_Surface* icon = host::createIconSurface();
    ASSERT_NE(icon, nullptr) << SDL_GetError();
    EXPECT_EQ(icon->w, 32);
    EXPECT_EQ(icon->h, 32);
    ASSERT_EQ(icon->format->BitsPerPixel, 8);
    ASSERT_NE(icon->format->palette, nullptr);
    const std::uint8_t* pixels = host::iconPixels();
    int opaque = 0;
    int colours[256] = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const std::uint8_t v = static_cast<std::uint8_t*>(icon->pixels)[y * icon->pitch + x];
            ASSERT_EQ(v, pixels[y * 32 + x]);
            const bool masked = (host::iconMask()[y * 4 + x / 8] >> (7 - x % 8)) & 1;
            ASSERT_EQ(masked, v != 0);
            opaque += masked;
            colours[v] = 1;
        }
    }
    EXPECT_GT(opaque, 300);
    int distinct = 0;
    for (int c : colours) {
        distinct += c;
    }
    EXPECT_GE(distinct, 6);
    const SDL_Color c = icon->format->palette->colors[14];
    EXPECT_EQ(std::make_tuple(c.r, c.g, c.b), std::make_tuple(0xFF, 0xFF, 0x55));
    SDL_FreeSurface(icon);
}

// ---- Sharing the page with the game thread -------------------------------

// The game thread prints while the renderer paints: no data race, and once
// the writer stops, one more frame shows exactly what it wrote.
TEST(RendererSharing, FramesWhileAnotherThreadWritesCellsAndCursor) {
    rt::resetErrorsAndFlags();
    host::resetHostState();
    TextPage p;
    FakeOutput out;
    Renderer r(out);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int round = 0; round < 200; ++round) {
            for (int i = 0; i < 2000; i += 7) {
                p.page.setCell(i / 80 + 1, i % 80 + 1,
                               rt::makeCell(static_cast<std::uint8_t>('a' + round % 26),
                                            static_cast<std::uint8_t>(round & 0xFF)));
            }
            p.cursorAt(1 + round % 25, 1 + round % 80);
        }
        for (int i = 0; i < 2000; ++i) {
            p.page.setCell(i / 80 + 1, i % 80 + 1, rt::makeCell('z', 0x07));
        }
        done.store(true, std::memory_order_release);
    });
    while (!done.load(std::memory_order_acquire)) {
        r.frame(&p.page);
    }
    writer.join();
    r.frame(&p.page);
    expectCell(out.surface.get(), 0, 0, 'z', kGrey, kBlack);
    expectCell(out.surface.get(), 632, 384, 'z', kGrey, kBlack);
    rt::resetErrorsAndFlags();
    host::resetHostState();
}

} // namespace

namespace {

// ---- Glyph drawing routines ----------------------------------------------

// Every routine the processor offers paints every glyph of every built-in
// font shape exactly as the plain one does.
TEST(GlyphPaths, VectorRoutinesMatchThePlainOne) {
    const host::GlyphPath paths[] = {host::GlyphPath::Sse2, host::GlyphPath::Avx2};
    for (int font : {16, 14, 8, 17, 15, 9}) {
        const host::FontShape shape = host::fontShape(font);
        const int columns = 640 / shape.cellWidth;
        const int rows = 256 / columns + 1;
        TextPage p(columns, rows, font);
        for (int i = 0; i < 256; ++i) {
            p.page.cells[i].store(rt::makeCell(static_cast<std::uint8_t>(i),
                                               static_cast<std::uint8_t>(i * 37 % 256)));
        }
        auto want = rgbSurface(640, rows * shape.cellHeight);
        auto got = rgbSurface(640, rows * shape.cellHeight);
        ASSERT_TRUE(host::useGlyphPath(host::GlyphPath::Plain));
        TextPainter plain;
        plain.paint(p.page, p.palette.data(), want.get(), 0, 0, 1);
        for (host::GlyphPath path : paths) {
            if (!host::useGlyphPath(path)) {
                continue;
            }
            SDL_FillRect(got.get(), nullptr, 0x123456);
            TextPainter painter;
            painter.paint(p.page, p.palette.data(), got.get(), 0, 0, 1);
            for (int y = 0; y < want->h; ++y) {
                ASSERT_EQ(std::memcmp(static_cast<std::uint8_t*>(want->pixels) + y * want->pitch,
                                      static_cast<std::uint8_t*>(got->pixels) + y * got->pitch,
                                      640 * 4),
                          0)
                    << "font " << font << " routine " << int(path) << " row " << y;
            }
        }
    }
    host::useBestGlyphPath();
}

} // namespace
