// The print engine: print, make fit, print zones, colours and clear screen.
//
// Everything here works on the write page of the page table. Printing walks
// the piece one byte at a time: control codes move the cursor (or clear the
// screen, beep, tab, end the line), every other byte is written into the cell
// at the cursor in the current attribute. Writing the last column of a row
// either breaks the line at once (more text follows, or a line end was asked
// for) or leaves the cursor on that column with the pending-wrap flag set, so
// that a piece which exactly fills a row does not leave an empty row behind.
// The break happens when the next non-empty piece arrives, or once for a
// bare line end.
//
// A line break below the bottom of the print area scrolls the print area up
// by one row; the row below it (row 25, where end program writes) never
// scrolls and is only reached by clear screen.
//
// The renderer reads the display page on the main thread while this code
// writes it, so every cell and cursor store is a relaxed atomic store (see
// screen.h). The colours, the print area and the page size are only touched
// on the game thread.
#include "runtime/screen.h"

#include <algorithm>
#include <cstdint>

#include "runtime/errors.h"
#include "runtime/pages.h"
#include "runtime/port.h"

namespace rt {
namespace {

constexpr std::uint8_t kCursorRight = 28;
constexpr std::uint8_t kCursorLeft = 29;
constexpr std::uint8_t kCursorUp = 30;
constexpr std::uint8_t kCursorDown = 31;
constexpr std::uint8_t kFormFeed = 12;
constexpr std::uint8_t kHome = 11;
constexpr std::uint8_t kTab = 9;
constexpr std::uint8_t kBell = 7;
constexpr std::uint8_t kLineFeed = 10;
constexpr std::uint8_t kReturn = 13;

constexpr double kBeepFrequency = 783.99;
constexpr double kBeepLength = 0.2;

std::atomic<bool> controlCodesAsGlyphs{false};

void pauseForBeep(double, double) {
    port().sleep(250, Wait::Plain);
}

std::atomic<BeepHandler> beepHandler{&pauseForBeep};

constexpr auto relaxed = std::memory_order_relaxed;

// The print area clamped to the page, so a damaged record can never make a
// scroll or a clear reach outside the cells.
struct Area {
    int top;
    int bottom;
};
Area printArea(const ScreenPage& p) {
    int bottom = std::clamp<int>(p.printBottom, 1, std::max<int>(p.height, 1));
    int top = std::clamp<int>(p.printTop, 1, bottom);
    return {top, bottom};
}

bool hasCells(const ScreenPage& p) {
    return p.cells != nullptr && p.textPage != 0 && p.width > 0 && p.height > 0;
}

void fillRow(ScreenPage& p, int row, std::uint16_t value) {
    for (int column = 1; column <= p.width; ++column)
        p.setCell(row, column, value);
}

void scrollPrintArea(ScreenPage& p) {
    Area a = printArea(p);
    for (int row = a.top; row < a.bottom; ++row) {
        for (int column = 1; column <= p.width; ++column) {
            p.setCell(row, column, p.cell(row + 1, column));
        }
    }
    fillRow(p, a.bottom, blankCell(p));
}

void newLineOn(ScreenPage& p) {
    int row = p.row() + 1;
    p.cursorColumn.store(1, relaxed);
    Area a = printArea(p);
    if (row <= a.bottom) {
        p.cursorRow.store(static_cast<std::int16_t>(row), relaxed);
        p.markCursor();
        return;
    }
    scrollPrintArea(p);
    p.cursorRow.store(static_cast<std::int16_t>(a.bottom), relaxed);
    p.markCursor();
}

// Clear screen without arguments; fill is the attribute of the blank cell.
void clearOn(ScreenPage& p, std::uint16_t fill) {
    Area a = printArea(p);
    p.cursorRow.store(static_cast<std::int16_t>(a.top), relaxed);
    p.cursorColumn.store(1, relaxed);
    for (int row = a.top; row <= a.bottom; ++row)
        fillRow(p, row, fill);
    fillRow(p, p.height, fill);
    p.markDamage(ScreenPage::kDamageCleared | ScreenPage::kDamageCursor);
    // The pending-wrap flag is left as it was on purpose: a piece printed
    // right after the clear still starts with its deferred line break.
}

// Writes one character at the cursor and advances it. Returns true when the
// character broke the line (the just-wrapped case).
bool putCharacter(ScreenPage& p, std::uint8_t c, bool last, bool lineEnd) {
    int row = p.row();
    int column = p.column();
    if (row >= 1 && row <= p.height && column >= 1 && column <= p.width) {
        p.setCell(row, column, makeCell(c, currentAttribute(p)));
    }
    ++column;
    if (column <= p.width) {
        p.cursorColumn.store(static_cast<std::int16_t>(column), relaxed);
        return false;
    }
    if (lineEnd || !last) {
        newLineOn(p);
        return true;
    }
    p.cursorColumn.store(static_cast<std::int16_t>(p.width), relaxed);
    p.pendingWrap.store(1, relaxed);
    return false;
}

void printOn(ScreenPage& p, const char* text, std::int64_t n, bool lineEnd) {
    if (p.pendingWrap.load(relaxed) != 0) {
        if (n > 0) {
            p.pendingWrap.store(0, relaxed);
            newLineOn(p);
        } else if (lineEnd) {
            p.pendingWrap.store(0, relaxed);
        }
    }
    const bool glyphs = controlCodesAsGlyphs.load(relaxed);
    bool justWrapped = false;
    for (std::int64_t i = 0; i < n; ++i) {
        justWrapped = false;
        const auto c = static_cast<std::uint8_t>(text[i]);
        const bool last = i == n - 1;
        if (glyphs) {
            justWrapped = putCharacter(p, c, last, lineEnd);
            continue;
        }
        const Area a = printArea(p);
        const int row = p.row();
        const int column = p.column();
        switch (c) {
        case kCursorRight:
            if (row < a.bottom || column < p.width) {
                if (column + 1 > p.width) {
                    p.cursorColumn.store(1, relaxed);
                    p.cursorRow.store(static_cast<std::int16_t>(row + 1), relaxed);
                } else {
                    p.cursorColumn.store(static_cast<std::int16_t>(column + 1), relaxed);
                }
            }
            break;
        case kCursorLeft:
            if ((row != a.top && row <= a.bottom) || column != 1) {
                if (column - 1 < 1) {
                    p.cursorColumn.store(static_cast<std::int16_t>(p.width), relaxed);
                    p.cursorRow.store(static_cast<std::int16_t>(row - 1), relaxed);
                } else {
                    p.cursorColumn.store(static_cast<std::int16_t>(column - 1), relaxed);
                }
            }
            break;
        case kCursorUp:
            if (a.top < row && row <= a.bottom) {
                p.cursorRow.store(static_cast<std::int16_t>(row - 1), relaxed);
            }
            break;
        case kCursorDown:
            if (a.top <= row && row < a.bottom) {
                p.cursorRow.store(static_cast<std::int16_t>(row + 1), relaxed);
            }
            break;
        case kFormFeed:
            clearOn(p, blankCell(p));
            break;
        case kHome:
            p.cursorRow.store(static_cast<std::int16_t>(a.top), relaxed);
            p.cursorColumn.store(1, relaxed);
            break;
        case kTab:
            // Spaces up to the next column of the form 8k + 1. The loop also
            // ends at the end of a row, so a page whose width is not a
            // multiple of 8 cannot keep rewriting its last column.
            for (;;) {
                const int before = p.column();
                justWrapped = putCharacter(p, ' ', last, lineEnd);
                if (before % 8 == 0 || justWrapped || p.pendingWrap.load(relaxed) != 0) break;
            }
            break;
        case kBell:
            beepHandler.load(relaxed)(kBeepFrequency, kBeepLength);
            break;
        case kLineFeed:
        case kReturn:
            newLineOn(p);
            break;
        default:
            justWrapped = putCharacter(p, c, last, lineEnd);
            break;
        }
    }
    if (lineEnd && !justWrapped) newLineOn(p);
    p.markCursor();
}

ScreenPage* textWritePage() {
    ScreenPage* p = writePage();
    return p != nullptr && hasCells(*p) ? p : nullptr;
}

} // namespace

std::uint8_t currentAttribute(const ScreenPage& page) {
    const std::int32_t fg = page.foreground;
    const std::int32_t bg = page.background;
    return static_cast<std::uint8_t>((fg & 15) | ((bg & 7) << 4) | ((fg & 16) != 0 ? 0x80 : 0));
}

std::uint16_t blankCell(const ScreenPage& page) {
    return makeCell(32, currentAttribute(page));
}

void print(RuntimeString* s, int lineEnd) {
    if (errorPending() != 0) return;
    ScreenPage* p = textWritePage();
    if (p == nullptr) return;
    const char* text = s != nullptr ? s->text : nullptr;
    const std::int64_t n = s != nullptr && s->length > 0 ? s->length : 0;
    printOn(*p, text, n, lineEnd != 0);
}

void makeFit(RuntimeString* s) {
    ScreenPage* p = textWritePage();
    if (p == nullptr) return;
    if (p->pendingWrap.load(relaxed) != 0) return;
    const std::int64_t column = p->column();
    if (column == 1) return;
    const std::int64_t n = s != nullptr && s->length > 0 ? s->length : 0;
    if (column + n - 1 > p->width) newLineOn(*p);
}

void nextPrintZone() {
    ScreenPage* p = textWritePage();
    if (p == nullptr) return;
    if (p->pendingWrap.load(relaxed) != 0) {
        newLineOn(*p);
        p->pendingWrap.store(0, relaxed);
        return;
    }
    // The spaces are written directly rather than through print, which does
    // nothing while an error is pending: the loop must move the cursor every
    // turn to end.
    const int w = p->width;
    for (;;) {
        printOn(*p, " ", 1, false);
        const int column = p->column();
        if (column == 1) break;
        if ((column - 1) % 14 == 0 && column <= w - 13) break;
        if (column >= w) break;
    }
}

void setTextColour(std::int32_t foreground, std::int32_t background, std::int32_t border,
                   std::uint32_t mask) {
    (void)border; // accepted and ignored in text mode
    if (errorPending() != 0) return;
    ScreenPage* p = writePage();
    if (p == nullptr) return;
    const bool fgGiven = (mask & 1u) != 0;
    const bool bgGiven = (mask & 2u) != 0;
    // Negative values are out of range as well: they would otherwise build
    // an attribute from the sign bits.
    if ((fgGiven && (foreground < 0 || foreground > 31)) ||
        (bgGiven && (background < 0 || background > 15))) {
        raiseError(5);
        return;
    }
    if (fgGiven) p->foreground = foreground;
    if (bgGiven) p->background = background % 8;
}

void clearScreen(std::int32_t method, std::int32_t colour, std::uint32_t mask) {
    if (errorPending() != 0) return;
    ScreenPage* p = textWritePage();
    if (p == nullptr) return;
    const bool methodGiven = (mask & 1u) != 0;
    const bool colourGiven = (mask & 2u) != 0;
    // Methods: 0 the whole screen, 1 the graphics viewport (a text page has
    // none, so the whole screen), 2 the print area only. A text page's
    // colours are 0..15.
    if ((methodGiven && (method < 0 || method > 2)) ||
        (colourGiven && (colour < 0 || colour > 15))) {
        raiseError(5);
        return;
    }
    std::uint16_t fill = blankCell(*p);
    if (colourGiven) {
        const auto attribute =
            static_cast<std::uint8_t>((cellAttribute(fill) & 0x8F) | ((colour & 7) << 4));
        fill = makeCell(32, attribute);
    }
    if (!methodGiven || method != 2) {
        clearOn(*p, fill);
        return;
    }
    Area a = printArea(*p);
    p->cursorRow.store(static_cast<std::int16_t>(a.top), relaxed);
    p->cursorColumn.store(1, relaxed);
    for (int row = a.top; row <= a.bottom; ++row)
        fillRow(*p, row, fill);
    p->markCursor();
}

void newLine() {
    ScreenPage* p = textWritePage();
    if (p != nullptr) newLineOn(*p);
}

void setPrintControlCodesAsGlyphs(bool on) {
    controlCodesAsGlyphs.store(on, relaxed);
}

void setBeepHandler(BeepHandler handler) {
    beepHandler.store(handler != nullptr ? handler : &pauseForBeep, relaxed);
}

} // namespace rt
