// The terminal program's line mode (--plain), for screen readers, braille
// displays, pipes and scripts. It writes no escape sequences, ever.
//
// Each time the game begins to wait for input (a line input, the pause, end
// program's key wait) it prints the text that is new since the previous
// wait as plain UTF-8 lines with trailing blanks trimmed: after a clear of
// the screen every non-blank row, otherwise the rows whose text changed.
// Then it prints the prompt's own text (the cursor's row up to the cursor)
// without a line end, reads one line from standard input and types its
// characters and then Enter; an empty line is Enter alone, and at end
// program's key wait a line is the key. The line is written back after the
// prompt when standard input is not a terminal (a terminal echoes it
// itself), so the output of a piped script reads as a transcript. The end
// of the input ends the program like closing the window (status 0).
//
// A dialog is printed as its caption, its text and its buttons, and a line
// answers it: one that starts with Y or N for Yes or No, any line for OK.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "host/term_host.h"

namespace rt {
struct ScreenPage;
}

namespace host {

class PlainFrontend final : public TermHost {
  public:
    int startDisplaySystem() override;
    void prepareDisplay(const char*) override {}
    void runEventLoop() override;

  protected:
    DialogButton runDialog(const DialogRequest& dialog) override;

  private:
    // Prints what is new on page, then the prompt.
    void printWait(const rt::ScreenPage* page);
    // Remembers the rows as they are now (the typed line's echo is no news).
    void remember(const rt::ScreenPage* page);
    // Takes one complete line from what was read (the last line of the
    // input counts even without a line end once the input has ended).
    bool takeLine(std::string& line);
    // Sleeps until a wake-up or, when wantInput, input; false on a signal
    // that ends the program.
    bool wait(bool wantInput);
    void typeLine(const std::string& line);

    static constexpr int kRows = 25;
    std::array<std::string, kRows + 1> shown_; // 1-based, trimmed UTF-8
    std::uint64_t damage_ = 0;
    std::uint64_t printedWait_ = 0;
    std::uint64_t typedWait_ = 0;
    rt::InputWait lastWait_ = rt::InputWait::None;
    std::string input_;
    bool inputEnded_ = false;
    bool echo_ = false;
};

} // namespace host
