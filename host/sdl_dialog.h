// The modal dialog of the window program, drawn inside the game window.
//
// Runtime errors and critical errors are shown as a box over the game screen
// with the caption in a title bar, the text, and Yes/No or OK buttons. The
// box is answered from the keyboard (Y, N, Enter or Space for the focused
// button, which starts on the first, Escape for No where there is one, Tab
// and the arrow keys to move the focus) or by clicking a button.
//
// Two pieces, both free of threads and windows so that tests can drive them:
//  - DialogBox: layout (in 8 x 16 character cells, centred on the surface),
//    key and mouse handling, and drawing into any 32-bit surface;
//  - DialogChannel (host/dialog_channel.h): the hand-over between the thread
//    that asks and the main thread, which owns the window, shows the box and
//    answers.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialog_channel.h"
#include "host/host_core.h"

namespace host {

class DialogBox {
  public:
    static constexpr int kCellWidth = 8;
    static constexpr int kCellHeight = 16;
    static constexpr int kWrapColumns = 60;  // text lines are wrapped at this width
    static constexpr int kButtonColumns = 8; // every button label is centred in 8 cells
    static constexpr int kButtonGap = 2;
    static constexpr int kShadow = 8; // pixels of shadow right of and below the box

    explicit DialogBox(DialogRequest request);

    const DialogRequest& request() const { return request_; }
    // The text as it is shown: split at line breaks, long lines wrapped at
    // word boundaries (and words longer than a line cut).
    const std::vector<std::string>& lines() const { return lines_; }
    int buttonCount() const { return request_.buttons == DialogButtons::YesNo ? 2 : 1; }
    DialogButton button(int index) const;
    const char* buttonLabel(int index) const;
    int focus() const { return focus_; }

    // Places the box centred on a surface of the given size. Until then
    // (and after a change of size) the rectangles are computed for 640 x 400.
    void layout(int surfaceWidth, int surfaceHeight);
    // The box with its shadow, clipped to the surface.
    SDL_Rect bounds() const;
    SDL_Rect buttonRect(int index) const;
    int columns() const { return columns_; }
    int rows() const { return rows_; }

    // A key went down: the answer, or nothing when the dialog stays open.
    std::optional<DialogButton> keyDown(SDLKey sym, std::uint16_t unicode, SDLMod mod);
    // Mouse button 1 (left) went down or up at (x, y); a button answers when
    // it is released over the button it was pressed on.
    void mouseDown(int x, int y);
    std::optional<DialogButton> mouseUp(int x, int y);

    // Draws the box into a 32-bit surface (any pixel layout). The caller
    // locks nothing: drawing locks the surface when SDL requires it.
    void draw(SDL_Surface* surface);

    // Set whenever the box looks different from what was last drawn.
    bool dirty() const { return dirty_; }

  private:
    int hitButton(int x, int y) const;
    void moveFocus(int step);

    DialogRequest request_;
    std::vector<std::string> lines_;
    int focus_ = 0;
    int pressed_ = -1; // the button the mouse went down on
    bool dirty_ = true;
    int columns_ = 0; // the box in character cells, title bar included
    int rows_ = 0;
    int surfaceWidth_ = 0;
    int surfaceHeight_ = 0;
    int left_ = 0; // pixels
    int top_ = 0;
};

// Splits text at line breaks and wraps lines longer than width.
std::vector<std::string> wrapDialogText(std::string_view text, int width);

} // namespace host
