// The text page in a terminal, through ncursesw.
//
// Cells are drawn as their code page 437 glyphs: the Unicode characters in
// a UTF-8 locale, close ASCII shapes otherwise. The 16 text colours become
// colour pairs: the exact palette on a direct-colour terminal, the 16 ANSI
// colours where there are 16, the 8 ANSI colours with bold for the bright
// foregrounds where there are 8. Blinking cells get the blink attribute, so
// the terminal blinks them and the program needs no timer.
//
// Only what changed is sent: the page's damage names the rows to look at,
// each cell there is compared with what was last drawn, and ncurses in turn
// sends only the cells that differ from the terminal's screen. The page sits
// at the top left; a terminal smaller than the page shows a message asking
// for a larger one instead, and the page comes back when it is large enough.
//
// Main thread only: ncurses is not shared with any other thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/term_host.h"

namespace rt {
struct ScreenPage;
}

namespace host {

// The ASCII shape drawn for a code page 437 character in a locale that is
// not UTF-8.
char asciiGlyph(std::uint8_t ch);

class TermScreen {
  public:
    static constexpr int kColumns = 80;
    static constexpr int kRows = 25;

    // Starts curses on the process's terminal. False with a reason when the
    // terminal cannot be used.
    bool begin(std::string& error);
    // Restores the terminal (idempotent).
    void end();
    bool active() const { return active_; }
    // After a suspend: the whole screen is sent again at the next draw.
    void suspend();
    void resume();

    // The terminal may have changed its size: follow it, and with repaint
    // (or a new size) send the whole screen again at the next draw.
    void resize(bool repaint = false);
    bool tooSmall() const;

    // Draws the rows of page that damage names (all of them after
    // invalidate) and places the cursor; then sends it (unless a dialog is
    // to be drawn over it first).
    void drawPage(const rt::ScreenPage* page, std::uint64_t damage, bool send = true);
    void invalidate() { valid_ = false; }

    // A dialog over the page; focus is the highlighted button.
    void drawDialog(const DialogRequest& dialog, int focus);

  private:
    void putCell(int row, int column, std::uint16_t cell);
    void drawTooSmall();
    int pairFor(int foreground, int background) const;
    void putText(int row, int column, const std::string& text, int pair, bool bold);

    bool active_ = false;
    bool utf8_ = false;
    int colourMode_ = 0; // 0 none, 8, 16, 24 (direct colour)
    bool valid_ = false;
    bool messageShown_ = false;
    std::vector<std::uint16_t> sent_ = std::vector<std::uint16_t>(kColumns * kRows, 0);
};

} // namespace host
