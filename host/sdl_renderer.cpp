// The display renderer: one frame of the display page per call.
//
// Renderer::frame() runs the frame in this order: count the frame and answer
// the display handshake; find the page and its pixel size; search the
// full-screen modes and apply one pending Alt+Enter; set the video mode when
// the window size or the full-screen mode changed; clear the window when the
// frame is not valid; let the TextPainter repaint the cells that changed;
// hand the changed rectangles (or the whole window) to the window system;
// answer the handshake again and clear a one-frame display request.
//
// TextPainter keeps the cells it drew last, the palette, the cursor place and
// the cursor and blink phases. A cell is skipped when the frame is valid, it
// equals what was drawn, and neither a blink-phase flip (blinking cells), a
// cursor-phase flip (the cursor cell) nor a cursor move (the old and the new
// cursor cell) concerns it. Glyphs are drawn a whole pixel row at a time straight
// into the 32-bit surface.
#include "host/sdl_renderer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>

#include "host/fonts.h"
#include "host/palette.h"
#include "runtime/errors.h"
#include "runtime/pages.h"

namespace host {

// ---- Full-screen mode search -------------------------------------------

ModeChoice chooseFullScreenModes(const std::vector<VideoMode>& modes, int requiredWidth,
                                 int requiredHeight) {
    if (requiredWidth <= 512 && requiredHeight <= 384) {
        requiredWidth *= 2;
        requiredHeight *= 2;
    }
    ModeChoice choice;
    long bestExcess = LONG_MAX;
    long best43Excess = LONG_MAX;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        const int w = modes[i].width;
        const int h = modes[i].height;
        if (w < 640 || w < requiredWidth || h < requiredHeight) {
            continue;
        }
        const long excess = static_cast<long>(w - requiredWidth) + (h - requiredHeight);
        if (excess <= bestExcess) {
            bestExcess = excess;
            choice.bestFit = static_cast<int>(i);
        }
        if (w / 4 == h / 3 && excess <= best43Excess) {
            best43Excess = excess;
            choice.best43 = static_cast<int>(i);
        }
    }
    return choice;
}

int nextFullScreenMode(int mode, const std::vector<VideoMode>& modes, const ModeChoice& choice) {
    switch (mode) {
    case kWindowed:
        return choice.bestFit >= 0 ? kFullScreenBestFit : kWindowed;
    case kFullScreenBestFit:
        if (choice.best43 >= 0 && choice.bestFit >= 0) {
            const VideoMode& a = modes[static_cast<std::size_t>(choice.best43)];
            const VideoMode& b = modes[static_cast<std::size_t>(choice.bestFit)];
            if (a.width != b.width || a.height != b.height) {
                return kFullScreen43;
            }
        }
        return kWindowed;
    default:
        return kWindowed;
    }
}

// ---- Cursor shape ------------------------------------------------------

CursorRows cursorRows(int firstLine, int lastLine, int cellHeight) {
    const int f = firstLine;
    const int l = lastLine;
    const int h = cellHeight;
    // Rows "at the bottom" count upward from this row.
    const int bottom = h == 16 ? 14 : h - 1;
    CursorRows rows{1, 0};
    if (l == 0) {
        if (f == 0) {
            rows = {0, 0};
        }
    } else if (l < f) {
        rows = {l, h - 1};
    } else if (f == l) {
        rows = f <= 3 ? CursorRows{f, f} : CursorRows{bottom, bottom};
    } else if (f >= 3) {
        const int span = l - f;
        if (span == 1) {
            rows = {bottom - 1, bottom};
        } else if (span == 2) {
            rows = {bottom - 2, bottom};
        } else {
            rows = {h - h / 2, h - 1};
        }
    } else if (f <= 1) {
        rows = l <= 3 ? CursorRows{f, l} : CursorRows{f, h - 1};
    } else if (l == 3) { // f == 2
        rows = {2, 3};
    } else if (l == 4) {
        rows = {bottom - 2, bottom};
    } else {
        rows = {2, h - 1};
    }
    rows.first = std::max(rows.first, 0);
    rows.last = std::min(rows.last, h - 1);
    return rows;
}

// ---- Drawing -----------------------------------------------------------

namespace {

inline std::uint32_t* pixelRow(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) +
                                            static_cast<std::ptrdiff_t>(y) * s->pitch) +
           x;
}

// One glyph, 8 glyph pixels per row (16 surface pixels at double width).
void drawGlyph(SDL_Surface* s, int x, int y, const FontShape& font, std::uint8_t character,
               std::uint32_t foreground, std::uint32_t background) {
    const std::uint8_t* glyph =
        font.glyphs + static_cast<std::size_t>(character) * font.glyphBytes + font.firstRow * 8;
    for (int row = 0; row < font.cellHeight; ++row, glyph += 8) {
        std::uint32_t* out = pixelRow(s, x, y + row);
        if (font.doubleWidth) {
            for (int i = 0; i < 8; ++i) {
                const std::uint32_t c = glyph[i] ? foreground : background;
                out[2 * i] = c;
                out[2 * i + 1] = c;
            }
        } else {
            for (int i = 0; i < 8; ++i) {
                out[i] = glyph[i] ? foreground : background;
            }
        }
    }
}

bool isRgbLayout(const SDL_Surface* s) {
    const SDL_PixelFormat* f = s->format;
    return f->BytesPerPixel == 4 && f->Rmask == 0xFF0000 && f->Gmask == 0xFF00 && f->Bmask == 0xFF;
}

class SurfaceLock {
  public:
    explicit SurfaceLock(SDL_Surface* s) : surface_(s) {
        locked_ = SDL_MUSTLOCK(s) ? SDL_LockSurface(s) == 0 : true;
        mustUnlock_ = locked_ && SDL_MUSTLOCK(s);
    }
    ~SurfaceLock() {
        if (mustUnlock_) {
            SDL_UnlockSurface(surface_);
        }
    }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    bool ok() const { return locked_ && surface_->pixels != nullptr; }

  private:
    SDL_Surface* surface_;
    bool locked_ = false;
    bool mustUnlock_ = false;
};

} // namespace

void drawText(SDL_Surface* surface, int x, int y, const std::uint8_t* text, std::size_t length,
              std::uint32_t foreground, std::uint32_t background) {
    if (!surface || !text || surface->format->BytesPerPixel != 4) {
        return;
    }
    if (y < 0 || y + 16 > surface->h) {
        return;
    }
    SurfaceLock lock(surface);
    if (!lock.ok()) {
        return;
    }
    auto map = [surface](std::uint32_t rgb) {
        return SDL_MapRGB(surface->format, static_cast<Uint8>(rgb >> 16),
                          static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb));
    };
    const std::uint32_t fg = map(foreground);
    const std::uint32_t bg = map(background);
    const FontShape font = fontShape(16);
    for (std::size_t i = 0; i < length; ++i) {
        const long left = x + static_cast<long>(i) * 8;
        if (left < 0) {
            continue;
        }
        if (left + 8 > surface->w) {
            break;
        }
        drawGlyph(surface, static_cast<int>(left), y, font, text[i], fg, bg);
    }
}

// ---- TextPainter -------------------------------------------------------

void TextPainter::resize(int columns, int rows) {
    columns_ = columns;
    rows_ = rows;
    const std::size_t cells = static_cast<std::size_t>(columns) * rows;
    previous_.assign(cells, 0);
    // A row holds at most one run per two cells (runs are separated by at
    // least one skipped cell), so the list never grows during a paint.
    rects_.clear();
    rects_.reserve(static_cast<std::size_t>(rows) * (columns / 2 + 1));
    valid_ = false;
}

void TextPainter::paint(const rt::ScreenPage& page, const std::uint32_t* palette,
                        SDL_Surface* surface, int offsetX, int offsetY,
                        std::uint32_t frameCounter) {
    cellsDrawn_ = 0;
    fullRedraw_ = false;
    rects_.clear();
    const int columns = page.width;
    const int rows = page.height;
    if (!page.cells || columns <= 0 || rows <= 0 || !surface || !surface->pixels ||
        surface->format->BytesPerPixel != 4 || offsetX < 0 || offsetY < 0) {
        return;
    }
    if (columns != columns_ || rows != rows_) {
        resize(columns, rows);
    }
    const FontShape font = fontShape(page.font);
    const int cw = font.cellWidth;
    const int ch = font.cellHeight;

    bool full = !valid_;
    if (full || std::memcmp(palette, palette_.data(), sizeof palette_) != 0) {
        std::memcpy(palette_.data(), palette, sizeof palette_);
        full = true;
    }
    std::uint32_t colours[16];
    for (int i = 0; i < 16; ++i) {
        colours[i] = palette_[static_cast<std::size_t>(i)] & 0x00FFFFFF;
    }

    int cursorColumn = page.column() - 1;
    int cursorRow = page.row() - 1;
    if (page.pendingWrap.load(std::memory_order_relaxed) == 2 && cursorRow < rows - 1) {
        cursorColumn = 0;
        cursorRow += 1;
    }
    const int cursorPhase = static_cast<int>((frameCounter >> 2) & 1);
    const int blinkPhase = static_cast<int>((frameCounter >> 3) & 1);
    const bool cursorMoved = cursorColumn != cursorColumn_ || cursorRow != cursorRow_;
    const bool cursorFlipped = cursorPhase != cursorPhase_;
    const bool blinkFlipped = blinkPhase != blinkPhase_;
    const bool showCursor = page.cursorVisible.load(std::memory_order_relaxed) != 0 && cursorPhase;
    const CursorRows shape = cursorRows(page.cursorFirstLine.load(std::memory_order_relaxed),
                                        page.cursorLastLine.load(std::memory_order_relaxed), ch);

    // Only cells wholly inside the surface are drawn.
    const int visibleColumns = std::min(columns, (surface->w - offsetX) / cw);
    const int visibleRows = std::min(rows, (surface->h - offsetY) / ch);

    for (int r = 0; r < visibleRows; ++r) {
        const std::atomic<std::uint16_t>* source =
            page.cells + static_cast<std::size_t>(r) * columns;
        std::uint16_t* previous = previous_.data() + static_cast<std::size_t>(r) * columns;
        const int y = offsetY + r * ch;
        int runStart = -1;
        for (int c = 0; c < visibleColumns; ++c) {
            const std::uint16_t cell = source[c].load(std::memory_order_relaxed);
            const std::uint8_t attribute = rt::cellAttribute(cell);
            const bool isCursor = c == cursorColumn && r == cursorRow;
            // The cursor cell is also redrawn when the cursor has just moved
            // there, so that it shows the cursor at once in its visible phase.
            if (!full && cell == previous[c] && (!(attribute & 0x80) || !blinkFlipped) &&
                (!isCursor || (!cursorFlipped && !cursorMoved)) &&
                (!(c == cursorColumn_ && r == cursorRow_) || !cursorMoved)) {
                if (runStart >= 0) {
                    rects_.push_back(
                        {static_cast<Sint16>(offsetX + runStart * cw), static_cast<Sint16>(y),
                         static_cast<Uint16>((c - runStart) * cw), static_cast<Uint16>(ch)});
                    runStart = -1;
                }
                continue;
            }
            previous[c] = cell;
            int foreground = attribute & 15;
            const int background = (attribute >> 4) & 7;
            if ((attribute & 0x80) && blinkPhase) {
                foreground = background;
            }
            const int x = offsetX + c * cw;
            drawGlyph(surface, x, y, font, rt::cellCharacter(cell), colours[foreground],
                      colours[background]);
            if (showCursor && isCursor) {
                const std::uint32_t colour = colours[attribute & 15];
                for (int row = shape.first; row <= shape.last; ++row) {
                    std::fill_n(pixelRow(surface, x, y + row), cw, colour);
                }
            }
            ++cellsDrawn_;
            if (runStart < 0) {
                runStart = c;
            }
        }
        if (runStart >= 0) {
            rects_.push_back({static_cast<Sint16>(offsetX + runStart * cw), static_cast<Sint16>(y),
                              static_cast<Uint16>((visibleColumns - runStart) * cw),
                              static_cast<Uint16>(ch)});
        }
    }

    cursorPhase_ = cursorPhase;
    blinkPhase_ = blinkPhase;
    cursorColumn_ = cursorColumn;
    cursorRow_ = cursorRow;
    valid_ = true;
    fullRedraw_ = full;
    if (full) {
        rects_.clear();
    }
}

// ---- SDL video output --------------------------------------------------

SDL_Surface* SdlVideoOutput::setMode(int width, int height, bool fullScreen) {
    return SDL_SetVideoMode(width, height, 32, fullScreen ? SDL_FULLSCREEN : 0);
}

void SdlVideoOutput::update(SDL_Surface* surface, const SDL_Rect* rects, int count) {
    if (count == 0) {
        SDL_UpdateRect(surface, 0, 0, 0, 0);
    } else {
        SDL_UpdateRects(surface, count, const_cast<SDL_Rect*>(rects));
    }
}

void SdlVideoOutput::showPointer(bool visible) {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlVideoOutput::yield() {
    std::this_thread::yield();
}

// ---- Renderer ----------------------------------------------------------

Renderer::Renderer(VideoOutput& output) : output_(output) {}

Renderer::~Renderer() {
    releaseBuffer();
}

void Renderer::setFullScreenModes(std::vector<VideoMode> modes) {
    modes_ = std::move(modes);
}

void Renderer::releaseBuffer() {
    if (buffer_) {
        SDL_FreeSurface(buffer_);
        buffer_ = nullptr;
    }
    canvas_ = window_;
}

bool Renderer::setVideoMode(int width, int height, bool fullScreen) {
    releaseBuffer();
    painter_.invalidate();
    window_ = output_.setMode(width, height, fullScreen);
    canvas_ = window_;
    if (window_ && !isRgbLayout(window_)) {
        // Paint into a 0x00RRGGBB buffer and convert when showing it.
        buffer_ = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, 0xFF0000, 0xFF00, 0xFF, 0);
        canvas_ = buffer_;
    }
    if (!canvas_) {
        window_ = nullptr;
        windowWidth_ = 0;
        windowHeight_ = 0;
        windowMode_ = -1;
        return false;
    }
    windowWidth_ = width;
    windowHeight_ = height;
    windowMode_ = fullScreenMode_;
    return true;
}

void Renderer::show(const SDL_Rect* rects, int count) {
    if (!window_) {
        return;
    }
    if (buffer_) {
        if (count == 0) {
            SDL_BlitSurface(buffer_, nullptr, window_, nullptr);
        }
        for (int i = 0; i < count; ++i) {
            SDL_Rect from = rects[i];
            SDL_Rect to = rects[i];
            SDL_BlitSurface(buffer_, &from, window_, &to);
        }
    }
    output_.update(window_, rects, count);
}

void Renderer::present(const SDL_Rect* rects, int count) {
    show(rects, count);
}

void Renderer::frame() {
    runFrame(nullptr, true);
}

void Renderer::frame(const rt::ScreenPage* page) {
    runFrame(page, false);
}

void Renderer::answerHandshake() {
    std::int32_t asked = 1;
    if (rt::flags().displayHandshake.compare_exchange_strong(asked, 2, std::memory_order_acq_rel)) {
        output_.yield();
    }
}

void Renderer::runFrame(const rt::ScreenPage* page, bool useDisplayPage) {
    rt::Flags& flags = rt::flags();
    ++frameCounter_;
    lastUpdate_ = Update::None;
    answerHandshake();
    if (flags.displayHandshake.load(std::memory_order_acquire) == 0) {
        if (useDisplayPage) {
            page = rt::displayPage();
        }
        drawPage(page);
    }
    answerHandshake();
    std::int32_t oneFrame = -1;
    flags.automaticDisplay.compare_exchange_strong(oneFrame, 0, std::memory_order_acq_rel);
}

void Renderer::drawPage(const rt::ScreenPage* page) {
    // Graphics pages are outside what this renderer draws.
    if (!page || !page->textPage || !page->cells || page->width == 0 || page->height == 0) {
        return;
    }
    const FontShape font = fontShape(page->font);
    const int requiredWidth = page->width * font.cellWidth;
    const int requiredHeight = page->height * font.cellHeight;

    const ModeChoice choice = chooseFullScreenModes(modes_, requiredWidth, requiredHeight);
    std::int32_t toggles = rt::flags().fullScreenToggles.load(std::memory_order_relaxed);
    while (toggles > 0 && !rt::flags().fullScreenToggles.compare_exchange_weak(
                              toggles, toggles - 1, std::memory_order_relaxed)) {
    }
    int mode = fullScreenMode_;
    if (toggles > 0) {
        mode = nextFullScreenMode(mode, modes_, choice);
    }
    // A page that no longer fits the full-screen mode goes back to the window.
    if ((mode == kFullScreenBestFit && choice.bestFit < 0) ||
        (mode == kFullScreen43 && choice.best43 < 0)) {
        mode = kWindowed;
    }
    if (mode != fullScreenMode_) {
        fullScreenMode_ = mode;
        output_.showPointer(mode == kWindowed);
        painter_.invalidate();
    }

    int width = requiredWidth;
    int height = requiredHeight;
    offsetX_ = 0;
    offsetY_ = 0;
    if (mode != kWindowed) {
        const VideoMode& m = modes_[static_cast<std::size_t>(
            mode == kFullScreenBestFit ? choice.bestFit : choice.best43)];
        width = m.width;
        height = m.height;
        offsetX_ = (width - requiredWidth) / 2;
        offsetY_ = (height - requiredHeight) / 2;
    }
    if (!window_ || width != windowWidth_ || height != windowHeight_ || mode != windowMode_) {
        if (!setVideoMode(width, height, mode != kWindowed)) {
            return; // tried again next frame
        }
    }

    if (invalidateRequest_.exchange(false, std::memory_order_acq_rel)) {
        painter_.invalidate();
    }
    const bool cleared = !painter_.valid();
    if (cleared) {
        SDL_FillRect(canvas_, nullptr, 0);
    }
    {
        SurfaceLock lock(canvas_);
        if (!lock.ok()) {
            return;
        }
        const std::uint32_t* palette = page->palette ? page->palette : defaultPalette256();
        painter_.paint(*page, palette, canvas_, offsetX_, offsetY_, frameCounter_);
    }
    if (cleared || painter_.fullRedraw()) {
        show(nullptr, 0);
        lastUpdate_ = Update::Full;
    } else if (!painter_.drawnRects().empty()) {
        show(painter_.drawnRects().data(), static_cast<int>(painter_.drawnRects().size()));
        lastUpdate_ = Update::Rects;
    }
}

Renderer& renderer() {
    static SdlVideoOutput* output = new SdlVideoOutput;
    static Renderer* instance = new Renderer(*output);
    return *instance;
}

} // namespace host
