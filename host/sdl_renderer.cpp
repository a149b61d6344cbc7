// The display renderer: one frame of the display page per call.
//
// Renderer::frame() runs the frame in this order: count the frame and grant
// a display hold that was asked for; find the page and its pixel size; search the
// full-screen modes and apply one pending Alt+Enter; set the video mode when
// the window size or the full-screen mode changed; clear the window when the
// frame is not valid; let the TextPainter repaint the cells that changed;
// hand the changed rectangles (or the whole window) to the window system;
// grant a hold again and complete a one-frame display request.
//
// TextPainter keeps the cells it drew last, the palette, the cursor place and
// the cursor and blink phases. A cell is skipped when the frame is valid, it
// equals what was drawn, and neither a blink-phase flip (blinking cells), a
// cursor-phase flip (the cursor cell) nor a cursor move (the old and the new
// cursor cell) concerns it. Those exceptions are marked in the copy of the
// drawn cells before the scan, so the scan of a quiet frame is one compare
// per cell. Glyphs are drawn a whole pixel row at a time, as vector masks,
// straight into the 32-bit surface.
#include "host/sdl_renderer.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <thread>

#if defined(__x86_64__) || defined(__SSE2__)
#include <immintrin.h>
#endif

#include "host/fonts.h"
#include "host/palette.h"
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

// One glyph, 8 glyph pixels per row (16 surface pixels at double width):
// each pixel is the background, or the foreground where the glyph byte is
// non-zero. The pixel is chosen with a mask, fg ^ ((fg ^ bg) & clear), where
// clear is all ones for a zero glyph byte, so that a glyph row takes a few
// vector instructions; the widest the processor offers is picked once.
using GlyphDrawer = void (*)(SDL_Surface* s, int x, int y, const FontShape& font,
                             std::uint8_t character, std::uint32_t foreground,
                             std::uint32_t background);

inline const std::uint8_t* glyphRows(const FontShape& font, std::uint8_t character) {
    return font.glyphs + static_cast<std::size_t>(character) * font.glyphBytes + font.firstRow * 8;
}

inline std::uint8_t* cellOrigin(SDL_Surface* s, int x, int y) {
    return static_cast<std::uint8_t*>(s->pixels) + static_cast<std::ptrdiff_t>(y) * s->pitch +
           static_cast<std::ptrdiff_t>(x) * 4;
}

void drawGlyphPlain(SDL_Surface* s, int x, int y, const FontShape& font, std::uint8_t character,
                    std::uint32_t foreground, std::uint32_t background) {
    const std::uint8_t* glyph = glyphRows(font, character);
    const std::uint32_t diff = foreground ^ background;
    std::uint8_t* line = cellOrigin(s, x, y);
    for (int row = 0; row < font.cellHeight; ++row, glyph += 8, line += s->pitch) {
        auto* out = reinterpret_cast<std::uint32_t*>(line);
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t clear = 0u - static_cast<std::uint32_t>(glyph[i] == 0);
            const std::uint32_t c = foreground ^ (diff & clear);
            if (font.doubleWidth) {
                out[2 * i] = c;
                out[2 * i + 1] = c;
            } else {
                out[i] = c;
            }
        }
    }
}

#if defined(__SSE2__)
void drawGlyphSse2(SDL_Surface* s, int x, int y, const FontShape& font, std::uint8_t character,
                   std::uint32_t foreground, std::uint32_t background) {
    const std::uint8_t* glyph = glyphRows(font, character);
    const __m128i zero = _mm_setzero_si128();
    const __m128i fg = _mm_set1_epi32(static_cast<int>(foreground));
    const __m128i diff = _mm_set1_epi32(static_cast<int>(foreground ^ background));
    std::uint8_t* line = cellOrigin(s, x, y);
    for (int row = 0; row < font.cellHeight; ++row, glyph += 8, line += s->pitch) {
        auto* out = reinterpret_cast<__m128i*>(line);
        const __m128i clear8 =
            _mm_cmpeq_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(glyph)), zero);
        const __m128i clear16 = _mm_unpacklo_epi8(clear8, clear8);
        const __m128i left =
            _mm_xor_si128(fg, _mm_and_si128(diff, _mm_unpacklo_epi16(clear16, clear16)));
        const __m128i right =
            _mm_xor_si128(fg, _mm_and_si128(diff, _mm_unpackhi_epi16(clear16, clear16)));
        if (font.doubleWidth) {
            _mm_storeu_si128(out, _mm_unpacklo_epi32(left, left));
            _mm_storeu_si128(out + 1, _mm_unpackhi_epi32(left, left));
            _mm_storeu_si128(out + 2, _mm_unpacklo_epi32(right, right));
            _mm_storeu_si128(out + 3, _mm_unpackhi_epi32(right, right));
        } else {
            _mm_storeu_si128(out, left);
            _mm_storeu_si128(out + 1, right);
        }
    }
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define GLIMMER_HAVE_AVX2_GLYPHS 1
// Two glyph rows per step: one 16-byte load and compare, then each row's
// 8 masks sign-extended to 32 bits in one instruction.
template <int Rows, bool DoubleWidth>
__attribute__((target("avx2"))) void glyphRowsAvx2(std::uint8_t* line, int pitch,
                                                   const std::uint8_t* glyph,
                                                   std::uint32_t foreground, std::uint32_t diff) {
    const __m128i zero = _mm_setzero_si128();
    const __m256i fg = _mm256_set1_epi32(static_cast<int>(foreground));
    const __m256i dv = _mm256_set1_epi32(static_cast<int>(diff));
    for (int row = 0; row < Rows; row += 2, glyph += 16, line += 2 * pitch) {
        const __m128i both =
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(glyph)), zero);
        for (int half = 0; half < 2; ++half) {
            const __m128i clear = half ? _mm_srli_si128(both, 8) : both;
            auto* out = reinterpret_cast<__m256i*>(line + half * pitch);
            if constexpr (DoubleWidth) {
                const __m128i twice = _mm_unpacklo_epi8(clear, clear);
                const __m256i a = _mm256_cvtepi8_epi32(twice);
                const __m256i b = _mm256_cvtepi8_epi32(_mm_srli_si128(twice, 8));
                _mm256_storeu_si256(out, _mm256_xor_si256(fg, _mm256_and_si256(dv, a)));
                _mm256_storeu_si256(out + 1, _mm256_xor_si256(fg, _mm256_and_si256(dv, b)));
            } else {
                const __m256i a = _mm256_cvtepi8_epi32(clear);
                _mm256_storeu_si256(out, _mm256_xor_si256(fg, _mm256_and_si256(dv, a)));
            }
        }
    }
}

void drawGlyphAvx2(SDL_Surface* s, int x, int y, const FontShape& font, std::uint8_t character,
                   std::uint32_t foreground, std::uint32_t background) {
    const std::uint8_t* glyph = glyphRows(font, character);
    const std::uint32_t diff = foreground ^ background;
    std::uint8_t* line = cellOrigin(s, x, y);
    const int pitch = s->pitch;
    switch (font.cellHeight * 2 + (font.doubleWidth ? 1 : 0)) {
    case 32:
        return glyphRowsAvx2<16, false>(line, pitch, glyph, foreground, diff);
    case 33:
        return glyphRowsAvx2<16, true>(line, pitch, glyph, foreground, diff);
    case 28:
        return glyphRowsAvx2<14, false>(line, pitch, glyph, foreground, diff);
    case 29:
        return glyphRowsAvx2<14, true>(line, pitch, glyph, foreground, diff);
    case 16:
        return glyphRowsAvx2<8, false>(line, pitch, glyph, foreground, diff);
    case 17:
        return glyphRowsAvx2<8, true>(line, pitch, glyph, foreground, diff);
    default:
        return drawGlyphSse2(s, x, y, font, character, foreground, background);
    }
}
#endif

GlyphDrawer glyphDrawer(GlyphPath path) {
    switch (path) {
    case GlyphPath::Plain:
        return drawGlyphPlain;
    case GlyphPath::Sse2:
#if defined(__SSE2__)
        return drawGlyphSse2;
#else
        return nullptr;
#endif
    case GlyphPath::Avx2:
#if defined(GLIMMER_HAVE_AVX2_GLYPHS)
        return __builtin_cpu_supports("avx2") ? drawGlyphAvx2 : nullptr;
#else
        return nullptr;
#endif
    }
    return nullptr;
}

GlyphDrawer bestGlyphDrawer() {
    for (GlyphPath path : {GlyphPath::Avx2, GlyphPath::Sse2}) {
        if (GlyphDrawer d = glyphDrawer(path)) {
            return d;
        }
    }
    return drawGlyphPlain;
}

GlyphDrawer drawGlyph = bestGlyphDrawer();

// The first cell from column c on that differs from what was drawn (or is
// marked for redrawing); n when there is none. The quiet frame is mostly
// this loop, so it stays apart from the drawing.
int firstChanged(const std::atomic<std::uint16_t>* source, const std::uint32_t* previous, int c,
                 int n) {
    // Eight cells per test while nothing differs.
    auto differs = [source, previous](int i) {
        return source[i].load(std::memory_order_relaxed) ^ previous[i];
    };
    for (; c + 8 <= n; c += 8) {
        if ((differs(c) | differs(c + 1) | differs(c + 2) | differs(c + 3) | differs(c + 4) |
             differs(c + 5) | differs(c + 6) | differs(c + 7)) != 0) {
            break;
        }
    }
    while (c < n && source[c].load(std::memory_order_relaxed) == previous[c]) {
        ++c;
    }
    return c;
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

bool useGlyphPath(GlyphPath path) {
    if (GlyphDrawer d = glyphDrawer(path)) {
        drawGlyph = d;
        return true;
    }
    return false;
}

void useBestGlyphPath() {
    drawGlyph = bestGlyphDrawer();
}

// ---- TextPainter -------------------------------------------------------

void TextPainter::resize(int columns, int rows) {
    columns_ = columns;
    rows_ = rows;
    const std::size_t cells = static_cast<std::size_t>(columns) * rows;
    previous_.assign(cells, kRedraw);
    blinkingCells_ = 0;
    // A row holds at most one run per two cells (runs are separated by at
    // least one skipped cell), so the list never grows during a paint.
    rects_.clear();
    rects_.reserve(static_cast<std::size_t>(rows) * (columns / 2 + 1));
    valid_ = false;
}

void TextPainter::paint(const rt::ScreenPage& page, const std::uint32_t* palette,
                        SDL_Surface* surface, int offsetX, int offsetY, std::uint32_t frameCounter,
                        std::uint64_t damage) {
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
    // Only a report of everything (a new page, a palette change) can have
    // changed the palette, so a quiet frame never compares it.
    bool full = !valid_;
    if (full || ((damage & rt::ScreenPage::kDamageAll) != 0 &&
                 std::memcmp(palette, palette_.data(), sizeof palette_) != 0)) {
        std::memcpy(palette_.data(), palette, sizeof palette_);
        full = true;
    }

    int cursorColumn = page.column() - 1;
    int cursorRow = page.row() - 1;
    if (page.pendingWrap.load(std::memory_order_relaxed) == 2 && cursorRow < rows - 1) {
        cursorColumn = 0;
        cursorRow += 1;
    }
    const int cursorPhase = static_cast<int>((frameCounter >> 2) & 1);
    const int blinkPhase = static_cast<int>((frameCounter >> 3) & 1);
    const bool moved = cursorColumn != cursorColumn_ || cursorRow != cursorRow_;
    const bool blinkFlip = blinkPhase != blinkPhase_ && blinkingCells_ > 0;
    // The cursor cell is drawn again only when the cursor appears, vanishes
    // or moves while shown: a hidden cursor's phase flips cost nothing.
    const bool showCursor = page.cursorVisible.load(std::memory_order_relaxed) != 0 && cursorPhase;
    const bool eraseOld = cursorShown_ && (moved || !showCursor);
    const bool drawNew = showCursor && (moved || !cursorShown_);

    // The rows to look at: those reported damaged, the old and the new
    // cursor row when the cursor moved or its phase flipped, every row when
    // the blink phase flipped. Nothing else can differ from what was drawn,
    // so a quiet frame ends here.
    std::uint64_t scan = damage & rt::ScreenPage::kDamageRowBits;
    if (full || blinkFlip || (damage & rt::ScreenPage::kDamageAll) != 0) {
        scan = rt::ScreenPage::kDamageRowBits;
    }
    if (drawNew) scan |= rt::ScreenPage::rowDamage(cursorRow + 1);
    if (eraseOld) scan |= rt::ScreenPage::rowDamage(cursorRow_ + 1);
    if (scan == 0) {
        blinkPhase_ = blinkPhase;
        return;
    }
    const FontShape font = fontShape(page.font);
    const int cw = font.cellWidth;
    const int ch = font.cellHeight;

    std::uint32_t colours[16];
    for (int i = 0; i < 16; ++i) {
        colours[i] = palette_[static_cast<std::size_t>(i)] & 0x00FFFFFF;
    }
    const CursorRows shape = cursorRows(page.cursorFirstLine.load(std::memory_order_relaxed),
                                        page.cursorLastLine.load(std::memory_order_relaxed), ch);
    auto cellIndex = [columns, rows](int column, int row) {
        return column >= 0 && column < columns && row >= 0 && row < rows ? row * columns + column
                                                                         : -1;
    };
    const int cursorIndex = cellIndex(cursorColumn, cursorRow);

    // Mark the cells that must be drawn even if they did not change: all of
    // them on a full redraw; else the blinking ones when the blink phase
    // flipped, the cell that loses the cursor and the cell that gains it.
    if (full) {
        std::fill(previous_.begin(), previous_.end(), kRedraw);
        blinkingCells_ = 0;
    } else {
        if (blinkFlip) {
            for (std::uint32_t& cell : previous_) {
                if (cell & 0x8000) {
                    cell |= kRedraw;
                }
            }
        }
        if (cursorIndex >= 0 && drawNew) {
            previous_[static_cast<std::size_t>(cursorIndex)] |= kRedraw;
        }
        const int oldIndex = cellIndex(cursorColumn_, cursorRow_);
        if (oldIndex >= 0 && eraseOld) {
            previous_[static_cast<std::size_t>(oldIndex)] |= kRedraw;
        }
    }

    // Only cells wholly inside the surface are drawn.
    const int visibleColumns = std::min(columns, (surface->w - offsetX) / cw);
    const int visibleRows = std::min(rows, (surface->h - offsetY) / ch);

    for (int r = 0; r < visibleRows; ++r) {
        if ((scan & rt::ScreenPage::rowDamage(r + 1)) == 0) {
            continue;
        }
        const std::size_t rowStart = static_cast<std::size_t>(r) * columns;
        const std::atomic<std::uint16_t>* source = page.cells + rowStart;
        std::uint32_t* previous = previous_.data() + rowStart;
        const int y = offsetY + r * ch;
        int c = firstChanged(source, previous, 0, visibleColumns);
        while (c < visibleColumns) {
            // A run of cells to draw.
            std::uint16_t cell = source[c].load(std::memory_order_relaxed);
            const int runStart = c;
            do {
                blinkingCells_ += (cell >> 15) - static_cast<int>((previous[c] >> 15) & 1);
                previous[c] = cell;
                const std::uint8_t attribute = rt::cellAttribute(cell);
                int foreground = attribute & 15;
                const int background = (attribute >> 4) & 7;
                if ((attribute & 0x80) && blinkPhase) {
                    foreground = background;
                }
                const int x = offsetX + c * cw;
                drawGlyph(surface, x, y, font, rt::cellCharacter(cell), colours[foreground],
                          colours[background]);
                if (showCursor && static_cast<int>(rowStart) + c == cursorIndex) {
                    const std::uint32_t colour = colours[attribute & 15];
                    for (int row = shape.first; row <= shape.last; ++row) {
                        std::fill_n(pixelRow(surface, x, y + row), cw, colour);
                    }
                }
                ++cellsDrawn_;
                if (++c >= visibleColumns) {
                    break;
                }
                cell = source[c].load(std::memory_order_relaxed);
            } while (cell != previous[c]);
            rects_.push_back({static_cast<Sint16>(offsetX + runStart * cw), static_cast<Sint16>(y),
                              static_cast<Uint16>((c - runStart) * cw), static_cast<Uint16>(ch)});
            c = firstChanged(source, previous, c, visibleColumns);
        }
    }

    cursorShown_ = showCursor;
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
    direct_.detach();
    SDL_Surface* surface = SDL_SetVideoMode(width, height, 32, fullScreen ? SDL_FULLSCREEN : 0);
    // The new mode starts as a cleared window, the same in both copies.
    sdl12Behind_ = false;
    if (surface != nullptr) direct_.attach(surface, fullScreen);
    return surface;
}

void SdlVideoOutput::update(SDL_Surface* surface, const SDL_Rect* rects, int count) {
    if (count > 0 && surface == SDL_GetVideoSurface() && direct_.show(surface, rects, count)) {
        sdl12Behind_ = true;
        return;
    }
    // SDL 1.2 shows an update of part of the window from its own copy,
    // which after a direct update is not up to date outside the part.
    if (count == 0 || presentAtOnce_ || sdl12Behind_) {
        SDL_UpdateRect(surface, 0, 0, 0, 0);
        sdl12Behind_ = false;
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
    choiceWidth_ = -1; // search again
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

void Renderer::runFrame(const rt::ScreenPage* page, bool useDisplayPage) {
    frameCounter_ = frameClock_ != nullptr ? frameClock_() : frameCounter_ + 1;
    lastUpdate_ = Update::None;
    // A layout change asked to hold the display: grant it and give the game
    // thread the processor; draw only while no hold is in force.
    if (rt::answerDisplayHold()) output_.yield();
    if (rt::displayHold() == rt::DisplayHold::Idle) {
        if (useDisplayPage) {
            page = rt::displayPage();
        }
        drawPage(page);
    }
    if (rt::answerDisplayHold()) output_.yield();
    rt::frameShown();
}

void Renderer::drawPage(const rt::ScreenPage* page) {
    // Graphics pages are outside what this renderer draws.
    if (!page || !page->textPage || !page->cells || page->width == 0 || page->height == 0) {
        return;
    }
    const FontShape font = fontShape(page->font);
    const int requiredWidth = page->width * font.cellWidth;
    const int requiredHeight = page->height * font.cellHeight;

    // The mode search depends only on the page's pixel size: search again
    // only when that changes (or the mode list does).
    if (requiredWidth != choiceWidth_ || requiredHeight != choiceHeight_) {
        choice_ = chooseFullScreenModes(modes_, requiredWidth, requiredHeight);
        choiceWidth_ = requiredWidth;
        choiceHeight_ = requiredHeight;
    }
    const ModeChoice choice = choice_;
    int mode = fullScreenMode_;
    if (takeFullScreenToggle()) {
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

    if (invalidateRequest_.load(std::memory_order_acquire) &&
        invalidateRequest_.exchange(false, std::memory_order_acq_rel)) {
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
        painter_.paint(*page, palette, canvas_, offsetX_, offsetY_, frameCounter_,
                       page->takeDamage());
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
