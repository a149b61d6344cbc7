// The text screen and the print engine.
//
// A ScreenPage is an 80 x 25 grid of two-byte cells (character, attribute)
// with its colours, a 1-based cursor, a print area (rows 1..24 for the game,
// so row 25 never scrolls) and a pending-wrap flag: writing the last column
// of a row defers the line break until more text follows. Output goes to the
// write page of the page table (pages.h); the host's renderer reads the
// display page on another thread, so the cells and the cursor fields it reads
// are relaxed atomics: a frame may show a half-printed row, the next one
// corrects it, and there is no data race.
//
// Every writer to a page also records what it damaged in the page's damage
// word (see below), so that a host can redraw only what changed and sleep
// while nothing does.
//
// Attribute bits: 0-3 foreground, 4-6 background, 7 blink (foreground 16..31).
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/port.h"
#include "runtime/strings.h"

namespace rt {

// The 16 text colours 0..15 as 0xRRGGBB, the start of every page's palette.
inline constexpr std::uint32_t kTextColours[16] = {
    0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
    0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
};

struct ScreenPage {
    std::uint8_t inUse = 0;
    std::uint8_t textPage = 0;
    std::uint8_t consolePage = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t bytesPerCell = 0;
    std::uint16_t mode = 0;
    std::int32_t foreground = 7;
    std::int32_t background = 0;
    std::int32_t font = 16;
    std::int16_t printTop = 1;
    std::int16_t printBottom = 24;
    std::atomic<std::int16_t> cursorColumn{1};
    std::atomic<std::int16_t> cursorRow{1};
    std::atomic<std::uint8_t> cursorVisible{0};
    std::atomic<std::uint8_t> cursorFirstLine{4};
    std::atomic<std::uint8_t> cursorLastLine{4};
    // width x height cells, row by row: character in the low byte, attribute
    // in the high byte.
    std::atomic<std::uint16_t>* cells = nullptr;
    std::atomic<std::uint8_t> pendingWrap{0};
    std::uint32_t ownership = 0;      // bit 0 palette, bit 1 screen page, bit 2 cells
    std::uint32_t* palette = nullptr; // 256 entries 0xAARRGGBB when owned

    // The change report: what was written since the host last took it. Bit
    // r - 1 for a cell written on row r (rows past kDamageRows share the last
    // row bit), plus the flags below. Writers merge with fetch_or (release,
    // after the cells), the host takes it with takeDamage (acquire), so the
    // cells of every row it reports are at least as new as the report. The
    // first damage after a take advances the change count (port.h), which
    // wakes a sleeping host; further writes before the next take cost only
    // the fetch_or.
    static constexpr int kDamageRows = 60;
    static constexpr std::uint64_t kDamageRowBits = (std::uint64_t{1} << kDamageRows) - 1;
    static constexpr std::uint64_t kDamageCursor = std::uint64_t{1} << 60;  // cursor moved or shown
    static constexpr std::uint64_t kDamageCleared = std::uint64_t{1} << 61; // clear screen
    static constexpr std::uint64_t kDamageAll = std::uint64_t{1} << 62;     // palette, layout
    mutable std::atomic<std::uint64_t> damage{kDamageAll}; // hosts take it from const views

    static constexpr std::uint64_t rowDamage(int row) { // 1-based
        return std::uint64_t{1} << (row < 1 ? 0 : row > kDamageRows ? kDamageRows - 1 : row - 1);
    }
    void markDamage(std::uint64_t bits) {
        if (damage.fetch_or(bits, std::memory_order_release) == 0) noteChange();
    }
    void markCursor() { markDamage(kDamageCursor); }
    std::uint64_t takeDamage() const { return damage.exchange(0, std::memory_order_acq_rel); }

    std::uint16_t cell(int row, int column) const { // 1-based
        return cells[(row - 1) * width + (column - 1)].load(std::memory_order_relaxed);
    }
    void setCell(int row, int column, std::uint16_t value) {
        cells[(row - 1) * width + (column - 1)].store(value, std::memory_order_relaxed);
        markDamage(rowDamage(row));
    }
    std::int16_t column() const { return cursorColumn.load(std::memory_order_relaxed); }
    std::int16_t row() const { return cursorRow.load(std::memory_order_relaxed); }
};

inline std::uint16_t makeCell(std::uint8_t character, std::uint8_t attribute) {
    return static_cast<std::uint16_t>(character | (attribute << 8));
}
inline std::uint8_t cellCharacter(std::uint16_t c) {
    return static_cast<std::uint8_t>(c & 0xFF);
}
inline std::uint8_t cellAttribute(std::uint16_t c) {
    return static_cast<std::uint8_t>(c >> 8);
}

// The attribute built from a page's current colours: foreground 0..15,
// background modulo 8, blink when the foreground is 16..31.
std::uint8_t currentAttribute(const ScreenPage& page);

// Print s on the write page; with lineEnd set, then a line end.
void print(RuntimeString* s, int lineEnd);
// Starts a new line first when s would not fit on the rest of the row.
void makeFit(RuntimeString* s);
// The comma separator: on to the next 14-column zone.
void nextPrintZone();
// mask: bit 0 foreground given, bit 1 background, bit 2 border.
void setTextColour(std::int32_t foreground, std::int32_t background, std::int32_t border,
                   std::uint32_t mask);
// mask: bit 0 method given, bit 1 colour given. The game passes neither.
void clearScreen(std::int32_t method, std::int32_t colour, std::uint32_t mask);
// The line end of print (also used by line input).
void newLine();

// When on, every code is printed as a glyph (off throughout the game).
void setPrintControlCodesAsGlyphs(bool on);

// The short tone of character 7 (783.99 Hz, length value 0.2). The handler
// does the whole beep, tone and 250 ms pause; the host installs one that
// plays the tone. The default only pauses 250 ms through the port, and null
// restores it. Called on the game thread.
using BeepHandler = void (*)(double frequency, double length);
void setBeepHandler(BeepHandler handler);

// The blank cell of a page: a space in the page's current colours.
std::uint16_t blankCell(const ScreenPage& page);

} // namespace rt
