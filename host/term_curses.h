// The terminal program's full-screen front end, through ncursesw.
//
// The main thread sleeps in poll() on the terminal and the self-pipe
// (term_host.h). Every turn it answers the display requests, draws the rows
// of the display page that changed (term_screen.h) and hands typed keys to
// the keyboard model. Keys come from the terminal's key sequences through
// terminfo (keypad mode): arrows, Home/End, PgUp/PgDn, Insert/Delete and
// F1..F12 (F13..F24, which terminals send for Shift+F1..F12, as Shift plus
// the key); a character after Escape within a short delay is Alt plus that
// character; a lone Escape is Escape. Ctrl+C is Break, Ctrl+Z suspends (the
// screen is sent again on resume). Alt+Enter does nothing: full screen is
// the terminal's business. While the terminal is too small for the page the
// typed keys are dropped, so the game waits where it is.
//
// A dialog is drawn over the page with its caption, text and buttons, and
// answered with Y, N, Enter or Space for the highlighted button, Escape for
// No where there is one, Tab and the arrow keys to move the highlight.
#pragma once

#include "host/term_host.h"
#include "host/term_screen.h"

namespace host {

// One input event read from the terminal.
// HangUp: the terminal is gone (its size can no longer be read); the
// program ends as when the window is closed.
enum class TermInput { None, Key, Break, Suspend, Resize, HangUp };
// Reads the next event that the terminal library has (never blocks).
TermInput readTermInput(TermKey& key);
// The key for a terminal library key code (KEY_UP ...) with mod; false for
// codes that are no key of the keyboard model.
bool keyForCode(int code, std::uint32_t mod, TermKey& key);

class CursesFrontend final : public TermHost {
  public:
    int startDisplaySystem() override;
    void prepareDisplay(const char*) override {}
    void runEventLoop() override;
    void shutDown() override { screen_.end(); }
    void processEnding(int) override { screen_.end(); }
    // The terminal back as it was (also after a critical end).
    void finish() { screen_.end(); }

  protected:
    DialogButton runDialog(const DialogRequest& dialog) override;

  private:
    // False when the program is to end.
    bool handleSignals();
    void present(bool send = true);
    // Sleeps until input or a wake-up; false when the terminal hung up.
    bool waitForInput();
    void suspend();
    // Reads the input that is waiting: a suspend or resize is handled here,
    // each key goes to onKey. A hang-up asks the program to end and a Break
    // presses it; both stop the reading and return false.
    template <class OnKey> bool readInput(OnKey&& onKey);

    TermScreen screen_;
};

} // namespace host
