// The display renderer: paints the display page into the SDL window.
//
// The event loop calls Renderer::frame() on the main thread whenever there
// is something to show. A frame advances the frame counter (bit 2 is the
// cursor phase, bit 3 the blink phase), or, with a frame clock set, takes
// it from that clock (the window program counts nominal 32 ms frames of
// elapsed time, so the cadence does not depend on how often it paints),
// answers the game thread's
// display hold and one-frame request (runtime/port.h), handles pending Alt+Enter presses (window ->
// full screen in the best-fitting mode -> full screen in the best 4:3 mode -> window), sets the
// video mode when the window size or the full-screen mode changed, and then repaints only the cells
// that differ from what it drew last time, looking only at the rows the page's change report names:
// changed cells, the cursor cell when the cursor phase flips or the cursor
// moves, blinking cells when the blink phase flips. A palette change or a new
// video mode repaints everything. Only the rectangles of the cells drawn are
// handed to the window output (the whole window after a full repaint,
// nothing when no cell changed); the SDL output can be told to show the
// whole window at every update instead, see SdlVideoOutput.
//
// The pieces are separate so that they work without a window: TextPainter
// draws a text page into any 32-bit 0x00RRGGBB surface and remembers what it
// drew; chooseFullScreenModes and nextFullScreenMode are the mode search and
// the Alt+Enter steps; VideoOutput is the window system, which tests replace.
//
// The renderer reads the display page's cells and cursor while the game
// thread writes them (relaxed atomics): a frame may show a half-printed row,
// which the next frame corrects: the write comes after the report was taken,
// so it is reported again. Page layout changes are fenced by the display
// hold: while one is asked for or granted nothing is drawn.
#pragma once

#include <SDL.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/host_core.h"
#include "host/sdl_window_surface.h"
#include "runtime/screen.h"

namespace host {

struct VideoMode {
    std::uint16_t width;
    std::uint16_t height;
};

// ---- Full-screen mode search -------------------------------------------

// Indices into a mode list; -1 when there is none.
struct ModeChoice {
    int bestFit = -1; // the last mode with the smallest excess
    int best43 = -1;  // the same among the modes with width / 4 == height / 3
};

// Searches modes (in their listed order) for a page of the required size.
// Modes narrower than 640 pixels or smaller than the required size are
// skipped; a required size of at most 512 x 384 counts doubled. Excess is
// (mode width - required width) + (mode height - required height).
ModeChoice chooseFullScreenModes(const std::vector<VideoMode>& modes, int requiredWidth,
                                 int requiredHeight);

inline constexpr int kWindowed = 0;
inline constexpr int kFullScreenBestFit = 1;
inline constexpr int kFullScreen43 = 2;

// The full-screen mode one Alt+Enter leads to from mode: windowed -> best
// fit (if any); best fit -> best 4:3 when it exists and has another size,
// else windowed; best 4:3 -> windowed.
int nextFullScreenMode(int mode, const std::vector<VideoMode>& modes, const ModeChoice& choice);

// ---- Cursor shape ------------------------------------------------------

// The pixel rows of a cell the text cursor fills, first..last inclusive
// (none when first > last), from the cursor's first and last scan lines and
// the cell height, already limited to rows 0..cellHeight - 1. The game's
// cursor (4, 4) in a 16-row cell is row 14.
struct CursorRows {
    int first;
    int last;
};
CursorRows cursorRows(int firstLine, int lastLine, int cellHeight);

// ---- Text in any 32-bit surface ----------------------------------------

// Draws length code page 437 bytes with the 8x16 font, 8 pixels per
// character, top-left corner at (x, y), foreground and background 0xRRGGBB.
// Works on any 32-bit surface (colours are mapped to its format); characters
// not wholly inside the surface are left out. Locks the surface if it must.
void drawText(SDL_Surface* surface, int x, int y, const std::uint8_t* text, std::size_t length,
              std::uint32_t foreground, std::uint32_t background);

// The glyph drawing routine: plain C++, SSE2 or AVX2 vectors. The widest the
// processor has is used; tests switch between them (main thread, between
// frames). useGlyphPath returns false when that routine is not available.
enum class GlyphPath : std::uint8_t { Plain, Sse2, Avx2 };
bool useGlyphPath(GlyphPath path);
void useBestGlyphPath();

// ---- Painting a text page ----------------------------------------------

// Draws a text page's cells into a 32-bit 0x00RRGGBB surface and keeps what
// it drew, so that the next paint redraws only what changed. The caller
// locks the surface if SDL requires it.
class TextPainter {
  public:
    // One frame's cells, top-left cell at (offsetX, offsetY), with the
    // cursor and blink phases of frameCounter. Cells not wholly inside the
    // surface are not drawn. palette: the page's 256 entries (0xAARRGGBB).
    // damage is the page's change report since the previous paint: only
    // the rows it names are compared with what was drawn (plus the cursor
    // rows on a cursor move or phase flip, and every row on a blink flip),
    // and the palette only when it reports everything changed. The default
    // looks at everything.
    void paint(const rt::ScreenPage& page, const std::uint32_t* palette, SDL_Surface* surface,
               int offsetX, int offsetY, std::uint32_t frameCounter,
               std::uint64_t damage = kEverything);
    static constexpr std::uint64_t kEverything =
        rt::ScreenPage::kDamageRowBits | rt::ScreenPage::kDamageAll | rt::ScreenPage::kDamageCursor;

    // The next paint redraws every cell.
    void invalidate() { valid_ = false; }
    // Whether the last paint left blinking cells on the surface (their
    // look changes with the blink phase).
    bool blinking() const { return blinkingCells_ > 0; }
    bool valid() const { return valid_; }

    // What the last paint did.
    int cellsDrawn() const { return cellsDrawn_; }
    bool fullRedraw() const { return fullRedraw_; }
    // The drawn cells as rectangles (runs of cells on a row are merged);
    // empty after a full redraw, which covers the whole page.
    const std::vector<SDL_Rect>& drawnRects() const { return rects_; }

  private:
    void resize(int columns, int rows);

    bool valid_ = false;
    int columns_ = 0;
    int rows_ = 0;
    // The cells drawn last, columns x rows; kRedraw marks a cell that the
    // next paint must draw whatever it holds.
    static constexpr std::uint32_t kRedraw = 0x10000;
    std::vector<std::uint32_t> previous_;
    int blinkingCells_ = 0; // cells of previous_ with the blink bit
    std::array<std::uint32_t, 256> palette_{};
    int cursorColumn_ = -1;
    int cursorRow_ = -1;
    bool cursorShown_ = false; // the last paint drew the cursor
    int blinkPhase_ = 0;
    int cellsDrawn_ = 0;
    bool fullRedraw_ = false;
    std::vector<SDL_Rect> rects_;
};

// ---- The window system -------------------------------------------------

// What the renderer needs from the window system. The SDL one sets video
// modes with SDL_SetVideoMode; tests hand out plain surfaces.
class VideoOutput {
  public:
    virtual ~VideoOutput() = default;
    // Sets a 32-bit video mode; the surface to draw into, or null when the
    // mode cannot be set (the renderer then tries again next frame).
    virtual SDL_Surface* setMode(int width, int height, bool fullScreen) = 0;
    // Shows the given rectangles of the window surface; count 0 = all of it.
    virtual void update(SDL_Surface* surface, const SDL_Rect* rects, int count) = 0;
    virtual void showPointer(bool visible) = 0;
    // Gives up the processor once (after granting a display hold).
    virtual void yield() = 0;
};

// VideoOutput through SDL 1.2.
class SdlVideoOutput : public VideoOutput {
  public:
    SDL_Surface* setMode(int width, int height, bool fullScreen) override;
    void update(SDL_Surface* surface, const SDL_Rect* rects, int count) override;
    void showPointer(bool visible) override;
    void yield() override;

    // SDL 1.2 on SDL 2 (sdl12-compat) shows an update of part of the window
    // only with a later update made a frame time (about 15 ms) after it; an
    // update of the whole window it shows at once. With this on, every
    // update that goes through SDL 1.2 hands over the whole window. Main
    // thread.
    void presentAtOnce(bool on) { presentAtOnce_ = on; }

  private:
    bool presentAtOnce_ = false;
    // Updates of part of the window go straight to SDL 2's window surface
    // when it can take them (sdl_window_surface.h); SDL 1.2's own copy then
    // lacks them until the next update of the whole window through it.
    WindowSurface direct_;
    bool sdl12Behind_ = false;
};

// ---- The renderer ------------------------------------------------------

class Renderer {
  public:
    explicit Renderer(VideoOutput& output);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The full-screen modes found at start-up (host::fullScreenModes()).
    void setFullScreenModes(std::vector<VideoMode> modes);

    // Where frames take their frame counter from: null (the default) adds
    // one per frame; otherwise every frame reads it from clock.
    using FrameClock = std::uint32_t (*)();
    void setFrameClock(FrameClock clock) { frameClock_ = clock; }

    // One frame of rt::displayPage() (main thread).
    void frame();
    // One frame of the given page; null draws nothing.
    void frame(const rt::ScreenPage* page);

    // The next frame clears the window and redraws every cell. Any thread
    // (for example after a dialog was drawn over the window).
    void invalidate() { invalidateRequest_.store(true, std::memory_order_release); }

    // For dialogs drawn in the window (main thread): the 0x00RRGGBB surface
    // the renderer paints, null while no video mode is set. After drawing
    // into it, present() shows the rectangles (count 0: the whole window);
    // invalidate() when done so the page is painted back.
    SDL_Surface* canvas() const { return canvas_; }
    void present(const SDL_Rect* rects, int count);

    // State, mainly for tests.
    std::uint32_t frameCounter() const { return frameCounter_; }
    int fullScreenMode() const { return fullScreenMode_; }
    bool isFullScreen() const { return fullScreenMode_ != kWindowed; }
    int windowWidth() const { return windowWidth_; }
    int windowHeight() const { return windowHeight_; }
    int offsetX() const { return offsetX_; }
    int offsetY() const { return offsetY_; }
    const TextPainter& painter() const { return painter_; }
    // What the last frame handed to the window: nothing, the whole window,
    // or the rectangles in updatedRects().
    enum class Update : std::uint8_t { None, Full, Rects };
    Update lastUpdate() const { return lastUpdate_; }
    const std::vector<SDL_Rect>& updatedRects() const { return painter_.drawnRects(); }

  private:
    bool setVideoMode(int width, int height, bool fullScreen);
    void releaseBuffer();
    void show(const SDL_Rect* rects, int count);
    void runFrame(const rt::ScreenPage* page, bool useDisplayPage);
    void drawPage(const rt::ScreenPage* page);

    VideoOutput& output_;
    TextPainter painter_;
    std::vector<VideoMode> modes_;
    ModeChoice choice_;    // the search for the page size below
    int choiceWidth_ = -1; // -1: no search made yet
    int choiceHeight_ = -1;
    std::atomic<bool> invalidateRequest_{false};
    std::uint32_t frameCounter_ = 0;
    FrameClock frameClock_ = nullptr;
    int fullScreenMode_ = kWindowed;
    int windowWidth_ = 0; // of the current video mode, 0 while none is set
    int windowHeight_ = 0;
    int windowMode_ = -1; // the full-screen mode the video mode was set for
    int offsetX_ = 0;
    int offsetY_ = 0;
    SDL_Surface* window_ = nullptr; // the window surface
    SDL_Surface* buffer_ = nullptr; // own 0x00RRGGBB buffer when the window's layout differs
    SDL_Surface* canvas_ = nullptr; // window_ or buffer_
    Update lastUpdate_ = Update::None;
};

// The window program's renderer, drawing through SDL.
Renderer& renderer();

} // namespace host
